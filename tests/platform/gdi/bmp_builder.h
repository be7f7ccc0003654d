// Builds packed DIBs and .bmp files byte by byte for the reader tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace gdi_test {

struct BmpLayout {
    int width = 0;
    int height = 0;  // rows given top-down; written bottom-up unless topDown
    bool topDown = false;
    int bits = 4;
    std::vector<std::uint32_t> palette;            // 0x00RRGGBB
    std::vector<std::vector<std::uint32_t>> rows;  // indexes (1-8 bits) or 0x00RRGGBB (24)
};

inline void Put32(std::vector<unsigned char>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<unsigned char>(v >> (8 * i)));
}
inline void Put16(std::vector<unsigned char>& out, std::uint16_t v) {
    out.push_back(static_cast<unsigned char>(v));
    out.push_back(static_cast<unsigned char>(v >> 8));
}

// A packed DIB: BITMAPINFOHEADER, colour table, rows padded to four bytes.
inline std::vector<unsigned char> PackedDib(const BmpLayout& layout) {
    std::vector<unsigned char> out;
    Put32(out, 40);
    Put32(out, static_cast<std::uint32_t>(layout.width));
    Put32(out, static_cast<std::uint32_t>(layout.topDown ? -layout.height : layout.height));
    Put16(out, 1);
    Put16(out, static_cast<std::uint16_t>(layout.bits));
    Put32(out, 0);  // BI_RGB
    Put32(out, 0);
    Put32(out, 2835);
    Put32(out, 2835);
    Put32(out, static_cast<std::uint32_t>(layout.palette.size()));
    Put32(out, 0);
    for (std::uint32_t c : layout.palette) {
        out.push_back(static_cast<unsigned char>(c));
        out.push_back(static_cast<unsigned char>(c >> 8));
        out.push_back(static_cast<unsigned char>(c >> 16));
        out.push_back(0);
    }
    const std::size_t stride =
        ((static_cast<std::size_t>(layout.width) * layout.bits + 31) / 32) * 4;
    for (int i = 0; i < layout.height; ++i) {
        const auto& row =
            layout.rows[static_cast<std::size_t>(layout.topDown ? i : layout.height - 1 - i)];
        std::vector<unsigned char> line(stride, 0);
        for (int x = 0; x < layout.width; ++x) {
            const std::uint32_t v = row[static_cast<std::size_t>(x)];
            if (layout.bits == 24) {
                line[static_cast<std::size_t>(x) * 3] = static_cast<unsigned char>(v);
                line[static_cast<std::size_t>(x) * 3 + 1] = static_cast<unsigned char>(v >> 8);
                line[static_cast<std::size_t>(x) * 3 + 2] = static_cast<unsigned char>(v >> 16);
            } else {
                const std::size_t bit = static_cast<std::size_t>(x) * layout.bits;
                line[bit / 8] |= static_cast<unsigned char>(v << (8 - layout.bits - bit % 8));
            }
        }
        out.insert(out.end(), line.begin(), line.end());
    }
    return out;
}

// The same with a BITMAPFILEHEADER in front.
inline std::vector<unsigned char> BmpFile(const BmpLayout& layout) {
    const std::vector<unsigned char> dib = PackedDib(layout);
    std::vector<unsigned char> out{'B', 'M'};
    Put32(out, static_cast<std::uint32_t>(14 + dib.size()));
    Put32(out, 0);
    Put32(out, static_cast<std::uint32_t>(14 + 40 + layout.palette.size() * 4));
    out.insert(out.end(), dib.begin(), dib.end());
    return out;
}

// Overwrites the 32-bit little-endian value at `at`.
inline void Poke32(std::vector<unsigned char>& data, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        data[at + i] = static_cast<unsigned char>(v >> (8 * i));
}

}  // namespace gdi_test
