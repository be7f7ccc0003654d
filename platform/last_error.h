// The calling thread's last-error code, as the Win32 stand-ins report it (GetLastError after a
// call that returned 0 or FALSE), and the error numbers they use. A Windows build has them from
// the SDK.
#pragma once

#include "platform/win_types.h"

#ifndef _WIN32

constexpr DWORD ERROR_SUCCESS = 0;
constexpr DWORD ERROR_INVALID_PARAMETER = 87;
constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
constexpr DWORD ERROR_INVALID_FLAGS = 1004;

// The code the last failing stand-in call on this thread set; calls that succeed leave it alone.
DWORD GetLastError();
void SetLastError(DWORD code);

#endif  // _WIN32
