// The recording device context: a small face-like paint through CDC, its log read back call by
// call, with the pixels drawn as well.
#include <gtest/gtest.h>

#include "platform/afx/dc.h"
#include "tests/platform/gdi/gdi_test_support.h"

using gdi_test::SurfaceDC;

namespace {

TEST(DrawingLog, RecordsEveryCallOfAPaintAndStillDraws) {
    SurfaceDC target(80, 80);
    CDC dc;
    dc.Attach(target.dc());
    ASSERT_TRUE(StartDrawingLog(dc));

    CDC memory;
    ASSERT_TRUE(memory.CreateCompatibleDC(&dc));
    CBitmap icon;
    ASSERT_TRUE(icon.CreateCompatibleBitmap(&dc, 4, 3));
    SetBitmapResourceId(icon, 201);
    CBrush background(RGB(10, 20, 30));
    LOGFONTW lf{};
    lf.lfHeight = 16;
    lf.lfWeight = FW_BOLD;
    const char16_t face[] = u"Arial";
    std::copy(face, face + 5, lf.lfFaceName);
    CFont font;
    ASSERT_TRUE(font.CreateFontIndirect(&lf));

    const CRect all(0, 0, 80, 80);
    dc.FillRect(&all, &background);
    CFont* oldFont = dc.SelectObject(&font);
    ASSERT_NE(oldFont, nullptr);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(RGB(0, 128, 0));
    CRect volume(9, 18, 55, 31);
    dc.DrawText("12.345", &volume, DT_RIGHT | DT_TOP | DT_NOCLIP | DT_NOPREFIX);
    CBitmap* oldBitmap = memory.SelectObject(&icon);
    ASSERT_NE(oldBitmap, nullptr);
    ASSERT_TRUE(dc.TransparentBlt(9, 45, 4, 3, &memory, 0, 0, 4, 3, RGB(128, 0, 128)));
    memory.SelectObject(oldBitmap);
    dc.SelectObject(oldFont);

    const std::vector<DrawingRecord> log = TakeDrawingLog(dc);
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].operation, "FillRect");
    EXPECT_EQ(log[0].destination, (RECT{0, 0, 80, 80}));
    EXPECT_EQ(log[0].fillColour, RGB(10, 20, 30));
    EXPECT_EQ(log[1].operation, "DrawText");
    EXPECT_EQ(log[1].text, "12.345");
    EXPECT_EQ(log[1].destination, (RECT{9, 18, 55, 31}));
    EXPECT_EQ(log[1].fontFace, "Arial");
    EXPECT_EQ(log[1].fontHeight, 16);
    EXPECT_EQ(log[1].fontWeight, FW_BOLD);
    EXPECT_EQ(log[1].textColour, RGB(0, 128, 0));
    EXPECT_EQ(log[1].flags, DT_RIGHT | DT_TOP | DT_NOCLIP | DT_NOPREFIX);
    EXPECT_EQ(log[2].operation, "TransparentBlt");
    EXPECT_EQ(log[2].bitmapId, 201u);
    EXPECT_EQ(log[2].destination, (RECT{9, 45, 13, 48}));
    EXPECT_EQ(log[2].sourceSize.cx, 4);
    EXPECT_EQ(log[2].sourceSize.cy, 3);
    EXPECT_EQ(log[2].keyColour, RGB(128, 0, 128));
    EXPECT_TRUE(TakeDrawingLog(dc).empty());  // taken

    // The pixels are drawn too: background, green text inside its box, the black bitmap.
    EXPECT_EQ(target.at(0, 0), 0x0A141Eu);
    EXPECT_EQ(target.at(9, 45), 0u);
    bool green = false;
    for (int y = 18; y < 31; ++y)
        for (int x = 9; x < 55; ++x)
            green |= target.at(x, y) == 0x008000u;
    EXPECT_TRUE(green);
    dc.Detach();
}

TEST(DrawingLog, OnlyARecordingDCKeepsALog) {
    SurfaceDC target(4, 4);
    const RECT r{0, 0, 2, 2};
    FillRect(target.dc(), &r, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    EXPECT_TRUE(TakeDrawingLog(target.dc()).empty());
    EXPECT_FALSE(StartDrawingLog(nullptr));
}

}  // namespace
