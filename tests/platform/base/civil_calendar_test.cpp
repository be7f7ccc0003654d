// Calendar arithmetic: known day numbers, the leap-year rule and the round trip.
#include <gtest/gtest.h>

#include "platform/base/civil_calendar.h"

namespace {

struct DayCase {
    std::int64_t year;
    unsigned month;
    unsigned day;
    std::int64_t days;
};

TEST(CivilCalendarTest, KnownDatesHaveTheirDayNumbers) {
    const DayCase cases[] = {
        {1970, 1, 1, 0},       {1969, 12, 31, -1},      {2000, 3, 1, 11017},
        {2000, 2, 29, 11016},  {1899, 12, 30, -25569},  {1601, 1, 1, -134774},
        {100, 1, 1, -683003},  {9999, 12, 31, 2932896}, {0, 3, 1, -719468},
        {-1, 12, 31, -719529}, {2024, 12, 31, 20088},
    };
    for (const DayCase& c : cases) {
        EXPECT_EQ(DaysFromCivil(c.year, c.month, c.day), c.days) << c.year << '-' << c.month;
        const CivilDate date = CivilFromDays(c.days);
        EXPECT_EQ(date.year, c.year) << c.days;
        EXPECT_EQ(date.month, c.month) << c.days;
        EXPECT_EQ(date.day, c.day) << c.days;
    }
}

TEST(CivilCalendarTest, LeapYearsFollowTheGregorianRule) {
    EXPECT_TRUE(IsLeapYear(2000));
    EXPECT_TRUE(IsLeapYear(2024));
    EXPECT_TRUE(IsLeapYear(0));
    EXPECT_FALSE(IsLeapYear(1900));
    EXPECT_FALSE(IsLeapYear(2100));
    EXPECT_FALSE(IsLeapYear(2023));
    EXPECT_EQ(DaysInMonth(2024, 2), 29u);
    EXPECT_EQ(DaysInMonth(1900, 2), 28u);
    EXPECT_EQ(DaysInMonth(2023, 12), 31u);
    EXPECT_EQ(DaysInMonth(2023, 4), 30u);
}

TEST(CivilCalendarTest, EveryDayFollowsItsPredecessor) {
    // Walks 1600-01-01 to 2100-12-31 one day at a time: each date is the day after the last,
    // within its month's length, and maps back to its number.
    std::int64_t days = DaysFromCivil(1600, 1, 1);
    CivilDate previous = CivilFromDays(days - 1);
    EXPECT_EQ(previous.year, 1599);
    for (; days <= DaysFromCivil(2100, 12, 31); ++days) {
        const CivilDate date = CivilFromDays(days);
        const bool nextDay = date.year == previous.year && date.month == previous.month &&
                             date.day == previous.day + 1;
        const bool nextMonth =
            date.day == 1 && previous.day == DaysInMonth(previous.year, previous.month) &&
            (date.month == previous.month + 1 ||
             (date.month == 1 && previous.month == 12 && date.year == previous.year + 1));
        ASSERT_TRUE(nextDay || nextMonth) << days;
        ASSERT_EQ(DaysFromCivil(date.year, date.month, date.day), days);
        previous = date;
    }
}

}  // namespace
