// Tests of the Win32 time stand-ins: FILETIME and SYSTEMTIME conversions, TZ-aware local time,
// the wrapping tick count and the test-only clock hooks.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/last_error.h"
#include "platform/systime.h"

namespace {

std::uint64_t Ticks(const FILETIME& ft) {
    return (std::uint64_t{ft.dwHighDateTime} << 32) | ft.dwLowDateTime;
}

FILETIME FromTicks(std::uint64_t ticks) {
    return {static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

struct ConversionCase {
    SYSTEMTIME st;  // wDayOfWeek holds the expected day of week
    std::uint64_t ticks;
};

TEST(SystemTimeToFileTime, KnownInstantsRoundTrip) {
    const ConversionCase cases[] = {
        {{1601, 1, 1, 1, 0, 0, 0, 0}, 0},
        {{1970, 1, 4, 1, 0, 0, 0, 0}, 116444736000000000ULL},
        {{2024, 3, 2, 5, 14, 7, 9, 123}, 133541212291230000ULL},
        {{2000, 2, 2, 29, 23, 59, 59, 999}, 125963423999990000ULL},
        {{30828, 9, 4, 14, 2, 48, 5, 477}, 0x7FFFFFFFFFFFFFFFULL / 10000 * 10000},
    };
    for (const ConversionCase& c : cases) {
        SYSTEMTIME input = c.st;
        input.wDayOfWeek = 6;  // ignored on the way in
        FILETIME ft{};
        if (c.st.wYear <= 30827) {
            ASSERT_TRUE(SystemTimeToFileTime(&input, &ft)) << c.st.wYear;
            EXPECT_EQ(Ticks(ft), c.ticks) << c.st.wYear;
        }
        ft = FromTicks(c.ticks);
        SYSTEMTIME back{};
        ASSERT_TRUE(FileTimeToSystemTime(&ft, &back));
        EXPECT_EQ(back.wYear, c.st.wYear);
        EXPECT_EQ(back.wMonth, c.st.wMonth);
        EXPECT_EQ(back.wDayOfWeek, c.st.wDayOfWeek) << c.st.wYear;
        EXPECT_EQ(back.wDay, c.st.wDay);
        EXPECT_EQ(back.wHour, c.st.wHour);
        EXPECT_EQ(back.wMinute, c.st.wMinute);
        EXPECT_EQ(back.wSecond, c.st.wSecond);
        EXPECT_EQ(back.wMilliseconds, c.st.wMilliseconds);
    }
}

TEST(SystemTimeToFileTime, RejectsOutOfRangeFieldsAndLeavesOutputAlone) {
    const SYSTEMTIME bad[] = {
        {1600, 12, 0, 31, 0, 0, 0, 0}, {30828, 1, 0, 1, 0, 0, 0, 0}, {2023, 0, 0, 1, 0, 0, 0, 0},
        {2023, 13, 0, 1, 0, 0, 0, 0},  {2023, 2, 0, 29, 0, 0, 0, 0}, {1900, 2, 0, 29, 0, 0, 0, 0},
        {2023, 4, 0, 31, 0, 0, 0, 0},  {2023, 4, 0, 0, 0, 0, 0, 0},  {2023, 4, 0, 1, 24, 0, 0, 0},
        {2023, 4, 0, 1, 0, 60, 0, 0},  {2023, 4, 0, 1, 0, 0, 60, 0}, {2023, 4, 0, 1, 0, 0, 0, 1000},
    };
    for (const SYSTEMTIME& st : bad) {
        FILETIME ft{0x1234, 0x5678};
        SetLastError(0);
        EXPECT_FALSE(SystemTimeToFileTime(&st, &ft)) << st.wYear << "-" << st.wMonth;
        EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
        EXPECT_EQ(ft.dwLowDateTime, 0x1234u);
        EXPECT_EQ(ft.dwHighDateTime, 0x5678u);
    }
}

TEST(FileTimeToSystemTime, RejectsValuesWithTheTopBitSet) {
    const FILETIME ft = FromTicks(0x8000000000000000ULL);
    SYSTEMTIME st{1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_FALSE(FileTimeToSystemTime(&ft, &st));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(st.wYear, 1);
    EXPECT_EQ(st.wMilliseconds, 8);
}

class LocalTimeTest : public ::testing::Test {
  protected:
    void TearDown() override {
        setenv("TZ", "UTC", 1);
        platform_test::ClearLocalTime();
        platform_test::ClearTickCount();
    }
};

// Minutes east of UTC that GetLocalTime shows at the moment (within one call of each other).
int OffsetMinutes() {
    SYSTEMTIME st{};
    GetLocalTime(&st);
    return st.wHour * 60 + st.wMinute;
}

TEST_F(LocalTimeTest, HonoursTzChangedAtRunTime) {
    setenv("TZ", "UTC0", 1);
    const int utc = OffsetMinutes();
    setenv("TZ", "XYZ-5:30", 1);  // POSIX zone 5 h 30 east of UTC, no DST
    const int east = OffsetMinutes();
    const int difference = ((east - utc) % 1440 + 1440) % 1440;
    EXPECT_NEAR(difference, 330, 1);
}

TEST_F(LocalTimeTest, TestHookFreezesTheLocalTimeUntilCleared) {
    const SYSTEMTIME frozen{2024, 3, 2, 5, 14, 7, 9, 0};
    platform_test::SetLocalTime(frozen);
    SYSTEMTIME st{};
    GetLocalTime(&st);
    EXPECT_EQ(st.wYear, 2024);
    EXPECT_EQ(st.wHour, 14);
    EXPECT_EQ(st.wSecond, 9);
    platform_test::ClearLocalTime();
    GetLocalTime(&st);
    EXPECT_GE(st.wYear, 2025);
}

TEST_F(LocalTimeTest, TickCountHookWrapsAt32Bits) {
    platform_test::SetTickCount(0xFFFFFF00u);
    EXPECT_EQ(GetTickCount(), 0xFFFFFF00u);
    const DWORD start = GetTickCount();
    platform_test::AdvanceTickCount(0x200);
    EXPECT_EQ(GetTickCount(), 0x100u);
    EXPECT_EQ(GetTickCount() - start, 0x200u);  // unsigned difference survives the wrap
}

TEST_F(LocalTimeTest, RealTickCountMovesForward) {
    const DWORD start = GetTickCount();
    timespec pause{0, 20'000'000};
    nanosleep(&pause, nullptr);
    const DWORD elapsed = GetTickCount() - start;
    EXPECT_GE(elapsed, 15u);
    EXPECT_LT(elapsed, 5000u);
}

}  // namespace
