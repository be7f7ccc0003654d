// Tests of the BSTR layer: the Windows memory layout and the null conventions callers rely on.
#include "platform/oleauto.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(OleAutoTest, LayoutHasByteCountPrefixAndTerminator) {
    const long baseline = SysLiveStringCount();
    BSTR text = SysAllocString(u"Hose");
    ASSERT_NE(text, nullptr);
    std::uint32_t prefix = 0;
    std::memcpy(&prefix, reinterpret_cast<const char*>(text) - 4, sizeof prefix);
    EXPECT_EQ(prefix, 8u);
    EXPECT_EQ(text[4], 0);
    EXPECT_EQ(SysStringLen(text), 4u);
    EXPECT_EQ(SysStringByteLen(text), 8u);
    EXPECT_EQ(SysLiveStringCount(), baseline + 1);
    SysFreeString(text);
    EXPECT_EQ(SysLiveStringCount(), baseline);
}

TEST(OleAutoTest, EmbeddedZerosAreCounted) {
    BSTR text = SysAllocStringLen(u"a\0b\0", 4);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(SysStringLen(text), 4u);
    EXPECT_EQ(text[2], u'b');
    EXPECT_EQ(text[4], 0);
    SysFreeString(text);

    BSTR cut = SysAllocString(u"a\0b");  // stops at the first zero
    EXPECT_EQ(SysStringLen(cut), 1u);
    SysFreeString(cut);
}

TEST(OleAutoTest, NullConventions) {
    const long baseline = SysLiveStringCount();
    EXPECT_EQ(SysAllocString(nullptr), nullptr);
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    EXPECT_EQ(SysStringByteLen(nullptr), 0u);
    SysFreeString(nullptr);
    EXPECT_EQ(SysLiveStringCount(), baseline);

    BSTR room = SysAllocStringLen(nullptr, 3);  // units left for the caller to fill
    ASSERT_NE(room, nullptr);
    EXPECT_EQ(SysStringLen(room), 3u);
    EXPECT_EQ(room[3], 0);
    SysFreeString(room);
}

}  // namespace
