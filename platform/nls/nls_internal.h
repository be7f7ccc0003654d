// Private to the NLS stand-in: what its calls share (the user's locale, the output rules) and
// the digit grouping of the number formats, which the tests reach here for the locale string
// forms that no built-in locale uses.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/nls.h"
#include "platform/nls/locale_table.h"

namespace nls_detail {

// Which POSIX variable, besides LC_ALL and LANG, decides the user's locale for an item.
enum class Category { General, Time, Numeric, Monetary };

// The record the user's locale variables select for `category` (en-US when none does).
const LocaleData& UserLocale(Category category);

// The table record an LCID stands for; LOCALE_USER_DEFAULT, LOCALE_SYSTEM_DEFAULT and 0 are
// the user's locale. Null (ERROR_INVALID_PARAMETER set) for an unknown LCID.
const LocaleData* ResolveLocale(LCID lcid, Category category);

// False (ERROR_INVALID_PARAMETER set) for a negative `cch` or a null `out` with `cch` > 0.
bool ValidOutput(LPWSTR out, int cch);

// The common result rule: copies `text` and its terminator and returns the WCHARs written;
// `cch` 0 returns the size needed and writes nothing; a `cch` too small returns 0 with
// ERROR_INSUFFICIENT_BUFFER.
int CopyOut(std::u16string_view text, LPWSTR out, int cch);

// Group sizes from the decimal point leftwards; the last one repeats when `repeatLast`, and
// the digits left over after the listed groups otherwise stay together. A size of 0 inside
// the list makes an empty group (two separators in a row). No sizes: no grouping.
struct DigitGrouping {
    std::vector<int> sizes;
    bool repeatLast = false;
};

// NUMBERFMT's Grouping: its decimal digits from the most significant one; a last digit 0
// stops the grouping, any other repeats (3: groups of three; 32: 3, then 2 repeating; 30: one
// group of three).
DigitGrouping GroupingFromNumber(UINT grouping);

// LOCALE_SGROUPING's form, the opposite convention: sizes separated by ';', and a trailing
// ";0" repeats the size before it ("3;0" is NUMBERFMT 3, "3;2;0" is 32, "3" is 30, "0" none).
DigitGrouping GroupingFromLocaleString(std::u16string_view text);

// The integer digits `digits` (most significant first) with `separator` between the groups.
std::u16string GroupDigits(std::u16string_view digits, const DigitGrouping& grouping,
                           std::u16string_view separator);

}  // namespace nls_detail
