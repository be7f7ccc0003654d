// Conversions between the flat interface's BSTRs and the station model's texts, shared by
// the in-process bindings of every call family.
#pragma once

#include <cstdint>
#include <string>

#include "kestro/model/records.h"
#include "kestro/model/result_codes.h"
#include "platform/oleauto.h"

namespace kestro {

// The units of `text` (its length prefix decides, embedded zeros kept); null is the empty
// text.
inline WideString TextOf(BSTR text) {
    return text == nullptr ? WideString() : WideString(text, SysStringLen(text));
}

// A new BSTR with the units of `text` (the caller's to free); null for a null text.
inline BSTR BstrOf(const Text& text) {
    return text ? SysAllocStringLen(text->data(), static_cast<UINT>(text->size())) : nullptr;
}

// True when every out-pointer is given; a getter passes the station a null record otherwise,
// so that the station answers the null out-pointer itself.
template <typename... Pointers>
bool AllGiven(const Pointers*... pointers) {
    return ((pointers != nullptr) && ...);
}

// Runs a station call that yields a text into `out` as a new BSTR (the caller's to free).
// `call` receives a pointer to the text, or null when `out` is null so that the station
// answers the null out-pointer itself. On failure `out` is left untouched.
template <typename StationCall>
std::int32_t HandOutText(BSTR* out, StationCall call) {
    WideString text;
    std::int32_t rc = call(out != nullptr ? &text : nullptr);
    if (rc == kSuccess) {
        *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    }
    return rc;
}

}  // namespace kestro
