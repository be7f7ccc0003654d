// GUID text forms, task memory, module paths, and creation of in-process objects through the
// registry and dlopen, with the table of modules this process has loaded.
#include "platform/com.h"

#include <dlfcn.h>

#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <map>
#include <mutex>
#include <optional>

#include <unistd.h>

#include "platform/com_ptr.h"
#include "platform/registry.h"
#include "platform/text_conversion.h"

namespace {

thread_local std::string lastErrorText;

// Keeps the sentence made of `pieces` as the thread's last error text. The pieces are
// appended one by one: GCC 12 at -O3 reports a false -Wrestrict for "literal" + std::string.
HRESULT Fail(HRESULT hr, std::initializer_list<std::string_view> pieces) {
    lastErrorText.clear();
    for (std::string_view piece : pieces) {
        lastErrorText += piece;
    }
    return hr;
}

HRESULT Succeed() {
    lastErrorText.clear();
    return S_OK;
}

using GetClassObjectFn = HRESULT (*)(REFCLSID, REFIID, void**);
using CanUnloadNowFn = HRESULT (*)();

struct LoadedModule {
    void* handle;
    GetClassObjectFn getClassObject;
    CanUnloadNowFn canUnloadNow;
};

// Modules by the path registered for them. The apartment model puts every call on one
// thread; the mutex only guards against a misbehaving caller.
std::mutex modulesMutex;
std::map<std::string, LoadedModule>& Modules() {
    static std::map<std::string, LoadedModule> modules;
    return modules;
}

bool ReadClassKey(REFCLSID clsid, std::string_view sub, std::string_view name,
                  std::optional<std::string>* value, HRESULT* hr) {
    RegistryDocument doc;
    std::string error;
    if (!LoadRegistry(&doc, &error)) {
        *hr = Fail(REGDB_E_READREGDB, {error});
        return false;
    }
    std::string key = "HKEY_CLASSES_ROOT\\CLSID\\";
    key += GuidToString(clsid);
    if (!sub.empty()) {
        key += '\\';
        key += sub;
    }
    *value = doc.GetValue(key, name);
    return true;
}

}  // namespace

int StringFromGUID2(REFGUID guid, LPOLESTR text, int cchMax) {
    if (text == nullptr || cchMax < 39) {
        return 0;
    }
    const std::u16string wide = Utf8ToUtf16(GuidToString(guid));
    wide.copy(text, wide.size());
    text[wide.size()] = 0;
    return static_cast<int>(wide.size() + 1);
}

HRESULT CLSIDFromString(LPCOLESTR text, CLSID* clsid) {
    if (text == nullptr || clsid == nullptr) {
        return E_INVALIDARG;
    }
    // Anything but 38 units of the braced form fails in GuidFromString, non-ASCII included.
    return GuidFromString(Utf16ToUtf8(Utf16View(text)), clsid) ? S_OK : CO_E_CLASSSTRING;
}

void* CoTaskMemAlloc(std::size_t bytes) {
    return std::malloc(bytes == 0 ? 1 : bytes);
}

void CoTaskMemFree(void* block) {
    std::free(block);
}

HMODULE ModuleFromAddress(const void* address) {
    Dl_info info{};
    if (dladdr(address, &info) == 0 || info.dli_fbase == nullptr) {
        return nullptr;
    }
    return static_cast<HMODULE>(info.dli_fbase);
}

DWORD GetModuleFileNameA(HMODULE module, LPSTR path, DWORD size) {
    if (path == nullptr || size == 0) {
        return 0;
    }
    std::string name;
    if (module == nullptr) {
        char buffer[4096];
        const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
        if (n <= 0) {
            return 0;
        }
        name.assign(buffer, static_cast<std::size_t>(n));
    } else {
        Dl_info info{};
        if (dladdr(module, &info) == 0 || info.dli_fname == nullptr) {
            return 0;
        }
        name = info.dli_fname;
        if (info.dli_fbase != module) {
            return 0;
        }
        if (name.empty() || name.find('/') == std::string::npos) {
            // The main program reports its name as given; take its real path.
            return GetModuleFileNameA(nullptr, path, size);
        }
    }
    const std::size_t copied = name.size() < size - 1 ? name.size() : size - 1;
    std::memcpy(path, name.data(), copied);
    path[copied] = 0;
    return static_cast<DWORD>(copied);
}

HRESULT CLSIDFromProgID(LPCOLESTR progId, CLSID* clsid) {
    if (progId == nullptr || clsid == nullptr) {
        return E_INVALIDARG;
    }
    const std::string name = Utf16ToUtf8(Utf16View(progId));
    RegistryDocument doc;
    std::string error;
    if (!LoadRegistry(&doc, &error)) {
        return Fail(REGDB_E_READREGDB, {error});
    }
    std::string key = "HKEY_CLASSES_ROOT\\";
    key += name;
    key += "\\CLSID";
    const auto text = doc.GetValue(key, "");
    if (name.empty() || name.find('\\') != std::string::npos || !text) {
        return Fail(CO_E_CLASSSTRING, {"no class is registered with the ProgID \"", name, "\""});
    }
    if (!GuidFromString(*text, clsid)) {
        return Fail(CO_E_CLASSSTRING,
                    {"the ProgID \"", name, "\" names an invalid CLSID \"", *text, "\""});
    }
    return Succeed();
}

HRESULT ProgIDFromCLSID(REFCLSID clsid, LPOLESTR* progId) {
    if (progId == nullptr) {
        return E_INVALIDARG;
    }
    *progId = nullptr;
    std::optional<std::string> value;
    HRESULT hr = S_OK;
    if (!ReadClassKey(clsid, "ProgID", "", &value, &hr)) {
        return hr;
    }
    if (!value) {
        return Fail(REGDB_E_CLASSNOTREG, {"the class ", GuidToString(clsid), " has no ProgID"});
    }
    const std::u16string wide = Utf8ToUtf16(*value);
    auto* text = static_cast<LPOLESTR>(CoTaskMemAlloc((wide.size() + 1) * sizeof(OLECHAR)));
    if (text == nullptr) {
        return E_OUTOFMEMORY;
    }
    wide.copy(text, wide.size());
    text[wide.size()] = 0;
    *progId = text;
    return Succeed();
}

HRESULT CoGetClassObject(REFCLSID clsid, DWORD clsContext, void* reserved, REFIID riid,
                         void** ppv) {
    if (ppv == nullptr) {
        return E_POINTER;
    }
    *ppv = nullptr;
    if ((clsContext & CLSCTX_INPROC_SERVER) == 0 || reserved != nullptr) {
        return Fail(E_INVALIDARG, {"only in-process servers (CLSCTX_INPROC_SERVER) are served"});
    }
    std::optional<std::string> path;
    HRESULT hr = S_OK;
    if (!ReadClassKey(clsid, "InprocServer32", "", &path, &hr)) {
        return hr;
    }
    if (!path || path->empty()) {
        return Fail(REGDB_E_CLASSNOTREG,
                    {"the class ", GuidToString(clsid), " is not registered (no InprocServer32)"});
    }
    LoadedModule module{};
    {
        std::lock_guard guard(modulesMutex);
        auto found = Modules().find(*path);
        if (found != Modules().end()) {
            module = found->second;
        } else {
            void* handle = dlopen(path->c_str(), RTLD_NOW | RTLD_LOCAL);
            if (handle == nullptr) {
                const char* why = dlerror();
                return Fail(HRESULT_MOD_NOT_FOUND,
                            {"cannot load the module ", *path, " of class ", GuidToString(clsid),
                             ": ", why != nullptr ? why : "?"});
            }
            module.handle = handle;
            module.getClassObject =
                reinterpret_cast<GetClassObjectFn>(dlsym(handle, "DllGetClassObject"));
            module.canUnloadNow =
                reinterpret_cast<CanUnloadNowFn>(dlsym(handle, "DllCanUnloadNow"));
            if (module.getClassObject == nullptr || module.canUnloadNow == nullptr) {
                dlclose(handle);
                return Fail(
                    HRESULT_PROC_NOT_FOUND,
                    {"the module ", *path, " does not export ",
                     module.getClassObject == nullptr ? "DllGetClassObject" : "DllCanUnloadNow"});
            }
            Modules().emplace(*path, module);
        }
    }
    hr = module.getClassObject(clsid, riid, ppv);
    if (FAILED(hr)) {
        *ppv = nullptr;
        return Fail(hr, {"the module ", *path, " has no class object for ", GuidToString(clsid),
                         ": ", HResultText(hr)});
    }
    return Succeed();
}

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* pUnkOuter, DWORD clsContext, REFIID riid,
                         void** ppv) {
    if (ppv == nullptr) {
        return E_POINTER;
    }
    *ppv = nullptr;
    ComPtr<IClassFactory> factory;
    HRESULT hr = CoGetClassObject(clsid, clsContext, nullptr, IID_IClassFactory, factory.OutVoid());
    if (FAILED(hr)) {
        return hr;
    }
    hr = factory->CreateInstance(pUnkOuter, riid, ppv);
    if (FAILED(hr)) {
        *ppv = nullptr;
        return Fail(hr, {"the class factory of ", GuidToString(clsid),
                         " could not create the object: ", HResultText(hr)});
    }
    return Succeed();
}

void CoFreeUnusedLibraries() {
    std::lock_guard guard(modulesMutex);
    for (auto it = Modules().begin(); it != Modules().end();) {
        if (it->second.canUnloadNow() == S_OK) {
            dlclose(it->second.handle);
            it = Modules().erase(it);
        } else {
            ++it;
        }
    }
}

int CoLoadedLibraryCount() {
    std::lock_guard guard(modulesMutex);
    return static_cast<int>(Modules().size());
}

std::string CoGetLastErrorText() {
    return lastErrorText;
}
