// DateTimeValue: Brenkar's date-and-time value, a 64-bit file time (100-ns intervals since
// 1601, no zone) turned into text with the user's locale formats; it stamps exported files.
// Single-threaded: the results of ToSystemTime and Format live in shared buffers.
#pragma once

#include "platform/systime.h"

class DateTimeValue {
  public:
    // Not set: both halves 0xFFFFFFFF.
    DateTimeValue() = default;
    explicit DateTimeValue(const FILETIME& time) : value_(time) {}

    // Sets this value to the current local time (GetLocalTime, SystemTimeToFileTime) and
    // returns a copy of it.
    DateTimeValue Now();

    bool IsSet() const {
        return value_.dwLowDateTime != 0xFFFFFFFF || value_.dwHighDateTime != 0xFFFFFFFF;
    }
    const FILETIME& FileTime() const { return value_; }

    // Converts into the one process-wide SYSTEMTIME and returns it; the next call of any value
    // overwrites it. A value that no SYSTEMTIME can express (a value not set, for one) gives
    // all fields 0, never the previous call's time.
    const SYSTEMTIME* ToSystemTime() const;

    // The date and the time as 8-bit text in the one process-wide 160-byte buffer, valid until
    // the next Format call of any value. Each format is a GetDateFormatW / GetTimeFormatW
    // picture (8-bit text); null selects the user's default (short date; time with seconds),
    // "" leaves that part out. The parts are joined by one blank when both are there; a part
    // whose formatting fails is left out silently, and a value that cannot be converted gives
    // "". Characters 0x00-0xFF, and bytes of the formats that came back sign-extended
    // (0xFF80-0xFFFF), become that byte; any other character becomes '?'.
    const char* Format(const char* dateFormat, const char* timeFormat) const;

  private:
    FILETIME value_{0xFFFFFFFF, 0xFFFFFFFF};
};
