// Memory DCs, bitmaps and block copies: BitBlt, and TransparentBlt 1:1 and stretched leaving
// exactly the key-coloured pixels of the destination as they were.
#include <gtest/gtest.h>

#include "tests/platform/gdi/gdi_test_support.h"

using gdi_test::Obj;
using gdi_test::SurfaceDC;

namespace {

constexpr COLORREF kKey = RGB(128, 0, 128);

// A memory DC with a w by h bitmap whose pixels are given as rows of characters.
class MemoryBitmap {
  public:
    MemoryBitmap(const std::vector<std::string>& rows,
                 const std::vector<std::pair<char, std::uint32_t>>& colours) {
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateCompatibleBitmap(dc_, static_cast<int>(rows[0].size()),
                                         static_cast<int>(rows.size()));
        platform::PixelSurface* s = BitmapSurface(bitmap_);
        for (int y = 0; y < s->height; ++y)
            for (int x = 0; x < s->width; ++x)
                for (const auto& [mark, pixel] : colours)
                    if (rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] == mark)
                        s->at(x, y) = pixel;
        old_ = SelectObject(dc_, Obj(bitmap_));
    }
    ~MemoryBitmap() {
        SelectObject(dc_, old_);
        DeleteDC(dc_);
        DeleteObject(Obj(bitmap_));
    }
    HDC dc() const { return dc_; }
    HBITMAP bitmap() const { return bitmap_; }

  private:
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
};

const std::vector<std::pair<char, std::uint32_t>> kColours = {
    {'p', 0x800080}, {'r', 0xFF0000}, {'g', 0x00FF00}, {'b', 0x0000FF}};
const std::vector<std::pair<std::uint32_t, char>> kMarks = {
    {0xFFFFFF, '.'}, {0x800080, 'p'}, {0xFF0000, 'r'}, {0x00FF00, 'g'}, {0x0000FF, 'b'}};

TEST(TransparentBlt, OneToOneLeavesExactlyTheKeyPixels) {
    MemoryBitmap source({"prg", "bpp", "pgr"}, kColours);
    SurfaceDC target(5, 4);
    ASSERT_TRUE(TransparentBlt(target.dc(), 1, 1, 3, 3, source.dc(), 0, 0, 3, 3, kKey));
    EXPECT_EQ(target.Picture(kMarks), (std::vector<std::string>{".....",  //
                                                                "..rg.",  //
                                                                ".b...",  //
                                                                "..gr."}));
}

TEST(TransparentBlt, StretchesByNearestPixelAndStillLeavesTheKey) {
    MemoryBitmap source({"rp", "pg"}, kColours);
    SurfaceDC target(6, 4);
    ASSERT_TRUE(TransparentBlt(target.dc(), 0, 0, 6, 4, source.dc(), 0, 0, 2, 2, kKey));
    EXPECT_EQ(target.Picture(kMarks), (std::vector<std::string>{"rrr...",  //
                                                                "rrr...",  //
                                                                "...ggg",  //
                                                                "...ggg"}));
    // Shrinking a 4 by 2 part to 2 by 1 takes every second pixel.
    MemoryBitmap wide({"rpgb", "pppp"}, kColours);
    SurfaceDC small(2, 1);
    ASSERT_TRUE(TransparentBlt(small.dc(), 0, 0, 2, 1, wide.dc(), 0, 0, 4, 2, kKey));
    EXPECT_EQ(small.Picture(kMarks), (std::vector<std::string>{"rg"}));
}

TEST(TransparentBlt, RefusesBadSizesAndSourcesBeyondTheBitmap) {
    MemoryBitmap source({"rg", "gr"}, kColours);
    SurfaceDC target(2, 2);
    EXPECT_FALSE(TransparentBlt(target.dc(), 0, 0, 0, 2, source.dc(), 0, 0, 2, 2, kKey));
    EXPECT_FALSE(TransparentBlt(target.dc(), 0, 0, -2, 2, source.dc(), 0, 0, 2, 2, kKey));
    EXPECT_FALSE(TransparentBlt(target.dc(), 0, 0, 2, 2, source.dc(), 1, 0, 2, 2, kKey));
    EXPECT_FALSE(TransparentBlt(target.dc(), 0, 0, 2, 2, source.dc(), 0, 0, 2, 3, kKey));
    EXPECT_FALSE(TransparentBlt(target.dc(), 0, 0, 2, 2, nullptr, 0, 0, 2, 2, kKey));
    EXPECT_EQ(target.InkBounds(0xFFFFFF), (RECT{0, 0, 0, 0}));
}

TEST(BitBlt, CopiesEveryPixelAndClipsToTheTarget) {
    MemoryBitmap source({"rpg", "bgr"}, kColours);
    SurfaceDC target(4, 2);
    ASSERT_TRUE(BitBlt(target.dc(), 2, 0, 3, 2, source.dc(), 0, 0, SRCCOPY));
    EXPECT_EQ(target.Picture(kMarks), (std::vector<std::string>{"..rp", "..bg"}));
    EXPECT_FALSE(BitBlt(target.dc(), 0, 0, 1, 1, source.dc(), 0, 0, 0x00EE0086 /* SRCPAINT */));
    ASSERT_TRUE(BitBlt(target.dc(), 0, 0, 1, 2, nullptr, 0, 0, BLACKNESS));
    EXPECT_EQ(target.at(0, 1), 0u);
}

TEST(MemoryDC, KeepsABitmapInOneDCAtATimeAndRefusesToDeleteItWhileSelected) {
    HDC first = CreateCompatibleDC(nullptr);
    HDC second = CreateCompatibleDC(first);
    HBITMAP bitmap = CreateCompatibleBitmap(first, 3, 2);
    ASSERT_NE(bitmap, nullptr);
    HGDIOBJ original = SelectObject(first, Obj(bitmap));
    ASSERT_NE(original, nullptr);
    EXPECT_EQ(SelectObject(second, Obj(bitmap)), nullptr);
    EXPECT_FALSE(DeleteObject(Obj(bitmap)));
    BITMAP info{};
    EXPECT_EQ(GetObjectW(Obj(bitmap), sizeof info, &info), static_cast<int>(sizeof info));
    EXPECT_EQ(info.bmWidth, 3);
    EXPECT_EQ(info.bmHeight, 2);
    EXPECT_EQ(info.bmBitsPixel, 32);
    EXPECT_EQ(GetObjectW(Obj(bitmap), 4, &info), 0);
    EXPECT_EQ(SelectObject(first, original), Obj(bitmap));
    EXPECT_TRUE(DeleteObject(Obj(bitmap)));
    EXPECT_FALSE(DeleteObject(Obj(bitmap)));  // already gone
    EXPECT_EQ(CreateCompatibleBitmap(first, 0, 5), nullptr);
    EXPECT_EQ(CreateCompatibleBitmap(first, 20000, 5), nullptr);
    EXPECT_TRUE(DeleteDC(second));
    EXPECT_TRUE(DeleteDC(first));
    EXPECT_FALSE(DeleteDC(first));
}

TEST(Colours, OleTranslateColorTakesRgbAndSystemColours) {
    struct Case {
        OLE_COLOR in;
        HRESULT result;
        COLORREF out;
    };
    const Case cases[] = {
        {0x00123456, 0, 0x00123456},
        {0x80000005, 0, RGB(255, 255, 255)},                     // COLOR_WINDOW
        {0x8000000F, 0, RGB(240, 240, 240)},                     // COLOR_BTNFACE
        {0x80000012, 0, RGB(0, 0, 0)},                           // COLOR_BTNTEXT
        {0x80000019, static_cast<HRESULT>(0x80070057), 0xDEAD},  // 25 is no colour
        {0x8000001F, static_cast<HRESULT>(0x80070057), 0xDEAD},
        {0x04000000, static_cast<HRESULT>(0x80070057), 0xDEAD},
    };
    for (const Case& c : cases) {
        COLORREF out = 0xDEAD;
        EXPECT_EQ(OleTranslateColor(c.in, nullptr, &out), c.result) << std::hex << c.in;
        EXPECT_EQ(out, c.out) << std::hex << c.in;
    }
    EXPECT_EQ(GetSysColor(COLOR_WINDOWTEXT), RGB(0, 0, 0));
    EXPECT_EQ(GetSysColor(31), 0u);
    EXPECT_EQ(GetSysColor(-1), 0u);
}

TEST(Rectangles, IntersectUnionOffsetAndPointTests) {
    const RECT a{0, 0, 10, 10}, b{5, 5, 15, 20}, far{20, 20, 30, 30}, empty{3, 3, 3, 8};
    RECT r{9, 9, 9, 9};
    EXPECT_TRUE(IntersectRect(&r, &a, &b));
    EXPECT_EQ(r, (RECT{5, 5, 10, 10}));
    EXPECT_FALSE(IntersectRect(&r, &a, &far));
    EXPECT_EQ(r, (RECT{0, 0, 0, 0}));
    EXPECT_FALSE(IntersectRect(&r, &a, &empty));
    EXPECT_TRUE(UnionRect(&r, &a, &far));
    EXPECT_EQ(r, (RECT{0, 0, 30, 30}));
    EXPECT_TRUE(UnionRect(&r, &empty, &b));
    EXPECT_EQ(r, b);
    EXPECT_TRUE(PtInRect(&a, POINT{0, 0}));
    EXPECT_FALSE(PtInRect(&a, POINT{10, 5}));
    EXPECT_FALSE(PtInRect(&a, POINT{5, 10}));
    r = a;
    OffsetRect(&r, 3, -2);
    EXPECT_EQ(r, (RECT{3, -2, 13, 8}));
}

}  // namespace
