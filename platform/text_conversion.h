// The one conversion between the 16-bit text of the automation world (BSTR, OLECHAR, WCHAR)
// and the UTF-8 text the system keeps on this platform. Every module converts through these
// two functions; the BSTR forms in platform/oleauto.h are built on them.
#pragma once

#include <string>
#include <string_view>

#include "platform/win_types.h"

// The UTF-8 form of every unit of `text` (embedded zeros kept). A lone surrogate becomes
// U+FFFD.
std::string Utf16ToUtf8(WideStringView text);

// The UTF-16 form of `text`. A byte that does not start a well-formed character (overlong
// forms, surrogates and values past U+10FFFF included) becomes one U+FFFD and decoding goes
// on at the next byte.
WideString Utf8ToUtf16(std::string_view text);

// A 0-terminated 16-bit text as a view; null reads as the empty text.
inline WideStringView Utf16View(const WCHAR* text) {
    return text != nullptr ? WideStringView(text) : WideStringView();
}
