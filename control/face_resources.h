// The drawing resources of one pump face: the face bitmaps and the three fonts, loaded once
// when a control is constructed and released with it, never per paint.
#pragma once

#include <array>

#include "platform/afx/gdi_object.h"

namespace tolvan {

class FaceResources {
  public:
    // Loads every face bitmap from the module's resources (AfxFindResourceHandle), in the
    // order 209, 238, 217, 210 to 213, 219, 201, 215, 214, 218, 207, 208, 237, 205, 206, 216,
    // 204, 203, 202, then the number, readout and grade fonts. A bitmap that cannot be loaded
    // stays empty and is drawn as nothing.
    FaceResources();
    // Releases the fonts and then the bitmaps, each in the reverse of the load order.
    ~FaceResources();
    FaceResources(const FaceResources&) = delete;
    FaceResources& operator=(const FaceResources&) = delete;

    // The loaded bitmap of resource `id`; null when `id` is no face bitmap or failed to load.
    CBitmap* Bitmap(UINT id);

    CFont& NumberFont() { return fonts_[0]; }   // "Arial", height 19, bold
    CFont& ReadoutFont() { return fonts_[1]; }  // "Arial", height 16, bold
    CFont& GradeFont() { return fonts_[2]; }    // "MS Sans Serif", height 10, normal

    // The face bitmaps' resource ids in load order.
    static constexpr std::array<UINT, 21> kBitmapIds{209, 238, 217, 210, 211, 212, 213,
                                                     219, 201, 215, 214, 218, 207, 208,
                                                     237, 205, 206, 216, 204, 203, 202};

  private:
    std::array<CBitmap, kBitmapIds.size()> bitmaps_;
    std::array<CFont, 3> fonts_;
};

}  // namespace tolvan
