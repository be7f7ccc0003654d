// Tests of DateTimeValue: the not-set value, Now under a frozen clock, the shared buffers, and
// formatting in the user's locale with null and empty formats.
#include "common/date_time_value.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/locale_variables.h"
#include "tests/support/under_wine.h"

namespace {

const SYSTEMTIME kExportMoment{2024, 3, 2, 5, 14, 7, 9, 250};

// Freezes the local clock at kExportMoment and clears the locale variables for one test.
// Windows' clock cannot be frozen from a test: there the moment is made from its fields.
class DateTimeValueTest : public ::testing::Test {
  protected:
#ifndef _WIN32
    void SetUp() override {
        platform_test::SetLocalTime(kExportMoment);
    }
    void TearDown() override {
        platform_test::ClearLocalTime();
    }
#endif

    // A value holding kExportMoment: taken by Now from the frozen clock, or on Windows
    // converted from the moment's fields.
    static DateTimeValue ExportMoment() {
        DateTimeValue value;
#ifdef _WIN32
        FILETIME time{};
        EXPECT_TRUE(SystemTimeToFileTime(&kExportMoment, &time));
        value = DateTimeValue(time);
#else
        value.Now();
#endif
        return value;
    }

    test_support::LocaleVariables locale_;
};

// Why a case of another locale does not run in this Windows process: it runs in `entry`.
std::string OtherLocale(const char* entry) {
    return std::string(
               "the user's locale is fixed when a Windows process starts: this case "
               "runs in ") +
           entry;
}

TEST_F(DateTimeValueTest, NewValueIsNotSetAndFormatsAsEmptyText) {
    const DateTimeValue value;
    EXPECT_FALSE(value.IsSet());
    EXPECT_EQ(value.FileTime().dwLowDateTime, 0xFFFFFFFFu);
    EXPECT_EQ(value.FileTime().dwHighDateTime, 0xFFFFFFFFu);
    EXPECT_STREQ(value.Format(nullptr, nullptr), "");
}

TEST_F(DateTimeValueTest, NowStoresTheLocalTimeAndReturnsACopy) {
    DateTimeValue value;
#ifdef _WIN32
    SYSTEMTIME before{};
    GetLocalTime(&before);
#endif
    const DateTimeValue copy = value.Now();
    EXPECT_TRUE(value.IsSet());
    EXPECT_EQ(copy.FileTime().dwLowDateTime, value.FileTime().dwLowDateTime);
    EXPECT_EQ(copy.FileTime().dwHighDateTime, value.FileTime().dwHighDateTime);
#ifdef _WIN32
    // Windows' clock runs: the value is the local time between two readings taken around Now.
    SYSTEMTIME after{};
    GetLocalTime(&after);
    FILETIME first{};
    FILETIME last{};
    ASSERT_TRUE(SystemTimeToFileTime(&before, &first));
    ASSERT_TRUE(SystemTimeToFileTime(&after, &last));
    const auto ticks = [](const FILETIME& time) {
        return (ULONGLONG(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    };
    EXPECT_LE(ticks(first), ticks(value.FileTime()));
    EXPECT_LE(ticks(value.FileTime()), ticks(last));
#else
    const SYSTEMTIME* st = value.ToSystemTime();
    EXPECT_EQ(st->wYear, 2024);
    EXPECT_EQ(st->wMonth, 3);
    EXPECT_EQ(st->wDay, 5);
    EXPECT_EQ(st->wDayOfWeek, 2);
    EXPECT_EQ(st->wHour, 14);
    EXPECT_EQ(st->wMinute, 7);
    EXPECT_EQ(st->wSecond, 9);
    EXPECT_EQ(st->wMilliseconds, 250);
#endif
}

TEST_F(DateTimeValueTest, ToSystemTimeOfAValueNotSetIsZeroNotTheLastTime) {
    const DateTimeValue set = ExportMoment();
    const SYSTEMTIME* shared = set.ToSystemTime();
    ASSERT_EQ(shared->wYear, 2024);
    const DateTimeValue unset;
    EXPECT_EQ(unset.ToSystemTime(), shared);  // one shared SYSTEMTIME
    EXPECT_EQ(shared->wYear, 0);
    EXPECT_EQ(shared->wHour, 0);
}

struct LocaleCase {
    const char* lang;
    const char* both;
    // Wine formats this locale otherwise than Windows: it builds its locale data from Unicode
    // CLDR ("pm" for en-NZ), not from Windows' tables (wine-locale-data in
    // tests/conformance/known_differences.txt).
    bool wineLocaleData = false;
};

TEST_F(DateTimeValueTest, NullFormatsGiveTheUsersShortDateBlankAndTime) {
    const LocaleCase cases[] = {
        {"C", "3/5/2024 2:07:09 PM"},
        {"en_US.UTF-8", "3/5/2024 2:07:09 PM"},
        {"en_NZ.UTF-8", "5/03/2024 2:07:09 p.m.", true},
        {"en_GB.UTF-8", "05/03/2024 14:07:09"},
        {"pt_BR.UTF-8", "05/03/2024 14:07:09"},
    };
    const DateTimeValue value = ExportMoment();
    int checked = 0;
    std::string wineDiffers;
    for (const LocaleCase& c : cases) {
        if (!test_support::UseUserLocale(c.lang)) {
            continue;
        }
        if (c.wineLocaleData && test_support::RunningUnderWine()) {
            wineDiffers = std::string(c.lang) + " under Wine, whose locale data is not Windows': " +
                          value.Format(nullptr, nullptr) + " where Windows gives " + c.both;
            continue;
        }
        EXPECT_STREQ(value.Format(nullptr, nullptr), c.both) << c.lang;
        ++checked;
    }
    if (checked == 0) {
        GTEST_SKIP() << (wineDiffers.empty() ? OtherLocale("the windows.common entries")
                                             : wineDiffers);
    }
}

struct FormatCase {
    const char* date;
    const char* time;
    const char* expected;
};

TEST_F(DateTimeValueTest, NullAndEmptyFormats) {
    if (!test_support::UseUserLocale("C")) {
        GTEST_SKIP() << OtherLocale("windows.common (en-US)");
    }
    const FormatCase cases[] = {
        {nullptr, "", "3/5/2024"},
        {"", nullptr, "2:07:09 PM"},
        {"", "", ""},
        {"yyyy-MM-dd", "HH:mm:ss", "2024-03-05 14:07:09"},
        {"d 'de' MMMM", "", "5 de March"},
        {"dddd", "'at' h tt", "Tuesday at 2 PM"},
    };
    const DateTimeValue value = ExportMoment();
    for (const FormatCase& c : cases) {
        EXPECT_STREQ(value.Format(c.date, c.time), c.expected)
            << (c.date ? c.date : "(null)") << " / " << (c.time ? c.time : "(null)");
    }
}

TEST_F(DateTimeValueTest, TwoCallsShareOneBuffer) {
    const DateTimeValue value = ExportMoment();
    const char* first = value.Format("yyyy", "");
    EXPECT_STREQ(first, "2024");
    const char* second = value.Format("", "HH");
    EXPECT_EQ(first, second);
    EXPECT_STREQ(first, "14");
}

TEST_F(DateTimeValueTest, LatinOneCharactersAndFormatBytesComeBackAsBytes) {
    if (!test_support::UseUserLocale("pt_BR.UTF-8")) {
        GTEST_SKIP() << OtherLocale("windows.common.pt_BR");
    }
    const DateTimeValue value = ExportMoment();
    EXPECT_STREQ(value.Format("dddd, d MMMM", ""),
                 "ter\xe7"
                 "a-feira, 5 mar\xe7o");
    EXPECT_STREQ(value.Format("d\xba", "H\xb0"), "5\xba 14\xb0");  // 8-bit literals survive
}

TEST_F(DateTimeValueTest, LongestPartsFillTheBufferAndStayTerminated) {
    const DateTimeValue value = ExportMoment();
    const std::string date(79, 'x');  // 79 units + terminator fill the 80-unit part buffer
    const std::string time(79, 'z');
    const std::string both = value.Format(date.c_str(), time.c_str());
    EXPECT_EQ(both, date + " " + time);
    const std::string tooLong(80, 'x');  // does not fit: the date part is left out
    EXPECT_EQ(std::string(value.Format(tooLong.c_str(), "HH")), "14");
}

}  // namespace
