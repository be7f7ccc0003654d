// DrawText: the DT_ flags turned once into a layout (lines, alignment, clipping), then glyphs
// blended onto the surface with grey-scale coverage.
#include <algorithm>
#include <cstring>

#include "platform/gdi/gdi_font_face.h"
#include "platform/gdi/gdi_internal.h"
#include "platform/text_conversion.h"

namespace platform::gdi {

namespace {

enum class Horizontal { Left, Center, Right };
enum class Vertical { Top, Center, Bottom };
enum class Breaking { SingleLine, HardBreaksOnly, WordBreak };

struct TextLayoutOptions {
    Horizontal horizontal = Horizontal::Left;
    Vertical vertical = Vertical::Top;
    Breaking breaking = Breaking::HardBreaksOnly;
    bool clip = true;
    bool prefix = true;
    bool expandTabs = false;
    bool measureOnly = false;
};

TextLayoutOptions OptionsFromFlags(UINT format) {
    TextLayoutOptions o;
    o.horizontal = (format & DT_RIGHT)    ? Horizontal::Right
                   : (format & DT_CENTER) ? Horizontal::Center
                                          : Horizontal::Left;
    o.breaking = (format & DT_SINGLELINE)  ? Breaking::SingleLine
                 : (format & DT_WORDBREAK) ? Breaking::WordBreak
                                           : Breaking::HardBreaksOnly;
    // Windows honours vertical placement only for one line.
    if (o.breaking == Breaking::SingleLine) {
        o.vertical = (format & DT_BOTTOM)    ? Vertical::Bottom
                     : (format & DT_VCENTER) ? Vertical::Center
                                             : Vertical::Top;
    }
    o.clip = (format & DT_NOCLIP) == 0;
    o.prefix = (format & DT_NOPREFIX) == 0;
    o.expandTabs = (format & DT_EXPANDTABS) != 0;
    o.measureOnly = (format & DT_CALCRECT) != 0;
    return o;
}

struct Char {
    char32_t cp;
    bool underlined;
};

struct Line {
    std::vector<Char> chars;
    int width = 0;
};

std::vector<Char> DecodeWithPrefixes(const std::u16string& text, bool prefix) {
    std::vector<Char> out;
    bool underlineNext = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        if (prefix && cp == U'&' && !underlineNext) {
            underlineNext = true;  // "&&" prints one "&"
            continue;
        }
        out.push_back(Char{cp, underlineNext && cp != U'&'});
        underlineNext = false;
    }
    return out;
}

class LineMeasure {
  public:
    LineMeasure(FontFace& face, bool expandTabs)
        : face_(face),
          tabStop_(expandTabs ? 8 * std::max(1L, static_cast<long>(face.Metrics().tmAveCharWidth))
                              : 0) {}

    int Advance(char32_t cp, int penX) const {
        if (cp == U'\t' && tabStop_ > 0) {
            return (penX / tabStop_ + 1) * tabStop_ - penX;
        }
        if (cp < 0x20) {
            return 0;  // control characters take no room
        }
        return face_.GlyphFor(cp).advance;
    }
    int Width(const std::vector<Char>& chars, std::size_t from, std::size_t to) const {
        int pen = 0;
        for (std::size_t i = from; i < to; ++i)
            pen += Advance(chars[i].cp, pen);
        return pen;
    }

  private:
    FontFace& face_;
    int tabStop_;
};

// Greedy word wrapping: a word that would cross the right edge starts a new line; the spaces
// at a break are dropped; a word wider than the box stays whole on a line of its own.
void WrapInto(const std::vector<Char>& chars, int maxWidth, const LineMeasure& m,
              std::vector<Line>& lines) {
    std::size_t start = 0;
    const std::size_t n = chars.size();
    while (true) {
        std::size_t end = start;
        std::size_t lastFit = start;
        while (end < n) {
            std::size_t wordEnd = end;
            while (wordEnd < n && chars[wordEnd].cp == U' ')
                ++wordEnd;
            while (wordEnd < n && chars[wordEnd].cp != U' ')
                ++wordEnd;
            if (m.Width(chars, start, wordEnd) > maxWidth && lastFit > start) {
                break;
            }
            lastFit = wordEnd;
            end = wordEnd;
        }
        if (end == start && end < n) {
            end = n;  // nothing fits: keep the rest whole
        }
        Line line;
        line.chars.assign(chars.begin() + static_cast<long>(start),
                          chars.begin() + static_cast<long>(end));
        while (!line.chars.empty() && line.chars.back().cp == U' ')
            line.chars.pop_back();
        lines.push_back(std::move(line));
        start = end;
        while (start < n && chars[start].cp == U' ')
            ++start;
        if (start >= n)
            return;
    }
}

std::vector<Line> BreakLines(const std::vector<Char>& chars, const TextLayoutOptions& o,
                             int boxWidth, const LineMeasure& m) {
    std::vector<Line> lines;
    if (o.breaking == Breaking::SingleLine) {
        lines.push_back(Line{chars, 0});
    } else {
        std::vector<Char> current;
        auto finish = [&] {
            if (o.breaking == Breaking::WordBreak && !current.empty()) {
                WrapInto(current, boxWidth, m, lines);
            } else {
                lines.push_back(Line{current, 0});
            }
            current.clear();
        };
        for (std::size_t i = 0; i < chars.size(); ++i) {
            if (chars[i].cp == U'\r' || chars[i].cp == U'\n') {
                if (chars[i].cp == U'\r' && i + 1 < chars.size() && chars[i + 1].cp == U'\n')
                    ++i;
                finish();
                continue;
            }
            current.push_back(chars[i]);
        }
        // Text ending in a line break has no empty last line.
        if (!current.empty() || lines.empty())
            finish();
    }
    for (Line& line : lines)
        line.width = m.Width(line.chars, 0, line.chars.size());
    return lines;
}

// Where one text call draws: the DC's surface and its clip restricted to the text's box.
struct TextTarget {
    PixelSurface* surface;
    std::vector<RECT> clip;
};

TextTarget ClipTo(const DeviceContext& dc, const RECT* box) {
    TextTarget view{dc.surface, {}};
    for (const RECT& c : dc.clip) {
        RECT inside = c;
        if (box == nullptr || IntersectRect(&inside, &c, box))
            view.clip.push_back(inside);
    }
    return view;
}

void BlendGlyph(TextTarget& view, const Glyph& glyph, int penX, int baseline, std::uint32_t color) {
    if (glyph.width == 0)
        return;
    const RECT area{penX + glyph.left, baseline - glyph.top, penX + glyph.left + glyph.width,
                    baseline - glyph.top + glyph.height};
    const std::uint32_t cr = (color >> 16) & 0xFF, cg = (color >> 8) & 0xFF, cb = color & 0xFF;
    PixelSurface& s = *view.surface;
    ForEachClippedSpan(view.clip, area, [&](LONG x0, LONG x1, LONG y) {
        const std::uint8_t* cov =
            &glyph.coverage[static_cast<std::size_t>(y - area.top) * glyph.width];
        for (LONG x = x0; x < x1; ++x) {
            const std::uint32_t a = cov[x - area.left];
            if (a == 0)
                continue;
            std::uint32_t& p = s.at(x, y);
            if (a == 255) {
                p = color;
                continue;
            }
            const std::uint32_t r = (cr * a + ((p >> 16) & 0xFF) * (255 - a) + 127) / 255;
            const std::uint32_t g = (cg * a + ((p >> 8) & 0xFF) * (255 - a) + 127) / 255;
            const std::uint32_t b = (cb * a + (p & 0xFF) * (255 - a) + 127) / 255;
            p = (r << 16) | (g << 8) | b;
        }
    });
}

void FillArea(TextTarget& view, const RECT& area, std::uint32_t pixel) {
    PixelSurface& s = *view.surface;
    ForEachClippedSpan(view.clip, area, [&](LONG x0, LONG x1, LONG y) {
        std::fill(s.pixels.begin() + y * s.width + x0, s.pixels.begin() + y * s.width + x1, pixel);
    });
}

int DrawUtf16(HDC hdc, const std::u16string& text, LPRECT rect, UINT format) {
    DeviceContext* dc = LookupDC(hdc);
    if (dc == nullptr || rect == nullptr || dc->font == nullptr || text.empty() ||
        !InCoordinateRange(*rect)) {
        return 0;
    }
    const TextLayoutOptions options = OptionsFromFlags(format);
    FontFace& face = *dc->font->face;
    const TEXTMETRICW& tm = face.Metrics();
    const LineMeasure measure(face, options.expandTabs);
    const std::vector<Line> lines = BreakLines(DecodeWithPrefixes(text, options.prefix), options,
                                               rect->right - rect->left, measure);

    int top = rect->top;
    if (options.vertical == Vertical::Center) {
        top = rect->top + (rect->bottom - rect->top) / 2 - tm.tmHeight / 2;
    } else if (options.vertical == Vertical::Bottom) {
        top = rect->bottom - tm.tmHeight;
    }
    const int textBottom = top + static_cast<int>(lines.size()) * tm.tmHeight;
    // The height of the text, or with vertical placement the offset to the text's bottom.
    const int result = textBottom - rect->top;
    if (options.measureOnly) {
        int widest = 0;
        for (const Line& line : lines)
            widest = std::max(widest, line.width);
        rect->right = rect->left + widest;
        rect->bottom = textBottom;
        return result;
    }

    DrawingRecord record;
    record.operation = "DrawText";
    record.destination = *rect;
    record.text = Utf16ToUtf8(text);
    record.fontFace = dc->font->requestedFace;
    record.fontHeight = dc->font->logfont.lfHeight;
    record.fontWeight = dc->font->logfont.lfWeight;
    record.textColour = dc->textColor;
    record.flags = format;
    Record(*dc, std::move(record));

    const RECT box{rect->left + dc->origin.x, rect->top + dc->origin.y, rect->right + dc->origin.x,
                   rect->bottom + dc->origin.y};
    TextTarget view = ClipTo(*dc, options.clip ? &box : nullptr);
    const std::uint32_t color = ToPixel(dc->textColor);
    int y = top + dc->origin.y;
    for (const Line& line : lines) {
        int x = rect->left;
        if (options.horizontal == Horizontal::Center) {
            x = (rect->left + rect->right - line.width) / 2;
        } else if (options.horizontal == Horizontal::Right) {
            x = rect->right - line.width;
        }
        x += dc->origin.x;
        if (dc->bkMode == OPAQUE) {
            FillArea(view, RECT{x, y, x + line.width, y + tm.tmHeight}, ToPixel(dc->bkColor));
        }
        const int baseline = y + tm.tmAscent;
        int pen = 0;
        for (const Char& c : line.chars) {
            const int advance = measure.Advance(c.cp, pen);
            if (c.cp >= 0x20)
                BlendGlyph(view, face.GlyphFor(c.cp), x + pen, baseline, color);
            if (c.underlined) {
                FillArea(view, RECT{x + pen, baseline + 1, x + pen + advance, baseline + 2}, color);
            }
            pen += advance;
        }
        y += tm.tmHeight;
    }
    return result;
}

}  // namespace

}  // namespace platform::gdi

using namespace platform::gdi;

int DrawTextW(HDC hdc, LPCWSTR text, int count, LPRECT rect, UINT format) {
    if (text == nullptr) {
        return 0;
    }
    const std::size_t length =
        count < 0 ? std::char_traits<char16_t>::length(text) : static_cast<std::size_t>(count);
    return DrawUtf16(hdc, std::u16string(text, length), rect, format);
}

int DrawTextA(HDC hdc, LPCSTR text, int count, LPRECT rect, UINT format) {
    if (text == nullptr) {
        return 0;
    }
    const std::size_t length = count < 0 ? std::strlen(text) : static_cast<std::size_t>(count);
    return DrawUtf16(hdc, Utf8ToUtf16(std::string_view(text, length)), rect, format);
}
