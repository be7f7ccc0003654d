// The module of an address, from the loader: the module's handle is its load address.
#include "platform/com.h"

HMODULE ModuleFromAddress(const void* address) {
    HMODULE module = nullptr;
    // UNCHANGED_REFCOUNT: the caller names a module it lives in, which stays loaded meanwhile.
    if (!GetModuleHandleExW(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            static_cast<LPCWSTR>(address), &module)) {
        return nullptr;
    }
    return module;
}
