// Calendar arithmetic on the proleptic Gregorian calendar, as Windows counts dates: days
// since 1970-01-01 from a civil date and back, leap years and month lengths. FILETIME,
// SYSTEMTIME and the automation DATE are all built on these.
#pragma once

#include <cstdint>

struct CivilDate {
    std::int64_t year;
    unsigned month;  // 1 to 12
    unsigned day;    // 1 to 31
};

constexpr bool IsLeapYear(std::int64_t year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

// Days in `month` (1 to 12) of `year`.
constexpr unsigned DaysInMonth(std::int64_t year, unsigned month) {
    constexpr unsigned kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Days from 1970-01-01 to the civil date (negative before it); month 1 to 12, day 1 to 31.
// H. Hinnant's days_from_civil: exact for every year an int64 day count can hold.
constexpr std::int64_t DaysFromCivil(std::int64_t year, unsigned month, unsigned day) {
    year -= month <= 2;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const auto yoe = static_cast<unsigned>(year - era * 400);
    const unsigned doy = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

// The civil date `days` after 1970-01-01: the inverse of DaysFromCivil.
constexpr CivilDate CivilFromDays(std::int64_t days) {
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const auto doe = static_cast<unsigned>(days - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned day = doy - (153 * mp + 2) / 5 + 1;
    const unsigned month = mp < 10 ? mp + 3 : mp - 9;
    return {static_cast<std::int64_t>(yoe) + era * 400 + (month <= 2), month, day};
}
