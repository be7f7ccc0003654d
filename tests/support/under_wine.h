// Whether a Windows test program runs under Wine rather than on Windows. The few cases that
// Wine is known to answer otherwise than Windows (tests/conformance/known_differences.txt gives
// each reason and which side Windows agrees with) are left out under Wine and still checked on
// Windows; on Linux there is nothing to leave out.
#pragma once

#ifdef _WIN32
#include <windows.h>
#endif

namespace test_support {

inline bool RunningUnderWine() {
#ifdef _WIN32
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
#else
    return false;
#endif
}

}  // namespace test_support
