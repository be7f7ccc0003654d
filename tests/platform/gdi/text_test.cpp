// Fonts and DrawText: face resolution, LOGFONT heights as Windows maps them, each alignment's
// ink inside its box, line breaking with and without DT_SINGLELINE and DT_WORDBREAK, prefixes,
// DT_CALCRECT and the background mode.
#include <gtest/gtest.h>

#include "tests/platform/gdi/gdi_test_support.h"

using gdi_test::MakeFont;
using gdi_test::Obj;
using gdi_test::SurfaceDC;

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;

// A surface DC with a font selected, black text, transparent background.
class TextDC : public SurfaceDC {
  public:
    TextDC(int w, int h, const char16_t* face = u"Arial", LONG height = 16, LONG weight = FW_BOLD)
        : SurfaceDC(w, h), font_(MakeFont(face, height, weight)) {
        SelectObject(dc(), Obj(font_));
        SetBkMode(dc(), TRANSPARENT);
        SetTextColor(dc(), RGB(0, 0, 0));
    }
    ~TextDC() {
        SelectObject(dc(), GetStockObject(SYSTEM_FONT));
        DeleteObject(Obj(font_));
    }
    TEXTMETRICW Metrics() {
        TEXTMETRICW tm{};
        GetTextMetricsW(dc(), &tm);
        return tm;
    }
    LONG Width(const char16_t* text) {
        SIZE size{};
        GetTextExtentPoint32W(dc(), text,
                              static_cast<int>(std::char_traits<char16_t>::length(text)), &size);
        return size.cx;
    }

  private:
    HFONT font_;
};

TEST(Fonts, ResolveWindowsFaceNamesToInstalledFaces) {
    HFONT arial = MakeFont(u"Arial", 16);
    ASSERT_NE(arial, nullptr);
    EXPECT_EQ(FontResolvedFace(arial), "Liberation Sans");  // metric-compatible
    for (const char16_t* face : {u"MS Sans Serif", u"MS Shell Dlg", u"No Such Face 123", u""}) {
        HFONT font = MakeFont(face, 10);
        ASSERT_NE(font, nullptr);
        EXPECT_FALSE(FontResolvedFace(font).empty());
        DeleteObject(Obj(font));
    }
    LOGFONTW back{};
    EXPECT_EQ(GetObjectW(Obj(arial), sizeof back, &back), static_cast<int>(sizeof back));
    EXPECT_EQ(back.lfHeight, 16);
    EXPECT_EQ(back.lfFaceName[0], u'A');
    DeleteObject(Obj(arial));
}

TEST(Fonts, PositiveHeightIsTheCellAndNegativeTheCharacterHeight) {
    for (LONG height : {10, 16, 19, 40}) {
        TextDC cell(10, 10, u"Arial", height);
        const TEXTMETRICW tm = cell.Metrics();
        EXPECT_EQ(tm.tmHeight, height) << height;  // the largest cell that fits the request
        EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent) << height;
        TextDC character(10, 10, u"Arial", -height);
        const TEXTMETRICW em = character.Metrics();
        EXPECT_EQ(em.tmHeight - em.tmInternalLeading, height) << -height;
        EXPECT_GT(em.tmInternalLeading, 0) << -height;
    }
    TextDC arial(10, 10, u"Arial", 16, FW_NORMAL);
    EXPECT_GT(arial.Metrics().tmAveCharWidth, 4);
    EXPECT_LT(arial.Metrics().tmAveCharWidth, 10);
    EXPECT_EQ(arial.Width(u"iiii") * 2 < arial.Width(u"WWWW"), true);  // proportional
}

TEST(DrawText, EachAlignmentPutsTheInkInsideItsBoxWhereItBelongs) {
    const RECT box{10, 8, 110, 48};
    struct Case {
        const char* name;
        UINT flags;
        // Where the ink must lie relative to the box: "left", "center", "right" and "top",
        // "middle", "bottom".
        const char* horizontal;
        const char* vertical;
    };
    const Case cases[] = {
        {"left top", DT_LEFT | DT_TOP | DT_SINGLELINE, "left", "top"},
        {"center", DT_CENTER | DT_SINGLELINE, "center", "top"},
        {"right", DT_RIGHT | DT_SINGLELINE, "right", "top"},
        {"vcenter", DT_LEFT | DT_VCENTER | DT_SINGLELINE, "left", "middle"},
        {"bottom right", DT_RIGHT | DT_BOTTOM | DT_SINGLELINE, "right", "bottom"},
        {"vcenter ignored without single line", DT_CENTER | DT_VCENTER, "center", "top"},
        {"bottom ignored without single line", DT_RIGHT | DT_BOTTOM | DT_WORDBREAK, "right", "top"},
    };
    for (const Case& c : cases) {
        TextDC t(120, 56);
        RECT rect = box;
        const int height = DrawTextW(t.dc(), u"08", -1, &rect, c.flags);
        const TEXTMETRICW tm = t.Metrics();
        const RECT ink = t.InkBounds(kWhite);
        ASSERT_LT(ink.left, ink.right) << c.name;
        EXPECT_GE(ink.left, box.left) << c.name;
        EXPECT_LE(ink.right, box.right) << c.name;
        EXPECT_GE(ink.top, box.top) << c.name;
        EXPECT_LE(ink.bottom, box.bottom) << c.name;
        const LONG inkCenterX = (ink.left + ink.right) / 2;
        const LONG width = t.Width(u"08");
        const std::string horizontal = c.horizontal;
        if (horizontal == "left") {
            EXPECT_LE(ink.left, box.left + 2) << c.name;
        } else if (horizontal == "right") {
            EXPECT_GE(ink.right, box.right - 2) << c.name;
        } else {
            EXPECT_NEAR(inkCenterX, (box.left + box.right) / 2, 2) << c.name;
        }
        const LONG lineTop = std::string(c.vertical) == "top" ? box.top
                             : std::string(c.vertical) == "bottom"
                                 ? box.bottom - tm.tmHeight
                                 : box.top + (box.bottom - box.top) / 2 - tm.tmHeight / 2;
        EXPECT_GE(ink.top, lineTop) << c.name;
        EXPECT_LE(ink.bottom, lineTop + tm.tmHeight) << c.name;
        EXPECT_LE(ink.right - ink.left, width + 1) << c.name;
        EXPECT_EQ(height, lineTop + tm.tmHeight - box.top) << c.name;
        EXPECT_EQ(rect, box) << c.name;  // only DT_CALCRECT changes the rectangle
    }
}

TEST(DrawText, LinesBreakAsWindowsBreaksThem) {
    struct Case {
        const char16_t* text;
        UINT flags;
        int lines;
    };
    const Case cases[] = {
        {u"one\ntwo", DT_SINGLELINE, 1},           // CR and LF do not break one line
        {u"one\ntwo", DT_LEFT, 2},                 // LF breaks
        {u"one\r\ntwo\rthree", DT_LEFT, 3},        // CRLF is one break, CR another
        {u"one two three four", DT_LEFT, 1},       // no wrapping without DT_WORDBREAK
        {u"one two three four", DT_WORDBREAK, 2},  // wraps at spaces
        {u"one\none two three four", DT_WORDBREAK, 3},
        {u"unbreakablewordwiderthanthebox", DT_WORDBREAK, 1},
        {u"end with a break\n", DT_LEFT, 1},
    };
    for (const Case& c : cases) {
        TextDC t(200, 100, u"Arial", 16, FW_NORMAL);
        const LONG width = t.Width(u"one two three");
        RECT rect{0, 0, width + 1, 100};
        const int height = DrawTextW(t.dc(), c.text, -1, &rect, c.flags | DT_CALCRECT);
        EXPECT_EQ(height, c.lines * t.Metrics().tmHeight) << std::string(c.text, c.text + 5);
        EXPECT_EQ(rect.bottom, c.lines * t.Metrics().tmHeight);
    }
}

TEST(DrawText, CalcRectMeasuresWithoutDrawing) {
    TextDC t(100, 40);
    RECT rect{5, 5, 6, 6};
    const int height = DrawTextA(t.dc(), "Olá", -1, &rect, DT_SINGLELINE | DT_CALCRECT);
    EXPECT_EQ(height, t.Metrics().tmHeight);
    EXPECT_EQ(rect, (RECT{5, 5, 5 + t.Width(u"Olá"), 5 + t.Metrics().tmHeight}));
    EXPECT_EQ(t.InkBounds(kWhite), (RECT{0, 0, 0, 0}));
    EXPECT_EQ(DrawTextA(t.dc(), "", 0, &rect, DT_SINGLELINE), 0);
    EXPECT_EQ(DrawTextA(t.dc(), "x", 1, nullptr, DT_SINGLELINE), 0);
}

TEST(DrawText, ClipsToTheBoxUnlessNoClip) {
    TextDC clipped(120, 30);
    RECT narrow{0, 0, 10, 30};
    DrawTextW(clipped.dc(), u"WWWW", -1, &narrow, DT_SINGLELINE);
    EXPECT_LE(clipped.InkBounds(kWhite).right, 10);
    TextDC free(120, 30);
    DrawTextW(free.dc(), u"WWWW", -1, &narrow, DT_SINGLELINE | DT_NOCLIP);
    EXPECT_GT(free.InkBounds(kWhite).right, 30);
}

TEST(DrawText, PrefixesUnderlineUnlessNoPrefix) {
    TextDC t(100, 30);
    RECT shown{0, 0, 100, 30};
    DrawTextW(t.dc(), u"&A&&B", -1, &shown, DT_SINGLELINE | DT_CALCRECT);
    EXPECT_EQ(shown.right, t.Width(u"A&B"));  // "&A&&B" shows "A&B"
    RECT plain{0, 0, 100, 30};
    DrawTextW(t.dc(), u"a&&b", -1, &plain, DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
    EXPECT_EQ(plain.right, t.Width(u"a&&b"));
    // The underline runs below the baseline under the prefixed letter only.
    TextDC u(60, 30);
    RECT r{0, 0, 60, 30};
    DrawTextW(u.dc(), u"&xx", -1, &r, DT_SINGLELINE);
    TextDC v(60, 30);
    DrawTextW(v.dc(), u"xx", -1, &r, DT_SINGLELINE | DT_NOPREFIX);
    const RECT underlined = u.InkBounds(kWhite), plainInk = v.InkBounds(kWhite);
    EXPECT_EQ(underlined.bottom, u.Metrics().tmAscent + 2);
    EXPECT_EQ(plainInk.bottom, v.Metrics().tmAscent);
    EXPECT_EQ(u.at(t.Width(u"x") + 1, u.Metrics().tmAscent + 1), kWhite);  // not under the second x
}

TEST(DrawText, OpaqueModeFillsTheLineWithTheBackgroundColour) {
    TextDC t(80, 30);
    SetBkMode(t.dc(), OPAQUE);
    SetBkColor(t.dc(), RGB(0, 0, 255));
    RECT r{0, 0, 80, 30};
    DrawTextW(t.dc(), u"ab", -1, &r, DT_SINGLELINE);
    EXPECT_EQ(t.at(0, 0), 0x0000FFu);
    EXPECT_EQ(t.at(t.Width(u"ab") - 1, t.Metrics().tmHeight - 1), 0x0000FFu);
    EXPECT_EQ(t.at(t.Width(u"ab"), 0), kWhite);
    EXPECT_EQ(t.at(0, t.Metrics().tmHeight), kWhite);
}

TEST(DrawText, BlendsGreyScaleEdgesBetweenTextAndBackground) {
    TextDC t(60, 30);
    SetTextColor(t.dc(), RGB(0, 0, 0));
    RECT r{0, 0, 60, 30};
    DrawTextW(t.dc(), u"Os", -1, &r, DT_SINGLELINE);
    int grey = 0, black = 0;
    for (std::uint32_t p : t.surface().pixels) {
        if (p == 0)
            ++black;
        else if (p != kWhite && (p & 0xFF) == ((p >> 8) & 0xFF))
            ++grey;
    }
    EXPECT_GT(black, 10);
    EXPECT_GT(grey, 5);  // antialiased edges
}

}  // namespace

TEST(DrawText, WindowsBitmapFacesAreDrawnWithoutSmoothing) {
    // Windows has these faces only as bitmap fonts: every pixel is the text colour or the
    // background, at the pump face's 10 pixels and the dialogs' 8 points alike.
    const struct {
        const char16_t* face;
        LONG height;
        LONG weight;
    } cases[] = {{u"MS Sans Serif", 10, FW_NORMAL},
                 {u"MS Sans Serif", -11, FW_NORMAL},
                 {u"ms sans serif", 19, FW_NORMAL},
                 {u"MS Sans Serif", 16, FW_BOLD},
                 {u"System", 16, FW_BOLD}};
    for (const auto& c : cases) {
        TextDC t(90, 30, c.face, c.height, c.weight);
        SetTextColor(t.dc(), RGB(0, 0, 255));
        RECT r{0, 0, 90, 30};
        DrawTextW(t.dc(), u"S10 Os/g", -1, &r, DT_SINGLELINE);
        int ink = 0, other = 0;
        for (std::uint32_t p : t.surface().pixels) {
            if (p == 0x0000FFu)
                ++ink;
            else if (p != kWhite)
                ++other;
        }
        EXPECT_GT(ink, 20) << c.height;
        EXPECT_EQ(other, 0) << c.height << ": smoothed edges";
    }
    // The outline faces keep their grey edges at the same small size.
    TextDC arial(90, 30, u"Arial", 10, FW_NORMAL);
    RECT r{0, 0, 90, 30};
    DrawTextW(arial.dc(), u"S10 Os/g", -1, &r, DT_SINGLELINE);
    int grey = 0;
    for (std::uint32_t p : arial.surface().pixels)
        grey += p != 0 && p != kWhite ? 1 : 0;
    EXPECT_GT(grey, 5);
}
