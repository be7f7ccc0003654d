// The .bmp and .ico encodings, byte for byte, of small maps worked out by hand.
#include <gtest/gtest.h>

#include <vector>

#include "apps/tolvan-art/dib_writer.h"

namespace {

art::Palette TwoColourPalette() {
    art::Palette p;
    for (int i = 0; i < 16; ++i) {
        p.letters[static_cast<std::size_t>(i)] = static_cast<char>('a' + i);
        p.rgb[static_cast<std::size_t>(i)] = 0x010203u * static_cast<std::uint32_t>(i);
    }
    p.rgb[0] = 0x800080;
    p.rgb[1] = 0x000000;
    p.keyIndex = 0;
    p.blackIndex = 1;
    return p;
}

std::vector<std::uint8_t> Slice(const std::vector<std::uint8_t>& bytes, std::size_t from,
                                std::size_t count) {
    return {bytes.begin() + static_cast<long>(from),
            bytes.begin() + static_cast<long>(from + count)};
}

// 3 by 2: top row indices 0 2 15, bottom row 3 4 5.
art::PixelMap SmallMap() {
    return {"small", 3, 2, {0, 2, 15, 3, 4, 5}};
}

TEST(DibWriterTest, BitmapFileHasHeadersPaletteAndBottomUpPaddedRows) {
    std::vector<std::uint8_t> bytes = art::EncodeBitmapFile(SmallMap(), TwoColourPalette());
    ASSERT_EQ(bytes.size(), 14u + 40u + 64u + 8u);
    const std::vector<std::uint8_t> fileHeader = {'B', 'M', 126, 0, 0, 0, 0, 0, 0, 0, 118, 0, 0, 0};
    EXPECT_EQ(Slice(bytes, 0, 14), fileHeader);
    const std::vector<std::uint8_t> infoHeader = {
        40, 0, 0, 0, 3,    0,    0, 0, 2,    0,    0, 0, 1,  0, 4, 0, 0, 0, 0, 0,
        8,  0, 0, 0, 0xC4, 0x0E, 0, 0, 0xC4, 0x0E, 0, 0, 16, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(Slice(bytes, 14, 40), infoHeader);
    // Palette entries are blue, green, red, 0.
    EXPECT_EQ(Slice(bytes, 54, 4), (std::vector<std::uint8_t>{0x80, 0x00, 0x80, 0}));
    EXPECT_EQ(Slice(bytes, 54 + 4 * 15, 4), (std::vector<std::uint8_t>{0x2D, 0x1E, 0x0F, 0}));
    // Bottom row first, left pixel in the high nibble, each row padded to 4 bytes.
    EXPECT_EQ(Slice(bytes, 118, 8),
              (std::vector<std::uint8_t>{0x34, 0x50, 0, 0, 0x02, 0xF0, 0, 0}));
}

TEST(DibWriterTest, RowsWiderThanFourBytesArePaddedToTheNextFour) {
    art::PixelMap map{"wide", 9, 1, {1, 2, 3, 4, 5, 6, 7, 8, 9}};
    std::vector<std::uint8_t> bytes = art::EncodeBitmapFile(map, TwoColourPalette());
    EXPECT_EQ(Slice(bytes, 118, bytes.size() - 118),
              (std::vector<std::uint8_t>{0x12, 0x34, 0x56, 0x78, 0x90, 0, 0, 0}));
}

TEST(DibWriterTest, IconHasDirectoryDoubleHeightHeaderColoursAndMask) {
    art::PixelMap map{"icon", 2, 2, {0, 2, 3, 0}};
    std::vector<std::uint8_t> bytes = art::EncodeIconFile({map, map}, TwoColourPalette());
    const std::uint32_t imageSize = 40 + 64 + 8 + 8;
    ASSERT_EQ(bytes.size(), 6u + 2 * 16 + 2 * imageSize);
    EXPECT_EQ(Slice(bytes, 0, 6), (std::vector<std::uint8_t>{0, 0, 1, 0, 2, 0}));
    const std::vector<std::uint8_t> firstEntry = {2,   2, 16, 0, 1,  0, 4, 0,
                                                  120, 0, 0,  0, 38, 0, 0, 0};
    EXPECT_EQ(Slice(bytes, 6, 16), firstEntry);
    EXPECT_EQ(bytes[22 + 12], 38 + 120);  // the second image follows the first
    const std::size_t image = 38;
    EXPECT_EQ(Slice(bytes, image + 8, 4), (std::vector<std::uint8_t>{4, 0, 0, 0}));  // 2 x 2
    // Colour rows bottom-up with the key turned black (index 1), then the AND mask rows,
    // whose set bits are the key pixels.
    EXPECT_EQ(
        Slice(bytes, image + 104, 16),
        (std::vector<std::uint8_t>{0x31, 0, 0, 0, 0x12, 0, 0, 0, 0x40, 0, 0, 0, 0x80, 0, 0, 0}));
}

}  // namespace
