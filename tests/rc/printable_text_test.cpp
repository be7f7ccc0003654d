// Error lines quote script text that may be any bytes: control characters and malformed UTF-8
// reach the terminal escaped, readable UTF-8 as it is.
#include "tools/rc/printable_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(PrintableText, EscapesControlsAndMalformedUtf8) {
    const struct {
        const char* what;
        std::string text;
        const char* shown;
    } rows[] = {
        {"plain", "unknown control LTEXTX", "unknown control LTEXTX"},
        {"escape sequence", "\x1b[2J", "\\x1B[2J"},
        {"tab, line end, bell", "a\tb\nc\a", "a\\x09b\\x0Ac\\x07"},
        {"NUL", std::string("a\0b", 3), "a\\x00b"},
        {"DEL", "\x7f", "\\x7F"},
        {"accented letters", "A\303\247\303\265es", "A\303\247\303\265es"},
        {"four-byte letter", "\xf0\x9f\x98\x80", "\xf0\x9f\x98\x80"},
        {"C1 control CSI in UTF-8", "\302\2332J", "\\xC2\\x9B2J"},
        {"no-break space is kept", "\xc2\xa0", "\xc2\xa0"},
        {"lone CSI byte", "\2332J", "\\x9B2J"},
        {"truncated sequence", "a\xc3", "a\\xC3"},
        {"overlong slash", "\xc0\xaf", "\\xC0\\xAF"},
        {"surrogate", "\xed\xa0\x80", "\\xED\\xA0\\x80"},
        {"beyond U+10FFFF", "\xf4\x90\x80\x80", "\\xF4\\x90\\x80\\x80"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(rc::PrintableText(row.text), row.shown) << row.what;
    }
}

}  // namespace
