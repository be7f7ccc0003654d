// Byte layouts of the BMP and ICO files (little-endian throughout, as Windows reads them).
#include "apps/tolvan-art/dib_writer.h"

namespace art {
namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kPaletteSize = 16 * 4;
constexpr std::int32_t kPixelsPerMetre = 3780;  // 96 DPI

void Put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

std::uint32_t ColourStride(int width) {
    return ((static_cast<std::uint32_t>(width) * 4 + 31) / 32) * 4;
}

std::uint32_t MaskStride(int width) {
    return ((static_cast<std::uint32_t>(width) + 31) / 32) * 4;
}

void PutInfoHeader(std::vector<std::uint8_t>& out, int width, int height, std::uint32_t imageSize) {
    Put32(out, kInfoHeaderSize);
    Put32(out, static_cast<std::uint32_t>(width));
    Put32(out, static_cast<std::uint32_t>(height));  // positive: rows bottom-up
    Put16(out, 1);                                   // planes
    Put16(out, 4);                                   // bits per pixel
    Put32(out, 0);                                   // BI_RGB
    Put32(out, imageSize);
    Put32(out, kPixelsPerMetre);
    Put32(out, kPixelsPerMetre);
    Put32(out, 16);  // colours used
    Put32(out, 0);   // all colours important
}

void PutPalette(std::vector<std::uint8_t>& out, const Palette& palette) {
    for (std::uint32_t rgb : palette.rgb) {
        out.push_back(static_cast<std::uint8_t>(rgb));        // blue
        out.push_back(static_cast<std::uint8_t>(rgb >> 8));   // green
        out.push_back(static_cast<std::uint8_t>(rgb >> 16));  // red
        out.push_back(0);
    }
}

// The colour rows bottom-up; `keyAs` replaces the key colour's index when it is not -1.
void PutColourRows(std::vector<std::uint8_t>& out, const PixelMap& map, int keyIndex, int keyAs) {
    const std::uint32_t stride = ColourStride(map.width);
    for (int y = map.height - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(stride, 0);
        for (int x = 0; x < map.width; ++x) {
            std::uint8_t index = map.at(x, y);
            if (keyAs >= 0 && index == keyIndex) {
                index = static_cast<std::uint8_t>(keyAs);
            }
            row[static_cast<std::size_t>(x / 2)] |=
                static_cast<std::uint8_t>(x % 2 == 0 ? index << 4 : index);
        }
        out.insert(out.end(), row.begin(), row.end());
    }
}

void PutMaskRows(std::vector<std::uint8_t>& out, const PixelMap& map, int keyIndex) {
    const std::uint32_t stride = MaskStride(map.width);
    for (int y = map.height - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(stride, 0);
        for (int x = 0; x < map.width; ++x) {
            if (map.at(x, y) == keyIndex) {
                row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
}

}  // namespace

std::vector<std::uint8_t> EncodeBitmapFile(const PixelMap& map, const Palette& palette) {
    const std::uint32_t imageSize =
        ColourStride(map.width) * static_cast<std::uint32_t>(map.height);
    const std::uint32_t offset = kFileHeaderSize + kInfoHeaderSize + kPaletteSize;
    std::vector<std::uint8_t> out;
    out.reserve(offset + imageSize);
    out.push_back('B');
    out.push_back('M');
    Put32(out, offset + imageSize);
    Put32(out, 0);  // two reserved words
    Put32(out, offset);
    PutInfoHeader(out, map.width, map.height, imageSize);
    PutPalette(out, palette);
    PutColourRows(out, map, -1, -1);
    return out;
}

std::vector<std::uint8_t> EncodeIconFile(const std::vector<PixelMap>& maps,
                                         const Palette& palette) {
    constexpr std::uint32_t kDirSize = 6;
    constexpr std::uint32_t kEntrySize = 16;
    std::vector<std::uint8_t> out;
    Put16(out, 0);  // reserved
    Put16(out, 1);  // type: icon
    Put16(out, static_cast<std::uint32_t>(maps.size()));
    std::uint32_t offset = kDirSize + kEntrySize * static_cast<std::uint32_t>(maps.size());
    for (const PixelMap& map : maps) {
        const std::uint32_t colourSize =
            ColourStride(map.width) * static_cast<std::uint32_t>(map.height);
        const std::uint32_t maskSize =
            MaskStride(map.width) * static_cast<std::uint32_t>(map.height);
        const std::uint32_t size = kInfoHeaderSize + kPaletteSize + colourSize + maskSize;
        out.push_back(static_cast<std::uint8_t>(map.width == 256 ? 0 : map.width));
        out.push_back(static_cast<std::uint8_t>(map.height == 256 ? 0 : map.height));
        out.push_back(16);  // colours
        out.push_back(0);   // reserved
        Put16(out, 1);      // planes
        Put16(out, 4);      // bits per pixel
        Put32(out, size);
        Put32(out, offset);
        offset += size;
    }
    for (const PixelMap& map : maps) {
        const std::uint32_t colourSize =
            ColourStride(map.width) * static_cast<std::uint32_t>(map.height);
        const std::uint32_t maskSize =
            MaskStride(map.width) * static_cast<std::uint32_t>(map.height);
        PutInfoHeader(out, map.width, map.height * 2, colourSize + maskSize);
        PutPalette(out, palette);
        PutColourRows(out, map, palette.keyIndex, palette.blackIndex);
        PutMaskRows(out, map, palette.keyIndex);
    }
    return out;
}

}  // namespace art
