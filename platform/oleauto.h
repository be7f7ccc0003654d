// OLE Automation strings (BSTR) with the real Windows layout: a 4-byte byte count in front
// of the first unit and a 0 unit after the last. Texts cross every library and automation
// boundary of the system in this form. A Windows build has them from the SDK and adds only the
// conversions to and from UTF-8.
#pragma once

#include <string>
#include <string_view>

#include "platform/win_types.h"

#ifdef _WIN32
#include <oleauto.h>
#else

using OLECHAR = char16_t;
using BSTR = OLECHAR*;
using LPOLESTR = OLECHAR*;
using LPCOLESTR = const OLECHAR*;

// A literal of OLECHAR text, as the SDK spells it: OLESTR("Pump").
#define OLESTR(text) u##text

// Allocates a BSTR of `len` units copied from `text` (left uninitialised when `text` is null)
// with the terminator written. The caller frees it with SysFreeString. Null when memory is
// exhausted.
BSTR SysAllocStringLen(const OLECHAR* text, UINT len);

// Allocates a BSTR holding `text` up to its first 0 unit. A null text gives a null BSTR.
BSTR SysAllocString(const OLECHAR* text);

// Number of units in `text` as its length prefix says (embedded zeros count); 0 for null.
UINT SysStringLen(BSTR text);

// The length prefix itself: the number of bytes, terminator excluded; 0 for null.
UINT SysStringByteLen(BSTR text);

// Frees a BSTR made by the functions above. A null BSTR is a no-op.
void SysFreeString(BSTR text);

// Number of BSTRs allocated and not yet freed in this process; tests use it to prove that
// every text handed out was freed.
long SysLiveStringCount();

#endif  // _WIN32

// ---- Text conversion ----------------------------------------------------------------------
// The system's narrow text is UTF-8 on this platform; these convert it to and from BSTRs.

// The UTF-8 form of `text` (all SysStringLen units, embedded zeros kept); "" for null. A
// lone surrogate becomes U+FFFD.
std::string BstrToUtf8(BSTR text);

// A new BSTR holding `text` decoded from UTF-8 (an invalid byte becomes U+FFFD). The caller
// frees it with SysFreeString; null only when memory is exhausted.
BSTR BstrFromUtf8(std::string_view text);
