// GetNumberFormatW and GetCurrencyFormatW: a decimal text in, the locale's number or money
// text out. The value is handled as text from end to end, so no binary rounding enters.
#include <algorithm>
#include <string>
#include <string_view>
#include <utility>

#include "platform/nls.h"
#include "platform/nls/nls_internal.h"

namespace nls_detail {

namespace {

// Reads group sizes the way NUMBERFMT's Grouping reads: its decimal digits from the most
// significant one (leading zeros count for nothing), a last digit 0 meaning no repeat.
DigitGrouping GroupingFromDigits(std::u16string digits) {
    const std::size_t firstSignificant = digits.find_first_not_of(u'0');
    if (firstSignificant == std::u16string::npos) {
        return {};
    }
    digits.erase(0, firstSignificant);
    DigitGrouping grouping;
    grouping.repeatLast = digits.back() != u'0';
    if (!grouping.repeatLast) {
        digits.pop_back();
    }
    for (char16_t digit : digits) {
        grouping.sizes.push_back(digit - u'0');
    }
    return grouping;
}

}  // namespace

DigitGrouping GroupingFromNumber(UINT grouping) {
    std::u16string digits;
    do {
        digits.insert(digits.begin(), static_cast<char16_t>(u'0' + grouping % 10));
        grouping /= 10;
    } while (grouping != 0);
    return GroupingFromDigits(std::move(digits));
}

DigitGrouping GroupingFromLocaleString(std::u16string_view text) {
    // Drop the separators; a trailing ";0" becomes the repeat (a last digit that is not 0),
    // its absence a final 0.
    std::u16string digits;
    for (char16_t c : text) {
        if (c >= u'0' && c <= u'9') {
            digits += c;
        }
    }
    if (text.size() >= 2 && text.substr(text.size() - 2) == u";0") {
        digits.pop_back();
    } else {
        digits += u'0';
    }
    return GroupingFromDigits(std::move(digits));
}

std::u16string GroupDigits(std::u16string_view digits, const DigitGrouping& grouping,
                           std::u16string_view separator) {
    // Cut groups off the right end; whatever the listed sizes leave over is the leftmost group.
    std::u16string result;
    std::size_t end = digits.size();
    std::size_t next = 0;
    while (end > 0 && !grouping.sizes.empty()) {
        std::size_t size;
        if (next < grouping.sizes.size()) {
            size = static_cast<std::size_t>(grouping.sizes[next++]);
        } else if (grouping.repeatLast) {
            size = static_cast<std::size_t>(grouping.sizes.back());
        } else {
            break;
        }
        if (size >= end) {
            break;
        }
        result.insert(0, digits.substr(end - size, size));
        result.insert(0, separator);
        end -= size;
    }
    result.insert(0, digits.substr(0, end));
    return result;
}

}  // namespace nls_detail

namespace {

using nls_detail::Category;
using nls_detail::CopyOut;
using nls_detail::DigitGrouping;
using nls_detail::GroupDigits;
using nls_detail::GroupingFromLocaleString;
using nls_detail::GroupingFromNumber;
using nls_detail::ResolveLocale;
using nls_detail::ValidOutput;

constexpr UINT kMaximumDigits = 9;
constexpr UINT kNegativeNumberOrders = 5;
constexpr UINT kNegativeCurrencyOrders = 16;
constexpr UINT kPositiveCurrencyOrders = 4;

// The patterns of the orders: '$' stands for the currency symbol, 'n' for the number, '-' for
// the locale's negative sign; everything else is literal.
constexpr std::u16string_view kNegativeNumberPatterns[kNegativeNumberOrders] = {
    u"(n)", u"-n", u"- n", u"n-", u"n -"};
constexpr std::u16string_view kPositiveCurrencyPatterns[kPositiveCurrencyOrders] = {u"$n", u"n$",
                                                                                    u"$ n", u"n $"};
constexpr std::u16string_view kNegativeCurrencyPatterns[kNegativeCurrencyOrders] = {
    u"($n)", u"-$n",  u"$-n",  u"$n-",  u"(n$)", u"-n$",  u"n-$",   u"n$-",
    u"-n $", u"-$ n", u"n $-", u"$ n-", u"$ -n", u"n- $", u"($ n)", u"(n $)"};

// The format rules of one call, from a format structure or from the locale's items.
struct Rules {
    UINT digits = 0;
    bool leadingZero = true;
    DigitGrouping grouping;
    std::u16string_view decimal;
    std::u16string_view thousand;
    UINT negativeOrder = 0;
    UINT positiveOrder = 0;
    std::u16string_view symbol;
    std::u16string_view negativeSign;
};

// A valid value text split into its parts; the integer digits keep no leading zeros.
struct DecimalText {
    bool negative = false;
    std::u16string integer;
    std::u16string fraction;
};

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// An optional '-' first, digits and at most one '.', at least one digit; nothing else.
bool ParseValue(std::u16string_view value, DecimalText& parsed) {
    std::size_t i = 0;
    if (i < value.size() && value[i] == u'-') {
        parsed.negative = true;
        ++i;
    }
    bool point = false;
    bool anyDigit = false;
    for (; i < value.size(); ++i) {
        const char16_t c = value[i];
        if (IsDigit(c)) {
            anyDigit = true;
            (point ? parsed.fraction : parsed.integer) += c;
        } else if (c == u'.' && !point) {
            point = true;
        } else {
            return false;
        }
    }
    const std::size_t firstSignificant = parsed.integer.find_first_not_of(u'0');
    parsed.integer.erase(0, std::min(firstSignificant, parsed.integer.size()));
    return anyDigit;
}

// Keeps `digits` fraction digits: the first dropped digit rounds the magnitude half away from
// zero, and a carry runs on into the integer part (9.99 to one digit is 10.0). A value that
// rounds to zero loses its sign.
void RoundTo(DecimalText& number, UINT digits) {
    if (number.fraction.size() <= digits) {
        number.fraction.append(digits - number.fraction.size(), u'0');
    } else {
        const bool roundUp = number.fraction[digits] >= u'5';
        number.fraction.resize(digits);
        bool carry = roundUp;
        for (std::u16string* part : {&number.fraction, &number.integer}) {
            for (auto it = part->rbegin(); carry && it != part->rend(); ++it) {
                carry = *it == u'9';
                *it = carry ? u'0' : static_cast<char16_t>(*it + 1);
            }
        }
        if (carry) {
            number.integer.insert(number.integer.begin(), u'1');
        }
    }
    if (number.integer.empty() && number.fraction.find_first_not_of(u'0') == std::u16string::npos) {
        number.negative = false;
    }
}

// The number without its sign: grouped integer digits, the decimal separator and the
// fraction. An integer part of zero is "0" with a leading zero, or when nothing follows it.
std::u16string NumberText(const DecimalText& number, const Rules& rules) {
    std::u16string text;
    if (!number.integer.empty()) {
        text = GroupDigits(number.integer, rules.grouping, rules.thousand);
    } else if (rules.leadingZero || rules.digits == 0) {
        text.push_back(u'0');  // not = u"0": GCC 12 at -O3 reports a false -Wrestrict for it
    }
    if (rules.digits > 0) {
        text += rules.decimal;
        text += number.fraction;
    }
    return text;
}

std::u16string ExpandPattern(std::u16string_view pattern, std::u16string_view number,
                             const Rules& rules) {
    std::u16string text;
    for (char16_t c : pattern) {
        if (c == u'n') {
            text += number;
        } else if (c == u'$') {
            text += rules.symbol;
        } else if (c == u'-') {
            text += rules.negativeSign;
        } else {
            text += c;
        }
    }
    return text;
}

UINT ItemNumber(const char16_t* text) {
    UINT number = 0;
    for (; IsDigit(*text); ++text) {
        number = number * 10 + static_cast<UINT>(*text - u'0');
    }
    return number;
}

enum class Kind { Number, Currency };

// The rules of the locale's own items. Numbers and money share the leading zero and sign.
Rules LocaleRules(const LocaleData& locale, Kind kind) {
    Rules rules;
    rules.leadingZero = ItemNumber(locale.leadingZero) != 0;
    rules.negativeSign = locale.negativeSign;
    if (kind == Kind::Number) {
        rules.digits = ItemNumber(locale.digits);
        rules.grouping = GroupingFromLocaleString(locale.grouping);
        rules.decimal = locale.decimal;
        rules.thousand = locale.thousand;
        rules.negativeOrder = ItemNumber(locale.negativeNumber);
    } else {
        rules.digits = ItemNumber(locale.currencyDigits);
        rules.grouping = GroupingFromLocaleString(locale.monetaryGrouping);
        rules.decimal = locale.monetaryDecimal;
        rules.thousand = locale.monetaryThousand;
        rules.negativeOrder = ItemNumber(locale.negativeCurrency);
        rules.positiveOrder = ItemNumber(locale.positiveCurrency);
        rules.symbol = locale.currency;
    }
    return rules;
}

// The fields both format structures share; false for a null separator or too many digits.
template <typename Format>
bool CommonFormatRules(const Format& format, Rules& rules) {
    if (format.lpDecimalSep == nullptr || format.lpThousandSep == nullptr ||
        format.NumDigits > kMaximumDigits) {
        return false;
    }
    rules.digits = format.NumDigits;
    rules.leadingZero = format.LeadingZero != 0;
    rules.grouping = GroupingFromNumber(format.Grouping);
    rules.decimal = format.lpDecimalSep;
    rules.thousand = format.lpThousandSep;
    rules.negativeOrder = format.NegativeOrder;
    return true;
}

// A format structure's rules over the locale's; false for a field out of its range.
bool FormatRules(const NUMBERFMTW& format, Rules& rules) {
    return CommonFormatRules(format, rules) && format.NegativeOrder < kNegativeNumberOrders;
}

bool FormatRules(const CURRENCYFMTW& format, Rules& rules) {
    if (!CommonFormatRules(format, rules) || format.lpCurrencySymbol == nullptr ||
        format.NegativeOrder >= kNegativeCurrencyOrders ||
        format.PositiveOrder >= kPositiveCurrencyOrders) {
        return false;
    }
    rules.positiveOrder = format.PositiveOrder;
    rules.symbol = format.lpCurrencySymbol;
    return true;
}

// The checks and the rules both calls share; false with the last error set on failure.
template <typename Format>
bool PrepareCall(LCID lcid, DWORD flags, LPCWSTR value, const Format* format, LPWSTR out, int cch,
                 Kind kind, Rules& rules, DecimalText& number) {
    if (!ValidOutput(out, cch)) {
        return false;
    }
    if (value == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    const DWORD allowedFlags = format != nullptr ? 0 : LOCALE_NOUSEROVERRIDE;
    if ((flags & ~allowedFlags) != 0) {
        SetLastError(ERROR_INVALID_FLAGS);
        return false;
    }
    const LocaleData* locale =
        ResolveLocale(lcid, kind == Kind::Number ? Category::Numeric : Category::Monetary);
    if (locale == nullptr) {
        return false;
    }
    rules = LocaleRules(*locale, kind);
    if (format != nullptr && !FormatRules(*format, rules)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    if (!ParseValue(value, number)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    RoundTo(number, rules.digits);
    return true;
}

}  // namespace

int GetNumberFormatW(LCID lcid, DWORD flags, LPCWSTR value, const NUMBERFMTW* format, LPWSTR out,
                     int cch) {
    Rules rules;
    DecimalText number;
    if (!PrepareCall(lcid, flags, value, format, out, cch, Kind::Number, rules, number)) {
        return 0;
    }
    const std::u16string text = NumberText(number, rules);
    if (!number.negative) {
        return CopyOut(text, out, cch);
    }
    return CopyOut(ExpandPattern(kNegativeNumberPatterns[rules.negativeOrder], text, rules), out,
                   cch);
}

int GetCurrencyFormatW(LCID lcid, DWORD flags, LPCWSTR value, const CURRENCYFMTW* format,
                       LPWSTR out, int cch) {
    Rules rules;
    DecimalText number;
    if (!PrepareCall(lcid, flags, value, format, out, cch, Kind::Currency, rules, number)) {
        return 0;
    }
    const std::u16string_view pattern = number.negative
                                            ? kNegativeCurrencyPatterns[rules.negativeOrder]
                                            : kPositiveCurrencyPatterns[rules.positiveOrder];
    return CopyOut(ExpandPattern(pattern, NumberText(number, rules), rules), out, cch);
}
