// Helpers of the GDI tests: a surface DC that cleans up after itself, pixel reading in COLORREF,
// and the ink bounds of a colour.
#pragma once

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "platform/gdi.h"

inline bool operator==(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline void PrintTo(const RECT& r, std::ostream* os) {
    *os << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

namespace gdi_test {

// A w by h surface filled with `fill` (0x00RRGGBB) and a DC over all of it (or over `clip`).
class SurfaceDC {
  public:
    SurfaceDC(int w, int h, std::uint32_t fill = 0xFFFFFF, std::vector<RECT> clip = {})
        : surface_(Make(w, h, fill)) {
        if (clip.empty())
            clip.push_back(RECT{0, 0, w, h});
        dc_ = CreateSurfaceDC(surface_, POINT{0, 0}, clip);
    }
    SurfaceDC(const SurfaceDC&) = delete;
    SurfaceDC& operator=(const SurfaceDC&) = delete;
    ~SurfaceDC() { DeleteDC(dc_); }

    HDC dc() const { return dc_; }
    platform::PixelSurface& surface() { return surface_; }
    std::uint32_t at(int x, int y) const { return surface_.at(x, y); }

    // Pixels that differ from `background`, as a bounding rectangle (empty when none).
    RECT InkBounds(std::uint32_t background) const {
        RECT r{surface_.width, surface_.height, 0, 0};
        for (int y = 0; y < surface_.height; ++y)
            for (int x = 0; x < surface_.width; ++x)
                if (surface_.at(x, y) != background) {
                    r.left = std::min<LONG>(r.left, x);
                    r.top = std::min<LONG>(r.top, y);
                    r.right = std::max<LONG>(r.right, x + 1);
                    r.bottom = std::max<LONG>(r.bottom, y + 1);
                }
        if (r.right == 0)
            r = RECT{0, 0, 0, 0};
        return r;
    }
    // The surface as rows of characters: `marks` maps a pixel to its character, '?' otherwise.
    std::vector<std::string> Picture(
        const std::vector<std::pair<std::uint32_t, char>>& marks) const {
        std::vector<std::string> rows;
        for (int y = 0; y < surface_.height; ++y) {
            std::string row;
            for (int x = 0; x < surface_.width; ++x) {
                char c = '?';
                for (const auto& [pixel, mark] : marks)
                    if (surface_.at(x, y) == pixel)
                        c = mark;
                row += c;
            }
            rows.push_back(row);
        }
        return rows;
    }

  private:
    static platform::PixelSurface Make(int w, int h, std::uint32_t fill) {
        platform::PixelSurface s;
        s.Reset(w, h, fill);
        return s;
    }
    platform::PixelSurface surface_;
    HDC dc_ = nullptr;
};

// A font from a face name and LOGFONT height and weight.
inline HFONT MakeFont(const char16_t* face, LONG height, LONG weight = FW_NORMAL) {
    LOGFONTW lf{};
    lf.lfHeight = height;
    lf.lfWeight = weight;
    for (int i = 0; face[i] != 0 && i < LF_FACESIZE - 1; ++i)
        lf.lfFaceName[i] = face[i];
    return CreateFontIndirectW(&lf);
}

template <typename Handle>
HGDIOBJ Obj(Handle h) {
    return reinterpret_cast<HGDIOBJ>(h);
}

}  // namespace gdi_test
