// GUID literals checked at compile time, for the class, interface and library identifiers the
// system's modules declare. Included where GUID is declared: by platform/com.h after its GUID,
// and by its Windows form after the SDK's.
#pragma once

#include <cstdint>

namespace com_detail {
constexpr int HexDigit(char c) {
    return c >= '0' && c <= '9'   ? c - '0'
           : c >= 'a' && c <= 'f' ? c - 'a' + 10
           : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                  : throw "not a hex digit";
}
constexpr std::uint64_t Hex(const char* text, int count) {
    std::uint64_t value = 0;
    for (int i = 0; i < count; ++i) {
        value = value * 16 + static_cast<std::uint64_t>(HexDigit(text[i]));
    }
    return value;
}
}  // namespace com_detail

// A GUID from its registry form without braces, checked at compile time:
// MakeGuid("F9B424D4-51A1-40E0-8EB1-1B9097AF9811").
consteval GUID MakeGuid(const char (&text)[37]) {
    if (text[8] != '-' || text[13] != '-' || text[18] != '-' || text[23] != '-') {
        throw "GUID text must be 8-4-4-4-12 hex digits";
    }
    GUID g{};
    g.Data1 = static_cast<DWORD>(com_detail::Hex(text, 8));
    g.Data2 = static_cast<WORD>(com_detail::Hex(text + 9, 4));
    g.Data3 = static_cast<WORD>(com_detail::Hex(text + 14, 4));
    g.Data4[0] = static_cast<BYTE>(com_detail::Hex(text + 19, 2));
    g.Data4[1] = static_cast<BYTE>(com_detail::Hex(text + 21, 2));
    for (int i = 0; i < 6; ++i) {
        g.Data4[2 + i] = static_cast<BYTE>(com_detail::Hex(text + 24 + 2 * i, 2));
    }
    return g;
}
