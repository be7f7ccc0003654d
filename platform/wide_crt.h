// The wide-character C runtime functions the system calls, with the Microsoft C runtime's
// rules (glibc has no 16-bit wide strings).
#pragma once

#include "platform/win_types.h"

#ifdef _WIN32
// On Windows these are the C runtime's own.
#include <cstdlib>
#else

// The leading decimal number of `text`: white space (space, tab, line feed, vertical tab, form
// feed, carriage return) is skipped, then an optional '+' or '-', then ASCII digits up to the
// first other character ("3;0" gives 3, " -12x" gives -12). No digits give 0. A value beyond
// the int range gives INT_MAX or INT_MIN and sets errno to ERANGE; a null `text` gives 0 and
// sets errno to EINVAL. errno is left alone otherwise.
int _wtoi(const WCHAR* text);

#endif  // _WIN32
