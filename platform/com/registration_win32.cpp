// A module's registration written to the Windows registry under HKEY_CLASSES_ROOT, the keys
// and values being those the registry file holds on the other system.
#include <windows.h>

#include <string_view>

#include "platform/registry.h"
#include "platform/text_conversion.h"

namespace {

constexpr std::string_view kClassesRoot = "HKEY_CLASSES_ROOT\\";

// The path below HKEY_CLASSES_ROOT, or false for a path under another root (or the root
// itself, which a registration never deletes or writes as a whole).
bool SubKeyOf(const std::string& key, WideString* subKey) {
    if (key.size() <= kClassesRoot.size() ||
        key.compare(0, kClassesRoot.size(), kClassesRoot) != 0) {
        return false;
    }
    *subKey = Utf8ToUtf16(std::string_view(key).substr(kClassesRoot.size()));
    return true;
}

bool Fail(std::string* error, const std::string& what, LONG code) {
    if (error != nullptr) {
        *error = what + " (Windows error " + std::to_string(code) + ")";
    }
    return false;
}

}  // namespace

bool WriteRegistryValues(const std::vector<RegistryValue>& values, std::string* error) {
    for (const RegistryValue& value : values) {
        WideString subKey;
        if (!SubKeyOf(value.key, &subKey)) {
            return Fail(error, "not a key of HKEY_CLASSES_ROOT: " + value.key, ERROR_INVALID_NAME);
        }
        HKEY key = nullptr;
        LONG rc = RegCreateKeyExW(HKEY_CLASSES_ROOT, subKey.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                  nullptr, &key, nullptr);
        if (rc != ERROR_SUCCESS) {
            return Fail(error, "cannot create " + value.key, rc);
        }
        const WideString name = Utf8ToUtf16(value.name);
        const WideString data = Utf8ToUtf16(value.data);
        rc = RegSetValueExW(key, name.empty() ? nullptr : name.c_str(), 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(data.c_str()),
                            static_cast<DWORD>((data.size() + 1) * sizeof(WCHAR)));
        RegCloseKey(key);
        if (rc != ERROR_SUCCESS) {
            return Fail(error, "cannot set value \"" + value.name + "\" of " + value.key, rc);
        }
    }
    return true;
}

bool DeleteRegistryTrees(const std::vector<std::string>& keys, std::string* error) {
    for (const std::string& path : keys) {
        WideString subKey;
        if (!SubKeyOf(path, &subKey)) {
            return Fail(error, "not a key of HKEY_CLASSES_ROOT: " + path, ERROR_INVALID_NAME);
        }
        // Given a subkey, RegDeleteTreeW removes that key too, not only what is under it.
        const LONG rc = RegDeleteTreeW(HKEY_CLASSES_ROOT, subKey.c_str());
        if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND) {
            return Fail(error, "cannot delete " + path, rc);
        }
    }
    return true;
}
