// GetLocaleInfoW, GetDateFormatW and GetTimeFormatW over the built-in locale table, and the
// mapping of the POSIX locale variables to the user's default locale.
#include "platform/nls.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/nls/locale_table.h"
#include "platform/nls/nls_internal.h"

namespace nls_detail {

namespace {

constexpr LCID kEnglishUnitedStates = 0x0409;

}  // namespace

const LocaleData& UserLocale(Category category) {
    const char* categoryVariable = category == Category::Time       ? "LC_TIME"
                                   : category == Category::Numeric  ? "LC_NUMERIC"
                                   : category == Category::Monetary ? "LC_MONETARY"
                                                                    : nullptr;
    // The first variable that is set (and not empty) decides, as in POSIX: "C" in LC_ALL
    // means en-US even when LANG names another locale.
    for (const char* variable : {"LC_ALL", categoryVariable, "LANG"}) {
        const char* value = variable != nullptr ? std::getenv(variable) : nullptr;
        if (value != nullptr && *value != '\0') {
            const LocaleData* locale = FindLocaleDataByPosixName(value);
            return locale != nullptr ? *locale : *FindLocaleData(kEnglishUnitedStates);
        }
    }
    return *FindLocaleData(kEnglishUnitedStates);
}

const LocaleData* ResolveLocale(LCID lcid, Category category) {
    if (lcid == LOCALE_USER_DEFAULT || lcid == LOCALE_SYSTEM_DEFAULT || lcid == 0) {
        return &UserLocale(category);
    }
    const LocaleData* locale = FindLocaleData(lcid);
    if (locale == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
    }
    return locale;
}

bool ValidOutput(LPWSTR out, int cch) {
    if (cch < 0 || (out == nullptr && cch > 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    return true;
}

int CopyOut(std::u16string_view text, LPWSTR out, int cch) {
    const int needed = static_cast<int>(text.size()) + 1;
    if (cch == 0) {
        return needed;
    }
    if (needed > cch) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    text.copy(out, text.size());
    out[text.size()] = 0;
    return needed;
}

}  // namespace nls_detail

namespace {

using nls_detail::Category;
using nls_detail::CopyOut;
using nls_detail::ResolveLocale;
using nls_detail::UserLocale;
using nls_detail::ValidOutput;

bool IsNumericItem(LCTYPE type) {
    switch (type) {
        case LOCALE_ILANGUAGE:
        case LOCALE_IDIGITS:
        case LOCALE_ILZERO:
        case LOCALE_INEGNUMBER:
        case LOCALE_ICURRDIGITS:
        case LOCALE_ICURRENCY:
        case LOCALE_INEGCURR:
            return true;
        default:
            return false;
    }
}

Category ItemCategory(LCTYPE type) {
    switch (type) {
        case LOCALE_SDECIMAL:
        case LOCALE_STHOUSAND:
        case LOCALE_SGROUPING:
        case LOCALE_IDIGITS:
        case LOCALE_ILZERO:
        case LOCALE_INEGNUMBER:
        case LOCALE_SPOSITIVESIGN:
        case LOCALE_SNEGATIVESIGN:
            return Category::Numeric;
        case LOCALE_SCURRENCY:
        case LOCALE_SMONDECIMALSEP:
        case LOCALE_SMONTHOUSANDSEP:
        case LOCALE_SMONGROUPING:
        case LOCALE_ICURRDIGITS:
        case LOCALE_ICURRENCY:
        case LOCALE_INEGCURR:
            return Category::Monetary;
        case LOCALE_ILANGUAGE:
        case LOCALE_SNAME:
            return Category::General;
        default:
            return Category::Time;
    }
}

// The item's text in `locale`; false for an item this layer does not know.
bool LocaleItem(const LocaleData& locale, LCTYPE type, std::u16string& text) {
    auto fromAscii = [](std::string_view ascii) {
        return std::u16string(ascii.begin(), ascii.end());
    };
    if (type >= LOCALE_SDAYNAME1 && type <= LOCALE_SDAYNAME7) {
        text = locale.dayNames[type - LOCALE_SDAYNAME1];
        return true;
    }
    if (type >= LOCALE_SABBREVDAYNAME1 && type <= LOCALE_SABBREVDAYNAME7) {
        text = locale.abbreviatedDayNames[type - LOCALE_SABBREVDAYNAME1];
        return true;
    }
    if (type >= LOCALE_SMONTHNAME1 && type <= LOCALE_SMONTHNAME12) {
        text = locale.monthNames[type - LOCALE_SMONTHNAME1];
        return true;
    }
    if (type >= LOCALE_SABBREVMONTHNAME1 && type <= LOCALE_SABBREVMONTHNAME12) {
        text = locale.abbreviatedMonthNames[type - LOCALE_SABBREVMONTHNAME1];
        return true;
    }
    switch (type) {
        case LOCALE_ILANGUAGE: {
            static constexpr char kHex[] = "0123456789abcdef";
            text.clear();
            for (int shift = 12; shift >= 0; shift -= 4) {
                text += static_cast<char16_t>(kHex[(locale.lcid >> shift) & 0xF]);
            }
            return true;
        }
        case LOCALE_SNAME:
            text = fromAscii(locale.name);
            return true;
        case LOCALE_SDECIMAL:
            text = locale.decimal;
            return true;
        case LOCALE_STHOUSAND:
            text = locale.thousand;
            return true;
        case LOCALE_SGROUPING:
            text = locale.grouping;
            return true;
        case LOCALE_SMONDECIMALSEP:
            text = locale.monetaryDecimal;
            return true;
        case LOCALE_SMONTHOUSANDSEP:
            text = locale.monetaryThousand;
            return true;
        case LOCALE_SMONGROUPING:
            text = locale.monetaryGrouping;
            return true;
        case LOCALE_IDIGITS:
            text = locale.digits;
            return true;
        case LOCALE_ILZERO:
            text = locale.leadingZero;
            return true;
        case LOCALE_INEGNUMBER:
            text = locale.negativeNumber;
            return true;
        case LOCALE_SCURRENCY:
            text = locale.currency;
            return true;
        case LOCALE_ICURRDIGITS:
            text = locale.currencyDigits;
            return true;
        case LOCALE_ICURRENCY:
            text = locale.positiveCurrency;
            return true;
        case LOCALE_INEGCURR:
            text = locale.negativeCurrency;
            return true;
        case LOCALE_SPOSITIVESIGN:
            text = u"";
            return true;
        case LOCALE_SNEGATIVESIGN:
            text = locale.negativeSign;
            return true;
        case LOCALE_SSHORTDATE:
            text = locale.shortDate;
            return true;
        case LOCALE_SLONGDATE:
            text = locale.longDate;
            return true;
        case LOCALE_SYEARMONTH:
            text = locale.yearMonth;
            return true;
        case LOCALE_STIMEFORMAT:
            text = locale.timeFormat;
            return true;
        case LOCALE_SSHORTTIME:
            text = locale.shortTime;
            return true;
        case LOCALE_S1159:
            text = locale.am;
            return true;
        case LOCALE_S2359:
            text = locale.pm;
            return true;
        case LOCALE_SMONTHNAME13:
        case LOCALE_SABBREVMONTHNAME13:
            text = u"";
            return true;
        default:
            return false;
    }
}

std::u16string Digits(unsigned value, int minimumWidth) {
    std::u16string digits;
    do {
        digits.insert(digits.begin(), static_cast<char16_t>(u'0' + value % 10));
        value /= 10;
    } while (value != 0);
    if (static_cast<int>(digits.size()) < minimumWidth) {
        digits.insert(0, minimumWidth - digits.size(), u'0');
    }
    return digits;
}

enum class PictureKind { Date, Time };

// Expands a date or time picture. Letters of the other kind are copied as literals, as on
// Windows. A time field that `timeFlags` removes takes the literal text before it (back to the
// previous field) along, and the literal text after it up to the next space or field (so
// "h.@:m.@:s.@:tt" without seconds is "8.@:56AM", "h:mm:ss tt" is "8:56 AM"); a removed
// leading field takes all the literal text after it instead.
std::u16string FormatPicture(const LocaleData& locale, const SYSTEMTIME& st,
                             std::u16string_view picture, PictureKind kind, DWORD timeFlags) {
    std::u16string out;
    std::size_t lastFieldEnd = 0;
    bool fieldSeen = false;
    bool suppressLiterals = false;
    bool skipToSpace = false;
    auto literal = [&](char16_t c) {
        if (skipToSpace && c == u' ') {
            skipToSpace = false;
        }
        if (!suppressLiterals && !skipToSpace) {
            out += c;
        }
    };
    auto field = [&](std::u16string_view text) {
        out += text;
        lastFieldEnd = out.size();
        fieldSeen = true;
        suppressLiterals = false;
        skipToSpace = false;
    };
    auto drop = [&] {
        out.resize(lastFieldEnd);
        suppressLiterals = !fieldSeen;
        skipToSpace = fieldSeen;
    };
    const int hour = st.wHour;
    std::size_t i = 0;
    while (i < picture.size()) {
        const char16_t c = picture[i];
        if (c == u'\'') {
            // Quoted literal run; '' inside it is one apostrophe; unterminated runs to the end.
            for (++i; i < picture.size(); ++i) {
                if (picture[i] == u'\'') {
                    if (i + 1 < picture.size() && picture[i + 1] == u'\'') {
                        literal(u'\'');
                        ++i;
                        continue;
                    }
                    ++i;
                    break;
                }
                literal(picture[i]);
            }
            continue;
        }
        int count = 1;
        while (i + count < picture.size() && picture[i + count] == c) {
            ++count;
        }
        i += count;
        const int width = count >= 2 ? 2 : 1;
        if (kind == PictureKind::Date) {
            switch (c) {
                case u'd':
                    if (count <= 2) {
                        field(Digits(st.wDay, width));
                    } else {
                        const int name = (st.wDayOfWeek + 6) % 7;  // names start on Monday
                        field(count == 3 ? locale.abbreviatedDayNames[name]
                                         : locale.dayNames[name]);
                    }
                    continue;
                case u'M':
                    if (count <= 2) {
                        field(Digits(st.wMonth, width));
                    } else {
                        field(count == 3 ? locale.abbreviatedMonthNames[st.wMonth - 1]
                                         : locale.monthNames[st.wMonth - 1]);
                    }
                    continue;
                case u'y':
                    field(count <= 2 ? Digits(st.wYear % 100, width) : Digits(st.wYear, 4));
                    continue;
                case u'g':
                    field(locale.era);
                    continue;
                default:
                    break;
            }
        } else {
            switch (c) {
                case u'h':
                    if ((timeFlags & TIME_FORCE24HOURFORMAT) != 0) {
                        field(Digits(hour, width));
                    } else {
                        field(Digits(hour % 12 == 0 ? 12 : hour % 12, width));
                    }
                    continue;
                case u'H':
                    field(Digits(hour, width));
                    continue;
                case u'm':
                    if ((timeFlags & TIME_NOMINUTESORSECONDS) != 0) {
                        drop();
                    } else {
                        field(Digits(st.wMinute, width));
                    }
                    continue;
                case u's':
                    if ((timeFlags & (TIME_NOMINUTESORSECONDS | TIME_NOSECONDS)) != 0) {
                        drop();
                    } else {
                        field(Digits(st.wSecond, width));
                    }
                    continue;
                case u't':
                    if ((timeFlags & TIME_NOTIMEMARKER) != 0) {
                        drop();
                    } else {
                        const std::u16string_view marker = hour < 12 ? locale.am : locale.pm;
                        field(count == 1 ? marker.substr(0, 1) : marker);
                    }
                    continue;
                default:
                    break;
            }
        }
        for (int k = 0; k < count; ++k) {
            literal(c);
        }
    }
    return out;
}

}  // namespace

LCID GetUserDefaultLCID() {
    return UserLocale(Category::General).lcid;
}

int GetLocaleInfoW(LCID lcid, LCTYPE type, LPWSTR buf, int cch) {
    if (!ValidOutput(buf, cch)) {
        return 0;
    }
    const bool asNumber = (type & LOCALE_RETURN_NUMBER) != 0;
    const LCTYPE item = type & ~(LOCALE_NOUSEROVERRIDE | LOCALE_RETURN_NUMBER);
    if (asNumber && !IsNumericItem(item)) {
        SetLastError(ERROR_INVALID_FLAGS);
        return 0;
    }
    const LocaleData* locale = ResolveLocale(lcid, ItemCategory(item));
    if (locale == nullptr) {
        return 0;
    }
    std::u16string text;
    if (!LocaleItem(*locale, item, text)) {
        SetLastError(ERROR_INVALID_FLAGS);
        return 0;
    }
    if (!asNumber) {
        return CopyOut(text, buf, cch);
    }
    DWORD number = 0;
    for (char16_t c : text) {
        number =
            number * (item == LOCALE_ILANGUAGE ? 16 : 10) + (c <= u'9' ? c - u'0' : c - u'a' + 10);
    }
    constexpr int kUnits = sizeof(DWORD) / sizeof(WCHAR);
    if (cch == 0) {
        return kUnits;
    }
    if (cch < kUnits) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::copy_n(reinterpret_cast<const char*>(&number), sizeof number,
                reinterpret_cast<char*>(buf));
    return kUnits;
}

int GetDateFormatW(LCID lcid, DWORD flags, const SYSTEMTIME* st, LPCWSTR format, LPWSTR out,
                   int cch) {
    if (!ValidOutput(out, cch)) {
        return 0;
    }
    const DWORD pictureFlags = flags & ~LOCALE_NOUSEROVERRIDE;
    if ((pictureFlags & ~(DATE_SHORTDATE | DATE_LONGDATE | DATE_YEARMONTH)) != 0 ||
        std::popcount(pictureFlags) > 1 || (format != nullptr && flags != 0)) {
        SetLastError(ERROR_INVALID_FLAGS);
        return 0;
    }
    const LocaleData* locale = ResolveLocale(lcid, Category::Time);
    if (locale == nullptr) {
        return 0;
    }
    SYSTEMTIME date{};
    if (st != nullptr) {
        date = *st;
    } else {
        GetLocalTime(&date);
    }
    // Only the date counts: time fields are ignored, and the round trip validates the date
    // and recomputes the day of the week.
    date.wHour = date.wMinute = date.wSecond = date.wMilliseconds = 0;
    FILETIME asFileTime{};
    if (!SystemTimeToFileTime(&date, &asFileTime) || !FileTimeToSystemTime(&asFileTime, &date)) {
        return 0;
    }
    const char16_t* picture = format != nullptr                ? format
                              : pictureFlags == DATE_LONGDATE  ? locale->longDate
                              : pictureFlags == DATE_YEARMONTH ? locale->yearMonth
                                                               : locale->shortDate;
    return CopyOut(FormatPicture(*locale, date, picture, PictureKind::Date, 0), out, cch);
}

int GetTimeFormatW(LCID lcid, DWORD flags, const SYSTEMTIME* st, LPCWSTR format, LPWSTR out,
                   int cch) {
    if (!ValidOutput(out, cch)) {
        return 0;
    }
    const DWORD timeFlags = flags & ~LOCALE_NOUSEROVERRIDE;
    if ((timeFlags & ~(TIME_NOMINUTESORSECONDS | TIME_NOSECONDS | TIME_NOTIMEMARKER |
                       TIME_FORCE24HOURFORMAT)) != 0 ||
        // As on Windows: with a picture given there is no locale value to take as it is.
        (format != nullptr && (flags & LOCALE_NOUSEROVERRIDE) != 0)) {
        SetLastError(ERROR_INVALID_FLAGS);
        return 0;
    }
    const LocaleData* locale = ResolveLocale(lcid, Category::Time);
    if (locale == nullptr) {
        return 0;
    }
    SYSTEMTIME time{};
    if (st != nullptr) {
        time = *st;
    } else {
        GetLocalTime(&time);
    }
    if (time.wHour > 23 || time.wMinute > 59 || time.wSecond > 59) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const char16_t* picture = format != nullptr ? format : locale->timeFormat;
    return CopyOut(FormatPicture(*locale, time, picture, PictureKind::Time, timeFlags), out, cch);
}
