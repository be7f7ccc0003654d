// UTF-16 <-> UTF-8: characters of every length, surrogate pairs, and U+FFFD for what is not a
// character.
#include <gtest/gtest.h>

#include <string>

#include "platform/text_conversion.h"

namespace {

struct RoundTripCase {
    const char* name;
    std::u16string utf16;
    std::string utf8;
};

TEST(TextConversionTest, CharactersRoundTrip) {
    const RoundTripCase cases[] = {
        {"empty", u"", ""},
        {"ASCII", u"Pump 7", "Pump 7"},
        {"two bytes", u"Bomba \u00c9", "Bomba \xC3\x89"},
        {"three bytes", u"\u20ac 5", "\xE2\x82\xAC 5"},
        {"surrogate pair", u"\U0001F600", "\xF0\x9F\x98\x80"},
        {"embedded zero", std::u16string(u"a\0b", 3), std::string("a\0b", 3)},
        {"last before surrogates", u"\uD7FF", "\xED\x9F\xBF"},
        {"highest character", u"\U0010FFFF", "\xF4\x8F\xBF\xBF"},
    };
    for (const RoundTripCase& c : cases) {
        EXPECT_EQ(Utf16ToUtf8(c.utf16), c.utf8) << c.name;
        EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16) << c.name;
    }
}

TEST(TextConversionTest, LoneSurrogatesBecomeReplacementCharacters) {
    EXPECT_EQ(Utf16ToUtf8(u"a\xD800"), "a\xEF\xBF\xBD");
    EXPECT_EQ(Utf16ToUtf8(u"\xDC00z"), "\xEF\xBF\xBDz");
    EXPECT_EQ(Utf16ToUtf8(u"\xD800\xD800\xDC00"), "\xEF\xBF\xBD\xF0\x90\x80\x80");
}

TEST(TextConversionTest, InvalidBytesBecomeOneReplacementEach) {
    struct Case {
        const char* name;
        std::string utf8;
        std::u16string utf16;
    };
    const Case cases[] = {
        {"stray continuation", "\x80x", u"\uFFFDx"},
        {"overlong two bytes", "\xC0\x80", u"\uFFFD\uFFFD"},
        {"overlong three bytes", "\xE0\x80\x80", u"\uFFFD\uFFFD\uFFFD"},
        {"encoded surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
        {"past U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"cut short", "\xE2\x82", u"\uFFFD\uFFFD"},
        {"never a lead byte", "\xFF", u"\uFFFD"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16) << c.name;
    }
}

TEST(TextConversionTest, NullTerminatedViewReadsNullAsEmpty) {
    EXPECT_EQ(Utf16View(nullptr), u"");
    EXPECT_EQ(Utf16View(u"ab\0c"), u"ab");
}

}  // namespace
