// Fonts: LOGFONT requests resolved through fontconfig, sized as Windows maps lfHeight, glyphs
// rasterised by FreeType in grey scale (one bit per pixel for Windows' bitmap faces);
// CreateFontIndirectW, GetTextMetricsW and GetTextExtentPoint32W.
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

#include "platform/ascii_case.h"
#include "platform/gdi/gdi_font_face.h"
#include "platform/gdi/gdi_internal.h"
#include "platform/text_conversion.h"

namespace platform::gdi {

namespace {

// FreeType objects are not thread-safe; every use of the library and of faces holds this.
std::mutex& FontLock() {
    static auto* lock = new std::mutex();
    return *lock;
}

FT_Library Library() {
    static FT_Library library = [] {
        FT_Library lib = nullptr;
        return FT_Init_FreeType(&lib) == 0 ? lib : nullptr;
    }();
    return library;
}

// Windows' own face names that no Linux font carries and no fontconfig alias names. Windows
// draws them with Microsoft Sans Serif, whose widths are close to Arial's; "Arial" finds the
// metric-compatible Liberation Sans, so that dialogs get Windows' base units (6 by 13 for 8
// points) and texts their widths. The caller's fallback to sans-serif covers a machine
// without it.
std::string FamilyToAsk(const std::string& requested) {
    static const char* const kSansNames[] = {
        "", "MS Sans Serif", "MS Shell Dlg", "MS Shell Dlg 2", "System", "Microsoft Sans Serif"};
    for (const char* name : kSansNames) {
        if (requested == name) {
            return "Arial";
        }
    }
    return requested;
}

// Windows has these faces only as bitmap fonts, which it never smooths: their text is the text
// colour or the background, pixel for pixel, at every size (the dialogs' and the pump face's
// small "MS Sans Serif" included). The outline face that stands in for them is drawn likewise.
bool IsWindowsBitmapFace(const std::string& requested) {
    static const char* const kBitmapFaces[] = {"MS Sans Serif", "System"};
    for (const char* name : kBitmapFaces) {
        if (EqualsAsciiNoCase(requested, name)) {
            return true;
        }
    }
    return false;
}

struct Match {
    std::string file;
    int index = 0;
    std::string family;
    int weight = FC_WEIGHT_REGULAR;
};

bool MatchFont(const std::string& family, LONG weight, bool italic, Match* out) {
    static FcConfig* config = FcInitLoadConfigAndFonts();
    if (config == nullptr) {
        return false;
    }
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    // An unknown face falls back to a sans face, as Windows' mapper does for a missing one.
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("sans-serif"));
    FcPatternAddInteger(pattern, FC_WEIGHT,
                        FcWeightFromOpenType(weight == FW_DONTCARE ? FW_NORMAL : weight));
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config, pattern, &result);
    FcPatternDestroy(pattern);
    if (match == nullptr) {
        return false;
    }
    FcChar8* file = nullptr;
    FcChar8* name = nullptr;
    bool found = FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch;
    if (found) {
        out->file = reinterpret_cast<const char*>(file);
        FcPatternGetInteger(match, FC_INDEX, 0, &out->index);
        if (FcPatternGetString(match, FC_FAMILY, 0, &name) == FcResultMatch) {
            out->family = reinterpret_cast<const char*>(name);
        }
        FcPatternGetInteger(match, FC_WEIGHT, 0, &out->weight);
    }
    FcPatternDestroy(match);
    return found;
}

// The face's vertical extent in font units, as Windows measures the cell: the OS/2 table's
// Windows ascent and descent when there is one.
void CellUnits(FT_Face face, double* ascent, double* descent, double* lineGap, double* avgWidth) {
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    const auto* hhea = static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
    if (os2 != nullptr && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
        *ascent = os2->usWinAscent;
        *descent = os2->usWinDescent;
        *avgWidth = os2->xAvgCharWidth;
    } else {
        *ascent = face->ascender;
        *descent = -face->descender;
        *avgWidth = 0;
    }
    *lineGap = 0;
    if (hhea != nullptr) {
        const double hheaHeight = hhea->Ascender - hhea->Descender + hhea->Line_Gap;
        *lineGap = std::max(0.0, hheaHeight - (*ascent + *descent));
    }
}

// File, face index, em size in 26.6 pixels, emboldened, drawn with one bit per pixel.
using FaceKey = std::tuple<std::string, int, long, bool, bool>;

std::map<FaceKey, std::shared_ptr<FontFace>>& FaceCache() {
    static auto* cache = new std::map<FaceKey, std::shared_ptr<FontFace>>();
    return *cache;
}

}  // namespace

struct FontFace::Impl {
    FT_Face face = nullptr;
    bool embolden = false;
    bool monochrome = false;
};

FontFace::~FontFace() {
    if (impl_ && impl_->face != nullptr) {
        FT_Done_Face(impl_->face);
    }
}

std::shared_ptr<FontFace> FontFace::Resolve(const LOGFONTW& lf, const std::string& requested) {
    std::lock_guard guard(FontLock());
    Match match;
    if (Library() == nullptr ||
        !MatchFont(FamilyToAsk(requested), lf.lfWeight, lf.lfItalic != 0, &match)) {
        return nullptr;
    }
    FT_Face face = nullptr;
    if (FT_New_Face(Library(), match.file.c_str(), match.index, &face) != 0) {
        return nullptr;
    }
    double ascentUnits, descentUnits, gapUnits, avgUnits;
    CellUnits(face, &ascentUnits, &descentUnits, &gapUnits, &avgUnits);
    const double upem = face->units_per_EM > 0 ? face->units_per_EM : 1000.0;
    const double cellUnits = ascentUnits + descentUnits;
    // Negative: the em (character) height; positive: the cell height, the largest size whose
    // cell does not exceed it; zero: Windows' default cell of 16 pixels.
    const LONG cellRequest = lf.lfHeight == 0 ? 16 : lf.lfHeight;
    double em =
        cellRequest < 0 ? -static_cast<double>(cellRequest) : cellRequest * upem / cellUnits;
    const long em26 = std::max(1L, std::lround(em * 64));
    em = em26 / 64.0;
    const bool embolden = lf.lfWeight >= FW_SEMIBOLD && match.weight < FC_WEIGHT_DEMIBOLD;
    const bool monochrome = IsWindowsBitmapFace(requested);
    const FaceKey key{match.file, match.index, em26, embolden, monochrome};
    if (auto it = FaceCache().find(key); it != FaceCache().end()) {
        FT_Done_Face(face);
        return it->second;
    }
    if (FT_Set_Char_Size(face, 0, em26, 72, 72) != 0) {
        FT_Done_Face(face);
        return nullptr;
    }
    std::shared_ptr<FontFace> result(new FontFace());
    result->impl_ = std::make_unique<Impl>();
    result->impl_->face = face;
    result->impl_->embolden = embolden;
    result->impl_->monochrome = monochrome;
    result->family_ = match.family;
    const double scale = em / upem;
    TEXTMETRICW& tm = result->metrics_;
    // The cell is the scaled height rounded up, as Windows' cells come out (13 pixels for the
    // 8-point dialog faces, Arial's included; 16 for 9-point Segoe UI); a requested cell
    // height is never exceeded.
    LONG cell = static_cast<LONG>(std::ceil(cellUnits * scale - 1e-6));
    if (cellRequest > 0) {
        cell = std::min(cell, cellRequest);
    }
    tm.tmAscent = std::min(cell, static_cast<LONG>(std::lround(ascentUnits * scale)));
    tm.tmDescent = cell - tm.tmAscent;
    tm.tmHeight = cell;
    tm.tmInternalLeading = std::max(0L, static_cast<long>(tm.tmHeight - std::lround(em)));
    tm.tmExternalLeading = static_cast<LONG>(std::lround(gapUnits * scale));
    tm.tmMaxCharWidth = static_cast<LONG>(std::lround(face->max_advance_width * scale));
    tm.tmWeight = lf.lfWeight == FW_DONTCARE ? FW_NORMAL : lf.lfWeight;
    tm.tmDigitizedAspectX = 96;
    tm.tmDigitizedAspectY = 96;
    tm.tmFirstChar = 0x20;
    tm.tmLastChar = 0xFFFC;
    tm.tmDefaultChar = 0x1F;
    tm.tmBreakChar = 0x20;
    tm.tmItalic = lf.lfItalic;
    tm.tmUnderlined = lf.lfUnderline;
    tm.tmStruckOut = lf.lfStrikeOut;
    tm.tmPitchAndFamily = lf.lfPitchAndFamily;
    tm.tmCharSet = lf.lfCharSet;
    // The average width: the OS/2 figure, else the advance of 'x' (as Windows falls back).
    if (avgUnits > 0) {
        tm.tmAveCharWidth = static_cast<LONG>(std::lround(avgUnits * scale));
    } else if (FT_Load_Char(face, 'x', FT_LOAD_DEFAULT) == 0) {
        tm.tmAveCharWidth = static_cast<LONG>((face->glyph->advance.x + 32) >> 6);
    }
    FaceCache()[key] = result;
    return result;
}

const Glyph& FontFace::GlyphFor(char32_t cp) {
    std::lock_guard guard(FontLock());
    if (auto it = glyphs_.find(cp); it != glyphs_.end()) {
        return it->second;
    }
    Glyph glyph;
    FT_Face face = impl_->face;
    const FT_UInt index = FT_Get_Char_Index(face, cp);
    const bool mono = impl_->monochrome;
    // One-bit glyphs take FreeType's own hinting: the stand-in outline's instructions break
    // strokes apart at these sizes, the autohinter keeps each stroke a whole pixel wide.
    const FT_Int32 load =
        mono ? FT_LOAD_TARGET_MONO | FT_LOAD_FORCE_AUTOHINT : FT_LOAD_TARGET_NORMAL;
    if (FT_Load_Glyph(face, index, FT_LOAD_DEFAULT | load) == 0) {
        // The autohinter widens advances to whole pixels of its own; text keeps the outline's
        // widths (and dialogs their base units) as the grey-scale faces have them.
        if (mono) {
            face->glyph->advance.x = (face->glyph->linearHoriAdvance + 512) >> 10;
        }
        if (impl_->embolden && face->glyph->format == FT_GLYPH_FORMAT_OUTLINE) {
            FT_Outline_Embolden(&face->glyph->outline, face->size->metrics.x_ppem * 2);
            face->glyph->advance.x += face->size->metrics.x_ppem * 2;
        }
        if (FT_Render_Glyph(face->glyph, mono ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) == 0) {
            const FT_Bitmap& bm = face->glyph->bitmap;
            glyph.advance = static_cast<int>((face->glyph->advance.x + 32) >> 6);
            glyph.left = face->glyph->bitmap_left;
            glyph.top = face->glyph->bitmap_top;
            glyph.width = static_cast<int>(bm.width);
            glyph.height = static_cast<int>(bm.rows);
            glyph.coverage.resize(static_cast<std::size_t>(glyph.width) * glyph.height);
            for (int y = 0; y < glyph.height; ++y) {
                const unsigned char* row = bm.buffer + static_cast<long>(y) * bm.pitch;
                for (int x = 0; x < glyph.width; ++x) {
                    glyph.coverage[static_cast<std::size_t>(y) * glyph.width + x] =
                        bm.pixel_mode == FT_PIXEL_MODE_MONO
                            ? ((row[x / 8] >> (7 - x % 8)) & 1 ? 255 : 0)
                            : row[x];
                }
            }
        }
    }
    return glyphs_.emplace(cp, std::move(glyph)).first->second;
}

}  // namespace platform::gdi

using namespace platform::gdi;

HFONT CreateFontIndirectW(const LOGFONTW* logfont) {
    if (logfont == nullptr) {
        return nullptr;
    }
    std::size_t length = 0;
    while (length < LF_FACESIZE && logfont->lfFaceName[length] != 0) {
        ++length;
    }
    const std::string requested = Utf16ToUtf8(std::u16string_view(logfont->lfFaceName, length));
    std::shared_ptr<FontFace> face = FontFace::Resolve(*logfont, requested);
    if (!face) {
        return nullptr;
    }
    auto* font = new Font();
    font->logfont = *logfont;
    font->requestedFace = requested;
    font->face = std::move(face);
    Register(font);
    return reinterpret_cast<HFONT>(static_cast<GdiObject*>(font));
}

std::string FontResolvedFace(HFONT handle) {
    auto* font = static_cast<Font*>(Lookup(handle, ObjectKind::Font));
    return font != nullptr ? font->face->Family() : std::string();
}

BOOL GetTextMetricsW(HDC hdc, TEXTMETRICW* metrics) {
    DeviceContext* dc = LookupDC(hdc);
    if (dc == nullptr || metrics == nullptr || dc->font == nullptr) {
        return FALSE;
    }
    *metrics = dc->font->face->Metrics();
    return TRUE;
}

BOOL GetTextExtentPoint32W(HDC hdc, LPCWSTR text, int count, LPSIZE size) {
    DeviceContext* dc = LookupDC(hdc);
    if (dc == nullptr || size == nullptr || dc->font == nullptr || count < 0 ||
        (text == nullptr && count > 0)) {
        return FALSE;
    }
    LONG width = 0;
    for (int i = 0; i < count; ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < count && text[i + 1] >= 0xDC00 &&
            text[i + 1] < 0xE000) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        width += dc->font->face->GlyphFor(cp).advance;
    }
    *size = SIZE{width, dc->font->face->Metrics().tmHeight};
    return TRUE;
}
