// Wide literals in the unit of the Windows interfaces' 16-bit text (WCHAR, OLECHAR): char16_t
// on Linux, wchar_t on Windows, UTF-16 on both. WIDE("ab") is u"ab" on Linux and L"ab" on
// Windows, WIDE('a') a unit; the strings compare as WideString (platform/win_types.h).
#pragma once

#include "platform/win_types.h"

#ifdef _WIN32
#define WIDE(text) L##text
#else
#define WIDE(text) u##text
#endif
