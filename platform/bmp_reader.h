// Reads Windows device-independent bitmaps (BI_RGB, 1, 4, 8 and 24 bits a pixel, bottom-up or
// top-down), as bitmap resources and .bmp files hold them, refusing malformed data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

struct DibImage {
    int width = 0;
    int height = 0;  // always positive; rows are stored top-down
    int bitsPerPixel = 0;
    std::vector<std::uint32_t> palette;  // 0x00RRGGBB, for 1, 4 and 8 bits
    std::vector<std::uint32_t> pixels;   // width * height, 0x00RRGGBB, top-down
};

// The largest width or height accepted; larger bitmaps are refused as absurd.
inline constexpr int kLargestDibSide = 16384;

// Reads a packed DIB: a BITMAPINFOHEADER (or its V4/V5 forms), the colour table, the pixel rows.
// False with a reason in `error` (and `out` untouched) for truncated headers, unsupported
// header sizes, compression or bit counts, planes other than 1, zero or absurd dimensions,
// more colours than the bit count allows, or rows beyond the data. Pixel indexes beyond the
// colour table read as black, as Windows shows them.
bool ReadPackedDib(const unsigned char* data, std::size_t size, DibImage* out, std::string* error);

// Reads a .bmp file: the 14-byte BITMAPFILEHEADER ("BM") followed by a packed DIB; the header's
// pixel offset must lie inside the file and after the colour table.
bool ReadBmpFile(const unsigned char* data, std::size_t size, DibImage* out, std::string* error);

}  // namespace platform
