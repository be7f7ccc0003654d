// regsvr: registers (DllRegisterServer) or unregisters (DllUnregisterServer) an in-process
// COM module in the registry file, and prints the keys it added or removed.
#include <dlfcn.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <set>
#include <string>

#include "platform/com.h"
#include "platform/registry.h"

namespace {

// Exit statuses: what went wrong, for scripts.
constexpr int kUsage = 2;
constexpr int kLoadFailed = 3;
constexpr int kNoEntryPoint = 4;
constexpr int kCallFailed = 5;

int Usage() {
    std::cerr << "usage: regsvr [/u] MODULE\n"
                 "  Registers MODULE (calls its DllRegisterServer), or with /u unregisters it\n"
                 "  (DllUnregisterServer), in the registry file $FORECOURT_REGISTRY\n"
                 "  (default $XDG_DATA_HOME/forecourt/registry).\n"
                 "  Exit status: 0 done, 2 usage, 3 module not loadable, 4 entry point missing,\n"
                 "  5 the entry point failed (its code is printed).\n";
    return kUsage;
}

std::set<std::string> Keys() {
    RegistryDocument doc;
    std::string error;
    std::set<std::string> keys;
    if (LoadRegistry(&doc, &error)) {
        for (const std::string& key : doc.KeyPaths()) {
            keys.insert(key);
        }
    }
    return keys;
}

}  // namespace

int main(int argc, char** argv) {
    bool unregister = false;
    const char* module = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "/u") == 0 || std::strcmp(argv[i], "-u") == 0) {
            unregister = true;
        } else if (argv[i][0] == '-' || module != nullptr) {
            return Usage();
        } else {
            module = argv[i];
        }
    }
    if (module == nullptr) {
        return Usage();
    }
    // The module registers the path it was loaded from: make it absolute.
    char resolved[PATH_MAX];
    if (realpath(module, resolved) == nullptr) {
        std::cerr << "regsvr: cannot find " << module << ": " << std::strerror(errno) << '\n';
        return kLoadFailed;
    }
    void* handle = dlopen(resolved, RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        std::cerr << "regsvr: cannot load " << resolved << ": " << dlerror() << '\n';
        return kLoadFailed;
    }
    const char* entry = unregister ? "DllUnregisterServer" : "DllRegisterServer";
    auto call = reinterpret_cast<HRESULT (*)()>(dlsym(handle, entry));
    if (call == nullptr) {
        std::cerr << "regsvr: " << resolved << " does not export " << entry << '\n';
        dlclose(handle);
        return kNoEntryPoint;
    }
    const std::set<std::string> before = Keys();
    const HRESULT hr = call();
    const std::set<std::string> after = Keys();
    dlclose(handle);
    if (FAILED(hr)) {
        std::cerr << "regsvr: " << entry << " in " << resolved << " failed: " << HResultText(hr)
                  << '\n';
        // The module tells only its code; the registry tells why it could not be changed.
        if (const std::string why = RegistryGetLastErrorText(); !why.empty()) {
            std::cerr << "regsvr: " << why << '\n';
        }
        return kCallFailed;
    }
    std::cout << entry << " in " << resolved << " succeeded (registry " << RegistryFilePath()
              << ").\n";
    for (const std::string& key : after) {
        if (before.count(key) == 0) {
            std::cout << "  + " << key << '\n';
        }
    }
    for (const std::string& key : before) {
        if (after.count(key) == 0) {
            std::cout << "  - " << key << '\n';
        }
    }
    return 0;
}
