// FillRect, FrameRect and the clip of surface DCs, pixel by pixel.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "tests/platform/gdi/gdi_test_support.h"
#include "tests/support/temp_folder.h"

using gdi_test::Obj;
using gdi_test::SurfaceDC;

namespace {

TEST(FillRect, FillsLeftAndTopEdgesButNotRightAndBottom) {
    SurfaceDC s(6, 5);
    HBRUSH brush = CreateSolidBrush(RGB(0x12, 0x34, 0x56));
    const RECT rect{1, 1, 4, 3};
    EXPECT_NE(FillRect(s.dc(), &rect, brush), 0);
    EXPECT_EQ(s.Picture({{0xFFFFFF, '.'}, {0x123456, '#'}}),
              (std::vector<std::string>{"......", ".###..", ".###..", "......", "......"}));
    EXPECT_TRUE(DeleteObject(Obj(brush)));
}

TEST(FillRect, TakesSystemColourBrushesAndRefusesBadHandles) {
    SurfaceDC s(2, 1);
    const RECT rect{0, 0, 1, 1};
    EXPECT_NE(FillRect(s.dc(), &rect, reinterpret_cast<HBRUSH>(COLOR_HIGHLIGHT + 1)), 0);
    EXPECT_EQ(s.at(0, 0), 0x0078D7u);  // RGB(0, 120, 215)
    int notABrush = 0;
    EXPECT_EQ(FillRect(s.dc(), &rect, reinterpret_cast<HBRUSH>(&notABrush)), 0);
    EXPECT_EQ(FillRect(reinterpret_cast<HDC>(&notABrush), &rect,
                       reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1)),
              0);
    EXPECT_EQ(s.at(0, 0), 0x0078D7u);
}

TEST(SurfaceDC, DrawsOnlyInsideTheUnionOfItsClipAndAtItsOrigin) {
    platform::PixelSurface surface;
    surface.Reset(8, 4, 0xFFFFFF);
    // Two overlapping clip rectangles and one partly off the surface.
    HDC dc = CreateSurfaceDC(surface, POINT{1, 1},
                             {RECT{0, 0, 3, 3}, RECT{2, 1, 5, 4}, RECT{6, 0, 20, 2}});
    HBRUSH brush = CreateSolidBrush(RGB(0, 0, 0));
    const RECT all{-1, -1, 100, 100};
    FillRect(dc, &all, brush);
    EXPECT_EQ((std::vector<std::string>{"###...##", "#####.##", "#####...", "..###..."}), [&] {
        std::vector<std::string> rows;
        for (int y = 0; y < 4; ++y) {
            std::string row;
            for (int x = 0; x < 8; ++x)
                row += surface.at(x, y) == 0 ? '#' : '.';
            rows.push_back(row);
        }
        return rows;
    }());
    // Logical (0,0) is surface (1,1).
    const RECT one{0, 0, 1, 1};
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    surface.Reset(8, 4, 0xFFFFFF);
    FillRect(dc, &one, red);
    EXPECT_EQ(surface.at(1, 1), 0xFF0000u);
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dc, 4, -1), CLR_INVALID);  // surface (5,0) is outside the clip
    DeleteDC(dc);
    DeleteObject(Obj(brush));
    DeleteObject(Obj(red));
}

TEST(FillRect, RefusesCoordinatesBeyondGdisRangeInsteadOfOverflowing) {
    SurfaceDC s(2, 2);
    HBRUSH brush = CreateSolidBrush(RGB(0, 0, 0));
    const RECT huge{0, 0, 0x7FFFFFFF, 0x7FFFFFFF};
    EXPECT_EQ(FillRect(s.dc(), &huge, brush), 0);
    const RECT large{-(1 << 27), -(1 << 27), 1 << 27, 1 << 27};
    EXPECT_NE(FillRect(s.dc(), &large, brush), 0);
    EXPECT_EQ(s.at(1, 1), 0u);
    EXPECT_FALSE(BitBlt(s.dc(), 0x7FFFFFF0, 0, 100, 1, nullptr, 0, 0, BLACKNESS));
    DeleteObject(Obj(brush));
}

TEST(FrameRect, DrawsAOnePixelFrameInside) {
    SurfaceDC s(5, 4);
    HBRUSH brush = CreateSolidBrush(RGB(0, 0, 0));
    const RECT rect{0, 0, 4, 4};
    FrameRect(s.dc(), &rect, brush);
    EXPECT_EQ(s.Picture({{0xFFFFFF, '.'}, {0, '#'}}),
              (std::vector<std::string>{"####.", "#..#.", "#..#.", "####."}));
    DeleteObject(Obj(brush));
}

TEST(WritePng, WritesAPngAndRefusesWhatItCannotWrite) {
    test_support::TempFolder folder;
    SurfaceDC s(3, 2, 0x102030);
    const std::string path = folder.path() + "/out.png";
    ASSERT_TRUE(WritePng(s.surface(), path.c_str()));
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(bytes.size(), 8u);
    EXPECT_EQ(bytes.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    EXPECT_FALSE(WritePng(s.surface(), (folder.path() + "/missing/out.png").c_str()));
    EXPECT_FALSE(std::filesystem::exists(folder.path() + "/missing"));
    platform::PixelSurface empty;
    EXPECT_FALSE(WritePng(empty, (folder.path() + "/empty.png").c_str()));
    EXPECT_FALSE(std::filesystem::exists(folder.path() + "/empty.png"));
}

}  // namespace
