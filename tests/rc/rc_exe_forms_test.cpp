// What forecourt-rc writes where it once differed from rc.exe: a CAPTION's WS_CAPTION under any
// STYLE, and octal and hexadecimal escapes in strings.
#include <gtest/gtest.h>

#include <cstdint>

#include "tests/rc/compile_support.h"

namespace {

std::uint32_t DialogStyle(const rc::Resource& dialog) {
    const auto& d = dialog.data;  // DLGTEMPLATEEX: dlgVer, signature, helpID, exStyle, style
    return static_cast<std::uint32_t>(d.at(12) | (d.at(13) << 8) | (d.at(14) << 16) |
                                      (static_cast<std::uint32_t>(d.at(15)) << 24));
}

TEST(RcExeForms, ACaptionGivesItsTitleBarWhateverTheStyle) {
    struct Case {
        const char* options;
        std::uint32_t style;
    };
    const Case cases[] = {
        // No STYLE: the default popup, border and system menu, and the caption's bar.
        {"CAPTION \"T\"", 0x80000000 | 0x00800000 | 0x00080000 | 0x00C00000},
        {"STYLE WS_CHILD\nCAPTION \"T\"", 0x40000000 | 0x00C00000},
        {"CAPTION \"T\"\nSTYLE WS_CHILD", 0x40000000 | 0x00C00000},
        {"STYLE WS_CHILD", 0x40000000},
        {"STYLE WS_CHILD\nCAPTION \"\"", 0x40000000 | 0x00C00000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options);
        test_support::TempFolder folder;
        const rc_test::Compiled compiled = rc_test::CompileText(
            folder, std::string("1 DIALOGEX 0, 0, 10, 10\n") + c.options + "\nBEGIN\nEND\n");
        ASSERT_EQ(compiled.error, "");
        ASSERT_EQ(compiled.result.resources.size(), 1u);
        EXPECT_EQ(DialogStyle(compiled.result.resources[0]), c.style);
    }
}

TEST(RcExeForms, StringsTakeOctalAndHexadecimalEscapes) {
    struct Case {
        const char* literal;
        std::u16string text;
    };
    const Case cases[] = {
        {R"("\101\x42C")", u"ABC"},
        {R"("\303\247\303\265")", u"\u00E7\u00F5"},  // UTF-8 bytes make one character each
        {R"("\xc3\xA7")", u"\u00E7"},
        {R"("\0101")", u"\u00081"},  // three octal digits at most
        {R"("\x414")", u"A4"},       // two hexadecimal digits at most
        {R"("\012x")", u"\nx"},
        {R"("a\8")", u"a\\8"},  // not an escape: kept as written
        {R"("\xg")", u"\\xg"},
        {R"("\n\t\\""")", u"\n\t\\\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.literal);
        test_support::TempFolder folder;
        const rc_test::Compiled compiled = rc_test::CompileText(
            folder, std::string("STRINGTABLE\nBEGIN\n 1 ") + c.literal + "\nEND\n");
        ASSERT_EQ(compiled.error, "");
        ASSERT_EQ(compiled.result.resources.size(), 1u);
        const auto& block = compiled.result.resources[0].data;
        // String 1 is the second of its block: after string 0's empty length word.
        ASSERT_GE(block.size(), 4u);
        const std::size_t length = block[2] | (block[3] << 8);
        ASSERT_GE(block.size(), 4 + 2 * length);
        std::u16string text;
        for (std::size_t i = 0; i < length; ++i)
            text += static_cast<char16_t>(block[4 + 2 * i] | (block[5 + 2 * i] << 8));
        EXPECT_EQ(text, c.text);
    }
}

}  // namespace
