// Captures what a window shows as a PNG file: its pending paints done first, then its pixels
// copied (BitBlt) from its device context into a top-down 32-bit DIB section; and the pixels
// any drawing puts on such a section.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "png_writer.h"

namespace host {

// What `draw` puts on a 32-bit device context of `width` by `height`, as 0xRRGGBB pixels,
// rows from the top.
template <typename Draw>
std::vector<std::uint32_t> PixelsDrawn(int width, int height, const Draw& draw) {
    BITMAPINFO format{};
    format.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP surface = CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (surface == nullptr) {
        return {};
    }
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, surface);
    draw(dc);
    GdiFlush();
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    std::vector<std::uint32_t> copy(pixels, pixels + static_cast<std::size_t>(width) * height);
    for (std::uint32_t& pixel : copy) {
        pixel &= 0x00FFFFFF;
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(surface);
    return copy;
}

struct CaptureSize {
    int width = 0;
    int height = 0;
};

// The client area of WINDOW, or with WHOLE the whole window (frame, caption and all), written to
// PATH. Returns the size captured, 0 by 0 when the window or the file failed.
inline CaptureSize CaptureWindow(HWND window, bool whole, const std::string& path) {
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT area{};
    if (whole) {
        GetWindowRect(window, &area);
        OffsetRect(&area, -area.left, -area.top);
    } else {
        GetClientRect(window, &area);
    }
    const int width = area.right;
    const int height = area.bottom;
    if (width <= 0 || height <= 0) {
        return {};
    }
    HDC source = whole ? GetWindowDC(window) : GetDC(window);
    bool copied = false;
    const std::vector<std::uint32_t> pixels = PixelsDrawn(width, height, [&](HDC dc) {
        copied = BitBlt(dc, 0, 0, width, height, source, 0, 0, SRCCOPY) != FALSE;
    });
    ReleaseDC(window, source);
    if (!copied || pixels.empty() || !WritePng(path, width, height, pixels.data())) {
        return {};
    }
    return {width, height};
}

}  // namespace host
