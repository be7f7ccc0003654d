// DateTimeValue: conversions through the platform's time functions and formatting through its
// locale-aware date and time pictures.
#include "common/date_time_value.h"

#include <algorithm>
#include <string>

#include "common/counter_string.h"
#include "platform/nls.h"

namespace {

SYSTEMTIME sharedSystemTime;
char sharedText[160];

constexpr int kPartUnits = 80;

// Appends one formatted part when the format asks for it and the platform call succeeds.
template <typename Formatter>
void AppendPart(WideString& result, const char* format, Formatter formatter, const SYSTEMTIME& st) {
    if (format != nullptr && *format == '\0') {
        return;
    }
    const CounterString wideFormat(format);  // null stays null: the locale's default
    WCHAR part[kPartUnits];
    if (formatter(LOCALE_USER_DEFAULT, 0, &st, wideFormat.Chars(), part, kPartUnits) > 0) {
        if (!result.empty()) {
            result += WCHAR(' ');
        }
        result += part;
    }
}

// The unit as a byte of 8-bit text: Latin-1 characters map to themselves, the sign-extended
// bytes CounterString makes of 8-bit text go back to their byte, anything else is '?'.
char NarrowUnit(WCHAR unit) {
    if (unit <= 0xFF || unit >= 0xFF80) {
        return static_cast<char>(unit & 0xFF);
    }
    return '?';
}

}  // namespace

DateTimeValue DateTimeValue::Now() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    SystemTimeToFileTime(&now, &value_);
    return *this;
}

const SYSTEMTIME* DateTimeValue::ToSystemTime() const {
    if (!FileTimeToSystemTime(&value_, &sharedSystemTime)) {
        sharedSystemTime = SYSTEMTIME{};
    }
    return &sharedSystemTime;
}

const char* DateTimeValue::Format(const char* dateFormat, const char* timeFormat) const {
    sharedText[0] = '\0';
    const SYSTEMTIME st = *ToSystemTime();
    if (st.wYear == 0) {  // no SYSTEMTIME expresses this value
        return sharedText;
    }
    WideString result;
    AppendPart(result, dateFormat, GetDateFormatW, st);
    AppendPart(result, timeFormat, GetTimeFormatW, st);
    // Two parts of at most 79 units and a blank always fit; the bound guards the terminator.
    const std::size_t length = std::min(result.size(), sizeof sharedText - 1);
    std::transform(result.begin(), result.begin() + static_cast<std::ptrdiff_t>(length), sharedText,
                   NarrowUnit);
    sharedText[length] = '\0';
    return sharedText;
}
