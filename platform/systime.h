// Win32 time of the platform layer: SYSTEMTIME and FILETIME with their conversions, the local
// wall clock (honouring TZ) and the wrapping 32-bit millisecond tick count. A test-only hook
// at the end freezes either clock. A Windows build has all of it from the SDK.
#pragma once

#include "platform/win_types.h"

#ifndef _WIN32

// A calendar date and time of day, 8 WORDs in the Windows order. wDayOfWeek: 0 = Sunday.
struct SYSTEMTIME {
    WORD wYear;
    WORD wMonth;
    WORD wDayOfWeek;
    WORD wDay;
    WORD wHour;
    WORD wMinute;
    WORD wSecond;
    WORD wMilliseconds;
};

// A 64-bit count of 100-ns intervals since 1601-01-01 00:00, low half first. It carries no
// zone: it holds whatever clock time it was made from.
struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};

// Fills `st` with the current local time of the zone that TZ names (read again on every call),
// day of week and milliseconds included. A null `st` is ignored.
void GetLocalTime(SYSTEMTIME* st);

// Converts without any zone conversion; wDayOfWeek is ignored. FALSE with
// ERROR_INVALID_PARAMETER (and `ft` untouched) when a pointer is null or a field is out of
// range: year outside 1601-30827, month outside 1-12, a day the month does not have,
// hour > 23, minute or second > 59, milliseconds > 999.
BOOL SystemTimeToFileTime(const SYSTEMTIME* st, FILETIME* ft);

// Converts back, filling in wDayOfWeek. FALSE with ERROR_INVALID_PARAMETER (and `st`
// untouched) when a pointer is null or the value is 0x8000000000000000 or above.
BOOL FileTimeToSystemTime(const FILETIME* ft, SYSTEMTIME* st);

// Milliseconds since the machine started (sleep included), truncated to 32 bits: it wraps to 0
// after about 49.7 days. Measure intervals as unsigned differences (now - start).
DWORD GetTickCount();

namespace platform {

// Freezes GetTickCount at 0 for the rest of the process, for a program that plays a script
// headless: its timers then run only as platform::AdvanceScriptedClock moves the clock, and
// every run gives the same output.
void StartScriptedClock();

}  // namespace platform

// ---- Test only: production code never calls these. ---------------------------------------
// They replace the clocks above for the whole process until cleared, so that tests do not
// depend on the machine's clock.
namespace platform_test {

// GetLocalTime returns exactly `st` (a frozen clock) until ClearLocalTime.
void SetLocalTime(const SYSTEMTIME& st);
void ClearLocalTime();

// GetTickCount returns `ms` until changed; AdvanceTickCount moves it on (wrapping at 2^32).
void SetTickCount(DWORD ms);
void AdvanceTickCount(DWORD ms);
void ClearTickCount();

}  // namespace platform_test

#endif  // _WIN32
