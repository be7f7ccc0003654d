// Tests of CounterString: its two empty states, the capacity rule and length limit, byte
// conversion, comparison, the lenient parses, Mid, copies, BSTR hand-out and formatting.
#include "common/counter_string.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "platform/oleauto.h"

namespace {

WideString Text(const CounterString& s) {
    return s.Chars() == nullptr ? WideString() : WideString(s.Chars(), s.Length());
}

TEST(CounterStringTest, DefaultHasNoBuffer) {
    CounterString s;
    EXPECT_EQ(s.Length(), 0);
    EXPECT_EQ(s.Chars(), nullptr);
    EXPECT_EQ(s.Capacity(), 0);
    EXPECT_STREQ(s.Narrow(), "<null>");
    EXPECT_EQ(s.ToInt(), 0);
    EXPECT_EQ(s.ToDouble(), 0.0);
    EXPECT_EQ(*s.At(1), 0);
    EXPECT_TRUE(s.EqualsNoCase(CounterString("")));
}

TEST(CounterStringTest, EmptyTextDiffersFromNoBuffer) {
    CounterString s;
    s.Assign("");
    EXPECT_STREQ(s.Narrow(), "");
    ASSERT_NE(s.Chars(), nullptr);
    EXPECT_EQ(s.Chars()[0], 0);
    EXPECT_EQ(s.Length(), 0);

    s.Assign(static_cast<const char*>(nullptr));
    EXPECT_STREQ(s.Narrow(), "<null>");
    EXPECT_EQ(s.Capacity(), 0);

    CounterString wide(OLESTR("ab"));
    wide.Release();
    EXPECT_EQ(wide.Chars(), nullptr);
    EXPECT_STREQ(wide.Narrow(), "<null>");
}

TEST(CounterStringTest, CapacityIsNextMultipleOf32AboveLengthPlusOne) {
    const struct {
        int length;
        int capacity;
    } cases[] = {{0, 32}, {1, 32}, {30, 32}, {31, 64}, {62, 64}, {63, 96}, {1023, 1056}};
    for (const auto& c : cases) {
        CounterString s(std::string(c.length, 'x').c_str());
        EXPECT_EQ(s.Capacity(), c.capacity) << "length " << c.length;
        EXPECT_EQ(s.Length(), c.length);
    }
}

TEST(CounterStringTest, AppendGrowsOnlyWhenNeededAndKeepsText) {
    CounterString fits(std::string(29, 'a').c_str());
    const WCHAR* before = fits.Chars();
    fits.Append("b");
    EXPECT_EQ(fits.Capacity(), 32);
    EXPECT_EQ(fits.Chars(), before);
    EXPECT_EQ(Text(fits), WideString(29, OLESTR('a')) + OLESTR("b"));

    CounterString grows(std::string(30, 'a').c_str());
    grows.Append("b");
    EXPECT_EQ(grows.Capacity(), 64);
    EXPECT_EQ(Text(grows), WideString(30, OLESTR('a')) + OLESTR("b"));
    EXPECT_EQ(grows.Chars()[31], 0);

    grows.Append(nullptr).Append("");
    EXPECT_EQ(grows.Length(), 31);
}

TEST(CounterStringTest, BufferNeverShrinks) {
    CounterString s(std::string(100, 'x').c_str());
    s.Assign("ab");
    EXPECT_EQ(s.Capacity(), 128);
    EXPECT_EQ(Text(s), OLESTR("ab"));
}

TEST(CounterStringTest, ReserveKeepsOrClearsTextOnlyWhenReallocating) {
    CounterString s("abc");
    s.Reserve(10, false);  // capacity 32 suffices: nothing changes
    EXPECT_EQ(Text(s), OLESTR("abc"));
    s.Reserve(40, true);
    EXPECT_EQ(s.Capacity(), 64);
    EXPECT_EQ(Text(s), OLESTR("abc"));
    s.Reserve(70, false);
    EXPECT_EQ(s.Capacity(), 96);
    EXPECT_EQ(s.Length(), 0);
    EXPECT_STREQ(s.Narrow(), "");
}

TEST(CounterStringTest, BytesWidenBySignExtensionAndNarrowToLowByte) {
    CounterString s("\xE9");
    EXPECT_EQ(*s.At(1), 0xFFE9);
    EXPECT_STREQ(s.Narrow(), "\xE9");

    std::string all;
    for (int b = 1; b < 256; ++b) {
        all.push_back(static_cast<char>(b));
    }
    CounterString every(all.c_str());
    EXPECT_EQ(*every.At(0x7F), 0x007F);
    EXPECT_EQ(*every.At(0x80), 0xFF80);
    EXPECT_EQ(std::string(every.Narrow()), all);

    CounterString wide(OLESTR("\u20AC\u0141z"));
    EXPECT_STREQ(wide.Narrow(),
                 "\xAC"
                 "Az");
}

TEST(CounterStringTest, NarrowIsRebuiltOnEveryCall) {
    CounterString s("ab");
    EXPECT_STREQ(s.Narrow(), "ab");
    s.Append(std::string(50, 'c').c_str());
    EXPECT_EQ(std::string(s.Narrow()), "ab" + std::string(50, 'c'));
    s.Assign("xy");
    EXPECT_STREQ(s.Narrow(), "xy");
}

TEST(CounterStringTest, AtOutsideTheTextPointsAtOneSharedZero) {
    CounterString s("abc");
    EXPECT_EQ(*s.At(1), OLESTR('a'));
    EXPECT_EQ(*s.At(3), OLESTR('c'));
    EXPECT_EQ(s.At(3), s.Chars() + 2);
    for (int i : {-1, 0, 4, 40000}) {
        EXPECT_EQ(*s.At(i), 0) << i;
        EXPECT_EQ(s.At(i), CounterString().At(1));
    }
}

TEST(CounterStringTest, CompareNoCaseFoldsOnlyAsciiLetters) {
    const struct {
        const char* a;
        const char* b;
        int expected;
    } cases[] = {
        {"abc", "ABC", 0},   {"AB", "abc", -1}, {"abc", "AB", 1},  {"", "", 0},
        {"a", "", 1},        {"", "a", -1},     {"abd", "ABC", 1}, {"Pump01", "pump02", -1},
        {"\xE9", "\xC9", 1},  // accented letters are not folded
        {"_", "a", 1},        // '_' sorts after the upper-case letters
        {"zeta", "ZETA", 0},
    };
    for (const auto& c : cases) {
        CounterString a(c.a);
        CounterString b(c.b);
        EXPECT_EQ(a.CompareNoCase(b), c.expected) << c.a << " vs " << c.b;
        EXPECT_EQ(a.EqualsNoCase(b), c.expected == 0);
        EXPECT_EQ(a.DiffersNoCase(b), c.expected != 0);
    }
    EXPECT_EQ(CounterString().CompareNoCase(CounterString("")), 0);
    EXPECT_EQ(CounterString().CompareNoCase(CounterString("a")), -1);
    EXPECT_EQ(CounterString(OLESTR("\u00E9")).CompareNoCase(CounterString(OLESTR("\u00C9"))), 1);
}

TEST(CounterStringTest, ToIntParsesLeniently) {
    const struct {
        const char* text;
        std::int32_t expected;
    } cases[] = {
        {"", 0},
        {"1,250", 1250},
        {"12abc", 12},
        {" -7", -7},
        {"+5", 5},
        {"5-", -5},
        {"1 000", 1000},
        {"1-2", -12},
        {"-+3", 3},
        {"abc", 0},
        {"4.9", 4},
        {"2147483647", INT32_MAX},
        {"2147483648", INT32_MIN},
        {"-2147483648", INT32_MIN},
        {"4294967297", 1},  // the accumulator wraps at 32 bits
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CounterString(c.text).ToInt(), c.expected) << "'" << c.text << "'";
    }
}

TEST(CounterStringTest, ToDoubleParsesWithoutSigns) {
    const struct {
        const char* text;
        double expected;
    } cases[] = {
        {"", 0},        {"-3.5", 0},         {"+2", 0},
        {"-1", 0},      {"1,234.5", 1234.5}, {".25", 0.25},
        {"3.1.4", 3.1}, {"0.05", 0.05},      {"12 000.75x9", 12000.75},
        {"7", 7},
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(CounterString(c.text).ToDouble(), c.expected) << "'" << c.text << "'";
    }
}

TEST(CounterStringTest, MidClampsStartAndCount) {
    const struct {
        const char* text;
        int start;
        int count;
        const WCHAR* expected;
    } cases[] = {
        {"ABCDE", 2, 3, OLESTR("BCD")},
        {"ABCDE", 2, 10, OLESTR("BCDE")},
        {"ABCDE", 0, 2, OLESTR("AB")},
        {"ABCDE", 7, 1, OLESTR("")},
        {"ABCDE", 6, 0, OLESTR("")},
        {"ABCDE", 3, -4, OLESTR("")},
        {"\"X\"", 2, 1, OLESTR("X")},
        {"\"", 2, -1, OLESTR("")},
        {"ABCDE", -5, 100, OLESTR("ABCDE")},
        {"ABCDE", 65538, 2, OLESTR("BC")},  // positions are 16-bit: 65538 is 2
    };
    for (const auto& c : cases) {
        CounterString s(c.text);
        s.Mid(c.start, c.count);
        EXPECT_EQ(Text(s), c.expected) << c.text << " (" << c.start << ", " << c.count << ")";
        EXPECT_EQ(s.Chars()[s.Length()], 0);
    }
    CounterString quoted("\"X\"");
    EXPECT_STREQ(quoted.Mid(2, quoted.Length() - 2).Narrow(), "X");

    CounterString none;
    none.Mid(1, 2);
    EXPECT_EQ(none.Chars(), nullptr);
}

TEST(CounterStringTest, LiveCountFollowsEveryConstructorAndDestructor) {
    const std::int32_t baseline = CounterString::LiveCount();
    {
        CounterString a;
        CounterString b("x");
        CounterString c(OLESTR("y"));
        EXPECT_EQ(CounterString::LiveCount(), baseline + 3);
        CounterString d(b);
        EXPECT_EQ(CounterString::LiveCount(), baseline + 4);
        a = d;  // assignment makes no new instance
        EXPECT_EQ(CounterString::LiveCount(), baseline + 4);
    }
    EXPECT_EQ(CounterString::LiveCount(), baseline);
}

TEST(CounterStringTest, CopiesAreDeepAndIndependent) {
    CounterString original("Grade");
    CounterString copy(original);
    CounterString assigned;
    assigned = original;
    EXPECT_NE(copy.Chars(), original.Chars());
    EXPECT_NE(assigned.Chars(), original.Chars());

    original.Append("01");
    original.Mid(1, 3);
    EXPECT_STREQ(original.Narrow(), "Gra");
    EXPECT_STREQ(copy.Narrow(), "Grade");
    EXPECT_STREQ(assigned.Narrow(), "Grade");

    CounterString none;
    copy = none;
    EXPECT_EQ(copy.Chars(), nullptr);

    CounterString self("same");
    const WCHAR* before = self.Chars();
    self = self;
    self.Assign(self);
    EXPECT_EQ(self.Chars(), before);
    EXPECT_STREQ(self.Narrow(), "same");
}

TEST(CounterStringTest, AssignWideCopiesCountedUnits) {
    CounterString s;
    s.Assign(OLESTR("a\0b"), 3);
    EXPECT_EQ(s.Length(), 3);
    EXPECT_EQ(Text(s), WideString(OLESTR("a\0b"), 3));

    s.Assign(OLESTR("Tank"));
    EXPECT_EQ(Text(s), OLESTR("Tank"));
    s.Assign(s.At(2), 2);  // a part of its own text
    EXPECT_EQ(Text(s), OLESTR("an"));
    s.Assign(OLESTR("xyz"), -3);
    EXPECT_EQ(s.Length(), 0);
    EXPECT_NE(s.Chars(), nullptr);
    s.Assign(static_cast<const WCHAR*>(nullptr), 3);
    EXPECT_EQ(s.Chars(), nullptr);
}

TEST(CounterStringTest, ToBstrCopiesTheTextAndIsFreedByTheCaller) {
#ifndef _WIN32
    // The layer counts its live BSTRs, which proves both freed; Windows keeps no such count.
    const long baseline = SysLiveStringCount();
#endif
    CounterString s("Pump 01");
    BSTR text = s.ToBstr();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(SysStringLen(text), 7u);
    EXPECT_EQ(WideString(text), OLESTR("Pump 01"));

    BSTR empty = CounterString().ToBstr();
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(SysStringLen(empty), 0u);
    EXPECT_EQ(empty[0], 0);
#ifndef _WIN32
    EXPECT_EQ(SysLiveStringCount(), baseline + 2);
#endif

    SysFreeString(text);
    SysFreeString(empty);
#ifndef _WIN32
    EXPECT_EQ(SysLiveStringCount(), baseline);
#endif
}

TEST(CounterStringTest, FormatIsBoundedTo4095Bytes) {
    CounterString s;
    EXPECT_STREQ(s.Format("%d", -42).Narrow(), "-42");
    EXPECT_STREQ(s.Format("%.3f", 1.5).Narrow(), "1.500");
    EXPECT_STREQ(s.Format("Pump%02d", 7).Narrow(), "Pump07");

    s.Format("%5000d", 1);
    EXPECT_EQ(s.Length(), 4095);
    EXPECT_EQ(std::string(s.Narrow()), std::string(4095, ' '));

    s.Format("%s", std::string(5000, 'q').c_str());
    EXPECT_EQ(s.Length(), 4095);
}

TEST(CounterStringTest, TextsBeyondTheLimitAreCutToMaxLength) {
    constexpr int kMax = CounterString::kMaxLength;
    CounterString s(std::string(40000, 'x').c_str());
    EXPECT_EQ(s.Length(), kMax);
    EXPECT_EQ(s.Capacity(), 32736);
    EXPECT_EQ(*s.At(kMax), OLESTR('x'));
    EXPECT_EQ(s.Chars()[kMax], 0);
    EXPECT_EQ(std::string(s.Narrow()).size(), static_cast<std::size_t>(kMax));

    CounterString appended(std::string(kMax - 4, 'a').c_str());
    appended.Append("bcdefgh");
    EXPECT_EQ(appended.Length(), kMax);
    EXPECT_EQ(*appended.At(kMax), OLESTR('e'));
    EXPECT_EQ(appended.Chars()[kMax], 0);

    CounterString wide;
    wide.Assign(WideString(40000, OLESTR('w')).c_str());
    EXPECT_EQ(wide.Length(), kMax);

    CounterString reserved;
    reserved.Reserve(100000, false);
    EXPECT_EQ(reserved.Capacity(), 32736);
}

}  // namespace
