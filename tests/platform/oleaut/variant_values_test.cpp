// VARIANT builders: the type and value each one sets, and who owns what it holds.
#include "platform/variant_values.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "tests/com/com_test_support.h"

namespace {

namespace variants = platform::variants;

// Each by-value builder's type, and its value read back through VariantChangeType to VT_BSTR.
TEST(VariantValuesTest, ByValueBuildersSetTypeAndValue) {
    struct Row {
        const char* what;
        std::function<VARIANT()> build;
        VARTYPE type;
        std::string text;
    };
    const Row rows[] = {
        {"I2", [] { return variants::I2(-32768); }, VT_I2, "-32768"},
        {"I4", [] { return variants::I4(2147483647); }, VT_I4, "2147483647"},
        {"I4 negative", [] { return variants::I4(-1); }, VT_I4, "-1"},
        {"R8", [] { return variants::R8(1.25); }, VT_R8, "1.25"},
        {"R8 as a date", [] { return variants::R8(46000.5, VT_DATE); }, VT_DATE,
         "2025-12-09 12:00:00"},
        {"Date", [] { return variants::Date(2.0); }, VT_DATE, "1900-01-01"},
        {"Text", [] { return variants::Text("Süper 98"); }, VT_BSTR, "Süper 98"},
        {"Text empty", [] { return variants::Text(""); }, VT_BSTR, ""},
    };
    for (const Row& row : rows) {
        VARIANT value = row.build();
        EXPECT_EQ(value.vt, row.type) << row.what;
        VARIANT text;
        VariantInit(&text);
        ASSERT_EQ(VariantChangeType(&text, &value, 0, VT_BSTR), S_OK) << row.what;
        EXPECT_EQ(BstrToUtf8(text.bstrVal), row.text) << row.what;
        EXPECT_EQ(VariantClear(&text), S_OK);
        EXPECT_EQ(VariantClear(&value), S_OK) << row.what;
    }
}

TEST(VariantValuesTest, TextOwnsItsStringUntilCleared) {
    const long live = SysLiveStringCount();
    VARIANT text = variants::Text("grade");
    ASSERT_NE(text.bstrVal, nullptr);
    EXPECT_EQ(SysLiveStringCount(), live + 1);
    EXPECT_EQ(VariantClear(&text), S_OK);
    EXPECT_EQ(SysLiveStringCount(), live);
    EXPECT_EQ(text.vt, VT_EMPTY);
}

// A by-reference BSTR owns neither slot nor text: clearing it leaves both to the caller, and
// what a callee leaves in the slot is read through it.
TEST(VariantValuesTest, BstrRefOwnsNothing) {
    const long live = SysLiveStringCount();
    BSTR name = BstrFromUtf8("hose");
    VARIANT ref = variants::BstrRef(&name);
    EXPECT_EQ(ref.vt, VT_BYREF | VT_BSTR);
    EXPECT_EQ(ref.pbstrVal, &name);
    SysFreeString(*ref.pbstrVal);  // as a callee replacing the text
    *ref.pbstrVal = BstrFromUtf8("pump");
    EXPECT_EQ(VariantClear(&ref), S_OK);
    EXPECT_EQ(SysLiveStringCount(), live + 1);
    EXPECT_EQ(BstrToUtf8(name), "pump");
    SysFreeString(name);
    EXPECT_EQ(SysLiveStringCount(), live);
}

TEST(VariantValuesTest, ByRefPointsAtItsTarget) {
    LONG count = 0;
    SHORT state = 0;
    VARIANT longRef = variants::ByRef(VT_I4, &count);
    VARIANT shortRef = variants::ByRef(VT_I2, &state);
    EXPECT_EQ(longRef.vt, VT_BYREF | VT_I4);
    EXPECT_EQ(shortRef.vt, VT_BYREF | VT_I2);
    *longRef.plVal = 7;
    *shortRef.piVal = 3;
    EXPECT_EQ(count, 7);
    EXPECT_EQ(state, 3);
    EXPECT_EQ(VariantClear(&longRef), S_OK);
    EXPECT_EQ(count, 7);  // the target is untouched by the clear
}

// Dispatch takes a reference of its own and the clear gives it back; a null one is allowed.
TEST(VariantValuesTest, DispatchHoldsAReference) {
    com_test::RecordingDispatch object;
    const ULONG before = object.refs;
    VARIANT value = variants::Dispatch(&object);
    EXPECT_EQ(value.vt, VT_DISPATCH);
    EXPECT_EQ(value.pdispVal, &object);
    EXPECT_EQ(object.refs, before + 1);
    EXPECT_EQ(VariantClear(&value), S_OK);
    EXPECT_EQ(object.refs, before);

    VARIANT none = variants::Dispatch(nullptr);
    EXPECT_EQ(none.vt, VT_DISPATCH);
    EXPECT_EQ(none.pdispVal, nullptr);
    EXPECT_EQ(VariantClear(&none), S_OK);
}

}  // namespace
