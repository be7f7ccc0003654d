// Case-insensitive comparison of ASCII names (member names, locale names, registry keys,
// keywords): A-Z fold to a-z, every other byte compares as it is, whatever the C locale.
#pragma once

#include <string_view>

constexpr char FoldAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr bool EqualsAsciiNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldAscii(a[i]) != FoldAscii(b[i])) {
            return false;
        }
    }
    return true;
}
