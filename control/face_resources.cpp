// Loading and releasing the face's bitmaps and fonts.
#include "control/face_resources.h"

#include <algorithm>

namespace tolvan {

namespace {

// A LOGFONT that is all zero except the height, the weight and the face name.
LOGFONTW FaceFont(const WCHAR* face, LONG height, LONG weight) {
    LOGFONTW logfont{};
    logfont.lfHeight = height;
    logfont.lfWeight = weight;
    for (int i = 0; face[i] != 0 && i < LF_FACESIZE - 1; ++i) {
        logfont.lfFaceName[i] = face[i];
    }
    return logfont;
}

}  // namespace

FaceResources::FaceResources() {
    for (std::size_t i = 0; i < kBitmapIds.size(); ++i) {
        bitmaps_[i].LoadBitmap(kBitmapIds[i]);
    }
    const LOGFONTW number = FaceFont(WSTR("Arial"), 19, FW_BOLD);
    const LOGFONTW readout = FaceFont(WSTR("Arial"), 16, FW_BOLD);
    const LOGFONTW grade = FaceFont(WSTR("MS Sans Serif"), 10, FW_NORMAL);
    fonts_[0].CreateFontIndirect(&number);
    fonts_[1].CreateFontIndirect(&readout);
    fonts_[2].CreateFontIndirect(&grade);
}

FaceResources::~FaceResources() {
    for (auto font = fonts_.rbegin(); font != fonts_.rend(); ++font) {
        font->DeleteObject();
    }
    for (auto bitmap = bitmaps_.rbegin(); bitmap != bitmaps_.rend(); ++bitmap) {
        bitmap->DeleteObject();
    }
}

CBitmap* FaceResources::Bitmap(UINT id) {
    const auto found = std::find(kBitmapIds.begin(), kBitmapIds.end(), id);
    if (found == kBitmapIds.end()) {
        return nullptr;
    }
    CBitmap& bitmap = bitmaps_[static_cast<std::size_t>(found - kBitmapIds.begin())];
    return bitmap.GetSafeHandle() != nullptr ? &bitmap : nullptr;
}

}  // namespace tolvan
