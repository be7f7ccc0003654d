// Case-insensitive comparison of ASCII names (member names, locale names, registry keys,
// keywords, class and module names): A-Z fold to a-z, every other unit compares as it is,
// whatever the C locale. Works on narrow and 16-bit text alike.
#pragma once

#include <string>
#include <string_view>

#include "platform/win_types.h"

template <typename Char>
constexpr Char FoldAscii(Char c) {
    return c >= Char('A') && c <= Char('Z') ? static_cast<Char>(c - Char('A') + Char('a')) : c;
}

// `text` with A-Z folded: the key by which names compare without regard to case.
template <typename Char>
std::basic_string<Char> FoldedAscii(std::basic_string_view<Char> text) {
    std::basic_string<Char> folded(text);
    for (Char& c : folded) {
        c = FoldAscii(c);
    }
    return folded;
}

inline std::string FoldedAscii(const std::string& text) {
    return FoldedAscii(std::string_view(text));
}

inline WideString FoldedAscii(const WideString& text) {
    return FoldedAscii(WideStringView(text));
}

template <typename Char>
constexpr bool EqualsAsciiNoCase(std::basic_string_view<Char> a, std::basic_string_view<Char> b) {
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

constexpr bool EqualsAsciiNoCase(std::string_view a, std::string_view b) {
    return EqualsAsciiNoCase<char>(a, b);
}

constexpr bool EqualsAsciiNoCase(WideStringView a, WideStringView b) {
    return EqualsAsciiNoCase<WCHAR>(a, b);
}
