// The outline of an INI file: headers and key lines where the reader sees them.
#include "ini/ini_outline.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/temp_folder.h"

namespace {

class IniOutlineTest : public testing::Test {
  protected:
    void SetUp() override {
        const std::string made = test_support::MakeUniqueFolder("outline-test");
        ASSERT_FALSE(made.empty());
        folder = made;
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    IniOutline Outline(const std::string& text) {
        const std::string path = (folder / "f.ini").string();
        std::ofstream(path, std::ios::binary) << text;
        return ReadIniOutline(path.c_str());
    }

    std::filesystem::path folder;
};

TEST_F(IniOutlineTest, HeadersKeysAndValuesAreSeenAsTheReaderSeesThem) {
    const IniOutline outline = Outline(
        "Stray=1\r\n\r\n  [Pump01] trailing\r\n"
        "Number=1\r\n   \r\nName   =   X  \r\nPlain value\r\nQuoted=\"Q\"\r\n; note\r\n"
        "# note\r\n[Open\r\nKey=2\r\n[]\r\n");
    ASSERT_TRUE(outline.opened);
    ASSERT_EQ(outline.blocks.size(), 4U);
    ASSERT_EQ(outline.blocks[0].keys.size(), 1U);
    EXPECT_EQ(outline.blocks[0].keys[0].key, "Stray");
    EXPECT_EQ(outline.blocks[0].keys[0].line, 1);

    const IniSectionBlock& pump = outline.blocks[1];
    EXPECT_EQ(pump.name, "Pump01");
    EXPECT_EQ(pump.line, 3);
    EXPECT_TRUE(pump.closed);
    EXPECT_EQ(pump.commentLines, 2);
    ASSERT_EQ(pump.keys.size(), 4U);
    EXPECT_EQ(pump.keys[0].line, 4);
    EXPECT_EQ(pump.keys[1].key, "Name");
    EXPECT_EQ(pump.keys[1].line, 6);
    EXPECT_EQ(pump.keys[1].value, "X");
    EXPECT_EQ(pump.keys[1].written, "   X  ");
    EXPECT_TRUE(pump.keys[1].spacedEquals);
    EXPECT_EQ(pump.keys[2].key, "Plain");
    EXPECT_EQ(pump.keys[2].value, "value");
    EXPECT_FALSE(pump.keys[2].hasEquals);
    EXPECT_EQ(pump.keys[3].value, "\"Q\"");
    EXPECT_FALSE(pump.keys[3].spacedEquals);

    EXPECT_EQ(outline.blocks[2].name, "Open");
    EXPECT_FALSE(outline.blocks[2].closed);
    ASSERT_EQ(outline.blocks[2].keys.size(), 1U);
    EXPECT_EQ(outline.blocks[3].name, "");
}

TEST(IniValueAsRead, BlanksLineEndsAndOnePairOfQuotesGo) {
    const std::pair<const char*, const char*> rows[] = {
        {"Bomba 1", "Bomba 1"},
        {"  X  \r\n", "X"},
        {"\"Q\"", "Q"},
        {"\"\"Q\"\"", "\"Q\""},
        {"\"", ""},
        {"\"open", "\"open"},
        {"", ""},
        {" \" padded \" ", " padded "},
    };
    for (const auto& [text, read] : rows) {
        EXPECT_EQ(ValueAsRead(text), read) << text;
    }
}

TEST_F(IniOutlineTest, AMissingFileIsNotOpened) {
    const IniOutline outline = ReadIniOutline((folder / "missing.ini").string().c_str());
    EXPECT_FALSE(outline.opened);
    EXPECT_TRUE(outline.blocks.empty());
}

}  // namespace
