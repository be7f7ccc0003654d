// Tests of DateTimeValue: the not-set value, Now under a frozen clock, the shared buffers, and
// formatting in the user's locale with null and empty formats.
#include "common/date_time_value.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace {

const SYSTEMTIME kExportMoment{2024, 3, 2, 5, 14, 7, 9, 250};

// Freezes the local clock and sets LANG (clearing LC_ALL and LC_TIME) for one test.
class DateTimeValueTest : public ::testing::Test {
  protected:
    void SetUp() override {
        platform_test::SetLocalTime(kExportMoment);
        for (const char* name : {"LC_ALL", "LC_TIME", "LANG"}) {
            const char* value = std::getenv(name);
            saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
            unsetenv(name);
        }
    }
    void TearDown() override {
        platform_test::ClearLocalTime();
        for (const auto& [name, value] : saved_) {
            if (value) {
                setenv(name, value->c_str(), 1);
            } else {
                unsetenv(name);
            }
        }
    }
    std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

TEST_F(DateTimeValueTest, NewValueIsNotSetAndFormatsAsEmptyText) {
    const DateTimeValue value;
    EXPECT_FALSE(value.IsSet());
    EXPECT_EQ(value.FileTime().dwLowDateTime, 0xFFFFFFFFu);
    EXPECT_EQ(value.FileTime().dwHighDateTime, 0xFFFFFFFFu);
    EXPECT_STREQ(value.Format(nullptr, nullptr), "");
}

TEST_F(DateTimeValueTest, NowStoresTheLocalTimeAndReturnsACopy) {
    DateTimeValue value;
    const DateTimeValue copy = value.Now();
    EXPECT_TRUE(value.IsSet());
    EXPECT_EQ(copy.FileTime().dwLowDateTime, value.FileTime().dwLowDateTime);
    EXPECT_EQ(copy.FileTime().dwHighDateTime, value.FileTime().dwHighDateTime);
    const SYSTEMTIME* st = value.ToSystemTime();
    EXPECT_EQ(st->wYear, 2024);
    EXPECT_EQ(st->wMonth, 3);
    EXPECT_EQ(st->wDay, 5);
    EXPECT_EQ(st->wDayOfWeek, 2);
    EXPECT_EQ(st->wHour, 14);
    EXPECT_EQ(st->wMinute, 7);
    EXPECT_EQ(st->wSecond, 9);
    EXPECT_EQ(st->wMilliseconds, 250);
}

TEST_F(DateTimeValueTest, ToSystemTimeOfAValueNotSetIsZeroNotTheLastTime) {
    DateTimeValue set;
    set.Now();
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
};

TEST_F(DateTimeValueTest, NullFormatsGiveTheUsersShortDateBlankAndTime) {
    const LocaleCase cases[] = {
        {"C", "3/5/2024 2:07:09 PM"},
        {"en_US.UTF-8", "3/5/2024 2:07:09 PM"},
        {"en_NZ.UTF-8", "5/03/2024 2:07:09 p.m."},
        {"en_GB.UTF-8", "05/03/2024 14:07:09"},
        {"pt_BR.UTF-8", "05/03/2024 14:07:09"},
    };
    DateTimeValue value;
    value.Now();
    for (const LocaleCase& c : cases) {
        setenv("LANG", c.lang, 1);
        EXPECT_STREQ(value.Format(nullptr, nullptr), c.both) << c.lang;
    }
}

struct FormatCase {
    const char* date;
    const char* time;
    const char* expected;
};

TEST_F(DateTimeValueTest, NullAndEmptyFormats) {
    const FormatCase cases[] = {
        {nullptr, "", "3/5/2024"},
        {"", nullptr, "2:07:09 PM"},
        {"", "", ""},
        {"yyyy-MM-dd", "HH:mm:ss", "2024-03-05 14:07:09"},
        {"d 'de' MMMM", "", "5 de March"},
        {"dddd", "'at' h tt", "Tuesday at 2 PM"},
    };
    DateTimeValue value;
    value.Now();
    for (const FormatCase& c : cases) {
        EXPECT_STREQ(value.Format(c.date, c.time), c.expected)
            << (c.date ? c.date : "(null)") << " / " << (c.time ? c.time : "(null)");
    }
}

TEST_F(DateTimeValueTest, TwoCallsShareOneBuffer) {
    DateTimeValue value;
    value.Now();
    const char* first = value.Format("yyyy", "");
    EXPECT_STREQ(first, "2024");
    const char* second = value.Format("", "HH");
    EXPECT_EQ(first, second);
    EXPECT_STREQ(first, "14");
}

TEST_F(DateTimeValueTest, LatinOneCharactersAndFormatBytesComeBackAsBytes) {
    setenv("LANG", "pt_BR.UTF-8", 1);
    DateTimeValue value;
    value.Now();
    EXPECT_STREQ(value.Format("dddd, d MMMM", ""),
                 "ter\xe7"
                 "a-feira, 5 mar\xe7o");
    EXPECT_STREQ(value.Format("d\xba", "H\xb0"), "5\xba 14\xb0");  // 8-bit literals survive
}

TEST_F(DateTimeValueTest, LongestPartsFillTheBufferAndStayTerminated) {
    DateTimeValue value;
    value.Now();
    const std::string date(79, 'x');  // 79 units + terminator fill the 80-unit part buffer
    const std::string time(79, 'z');
    const std::string both = value.Format(date.c_str(), time.c_str());
    EXPECT_EQ(both, date + " " + time);
    const std::string tooLong(80, 'x');  // does not fit: the date part is left out
    EXPECT_EQ(std::string(value.Format(tooLong.c_str(), "HH")), "14");
}

}  // namespace
