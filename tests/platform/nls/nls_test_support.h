// What the tests of the NLS calls share: one call's result as a single comparable text.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>

#include "platform/last_error.h"

namespace nls_test {

// The text `call(out, cch)` wrote into a 100-unit buffer, or "#<last error>" when it returned
// 0, so that one comparison checks both; the result must count the terminator.
template <typename Call>
std::u16string Run(Call call) {
    WCHAR out[100];
    std::fill(std::begin(out), std::end(out), u'~');
    SetLastError(0);
    const int written = call(out, 100);
    if (written == 0) {
        std::string code = "#";
        code += std::to_string(GetLastError());
        return std::u16string(code.begin(), code.end());
    }
    const std::u16string text(out);
    EXPECT_EQ(written, static_cast<int>(text.size()) + 1) << "result counts the terminator";
    return text;
}

}  // namespace nls_test
