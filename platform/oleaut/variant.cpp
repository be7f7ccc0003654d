// VARIANT lifetime, copying and type conversion; automation DATE arithmetic.
#include "platform/variant.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/ascii_case.h"
#include "platform/base/civil_calendar.h"
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

// Day 0 of the automation DATE.
constexpr std::int64_t kEpochDays = DaysFromCivil(1899, 12, 30);

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

// The number a source stands for: its value, or its text read as a number. Sources without
// a value (null, error, objects) do not convert; other types are not served.
HRESULT SourceNumber(const VARIANT& src, double* number) {
    switch (src.vt) {
        case VT_BSTR:
            return ParseNumber(BstrToUtf8(src.bstrVal), number) ? S_OK : DISP_E_TYPEMISMATCH;
        case VT_NULL:
        case VT_ERROR:
        case VT_UNKNOWN:
        case VT_DISPATCH:
            return DISP_E_TYPEMISMATCH;
        default:
            return NumericValue(src, number) ? S_OK : DISP_E_BADVARTYPE;
    }
}

// The source rounded half to even into [low, high]; DISP_E_OVERFLOW outside.
HRESULT SourceInteger(const VARIANT& src, double low, double high, double* out) {
    double number = 0;
    const HRESULT hr = SourceNumber(src, &number);
    if (FAILED(hr)) {
        return hr;
    }
    const double rounded = std::nearbyint(number);  // half to even in the default mode
    if (!(rounded >= low && rounded <= high)) {
        return DISP_E_OVERFLOW;
    }
    *out = rounded;
    return S_OK;
}

// Each converter below turns a non-BYREF source of another type into a fresh `out` of its
// own type.

HRESULT ToI2(const VARIANT& src, USHORT, VARIANT* out) {
    double value = 0;
    const HRESULT hr = SourceInteger(src, -32768, 32767, &value);
    if (SUCCEEDED(hr)) {
        out->vt = VT_I2;
        out->iVal = static_cast<SHORT>(value);
    }
    return hr;
}

HRESULT ToI4(const VARIANT& src, USHORT, VARIANT* out) {
    double value = 0;
    const HRESULT hr = SourceInteger(src, -2147483648.0, 2147483647.0, &value);
    if (SUCCEEDED(hr)) {
        out->vt = VT_I4;
        out->lVal = static_cast<LONG>(value);
    }
    return hr;
}

HRESULT ToR8(const VARIANT& src, USHORT, VARIANT* out) {
    double number = 0;
    const HRESULT hr = SourceNumber(src, &number);
    if (SUCCEEDED(hr)) {
        out->vt = VT_R8;
        out->dblVal = number;
    }
    return hr;
}

// Text is read as a date ("2024-03-01 14:30:00", "14:30"), numbers as day counts.
HRESULT ToDate(const VARIANT& src, USHORT, VARIANT* out) {
    DATE date = 0;
    if (src.vt == VT_BSTR) {
        if (!ParseDateText(BstrToUtf8(src.bstrVal), &date)) {
            return DISP_E_TYPEMISMATCH;
        }
    } else {
        const HRESULT hr = SourceNumber(src, &date);
        if (FAILED(hr)) {
            return hr;
        }
        if (!(date >= kMinDate && date < kMaxDateExclusive)) {
            return DISP_E_OVERFLOW;
        }
    }
    out->vt = VT_DATE;
    out->date = date;
    return S_OK;
}

// "True" and "False" in any case, else any number (non-zero is true).
HRESULT ToBool(const VARIANT& src, USHORT, VARIANT* out) {
    if (src.vt == VT_BSTR) {
        const std::string text = BstrToUtf8(src.bstrVal);
        const std::string_view word = Trimmed(text);
        if (EqualsAsciiNoCase(word, "true") || EqualsAsciiNoCase(word, "false")) {
            out->vt = VT_BOOL;
            out->boolVal = EqualsAsciiNoCase(word, "true") ? VARIANT_TRUE : VARIANT_FALSE;
            return S_OK;
        }
    }
    double number = 0;
    const HRESULT hr = SourceNumber(src, &number);
    if (SUCCEEDED(hr)) {
        out->vt = VT_BOOL;
        out->boolVal = number != 0 ? VARIANT_TRUE : VARIANT_FALSE;
    }
    return hr;
}

HRESULT ToBstr(const VARIANT& src, USHORT flags, VARIANT* out) {
    double number = 0;
    const HRESULT hr = SourceNumber(src, &number);
    if (FAILED(hr)) {
        return hr;
    }
    std::string text;
    if (src.vt == VT_DATE) {
        if (!(number >= kMinDate && number < kMaxDateExclusive)) {
            return DISP_E_OVERFLOW;
        }
        text = DateText(number);
    } else if (src.vt == VT_BOOL && (flags & VARIANT_ALPHABOOL) != 0) {
        text = src.boolVal != 0 ? "True" : "False";
    } else if (src.vt != VT_EMPTY) {
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

// Only an object converts to IDispatch: the one it answers for IID_IDispatch.
HRESULT ToDispatch(const VARIANT& src, USHORT, VARIANT* out) {
    if (src.vt != VT_UNKNOWN || src.punkVal == nullptr) {
        return DISP_E_TYPEMISMATCH;
    }
    IDispatch* dispatch = nullptr;
    if (FAILED(src.punkVal->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)))) {
        return DISP_E_TYPEMISMATCH;
    }
    out->vt = VT_DISPATCH;
    out->pdispVal = dispatch;
    return S_OK;
}

using Converter = HRESULT (*)(const VARIANT& src, USHORT flags, VARIANT* out);

// The converter to `vt`, or null for a type VariantChangeType does not serve.
Converter ConverterTo(VARTYPE vt) {
    switch (vt) {
        case VT_I2:
            return ToI2;
        case VT_I4:
            return ToI4;
        case VT_R8:
            return ToR8;
        case VT_DATE:
            return ToDate;
        case VT_BOOL:
            return ToBool;
        case VT_BSTR:
            return ToBstr;
        case VT_DISPATCH:
            return ToDispatch;
        default:
            return nullptr;
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
    const Converter convert = ConverterTo(vt);
    if (convert == nullptr && vt != VT_EMPTY) {
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
    if (vt == source.vt) {
        hr = VariantCopy(&result, &source);
    } else if (vt != VT_EMPTY) {
        hr = convert(source, flags, &result);
    }
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
        p.day > static_cast<int>(DaysInMonth(p.year, static_cast<unsigned>(p.month))) ||
        p.hour < 0 || p.hour > 23 || p.minute < 0 || p.minute > 59 || p.second < 0 ||
        p.second > 59) {
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
    const CivilDate civil = CivilFromDays(day + kEpochDays);
    if (civil.year < 100 || civil.year > 9999) {
        return false;
    }
    DateParts p;
    p.year = static_cast<int>(civil.year);
    p.month = static_cast<int>(civil.month);
    p.day = static_cast<int>(civil.day);
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
