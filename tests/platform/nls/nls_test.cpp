// Tests of the NLS stand-in: locale data, the user's default locale from the environment, and
// date and time pictures with their defaults, flags and failures.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/nls.h"
#include "tests/platform/nls/nls_test_support.h"
#include "tests/support/locale_variables.h"

namespace {

constexpr LCID kEnUs = 1033, kEnNz = 5129, kEnGb = 2057, kEnAu = 3081, kPtBr = 1046, kEsEs = 3082,
               kDeDe = 1031;
const SYSTEMTIME kAfternoon{2024, 3, 0, 5, 14, 7, 9, 0};  // a Tuesday; wDayOfWeek left wrong
const SYSTEMTIME kMorning{2002, 5, 6, 4, 8, 56, 13, 0};   // a Saturday
const SYSTEMTIME kMidnight{2005, 1, 6, 1, 0, 5, 3, 0};

using nls_test::Run;

std::u16string Date(LCID lcid, DWORD flags, const SYSTEMTIME& st, const char16_t* format) {
    return Run(
        [&](LPWSTR out, int cch) { return GetDateFormatW(lcid, flags, &st, format, out, cch); });
}

std::u16string Time(LCID lcid, DWORD flags, const SYSTEMTIME& st, const char16_t* format) {
    return Run(
        [&](LPWSTR out, int cch) { return GetTimeFormatW(lcid, flags, &st, format, out, cch); });
}

std::u16string Info(LCID lcid, LCTYPE type) {
    return Run([&](LPWSTR out, int cch) { return GetLocaleInfoW(lcid, type, out, cch); });
}

struct DefaultsCase {
    LCID lcid;
    const char16_t* date;
    const char16_t* time;
};

TEST(DateTimeFormat, NullFormatGivesShortDateAndTimeWithSeconds) {
    const DefaultsCase cases[] = {
        {kEnUs, u"3/5/2024", u"2:07:09 PM"}, {kEnNz, u"5/03/2024", u"2:07:09 p.m."},
        {kEnGb, u"05/03/2024", u"14:07:09"}, {kEnAu, u"5/03/2024", u"2:07:09 PM"},
        {kPtBr, u"05/03/2024", u"14:07:09"}, {LOCALE_INVARIANT, u"03/05/2024", u"14:07:09"},
        {kEsEs, u"05/03/2024", u"14:07:09"}, {kDeDe, u"05.03.2024", u"14:07:09"},
    };
    for (const DefaultsCase& c : cases) {
        EXPECT_EQ(Date(c.lcid, 0, kAfternoon, nullptr), c.date) << c.lcid;
        EXPECT_EQ(Time(c.lcid, 0, kAfternoon, nullptr), c.time) << c.lcid;
    }
}

struct PictureCase {
    LCID lcid;
    DWORD flags;
    const SYSTEMTIME* st;
    const char16_t* format;
    const char16_t* expected;
};

TEST(GetDateFormatW, Pictures) {
    const PictureCase cases[] = {
        {kEnUs, 0, &kMorning, nullptr, u"5/4/2002"},
        {kEnUs, DATE_LONGDATE, &kMorning, nullptr, u"Saturday, May 4, 2002"},
        {kEnUs, DATE_YEARMONTH, &kMorning, nullptr, u"May 2002"},
        {kEnGb, DATE_LONGDATE, &kAfternoon, nullptr, u"05 March 2024"},
        {kPtBr, DATE_LONGDATE, &kAfternoon, nullptr, u"ter\u00e7a-feira, 5 de mar\u00e7o de 2024"},
        {kEnUs, 0, &kAfternoon, u"d dd ddd dddd ddddd", u"5 05 Tue Tuesday Tuesday"},
        {kEnUs, 0, &kAfternoon, u"M MM MMM MMMM", u"3 03 Mar March"},
        {kPtBr, 0, &kAfternoon, u"ddd MMM g", u"ter mar d.C."},
        {kDeDe, DATE_LONGDATE, &kAfternoon, nullptr, u"Dienstag, 5. M\u00e4rz 2024"},
        {kDeDe, 0, &kAfternoon, u"ddd MMM g", u"Di Mrz n. Chr."},
        {kEsEs, DATE_LONGDATE, &kMorning, nullptr, u"s\u00e1bado, 4 de mayo de 2002"},
        {kEsEs, 0, &kAfternoon, u"ddd MMM", u"mar mar"},
        {kEnUs, 0, &kMidnight, u"y yy yyy yyyy yyyyy", u"5 05 2005 2005 2005"},
        {kEnUs, 0, &kAfternoon, u"D m h s t H", u"D m h s t H"},  // time letters are literal
        {kEnUs, 0, &kAfternoon, u"'dd' d 'it''s' ''", u"dd 5 it's "},
        {kEnUs, 0, &kAfternoon, u"d 'MMM", u"5 MMM"},  // an unterminated quote runs to the end
        {kEnUs, 0, &kAfternoon, u"", u""},
    };
    for (const PictureCase& c : cases) {
        const std::u16string format = c.format ? c.format : u"(null)";
        EXPECT_EQ(Date(c.lcid, c.flags, *c.st, c.format), c.expected)
            << std::string(format.begin(), format.end());
    }
}

TEST(GetTimeFormatW, Pictures) {
    const PictureCase cases[] = {
        {kEnUs, 0, &kMorning, nullptr, u"8:56:13 AM"},
        {kEnUs, TIME_NOSECONDS, &kMorning, nullptr, u"8:56 AM"},
        {kEnUs, TIME_NOMINUTESORSECONDS, &kMorning, nullptr, u"8 AM"},
        {kEnUs, TIME_NOTIMEMARKER, &kMorning, nullptr, u"8:56:13"},
        {kEnUs, TIME_FORCE24HOURFORMAT, &kAfternoon, u"h:mm", u"14:07"},
        {kEnUs, TIME_NOTIMEMARKER, &kMorning, u"tt h:mm", u"8:56"},
        {kEnNz, TIME_NOSECONDS, &kAfternoon, nullptr, u"2:07 p.m."},
        {kEnUs, 0, &kMidnight, u"h hh H HH m mm s ss", u"12 12 0 00 5 05 3 03"},
        {kEnUs, 0, &kMorning, u"hhh t tt", u"08 A AM"},
        {kPtBr, 0, &kMorning, u"H:mm t tt", u"8:56  "},               // empty designators
        {kEnUs, 0, &kAfternoon, u"HH:mm M S d y", u"14:07 M S d y"},  // date letters literal
        {kEnUs, 0, &kAfternoon, u"''''", u"'"},
        {kEnUs, 0, &kAfternoon, u"'''HHHHHH'", u"'HHHHHH"},
        {kEnUs, 0, &kAfternoon, u"h 'o''clock'", u"2 o'clock"},
    };
    for (const PictureCase& c : cases) {
        const std::u16string format = c.format ? c.format : u"(null)";
        EXPECT_EQ(Time(c.lcid, c.flags, *c.st, c.format), c.expected)
            << std::string(format.begin(), format.end()) << " flags " << c.flags;
    }
}

TEST(DateTimeFormat, FieldsOfTheOtherKindAreIgnored) {
    SYSTEMTIME nonsenseTime = kAfternoon;
    nonsenseTime.wHour = 99;
    nonsenseTime.wMilliseconds = 5000;
    EXPECT_EQ(Date(kEnUs, 0, nonsenseTime, u"ddd d"), u"Tue 5");
    SYSTEMTIME nonsenseDate = kAfternoon;
    nonsenseDate.wYear = 0;
    nonsenseDate.wMonth = 14;
    EXPECT_EQ(Time(kEnGb, 0, nonsenseDate, nullptr), u"14:07:09");
}

TEST(DateTimeFormat, Failures) {
    SYSTEMTIME february30 = kAfternoon;
    february30.wMonth = 2;
    february30.wDay = 30;
    SYSTEMTIME year1600 = kAfternoon;
    year1600.wYear = 1600;
    SYSTEMTIME hour24 = kAfternoon;
    hour24.wHour = 24;
    SYSTEMTIME minute60 = kAfternoon;
    minute60.wMinute = 60;
    EXPECT_EQ(Date(kEnUs, 0, february30, nullptr), u"#87");
    EXPECT_EQ(Date(kEnUs, 0, year1600, nullptr), u"#87");
    EXPECT_EQ(Date(kEnUs, DATE_SHORTDATE, kAfternoon, u"d"), u"#1004");
    EXPECT_EQ(Date(kEnUs, DATE_SHORTDATE | DATE_LONGDATE, kAfternoon, nullptr), u"#1004");
    EXPECT_EQ(Date(kEnUs, 0x4, kAfternoon, nullptr), u"#1004");  // alternate calendar
    EXPECT_EQ(Date(1036, 0, kAfternoon, nullptr), u"#87");       // no such locale here
    EXPECT_EQ(Time(kEnUs, 0, hour24, nullptr), u"#87");
    EXPECT_EQ(Time(kEnUs, 0, minute60, nullptr), u"#87");
    EXPECT_EQ(Time(kEnUs, 0x10, kAfternoon, nullptr), u"#1004");
    // LOCALE_NOUSEROVERRIDE goes only with the locale's own picture, as on Windows.
    EXPECT_EQ(Date(kEnUs, LOCALE_NOUSEROVERRIDE, kMorning, u"ddd',' MMM dd yy"), u"#1004");
    EXPECT_EQ(Time(kEnUs, LOCALE_NOUSEROVERRIDE | TIME_FORCE24HOURFORMAT, kMorning, u"HH"),
              u"#1004");
    EXPECT_EQ(Date(kEnUs, LOCALE_NOUSEROVERRIDE, kMorning, nullptr), u"5/4/2002");
    EXPECT_EQ(Time(kEnUs, LOCALE_NOUSEROVERRIDE | TIME_NOSECONDS, kMorning, nullptr), u"8:56 AM");
}

// The cases Windows passes in the conformance tests of the time pictures: a dropped field takes
// the literal text before it along, and the text after it up to a space or the next field.
TEST(GetTimeFormatW, DroppedFieldsTakeTheirSeparators) {
    SYSTEMTIME afternoon = kMorning;  // 13:56:13
    afternoon.wHour = 13;
    const PictureCase cases[] = {
        {kEnUs, TIME_NOSECONDS, &kMorning, u"h.@:m.@:s.@:tt", u"8.@:56AM"},
        {kEnUs, TIME_NOSECONDS, &kMorning, u"h:m:s tt", u"8:56 AM"},
        {kEnUs, TIME_NOSECONDS, &kMorning, u"s1s2s3", u""},
        {kEnUs, TIME_NOMINUTESORSECONDS, &kMorning, u"m1s2m3s4", u""},
        {kEnUs, TIME_NOTIMEMARKER, &afternoon, u"h1t2tt3m", u"156"},
        {kEnUs, TIME_NOTIMEMARKER, &afternoon, u"'123'tt", u""},
    };
    for (const PictureCase& c : cases) {
        EXPECT_EQ(Time(c.lcid, c.flags, *c.st, c.format), c.expected)
            << std::string(c.format, c.format + std::char_traits<char16_t>::length(c.format));
    }
}

TEST(DateTimeFormat, SizeQueryAndShortBuffer) {
    EXPECT_EQ(GetDateFormatW(kEnUs, 0, &kAfternoon, nullptr, nullptr, 0), 9);
    WCHAR small[8] = {u'~', u'~', u'~', u'~', u'~', u'~', u'~', u'~'};
    SetLastError(0);
    EXPECT_EQ(GetDateFormatW(kEnUs, 0, &kAfternoon, nullptr, small, 8), 0);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(GetTimeFormatW(kEnUs, 0, &kAfternoon, nullptr, small, 8), 0);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(GetDateFormatW(kEnUs, 0, &kAfternoon, nullptr, small, -1), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(GetDateFormatW(kEnUs, 0, &kAfternoon, nullptr, nullptr, 5), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST(DateTimeFormat, NullTimeMeansTheCurrentLocalTime) {
    platform_test::SetLocalTime(kAfternoon);
    WCHAR out[40];
    ASSERT_GT(GetDateFormatW(kEnGb, 0, nullptr, nullptr, out, 40), 0);
    EXPECT_EQ(std::u16string(out), u"05/03/2024");
    ASSERT_GT(GetTimeFormatW(kEnGb, 0, nullptr, nullptr, out, 40), 0);
    EXPECT_EQ(std::u16string(out), u"14:07:09");
    platform_test::ClearLocalTime();
}

struct InfoCase {
    LCID lcid;
    LCTYPE type;
    const char16_t* expected;
};

TEST(GetLocaleInfoW, TableValues) {
    const InfoCase cases[] = {
        {kEnUs, LOCALE_SDECIMAL, u"."},
        {kPtBr, LOCALE_SDECIMAL, u","},
        {kPtBr, LOCALE_STHOUSAND, u"."},
        {kEnNz, LOCALE_SGROUPING, u"3;0"},
        {kEnGb, LOCALE_SCURRENCY, u"\u00a3"},
        {kPtBr, LOCALE_SCURRENCY, u"R$"},
        {kEnUs, LOCALE_INEGCURR, u"0"},
        {kEnNz, LOCALE_INEGCURR, u"1"},
        {kPtBr, LOCALE_SMONDECIMALSEP, u","},
        {kEnUs, LOCALE_SNEGATIVESIGN, u"-"},
        {kEnNz, LOCALE_SSHORTDATE, u"d/MM/yyyy"},
        {kEnGb, LOCALE_STIMEFORMAT, u"HH:mm:ss"},
        {kEnNz, LOCALE_S1159, u"a.m."},
        {kPtBr, LOCALE_S2359, u""},
        {kEnUs, LOCALE_SDAYNAME1, u"Monday"},
        {kEnUs, LOCALE_SDAYNAME7, u"Sunday"},
        {kPtBr, LOCALE_SABBREVDAYNAME1 + 5, u"s\u00e1b"},
        {kPtBr, LOCALE_SMONTHNAME1 + 2, u"mar\u00e7o"},
        {kEnGb, LOCALE_SABBREVMONTHNAME12, u"Dec"},
        {kEnGb, LOCALE_SMONTHNAME13, u""},
        {kEnNz, LOCALE_SNAME, u"en-NZ"},
        {kPtBr, LOCALE_ILANGUAGE, u"0416"},
        {kEnUs | 0x10000, LOCALE_SNAME, u"en-US"},  // sort bits do not matter
        {kEnUs, LOCALE_SDECIMAL | LOCALE_NOUSEROVERRIDE, u"."},
        {kEnUs, 0x9999, u"#1004"},
        {1036, LOCALE_SDECIMAL, u"#87"},
    };
    for (const InfoCase& c : cases) {
        EXPECT_EQ(Info(c.lcid, c.type), c.expected) << c.lcid << " item " << c.type;
    }
}

// The items that amount formatting reads, for every locale of the table.
struct FormatItemsRow {
    LCID lcid;
    const char16_t* items[13];
};

TEST(GetLocaleInfoW, NumberAndCurrencyItemsOfEveryLocale) {
    const LCTYPE types[13] = {LOCALE_IDIGITS,         LOCALE_ILZERO,       LOCALE_SGROUPING,
                              LOCALE_SDECIMAL,        LOCALE_STHOUSAND,    LOCALE_INEGNUMBER,
                              LOCALE_ICURRDIGITS,     LOCALE_SMONGROUPING, LOCALE_SMONDECIMALSEP,
                              LOCALE_SMONTHOUSANDSEP, LOCALE_INEGCURR,     LOCALE_ICURRENCY,
                              LOCALE_SCURRENCY};
    const FormatItemsRow rows[] = {
        {kEnUs, {u"2", u"1", u"3;0", u".", u",", u"1", u"2", u"3;0", u".", u",", u"0", u"0", u"$"}},
        {kEnNz, {u"2", u"1", u"3;0", u".", u",", u"1", u"2", u"3;0", u".", u",", u"1", u"0", u"$"}},
        {kEnGb,
         {u"2", u"1", u"3;0", u".", u",", u"1", u"2", u"3;0", u".", u",", u"1", u"0", u"\u00a3"}},
        {kEnAu, {u"2", u"1", u"3;0", u".", u",", u"1", u"2", u"3;0", u".", u",", u"1", u"0", u"$"}},
        {kPtBr,
         {u"2", u"1", u"3;0", u",", u".", u"1", u"2", u"3;0", u",", u".", u"9", u"2", u"R$"}},
        {kEsEs,
         {u"2", u"1", u"3;0", u",", u".", u"1", u"2", u"3;0", u",", u".", u"8", u"3", u"\u20ac"}},
        {kDeDe,
         {u"2", u"1", u"3;0", u",", u".", u"1", u"2", u"3;0", u",", u".", u"8", u"3", u"\u20ac"}},
        {LOCALE_INVARIANT,
         {u"2", u"1", u"3;0", u".", u",", u"1", u"2", u"3;0", u".", u",", u"0", u"0", u"\u00a4"}},
    };
    for (const FormatItemsRow& row : rows) {
        for (int i = 0; i < 13; ++i) {
            EXPECT_EQ(Info(row.lcid, types[i]), row.items[i]) << row.lcid << " item " << types[i];
        }
    }
}

TEST(GetLocaleInfoW, ReturnNumberAndSizeRules) {
    DWORD number = 0;
    auto* units = reinterpret_cast<LPWSTR>(&number);
    EXPECT_EQ(GetLocaleInfoW(kPtBr, LOCALE_ICURRENCY | LOCALE_RETURN_NUMBER, units, 2), 2);
    EXPECT_EQ(number, 2u);
    EXPECT_EQ(GetLocaleInfoW(kEnGb, LOCALE_ILANGUAGE | LOCALE_RETURN_NUMBER, units, 2), 2);
    EXPECT_EQ(number, 0x0809u);
    EXPECT_EQ(GetLocaleInfoW(kEnUs, LOCALE_SDECIMAL | LOCALE_RETURN_NUMBER, units, 2), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_FLAGS);
    EXPECT_EQ(GetLocaleInfoW(kEnUs, LOCALE_SLONGDATE, nullptr, 0), 19);
    WCHAR small[4];
    EXPECT_EQ(GetLocaleInfoW(kEnUs, LOCALE_SLONGDATE, small, 4), 0);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
}

// Clears the locale variables for one test and puts the previous values back afterwards.
class UserLocaleTest : public ::testing::Test {
  private:
    test_support::LocaleVariables variables_;
};

struct EnvironmentCase {
    const char* lcAll;
    const char* lcTime;
    const char* lcNumeric;
    const char* lang;
    const char16_t* date;     // follows LC_ALL, LC_TIME, LANG
    const char16_t* decimal;  // follows LC_ALL, LC_NUMERIC, LANG
};

TEST_F(UserLocaleTest, DefaultLocaleComesFromTheEnvironment) {
    const EnvironmentCase cases[] = {
        {nullptr, nullptr, nullptr, nullptr, u"3/5/2024", u"."},
        {nullptr, nullptr, nullptr, "en_NZ.UTF-8", u"5/03/2024", u"."},
        {nullptr, nullptr, nullptr, "pt_BR", u"05/03/2024", u","},
        {nullptr, nullptr, nullptr, "en_gb.utf8@euro", u"05/03/2024", u"."},
        {nullptr, nullptr, nullptr, "C", u"3/5/2024", u"."},
        {nullptr, nullptr, nullptr, "POSIX", u"3/5/2024", u"."},
        {nullptr, nullptr, nullptr, "fr_FR.UTF-8", u"3/5/2024", u"."},  // not in the table
        {nullptr, nullptr, nullptr, "de_DE.UTF-8", u"05.03.2024", u","},
        {nullptr, nullptr, nullptr, "es_ES.UTF-8", u"05/03/2024", u","},
        {"C", nullptr, nullptr, "pt_BR.UTF-8", u"3/5/2024", u"."},   // LC_ALL wins
        {"", nullptr, nullptr, "pt_BR.UTF-8", u"05/03/2024", u","},  // empty = unset
        {nullptr, "pt_BR.UTF-8", nullptr, "en_GB.UTF-8", u"05/03/2024", u"."},
        {nullptr, nullptr, "pt_BR.UTF-8", "en_NZ.UTF-8", u"5/03/2024", u","},
    };
    for (const EnvironmentCase& c : cases) {
        const std::pair<const char*, const char*> settings[] = {{"LC_ALL", c.lcAll},
                                                                {"LC_TIME", c.lcTime},
                                                                {"LC_NUMERIC", c.lcNumeric},
                                                                {"LANG", c.lang}};
        for (const auto& [name, value] : settings) {
            if (value) {
                setenv(name, value, 1);
            } else {
                unsetenv(name);
            }
        }
        const std::string label = c.lang ? c.lang : "(no LANG)";
        EXPECT_EQ(Date(LOCALE_USER_DEFAULT, 0, kAfternoon, nullptr), c.date) << label;
        EXPECT_EQ(Info(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL), c.decimal) << label;
    }
}

TEST_F(UserLocaleTest, GetUserDefaultLcidFollowsLcAllThenLang) {
    setenv("LANG", "pt_BR.UTF-8", 1);
    EXPECT_EQ(GetUserDefaultLCID(), kPtBr);
    setenv("LC_ALL", "en_NZ", 1);
    EXPECT_EQ(GetUserDefaultLCID(), kEnNz);
    setenv("LC_ALL", "POSIX", 1);
    EXPECT_EQ(GetUserDefaultLCID(), kEnUs);
}

}  // namespace
