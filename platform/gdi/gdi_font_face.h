// A face resolved through fontconfig and sized as Windows maps a LOGFONT height, with its
// text metrics and a cache of FreeType's glyphs (grey scale, or one bit per pixel where
// Windows draws the face from a bitmap font).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/gdi.h"

namespace platform::gdi {

struct Glyph {
    int advance = 0;  // pixels to the next pen position
    int left = 0;     // ink's left edge from the pen position
    int top = 0;      // ink's top edge above the baseline
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> coverage;  // width * height, 0..255 (only 0 and 255 when one-bit)
};

class FontFace {
  public:
    // The face for `logfont`; null only when fontconfig finds no font at all.
    static std::shared_ptr<FontFace> Resolve(const LOGFONTW& logfont,
                                             const std::string& requestedFace);

    ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    const TEXTMETRICW& Metrics() const { return metrics_; }
    const std::string& Family() const { return family_; }

    // The rendered glyph of code point `cp` (the face's missing-glyph box when it has none).
    // Glyphs are kept for the face's lifetime, so the reference stays valid.
    const Glyph& GlyphFor(char32_t cp);

  private:
    FontFace() = default;
    struct Impl;
    std::unique_ptr<Impl> impl_;
    TEXTMETRICW metrics_{};
    std::string family_;
    std::unordered_map<char32_t, Glyph> glyphs_;
};

}  // namespace platform::gdi
