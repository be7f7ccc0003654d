// The pixels of one top-level window (or of a memory bitmap): what USER composes windows
// into and what GDI draws on. The headless backend keeps them; the SDL backend shows them.
#pragma once

#include <cstdint>
#include <vector>

namespace platform {

// 32-bit pixels 0x00RRGGBB, rows top-down, `width` pixels a row with no padding.
struct PixelSurface {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    // Resizes to w by h; every pixel becomes `fill`.
    void Reset(int w, int h, std::uint32_t fill = 0x00FFFFFF) {
        width = w < 0 ? 0 : w;
        height = h < 0 ? 0 : h;
        pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill);
    }
    std::uint32_t& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// Surface pixel (0x00RRGGBB) from a COLORREF (0x00BBGGRR), and back.
constexpr std::uint32_t ToPixel(std::uint32_t colorref) {
    return ((colorref & 0xFF) << 16) | (colorref & 0xFF00) | ((colorref >> 16) & 0xFF);
}
constexpr std::uint32_t FromPixel(std::uint32_t pixel) {
    return ((pixel & 0xFF) << 16) | (pixel & 0xFF00) | ((pixel >> 16) & 0xFF);
}

}  // namespace platform
