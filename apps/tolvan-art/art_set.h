// The module's whole set of pictures: the resource script's BITMAP and ICON lines, each
// with its pixel map(s) from the art folder and its encoded file. tolvan-art and the tests
// build the set the same way.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "apps/tolvan-art/contact_sheet.h"
#include "apps/tolvan-art/pixel_map.h"
#include "apps/tolvan-art/resource_list.h"

namespace art {

struct BuiltPicture {
    PictureResource resource;
    std::vector<PixelMap> maps;       // a bitmap's one map; an icon's images, largest first
    std::vector<std::uint8_t> bytes;  // the .bmp or .ico file
};

struct ArtSet {
    Palette palette;
    std::vector<BuiltPicture> pictures;  // in script order

    const BuiltPicture* Find(int id, PictureResource::Kind kind) const;
};

// Reads `artFolder`/palette.txt, the script's picture lines, and for each bitmap
// `artFolder`/<stem>.txt, for each icon every `artFolder`/<stem>_<size>.txt (32 and 16 are
// looked for). Every fault found is appended to `errors` (the set is then incomplete).
ArtSet LoadArtSet(const std::string& scriptPath, const std::string& artFolder,
                  std::vector<std::string>& errors);

// Writes every picture's file into `folder` (which must exist); each file appears whole
// (written beside it, then renamed over it).
bool WriteArtFiles(const ArtSet& set, const std::string& folder, std::string& error);

// The review sheet: face bitmaps, popup bitmaps, module pictures at 4x with their
// identifiers, and mock faces composed at the face's layout positions at 1:1 and 4x.
std::vector<SheetSection> ArtSheet(const ArtSet& set);

// The RGB pixels of a map (0x00RRGGBB, rows top-down).
std::vector<std::uint32_t> MapPixels(const PixelMap& map, const Palette& palette);

}  // namespace art
