// A test technique: replaces the address that a loaded module calls for one imported function
// (its import address table entry) with another, so that a host can count the module's calls
// of a system function. Only the module's own calls through its import table are seen.
#pragma once

#include <windows.h>

#include <cstring>

namespace host {

// In MODULE, the import of FUNCTION from the DLL named LIBRARY (case-insensitive) now calls
// REPLACEMENT. Returns the address it called before, or nullptr when the module imports no such
// function by name (or its table cannot be written).
inline void* PatchImport(HMODULE module, const char* library, const char* function,
                         void* replacement) {
    auto* base = reinterpret_cast<BYTE*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    if (module == nullptr || dos->e_magic != IMAGE_DOS_SIGNATURE) {
        return nullptr;
    }
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0) {
        return nullptr;
    }
    for (auto* descriptor =
             reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         descriptor->Name != 0; ++descriptor) {
        if (lstrcmpiA(reinterpret_cast<const char*>(base + descriptor->Name), library) != 0) {
            continue;
        }
        // The names are in the original (lookup) table; the addresses in the bound one.
        const DWORD lookupAt = descriptor->OriginalFirstThunk != 0 ? descriptor->OriginalFirstThunk
                                                                   : descriptor->FirstThunk;
        auto* lookup = reinterpret_cast<IMAGE_THUNK_DATA*>(base + lookupAt);
        auto* bound = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->FirstThunk);
        for (; lookup->u1.AddressOfData != 0; ++lookup, ++bound) {
            if (IMAGE_SNAP_BY_ORDINAL(lookup->u1.Ordinal)) {
                continue;
            }
            const auto* byName =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + lookup->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) != 0) {
                continue;
            }
            DWORD oldProtection = 0;
            if (!VirtualProtect(&bound->u1.Function, sizeof bound->u1.Function, PAGE_READWRITE,
                                &oldProtection)) {
                return nullptr;
            }
            void* previous = reinterpret_cast<void*>(bound->u1.Function);
            bound->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&bound->u1.Function, sizeof bound->u1.Function, oldProtection,
                           &oldProtection);
            return previous;
        }
    }
    return nullptr;
}

}  // namespace host
