// The basic Windows type names that the system's interfaces are written in, mapped to
// fixed-width C++ types. Every platform header includes this one. A Windows build takes them
// all from the Windows SDK instead.
#pragma once

#ifdef _WIN32
#include <windows.h>
#else

#include <cstdint>

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using INT = int;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using SHORT = std::int16_t;
using USHORT = std::uint16_t;
using LONGLONG = std::int64_t;
using ULONGLONG = std::uint64_t;
using BOOL = int;
using HRESULT = std::int32_t;
using WCHAR = char16_t;
using LPWSTR = WCHAR*;
using LPCWSTR = const WCHAR*;
using LPSTR = char*;
using LPCSTR = const char*;

#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif

// Geometry in device units (pixels), as GDI, USER and the control framework pass it.
struct POINT {
    LONG x;
    LONG y;
};
struct SIZE {
    LONG cx;
    LONG cy;
};
struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};
using LPPOINT = POINT*;
using LPSIZE = SIZE*;
using LPRECT = RECT*;
using LPCRECT = const RECT*;

// Handles of the window and drawing layer: opaque pointers, as Windows declares them, so
// that a handle of one kind never converts to another.
struct HWND__;
using HWND = HWND__*;
struct HDC__;
using HDC = HDC__*;
struct HGDIOBJ__;
using HGDIOBJ = HGDIOBJ__*;
struct HBITMAP__;
using HBITMAP = HBITMAP__*;
struct HFONT__;
using HFONT = HFONT__*;
struct HBRUSH__;
using HBRUSH = HBRUSH__*;
struct HRGN__;
using HRGN = HRGN__*;
struct HICON__;
using HICON = HICON__*;
struct HRSRC__;
using HRSRC = HRSRC__*;
using HGLOBAL = void*;

// 64-bit sizes and offsets of streams, as Windows' unions of two halves and a whole.
union LARGE_INTEGER {
    struct {
        DWORD LowPart;
        LONG HighPart;
    } u;
    LONGLONG QuadPart;
};
union ULARGE_INTEGER {
    struct {
        DWORD LowPart;
        DWORD HighPart;
    } u;
    ULONGLONG QuadPart;
};

using COLORREF = DWORD;  // 0x00BBGGRR
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

// The calling convention of COM members and their callbacks: Windows' __stdcall, which has no
// meaning on x86-64 Linux. Written where the SDK writes it, so a declaration reads as Windows'.
#ifndef STDMETHODCALLTYPE
#define STDMETHODCALLTYPE
#endif

#endif  // _WIN32

#include <string>
#include <string_view>

// 16-bit text of the Windows interfaces (WCHAR, OLECHAR and BSTR units) as standard strings:
// char16_t units here, wchar_t on Windows.
using WideString = std::basic_string<WCHAR>;
using WideStringView = std::basic_string_view<WCHAR>;

// A literal of WCHAR text outside automation (where OLESTR is the SDK's spelling): the
// prefix of the system's 16-bit character type, WSTR("Pump") or WSTR('x').
#ifdef _WIN32
#define WSTR(text) L##text
#else
#define WSTR(text) u##text
#endif
