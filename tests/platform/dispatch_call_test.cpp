// Invoke by DISPID: the arguments reach the callee last first, a put names its value, the
// arguments are cleared after the call whatever it answers, and a by-reference target stays
// the caller's.
#include "platform/dispatch_call.h"

#include <gtest/gtest.h>

#include "tests/com/com_test_support.h"

namespace {

using platform::Invoke;
using test_variants::BstrRef;
using test_variants::ByRef;
using test_variants::Dispatch;
using test_variants::I4;
using test_variants::Text;

TEST(DispatchCallTest, FlagsDecideTheNamedArgument) {
    struct Row {
        WORD flags;
        std::vector<DISPID> named;
    };
    const Row rows[] = {
        {DISPATCH_METHOD, {}},
        {DISPATCH_PROPERTYGET, {}},
        {DISPATCH_PROPERTYPUT, {DISPID_PROPERTYPUT}},
        {DISPATCH_PROPERTYPUTREF, {DISPID_PROPERTYPUT}},
    };
    for (const Row& row : rows) {
        com_test::RecordingDispatch callee;
        ASSERT_EQ(Invoke(&callee, 12, row.flags, {I4(5)}), S_OK) << row.flags;
        ASSERT_EQ(callee.calls.size(), 1u);
        EXPECT_EQ(callee.calls[0].dispid, 12);
        EXPECT_EQ(callee.calls[0].flags, row.flags);
        EXPECT_EQ(callee.calls[0].named, row.named) << row.flags;
    }
}

TEST(DispatchCallTest, ArgumentsArriveInTheirOrderAndResultIsKept) {
    com_test::RecordingDispatch callee;
    callee.result = 42;
    Variant result(Text("stale"));  // cleared before the call
    const long live = SysLiveStringCount() - 1;
    ASSERT_EQ(Invoke(&callee, 3, DISPATCH_METHOD, {I4(1), Text("two"), I4(3)}, &result), S_OK);
    ASSERT_EQ(callee.calls.size(), 1u);
    const com_test::RecordedCall& call = callee.calls[0];
    ASSERT_EQ(call.args.size(), 3u);
    EXPECT_EQ(call.args[0].lVal, 1);
    EXPECT_EQ(BstrToUtf8(call.args[1].bstrVal), "two");
    EXPECT_EQ(call.args[2].lVal, 3);
    EXPECT_TRUE(call.wantedResult);
    EXPECT_EQ(result.Type(), VT_I4);
    EXPECT_EQ(result.Get().lVal, 42);
    EXPECT_EQ(SysLiveStringCount(), live + 1);  // only the callee's recorded copy of "two"
}

TEST(DispatchCallTest, NoResultHolderTellsTheCalleeNoneIsWanted) {
    com_test::RecordingDispatch callee;
    ASSERT_EQ(Invoke(&callee, 3, DISPATCH_METHOD, {}), S_OK);
    ASSERT_EQ(callee.calls.size(), 1u);
    EXPECT_FALSE(callee.calls[0].wantedResult);
}

// The arguments are freed on failure too: texts and interface references alike.
TEST(DispatchCallTest, ArgumentsAreClearedWhateverTheCallAnswers) {
    for (const HRESULT answer : {S_OK, DISP_E_TYPEMISMATCH, DISP_E_EXCEPTION}) {
        com_test::RecordingDispatch partner;  // outlives the callee's record of it
        com_test::RecordingDispatch callee;
        callee.failure = answer;
        const long live = SysLiveStringCount();
        EXPECT_EQ(Invoke(&callee, 9, DISPATCH_METHOD, {Text("grade"), Dispatch(&partner)}), answer);
        // Only the callee's recorded copies are left: one text, one reference.
        EXPECT_EQ(SysLiveStringCount(), live + 1) << answer;
        EXPECT_EQ(partner.refs, 2u) << answer;
    }
}

// A by-reference BSTR: what the callee leaves in the slot is the caller's to free.
TEST(DispatchCallTest, ByReferenceTargetsStayTheCallers) {
    com_test::RecordingDispatch callee;
    callee.fillLong = 77;
    LONG count = 0;
    BSTR name = BstrFromUtf8("before");
    ASSERT_EQ(Invoke(&callee, 10, DISPATCH_METHOD, {I4(3), ByRef(VT_I4, &count), BstrRef(&name)}),
              S_OK);
    EXPECT_EQ(count, 77);
    EXPECT_EQ(BstrToUtf8(name), "before");  // untouched by the clearing of the arguments
    SysFreeString(name);
}

// Exception details go to the caller when asked for, and are freed here otherwise.
TEST(DispatchCallTest, ExceptionDetailsReachTheCallerOrAreFreed) {
    com_test::RecordingDispatch callee;
    callee.failure = DISP_E_EXCEPTION;
    callee.description = "pump busy";
    const long live = SysLiveStringCount();
    EXCEPINFO info{};
    EXPECT_EQ(Invoke(&callee, 22, DISPATCH_METHOD, {}, nullptr, &info), DISP_E_EXCEPTION);
    EXPECT_EQ(BstrToUtf8(info.bstrDescription), "pump busy");
    ClearExcepInfo(&info);
    EXPECT_EQ(Invoke(&callee, 22, DISPATCH_METHOD, {}), DISP_E_EXCEPTION);
    EXPECT_EQ(SysLiveStringCount(), live);
}

}  // namespace
