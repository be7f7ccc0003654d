// Tests of the amounts a cashier reads: DisplayDecimals, FormatAmount in the user's locale
// (number and money; positive, negative, zero; 0 to 3 decimals and the locale's own), the
// failure marker, and the readouts cut as the face cuts them. Every test pins the locale.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>

#include "control/amount_format.h"
#include "control/readout_text.h"
#include "tests/support/locale_variables.h"

namespace tolvan {
namespace {

// Selects the user's locale through LC_ALL for one test; the locale variables are put back
// afterwards.
class AmountFormatTest : public ::testing::Test {
  protected:
    static void UseLocale(const char* name) { setenv("LC_ALL", name, 1); }

  private:
    test_support::LocaleVariables variables_;
};

constexpr std::int64_t kMaxCount = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMinCount = std::numeric_limits<std::int64_t>::min();

FixedAmount Count(std::int64_t count) {
    return FixedAmount::FromCount(count);
}

TEST(DisplayDecimals, CodesGiveDecimalPlaces) {
    const struct {
        int code;
        int decimals;
    } cases[] = {
        {1, 3},  {5, 3},  {9, 3},   {2, 2},   {6, 2},     {10, 2},      {3, 1},       {7, 1},
        {11, 1}, {4, 0},  {8, 0},   {12, 0},  {13, -1},   {17, -1},     {21, -1},     {0, 0},
        {-1, 0}, {22, 0}, {100, 0}, {-13, 0}, {65535, 0}, {INT_MIN, 0}, {INT_MAX, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DisplayDecimals(c.code), c.decimals) << c.code;
    }
}

// One amount in one locale: the texts with 0, 1, 2 and 3 decimals and with the locale's own.
struct DecimalsRow {
    const char* locale;
    std::int64_t count;
    bool currency;
    const char* texts[5];  // decimals 0, 1, 2, 3, -1
};

TEST_F(AmountFormatTest, NumberAndMoneyInEachLocale) {
    constexpr std::int64_t kPositive = 123456789;  // 12345.6789
    constexpr std::int64_t kNegative = -123456789;
    const DecimalsRow rows[] = {
        {"en_US.UTF-8",
         kPositive,
         false,
         {"12346", "12345.7", "12345.68", "12345.679", "12345.68"}},
        {"en_US.UTF-8",
         kNegative,
         false,
         {"-12346", "-12345.7", "-12345.68", "-12345.679", "-12345.68"}},
        {"en_US.UTF-8", 0, false, {"0", "0.0", "0.00", "0.000", "0.00"}},
        {"en_US.UTF-8",
         kPositive,
         true,
         {"$12346", "$12345.7", "$12345.68", "$12345.679", "$12345.68"}},
        {"en_US.UTF-8",
         kNegative,
         true,
         {"($12346)", "($12345.7)", "($12345.68)", "($12345.679)", "($12345.68)"}},
        {"en_US.UTF-8", 0, true, {"$0", "$0.0", "$0.00", "$0.000", "$0.00"}},

        {"en_NZ.UTF-8",
         kPositive,
         false,
         {"12346", "12345.7", "12345.68", "12345.679", "12345.68"}},
        {"en_NZ.UTF-8",
         kNegative,
         false,
         {"-12346", "-12345.7", "-12345.68", "-12345.679", "-12345.68"}},
        {"en_NZ.UTF-8", 0, false, {"0", "0.0", "0.00", "0.000", "0.00"}},
        {"en_NZ.UTF-8",
         kPositive,
         true,
         {"$12346", "$12345.7", "$12345.68", "$12345.679", "$12345.68"}},
        {"en_NZ.UTF-8",
         kNegative,
         true,
         {"-$12346", "-$12345.7", "-$12345.68", "-$12345.679", "-$12345.68"}},
        {"en_NZ.UTF-8", 0, true, {"$0", "$0.0", "$0.00", "$0.000", "$0.00"}},

        {"en_GB.UTF-8",
         kPositive,
         false,
         {"12346", "12345.7", "12345.68", "12345.679", "12345.68"}},
        {"en_GB.UTF-8",
         kNegative,
         false,
         {"-12346", "-12345.7", "-12345.68", "-12345.679", "-12345.68"}},
        {"en_GB.UTF-8", 0, false, {"0", "0.0", "0.00", "0.000", "0.00"}},
        {"en_GB.UTF-8",
         kPositive,
         true,
         {"\u00a312346", "\u00a312345.7", "\u00a312345.68", "\u00a312345.679", "\u00a312345.68"}},
        {"en_GB.UTF-8",
         kNegative,
         true,
         {"-\u00a312346", "-\u00a312345.7", "-\u00a312345.68", "-\u00a312345.679",
          "-\u00a312345.68"}},
        {"en_GB.UTF-8",
         0,
         true,
         {"\u00a30", "\u00a30.0", "\u00a30.00", "\u00a30.000", "\u00a30.00"}},

        {"pt_BR.UTF-8",
         kPositive,
         false,
         {"12346", "12345,7", "12345,68", "12345,679", "12345,68"}},
        {"pt_BR.UTF-8",
         kNegative,
         false,
         {"-12346", "-12345,7", "-12345,68", "-12345,679", "-12345,68"}},
        {"pt_BR.UTF-8", 0, false, {"0", "0,0", "0,00", "0,000", "0,00"}},
        {"pt_BR.UTF-8",
         kPositive,
         true,
         {"R$ 12346", "R$ 12345,7", "R$ 12345,68", "R$ 12345,679", "R$ 12345,68"}},
        {"pt_BR.UTF-8",
         kNegative,
         true,
         {"-R$ 12346", "-R$ 12345,7", "-R$ 12345,68", "-R$ 12345,679", "-R$ 12345,68"}},
        {"pt_BR.UTF-8", 0, true, {"R$ 0", "R$ 0,0", "R$ 0,00", "R$ 0,000", "R$ 0,00"}},

        {"de_DE.UTF-8",
         kNegative,
         true,
         {"-12346 \u20ac", "-12345,7 \u20ac", "-12345,68 \u20ac", "-12345,679 \u20ac",
          "-12345,68 \u20ac"}},
        {"es_ES.UTF-8",
         kPositive,
         true,
         {"12346 \u20ac", "12345,7 \u20ac", "12345,68 \u20ac", "12345,679 \u20ac",
          "12345,68 \u20ac"}},
    };
    const int decimals[] = {0, 1, 2, 3, -1};
    for (const DecimalsRow& row : rows) {
        UseLocale(row.locale);
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(FormatAmount(Count(row.count), row.currency, decimals[i], false),
                      row.texts[i])
                << row.locale << " " << row.count << (row.currency ? " money" : " number")
                << " decimals " << decimals[i];
        }
    }
}

struct AmountCase {
    const char* locale;
    std::int64_t count;
    bool currency;
    int decimals;
    bool grouping;
    std::string_view expected;
};

TEST_F(AmountFormatTest, GroupingRoundingAndLimits) {
    const AmountCase cases[] = {
        // The locale's thousands separator only when asked for.
        {"en_US", 12345678910, false, 2, true, "1,234,567.89"},
        {"en_US", 12345678910, true, 2, true, "$1,234,567.89"},
        {"en_US", 12345678910, true, 2, false, "$1234567.89"},
        {"pt_BR", 12345678910, false, 2, true, "1.234.567,89"},
        {"pt_BR", 12345678910, true, 2, true, "R$ 1.234.567,89"},
        {"en_GB", -12345678910, true, 2, true, "-\u00a31,234,567.89"},
        // The four fraction digits are rounded half away from zero.
        {"en_US", 5, false, 3, false, "0.001"},
        {"en_US", 4, false, 3, false, "0.000"},
        {"en_US", -5, false, 3, false, "-0.001"},
        {"en_US", -4, true, 3, false, "$0.000"},  // rounds to zero: no sign, no parentheses
        {"en_US", 99995, false, 3, false, "10.000"},
        {"pt_BR", 25000, false, 0, false, "3"},
        {"pt_BR", -25000, true, 0, false, "-R$ 3"},
        // The ends of the amount's range. The formatted text holds 20 characters: a longer
        // one is not shown as a number.
        {"en_US", kMaxCount, false, 3, false, "922337203685477.581"},
        {"en_US", kMinCount, false, 2, false, "-922337203685477.58"},
        {"en_US", kMaxCount, true, 2, false, "$922337203685477.58"},
        {"en_US", kMinCount, true, 2, false, kAmountNotFormatted},
        {"en_US", kMaxCount, false, 2, true, kAmountNotFormatted},
        {"pt_BR", -99999999999999900, true, 2, false, "-R$ 9999999999999,99"},
        {"pt_BR", -100000000000000000, true, 2, false, kAmountNotFormatted},
        // More places than the locale functions write.
        {"en_US", 10000, false, 10, false, kAmountNotFormatted},
        {"en_US", 10000, false, 9, false, "1.000000000"},
    };
    for (const AmountCase& c : cases) {
        UseLocale(c.locale);
        EXPECT_EQ(FormatAmount(Count(c.count), c.currency, c.decimals, c.grouping), c.expected)
            << c.locale << " " << c.count << " decimals " << c.decimals;
    }
}

TEST_F(AmountFormatTest, UserLocaleFollowsTheEnvironment) {
    UseLocale("C");
    EXPECT_EQ(FormatAmount(Count(-15000), true, -1, false), "($1.50)");
    UseLocale("fr_FR.UTF-8");  // not in the table: en-US
    EXPECT_EQ(FormatAmount(Count(-15000), true, -1, false), "($1.50)");
    unsetenv("LC_ALL");
    setenv("LC_MONETARY", "en_NZ.UTF-8", 1);
    setenv("LC_NUMERIC", "pt_BR.UTF-8", 1);
    EXPECT_EQ(FormatAmount(Count(-15000), false, -1, false), "-1,50");
    EXPECT_EQ(FormatAmount(Count(-15000), true, -1, false), "-$1.50");
}

TEST(LastCharacters, CountsCharactersNeverBytes) {
    const struct {
        std::string_view text;
        std::size_t count;
        std::string_view expected;
    } cases[] = {
        {"abc", 7, "abc"},
        {"12345678", 7, "2345678"},
        {"", 3, ""},
        {"abc", 0, ""},
        {"\u00a312.50", 6, "\u00a312.50"},
        {"\u00a3123.450", 7, "123.450"},
        {"12,50\u20ac", 3, "50\u20ac"},
        {"\u20ac\u20ac\u20ac", 2, "\u20ac\u20ac"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LastCharacters(c.text, c.count), c.expected) << c.text;
    }
}

enum class Readout { Volume, Value, Price };

struct ReadoutCase {
    const char* locale;
    Readout readout;
    std::int64_t count;
    int code;
    std::string_view expected;
};

// The readouts with the default display formats (volume 9: three places, value 10: two,
// price 1: three) and a few others.
TEST_F(AmountFormatTest, ReadoutsAreCutAsTheFaceCutsThem) {
    const ReadoutCase cases[] = {
        {"en_US", Readout::Volume, 123400, 9, "12.340"},
        {"en_US", Readout::Volume, -123400, 9, "12.340"},  // the absolute value
        {"en_US", Readout::Volume, 123456789, 9, "345.679"},
        {"en_US", Readout::Volume, 123456789, 12, "12346"},
        {"en_US", Readout::Volume, 123456789, 13, "2345.68"},  // the locale's two places
        {"en_US", Readout::Value, 125000, 10, "$12.50"},
        {"en_US", Readout::Value, -125000, 10, "$12.50"},
        {"en_US", Readout::Value, 123456789, 10, "2345.68"},
        {"en_US", Readout::Value, kMinCount, 10, "5477.58"},  // shown as the largest amount
        {"en_US", Readout::Price, 123450, 1, "2.345/L"},
        {"en_US", Readout::Price, 15000, 1, "1.500/L"},
        {"en_US", Readout::Price, 15000, 2, "1.50/L"},
        {"en_US", Readout::Price, 15000, 4, "2/L"},
        {"en_NZ", Readout::Value, -125000, 10, "$12.50"},
        {"en_GB", Readout::Value, 125000, 10, "\u00a312.50"},
        {"en_GB", Readout::Value, 1234500, 10, "\u00a3123.45"},  // 7 characters in 8 bytes
        {"en_GB", Readout::Value, 12345000, 10, "1234.50"},
        {"pt_BR", Readout::Volume, 123400, 9, "12,340"},
        {"pt_BR", Readout::Value, 15000, 10, "R$ 1,50"},    // 7 characters keep their blank
        {"pt_BR", Readout::Value, 125000, 10, "R$12,50"},   // 8 lose it
        {"pt_BR", Readout::Value, 1234500, 10, "$123,45"},  // and the symbol goes first
        {"pt_BR", Readout::Value, kMaxCount, 10, "#######"},
        {"pt_BR", Readout::Price, 57990, 1, "5,799/L"},
        {"de_DE", Readout::Value, 125000, 10, "12,50 \u20ac"},
        {"de_DE", Readout::Value, 1234500, 10, "123,45\u20ac"},
    };
    for (const ReadoutCase& c : cases) {
        UseLocale(c.locale);
        const FixedAmount amount = Count(c.count);
        const std::string text = c.readout == Readout::Volume  ? VolumeReadout(amount, c.code)
                                 : c.readout == Readout::Value ? ValueReadout(amount, c.code)
                                                               : PriceReadout(amount, c.code);
        EXPECT_EQ(text, c.expected) << c.locale << " " << c.count << " code " << c.code;
    }
}

}  // namespace
}  // namespace tolvan
