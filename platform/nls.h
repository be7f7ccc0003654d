// National-language support of the platform layer: locale data (GetLocaleInfoW), date and
// time formatting (GetDateFormatW, GetTimeFormatW), and number and currency formatting
// (GetNumberFormatW, GetCurrencyFormatW). Locale data is a built-in table of Windows default
// values; LOCALE_USER_DEFAULT is taken from the environment. A Windows build has all of it
// from the SDK.
#pragma once

#include "platform/last_error.h"
#include "platform/systime.h"
#include "platform/win_types.h"

#ifndef _WIN32

using LCID = DWORD;
using LCTYPE = DWORD;

// Locale identifiers. LOCALE_USER_DEFAULT (and LOCALE_SYSTEM_DEFAULT, and 0) stand for the
// user's locale: LC_ALL, else the category that fits the item (LC_TIME for dates, times and
// their names, LC_NUMERIC for numbers, LC_MONETARY for currency), else LANG; a value such as
// "en_NZ.UTF-8" or "pt_BR" selects that locale; unknown names, "C" and "POSIX" mean en-US.
// Built-in: en-US 1033, en-NZ 5129, en-GB 2057, en-AU 3081, pt-BR 1046, es-ES 3082, de-DE
// 1031, and the invariant locale. Any other LCID fails with ERROR_INVALID_PARAMETER.
constexpr LCID LOCALE_USER_DEFAULT = 0x0400;
constexpr LCID LOCALE_SYSTEM_DEFAULT = 0x0800;
constexpr LCID LOCALE_INVARIANT = 0x007F;

// Flags ORed into an LCTYPE (or into the flags of the formatting calls for the first).
constexpr DWORD LOCALE_NOUSEROVERRIDE = 0x80000000;  // accepted; there are no user overrides
constexpr DWORD LOCALE_RETURN_NUMBER = 0x20000000;   // I* items only: a DWORD, result 2

// Items of GetLocaleInfoW.
constexpr LCTYPE LOCALE_ILANGUAGE = 0x01;  // "0409"
constexpr LCTYPE LOCALE_SNAME = 0x5C;      // "en-US"
constexpr LCTYPE LOCALE_SDECIMAL = 0x0E;
constexpr LCTYPE LOCALE_STHOUSAND = 0x0F;
constexpr LCTYPE LOCALE_SGROUPING = 0x10;
constexpr LCTYPE LOCALE_IDIGITS = 0x11;
constexpr LCTYPE LOCALE_ILZERO = 0x12;
constexpr LCTYPE LOCALE_INEGNUMBER = 0x1010;
constexpr LCTYPE LOCALE_SCURRENCY = 0x14;
constexpr LCTYPE LOCALE_SMONDECIMALSEP = 0x16;
constexpr LCTYPE LOCALE_SMONTHOUSANDSEP = 0x17;
constexpr LCTYPE LOCALE_SMONGROUPING = 0x18;
constexpr LCTYPE LOCALE_ICURRDIGITS = 0x19;
constexpr LCTYPE LOCALE_ICURRENCY = 0x1B;
constexpr LCTYPE LOCALE_INEGCURR = 0x1C;
constexpr LCTYPE LOCALE_SPOSITIVESIGN = 0x50;
constexpr LCTYPE LOCALE_SNEGATIVESIGN = 0x51;
constexpr LCTYPE LOCALE_SSHORTDATE = 0x1F;
constexpr LCTYPE LOCALE_SLONGDATE = 0x20;
constexpr LCTYPE LOCALE_SYEARMONTH = 0x1006;
constexpr LCTYPE LOCALE_STIMEFORMAT = 0x1003;  // with seconds
constexpr LCTYPE LOCALE_SSHORTTIME = 0x79;
constexpr LCTYPE LOCALE_S1159 = 0x28;      // AM designator
constexpr LCTYPE LOCALE_S2359 = 0x29;      // PM designator
constexpr LCTYPE LOCALE_SDAYNAME1 = 0x2A;  // 1 = Monday ... 7 (0x30) = Sunday
constexpr LCTYPE LOCALE_SDAYNAME7 = 0x30;
constexpr LCTYPE LOCALE_SABBREVDAYNAME1 = 0x31;  // same order
constexpr LCTYPE LOCALE_SABBREVDAYNAME7 = 0x37;
constexpr LCTYPE LOCALE_SMONTHNAME1 = 0x38;  // ... 12 = 0x43
constexpr LCTYPE LOCALE_SMONTHNAME12 = 0x43;
constexpr LCTYPE LOCALE_SMONTHNAME13 = 0x100E;     // empty: no 13th month
constexpr LCTYPE LOCALE_SABBREVMONTHNAME1 = 0x44;  // ... 12 = 0x4F
constexpr LCTYPE LOCALE_SABBREVMONTHNAME12 = 0x4F;
constexpr LCTYPE LOCALE_SABBREVMONTHNAME13 = 0x100F;

// Flags of GetDateFormatW (at most one; none at all when a format is given).
constexpr DWORD DATE_SHORTDATE = 0x1;
constexpr DWORD DATE_LONGDATE = 0x2;
constexpr DWORD DATE_YEARMONTH = 0x8;

// Flags of GetTimeFormatW (combinable, also with a format).
constexpr DWORD TIME_NOMINUTESORSECONDS = 0x1;
constexpr DWORD TIME_NOSECONDS = 0x2;  // drops the seconds and the separator before them
constexpr DWORD TIME_NOTIMEMARKER = 0x4;
constexpr DWORD TIME_FORCE24HOURFORMAT = 0x8;

// The LCID that LOCALE_USER_DEFAULT stands for when no category fits (LC_ALL, else LANG).
LCID GetUserDefaultLCID();

// Copies the item's text (all items are text, numbers too) with its terminator into `buf` and
// returns the WCHARs written, terminator included. `cch` 0 returns the size needed and writes
// nothing. With LOCALE_RETURN_NUMBER (I* items only) a DWORD is written and 2 returned.
// Failures return 0 and set the last error: a too small `cch` ERROR_INSUFFICIENT_BUFFER, an
// unknown item or a misused flag ERROR_INVALID_FLAGS, an unknown LCID, a negative `cch` or
// a null `buf` with `cch` > 0 ERROR_INVALID_PARAMETER.
int GetLocaleInfoW(LCID lcid, LCTYPE type, LPWSTR buf, int cch);

// Formats the date of `st` (the current local time when null; time fields and wDayOfWeek are
// ignored) with the picture `format`, or, when `format` is null, with the locale's short date,
// long date or year-month picture as `flags` selects (0 = short date). Picture letters: d dd
// (day), ddd dddd (day name), M MM (month), MMM MMMM (month name), y (year mod 100), yy,
// yyyy, g gg (era); text in '...' is literal, '' inside quotes is an apostrophe; every other
// character is copied. Returns WCHARs written including the terminator (`cch` 0: the size
// needed). Failures return 0 and set the last error: an invalid date or a year before 1601
// ERROR_INVALID_PARAMETER, flags (LOCALE_NOUSEROVERRIDE too) together with a format or unknown
// flags ERROR_INVALID_FLAGS, a too small buffer ERROR_INSUFFICIENT_BUFFER, an unknown LCID or
// bad `out`/`cch` ERROR_INVALID_PARAMETER.
int GetDateFormatW(LCID lcid, DWORD flags, const SYSTEMTIME* st, LPCWSTR format, LPWSTR out,
                   int cch);

// The same for the time of day (date fields are ignored; an hour > 23, a minute or second
// > 59 is ERROR_INVALID_PARAMETER). A null `format` selects the locale's time with seconds.
// Picture letters: h hh (12-hour; hour 0 is 12), H HH (24-hour), m mm, s ss, t (first
// character of the AM/PM designator), tt (all of it). The TIME_ flags combine freely, with
// or without a format (LOCALE_NOUSEROVERRIDE only without one: ERROR_INVALID_FLAGS); a dropped
// field takes the literal text between it and the field before it along, and the literal text
// after it up to the next space or field.
int GetTimeFormatW(LCID lcid, DWORD flags, const SYSTEMTIME* st, LPCWSTR format, LPWSTR out,
                   int cch);

// A number format for GetNumberFormatW; the fields are those of LOCALE_IDIGITS, ILZERO,
// SGROUPING, SDECIMAL, STHOUSAND and INEGNUMBER. Grouping is read by its decimal digits from
// the most significant one: the first is the size of the group next to the decimal point,
// each further one the size of the next group to the left; the last size repeats unless the
// number ends in 0 (3 gives 1,234,567; 32 gives 12,34,567; 30 gives 1234,567; 0 none).
struct NUMBERFMTW {
    UINT NumDigits;    // fraction digits, at most 9
    UINT LeadingZero;  // not 0: "0.5", 0: ".5"
    UINT Grouping;
    LPWSTR lpDecimalSep;   // any text, not null
    LPWSTR lpThousandSep;  // any text (empty joins the groups), not null
    UINT NegativeOrder;    // 0 "(1.1)", 1 "-1.1", 2 "- 1.1", 3 "1.1-", 4 "1.1 -"
};

// A currency format for GetCurrencyFormatW; the fields are those of LOCALE_ICURRDIGITS,
// ILZERO, SMONGROUPING, SMONDECIMALSEP, SMONTHOUSANDSEP, INEGCURR, ICURRENCY and SCURRENCY.
struct CURRENCYFMTW {
    UINT NumDigits;
    UINT LeadingZero;
    UINT Grouping;
    LPWSTR lpDecimalSep;
    LPWSTR lpThousandSep;
    // With $ the symbol and n the number: 0 ($n), 1 -$n, 2 $-n, 3 $n-, 4 (n$), 5 -n$, 6 n-$,
    // 7 n$-, 8 -n $, 9 -$ n, 10 n $-, 11 $ n-, 12 $ -n, 13 n- $, 14 ($ n), 15 (n $).
    UINT NegativeOrder;
    UINT PositiveOrder;       // 0 $n, 1 n$, 2 $ n, 3 n $
    LPWSTR lpCurrencySymbol;  // any text, not null
};

using NUMBERFMT = NUMBERFMTW;
using CURRENCYFMT = CURRENCYFMTW;

// Formats the decimal text `value` as a number of `lcid`: with `format`, by its fields (and
// `flags` must be 0), else by the locale's own items (`flags` 0 or LOCALE_NOUSEROVERRIDE).
// `value` is an optional leading '-', ASCII digits and at most one '.', with at least one
// digit; leading zeros are dropped. Fraction digits beyond NumDigits are rounded half away
// from zero, carrying into the integer part; missing ones are written as zeros; a value that
// rounds to zero loses its sign. The sign in the negative patterns is the locale's
// LOCALE_SNEGATIVESIGN, even with a format. Returns the WCHARs written including the
// terminator; `cch` 0 returns the size needed and writes nothing. Failures return 0 and set
// the last error: ERROR_INVALID_PARAMETER for a bad `value`, an unknown LCID, a null `out`
// with `cch` > 0, a negative `cch`, a format with a null separator, NumDigits above 9 or an
// order out of range; ERROR_INVALID_FLAGS for flags with a format or unknown flags;
// ERROR_INSUFFICIENT_BUFFER when `cch` is too small (the contents of `out` are then
// undefined).
int GetNumberFormatW(LCID lcid, DWORD flags, LPCWSTR value, const NUMBERFMTW* format, LPWSTR out,
                     int cch);

// The same as a money amount: the number is formatted as above with the currency fields (or
// the locale's currency items), then placed with the currency symbol by PositiveOrder or, for
// a negative value, NegativeOrder.
int GetCurrencyFormatW(LCID lcid, DWORD flags, LPCWSTR value, const CURRENCYFMTW* format,
                       LPWSTR out, int cch);

#endif  // _WIN32
