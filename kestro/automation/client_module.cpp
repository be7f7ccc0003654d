// The module KestroClient.so: the class factory of the client automation object and the four
// exports of an in-process server. Registration writes the class under its CLSID (apartment
// threaded) and the ProgID Kestro.Client.1.
#include <atomic>
#include <string>

#include "kestro/automation/client_type_library.h"
#include "kestro/automation/kestro_client.h"
#include "platform/registry.h"
#include "platform/unknown_base.h"

#define KESTRO_EXPORT extern "C" __attribute__((visibility("default")))

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

std::string ModulePath() {
    char path[4096];
    const DWORD length = GetModuleFileNameA(ModuleFromAddress(&factory), path, sizeof path);
    return std::string(path, length);
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
    const bool ok = EditRegistry(
        [&](RegistryDocument& doc, std::string*) {
            const std::string key = ClassKey();
            const std::string progKey = std::string("HKEY_CLASSES_ROOT\\") + kClientProgId;
            return doc.SetValue(key, "", kTypeName) &&
                   doc.SetValue(key + "\\InprocServer32", "", path) &&
                   doc.SetValue(key + "\\InprocServer32", "ThreadingModel", "Apartment") &&
                   doc.SetValue(key + "\\ProgID", "", kClientProgId) &&
                   doc.SetValue(progKey, "", kTypeName) &&
                   doc.SetValue(progKey + "\\CLSID", "", GuidToString(kClientClsid));
        },
        nullptr);
    return ok ? S_OK : SELFREG_E_CLASS;
}

KESTRO_EXPORT HRESULT DllUnregisterServer() {
    const bool ok = EditRegistry(
        [](RegistryDocument& doc, std::string*) {
            doc.DeleteTree(ClassKey());
            doc.DeleteTree(std::string("HKEY_CLASSES_ROOT\\") + kClientProgId);
            return true;
        },
        nullptr);
    return ok ? S_OK : SELFREG_E_CLASS;
}
