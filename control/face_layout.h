// The pump face's layout, written once: the rectangle of every element as the painter tests
// and draws it, the colours of the face, and for each text the box its glyphs can reach.
// The painter draws by it; the face comparison of tools/face_compare reads it.
#pragma once

#include <algorithm>

#include "platform/afx/afx_types.h"

namespace tolvan {

// Colours of the face (COLORREF, red in the low byte).
inline constexpr COLORREF kFaceKeyColour = 0x800080;     // transparent pixels of every bitmap
inline constexpr COLORREF kFaceRed = 0x0000C0;           // current pump's number; overdue
inline constexpr COLORREF kFaceWhite = 0xFFFFFF;         // other pumps' numbers; grade name
inline constexpr COLORREF kFaceLiveGreen = 0x008000;     // readouts of the live delivery
inline constexpr COLORREF kFaceLockedGrey = 0xC0C0C0;    // a locked current delivery
inline constexpr COLORREF kFaceStackedBlack = 0x000000;  // a current delivery otherwise

// The side of the square face, in pixels.
inline constexpr int kFaceSide = 80;

// The element rectangles for a face in `bounds` (left L, top T, right R, bottom B). Each is
// the element's test rectangle: a paint draws the element only when it meets the invalid
// rectangle. Texts are drawn into their rectangle, bitmaps anchored at its top-left, except
// the status icon, whose 23-pixel icons are drawn 12 pixels lower.
struct FaceLayout {
    CRect body;    // L, T, L+61, B: the body bitmap at (L, T)
    CRect number;  // L+6, T+1, L+23, T+16: the pump number, left and top aligned
    CRect volume;  // L+9, B-62, L+55, B-49: the readouts, right and top aligned
    CRect value;   // L+9, B-50, L+55, B-37
    CRect price;   // L+9, B-38, L+55, B-25
    CRect nozzle;  // L+62, T+11, R, B: the nozzle bitmap at (L+62, T+11)
    CRect stack;   // L+29, T, R, T+10: the stack indicator at (L+29, T)
    CRect grade;   // L+9, B-18, L+55, B: the short grade name, centred
    CRect status;  // L+9, B-35, L+55, B: the status icon at (L+9, B-35) or (L+9, B-23)
};

constexpr FaceLayout FaceLayoutFor(const CRect& bounds) {
    const LONG L = bounds.left;
    const LONG T = bounds.top;
    const LONG R = bounds.right;
    const LONG B = bounds.bottom;
    return FaceLayout{
        .body{L, T, L + 61, B},
        .number{L + 6, T + 1, L + 23, T + 16},
        .volume{L + 9, B - 62, L + 55, B - 49},
        .value{L + 9, B - 50, L + 55, B - 37},
        .price{L + 9, B - 38, L + 55, B - 25},
        .nozzle{L + 62, T + 11, R, B},
        .stack{L + 29, T, R, T + 10},
        .grade{L + 9, B - 18, L + 55, B},
        .status{L + 9, B - 35, L + 55, B},
    };
}

// The texts of a face with the box their glyphs can reach. Every text is drawn with DT_NOCLIP,
// so its glyphs are not held to its rectangle:
// - the number (left aligned, number font of cell height 19) runs right from L+6 for as many
//   digits as it has; the box holds three digits of a wider Arial-like face and the full cell,
//   and one column left of L+6 for a glyph edge of another rasteriser;
// - the readouts (right aligned at L+55, readout font of cell height 16) run left for up to
//   seven characters, past L+9 to the body's inner edge, and down the full cell, over the next
//   readout's top rows; one column right of L+55 is for a glyph edge of another rasteriser;
// - the grade name (centred, "MS Sans Serif" of height 10 with DT_VCENTER but no DT_SINGLELINE,
//   so top aligned) reaches 14 rows down: a bitmap font without a size of 10 gives its
//   smallest, 13 rows, as Windows' own does.
// `inks` are the colours the face draws the text in, at most four, unused ones 0 with
// inkCount telling how many.
struct FaceText {
    const char* name;  // "pump number", "volume readout", ...
    CRect area;        // the rectangle it is drawn into (the element's test rectangle)
    CRect reach;       // the box its glyphs can cover
    COLORREF inks[4];
    int inkCount;
};

inline constexpr int kFaceTextCount = 5;

struct FaceTexts {
    FaceText text[kFaceTextCount];
};

constexpr FaceTexts FaceTextsFor(const CRect& bounds) {
    const FaceLayout layout = FaceLayoutFor(bounds);
    const LONG L = bounds.left;
    const LONG T = bounds.top;
    const auto readout = [L](const char* name, const CRect& area) {
        return FaceText{name,
                        area,
                        CRect{L + 1, area.top, area.right + 1, area.top + 16},
                        {kFaceLiveGreen, kFaceLockedGrey, kFaceRed, kFaceStackedBlack},
                        4};
    };
    return FaceTexts{{
        FaceText{"pump number",
                 layout.number,
                 CRect{L + 5, T + 1, L + 38, T + 20},
                 {kFaceRed, kFaceWhite, 0, 0},
                 2},
        readout("volume readout", layout.volume),
        readout("value readout", layout.value),
        readout("price readout", layout.price),
        FaceText{
            "grade name",
            layout.grade,
            CRect{layout.grade.left, layout.grade.top, layout.grade.right, layout.grade.top + 14},
            {kFaceWhite, 0, 0, 0},
            1},
    }};
}

// What a status that changes only amounts repaints, without erasing, in the face's own
// coordinates: the boxes the readouts' glyphs can reach (FaceTextsFor), down to the unit price
// or only volume and value. A repaint held to the readouts' areas (8, 20, 54, 43) left glyph
// edges of the old amount beside and below them: the last column of right-aligned digits, the
// descender of the currency sign, the left of a seven-character amount.
constexpr CRect ReadoutsRepaint(bool withPrice) {
    const FaceTexts texts = FaceTextsFor(CRect{0, 0, kFaceSide, kFaceSide});
    const CRect& volume = texts.text[1].reach;
    const CRect& value = texts.text[2].reach;
    const CRect& price = texts.text[3].reach;
    const CRect& last = withPrice ? price : value;
    return CRect{std::min({volume.left, value.left, last.left}), volume.top,
                 std::max({volume.right, value.right, last.right}), last.bottom};
}
inline constexpr CRect kFaceAmountsRepaint = ReadoutsRepaint(true);
inline constexpr CRect kFaceVolumeAndValueRepaint = ReadoutsRepaint(false);

}  // namespace tolvan
