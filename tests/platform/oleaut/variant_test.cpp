// VARIANT lifetime, copying and conversion; automation DATE encoding.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "platform/com.h"
#include "platform/variant.h"
#include "tests/support/automation_values.h"

namespace {

using test_variants::Date;
using test_variants::R8;
using test_variants::Text;

TEST(VariantTest, LayoutIsTheWindowsOne) {
    EXPECT_EQ(sizeof(VARIANT), 24u);
    EXPECT_EQ(offsetof(VARIANT, lVal), 8u);
}

TEST(VariantTest, ClearFreesOwnedStringAndLeavesByRefReferent) {
    const long live = SysLiveStringCount();
    VARIANT v = Text("pump");
    EXPECT_EQ(VariantClear(&v), S_OK);
    EXPECT_EQ(v.vt, VT_EMPTY);
    EXPECT_EQ(SysLiveStringCount(), live);

    BSTR kept = BstrFromUtf8("kept");
    VARIANT ref;
    VariantInit(&ref);
    ref.vt = VT_BYREF | VT_BSTR;
    ref.pbstrVal = &kept;
    EXPECT_EQ(VariantClear(&ref), S_OK);
    EXPECT_EQ(BstrToUtf8(kept), "kept");
    SysFreeString(kept);

    VARIANT bad;
    VariantInit(&bad);
    bad.vt = 0x0FF0;
    EXPECT_EQ(VariantClear(&bad), DISP_E_BADVARTYPE);
}

TEST(VariantTest, CopyDuplicatesStringsWithEmbeddedZeros) {
    const OLECHAR units[] = {u'a', 0, u'b'};
    VARIANT src;
    VariantInit(&src);
    src.vt = VT_BSTR;
    src.bstrVal = SysAllocStringLen(units, 3);
    VARIANT dest = R8(1.0);
    ASSERT_EQ(VariantCopy(&dest, &src), S_OK);
    EXPECT_NE(dest.bstrVal, src.bstrVal);
    EXPECT_EQ(SysStringLen(dest.bstrVal), 3u);
    EXPECT_EQ(dest.bstrVal[2], u'b');
    EXPECT_EQ(VariantCopy(&src, &src), S_OK);  // onto itself: nothing happens
    VariantClear(&src);
    VariantClear(&dest);
}

TEST(VariantTest, CopyIndDereferences) {
    LONG value = 42;
    VARIANT ref;
    VariantInit(&ref);
    ref.vt = VT_BYREF | VT_I4;
    ref.plVal = &value;
    VARIANT out;
    VariantInit(&out);
    ASSERT_EQ(VariantCopyInd(&out, &ref), S_OK);
    EXPECT_EQ(out.vt, VT_I4);
    EXPECT_EQ(out.lVal, 42);

    VARIANT inner = Text("inside");
    VARIANT refVariant;
    VariantInit(&refVariant);
    refVariant.vt = VT_BYREF | VT_VARIANT;
    refVariant.pvarVal = &inner;
    ASSERT_EQ(VariantCopyInd(&out, &refVariant), S_OK);
    EXPECT_EQ(out.vt, VT_BSTR);
    EXPECT_EQ(BstrToUtf8(out.bstrVal), "inside");
    VariantClear(&out);
    VariantClear(&inner);
}

struct ChangeCase {
    const char* name;
    VARIANT (*make)();
    VARTYPE to;
    HRESULT hr;
    const char* text;  // the result as text (VT_BSTR conversion of the result), when S_OK
};

const ChangeCase kChangeCases[] = {
    {"R8 2.5 to I2 rounds to even", [] { return R8(2.5); }, VT_I2, S_OK, "2"},
    {"R8 3.5 to I4 rounds to even", [] { return R8(3.5); }, VT_I4, S_OK, "4"},
    {"R8 -2.5 to I4 rounds to even", [] { return R8(-2.5); }, VT_I4, S_OK, "-2"},
    {"R8 32767.5 to I2 overflows", [] { return R8(32767.5); }, VT_I2, DISP_E_OVERFLOW, ""},
    {"R8 -32768 to I2 fits", [] { return R8(-32768); }, VT_I2, S_OK, "-32768"},
    {"R8 2^31 to I4 overflows", [] { return R8(2147483648.0); }, VT_I4, DISP_E_OVERFLOW, ""},
    {"text with blanks to I4", [] { return Text("  -17 "); }, VT_I4, S_OK, "-17"},
    {"text 1e3 to I2", [] { return Text("1e3"); }, VT_I2, S_OK, "1000"},
    {"text abc to I4 mismatches", [] { return Text("abc"); }, VT_I4, DISP_E_TYPEMISMATCH, ""},
    {"empty text to R8 mismatches", [] { return Text(""); }, VT_R8, DISP_E_TYPEMISMATCH, ""},
    {"text 0.1 to R8 and back", [] { return Text("0.1"); }, VT_R8, S_OK, "0.1"},
    {"R8 1/3 prints 15 digits", [] { return R8(1.0 / 3.0); }, VT_R8, S_OK, "0.333333333333333"},
    {"text True to BOOL", [] { return Text("true"); }, VT_BOOL, S_OK, "-1"},
    {"text 0 to BOOL", [] { return Text("0"); }, VT_BOOL, S_OK, "0"},
    {"R8 0.5 to BOOL is true", [] { return R8(0.5); }, VT_BOOL, S_OK, "-1"},
    {"text date to DATE", [] { return Text("2013-03-06 11:41:18"); }, VT_DATE, S_OK,
     "2013-03-06 11:41:18"},
    {"text date only", [] { return Text("1900-01-01"); }, VT_DATE, S_OK, "1900-01-01"},
    {"text time only", [] { return Text("06:00"); }, VT_DATE, S_OK, "06:00:00"},
    {"text Feb 30 mismatches", [] { return Text("2013-02-30"); }, VT_DATE, DISP_E_TYPEMISMATCH, ""},
    {"R8 beyond 9999 to DATE overflows", [] { return R8(2958466.0); }, VT_DATE, DISP_E_OVERFLOW,
     ""},
    {"DATE -1.25 is 1899-12-29 06:00", [] { return Date(-1.25); }, VT_BSTR, S_OK,
     "1899-12-29 06:00:00"},
    {"DATE 2.25 is 1900-01-01 06:00", [] { return Date(2.25); }, VT_BSTR, S_OK,
     "1900-01-01 06:00:00"},
    {"DATE -0.5 and 0.5 are both noon", [] { return Date(-0.5); }, VT_BSTR, S_OK, "12:00:00"},
    {"EMPTY to I4 is 0",
     [] {
         VARIANT v;
         VariantInit(&v);
         return v;
     },
     VT_I4, S_OK, "0"},
    {"NULL to I4 mismatches",
     [] {
         VARIANT v;
         VariantInit(&v);
         v.vt = VT_NULL;
         return v;
     },
     VT_I4, DISP_E_TYPEMISMATCH, ""},
    {"I4 to DISPATCH mismatches",
     [] {
         VARIANT v;
         VariantInit(&v);
         v.vt = VT_I4;
         return v;
     },
     VT_DISPATCH, DISP_E_TYPEMISMATCH, ""},
    {"to an unsupported type", [] { return R8(1); }, VT_R4, DISP_E_BADVARTYPE, ""},
};

TEST(VariantTest, ChangeTypeTable) {
    for (const ChangeCase& c : kChangeCases) {
        SCOPED_TRACE(c.name);
        VARIANT src = c.make();
        VARIANT dest = R8(99.0);  // a failure leaves it untouched
        const HRESULT hr = VariantChangeType(&dest, &src, 0, c.to);
        EXPECT_EQ(hr, c.hr);
        if (SUCCEEDED(hr)) {
            EXPECT_EQ(dest.vt, c.to);
            VARIANT text;
            VariantInit(&text);
            ASSERT_EQ(VariantChangeType(&text, &dest, 0, VT_BSTR), S_OK);
            EXPECT_EQ(BstrToUtf8(text.bstrVal), c.text);
            VariantClear(&text);
        } else {
            EXPECT_EQ(dest.vt, VT_R8);
            EXPECT_EQ(dest.dblVal, 99.0);
        }
        VariantClear(&src);
        VariantClear(&dest);
    }
}

TEST(VariantTest, ChangeTypeInPlaceAndByReference) {
    VARIANT v = Text("12");
    ASSERT_EQ(VariantChangeType(&v, &v, 0, VT_I2), S_OK);
    EXPECT_EQ(v.vt, VT_I2);
    EXPECT_EQ(v.iVal, 12);

    SHORT value = -3;
    VARIANT ref;
    VariantInit(&ref);
    ref.vt = VT_BYREF | VT_I2;
    ref.piVal = &value;
    VARIANT out;
    VariantInit(&out);
    ASSERT_EQ(VariantChangeType(&out, &ref, 0, VT_BSTR), S_OK);
    EXPECT_EQ(BstrToUtf8(out.bstrVal), "-3");
    VariantClear(&out);
}

TEST(VariantTest, BoolToTextFollowsAlphaBoolFlag) {
    VARIANT b;
    VariantInit(&b);
    b.vt = VT_BOOL;
    b.boolVal = VARIANT_TRUE;
    VARIANT out;
    VariantInit(&out);
    ASSERT_EQ(VariantChangeType(&out, &b, 0, VT_BSTR), S_OK);
    EXPECT_EQ(BstrToUtf8(out.bstrVal), "-1");
    ASSERT_EQ(VariantChangeType(&out, &b, VARIANT_ALPHABOOL, VT_BSTR), S_OK);
    EXPECT_EQ(BstrToUtf8(out.bstrVal), "True");
    VariantClear(&out);
}

TEST(VariantTest, DateEncodingFollowsTheWindowsRules) {
    struct Row {
        DateParts parts;
        double date;
    };
    const Row rows[] = {
        {{1899, 12, 31, 0, 0, 0}, 1.0},   {{1900, 1, 1, 6, 0, 0}, 2.25},
        {{1900, 1, 4, 21, 0, 0}, 5.875},  {{1899, 12, 29, 0, 0, 0}, -1.0},
        {{1899, 12, 29, 6, 0, 0}, -1.25}, {{100, 1, 1, 0, 0, 0}, -657434.0},
    };
    for (const Row& row : rows) {
        DATE date = 0;
        ASSERT_TRUE(DateFromParts(row.parts, &date));
        EXPECT_DOUBLE_EQ(date, row.date);
        DateParts back;
        ASSERT_TRUE(PartsFromDate(row.date, &back));
        EXPECT_EQ(back.year, row.parts.year);
        EXPECT_EQ(back.day, row.parts.day);
        EXPECT_EQ(back.hour, row.parts.hour);
    }
    DATE untouched = 7;
    EXPECT_FALSE(DateFromParts({2023, 2, 29, 0, 0, 0}, &untouched));
    EXPECT_FALSE(DateFromParts({99, 12, 31, 0, 0, 0}, &untouched));
    EXPECT_EQ(untouched, 7);
    DateParts parts;
    EXPECT_FALSE(PartsFromDate(std::nan(""), &parts));
    // 23:59:59.9 rounds into the next day.
    ASSERT_TRUE(PartsFromDate(1.0 + 86399.9 / 86400.0, &parts));
    EXPECT_EQ(parts.day, 1);
    EXPECT_EQ(parts.month, 1);
    EXPECT_EQ(parts.hour, 0);
}

TEST(VariantTest, Utf8RoundTripAndInvalidBytes) {
    BSTR text = BstrFromUtf8("a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
    EXPECT_EQ(SysStringLen(text), 5u);  // a, é, €, and a surrogate pair
    EXPECT_EQ(BstrToUtf8(text), "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
    SysFreeString(text);
    text = BstrFromUtf8("\xF8z");
    EXPECT_EQ(BstrToUtf8(text), "\xEF\xBF\xBDz");
    SysFreeString(text);
    text = BstrFromUtf8("x\xC0\xAFy\xED\xA0\x80");
    EXPECT_EQ(BstrToUtf8(text), "x\xEF\xBF\xBD\xEF\xBF\xBDy\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
    SysFreeString(text);
}

}  // namespace
