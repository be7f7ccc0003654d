// The display text of amounts: the number of decimals a display format code asks for, and a
// FixedAmount written in the user's locale as a number or a money amount. The face's readouts
// and the popup's delivery list show amounts through these.
#pragma once

#include <string>
#include <string_view>

#include "common/fixed_amount.h"

namespace tolvan {

// The decimal places of a display format code (PriceDspFormat, VolumeDspFormat,
// ValueDspFormat): 1, 5, 9 give 3; 2, 6, 10 give 2; 3, 7, 11 give 1; 4, 8, 12 give 0; 13 to 21
// give -1 (the locale's own count); any other code gives 0.
int DisplayDecimals(int code);

// What FormatAmount gives for an amount the locale formatting cannot write (one whose text
// would pass the 20 characters of the formatting buffer, such as a negative money amount of
// 10^13 or more in pt-BR, or one asked for with more than 9 decimals): a marker a cashier
// cannot take for a number, as wide as a readout.
inline constexpr std::string_view kAmountNotFormatted = "#######";

// `amount` in the user's default locale (LOCALE_USER_DEFAULT): with `currency` its money
// format (symbol, LOCALE_INEGCURR and LOCALE_ICURRENCY orders), else its number format.
// `decimals` places, rounded half away from zero; a negative `decimals` takes the locale's
// default (LOCALE_ICURRDIGITS or LOCALE_IDIGITS). `grouping` keeps the locale's thousands
// separator; false joins the groups (every caller in the control passes false). The text is
// UTF-8, at most 40 bytes, and a copy of the caller's own; when the locale formatting fails it
// is kAmountNotFormatted.
std::string FormatAmount(FixedAmount amount, bool currency, int decimals, bool grouping);

}  // namespace tolvan
