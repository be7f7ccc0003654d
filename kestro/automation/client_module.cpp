// The module KestroClient.so (KestroClient.dll on Windows): the class factory of the client
// automation object and the four exports of an in-process server. Registration writes the class
// under its CLSID (apartment threaded) and the ProgID Kestro.Client.1, the same keys on either
// system.
#include <atomic>
#include <string>

#include "kestro/automation/client_type_library.h"
#include "kestro/automation/kestro_client.h"
#include "platform/registry.h"
#include "platform/unknown_base.h"

#ifdef _WIN32
#include "platform/text_conversion.h"
// KestroClient.def names the exports.
#define KESTRO_EXPORT extern "C"
#else
#define KESTRO_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {

using namespace kestro::automation;

std::atomic<int> liveObjects = 0;
std::atomic<int> serverLocks = 0;

constexpr char kTypeName[] = "Kestro client automation object";

// The factory is static: it only counts as a server lock while referenced.
class ClientFactory final : public StaticObject<IClassFactory> {
  public:
    HRESULT CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppvObject) override {
        if (ppvObject == nullptr) {
            return E_POINTER;
        }
        *ppvObject = nullptr;
        if (pUnkOuter != nullptr) {
            return CLASS_E_NOAGGREGATION;
        }
        ++liveObjects;
        auto* client = new CKestroClient([] { --liveObjects; });
        HRESULT hr = client->QueryInterface(riid, ppvObject);
        client->Release();
        return hr;
    }
    HRESULT LockServer(BOOL fLock) override {
        serverLocks += fLock ? 1 : -1;
        return S_OK;
    }
};

ClientFactory factory;

// This module's file in UTF-8; "" when it cannot be told.
std::string ModulePath() {
#ifdef _WIN32
    WCHAR path[MAX_PATH * 4];
    const DWORD length = GetModuleFileNameW(ModuleFromAddress(&factory), path, MAX_PATH * 4);
    if (length == 0 || length >= MAX_PATH * 4) {
        return {};  // a path cut short would register another file
    }
    return Utf16ToUtf8(WideStringView(path, length));
#else
    char path[4096];
    const DWORD length = GetModuleFileNameA(ModuleFromAddress(&factory), path, sizeof path);
    return std::string(path, length);
#endif
}

std::string ClassKey() {
    return "HKEY_CLASSES_ROOT\\CLSID\\" + GuidToString(kClientClsid);
}

}  // namespace

KESTRO_EXPORT HRESULT DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv) {
    if (ppv == nullptr) {
        return E_POINTER;
    }
    if (rclsid != kClientClsid) {
        *ppv = nullptr;
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    return factory.QueryInterface(riid, ppv);
}

KESTRO_EXPORT HRESULT DllCanUnloadNow() {
    return liveObjects == 0 && serverLocks == 0 ? S_OK : S_FALSE;
}

KESTRO_EXPORT HRESULT DllRegisterServer() {
    const std::string path = ModulePath();
    if (path.empty()) {
        return SELFREG_E_CLASS;
    }
    const std::string key = ClassKey();
    const std::string progKey = std::string("HKEY_CLASSES_ROOT\\") + kClientProgId;
    const bool ok = WriteRegistryValues({{key, "", kTypeName},
                                         {key + "\\InprocServer32", "", path},
                                         {key + "\\InprocServer32", "ThreadingModel", "Apartment"},
                                         {key + "\\ProgID", "", kClientProgId},
                                         {progKey, "", kTypeName},
                                         {progKey + "\\CLSID", "", GuidToString(kClientClsid)}},
                                        nullptr);
    return ok ? S_OK : SELFREG_E_CLASS;
}

KESTRO_EXPORT HRESULT DllUnregisterServer() {
    const bool ok = DeleteRegistryTrees(
        {ClassKey(), std::string("HKEY_CLASSES_ROOT\\") + kClientProgId}, nullptr);
    return ok ? S_OK : SELFREG_E_CLASS;
}
