// Module resources: each module carries the resources its resource script names, compiled at
// build time (tools/rc) into a table that registers itself with the module's instance handle
// when the module loads and unregisters when it unloads. Resources are kept in their Windows
// binary forms (DIBs, DIALOGEX templates, string blocks of 16, VS_VERSIONINFO).
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/com.h"
#include "platform/gdi.h"

#ifdef _WIN32
// On Windows a module's resources are its real ones, compiled into it by the resource compiler
// and read with the system's calls (FindResourceW, LoadResource, LoadBitmapW, LoadStringW).
#else

// An integer resource name or type in place of a string, as Windows encodes it.
inline LPCWSTR MAKEINTRESOURCEW(UINT id) {
    return reinterpret_cast<LPCWSTR>(static_cast<std::uintptr_t>(static_cast<WORD>(id)));
}
inline bool IS_INTRESOURCE(LPCWSTR name) {
    return (reinterpret_cast<std::uintptr_t>(name) >> 16) == 0;
}

inline LPCWSTR const RT_CURSOR = MAKEINTRESOURCEW(1);
inline LPCWSTR const RT_BITMAP = MAKEINTRESOURCEW(2);
inline LPCWSTR const RT_ICON = MAKEINTRESOURCEW(3);
inline LPCWSTR const RT_MENU = MAKEINTRESOURCEW(4);
inline LPCWSTR const RT_DIALOG = MAKEINTRESOURCEW(5);
inline LPCWSTR const RT_STRING = MAKEINTRESOURCEW(6);
inline LPCWSTR const RT_RCDATA = MAKEINTRESOURCEW(10);
inline LPCWSTR const RT_GROUP_ICON = MAKEINTRESOURCEW(14);
inline LPCWSTR const RT_VERSION = MAKEINTRESOURCEW(16);

// The resources of one module as the resource compiler writes them: the type and name are
// numbers unless their string form is set.
struct CompiledResource {
    WORD typeId;
    const char16_t* typeName;  // null for a numeric type
    WORD nameId;
    const char16_t* nameName;  // null for a numeric name
    WORD language;             // LANGID, e.g. 0x1409 English (New Zealand)
    const unsigned char* data;
    DWORD size;
};

namespace platform {

// Makes `count` resources of `table` (static data) the resources of `module`; a second call for
// the same module replaces the first. Called by the compiled table's registrar.
void RegisterModuleResources(HMODULE module, const CompiledResource* table, std::size_t count);
void UnregisterModuleResources(HMODULE module);

}  // namespace platform

// Finds resource `name` of `type` in `module` (null: the program), preferring the user's
// language (Portuguese tables for a Portuguese user, else English), then any language. Null
// (ERROR_RESOURCE_NAME_NOT_FOUND or ERROR_RESOURCE_TYPE_NOT_FOUND as the last error) when absent.
HRSRC FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type);
// The same for one language exactly.
HRSRC FindResourceExW(HMODULE module, LPCWSTR type, LPCWSTR name, WORD language);
// The data of a found resource: a handle that LockResource turns into a pointer to the bytes
// (read-only, alive while the module is loaded; no unlocking or freeing needed).
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
const void* LockResource(HGLOBAL data);
// The size of a found resource in bytes; 0 for a bad handle.
DWORD SizeofResource(HMODULE module, HRSRC resource);

// A bitmap made from bitmap resource `name` of `instance`: a device-dependent 32-bit bitmap,
// tagged with the resource id for drawing logs. Null when the resource is missing or its DIB is
// malformed (see platform/bmp_reader.h). Freed with DeleteObject.
HBITMAP LoadBitmapW(HINSTANCE instance, LPCWSTR name);

// Copies string resource `id` of `instance` into `buffer` (at most bufferMax - 1 units, then a
// 0) and returns its length in units; 0 when it is missing or empty (the buffer then holds an
// empty string). With bufferMax 0, *buffer receives a read-only pointer to the string (not
// terminated) and the full length is returned.
int LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int bufferMax);

#endif  // _WIN32
