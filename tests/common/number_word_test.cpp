// Tests of the tools' number words: whole words only, base 10 unless a "0x" is allowed, the
// range's ends included, and the message that names the option and the word.
#include "common/number_word.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace {

TEST(NumberWordTest, WholeNumbersAreTheWholeWordInBaseTen) {
    const struct {
        const char* word;
        std::optional<long> value;  // read within -1000..1000
    } cases[] = {
        {"0", 0},         {"7", 7},
        {"-7", -7},       {"1000", 1000},
        {"-1000", -1000}, {"010", 10},
        {"-0", 0},        {"0007", 7},
        {"1001", {}},     {"-1001", {}},
        {"", {}},         {"-", {}},
        {"+5", {}},       {" 5", {}},
        {"5 ", {}},       {"4x", {}},
        {"0x10", {}},     {"1e2", {}},
        {"1.0", {}},      {"5\n", {}},
        {"--5", {}},      {"99999999999999999999", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseNumberWord<long>(c.word, -1000, 1000), c.value) << '"' << c.word << '"';
    }
}

TEST(NumberWordTest, TheTypesOwnLimitsHold) {
    EXPECT_EQ(ParseNumberWord<std::uint32_t>("4294967295", 0, 0xFFFFFFFF), 4294967295u);
    EXPECT_EQ(ParseNumberWord<std::uint32_t>("4294967296", 0, 0xFFFFFFFF), std::nullopt);
    EXPECT_EQ(ParseNumberWord<std::uint32_t>("-1", 0, 0xFFFFFFFF), std::nullopt);
    EXPECT_EQ(ParseNumberWord<std::int16_t>("-32768", -32768, 32767), -32768);
    EXPECT_EQ(ParseNumberWord<std::int16_t>("32768", -32768, 32767), std::nullopt);
    EXPECT_EQ(ParseNumberWord<std::int32_t>("-2147483648", INT32_MIN, INT32_MAX), INT32_MIN);
}

TEST(NumberWordTest, HexadecimalOnlyWithAnExplicitPrefixWhenAllowed) {
    const struct {
        const char* word;
        std::optional<std::uint32_t> value;  // read within 0..0xFFFFFFFF, hexadecimal allowed
    } cases[] = {
        {"0x00C0FFC0", 0x00C0FFC0},
        {"0XFF", 0xFF},
        {"0xffffffff", 0xFFFFFFFF},
        {"1046", 1046},
        {"010", 10},
        {"0x", {}},
        {"0x-5", {}},
        {"0x+5", {}},
        {"0x 5", {}},
        {"0xG", {}},
        {"0x1FFFFFFFF", {}},
        {"FF", {}},
        {"-0x5", {}},
        {"00x5", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseNumberWord<std::uint32_t>(c.word, 0, 0xFFFFFFFF, NumberBase::kDecimalOrHex),
                  c.value)
            << '"' << c.word << '"';
    }
    EXPECT_EQ(ParseNumberWord<std::uint32_t>("0x10", 0, 0xFFFFFFFF), std::nullopt);
}

TEST(NumberWordTest, DecimalNumbersAreFiniteAndWhole) {
    const struct {
        const char* word;
        std::optional<double> value;  // read within 0..86400
    } cases[] = {
        {"2.5", 2.5},    {"0", 0.0},      {"86400", 86400.0}, {".5", 0.5},
        {"1e3", 1000.0}, {"86400.1", {}}, {"-1", {}},         {"nan", {}},
        {"inf", {}},     {"", {}},        {"1,5", {}},        {"0x10", {}},
        {" 1", {}},      {"1s", {}},      {"+1", {}},         {"1e999", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseNumberWord<double>(c.word, 0, 86400), c.value) << '"' << c.word << '"';
    }
}

TEST(NumberWordTest, TheMessageNamesTheOptionTheRangeAndTheWord) {
    const struct {
        std::string message;
        const char* expected;
    } cases[] = {
        {NumberWordError<long>("--zoom", "2x", 1, 8),
         "--zoom needs a whole number from 1 to 8, not '2x'"},
        {NumberWordError<int>("--call-port", "", 0, 65535, "a port number"),
         "--call-port needs a port number from 0 to 65535, not ''"},
        {NumberWordError<double>("--seconds", "nan", 0, 86400),
         "--seconds needs a number from 0 to 86400, not 'nan'"},
        {NumberWordError<double>("--flow", "x", 0.5, 2.25),
         "--flow needs a number from 0.5 to 2.25, not 'x'"},
        {NumberWordError<std::int16_t>("--state", "x", -32768, 32767),
         "--state needs a whole number from -32768 to 32767, not 'x'"},
        {NumberWanted<int>(0, 600000, "milliseconds"), "milliseconds from 0 to 600000"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.message, c.expected);
    }
}

TEST(NumberWordTest, ReadingLeavesTheValueAloneOnFailure) {
    long value = 42;
    std::string error = "untouched";
    EXPECT_FALSE(ReadNumberWord("--columns", "33", 1, 32, value, error));
    EXPECT_EQ(value, 42);
    EXPECT_EQ(error, "--columns needs a whole number from 1 to 32, not '33'");
    EXPECT_TRUE(ReadNumberWord("--columns", "32", 1, 32, value, error));
    EXPECT_EQ(value, 32);

    std::uint32_t colour = 7;
    EXPECT_TRUE(ReadNumberWord<std::uint32_t>("BackColor", "0x00C0FFC0", 0, 0xFFFFFFFF, colour,
                                              error, {}, NumberBase::kDecimalOrHex));
    EXPECT_EQ(colour, 0x00C0FFC0u);
}

}  // namespace
