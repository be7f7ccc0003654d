// Tests of GetNumberFormatW and GetCurrencyFormatW against Windows' documented and tested
// formats: the value syntax, rounding, grouping in both notations, every negative and positive
// order, the locales' own formats, and the failures and buffer sizes.
#include <gtest/gtest.h>

#include <string>

#include "platform/nls.h"
#include "platform/nls/nls_internal.h"
#include "tests/platform/nls/nls_test_support.h"

namespace {

constexpr LCID kEnUs = 1033, kEnNz = 5129, kEnGb = 2057, kEnAu = 3081, kPtBr = 1046, kEsEs = 3082,
               kDeDe = 1031;

// A format structure over texts the test owns.
struct Number {
    UINT digits = 2;
    UINT leadingZero = 1;
    UINT grouping = 3;
    std::u16string decimal = u".";
    std::u16string thousand = u",";
    UINT negativeOrder = 1;

    NUMBERFMTW Format() {
        return {digits, leadingZero, grouping, decimal.data(), thousand.data(), negativeOrder};
    }
};

struct Currency {
    UINT digits = 2;
    UINT leadingZero = 1;
    UINT grouping = 3;
    std::u16string decimal = u".";
    std::u16string thousand = u",";
    UINT negativeOrder = 0;
    UINT positiveOrder = 0;
    std::u16string symbol = u"$";

    CURRENCYFMTW Format() {
        return {digits,          leadingZero,   grouping,      decimal.data(),
                thousand.data(), negativeOrder, positiveOrder, symbol.data()};
    }
};

using nls_test::Run;

std::u16string FormatNumber(LCID lcid, DWORD flags, const char16_t* value,
                            const NUMBERFMTW* format) {
    return Run([&](LPWSTR out, int cch) {
        return GetNumberFormatW(lcid, flags, value, format, out, cch);
    });
}

std::u16string FormatNumber(const char16_t* value, Number number) {
    const NUMBERFMTW format = number.Format();
    return FormatNumber(kEnUs, 0, value, &format);
}

std::u16string FormatCurrency(LCID lcid, DWORD flags, const char16_t* value,
                              const CURRENCYFMTW* format) {
    return Run([&](LPWSTR out, int cch) {
        return GetCurrencyFormatW(lcid, flags, value, format, out, cch);
    });
}

std::u16string FormatCurrency(const char16_t* value, Currency currency) {
    const CURRENCYFMTW format = currency.Format();
    return FormatCurrency(kEnUs, 0, value, &format);
}

struct NumberCase {
    const char16_t* value;
    Number format;
    const char16_t* expected;
};

TEST(GetNumberFormatW, ValuesDigitsAndRounding) {
    const NumberCase cases[] = {
        {u"2353", {}, u"2,353.00"},
        {u"2353.1", {}, u"2,353.10"},
        {u"2353.111", {}, u"2,353.11"},
        {u"2353.119", {}, u"2,353.12"},
        {u"2353.115", {}, u"2,353.12"},   // a half rounds up
        {u"2353.1149", {}, u"2,353.11"},  // only the first dropped digit counts
        {u"-2353.115", {}, u"-2,353.12"},
        {u"000235", {}, u"235.00"},
        {u"235.", {}, u"235.00"},
        {u".5", {}, u"0.50"},
        {u"-.5", {}, u"-0.50"},
        {u"0.5", {.leadingZero = 0}, u".50"},
        {u"-0.5", {.leadingZero = 0}, u"-.50"},
        {u"12.5", {.leadingZero = 0}, u"12.50"},
        {u"0", {.leadingZero = 0}, u".00"},
        {u"0", {.digits = 0, .leadingZero = 0}, u"0"},
        {u"2.5", {.digits = 0}, u"3"},
        {u"-2.5", {.digits = 0}, u"-3"},  // half away from zero
        {u"-2.4", {.digits = 0}, u"-2"},
        {u"0.45", {.digits = 0}, u"0"},  // no double rounding through the 4
        {u"0.5", {.leadingZero = 2}, u"0.50"},
        {u"9.99", {.digits = 1}, u"10.0"},
        {u"999999.96", {.digits = 1}, u"1,000,000.0"},
        {u"0.96", {.digits = 1}, u"1.0"},
        {u"0.96", {.digits = 1, .leadingZero = 0}, u"1.0"},
        {u"0.04", {.digits = 1, .leadingZero = 0}, u".0"},
        {u"-0.001", {}, u"0.00"},  // a value that rounds to zero loses its sign
        {u"-0", {}, u"0.00"},
        {u"1.23456789", {.digits = 9}, u"1.234567890"},
        {u"12345678901234567890123", {.digits = 0}, u"12,345,678,901,234,567,890,123"},
        {u"1234.5", {.decimal = u",", .thousand = u"."}, u"1.234,50"},
        {u"1234567.5", {.decimal = u"<dec>", .thousand = u"--"}, u"1--234--567<dec>50"},
        {u"1234567.5", {.thousand = u""}, u"1234567.50"},
        {u"1234567.5", {.digits = 0, .grouping = 0}, u"1234568"},
    };
    for (const NumberCase& c : cases) {
        EXPECT_EQ(FormatNumber(c.value, c.format), c.expected)
            << std::string(c.value, c.value + std::char_traits<char16_t>::length(c.value));
    }
}

struct GroupingCase {
    UINT grouping;
    const char16_t* value;
    const char16_t* expected;
};

TEST(GetNumberFormatW, GroupingNumberReadsDigitsFromTheDecimalPoint) {
    const GroupingCase cases[] = {
        {0, u"123456789", u"123456789"},
        {3, u"123456789", u"123,456,789"},
        {30, u"123456789", u"123456,789"},
        {32, u"123456789", u"12,34,56,789"},
        {320, u"123456789", u"1234,56,789"},
        {23, u"123456789", u"1,234,567,89"},
        {230, u"123456789", u"1234,567,89"},
        {31, u"1234567890", u"1,2,3,4,5,6,7,890"},
        {203, u"123456789", u"1,234,567,,89"},  // an inner 0 is an empty group
        {2003, u"123456789", u"1,234,567,,,89"},
        {3, u"123", u"123"},
        {3, u"1234", u"1,234"},
        {3, u"0.4", u"0"},
        {3, u"999.5", u"1,000"},
    };
    for (const GroupingCase& c : cases) {
        EXPECT_EQ(FormatNumber(c.value, {.digits = 0, .grouping = c.grouping}), c.expected)
            << c.grouping;
    }
}

TEST(GetNumberFormatW, NegativeOrders) {
    const char16_t* expected[] = {u"(1.0)", u"-1.0", u"- 1.0", u"1.0-", u"1.0 -"};
    for (UINT order = 0; order < 5; ++order) {
        EXPECT_EQ(FormatNumber(u"-1", {.digits = 1, .negativeOrder = order}), expected[order]);
        EXPECT_EQ(FormatNumber(u"1", {.digits = 1, .negativeOrder = order}), u"1.0");
    }
}

TEST(GetCurrencyFormatW, NegativeOrders) {
    struct Row {
        const char16_t* dollar;  // -1, "$", one digit
        const char16_t* euro;    // -1234.5, "€", ',' and '.', two digits
    };
    const Row rows[16] = {
        {u"($1.0)", u"(\u20ac1.234,50)"},   {u"-$1.0", u"-\u20ac1.234,50"},
        {u"$-1.0", u"\u20ac-1.234,50"},     {u"$1.0-", u"\u20ac1.234,50-"},
        {u"(1.0$)", u"(1.234,50\u20ac)"},   {u"-1.0$", u"-1.234,50\u20ac"},
        {u"1.0-$", u"1.234,50-\u20ac"},     {u"1.0$-", u"1.234,50\u20ac-"},
        {u"-1.0 $", u"-1.234,50 \u20ac"},   {u"-$ 1.0", u"-\u20ac 1.234,50"},
        {u"1.0 $-", u"1.234,50 \u20ac-"},   {u"$ 1.0-", u"\u20ac 1.234,50-"},
        {u"$ -1.0", u"\u20ac -1.234,50"},   {u"1.0- $", u"1.234,50- \u20ac"},
        {u"($ 1.0)", u"(\u20ac 1.234,50)"}, {u"(1.0 $)", u"(1.234,50 \u20ac)"},
    };
    for (UINT order = 0; order < 16; ++order) {
        EXPECT_EQ(FormatCurrency(u"-1", {.digits = 1, .negativeOrder = order}), rows[order].dollar)
            << order;
        EXPECT_EQ(
            FormatCurrency(
                u"-1234.5",
                {.decimal = u",", .thousand = u".", .negativeOrder = order, .symbol = u"\u20ac"}),
            rows[order].euro)
            << order;
        EXPECT_EQ(FormatCurrency(u"1", {.digits = 1, .negativeOrder = order}), u"$1.0") << order;
    }
}

TEST(GetCurrencyFormatW, PositiveOrdersAndSymbols) {
    const char16_t* expected[] = {u"$1.0", u"1.0$", u"$ 1.0", u"1.0 $"};
    for (UINT order = 0; order < 4; ++order) {
        EXPECT_EQ(FormatCurrency(u"1", {.digits = 1, .positiveOrder = order}), expected[order]);
    }
    EXPECT_EQ(
        FormatCurrency(u"1234.5",
                       {.decimal = u",", .thousand = u".", .positiveOrder = 2, .symbol = u"R$"}),
        u"R$ 1.234,50");
    EXPECT_EQ(FormatCurrency(u"1234.5", {.symbol = u""}), u"1,234.50");
    EXPECT_EQ(FormatCurrency(u"-0.004", {}), u"$0.00");  // no sign, so no parentheses
    EXPECT_EQ(FormatCurrency(u"0.75", {.leadingZero = 0}), u"$.75");
    EXPECT_EQ(FormatCurrency(u"9999.995", {.grouping = 0}), u"$10000.00");
}

struct LocaleCase {
    LCID lcid;
    const char16_t* value;
    const char16_t* number;
    const char16_t* currency;
};

TEST(NumberAndCurrencyFormat, NullFormatTakesTheLocalesOwn) {
    const LocaleCase cases[] = {
        {kEnUs, u"2353", u"2,353.00", u"$2,353.00"},
        {kEnUs, u"-2353", u"-2,353.00", u"($2,353.00)"},
        {kEnUs, u"2353.119", u"2,353.12", u"$2,353.12"},
        {kEnNz, u"1234.5", u"1,234.50", u"$1,234.50"},
        {kEnNz, u"-1234.5", u"-1,234.50", u"-$1,234.50"},
        {kEnGb, u"1234.5", u"1,234.50", u"\u00a31,234.50"},
        {kEnGb, u"-1234.5", u"-1,234.50", u"-\u00a31,234.50"},
        {kEnAu, u"-1234.5", u"-1,234.50", u"-$1,234.50"},
        {kPtBr, u"1234.5", u"1.234,50", u"R$ 1.234,50"},
        {kPtBr, u"-1234.5", u"-1.234,50", u"-R$ 1.234,50"},
        {kPtBr, u"0.5", u"0,50", u"R$ 0,50"},
        {kEsEs, u"1234.5", u"1.234,50", u"1.234,50 \u20ac"},
        {kEsEs, u"-1234.5", u"-1.234,50", u"-1.234,50 \u20ac"},
        {kDeDe, u"1234567.891", u"1.234.567,89", u"1.234.567,89 \u20ac"},
        {kDeDe, u"-1234.5", u"-1.234,50", u"-1.234,50 \u20ac"},
        {LOCALE_INVARIANT, u"-1234.5", u"-1,234.50", u"(\u00a41,234.50)"},
        {kEnUs | 0x10000, u"1", u"1.00", u"$1.00"},  // sort bits do not matter
    };
    for (const LocaleCase& c : cases) {
        EXPECT_EQ(FormatNumber(c.lcid, 0, c.value, nullptr), c.number) << c.lcid;
        EXPECT_EQ(FormatCurrency(c.lcid, 0, c.value, nullptr), c.currency) << c.lcid;
        EXPECT_EQ(FormatNumber(c.lcid, LOCALE_NOUSEROVERRIDE, c.value, nullptr), c.number);
        EXPECT_EQ(FormatCurrency(c.lcid, LOCALE_NOUSEROVERRIDE, c.value, nullptr), c.currency);
    }
}

TEST(NumberAndCurrencyFormat, BadValuesAreInvalidParameters) {
    const char16_t* values[] = {u"",      u"-",    u".",      u"-.",     u" 1",    u"1 ",
                                u"1,000", u"--1",  u"1-",     u"0..1",   u"1.2.3", u"+1",
                                u"1e5",   u"0x10", u"\uff11", u"1\u00a0"};
    Number number;
    const NUMBERFMTW numberFormat = number.Format();
    Currency currency;
    const CURRENCYFMTW currencyFormat = currency.Format();
    for (const char16_t* value : values) {
        EXPECT_EQ(FormatNumber(kEnUs, 0, value, &numberFormat), u"#87");
        EXPECT_EQ(FormatNumber(kEnUs, 0, value, nullptr), u"#87");
        EXPECT_EQ(FormatCurrency(kEnUs, 0, value, &currencyFormat), u"#87");
    }
    EXPECT_EQ(FormatNumber(kEnUs, 0, nullptr, nullptr), u"#87");
    EXPECT_EQ(FormatCurrency(kEnUs, 0, nullptr, nullptr), u"#87");
}

TEST(NumberAndCurrencyFormat, BadFormatsFlagsAndLocales) {
    Number number;
    NUMBERFMTW numberFormat = number.Format();
    Currency currency;
    CURRENCYFMTW currencyFormat = currency.Format();
    // Flags go with a null format only, and only LOCALE_NOUSEROVERRIDE.
    EXPECT_EQ(FormatNumber(kEnUs, LOCALE_NOUSEROVERRIDE, u"1", &numberFormat), u"#1004");
    EXPECT_EQ(FormatCurrency(kEnUs, LOCALE_NOUSEROVERRIDE, u"1", &currencyFormat), u"#1004");
    EXPECT_EQ(FormatNumber(kEnUs, 0x1, u"1", nullptr), u"#1004");
    EXPECT_EQ(FormatCurrency(kEnUs, 0x40000000, u"1", nullptr), u"#1004");
    // An LCID outside the table.
    EXPECT_EQ(FormatNumber(1036, 0, u"1", nullptr), u"#87");
    EXPECT_EQ(FormatCurrency(1036, 0, u"1", &currencyFormat), u"#87");

    auto numberWith = [&](auto change) {
        NUMBERFMTW format = number.Format();
        change(format);
        return FormatNumber(kEnUs, 0, u"1", &format);
    };
    EXPECT_EQ(numberWith([](NUMBERFMTW& f) { f.lpDecimalSep = nullptr; }), u"#87");
    EXPECT_EQ(numberWith([](NUMBERFMTW& f) { f.lpThousandSep = nullptr; }), u"#87");
    EXPECT_EQ(numberWith([](NUMBERFMTW& f) { f.NegativeOrder = 5; }), u"#87");
    EXPECT_EQ(numberWith([](NUMBERFMTW& f) { f.NumDigits = 10; }), u"#87");
    EXPECT_EQ(numberWith([](NUMBERFMTW& f) { f.NumDigits = 9; }), u"1.000000000");
    const NUMBERFMTW zeroed{};
    EXPECT_EQ(FormatNumber(kEnUs, 0, u"1", &zeroed), u"#87");

    auto currencyWith = [&](auto change) {
        CURRENCYFMTW format = currency.Format();
        change(format);
        return FormatCurrency(kEnUs, 0, u"1", &format);
    };
    EXPECT_EQ(currencyWith([](CURRENCYFMTW& f) { f.lpCurrencySymbol = nullptr; }), u"#87");
    EXPECT_EQ(currencyWith([](CURRENCYFMTW& f) { f.lpDecimalSep = nullptr; }), u"#87");
    EXPECT_EQ(currencyWith([](CURRENCYFMTW& f) { f.lpThousandSep = nullptr; }), u"#87");
    EXPECT_EQ(currencyWith([](CURRENCYFMTW& f) { f.NegativeOrder = 16; }), u"#87");
    EXPECT_EQ(currencyWith([](CURRENCYFMTW& f) { f.PositiveOrder = 4; }), u"#87");
    EXPECT_EQ(currencyWith([](CURRENCYFMTW& f) { f.NumDigits = 10; }), u"#87");
    EXPECT_EQ(currencyWith([](CURRENCYFMTW& f) { f.NegativeOrder = 15; }), u"$1.00");
}

TEST(NumberAndCurrencyFormat, SizeQueryAndShortBuffer) {
    // "($2,353.00)" is 11 characters, 12 with the terminator.
    WCHAR out[12];
    std::fill(std::begin(out), std::end(out), u'~');
    EXPECT_EQ(GetCurrencyFormatW(kEnUs, 0, u"-2353", nullptr, out, 0), 12);
    EXPECT_EQ(out[0], u'~') << "a size query writes nothing";
    EXPECT_EQ(GetCurrencyFormatW(kEnUs, 0, u"-2353", nullptr, nullptr, 0), 12);
    EXPECT_EQ(GetCurrencyFormatW(kEnUs, 0, u"-2353", nullptr, out, 12), 12);
    EXPECT_EQ(std::u16string(out), u"($2,353.00)");
    SetLastError(0);
    EXPECT_EQ(GetCurrencyFormatW(kEnUs, 0, u"-2353", nullptr, out, 11), 0);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);

    EXPECT_EQ(GetNumberFormatW(kPtBr, 0, u"1234.5", nullptr, nullptr, 0), 9);  // "1.234,50"
    SetLastError(0);
    EXPECT_EQ(GetNumberFormatW(kPtBr, 0, u"1234.5", nullptr, out, 8), 0);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(GetNumberFormatW(kPtBr, 0, u"1234.5", nullptr, out, 9), 9);

    SetLastError(0);
    EXPECT_EQ(GetNumberFormatW(kEnUs, 0, u"1", nullptr, nullptr, 5), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    SetLastError(0);
    EXPECT_EQ(GetCurrencyFormatW(kEnUs, 0, u"1", nullptr, out, -1), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

struct LocaleStringCase {
    const char16_t* grouping;
    const char16_t* digits;
    const char16_t* expected;
};

// The locale items' grouping notation, where a trailing ";0" is the repeat; the tables of the
// built-in locales only use "3;0", so the other forms are checked here.
TEST(NumberAndCurrencyFormat, LocaleGroupingStrings) {
    const LocaleStringCase cases[] = {
        {u"3;0", u"3000000000000", u"3,000,000,000,000"},
        {u"3;2;0", u"3000000000000", u"30,00,00,00,00,000"},
        {u"3", u"3000000000000", u"3000000000,000"},
        {u"3;2", u"3000000000000", u"30000000,00,000"},
        {u"0", u"1234567890", u"1234567890"},
        {u"0;0", u"1234567890", u"1234567890"},
        {u"0;0;0", u"1234567890", u"1234567890"},
        {u"1;0", u"12345", u"1,2,3,4,5"},
        {u"2;0;0", u"1234567890", u"12345678,90"},
        {u"3;0", u"999", u"999"},
        {u"3;0", u"", u""},
    };
    for (const LocaleStringCase& c : cases) {
        EXPECT_EQ(nls_detail::GroupDigits(c.digits,
                                          nls_detail::GroupingFromLocaleString(c.grouping), u","),
                  c.expected)
            << std::string(c.grouping, c.grouping + std::char_traits<char16_t>::length(c.grouping));
    }
}

}  // namespace
