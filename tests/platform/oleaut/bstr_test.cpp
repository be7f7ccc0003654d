// Bstr: the owning BSTR holder frees on every way out and fills from out-parameters.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "platform/bstr.h"

namespace {

BSTR MakeText(const char16_t* text) {
    return SysAllocString(text);
}

TEST(BstrTest, EveryHeldTextIsFreedOnce) {
    const long live = SysLiveStringCount();
    {
        Bstr text(MakeText(u"pump"));
        EXPECT_EQ(SysLiveStringCount(), live + 1);
        *text.Out() = MakeText(u"hose");  // Out freed "pump" first
        EXPECT_EQ(SysLiveStringCount(), live + 1);
        EXPECT_EQ(text.Utf8(), "hose");
        Bstr moved = std::move(text);
        EXPECT_TRUE(text.IsNull());  // NOLINT(bugprone-use-after-move): moved-from is null
        moved = Bstr::FromUtf8("grade");
        EXPECT_EQ(SysLiveStringCount(), live + 1);
    }
    EXPECT_EQ(SysLiveStringCount(), live);
}

TEST(BstrTest, DetachHandsTheTextOver) {
    const long live = SysLiveStringCount();
    Bstr text = Bstr::FromUtf8("tank");
    BSTR raw = text.Detach();
    EXPECT_TRUE(text.IsNull());
    EXPECT_EQ(SysLiveStringCount(), live + 1);
    SysFreeString(raw);
    EXPECT_EQ(SysLiveStringCount(), live);
}

// An in-out slot keeps the text for the callee to read; what the callee leaves there (after
// freeing the text it replaces) is the holder's.
TEST(BstrTest, InOutKeepsTheTextAndOwnsTheReplacement) {
    const long live = SysLiveStringCount();
    {
        Bstr text = Bstr::FromUtf8("diesel");
        BSTR* slot = text.InOut();
        EXPECT_EQ(BstrToUtf8(*slot), "diesel");
        SysFreeString(*slot);
        *slot = MakeText(u"petrol");
        EXPECT_EQ(text.Utf8(), "petrol");
        EXPECT_EQ(SysLiveStringCount(), live + 1);
    }
    EXPECT_EQ(SysLiveStringCount(), live);
}

TEST(BstrTest, ViewKeepsEmbeddedZerosAndNullReadsEmpty) {
    const Bstr text = Bstr::FromUtf16(std::u16string_view(u"a\0b", 3));
    EXPECT_EQ(text.Length(), 3u);
    EXPECT_EQ(text.View(), std::u16string_view(u"a\0b", 3));
    EXPECT_EQ(text.Utf8(), std::string("a\0b", 3));

    const Bstr none;
    EXPECT_TRUE(none.IsNull());
    EXPECT_EQ(none.Length(), 0u);
    EXPECT_TRUE(none.View().empty());
    EXPECT_EQ(none.Utf8(), "");

    const Bstr empty = Bstr::FromUtf16(u"");
    EXPECT_FALSE(empty.IsNull());  // the empty text is not the null BSTR
    EXPECT_EQ(empty.Length(), 0u);
}

}  // namespace
