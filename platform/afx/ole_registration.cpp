// Registry entries of self-registration, written through one locked atomic edit each of the
// registry file; on Windows recorded and then applied to the system's registry, and the type
// library registered by oleaut32 from the module's own TYPELIB resource.
#include "platform/afx/ole_registration.h"

#include <cstdio>

#include "platform/afx/module_state.h"
#include "platform/registry.h"
#include "platform/typeinfo.h"

#ifdef _WIN32
#include "platform/text_conversion.h"
#endif

namespace {

// A plain static, not thread_local: registration runs on one thread, and a thread_local
// with a destructor in a module that is unloaded again (regsvr loads, calls, unloads) trips
// the leak checker at exit.
std::string lastError;

constexpr const char* kRoot = "HKEY_CLASSES_ROOT\\";
constexpr const char* kDispatchProxy = "{00020420-0000-0000-C000-000000000046}";

BOOL Finish(bool ok, const std::string& error) {
    lastError = ok ? std::string() : error;
    return ok ? TRUE : FALSE;
}

#ifdef _WIN32
// The changes of one registration, applied to the system's registry afterwards: the trees
// removed first, then the values written (one after the other, as Windows' registry has no
// transaction of several keys here).
class RegistryChanges {
  public:
    bool SetValue(const std::string& key, const std::string& name, const std::string& data) {
        values_.push_back({key, name, data});
        return true;
    }
    bool DeleteTree(const std::string& key) {
        trees_.push_back(key);
        return true;
    }
    bool Apply(std::string* error) const {
        return DeleteRegistryTrees(trees_, error) && WriteRegistryValues(values_, error);
    }

  private:
    std::vector<std::string> trees_;
    std::vector<RegistryValue> values_;
};
using RegistryEdit = RegistryChanges;

BOOL Edit(const std::function<bool(RegistryChanges&, std::string*)>& edit) {
    RegistryChanges changes;
    std::string error;
    const bool ok = edit(changes, &error) && changes.Apply(&error);
    return Finish(ok, error);
}
#else
using RegistryEdit = RegistryDocument;

BOOL Edit(const std::function<bool(RegistryDocument&, std::string*)>& edit) {
    std::string error;
    const bool ok = EditRegistry(edit, &error);
    return Finish(ok, error);
}
#endif

std::string ClassKey(REFCLSID clsid) {
    return std::string(kRoot) + "CLSID\\" + GuidToString(clsid);
}

const char* ThreadingModel(int flags) {
    if ((flags & afxRegApartmentThreading) != 0 && (flags & afxRegFreeThreading) != 0) {
        return "Both";
    }
    if ((flags & afxRegFreeThreading) != 0) {
        return "Free";
    }
    return (flags & afxRegApartmentThreading) != 0 ? "Apartment" : nullptr;
}

std::string VersionText(WORD major, WORD minor, bool hex) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, hex ? "%x.%x" : "%u.%u", major, minor);
    return buffer;
}

bool ModulePath(HINSTANCE instance, std::string* path) {
    *path = AfxGetModuleFileName(instance);
    if (path->empty()) {
        lastError = "the module's file path is unknown";
        return false;
    }
    return true;
}

bool TypeName(UINT id, std::string* text) {
    if (!AfxLoadString(id, text)) {
        lastError = "the module has no string resource " + std::to_string(id);
        return false;
    }
    return true;
}

// Writes the CLSID key with its type name and InprocServer32.
bool WriteServer(RegistryEdit& doc, const std::string& key, const std::string& typeName,
                 const std::string& path, int flags) {
    bool ok = doc.SetValue(key, "", typeName) && doc.SetValue(key + "\\InprocServer32", "", path);
    if (const char* model = ThreadingModel(flags); ok && model != nullptr) {
        ok = doc.SetValue(key + "\\InprocServer32", "ThreadingModel", model);
    }
    return ok;
}

bool Invalid(std::string* error) {
    *error = "a registry key or value is not valid";
    return false;
}

}  // namespace

BOOL AfxOleRegisterControlClass(HINSTANCE hInstance, REFCLSID clsid, LPCSTR pszProgID,
                                UINT idTypeName, UINT idBitmap, int nRegFlags, DWORD dwMiscStatus,
                                REFGUID tlid, WORD wVerMajor, WORD wVerMinor) {
    std::string path;
    std::string typeName;
    if (!ModulePath(hInstance, &path) || !TypeName(idTypeName, &typeName)) {
        return FALSE;
    }
    const bool insertable = (nRegFlags & afxRegInsertable) != 0;
    return Edit([&](RegistryEdit& doc, std::string* error) {
        const std::string key = ClassKey(clsid);
        doc.DeleteTree(key);  // no stale entries of an earlier registration
        bool ok =
            WriteServer(doc, key, typeName, path, nRegFlags) &&
            doc.SetValue(key + "\\Control", "", "") &&
            doc.SetValue(key + "\\MiscStatus", "", "0") &&
            doc.SetValue(key + "\\MiscStatus\\1", "", std::to_string(dwMiscStatus)) &&
            doc.SetValue(key + "\\ToolboxBitmap32", "", path + ", " + std::to_string(idBitmap)) &&
            doc.SetValue(key + "\\TypeLib", "", GuidToString(tlid)) &&
            doc.SetValue(key + "\\Version", "", VersionText(wVerMajor, wVerMinor, false));
        if (ok && insertable) {
            ok = doc.SetValue(key + "\\Insertable", "", "");
        }
        if (ok && pszProgID != nullptr) {
            const std::string progKey = std::string(kRoot) + pszProgID;
            ok = doc.SetValue(key + "\\ProgID", "", pszProgID) &&
                 doc.SetValue(progKey, "", typeName) &&
                 doc.SetValue(progKey + "\\CLSID", "", GuidToString(clsid)) &&
                 (!insertable || doc.SetValue(progKey + "\\Insertable", "", ""));
        }
        return ok || Invalid(error);
    });
}

BOOL AfxOleRegisterPropertyPageClass(HINSTANCE hInstance, REFCLSID clsid, UINT idTypeName,
                                     int nRegFlags) {
    std::string path;
    std::string typeName;
    if (!ModulePath(hInstance, &path) || !TypeName(idTypeName, &typeName)) {
        return FALSE;
    }
    return Edit([&](RegistryEdit& doc, std::string* error) {
        const std::string key = ClassKey(clsid);
        doc.DeleteTree(key);
        return WriteServer(doc, key, typeName, path, nRegFlags) || Invalid(error);
    });
}

BOOL AfxOleRegisterServerClass(REFCLSID clsid, LPCSTR pszProgID) {
    std::string path;
    if (!ModulePath(AfxGetInstanceHandle(), &path)) {
        return FALSE;
    }
    return Edit([&](RegistryEdit& doc, std::string* error) {
        const std::string key = ClassKey(clsid);
        bool ok = doc.SetValue(key + "\\InprocServer32", "", path);
        if (ok && pszProgID != nullptr) {
            ok = doc.SetValue(key + "\\ProgID", "", pszProgID) &&
                 doc.SetValue(std::string(kRoot) + pszProgID + "\\CLSID", "", GuidToString(clsid));
        }
        return ok || Invalid(error);
    });
}

BOOL AfxOleUnregisterClass(REFCLSID clsid, LPCSTR pszProgID) {
    return Edit([&](RegistryEdit& doc, std::string*) {
        doc.DeleteTree(ClassKey(clsid));
        if (pszProgID != nullptr && *pszProgID != 0) {
            doc.DeleteTree(std::string(kRoot) + pszProgID);
        }
        return true;
    });
}

#ifdef _WIN32
namespace {

// The folder of a module path, either separator.
std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

}  // namespace

BOOL AfxOleRegisterTypeLib(HINSTANCE hInstance, REFGUID tlid, LPCSTR pszFileName,
                           LPCSTR pszHelpDir) {
    std::string path;
    if (pszFileName != nullptr) {
        path = pszFileName;
    } else if (!ModulePath(hInstance, &path)) {
        return FALSE;
    }
    const WideString widePath = Utf8ToUtf16(path);
    ITypeLib* library = nullptr;
    HRESULT hr = LoadTypeLibEx(widePath.c_str(), REGKIND_NONE, &library);
    if (FAILED(hr)) {
        return Finish(false, path + " holds no type library (" + std::to_string(hr) + ")");
    }
    TLIBATTR* attributes = nullptr;
    bool right = false;
    if (SUCCEEDED(library->GetLibAttr(&attributes))) {
        right = attributes->guid == tlid;
        library->ReleaseTLibAttr(attributes);
    }
    if (!right) {
        library->Release();
        return Finish(false, "the module has no type library " + GuidToString(tlid));
    }
    const WideString helpDir = Utf8ToUtf16(pszHelpDir != nullptr ? pszHelpDir : FolderOf(path));
    hr = RegisterTypeLib(library, const_cast<LPOLESTR>(widePath.c_str()),
                         const_cast<LPOLESTR>(helpDir.c_str()));
    library->Release();
    return Finish(SUCCEEDED(hr),
                  "the type library could not be registered (" + std::to_string(hr) + ")");
}

BOOL AfxOleUnregisterTypeLib(REFGUID tlid, WORD wVerMajor, WORD wVerMinor, LCID lcid) {
    const HRESULT hr = UnRegisterTypeLib(tlid, wVerMajor, wVerMinor, lcid, SYS_WIN64);
    return Finish(SUCCEEDED(hr), "the type library " + GuidToString(tlid) + " version " +
                                     VersionText(wVerMajor, wVerMinor, false) +
                                     " could not be unregistered (" + std::to_string(hr) + ")");
}
#else
BOOL AfxOleRegisterTypeLib(HINSTANCE hInstance, REFGUID tlid, LPCSTR pszFileName,
                           LPCSTR pszHelpDir) {
    const TypeLibInfo* lib = AfxGetModuleState()->m_pTypeLib;
    if (lib == nullptr || lib->libid != tlid) {
        return Finish(false, "the module has no type library " + GuidToString(tlid));
    }
    std::string path;
    if (pszFileName != nullptr) {
        path = pszFileName;
    } else if (!ModulePath(hInstance, &path)) {
        return FALSE;
    }
    std::string helpDir;
    if (pszHelpDir != nullptr) {
        helpDir = pszHelpDir;
    } else {
        const std::size_t slash = path.rfind('/');
        helpDir = slash == std::string::npos ? std::string(".") : path.substr(0, slash);
    }
    return Edit([&](RegistryEdit& doc, std::string* error) {
        const std::string libid = GuidToString(tlid);
        const std::string version = VersionText(lib->majorVersion, lib->minorVersion, true);
        const std::string key = std::string(kRoot) + "TypeLib\\" + libid + "\\" + version;
        doc.DeleteTree(key);
        bool ok = doc.SetValue(key, "", lib->helpString != nullptr ? lib->helpString : lib->name) &&
                  doc.SetValue(key + "\\0\\win64", "", path) &&
                  doc.SetValue(key + "\\FLAGS", "", std::to_string(lib->libFlags)) &&
                  doc.SetValue(key + "\\HELPDIR", "", helpDir);
        for (const DispInterfaceInfo* iface : lib->interfaces) {
            const std::string ifaceKey =
                std::string(kRoot) + "Interface\\" + GuidToString(iface->iid);
            ok = ok && doc.SetValue(ifaceKey, "", iface->name) &&
                 doc.SetValue(ifaceKey + "\\ProxyStubClsid", "", kDispatchProxy) &&
                 doc.SetValue(ifaceKey + "\\ProxyStubClsid32", "", kDispatchProxy) &&
                 doc.SetValue(ifaceKey + "\\TypeLib", "", libid) &&
                 doc.SetValue(ifaceKey + "\\TypeLib", "Version",
                              VersionText(lib->majorVersion, lib->minorVersion, false));
        }
        return ok || Invalid(error);
    });
}

BOOL AfxOleUnregisterTypeLib(REFGUID tlid, WORD wVerMajor, WORD wVerMinor, LCID) {
    return Edit([&](RegistryEdit& doc, std::string* error) {
        const std::string libid = GuidToString(tlid);
        const std::string libKey = std::string(kRoot) + "TypeLib\\" + libid;
        const std::string versionKey = libKey + "\\" + VersionText(wVerMajor, wVerMinor, true);
        if (!doc.DeleteTree(versionKey)) {
            *error = "the type library " + libid + " version " +
                     VersionText(wVerMajor, wVerMinor, false) + " is not registered";
            return false;
        }
        if (doc.SubKeys(libKey).empty()) {
            doc.DeleteTree(libKey);
        }
        const std::string interfaces = std::string(kRoot) + "Interface";
        for (const std::string& iid : doc.SubKeys(interfaces)) {
            const auto owner = doc.GetValue(interfaces + "\\" + iid + "\\TypeLib", "");
            GUID ownerId{};
            if (owner && GuidFromString(*owner, &ownerId) && ownerId == tlid) {
                doc.DeleteTree(interfaces + "\\" + iid);
            }
        }
        return true;
    });
}

#endif  // _WIN32

std::string AfxGetRegistrationError() {
    return lastError;
}
