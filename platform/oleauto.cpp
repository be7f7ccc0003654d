// BSTR allocation: one block holding the byte count, the units and the terminator.
#include "platform/oleauto.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

namespace {

std::atomic<long> liveStrings{0};

constexpr std::size_t kPrefixBytes = sizeof(std::uint32_t);

std::uint32_t* PrefixOf(BSTR text) {
    return reinterpret_cast<std::uint32_t*>(reinterpret_cast<char*>(text) - kPrefixBytes);
}

}  // namespace

BSTR SysAllocStringLen(const OLECHAR* text, UINT len) {
    // The byte count must fit the 32-bit prefix.
    if (len > (std::numeric_limits<std::uint32_t>::max() - kPrefixBytes) / sizeof(OLECHAR) - 1) {
        return nullptr;
    }
    const std::size_t bytes = std::size_t{len} * sizeof(OLECHAR);
    void* block = std::malloc(kPrefixBytes + bytes + sizeof(OLECHAR));
    if (block == nullptr) {
        return nullptr;
    }
    auto* prefix = static_cast<std::uint32_t*>(block);
    *prefix = static_cast<std::uint32_t>(bytes);
    auto* units = reinterpret_cast<OLECHAR*>(static_cast<char*>(block) + kPrefixBytes);
    if (text != nullptr && len > 0) {
        std::memcpy(units, text, bytes);
    }
    units[len] = 0;
    ++liveStrings;
    return units;
}

BSTR SysAllocString(const OLECHAR* text) {
    if (text == nullptr) {
        return nullptr;
    }
    UINT len = 0;
    while (text[len] != 0) {
        ++len;
    }
    return SysAllocStringLen(text, len);
}

UINT SysStringLen(BSTR text) {
    return text == nullptr ? 0 : *PrefixOf(text) / sizeof(OLECHAR);
}

UINT SysStringByteLen(BSTR text) { return text == nullptr ? 0 : *PrefixOf(text); }

void SysFreeString(BSTR text) {
    if (text == nullptr) {
        return;
    }
    --liveStrings;
    std::free(PrefixOf(text));
}

long SysLiveStringCount() { return liveStrings.load(); }

std::string BstrToUtf8(BSTR text) {
    std::string out;
    const UINT len = SysStringLen(text);
    out.reserve(len);
    for (UINT i = 0; i < len; ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < len && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

BSTR BstrFromUtf8(std::string_view text) {
    std::u16string units;
    units.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        // Bytes 0x80-0xC1 and 0xF5-0xFF never start a character.
        const int extra = lead < 0x80                   ? 0
                          : lead >= 0xF0 && lead < 0xF5 ? 3
                          : lead >= 0xE0 && lead < 0xF0 ? 2
                          : lead >= 0xC2 && lead < 0xE0 ? 1
                                                        : -1;
        char32_t c = extra == 0   ? lead
                     : extra == 1 ? lead & 0x1F
                     : extra == 2 ? lead & 0x0F
                                  : lead & 0x07;
        bool valid = extra >= 0 && i + static_cast<std::size_t>(extra) < text.size();
        for (int k = 1; valid && k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
            valid = (next & 0xC0) == 0x80;
            c = (c << 6) | (next & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not characters.
        valid = valid && !(extra == 2 && c < 0x800) && !(extra == 3 && c < 0x10000) &&
                !(c >= 0xD800 && c <= 0xDFFF) && c <= 0x10FFFF;
        if (!valid) {
            units += u'\uFFFD';
            ++i;
            continue;
        }
        i += static_cast<std::size_t>(extra) + 1;
        if (c >= 0x10000) {
            c -= 0x10000;
            units += static_cast<char16_t>(0xD800 + (c >> 10));
            units += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            units += static_cast<char16_t>(c);
        }
    }
    return SysAllocStringLen(units.data(), static_cast<UINT>(units.size()));
}
