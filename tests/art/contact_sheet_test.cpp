// The contact sheet: pictures enlarged in place under their labels, transparent pixels as a
// checkerboard, and the sheet written as a PNG that reads back with the same size.
#include <gtest/gtest.h>
#include <png.h>

#include "apps/tolvan-art/contact_sheet.h"
#include "tests/support/temp_folder.h"

namespace {

using art::SheetPicture;
using art::SheetSection;

std::uint32_t At(const std::vector<std::uint32_t>& pixels, int width, int x, int y) {
    return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                  static_cast<std::size_t>(x)];
}

// One 3 by 2 picture: key, red, key / green, key, key.
SheetSection OnePicture(bool alsoActualSize) {
    SheetPicture p{
        "7", 3, 2, {0x800080, 0xFF0000, 0x800080, 0x00FF00, 0x800080, 0x800080}, 0x800080};
    SheetSection s{"T", {}, {p}};
    s.options.alsoActualSize = alsoActualSize;
    return s;
}

TEST(ContactSheetTest, PicturesAreEnlargedWithKeyPixelsAsChecks) {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels = art::RenderContactSheet({OnePicture(false)}, width, height);
    // Title line at the top, the label, then the picture 4x at (16, 63).
    ASSERT_GE(width, 16 + 12);
    ASSERT_GE(height, 63 + 8);
    const int left = 16, top = 63;
    EXPECT_EQ(At(pixels, width, left + 4, top), 0xFF0000u);
    EXPECT_EQ(At(pixels, width, left + 7, top + 3), 0xFF0000u);
    EXPECT_EQ(At(pixels, width, left, top + 4), 0x00FF00u);
    EXPECT_EQ(At(pixels, width, left + 3, top + 7), 0x00FF00u);
    // Key pixels: checks of four screen pixels, light and dark alternating.
    EXPECT_EQ(At(pixels, width, left, top), 0xFFFFFFu);
    EXPECT_EQ(At(pixels, width, left + 8, top), 0xFFFFFFu);
    EXPECT_EQ(At(pixels, width, left + 4, top + 4), 0xFFFFFFu);
    EXPECT_EQ(At(pixels, width, left + 8, top + 4), 0xD8D8D8u);
    // The label "7" (a 3 by 5 glyph at scale 2) starts with its top bar.
    EXPECT_EQ(At(pixels, width, left, 47), 0x202020u);
    EXPECT_EQ(At(pixels, width, left + 5, 47), 0x202020u);
    EXPECT_EQ(At(pixels, width, left, 47 + 2), 0xF4F4F4u);
}

TEST(ContactSheetTest, ActualSizeCopyStandsLeftOfTheEnlargement) {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels = art::RenderContactSheet({OnePicture(true)}, width, height);
    const int left = 16, top = 63;
    EXPECT_EQ(At(pixels, width, left + 1, top), 0xFF0000u);
    EXPECT_EQ(At(pixels, width, left, top + 1), 0x00FF00u);
    const int enlarged = left + 3 + 8;
    EXPECT_EQ(At(pixels, width, enlarged + 4, top), 0xFF0000u);
    EXPECT_EQ(At(pixels, width, enlarged, top + 4), 0x00FF00u);
}

TEST(ContactSheetTest, WrittenPngReadsBackWithTheSheetsSize) {
    test_support::TempFolder folder("sheet");
    std::string error;
    ASSERT_TRUE(art::WriteContactSheet({OnePicture(false)}, folder.File("s.png"), error)) << error;
    int width = 0, height = 0;
    art::RenderContactSheet({OnePicture(false)}, width, height);
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_NE(png_image_begin_read_from_file(&image, folder.File("s.png").c_str()), 0);
    EXPECT_EQ(static_cast<int>(image.width), width);
    EXPECT_EQ(static_cast<int>(image.height), height);
    png_image_free(&image);

    EXPECT_FALSE(art::WriteContactSheet({OnePicture(false)}, folder.File("no/such/s.png"), error));
    EXPECT_NE(error.find("no/such/s.png: cannot write the PNG"), std::string::npos) << error;
}

}  // namespace
