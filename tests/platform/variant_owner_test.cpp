// Variant: the owning VARIANT holder clears what it holds once, on every way out, and gives it
// up only when asked.
#include "platform/variant_owner.h"

#include <gtest/gtest.h>

#include <utility>

#include "tests/com/com_test_support.h"

namespace {

using test_variants::BstrRef;
using test_variants::Dispatch;
using test_variants::I4;
using test_variants::Text;

TEST(VariantOwnerTest, HeldTextIsFreedOnceOnEveryWayOut) {
    const long live = SysLiveStringCount();
    {
        Variant text(Text("pump"));
        EXPECT_EQ(SysLiveStringCount(), live + 1);
        Variant moved = std::move(text);
        EXPECT_EQ(text.Type(), VT_EMPTY);  // NOLINT(bugprone-use-after-move): left empty
        EXPECT_EQ(SysLiveStringCount(), live + 1);
        moved = Variant(Text("hose"));  // "pump" freed by the assignment
        EXPECT_EQ(SysLiveStringCount(), live + 1);
        EXPECT_EQ(BstrToUtf8(moved.Get().bstrVal), "hose");
    }
    EXPECT_EQ(SysLiveStringCount(), live);
}

TEST(VariantOwnerTest, OutClearsFirstAndKeepsWhatTheCallWrites) {
    const long live = SysLiveStringCount();
    Variant value(Text("grade"));
    VARIANT* slot = value.Out();
    EXPECT_EQ(SysLiveStringCount(), live);
    EXPECT_EQ(slot->vt, VT_EMPTY);
    *slot = Text("tank");
    EXPECT_EQ(value.Type(), VT_BSTR);
    value.Release();
    EXPECT_EQ(value.Type(), VT_EMPTY);
    EXPECT_EQ(SysLiveStringCount(), live);
}

TEST(VariantOwnerTest, DetachHandsTheValueOver) {
    const long live = SysLiveStringCount();
    Variant value(Text("nozzle"));
    VARIANT raw = value.Detach();
    EXPECT_EQ(value.Type(), VT_EMPTY);
    EXPECT_EQ(raw.vt, VT_BSTR);
    EXPECT_EQ(SysLiveStringCount(), live + 1);
    EXPECT_EQ(VariantClear(&raw), S_OK);
    EXPECT_EQ(SysLiveStringCount(), live);
}

// An interface held by value carries a reference of its own, released with the holder.
TEST(VariantOwnerTest, InterfaceReferenceIsReleasedWithTheHolder) {
    com_test::RecordingDispatch partner;
    {
        Variant held(Dispatch(&partner));
        EXPECT_EQ(partner.refs, 2u);
    }
    EXPECT_EQ(partner.refs, 1u);
}

// A by-reference value owns nothing: the holder's end leaves the target's text alone.
TEST(VariantOwnerTest, ByReferenceValueLeavesItsTargetAlone) {
    BSTR name = BstrFromUtf8("diesel");
    const long live = SysLiveStringCount();
    {
        Variant ref(BstrRef(&name));
        Variant number(I4(7));
    }
    EXPECT_EQ(SysLiveStringCount(), live);
    EXPECT_EQ(BstrToUtf8(name), "diesel");
    SysFreeString(name);
}

}  // namespace
