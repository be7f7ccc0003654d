// Writes Windows bitmap files and icon files from pixel maps: 4 bits per pixel, the 16
// colours of the palette, byte for byte the same for the same map.
#pragma once

#include <cstdint>
#include <vector>

#include "apps/tolvan-art/pixel_map.h"

namespace art {

// A .bmp file: BITMAPFILEHEADER, BITMAPINFOHEADER (4 bpp, BI_RGB, 16 colours used, 96 DPI),
// the 16-entry palette, and the rows bottom-up, two pixels a byte (left one in the high
// nibble), each row padded to a multiple of 4 bytes.
std::vector<std::uint8_t> EncodeBitmapFile(const PixelMap& map, const Palette& palette);

// A .ico file with one 4-bit image per map, in the given order. Each image is the icon
// format's DIB (BITMAPINFOHEADER with twice the height, palette, colour rows, then a 1-bit
// AND mask): key-colour pixels are transparent (mask 1, colour black). Maps must be at most
// 256 by 256.
std::vector<std::uint8_t> EncodeIconFile(const std::vector<PixelMap>& maps, const Palette& palette);

}  // namespace art
