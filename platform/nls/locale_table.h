// Private to the NLS stand-in: the built-in locale table, one record of Windows default values
// per locale. nls.cpp answers GetLocaleInfoW and the date and time pictures from it, and
// number_format.cpp the default number and currency formats.
#pragma once

#include <array>
#include <string_view>

#include "platform/win_types.h"

struct LocaleData {
    DWORD lcid;
    const char* name;  // "en-US"; also matched against POSIX names such as en_US.UTF-8
    // Numbers (all items are text, the numeric ones too).
    const char16_t* decimal;
    const char16_t* thousand;
    const char16_t* grouping;  // LOCALE_SGROUPING form: "3;0"
    const char16_t* digits;
    const char16_t* leadingZero;
    const char16_t* negativeNumber;
    const char16_t* negativeSign;
    // Currency.
    const char16_t* currency;
    const char16_t* monetaryDecimal;
    const char16_t* monetaryThousand;
    const char16_t* monetaryGrouping;
    const char16_t* currencyDigits;
    const char16_t* positiveCurrency;
    const char16_t* negativeCurrency;
    // Dates and times.
    const char16_t* shortDate;
    const char16_t* longDate;
    const char16_t* yearMonth;
    const char16_t* timeFormat;
    const char16_t* shortTime;
    const char16_t* am;
    const char16_t* pm;
    const char16_t* era;
    std::array<const char16_t*, 7> dayNames;  // Monday first, as LOCALE_SDAYNAME1..7
    std::array<const char16_t*, 7> abbreviatedDayNames;
    std::array<const char16_t*, 12> monthNames;
    std::array<const char16_t*, 12> abbreviatedMonthNames;
};

// The record of `lcid` (sort bits ignored), or null when the table has none.
const LocaleData* FindLocaleData(DWORD lcid);

// The record whose name matches a POSIX locale name ("pt_BR", "en_NZ.UTF-8@euro",
// case-insensitive language and territory), or null.
const LocaleData* FindLocaleDataByPosixName(std::string_view posixName);
