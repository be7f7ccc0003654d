// VARIANT lifetime, copying and type conversion; automation DATE arithmetic.
#include "platform/variant.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/com.h"

namespace {

constexpr double kMinDate = -657434.0;           // 0100-01-01
constexpr double kMaxDateExclusive = 2958466.0;  // 10000-01-01

bool IsAutomationType(VARTYPE vt) {
    switch (vt & ~VT_BYREF) {
        case VT_EMPTY:
        case VT_NULL:
        case VT_I2:
        case VT_I4:
        case VT_R4:
        case VT_R8:
        case VT_CY:
        case VT_DATE:
        case VT_BSTR:
        case VT_DISPATCH:
        case VT_ERROR:
        case VT_BOOL:
        case VT_UNKNOWN:
        case VT_UI1:
            return true;
        case VT_VARIANT:
            return (vt & VT_BYREF) != 0;
        default:
            return false;
    }
}

// Days from 1970-01-01 to the given civil date (proleptic Gregorian).
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, int* year, int* month, int* day) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long y = static_cast<long long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    *year = static_cast<int>(y + (m <= 2));
    *month = static_cast<int>(m);
    *day = static_cast<int>(d);
}

const long long kEpochDays = DaysFromCivil(1899, 12, 30);

bool IsLeap(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(int y, int m) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

std::string_view Trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) {
        s.remove_suffix(1);
    }
    return s;
}

bool ParseNumber(std::string_view text, double* out) {
    text = Trimmed(text);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    if (text.empty()) {
        return false;
    }
    double value = 0;
    auto [end, ec] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
        return false;
    }
    *out = value;
    return true;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

// Reads "N...N" of exactly `width` digits (width 0: one or more) at `pos`.
bool ReadField(std::string_view s, std::size_t* pos, std::size_t width, int* out) {
    std::size_t n = 0;
    int value = 0;
    while (*pos + n < s.size() && s[*pos + n] >= '0' && s[*pos + n] <= '9' && n < 5) {
        value = value * 10 + (s[*pos + n] - '0');
        ++n;
    }
    if (n == 0 || (width != 0 && n != width)) {
        return false;
    }
    *pos += n;
    *out = value;
    return true;
}

bool Expect(std::string_view s, std::size_t* pos, char c) {
    if (*pos < s.size() && s[*pos] == c) {
        ++*pos;
        return true;
    }
    return false;
}

bool ParseTime(std::string_view s, std::size_t* pos, DateParts* p) {
    if (!ReadField(s, pos, 0, &p->hour) || !Expect(s, pos, ':') ||
        !ReadField(s, pos, 2, &p->minute)) {
        return false;
    }
    if (Expect(s, pos, ':')) {
        return ReadField(s, pos, 2, &p->second);
    }
    return true;
}

bool ParseDateText(std::string_view text, DATE* out) {
    const std::string_view s = Trimmed(text);
    DateParts parts;
    std::size_t pos = 0;
    if (s.find('-') != std::string_view::npos) {
        if (!ReadField(s, &pos, 4, &parts.year) || !Expect(s, &pos, '-') ||
            !ReadField(s, &pos, 2, &parts.month) || !Expect(s, &pos, '-') ||
            !ReadField(s, &pos, 2, &parts.day)) {
            return false;
        }
        if (pos < s.size() && (s[pos] == ' ' || s[pos] == 'T')) {
            ++pos;
            while (pos < s.size() && s[pos] == ' ') {
                ++pos;
            }
            if (!ParseTime(s, &pos, &parts)) {
                return false;
            }
        }
    } else if (!ParseTime(s, &pos, &parts)) {
        return false;
    }
    return pos == s.size() && DateFromParts(parts, out);
}

std::string DateText(DATE date) {
    DateParts p;
    PartsFromDate(date, &p);
    char buffer[40];
    const bool timeOnly = p.year == 1899 && p.month == 12 && p.day == 30;
    const bool dateOnly = p.hour == 0 && p.minute == 0 && p.second == 0;
    if (timeOnly && !dateOnly) {
        std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d", p.hour, p.minute, p.second);
    } else if (dateOnly) {
        std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", p.year, p.month, p.day);
    } else {
        std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", p.year, p.month,
                      p.day, p.hour, p.minute, p.second);
    }
    return buffer;
}

std::string NumberText(double value) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.15G", value);
    return buffer;
}

// The value of a numeric or boolean source as a double; false for other types.
bool NumericValue(const VARIANT& v, double* out) {
    switch (v.vt) {
        case VT_EMPTY:
            *out = 0;
            return true;
        case VT_I2:
            *out = v.iVal;
            return true;
        case VT_I4:
            *out = v.lVal;
            return true;
        case VT_R4:
            *out = v.fltVal;
            return true;
        case VT_R8:
            *out = v.dblVal;
            return true;
        case VT_DATE:
            *out = v.date;
            return true;
        case VT_BOOL:
            *out = v.boolVal;
            return true;
        case VT_UI1:
            *out = v.bVal;
            return true;
        default:
            return false;
    }
}

HRESULT ToInteger(double value, double low, double high, double* out) {
    const double rounded = std::nearbyint(value);  // half to even in the default mode
    if (!(rounded >= low && rounded <= high)) {
        return DISP_E_OVERFLOW;
    }
    *out = rounded;
    return S_OK;
}

// Converts a non-BYREF `src` into a fresh `out` (which holds nothing yet).
HRESULT Convert(const VARIANT& src, USHORT flags, VARTYPE vt, VARIANT* out) {
    if (vt == src.vt) {
        return VariantCopy(out, &src);
    }
    if (vt == VT_EMPTY) {
        return S_OK;
    }
    if (src.vt == VT_NULL || src.vt == VT_ERROR || src.vt == VT_UNKNOWN || src.vt == VT_DISPATCH) {
        if (vt == VT_DISPATCH && src.vt == VT_UNKNOWN && src.punkVal != nullptr) {
            IDispatch* dispatch = nullptr;
            const HRESULT hr =
                src.punkVal->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch));
            if (FAILED(hr)) {
                return DISP_E_TYPEMISMATCH;
            }
            out->vt = VT_DISPATCH;
            out->pdispVal = dispatch;
            return S_OK;
        }
        return DISP_E_TYPEMISMATCH;
    }
    if (vt == VT_DISPATCH) {
        return DISP_E_TYPEMISMATCH;
    }

    double number = 0;
    if (src.vt == VT_BSTR) {
        const std::string text = BstrToUtf8(src.bstrVal);
        if (vt == VT_BSTR) {
            return VariantCopy(out, &src);
        }
        if (vt == VT_DATE) {
            DATE date = 0;
            if (!ParseDateText(text, &date)) {
                return DISP_E_TYPEMISMATCH;
            }
            out->vt = VT_DATE;
            out->date = date;
            return S_OK;
        }
        if (vt == VT_BOOL &&
            (EqualsIgnoreCase(Trimmed(text), "true") || EqualsIgnoreCase(Trimmed(text), "false"))) {
            out->vt = VT_BOOL;
            out->boolVal = EqualsIgnoreCase(Trimmed(text), "true") ? VARIANT_TRUE : VARIANT_FALSE;
            return S_OK;
        }
        if (!ParseNumber(text, &number)) {
            return DISP_E_TYPEMISMATCH;
        }
    } else if (!NumericValue(src, &number)) {
        return DISP_E_BADVARTYPE;
    }

    switch (vt) {
        case VT_I2: {
            double value = 0;
            const HRESULT hr = ToInteger(number, -32768, 32767, &value);
            if (FAILED(hr)) {
                return hr;
            }
            out->vt = VT_I2;
            out->iVal = static_cast<SHORT>(value);
            return S_OK;
        }
        case VT_I4: {
            double value = 0;
            const HRESULT hr = ToInteger(number, -2147483648.0, 2147483647.0, &value);
            if (FAILED(hr)) {
                return hr;
            }
            out->vt = VT_I4;
            out->lVal = static_cast<LONG>(value);
            return S_OK;
        }
        case VT_R8:
            out->vt = VT_R8;
            out->dblVal = number;
            return S_OK;
        case VT_DATE:
            if (!(number >= kMinDate && number < kMaxDateExclusive)) {
                return DISP_E_OVERFLOW;
            }
            out->vt = VT_DATE;
            out->date = number;
            return S_OK;
        case VT_BOOL:
            out->vt = VT_BOOL;
            out->boolVal = number != 0 ? VARIANT_TRUE : VARIANT_FALSE;
            return S_OK;
        case VT_BSTR: {
            std::string text;
            if (src.vt == VT_DATE) {
                if (!(number >= kMinDate && number < kMaxDateExclusive)) {
                    return DISP_E_OVERFLOW;
                }
                text = DateText(number);
            } else if (src.vt == VT_BOOL && (flags & VARIANT_ALPHABOOL) != 0) {
                text = src.boolVal != 0 ? "True" : "False";
            } else if (src.vt == VT_EMPTY) {
                text.clear();
            } else {
                text = NumberText(number);
            }
            BSTR bstr = BstrFromUtf8(text);
            if (bstr == nullptr) {
                return E_OUTOFMEMORY;
            }
            out->vt = VT_BSTR;
            out->bstrVal = bstr;
            return S_OK;
        }
        default:
            return DISP_E_BADVARTYPE;
    }
}

}  // namespace

void VariantInit(VARIANTARG* var) {
    std::memset(var, 0, sizeof *var);
    var->vt = VT_EMPTY;
}

HRESULT VariantClear(VARIANTARG* var) {
    if (var == nullptr) {
        return E_INVALIDARG;
    }
    if (!IsAutomationType(var->vt)) {
        return DISP_E_BADVARTYPE;
    }
    switch (var->vt) {
        case VT_BSTR:
            SysFreeString(var->bstrVal);
            break;
        case VT_DISPATCH:
            if (var->pdispVal != nullptr) {
                var->pdispVal->Release();
            }
            break;
        case VT_UNKNOWN:
            if (var->punkVal != nullptr) {
                var->punkVal->Release();
            }
            break;
        default:
            break;
    }
    VariantInit(var);
    return S_OK;
}

HRESULT VariantCopy(VARIANTARG* dest, const VARIANTARG* src) {
    if (dest == nullptr || src == nullptr) {
        return E_INVALIDARG;
    }
    if (dest == src) {
        return S_OK;
    }
    if (!IsAutomationType(src->vt)) {
        return DISP_E_BADVARTYPE;
    }
    const HRESULT cleared = VariantClear(dest);
    if (FAILED(cleared)) {
        return cleared;
    }
    VARIANT copy = *src;
    if (src->vt == VT_BSTR && src->bstrVal != nullptr) {
        copy.bstrVal = SysAllocStringLen(src->bstrVal, SysStringLen(src->bstrVal));
        if (copy.bstrVal == nullptr) {
            return E_OUTOFMEMORY;
        }
    } else if ((src->vt == VT_DISPATCH || src->vt == VT_UNKNOWN) && src->punkVal != nullptr) {
        // Both members share the same storage; AddRef through the declared type.
        if (src->vt == VT_DISPATCH) {
            src->pdispVal->AddRef();
        } else {
            src->punkVal->AddRef();
        }
    }
    *dest = copy;
    return S_OK;
}

HRESULT VariantCopyInd(VARIANT* dest, const VARIANTARG* src) {
    if (dest == nullptr || src == nullptr) {
        return E_INVALIDARG;
    }
    if ((src->vt & VT_BYREF) == 0) {
        return VariantCopy(dest, src);
    }
    if (!IsAutomationType(src->vt) || src->byref == nullptr) {
        return src->byref == nullptr ? E_INVALIDARG : DISP_E_BADVARTYPE;
    }
    const VARTYPE base = src->vt & ~VT_BYREF;
    if (base == VT_VARIANT) {
        VARIANT inner;
        VariantInit(&inner);
        const HRESULT hr = VariantCopyInd(&inner, src->pvarVal);
        if (FAILED(hr)) {
            return hr;
        }
        VariantClear(dest);
        *dest = inner;
        return S_OK;
    }
    VARIANT value;
    VariantInit(&value);
    value.vt = base;
    switch (base) {
        case VT_I2:
            value.iVal = *src->piVal;
            break;
        case VT_I4:
            value.lVal = *src->plVal;
            break;
        case VT_R4:
            value.fltVal = *static_cast<const float*>(src->byref);
            break;
        case VT_R8:
            value.dblVal = *src->pdblVal;
            break;
        case VT_DATE:
            value.date = *src->pdate;
            break;
        case VT_BOOL:
            value.boolVal = *src->pboolVal;
            break;
        case VT_ERROR:
            value.scode = *src->pscode;
            break;
        case VT_UI1:
            value.bVal = *src->pbVal;
            break;
        case VT_CY:
            value.llVal = *static_cast<const LONGLONG*>(src->byref);
            break;
        case VT_BSTR:
            value.bstrVal = *src->pbstrVal;
            break;
        case VT_DISPATCH:
            value.pdispVal = *src->ppdispVal;
            break;
        case VT_UNKNOWN:
            value.punkVal = *src->ppunkVal;
            break;
        default:
            return DISP_E_BADVARTYPE;
    }
    // `value` borrows the referent; VariantCopy makes the owned copy.
    return VariantCopy(dest, &value);
}

HRESULT VariantChangeType(VARIANTARG* dest, const VARIANTARG* src, USHORT flags, VARTYPE vt) {
    if (dest == nullptr || src == nullptr) {
        return E_INVALIDARG;
    }
    switch (vt) {
        case VT_EMPTY:
        case VT_I2:
        case VT_I4:
        case VT_R8:
        case VT_DATE:
        case VT_BSTR:
        case VT_BOOL:
        case VT_DISPATCH:
            break;
        default:
            return DISP_E_BADVARTYPE;
    }
    VARIANT source;
    VariantInit(&source);
    HRESULT hr = VariantCopyInd(&source, src);
    if (FAILED(hr)) {
        return hr;
    }
    VARIANT result;
    VariantInit(&result);
    hr = Convert(source, flags, vt, &result);
    VariantClear(&source);
    if (FAILED(hr)) {
        VariantClear(&result);
        return hr;
    }
    VariantClear(dest);
    *dest = result;
    return S_OK;
}

bool DateFromParts(const DateParts& p, DATE* date) {
    if (p.year < 100 || p.year > 9999 || p.month < 1 || p.month > 12 || p.day < 1 ||
        p.day > DaysInMonth(p.year, p.month) || p.hour < 0 || p.hour > 23 || p.minute < 0 ||
        p.minute > 59 || p.second < 0 || p.second > 59) {
        return false;
    }
    const double days = static_cast<double>(
        DaysFromCivil(p.year, static_cast<unsigned>(p.month), static_cast<unsigned>(p.day)) -
        kEpochDays);
    const double fraction = (p.hour * 3600.0 + p.minute * 60.0 + p.second) / 86400.0;
    *date = days >= 0 ? days + fraction : days - fraction;
    return true;
}

bool PartsFromDate(DATE date, DateParts* parts) {
    if (!(date >= kMinDate && date < kMaxDateExclusive)) {
        return false;
    }
    double whole = std::trunc(date);
    long long seconds = std::llround(std::fabs(date - whole) * 86400.0);
    long long day = static_cast<long long>(whole);
    if (seconds >= 86400) {
        seconds -= 86400;
        day += 1;
    }
    DateParts p;
    CivilFromDays(day + kEpochDays, &p.year, &p.month, &p.day);
    if (p.year < 100 || p.year > 9999) {
        return false;
    }
    p.hour = static_cast<int>(seconds / 3600);
    p.minute = static_cast<int>(seconds / 60 % 60);
    p.second = static_cast<int>(seconds % 60);
    *parts = p;
    return true;
}

void ClearExcepInfo(EXCEPINFO* info) {
    if (info == nullptr) {
        return;
    }
    SysFreeString(info->bstrSource);
    SysFreeString(info->bstrDescription);
    SysFreeString(info->bstrHelpFile);
    std::memset(info, 0, sizeof *info);
}
