// Win32 time functions over the POSIX clocks: calendar arithmetic in days since 1970 (proleptic
// Gregorian, as Windows counts), local time through localtime_r, ticks from CLOCK_BOOTTIME.
#include "platform/systime.h"

#include <time.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>

#include "platform/base/civil_calendar.h"
#include "platform/last_error.h"

namespace {

constexpr std::int64_t kTicksPerMillisecond = 10'000;
constexpr std::int64_t kTicksPerDay = 86'400LL * 1000 * kTicksPerMillisecond;
// Days from 1601-01-01, the FILETIME epoch, to 1970-01-01.
constexpr std::int64_t kDaysFrom1601To1970 = -DaysFromCivil(1601, 1, 1);
static_assert(kDaysFrom1601To1970 == 134'774);

std::mutex hookMutex;
std::optional<SYSTEMTIME> frozenLocalTime;
std::atomic<bool> tickFrozen{false};
std::atomic<DWORD> frozenTick{0};

DWORD RealTickCount() {
    timespec ts{};
    clock_gettime(CLOCK_BOOTTIME, &ts);
    const auto ms = static_cast<std::uint64_t>(ts.tv_sec) * 1000 +
                    static_cast<std::uint64_t>(ts.tv_nsec) / 1'000'000;
    return static_cast<DWORD>(ms);
}

}  // namespace

void GetLocalTime(SYSTEMTIME* st) {
    if (st == nullptr) {
        return;
    }
    {
        std::lock_guard lock(hookMutex);
        if (frozenLocalTime) {
            *st = *frozenLocalTime;
            return;
        }
    }
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tzset();  // localtime_r alone would keep the zone of its first call
    tm local{};
    localtime_r(&now.tv_sec, &local);
    st->wYear = static_cast<WORD>(local.tm_year + 1900);
    st->wMonth = static_cast<WORD>(local.tm_mon + 1);
    st->wDayOfWeek = static_cast<WORD>(local.tm_wday);
    st->wDay = static_cast<WORD>(local.tm_mday);
    st->wHour = static_cast<WORD>(local.tm_hour);
    st->wMinute = static_cast<WORD>(local.tm_min);
    st->wSecond = static_cast<WORD>(local.tm_sec > 59 ? 59 : local.tm_sec);  // leap second
    st->wMilliseconds = static_cast<WORD>(now.tv_nsec / 1'000'000);
}

BOOL SystemTimeToFileTime(const SYSTEMTIME* st, FILETIME* ft) {
    if (st == nullptr || ft == nullptr || st->wYear < 1601 || st->wYear > 30827 || st->wMonth < 1 ||
        st->wMonth > 12 || st->wDay < 1 || st->wDay > DaysInMonth(st->wYear, st->wMonth) ||
        st->wHour > 23 || st->wMinute > 59 || st->wSecond > 59 || st->wMilliseconds > 999) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const std::int64_t days = DaysFromCivil(st->wYear, st->wMonth, st->wDay) + kDaysFrom1601To1970;
    const std::int64_t ms =
        ((st->wHour * 60LL + st->wMinute) * 60 + st->wSecond) * 1000 + st->wMilliseconds;
    const auto ticks = static_cast<std::uint64_t>(days * kTicksPerDay + ms * kTicksPerMillisecond);
    ft->dwLowDateTime = static_cast<DWORD>(ticks);
    ft->dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return TRUE;
}

BOOL FileTimeToSystemTime(const FILETIME* ft, SYSTEMTIME* st) {
    if (ft == nullptr || st == nullptr || (ft->dwHighDateTime & 0x8000'0000u) != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const auto ticks =
        static_cast<std::int64_t>((std::uint64_t{ft->dwHighDateTime} << 32) | ft->dwLowDateTime);
    const std::int64_t days = ticks / kTicksPerDay;
    std::int64_t ms = ticks % kTicksPerDay / kTicksPerMillisecond;
    const CivilDate date = CivilFromDays(days - kDaysFrom1601To1970);
    st->wYear = static_cast<WORD>(date.year);
    st->wMonth = static_cast<WORD>(date.month);
    st->wDay = static_cast<WORD>(date.day);
    st->wDayOfWeek = static_cast<WORD>((days + 1) % 7);  // 1601-01-01 was a Monday
    st->wMilliseconds = static_cast<WORD>(ms % 1000);
    ms /= 1000;
    st->wSecond = static_cast<WORD>(ms % 60);
    ms /= 60;
    st->wMinute = static_cast<WORD>(ms % 60);
    st->wHour = static_cast<WORD>(ms / 60);
    return TRUE;
}

DWORD GetTickCount() {
    return tickFrozen ? frozenTick.load() : RealTickCount();
}

namespace platform {

void StartScriptedClock() {
    platform_test::SetTickCount(0);
}

}  // namespace platform

namespace platform_test {

void SetLocalTime(const SYSTEMTIME& st) {
    std::lock_guard lock(hookMutex);
    frozenLocalTime = st;
}

void ClearLocalTime() {
    std::lock_guard lock(hookMutex);
    frozenLocalTime.reset();
}

void SetTickCount(DWORD ms) {
    frozenTick = ms;
    tickFrozen = true;
}

void AdvanceTickCount(DWORD ms) {
    SetTickCount(GetTickCount() + ms);  // unsigned: wraps at 2^32 like the real count
}

void ClearTickCount() {
    tickFrozen = false;
}

}  // namespace platform_test
