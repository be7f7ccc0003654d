// BSTR allocation: one block holding the byte count, the units and the terminator.
#include "platform/oleauto.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <limits>

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

UINT SysStringByteLen(BSTR text) {
    return text == nullptr ? 0 : *PrefixOf(text);
}

void SysFreeString(BSTR text) {
    if (text == nullptr) {
        return;
    }
    --liveStrings;
    std::free(PrefixOf(text));
}

long SysLiveStringCount() {
    return liveStrings.load();
}
