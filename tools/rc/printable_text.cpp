// Escaping of control characters and malformed UTF-8 in messages.
#include "tools/rc/printable_text.h"

#include <cstdio>

namespace rc {

namespace {

// The length of the well-formed UTF-8 sequence at the start of `rest` (2 to 4), or 0.
std::size_t MultiByteLength(std::string_view rest) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(rest[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;  // no overlong forms
        if (lead == 0xED)
            high = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        if (lead == 0xF4)
            high = 0x8F;  // nothing beyond U+10FFFF
    } else {
        return 0;
    }
    if (rest.size() < length || byte(1) < low || byte(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF)
            return 0;
    }
    return length;
}

void AppendEscaped(std::string& out, std::string_view bytes) {
    char escape[5];
    for (char c : bytes) {
        std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned char>(c));
        out += escape;
    }
}

}  // namespace

std::string PrintableText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            if (c < 0x20 || c == 0x7F)
                AppendEscaped(out, text.substr(i, 1));
            else
                out += text[i];
            ++i;
            continue;
        }
        const std::size_t length = MultiByteLength(text.substr(i));
        if (length == 0) {
            AppendEscaped(out, text.substr(i, 1));
            ++i;
            continue;
        }
        // U+0080..U+009F are the C1 controls (CSI among them).
        const bool c1 = c == 0xC2 && static_cast<unsigned char>(text[i + 1]) <= 0x9F;
        if (c1)
            AppendEscaped(out, text.substr(i, length));
        else
            out.append(text.substr(i, length));
        i += length;
    }
    return out;
}

}  // namespace rc
