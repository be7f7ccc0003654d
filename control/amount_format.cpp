// FormatAmount writes the amount as plain decimal text with four fraction digits and lets the
// locale's number or currency format (read item by item, as a format structure) turn it into
// the text a cashier reads.
#include "control/amount_format.h"

#include <cstdint>
#include <cstdio>

#include "platform/nls.h"
#include "platform/text_conversion.h"
#include "platform/wide_crt.h"

namespace tolvan {

namespace {

constexpr int kItemUnits = 20;       // a locale item with its terminator
constexpr int kFormattedUnits = 21;  // the formatted text with its terminator
constexpr std::size_t kMaximumBytes = 40;

// A locale item of the user's locale; false when it cannot be read.
bool ReadItem(LCTYPE type, WCHAR (&item)[kItemUnits]) {
    return GetLocaleInfoW(LOCALE_USER_DEFAULT, type, item, kItemUnits) != 0;
}

bool ReadNumber(LCTYPE type, UINT& number) {
    WCHAR item[kItemUnits];
    if (!ReadItem(type, item)) {
        return false;
    }
    number = static_cast<UINT>(_wtoi(item));
    return true;
}

// '-' for a negative amount, the integer digits (at least one), '.', exactly four fraction
// digits; the count of ten-thousandths gives them without rounding.
WideString PlainText(FixedAmount amount) {
    const std::int64_t count = amount.Count();
    // The magnitude in unsigned arithmetic, where the most negative count has one too.
    const std::uint64_t magnitude =
        count < 0 ? ~static_cast<std::uint64_t>(count) + 1 : static_cast<std::uint64_t>(count);
    char text[32];
    std::snprintf(text, sizeof text, "%s%llu.%04llu", count < 0 ? "-" : "",
                  static_cast<unsigned long long>(magnitude / FixedAmount::kScale),
                  static_cast<unsigned long long>(magnitude % FixedAmount::kScale));
    const std::string_view narrow(text);
    return WideString(narrow.begin(), narrow.end());
}

// `decimals`, or the locale's own count when it is negative.
bool DigitCount(int decimals, LCTYPE localeDigits, UINT& digits) {
    if (decimals >= 0) {
        digits = static_cast<UINT>(decimals);
        return true;
    }
    return ReadNumber(localeDigits, digits);
}

// The items a format structure shares between numbers and money; the separators stay in
// these buffers while the structure points at them.
struct SharedItems {
    UINT digits = 0;
    UINT leadingZero = 0;
    UINT grouping = 0;
    WCHAR decimal[kItemUnits];
    WCHAR thousand[kItemUnits];
    UINT negativeOrder = 0;
};

// The items of the number format or, with `currency`, of the money format. Without
// `grouping` the thousands separator is empty.
bool ReadSharedItems(bool currency, int decimals, bool grouping, SharedItems& items) {
    WCHAR groups[kItemUnits];
    if (!DigitCount(decimals, currency ? LOCALE_ICURRDIGITS : LOCALE_IDIGITS, items.digits) ||
        !ReadNumber(LOCALE_ILZERO, items.leadingZero) ||
        !ReadItem(currency ? LOCALE_SMONGROUPING : LOCALE_SGROUPING, groups) ||
        !ReadItem(currency ? LOCALE_SMONDECIMALSEP : LOCALE_SDECIMAL, items.decimal) ||
        !ReadItem(currency ? LOCALE_SMONTHOUSANDSEP : LOCALE_STHOUSAND, items.thousand) ||
        !ReadNumber(currency ? LOCALE_INEGCURR : LOCALE_INEGNUMBER, items.negativeOrder)) {
        return false;
    }
    // _wtoi keeps the leading size of the grouping item: "3;0" gives 3, groups of three.
    items.grouping = static_cast<UINT>(_wtoi(groups));
    if (!grouping) {
        items.thousand[0] = 0;
    }
    return true;
}

bool FormatNumber(const WideString& plain, int decimals, bool grouping, WCHAR* out) {
    SharedItems items;
    if (!ReadSharedItems(false, decimals, grouping, items)) {
        return false;
    }
    const NUMBERFMTW format{items.digits,  items.leadingZero, items.grouping,
                            items.decimal, items.thousand,    items.negativeOrder};
    return GetNumberFormatW(LOCALE_USER_DEFAULT, 0, plain.c_str(), &format, out, kFormattedUnits) !=
           0;
}

bool FormatCurrency(const WideString& plain, int decimals, bool grouping, WCHAR* out) {
    SharedItems items;
    UINT positiveOrder = 0;
    WCHAR symbol[kItemUnits];
    if (!ReadSharedItems(true, decimals, grouping, items) ||
        !ReadNumber(LOCALE_ICURRENCY, positiveOrder) || !ReadItem(LOCALE_SCURRENCY, symbol)) {
        return false;
    }
    const CURRENCYFMTW format{items.digits,   items.leadingZero,   items.grouping, items.decimal,
                              items.thousand, items.negativeOrder, positiveOrder,  symbol};
    return GetCurrencyFormatW(LOCALE_USER_DEFAULT, 0, plain.c_str(), &format, out,
                              kFormattedUnits) != 0;
}

}  // namespace

int DisplayDecimals(int code) {
    if (code >= 1 && code <= 12) {
        return 3 - (code - 1) % 4;
    }
    if (code >= 13 && code <= 21) {
        return -1;
    }
    return 0;
}

std::string FormatAmount(FixedAmount amount, bool currency, int decimals, bool grouping) {
    const WideString plain = PlainText(amount);
    WCHAR formatted[kFormattedUnits];
    const bool done = currency ? FormatCurrency(plain, decimals, grouping, formatted)
                               : FormatNumber(plain, decimals, grouping, formatted);
    // A failed call leaves the buffer undefined, so nothing of it is shown; nor is a text cut
    // inside a character to fit the 40 bytes.
    if (!done) {
        return std::string(kAmountNotFormatted);
    }
    std::string text = Utf16ToUtf8(Utf16View(formatted));
    if (text.size() > kMaximumBytes) {
        return std::string(kAmountNotFormatted);
    }
    return text;
}

}  // namespace tolvan
