// Tests of _wtoi: white space, sign, digits up to the first other character, and the
// saturation and errno of the Microsoft C runtime on overflow.
#include <gtest/gtest.h>

#include <cerrno>
#include <climits>

#include "platform/wide_crt.h"

namespace {

struct ParseCase {
    const char16_t* text;
    int expected;
    int error;  // errno afterwards; the test sets it to 0 first
};

TEST(Wtoi, ReadsTheLeadingNumber) {
    const ParseCase cases[] = {
        {u"3;0", 3, 0},
        {u"3;2;0", 3, 0},
        {u"20", 20, 0},
        {u"0", 0, 0},
        {u"", 0, 0},
        {u"abc", 0, 0},
        {u";3", 0, 0},
        {u" \t\n\v\f\r-12x", -12, 0},
        {u"+7", 7, 0},
        {u"-0", 0, 0},
        {u"- 5", 0, 0},  // the sign must touch the digits
        {u"+-5", 0, 0},
        {u"1 2", 1, 0},
        {u"12.9", 12, 0},
        {u"000000000000000000000042", 42, 0},  // leading zeros never overflow
        {u"\u00a05", 0, 0},                    // only ASCII white space is skipped
        {u"\uff15", 0, 0},                     // only ASCII digits count
        {u"2147483647", INT_MAX, 0},
        {u"-2147483648", INT_MIN, 0},
        {u"2147483648", INT_MAX, ERANGE},
        {u"-2147483649", INT_MIN, ERANGE},
        {u"99999999999999999999999", INT_MAX, ERANGE},
        {u"-99999999999999999999999;0", INT_MIN, ERANGE},
    };
    for (const ParseCase& c : cases) {
        errno = 0;
        EXPECT_EQ(_wtoi(c.text), c.expected)
            << std::string(c.text, c.text + std::char_traits<char16_t>::length(c.text));
        EXPECT_EQ(errno, c.error);
    }
}

TEST(Wtoi, NullIsAnInvalidArgument) {
    errno = 0;
    EXPECT_EQ(_wtoi(nullptr), 0);
    EXPECT_EQ(errno, EINVAL);
}

}  // namespace
