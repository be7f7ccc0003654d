// The narrow texts of GUIDs that registry keys and tools use, the same on either system.
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "platform/com.h"

std::string GuidToString(REFGUID g) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned>(g.Data1), g.Data2, g.Data3, g.Data4[0], g.Data4[1],
                  g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
    return buffer;
}

bool GuidFromString(std::string_view text, GUID* guid) {
    if (text.size() != 38 || text.front() != '{' || text.back() != '}') {
        return false;
    }
    const std::string_view body = text.substr(1, 36);
    std::uint8_t bytes[16];
    int count = 0;
    for (std::size_t i = 0; i < body.size();) {
        if (i == 8 || i == 13 || i == 18 || i == 23) {
            if (body[i] != '-') {
                return false;
            }
            ++i;
            continue;
        }
        int value = 0;
        for (int k = 0; k < 2; ++k, ++i) {
            const char c = body[i];
            const int digit = c >= '0' && c <= '9'   ? c - '0'
                              : c >= 'a' && c <= 'f' ? c - 'a' + 10
                              : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                     : -1;
            if (digit < 0 || (k == 0 && i + 1 < body.size() && body[i + 1] == '-')) {
                return false;
            }
            value = value * 16 + digit;
        }
        bytes[count++] = static_cast<std::uint8_t>(value);
    }
    if (count != 16) {
        return false;
    }
    GUID g{};
    g.Data1 = (DWORD{bytes[0]} << 24) | (DWORD{bytes[1]} << 16) | (DWORD{bytes[2]} << 8) | bytes[3];
    g.Data2 = static_cast<WORD>((bytes[4] << 8) | bytes[5]);
    g.Data3 = static_cast<WORD>((bytes[6] << 8) | bytes[7]);
    std::memcpy(g.Data4, bytes + 8, 8);
    *guid = g;
    return true;
}
