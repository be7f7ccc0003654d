// The DIB reader: every supported bit count in both row orders with its palette's exact colours,
// and malformed data refused without touching the output.
#include <gtest/gtest.h>

#include "platform/bmp_reader.h"
#include "tests/platform/gdi/bmp_builder.h"

using gdi_test::BmpLayout;
using gdi_test::PackedDib;
using gdi_test::Poke32;

namespace {

const std::vector<std::uint32_t> kSixteen = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

TEST(BmpReader, ReadsFourBitDibsWithTheirPaletteInBothRowOrders) {
    for (bool topDown : {false, true}) {
        BmpLayout layout{5, 3,        topDown,
                         4, kSixteen, {{0, 1, 2, 3, 4}, {5, 6, 7, 8, 9}, {15, 14, 13, 12, 11}}};
        const auto dib = PackedDib(layout);
        platform::DibImage image;
        std::string error;
        ASSERT_TRUE(platform::ReadPackedDib(dib.data(), dib.size(), &image, &error)) << error;
        EXPECT_EQ(image.width, 5);
        EXPECT_EQ(image.height, 3);
        EXPECT_EQ(image.pixels,
                  (std::vector<std::uint32_t>{0x000000, 0x800000, 0x008000, 0x808000, 0x000080,  //
                                              0x800080, 0x008080, 0xC0C0C0, 0x808080, 0xFF0000,  //
                                              0xFFFFFF, 0x00FFFF, 0xFF00FF, 0x0000FF, 0xFFFF00}))
            << (topDown ? "top-down" : "bottom-up");
    }
}

TEST(BmpReader, ReadsOneEightAndTwentyFourBitDibs) {
    struct Case {
        const char* name;
        BmpLayout layout;
        std::vector<std::uint32_t> expected;
    };
    const Case cases[] = {
        {"1 bit, 9 wide (two bytes a row)",
         {9,
          2,
          false,
          1,
          {0x112233, 0xAABBCC},
          {{1, 0, 1, 0, 1, 0, 1, 0, 1}, {0, 0, 0, 0, 0, 0, 0, 0, 1}}},
         {0xAABBCC, 0x112233, 0xAABBCC, 0x112233, 0xAABBCC, 0x112233, 0xAABBCC, 0x112233, 0xAABBCC,
          0x112233, 0x112233, 0x112233, 0x112233, 0x112233, 0x112233, 0x112233, 0x112233,
          0xAABBCC}},
        {"8 bit, 3 colours used",
         {3, 1, true, 8, {0x010203, 0x040506, 0x070809}, {{2, 0, 1}}},
         {0x070809, 0x010203, 0x040506}},
        {"24 bit, odd width padded",
         {3, 2, false, 24, {}, {{0xFF0000, 0x00FF00, 0x0000FF}, {0x123456, 0x789ABC, 0xDEF012}}},
         {0xFF0000, 0x00FF00, 0x0000FF, 0x123456, 0x789ABC, 0xDEF012}},
        {"4 bit, index beyond a short palette reads black",
         {2, 1, false, 4, {0xFFFFFF, 0x808080}, {{1, 9}}},
         {0x808080, 0x000000}},
    };
    for (const Case& c : cases) {
        const auto dib = PackedDib(c.layout);
        platform::DibImage image;
        std::string error;
        ASSERT_TRUE(platform::ReadPackedDib(dib.data(), dib.size(), &image, &error))
            << c.name << ": " << error;
        EXPECT_EQ(image.pixels, c.expected) << c.name;
    }
}

TEST(BmpReader, RefusesMalformedDataAndLeavesTheOutputAlone) {
    const BmpLayout good{4, 2, false, 4, kSixteen, {{1, 2, 3, 4}, {5, 6, 7, 8}}};
    const auto base = PackedDib(good);
    struct Case {
        const char* name;
        std::vector<unsigned char> data;
    };
    auto with = [&](std::size_t at, std::uint32_t v) {
        auto d = base;
        Poke32(d, at, v);
        return d;
    };
    auto with16 = [&](std::size_t at, std::uint16_t v) {
        auto d = base;
        d[at] = static_cast<unsigned char>(v);
        d[at + 1] = static_cast<unsigned char>(v >> 8);
        return d;
    };
    const Case cases[] = {
        {"empty", {}},
        {"header cut short", std::vector<unsigned char>(base.begin(), base.begin() + 20)},
        {"core header (12 bytes)", with(0, 12)},
        {"header size beyond the data", with(0, 124)},
        {"zero width", with(4, 0)},
        {"negative width", with(4, static_cast<std::uint32_t>(-4))},
        {"zero height", with(8, 0)},
        {"absurd width", with(4, 100000)},
        {"absurd height", with(8, 0x7FFFFFFF)},
        {"most negative height", with(8, 0x80000000)},
        {"two planes", with16(12, 2)},
        {"16 bits", with16(14, 16)},
        {"32 bits", with16(14, 32)},
        {"RLE4 compression", with(16, 2)},
        {"17 colours for 4 bits", with(32, 17)},
        {"huge colour count", with(32, 0xFFFFFFFF)},
        {"colour table cut short", std::vector<unsigned char>(base.begin(), base.begin() + 60)},
        {"last row cut short", std::vector<unsigned char>(base.begin(), base.end() - 1)},
        {"height larger than the rows", with(8, 3)},
    };
    for (const Case& c : cases) {
        platform::DibImage image;
        image.width = -7;
        std::string error;
        EXPECT_FALSE(platform::ReadPackedDib(c.data.data(), c.data.size(), &image, &error))
            << c.name;
        EXPECT_FALSE(error.empty()) << c.name;
        EXPECT_EQ(image.width, -7) << c.name;
    }
    platform::DibImage image;
    EXPECT_FALSE(platform::ReadPackedDib(nullptr, 100, &image, nullptr));
}

TEST(BmpReader, ReadsFilesAndChecksTheirPixelOffset) {
    const BmpLayout layout{2, 2, true, 4, kSixteen, {{1, 2}, {3, 4}}};
    auto file = gdi_test::BmpFile(layout);
    platform::DibImage image;
    std::string error;
    ASSERT_TRUE(platform::ReadBmpFile(file.data(), file.size(), &image, &error)) << error;
    EXPECT_EQ(image.pixels, (std::vector<std::uint32_t>{0x800000, 0x008000, 0x808000, 0x000080}));

    auto notBm = file;
    notBm[0] = 'X';
    EXPECT_FALSE(platform::ReadBmpFile(notBm.data(), notBm.size(), &image, &error));
    auto offsetInHeader = file;
    Poke32(offsetInHeader, 10, 20);
    EXPECT_FALSE(
        platform::ReadBmpFile(offsetInHeader.data(), offsetInHeader.size(), &image, &error));
    auto offsetPastEnd = file;
    Poke32(offsetPastEnd, 10, static_cast<std::uint32_t>(file.size() + 1));
    EXPECT_FALSE(platform::ReadBmpFile(offsetPastEnd.data(), offsetPastEnd.size(), &image, &error));
    auto offsetTooLate = file;  // rows would run past the end
    Poke32(offsetTooLate, 10, static_cast<std::uint32_t>(file.size() - 4));
    EXPECT_FALSE(platform::ReadBmpFile(offsetTooLate.data(), offsetTooLate.size(), &image, &error));
}

}  // namespace
