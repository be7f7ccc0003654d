// The palette and pixel-map reader: well-formed maps give their indices, and every kind of
// malformed file is refused with its file, line (and column) in the message.
#include <gtest/gtest.h>

#include <string>

#include "apps/tolvan-art/pixel_map.h"

namespace {

using art::Palette;
using art::ParsePalette;
using art::ParsePixelMap;

const char kPaletteText[] =
    "# sixteen colours\n"
    ". 800080 key\nk 000000 black\nd 404040 dark grey\nG 808080 grey\n"
    "g C0C0C0 light grey\nw FFFFFF white\nR 800000 dark red\nr E01818 red\n"
    "o A86800 dark gold\ny FFD028 gold\nD 005000 dark green\nn 089018 green\n"
    "N 88DC80 light green\nB 18306C dark blue\nb 3070C8 blue\nc A8D0F4 light blue\n";

Palette TestPalette() {
    std::string error;
    std::optional<Palette> palette = ParsePalette(kPaletteText, "palette.txt", error);
    EXPECT_TRUE(palette.has_value()) << error;
    return palette.value_or(Palette{});
}

TEST(PixelMapTest, PaletteGivesLettersColoursKeyAndBlack) {
    Palette p = TestPalette();
    EXPECT_EQ(p.keyIndex, 0);
    EXPECT_EQ(p.blackIndex, 1);
    EXPECT_EQ(p.IndexOf('r'), 7);
    EXPECT_EQ(p.rgb[7], 0xE01818u);
    EXPECT_EQ(p.names[15], "light blue");
    EXPECT_EQ(p.IndexOf('Z'), -1);
}

TEST(PixelMapTest, MalformedPalettesAreRefusedWithTheirLine) {
    struct Case {
        std::string text;
        const char* error;
    };
    const std::string sixteen(kPaletteText);
    const Case kCases[] = {
        {"# only one\n. 800080 key\n", "p.txt: 1 colours, a 4-bit palette needs 16"},
        {sixteen + "x 123456 seventeenth\n", "p.txt:18: more than 16 colours"},
        {". 800080 key\n. 000000 black\n", "p.txt:2: character '.' names two colours"},
        {"ab 800080 key\n", "p.txt:1: a colour needs one printable character, not \"ab\""},
        {"k 80008 key\n", "p.txt:1: colour 'k' needs six hex digits RRGGBB, not \"80008\""},
        {"k 80008G key\n", "p.txt:1: colour 'k' needs six hex digits RRGGBB, not \"80008G\""},
    };
    for (const Case& c : kCases) {
        std::string error;
        EXPECT_FALSE(ParsePalette(c.text, "p.txt", error).has_value()) << c.text;
        EXPECT_EQ(error, c.error);
    }
    // Sixteen colours without the key colour.
    std::string noKey = sixteen;
    noKey.replace(noKey.find("800080"), 6, "800081");
    std::string error;
    EXPECT_FALSE(ParsePalette(noKey, "p.txt", error).has_value());
    EXPECT_EQ(error, "p.txt: the palette needs the key colour 800080 and black 000000");
}

TEST(PixelMapTest, MapReadsRowsTopDownAsPaletteIndices) {
    std::string error;
    auto map =
        ParsePixelMap("# a comment\nsize 3 2\n.kr\r\nwb.\n", "art/tiny.txt", TestPalette(), error);
    ASSERT_TRUE(map.has_value()) << error;
    EXPECT_EQ(map->name, "tiny");
    EXPECT_EQ(map->width, 3);
    EXPECT_EQ(map->height, 2);
    EXPECT_EQ(map->indices, (std::vector<std::uint8_t>{0, 1, 7, 5, 14, 0}));
}

TEST(PixelMapTest, MalformedMapsAreRefusedWithLineAndColumn) {
    struct Case {
        const char* text;
        const char* error;
    };
    constexpr Case kCases[] = {
        {"size 3 2\n...\n..\n", "m.txt:3: row 2 is 2 pixels wide, the map is 3"},
        {"size 3 2\n...\n....\n", "m.txt:3: row 2 is 4 pixels wide, the map is 3"},
        {"# c\nsize 3 2\n.k.\n.Z.\n", "m.txt:4:2: unknown palette character 'Z'"},
        {"size 3 2\n. .\n...\n", "m.txt:2:2: unknown palette character ' '"},
        {"size 3 2\n...\n", "m.txt: 1 rows, the map is 2 rows high"},
        {"size 3 1\n...\n...\n", "m.txt:3: text after the last of 1 rows"},
        {"# nothing else\n", "m.txt: no \"size <width> <height>\" line"},
        {"size 3\n...\n",
         "m.txt:1: expected \"size <width> <height>\" (1 to 4096 each), not \"size 3\""},
        {"size 0 1\n\n",
         "m.txt:1: expected \"size <width> <height>\" (1 to 4096 each), not \"size 0 1\""},
        {"size -3 1\n...\n",
         "m.txt:1: expected \"size <width> <height>\" (1 to 4096 each), not \"size -3 1\""},
        {"size 3 1 x\n...\n",
         "m.txt:1: expected \"size <width> <height>\" (1 to 4096 each), not \"size 3 1 x\""},
        {"dims 3 1\n...\n",
         "m.txt:1: expected \"size <width> <height>\" (1 to 4096 each), not \"dims 3 1\""},
    };
    for (const Case& c : kCases) {
        std::string error;
        EXPECT_FALSE(ParsePixelMap(c.text, "m.txt", TestPalette(), error).has_value()) << c.text;
        EXPECT_EQ(error, c.error) << c.text;
    }
}

}  // namespace
