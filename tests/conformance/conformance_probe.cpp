// Prints, one line per input, what the Windows functions under the system give: BSTRs,
// VARIANT conversions, locale items, number, currency, date and time formats, SYSTEMTIME,
// FILETIME and DATE conversions, and the last-error codes of bad input and short buffers.
// The same source is built against the platform layer and against the Windows SDK (run under
// Wine); compare_outputs.sh holds the two outputs against each other line by line.
//
// Every line is "call => result". The call part names the inputs, so it is the same on both
// sides; text is printed as ASCII with other units escaped as \uXXXX.
#ifdef _WIN32
#include <windows.h>  // first: the other SDK headers need its types

#include <fcntl.h>
#include <io.h>
#include <oleauto.h>
#define W(text) L##text
#else
#include "platform/last_error.h"
#include "platform/nls.h"
#include "platform/oleauto.h"
#include "platform/systime.h"
#include "platform/variant.h"
#define W(text) u##text
#endif

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

using Text = std::basic_string<WCHAR>;

// A value no call sets, so that a call which fails without setting the error shows it.
constexpr DWORD kUntouchedError = 0xBEEF;
constexpr int kBufferUnits = 256;

// ---- Printing -------------------------------------------------------------------------------

std::string Quoted(const WCHAR* text, std::size_t units) {
    std::string out = "\"";
    for (std::size_t i = 0; i < units; ++i) {
        const unsigned unit = static_cast<std::uint16_t>(text[i]);
        if (unit == '"' || unit == '\\') {
            out += '\\';
            out += static_cast<char>(unit);
        } else if (unit >= 0x20 && unit < 0x7F) {
            out += static_cast<char>(unit);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04X", unit);
            out += escaped;
        }
    }
    return out + "\"";
}

std::string Quoted(const WCHAR* text) {
    if (text == nullptr) {
        return "NULL";
    }
    std::size_t units = 0;
    while (text[units] != 0) {
        ++units;
    }
    return Quoted(text, units);
}

std::string Hex(unsigned long long value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llX", value);
    return text;
}

std::string Number(long long value) {
    return std::to_string(value);
}

// The shortest text that reads back as the same double, the same on both builds.
std::string Real(double value) {
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

void Line(const std::string& call, const std::string& result) {
    std::printf("%s => %s\n", call.c_str(), result.c_str());
}

// The result of a call that returns a count of units written (0 on failure) into `out`.
std::string UnitsResult(int written, const WCHAR* out, bool showText = true) {
    if (written == 0) {
        return "0 error " + Number(GetLastError());
    }
    std::string result = Number(written);
    if (showText) {
        result += " " + Quoted(out);
    }
    return result;
}

std::string SystemTimeText(const SYSTEMTIME& st) {
    char text[80];
    std::snprintf(text, sizeof text, "%u-%u-%u(dow %u) %u:%u:%u.%u", st.wYear, st.wMonth, st.wDay,
                  st.wDayOfWeek, st.wHour, st.wMinute, st.wSecond, st.wMilliseconds);
    return text;
}

std::string LcidText(LCID lcid) {
    return Hex(lcid);
}

// ---- Inputs ---------------------------------------------------------------------------------

// The locales of the platform layer's table, and the invariant locale.
const std::vector<LCID> kLocales = {0x0409, 0x1409, 0x0809, 0x0C09, 0x0416, 0x0C0A, 0x0407, 0x007F};

// An LCID that names no locale at all.
constexpr LCID kNoLocale = 0x0FFF;

// ---- BSTR -----------------------------------------------------------------------------------

std::string BstrResult(BSTR text) {
    if (text == nullptr) {
        return "NULL";
    }
    DWORD prefix = 0;
    std::memcpy(&prefix, reinterpret_cast<const char*>(text) - sizeof prefix, sizeof prefix);
    const UINT units = SysStringLen(text);
    return "len " + Number(units) + " bytes " + Number(SysStringByteLen(text)) + " prefix " +
           Number(prefix) + " terminator " + Number(text[units]) + " " + Quoted(text, units);
}

void ProbeBstr() {
    struct Case {
        const char* name;
        const WCHAR* text;
        UINT units;
    };
    for (const Case& c :
         {Case{"\"abc\"", W("abc"), 3}, Case{"\"abc\"", W("abc"), 2}, Case{"\"abc\"", W("abc"), 0},
          Case{"\"a\\0b\"", W("a\0b"), 3}, Case{"\"\"", W(""), 0}}) {
        BSTR text = SysAllocStringLen(c.text, c.units);
        Line("SysAllocStringLen(" + std::string(c.name) + "," + Number(c.units) + ")",
             BstrResult(text));
        SysFreeString(text);
    }
    {
        // Null text: the units are left as they are, only the lengths are probed.
        BSTR text = SysAllocStringLen(nullptr, 5);
        Line("SysAllocStringLen(NULL,5)", "len " + Number(SysStringLen(text)) + " bytes " +
                                              Number(SysStringByteLen(text)) + " terminator " +
                                              Number(text[5]));
        SysFreeString(text);
    }
    for (const WCHAR* source : {W("abc"), W(""), W("caf\u00E9 \u20AC")}) {
        BSTR text = SysAllocString(source);
        Line("SysAllocString(" + Quoted(source) + ")", BstrResult(text));
        SysFreeString(text);
    }
    Line("SysAllocString(NULL)", BstrResult(SysAllocString(nullptr)));
    Line("SysStringLen(NULL)", Number(SysStringLen(nullptr)));
    Line("SysStringByteLen(NULL)", Number(SysStringByteLen(nullptr)));
    SysFreeString(nullptr);
    Line("SysFreeString(NULL)", "returns");
}

// ---- VARIANT --------------------------------------------------------------------------------

std::string VariantText(const VARIANT& v) {
    std::string text = "vt " + Number(v.vt);
    switch (v.vt) {
        case VT_EMPTY:
        case VT_NULL:
            return text;
        case VT_I2:
            return text + " " + Number(v.iVal);
        case VT_I4:
            return text + " " + Number(v.lVal);
        case VT_R8:
            return text + " " + Real(v.dblVal);
        case VT_DATE:
            return text + " " + Real(v.date);
        case VT_BOOL:
            return text + " " + Number(v.boolVal);
        case VT_BSTR:
            return text + " " + (v.bstrVal ? Quoted(v.bstrVal, SysStringLen(v.bstrVal)) : "NULL");
        case VT_ERROR:
            return text + " " + Hex(static_cast<std::uint32_t>(v.scode));
        default:
            return text + " ?";
    }
}

struct Source {
    std::string name;
    VARIANT value;
};

VARIANT MakeI2(SHORT value) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I2;
    v.iVal = value;
    return v;
}

VARIANT MakeI4(LONG value) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

VARIANT MakeReal(VARTYPE vt, double value) {
    VARIANT v;
    VariantInit(&v);
    v.vt = vt;
    if (vt == VT_DATE) {
        v.date = value;
    } else {
        v.dblVal = value;
    }
    return v;
}

VARIANT MakeBool(VARIANT_BOOL value) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BOOL;
    v.boolVal = value;
    return v;
}

VARIANT MakeBstr(const WCHAR* text) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocString(text);
    return v;
}

VARIANT MakeType(VARTYPE vt) {
    VARIANT v;
    VariantInit(&v);
    v.vt = vt;
    return v;
}

std::vector<Source> ConversionSources() {
    std::vector<Source> sources;
    sources.push_back({"EMPTY", MakeType(VT_EMPTY)});
    sources.push_back({"NULL", MakeType(VT_NULL)});
    for (SHORT value : {0, 1, -1, 32767, -32768}) {
        sources.push_back({"I2 " + Number(value), MakeI2(value)});
    }
    for (LONG value : {0, 1, -1, 32767, 32768, -32769, 2147483647, -2147483647 - 1}) {
        sources.push_back({"I4 " + Number(value), MakeI4(value)});
    }
    for (double value : {0.0, 2.5, 3.5, -2.5, -3.5, 0.1, 1234.5678, 1e10, -1e10, 32767.5,
                         2147483647.4, 2147483647.5, 1e-7, 123456789012345.0}) {
        sources.push_back({"R8 " + Real(value), MakeReal(VT_R8, value)});
    }
    for (double value : {0.0, 1.0, 2.25, 5.875, -1.0, -1.25, -0.5, 0.5, 45356.58829861111,
                         2958465.0, 2958466.0, -657434.0, -657435.0}) {
        sources.push_back({"DATE " + Real(value), MakeReal(VT_DATE, value)});
    }
    sources.push_back({"BOOL TRUE", MakeBool(VARIANT_TRUE)});
    sources.push_back({"BOOL FALSE", MakeBool(VARIANT_FALSE)});
    for (const WCHAR* text : {W("12"),
                              W("-12"),
                              W(" 12"),
                              W("12 "),
                              W("+12"),
                              W("12.5"),
                              W("2.5"),
                              W("3.5"),
                              W("1e3"),
                              W("1.5E-2"),
                              W("abc"),
                              W(""),
                              W("True"),
                              W("false"),
                              W("TRUE"),
                              W("#TRUE#"),
                              W("1,234"),
                              W("1,234.5"),
                              W("-0"),
                              W("0x10"),
                              W("&H10"),
                              W("40000"),
                              W("2147483648"),
                              W("1.7976931348623157e308"),
                              W("2024-03-05"),
                              W("2024-03-05 14:07:09"),
                              W("14:07:09"),
                              W("3/5/2024"),
                              W("3/5/2024 2:07:09 PM"),
                              W("12:00:00 AM"),
                              W("1899-12-30"),
                              W("0100-01-01"),
                              W("9999-12-31 23:59:59")}) {
        sources.push_back({"BSTR " + Quoted(text), MakeBstr(text)});
    }
    return sources;
}

void ProbeVariantChangeType() {
    struct Target {
        const char* name;
        VARTYPE vt;
    };
    const Target targets[] = {{"EMPTY", VT_EMPTY}, {"I2", VT_I2},     {"I4", VT_I4},
                              {"R8", VT_R8},       {"DATE", VT_DATE}, {"BSTR", VT_BSTR},
                              {"BOOL", VT_BOOL}};
    std::vector<Source> sources = ConversionSources();
    for (Source& source : sources) {
        for (const Target& target : targets) {
            for (USHORT flags : {USHORT{0}, USHORT{VARIANT_ALPHABOOL}}) {
                // Only conversions to text know the flag; the rest are probed once.
                if (flags != 0 && target.vt != VT_BSTR) {
                    continue;
                }
                VARIANT result = MakeI4(-777);  // a sentinel that failure must leave alone
                const HRESULT hr = VariantChangeType(&result, &source.value, flags, target.vt);
                Line("VariantChangeType(" + source.name + "," + Number(flags) + "," + target.name +
                         ")",
                     Hex(static_cast<std::uint32_t>(hr)) + " " + VariantText(result));
                VariantClear(&result);
            }
        }
    }
    // In place: the source is the destination.
    {
        VARIANT v = MakeBstr(W("42"));
        const HRESULT hr = VariantChangeType(&v, &v, 0, VT_I4);
        Line("VariantChangeType(in place BSTR \"42\",0,I4)",
             Hex(static_cast<std::uint32_t>(hr)) + " " + VariantText(v));
        VariantClear(&v);
    }
    // By reference: the referent is converted, the source keeps it.
    {
        LONG referent = 31;
        VARIANT byref;
        VariantInit(&byref);
        byref.vt = VT_BYREF | VT_I4;
        byref.plVal = &referent;
        VARIANT result;
        VariantInit(&result);
        const HRESULT hr = VariantChangeType(&result, &byref, 0, VT_BSTR);
        Line("VariantChangeType(BYREF I4 31,0,BSTR)",
             Hex(static_cast<std::uint32_t>(hr)) + " " + VariantText(result));
        VariantClear(&result);
    }
    for (Source& source : sources) {
        VariantClear(&source.value);
    }
}

void ProbeVariantClearCopy() {
    {
        VARIANT v = MakeBstr(W("text"));
        const HRESULT hr = VariantClear(&v);
        Line("VariantClear(BSTR \"text\")",
             Hex(static_cast<std::uint32_t>(hr)) + " " + VariantText(v));
    }
    {
        VARIANT v = MakeType(0x7FF);  // no automation type
        const HRESULT hr = VariantClear(&v);
        Line("VariantClear(vt 0x7FF)", Hex(static_cast<std::uint32_t>(hr)) + " vt " + Number(v.vt));
    }
    {
        VARIANT source = MakeType(VT_BSTR);
        source.bstrVal = SysAllocStringLen(W("a\0b"), 3);
        VARIANT copy = MakeI4(5);
        const HRESULT hr = VariantCopy(&copy, &source);
        Line("VariantCopy(BSTR \"a\\0b\")", Hex(static_cast<std::uint32_t>(hr)) + " " +
                                                VariantText(copy) + " distinct " +
                                                Number(copy.bstrVal != source.bstrVal));
        VariantClear(&copy);
        const HRESULT self = VariantCopy(&source, &source);
        Line("VariantCopy(self BSTR \"a\\0b\")",
             Hex(static_cast<std::uint32_t>(self)) + " " + VariantText(source));
        VariantClear(&source);
    }
    {
        VARIANT source = MakeType(0x7FF);
        VARIANT copy = MakeI4(5);
        const HRESULT hr = VariantCopy(&copy, &source);
        Line("VariantCopy(vt 0x7FF)",
             Hex(static_cast<std::uint32_t>(hr)) + " vt " + Number(copy.vt));
    }
    {
        double referent = 2.5;
        VARIANT byref;
        VariantInit(&byref);
        byref.vt = VT_BYREF | VT_R8;
        byref.pdblVal = &referent;
        VARIANT copy;
        VariantInit(&copy);
        HRESULT hr = VariantCopy(&copy, &byref);
        Line("VariantCopy(BYREF R8 2.5)", Hex(static_cast<std::uint32_t>(hr)) + " vt " +
                                              Hex(copy.vt) + " same referent " +
                                              Number(copy.pdblVal == &referent));
        VariantClear(&copy);
        hr = VariantCopyInd(&copy, &byref);
        Line("VariantCopyInd(BYREF R8 2.5)",
             Hex(static_cast<std::uint32_t>(hr)) + " " + VariantText(copy));
        VariantClear(&copy);
    }
}

// ---- Locale items ---------------------------------------------------------------------------

struct Item {
    const char* name;
    LCTYPE type;
};

const Item kItems[] = {
    {"SDECIMAL", 0x0E},          {"STHOUSAND", 0x0F},      {"SGROUPING", 0x10},
    {"IDIGITS", 0x11},           {"ILZERO", 0x12},         {"INEGNUMBER", 0x1010},
    {"SNEGATIVESIGN", 0x51},     {"SCURRENCY", 0x14},      {"SMONDECIMALSEP", 0x16},
    {"SMONTHOUSANDSEP", 0x17},   {"SMONGROUPING", 0x18},   {"ICURRDIGITS", 0x19},
    {"ICURRENCY", 0x1B},         {"INEGCURR", 0x1C},       {"SSHORTDATE", 0x1F},
    {"SLONGDATE", 0x20},         {"SYEARMONTH", 0x1006},   {"STIMEFORMAT", 0x1003},
    {"SSHORTTIME", 0x79},        {"S1159", 0x28},          {"S2359", 0x29},
    {"SDAYNAME1", 0x2A},         {"SDAYNAME7", 0x30},      {"SABBREVDAYNAME2", 0x32},
    {"SMONTHNAME3", 0x3A},       {"SMONTHNAME12", 0x43},   {"SABBREVMONTHNAME3", 0x46},
    {"SABBREVMONTHNAME5", 0x48}, {"SMONTHNAME13", 0x100E}, {"SNAME", 0x5C},
};

void ProbeLocaleInfo() {
    WCHAR buffer[kBufferUnits];
    for (LCID lcid : kLocales) {
        for (const Item& item : kItems) {
            SetLastError(kUntouchedError);
            const int written = GetLocaleInfoW(lcid, item.type, buffer, kBufferUnits);
            Line("GetLocaleInfoW(" + LcidText(lcid) + "," + item.name + ")",
                 UnitsResult(written, buffer));
        }
    }
    // The numeric items as numbers, sizes, short buffers and bad arguments (en-US).
    constexpr LCID kEnUs = 0x0409;
    constexpr DWORD kReturnNumber = 0x20000000;
    constexpr DWORD kNoUserOverride = 0x80000000;
    for (const Item& item : {Item{"IDIGITS", 0x11}, Item{"INEGCURR", 0x1C}, Item{"ICURRENCY", 0x1B},
                             Item{"SDECIMAL", 0x0E}}) {
        DWORD number = 0xFFFFFFFF;
        SetLastError(kUntouchedError);
        const int written = GetLocaleInfoW(kEnUs, item.type | kReturnNumber,
                                           reinterpret_cast<LPWSTR>(&number), sizeof number / 2);
        Line("GetLocaleInfoW(0x409," + std::string(item.name) + "|RETURN_NUMBER)",
             written == 0 ? UnitsResult(0, nullptr) : Number(written) + " " + Number(number));
    }
    struct SizeCase {
        const char* name;
        LCTYPE type;
        int cch;
        bool nullBuffer;
    };
    for (const SizeCase& c :
         {SizeCase{"SSHORTDATE", 0x1F, 0, false}, SizeCase{"SSHORTDATE", 0x1F, 0, true},
          SizeCase{"SSHORTDATE", 0x1F, 8, false}, SizeCase{"SSHORTDATE", 0x1F, 9, false},
          SizeCase{"SSHORTDATE", 0x1F, 9, true}, SizeCase{"SSHORTDATE", 0x1F, -1, false},
          SizeCase{"SCURRENCY", 0x14, 1, false}, SizeCase{"SCURRENCY", 0x14, 2, false}}) {
        SetLastError(kUntouchedError);
        const int written = GetLocaleInfoW(kEnUs, c.type, c.nullBuffer ? nullptr : buffer, c.cch);
        Line("GetLocaleInfoW(0x409," + std::string(c.name) + ",cch " + Number(c.cch) +
                 (c.nullBuffer ? ",NULL" : "") + ")",
             UnitsResult(written, buffer, c.cch > 0 && !c.nullBuffer));
    }
    // The user's own locale, which is the one the system asks for: both sides run with an
    // en-US user (LANG=C here, en_US.UTF-8 under Wine); the system default and 0 mean it too.
    for (LCID lcid : {LCID{0x0400}, LCID{0x0800}, LCID{0}}) {
        for (const Item& item :
             {Item{"SNAME", 0x5C}, Item{"SDECIMAL", 0x0E}, Item{"SCURRENCY", 0x14},
              Item{"SSHORTDATE", 0x1F}, Item{"STIMEFORMAT", 0x1003}}) {
            SetLastError(kUntouchedError);
            const int units = GetLocaleInfoW(lcid, item.type, buffer, kBufferUnits);
            Line("GetLocaleInfoW(" + LcidText(lcid) + "," + item.name + ")",
                 UnitsResult(units, buffer));
        }
    }
    SetLastError(kUntouchedError);
    int written = GetLocaleInfoW(kEnUs, 0x0E | kNoUserOverride, buffer, kBufferUnits);
    Line("GetLocaleInfoW(0x409,SDECIMAL|NOUSEROVERRIDE)", UnitsResult(written, buffer));
    SetLastError(kUntouchedError);
    written = GetLocaleInfoW(kEnUs, 0xFFFF, buffer, kBufferUnits);
    Line("GetLocaleInfoW(0x409,item 0xFFFF)", UnitsResult(written, buffer));
    SetLastError(kUntouchedError);
    written = GetLocaleInfoW(kNoLocale, 0x0E, buffer, kBufferUnits);
    Line("GetLocaleInfoW(no locale,SDECIMAL)", UnitsResult(written, buffer));
}

// ---- Numbers and currency -------------------------------------------------------------------

// The separators and orders of one locale, as FormatAmount reads them into a format structure.
struct LocaleFormat {
    LCID lcid;
    const WCHAR* decimal;
    const WCHAR* thousand;
    UINT negativeNumber;
    const WCHAR* currency;
    UINT positiveCurrency;
    UINT negativeCurrency;
};

const LocaleFormat kLocaleFormats[] = {
    {0x0409, W("."), W(","), 1, W("$"), 0, 0},      {0x1409, W("."), W(","), 1, W("$"), 0, 1},
    {0x0809, W("."), W(","), 1, W("\u00A3"), 0, 1}, {0x0C09, W("."), W(","), 1, W("$"), 0, 1},
    {0x0416, W(","), W("."), 1, W("R$"), 2, 9},     {0x0C0A, W(","), W("."), 1, W("\u20AC"), 3, 8},
    {0x0407, W(","), W("."), 1, W("\u20AC"), 3, 8},
};

// The plain texts FormatAmount passes: a sign, the integer digits, exactly four fraction digits,
// from the smallest to the largest count of ten-thousandths.
const WCHAR* const kAmounts[] = {
    W("0.0000"),
    W("0.0001"),
    W("-0.0001"),
    W("0.0049"),
    W("0.0050"),
    W("-0.0050"),
    W("0.4999"),
    W("0.5000"),
    W("1.2345"),
    W("-1.2345"),
    W("2.5000"),
    W("9.9950"),
    W("99.9999"),
    W("1234.5000"),
    W("-1234.5678"),
    W("999999.9999"),
    W("1000000.0000"),
    W("-12345678.9012"),
    W("922337203685477.5807"),
    W("-922337203685477.5808"),
};

void ProbeNumberFormat(LCID lcid, const std::string& call, const WCHAR* value,
                       const NUMBERFMTW* format, int cch = kBufferUnits) {
    WCHAR buffer[kBufferUnits];
    SetLastError(kUntouchedError);
    const int written = GetNumberFormatW(lcid, 0, value, format, buffer, cch);
    Line(call, UnitsResult(written, buffer, cch > 0));
}

void ProbeCurrencyFormat(LCID lcid, const std::string& call, const WCHAR* value,
                         const CURRENCYFMTW* format, int cch = kBufferUnits) {
    WCHAR buffer[kBufferUnits];
    SetLastError(kUntouchedError);
    const int written = GetCurrencyFormatW(lcid, 0, value, format, buffer, cch);
    Line(call, UnitsResult(written, buffer, cch > 0));
}

std::string NumberFormatText(const NUMBERFMTW& f) {
    return "{" + Number(f.NumDigits) + "," + Number(f.LeadingZero) + "," + Number(f.Grouping) +
           "," + Quoted(f.lpDecimalSep) + "," + Quoted(f.lpThousandSep) + "," +
           Number(f.NegativeOrder) + "}";
}

std::string CurrencyFormatText(const CURRENCYFMTW& f) {
    return "{" + Number(f.NumDigits) + "," + Number(f.LeadingZero) + "," + Number(f.Grouping) +
           "," + Quoted(f.lpDecimalSep) + "," + Quoted(f.lpThousandSep) + "," +
           Number(f.NegativeOrder) + "," + Number(f.PositiveOrder) + "," +
           Quoted(f.lpCurrencySymbol) + "}";
}

// The locales' own formats (a null structure) for a few values each.
void ProbeLocaleNumberFormats() {
    const WCHAR* const values[] = {W("0"),   W("1234.5"), W("-1234.5"), W("1234567890.54321"),
                                   W("0.5"), W("-0.5"),   W("0.004"),   W("-0.004")};
    for (LCID lcid : kLocales) {
        for (const WCHAR* value : values) {
            ProbeNumberFormat(lcid,
                              "GetNumberFormatW(" + LcidText(lcid) + "," + Quoted(value) + ",NULL)",
                              value, nullptr);
            ProbeCurrencyFormat(
                lcid, "GetCurrencyFormatW(" + LcidText(lcid) + "," + Quoted(value) + ",NULL)",
                value, nullptr);
        }
    }
}

// The structures FormatAmount builds: every locale, number and money, the decimals it passes
// (0 to 3 and the locale's 2), with and without grouping, for every amount.
void ProbeAmountFormats() {
    WCHAR noSeparator[] = W("");
    for (const LocaleFormat& locale : kLocaleFormats) {
        Text decimal = locale.decimal;
        Text thousand = locale.thousand;
        Text symbol = locale.currency;
        for (UINT digits : {0u, 1u, 2u, 3u}) {
            for (bool grouping : {true, false}) {
                LPWSTR groupSeparator = grouping ? thousand.data() : noSeparator;
                const NUMBERFMTW number{
                    digits, 1, 3, decimal.data(), groupSeparator, locale.negativeNumber};
                const CURRENCYFMTW money{digits,
                                         1,
                                         3,
                                         decimal.data(),
                                         groupSeparator,
                                         locale.negativeCurrency,
                                         locale.positiveCurrency,
                                         symbol.data()};
                for (const WCHAR* amount : kAmounts) {
                    ProbeNumberFormat(locale.lcid,
                                      "GetNumberFormatW(" + LcidText(locale.lcid) + "," +
                                          Quoted(amount) + "," + NumberFormatText(number) + ")",
                                      amount, &number);
                    ProbeCurrencyFormat(locale.lcid,
                                        "GetCurrencyFormatW(" + LcidText(locale.lcid) + "," +
                                            Quoted(amount) + "," + CurrencyFormatText(money) + ")",
                                        amount, &money);
                }
            }
        }
    }
}

// The rules of the formatter itself, in en-US: input grammar, rounding, grouping, orders,
// leading zero, bad structures, flags, sizes and short buffers.
void ProbeFormatRules() {
    constexpr LCID kEnUs = 0x0409;
    WCHAR dot[] = W(".");
    WCHAR comma[] = W(",");
    WCHAR dollar[] = W("$");
    WCHAR longSymbol[] = W("EUR");
    WCHAR empty[] = W("");
    WCHAR buffer[kBufferUnits];

    for (const WCHAR* value : {W(""),      W("-"),      W("."),
                               W("-."),    W(" 1"),     W("1 "),
                               W("1,0"),   W("--1"),    W("1-"),
                               W("0..1"),  W("+1"),     W("1e3"),
                               W("abc"),   W("000235"), W(".5"),
                               W("-.5"),   W("5."),     W("-0"),
                               W("0.000"), W("00"),     W("12345678901234567890123456789")}) {
        ProbeNumberFormat(kEnUs, "GetNumberFormatW(0x409," + Quoted(value) + ",NULL)", value,
                          nullptr);
    }
    struct Rounding {
        const WCHAR* value;
        UINT digits;
    };
    for (const Rounding& r :
         {Rounding{W("2353.111"), 2}, Rounding{W("2353.119"), 2}, Rounding{W("9.99"), 1},
          Rounding{W("0.45"), 0}, Rounding{W("0.445"), 2}, Rounding{W("1.45"), 1},
          Rounding{W("-0.001"), 2}, Rounding{W("-2.5"), 0}, Rounding{W("-0.5"), 0},
          Rounding{W("999.5"), 0}, Rounding{W("0.123456789"), 9}, Rounding{W("0.5"), 10},
          Rounding{W("1"), 9}}) {
        const NUMBERFMTW format{r.digits, 1, 3, dot, comma, 1};
        ProbeNumberFormat(
            kEnUs,
            "GetNumberFormatW(0x409," + Quoted(r.value) + "," + NumberFormatText(format) + ")",
            r.value, &format);
    }
    for (UINT grouping : {0u, 3u, 32u, 30u, 320u, 23u, 230u, 31u, 203u, 2003u, 2030u, 1200u, 312u,
                          310u, 1u, 10u, 9u}) {
        const NUMBERFMTW format{0, 1, grouping, dot, comma, 1};
        ProbeNumberFormat(kEnUs,
                          "GetNumberFormatW(0x409,\"1234567890\"," + NumberFormatText(format) + ")",
                          W("1234567890"), &format);
    }
    for (UINT order = 0; order <= 5; ++order) {
        const NUMBERFMTW format{1, 1, 3, dot, comma, order};
        ProbeNumberFormat(kEnUs, "GetNumberFormatW(0x409,\"-1\"," + NumberFormatText(format) + ")",
                          W("-1"), &format);
    }
    for (UINT leadingZero : {0u, 1u, 2u}) {
        for (const WCHAR* value : {W("0.5"), W("0"), W("-0.7")}) {
            const NUMBERFMTW format{1, leadingZero, 3, dot, comma, 1};
            ProbeNumberFormat(
                kEnUs,
                "GetNumberFormatW(0x409," + Quoted(value) + "," + NumberFormatText(format) + ")",
                value, &format);
        }
    }
    for (UINT order = 0; order <= 16; ++order) {
        const CURRENCYFMTW format{1, 1, 3, dot, comma, order, 0, dollar};
        ProbeCurrencyFormat(kEnUs,
                            "GetCurrencyFormatW(0x409,\"-1\"," + CurrencyFormatText(format) + ")",
                            W("-1"), &format);
    }
    for (UINT order = 0; order <= 4; ++order) {
        const CURRENCYFMTW format{1, 1, 3, dot, comma, 1, order, longSymbol};
        ProbeCurrencyFormat(kEnUs,
                            "GetCurrencyFormatW(0x409,\"1\"," + CurrencyFormatText(format) + ")",
                            W("1"), &format);
    }
    {
        const CURRENCYFMTW format{2, 1, 3, comma, empty, 8, 3, empty};
        ProbeCurrencyFormat(
            kEnUs, "GetCurrencyFormatW(0x409,\"-1234.5\"," + CurrencyFormatText(format) + ")",
            W("-1234.5"), &format);
    }
    // Structures with a null text.
    {
        const NUMBERFMTW format{2, 1, 3, nullptr, comma, 1};
        SetLastError(kUntouchedError);
        const int written = GetNumberFormatW(kEnUs, 0, W("1"), &format, buffer, kBufferUnits);
        Line("GetNumberFormatW(0x409,\"1\",{null decimal})", UnitsResult(written, buffer));
    }
    {
        const NUMBERFMTW format{2, 1, 3, dot, nullptr, 1};
        SetLastError(kUntouchedError);
        const int written = GetNumberFormatW(kEnUs, 0, W("1"), &format, buffer, kBufferUnits);
        Line("GetNumberFormatW(0x409,\"1\",{null thousand})", UnitsResult(written, buffer));
    }
    {
        const CURRENCYFMTW format{2, 1, 3, dot, comma, 0, 0, nullptr};
        SetLastError(kUntouchedError);
        const int written = GetCurrencyFormatW(kEnUs, 0, W("1"), &format, buffer, kBufferUnits);
        Line("GetCurrencyFormatW(0x409,\"1\",{null symbol})", UnitsResult(written, buffer));
    }
    // Flags: with a structure none is allowed; without one only the no-override flag.
    {
        const NUMBERFMTW format{2, 1, 3, dot, comma, 1};
        for (DWORD flags : {DWORD{0x80000000}, DWORD{1}}) {
            SetLastError(kUntouchedError);
            int written = GetNumberFormatW(kEnUs, flags, W("1"), &format, buffer, kBufferUnits);
            Line("GetNumberFormatW(0x409,flags " + Hex(flags) + ",\"1\",{format})",
                 UnitsResult(written, buffer));
            SetLastError(kUntouchedError);
            written = GetNumberFormatW(kEnUs, flags, W("1"), nullptr, buffer, kBufferUnits);
            Line("GetNumberFormatW(0x409,flags " + Hex(flags) + ",\"1\",NULL)",
                 UnitsResult(written, buffer));
            SetLastError(kUntouchedError);
            written = GetCurrencyFormatW(kEnUs, flags, W("1"), nullptr, buffer, kBufferUnits);
            Line("GetCurrencyFormatW(0x409,flags " + Hex(flags) + ",\"1\",NULL)",
                 UnitsResult(written, buffer));
        }
    }
    // Sizes: "1,234.50" needs 9 units with its terminator.
    for (int cch : {0, 8, 9, -1}) {
        ProbeNumberFormat(kEnUs, "GetNumberFormatW(0x409,\"1234.5\",NULL,cch " + Number(cch) + ")",
                          W("1234.5"), nullptr, cch);
        ProbeCurrencyFormat(kEnUs,
                            "GetCurrencyFormatW(0x409,\"1234.5\",NULL,cch " + Number(cch) + ")",
                            W("1234.5"), nullptr, cch);
    }
    {
        SetLastError(kUntouchedError);
        const int written = GetNumberFormatW(kEnUs, 0, W("1"), nullptr, nullptr, 10);
        Line("GetNumberFormatW(0x409,\"1\",NULL,out NULL,cch 10)",
             UnitsResult(written, nullptr, false));
    }
    {
        SetLastError(kUntouchedError);
        const int written = GetNumberFormatW(kEnUs, 0, nullptr, nullptr, buffer, kBufferUnits);
        Line("GetNumberFormatW(0x409,value NULL)", UnitsResult(written, buffer));
    }
    ProbeNumberFormat(kNoLocale, "GetNumberFormatW(no locale,\"1\",NULL)", W("1"), nullptr);
    ProbeCurrencyFormat(kNoLocale, "GetCurrencyFormatW(no locale,\"1\",NULL)", W("1"), nullptr);
}

// ---- Dates and times ------------------------------------------------------------------------

struct Moment {
    const char* name;
    SYSTEMTIME st;
};

// wDayOfWeek is deliberately wrong in some: the formatters must recompute or ignore it.
const Moment kMoments[] = {
    {"2024-03-05 14:07:09", {2024, 3, 0, 5, 14, 7, 9, 0}},
    {"2002-05-04 08:56:13", {2002, 5, 6, 4, 8, 56, 13, 0}},
    {"2005-01-01 00:05:03", {2005, 1, 6, 1, 0, 5, 3, 0}},
    {"2000-02-29 12:00:00", {2000, 2, 2, 29, 12, 0, 0, 0}},
    {"1601-01-01 23:59:59", {1601, 1, 1, 1, 23, 59, 59, 999}},
    {"30827-12-31 11:59:00", {30827, 12, 0, 31, 11, 59, 0, 0}},
};

const Moment kBadMoments[] = {
    {"2023-02-29", {2023, 2, 0, 29, 0, 0, 0, 0}},
    {"2024-13-01", {2024, 13, 0, 1, 0, 0, 0, 0}},
    {"2024-00-10", {2024, 0, 0, 10, 0, 0, 0, 0}},
    {"2024-04-31", {2024, 4, 0, 31, 0, 0, 0, 0}},
    {"1600-12-31", {1600, 12, 0, 31, 0, 0, 0, 0}},
    {"2024-03-00", {2024, 3, 0, 0, 0, 0, 0, 0}},
    {"2024-03-05 24:00", {2024, 3, 2, 5, 24, 0, 0, 0}},
    {"2024-03-05 12:60", {2024, 3, 2, 5, 12, 60, 0, 0}},
    {"2024-03-05 12:00:60", {2024, 3, 2, 5, 12, 0, 60, 0}},
    {"2024-03-05 12:00:00.1000", {2024, 3, 2, 5, 12, 0, 0, 1000}},
};

void ProbeDate(LCID lcid, DWORD flags, const Moment& moment, const WCHAR* picture,
               int cch = kBufferUnits) {
    WCHAR buffer[kBufferUnits];
    SetLastError(kUntouchedError);
    const int written = GetDateFormatW(lcid, flags, &moment.st, picture, buffer, cch);
    Line("GetDateFormatW(" + LcidText(lcid) + "," + Hex(flags) + "," + moment.name + "," +
             Quoted(picture) + (cch != kBufferUnits ? ",cch " + Number(cch) : "") + ")",
         UnitsResult(written, buffer, cch > 0));
}

void ProbeTime(LCID lcid, DWORD flags, const Moment& moment, const WCHAR* picture,
               int cch = kBufferUnits) {
    WCHAR buffer[kBufferUnits];
    SetLastError(kUntouchedError);
    const int written = GetTimeFormatW(lcid, flags, &moment.st, picture, buffer, cch);
    Line("GetTimeFormatW(" + LcidText(lcid) + "," + Hex(flags) + "," + moment.name + "," +
             Quoted(picture) + (cch != kBufferUnits ? ",cch " + Number(cch) : "") + ")",
         UnitsResult(written, buffer, cch > 0));
}

void ProbeDatesAndTimes() {
    // The locales' own pictures, as the export's date stamp uses them (a null picture).
    for (LCID lcid : kLocales) {
        for (const Moment& moment : kMoments) {
            for (DWORD flags : {0u, 1u, 2u, 8u}) {
                ProbeDate(lcid, flags, moment, nullptr);
            }
            for (DWORD flags : {0u, 1u, 2u, 3u, 4u, 8u, 6u, 12u}) {
                ProbeTime(lcid, flags, moment, nullptr);
            }
        }
    }
    // Picture letters and literals.
    const Moment& afternoon = kMoments[0];
    const Moment& morning = kMoments[1];
    const Moment& midnight = kMoments[2];
    for (LCID lcid : {0x0409u, 0x0416u, 0x0407u}) {
        for (const WCHAR* picture : {W("d"),
                                     W("dd"),
                                     W("ddd"),
                                     W("dddd"),
                                     W("ddddd"),
                                     W("M"),
                                     W("MM"),
                                     W("MMM"),
                                     W("MMMM"),
                                     W("MMMMM"),
                                     W("y"),
                                     W("yy"),
                                     W("yyy"),
                                     W("yyyy"),
                                     W("yyyyy"),
                                     W("g"),
                                     W("gg"),
                                     W("'lit'eral"),
                                     W("''"),
                                     W("'it''s'"),
                                     W("'open"),
                                     W("dd/MM/yyyy"),
                                     W("dddd, d 'de' MMMM 'de' yyyy"),
                                     W("D m Y h"),
                                     W("")}) {
            ProbeDate(lcid, 0, afternoon, picture);
        }
        for (const WCHAR* picture :
             {W("h"), W("hh"), W("hhh"), W("H"), W("HH"), W("m"), W("mm"), W("s"), W("ss"), W("t"),
              W("tt"), W("''''"), W("'''HHHHHH'"), W("h:mm:ss tt"), W("HH:mm:ss"), W("M S d y"),
              W("tt h"), W("")}) {
            ProbeTime(lcid, 0, afternoon, picture);
            ProbeTime(lcid, 0, morning, picture);
            ProbeTime(lcid, 0, midnight, picture);
        }
        // Flags together with pictures.
        for (DWORD flags : {1u, 2u, 4u, 8u}) {
            for (const WCHAR* picture : {W("h:mm:ss tt"), W("tt hh:mm:ss"), W("HH'h'mm")}) {
                ProbeTime(lcid, flags, afternoon, picture);
            }
        }
        // The cases of the Windows-tested time pictures: dropped fields take their
        // separators along, repeated letters, quotes.
        struct TimeCase {
            DWORD flags;
            const WCHAR* picture;
        };
        for (const TimeCase& c :
             {TimeCase{8, W("tt HH':'mm'@'ss")}, TimeCase{1, W("m1s2m3s4")},
              TimeCase{2, W("h:m:s tt")}, TimeCase{2, W("h.@:m.@:s.@:tt")},
              TimeCase{2, W("s1s2s3")}, TimeCase{0, W("t/tt")}, TimeCase{4, W("h1t2tt3m")},
              TimeCase{8, W("h:m:s tt")}, TimeCase{8, W("h:m:s")}, TimeCase{0, W("h/H/hh/HH")},
              TimeCase{0, W("h:hh:hhh H:HH:HHH m:mm:mmm M:MM:MMM s:ss:sss S:SS:SSS")},
              TimeCase{0, W("h 'h' H 'H' HH 'HH' m 'm' s 's' t 't' tt 'tt'")},
              TimeCase{0, W("'''")}, TimeCase{0, W("''HHHHHH")}, TimeCase{0, W("'''HHHHHH")},
              TimeCase{4, W("'123'tt")}, TimeCase{0x80000000, W("HH")},
              TimeCase{0x80000008, W("HH")}}) {
            ProbeTime(lcid, c.flags, afternoon, c.picture);
            ProbeTime(lcid, c.flags, morning, c.picture);
            ProbeTime(lcid, c.flags, midnight, c.picture);
        }
        for (const WCHAR* picture : {W("ddd',' MMM dd yy"), W("ddd',' MMM dd ''''yy"),
                                     W("dddd d MMMM yyyy"), W("m/d/y")}) {
            ProbeDate(lcid, 0, morning, picture);
            ProbeDate(lcid, 0x80000000, morning, picture);
            ProbeDate(lcid, 8, morning, picture);
        }
        ProbeDate(lcid, 0x80000000, morning, nullptr);
        ProbeDate(lcid, 0x80000002, morning, nullptr);
        ProbeDate(lcid, 0x80000008, morning, nullptr);
        ProbeTime(lcid, 0x80000000, morning, nullptr);
        ProbeTime(lcid, 0x80000002, morning, nullptr);
    }
    // The export's date stamp: the user's locale, its own pictures.
    for (const Moment& moment : kMoments) {
        ProbeDate(0x0400, 0, moment, nullptr);
        ProbeTime(0x0400, 0, moment, nullptr);
    }
    // Failures: bad dates and times, flags with a picture, unknown flags, sizes.
    for (const Moment& bad : kBadMoments) {
        ProbeDate(0x0409, 0, bad, nullptr);
        ProbeTime(0x0409, 0, bad, nullptr);
    }
    ProbeDate(0x0409, 1, afternoon, W("dd"));
    ProbeDate(0x0409, 3, afternoon, nullptr);
    ProbeDate(0x0409, 0x100, afternoon, nullptr);
    ProbeTime(0x0409, 0x100, afternoon, nullptr);
    for (int cch : {0, 8, 9, -1}) {
        ProbeDate(0x0409, 0, afternoon, nullptr, cch);
        ProbeTime(0x0409, 0, afternoon, W("h:mm:ss"), cch);
    }
    ProbeDate(kNoLocale, 0, afternoon, nullptr);
    ProbeTime(kNoLocale, 0, afternoon, nullptr);
}

// ---- SYSTEMTIME, FILETIME and DATE ----------------------------------------------------------

ULONGLONG Ticks(const FILETIME& ft) {
    return (static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

void ProbeFileTimes() {
    for (const Moment& moment : kMoments) {
        FILETIME ft{0xAAAA, 0xAAAA};
        SetLastError(kUntouchedError);
        const BOOL done = SystemTimeToFileTime(&moment.st, &ft);
        Line("SystemTimeToFileTime(" + std::string(moment.name) + ")",
             done ? "TRUE " + Number(static_cast<long long>(Ticks(ft)))
                  : "FALSE error " + Number(GetLastError()));
    }
    for (const Moment& bad : kBadMoments) {
        FILETIME ft{0xAAAA, 0xAAAA};
        SetLastError(kUntouchedError);
        const BOOL done = SystemTimeToFileTime(&bad.st, &ft);
        Line("SystemTimeToFileTime(" + std::string(bad.name) + ")",
             done ? "TRUE " + Number(static_cast<long long>(Ticks(ft)))
                  : "FALSE error " + Number(GetLastError()) + " untouched " +
                        Number(Ticks(ft) == 0x0000AAAA0000AAAAull));
    }
    for (ULONGLONG ticks : {0ull, 1ull, 9999999ull, 116444736000000000ull, 133541680290000000ull,
                            0x7FFFFFFFFFFFFFFFull, 0x8000000000000000ull, 0xFFFFFFFFFFFFFFFFull}) {
        const FILETIME ft{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
        SYSTEMTIME st{};
        SetLastError(kUntouchedError);
        const BOOL done = FileTimeToSystemTime(&ft, &st);
        Line("FileTimeToSystemTime(" + Hex(ticks) + ")",
             done ? "TRUE " + SystemTimeText(st) : "FALSE error " + Number(GetLastError()));
    }
}

// DATE <-> calendar time, the conversion under the VT_DATE conversions. Windows has it as
// SystemTimeToVariantTime and VariantTimeToSystemTime; the platform layer as DateFromParts and
// PartsFromDate (whole seconds, no milliseconds and no day of the week).
#ifdef _WIN32
bool ToDate(const SYSTEMTIME& st, DATE* date) {
    SYSTEMTIME copy = st;
    return SystemTimeToVariantTime(&copy, date) != 0;
}

bool FromDate(DATE date, SYSTEMTIME* st) {
    return VariantTimeToSystemTime(date, st) != 0;
}
#else
bool ToDate(const SYSTEMTIME& st, DATE* date) {
    const DateParts parts{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
    return DateFromParts(parts, date);
}

bool FromDate(DATE date, SYSTEMTIME* st) {
    DateParts parts;
    if (!PartsFromDate(date, &parts)) {
        return false;
    }
    *st = SYSTEMTIME{};
    st->wYear = static_cast<WORD>(parts.year);
    st->wMonth = static_cast<WORD>(parts.month);
    st->wDay = static_cast<WORD>(parts.day);
    st->wHour = static_cast<WORD>(parts.hour);
    st->wMinute = static_cast<WORD>(parts.minute);
    st->wSecond = static_cast<WORD>(parts.second);
    return true;
}
#endif

std::string CalendarText(const SYSTEMTIME& st) {
    char text[48];
    std::snprintf(text, sizeof text, "%u-%u-%u %u:%u:%u", st.wYear, st.wMonth, st.wDay, st.wHour,
                  st.wMinute, st.wSecond);
    return text;
}

void ProbeDates() {
    const Moment moments[] = {
        {"1899-12-30 00:00:00", {1899, 12, 0, 30, 0, 0, 0, 0}},
        {"1899-12-31 00:00:00", {1899, 12, 0, 31, 0, 0, 0, 0}},
        {"1900-01-01 06:00:00", {1900, 1, 0, 1, 6, 0, 0, 0}},
        {"1899-12-29 06:00:00", {1899, 12, 0, 29, 6, 0, 0, 0}},
        {"2024-03-05 14:07:09", {2024, 3, 0, 5, 14, 7, 9, 0}},
        {"0100-01-01 00:00:00", {100, 1, 0, 1, 0, 0, 0, 0}},
        {"9999-12-31 23:59:59", {9999, 12, 0, 31, 23, 59, 59, 0}},
        {"0099-12-31 00:00:00", {99, 12, 0, 31, 0, 0, 0, 0}},
        {"10000-01-01 00:00:00", {10000, 1, 0, 1, 0, 0, 0, 0}},
        {"2024-02-30 00:00:00", {2024, 2, 0, 30, 0, 0, 0, 0}},
        {"2024-03-05 25:00:00", {2024, 3, 0, 5, 25, 0, 0, 0}},
    };
    for (const Moment& moment : moments) {
        DATE date = -12345.0;
        const bool done = ToDate(moment.st, &date);
        Line("SystemTimeToVariantTime(" + std::string(moment.name) + ")",
             done ? "TRUE " + Real(date) : "FALSE");
    }
    for (double date :
         {0.0, 1.0, 2.25, 5.875, -1.0, -1.25, -0.5, 0.5, 45356.58829861111, 45356.999999,
          45356.99999999, 2958465.9999884, 2958466.0, -657434.0, -657435.0}) {
        SYSTEMTIME st{};
        const bool done = FromDate(date, &st);
        Line("VariantTimeToSystemTime(" + Real(date) + ")",
             done ? "TRUE " + CalendarText(st) : "FALSE");
    }
}

}  // namespace

int main() {
#ifdef _WIN32
    // One "\n" per line, as on Linux.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    ProbeBstr();
    ProbeVariantChangeType();
    ProbeVariantClearCopy();
    ProbeLocaleInfo();
    ProbeLocaleNumberFormats();
    ProbeAmountFormats();
    ProbeFormatRules();
    ProbeDatesAndTimes();
    ProbeFileTimes();
    ProbeDates();
    return 0;
}
