// Captures what a window shows as a PNG file: its pending paints done first, then its pixels
// copied (BitBlt) from its device context into a top-down 32-bit DIB section.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "png_writer.h"

namespace host {

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
    HDC memory = CreateCompatibleDC(source);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    CaptureSize size;
    if (dib != nullptr) {
        HGDIOBJ previous = SelectObject(memory, dib);
        if (BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY)) {
            GdiFlush();
            if (WritePng(path, width, height, static_cast<const std::uint32_t*>(bits))) {
                size = {width, height};
            }
        }
        SelectObject(memory, previous);
        DeleteObject(dib);
    }
    DeleteDC(memory);
    ReleaseDC(window, source);
    return size;
}

}  // namespace host
