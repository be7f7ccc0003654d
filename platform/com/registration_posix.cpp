// A module's registration written to the registry file: every change in one EditRegistry.
#include "platform/registry.h"

bool WriteRegistryValues(const std::vector<RegistryValue>& values, std::string* error) {
    return EditRegistry(
        [&](RegistryDocument& doc, std::string* why) {
            for (const RegistryValue& value : values) {
                if (!doc.SetValue(value.key, value.name, value.data)) {
                    *why = "cannot set value \"" + value.name + "\" of " + value.key;
                    return false;
                }
            }
            return true;
        },
        error);
}

bool DeleteRegistryTrees(const std::vector<std::string>& keys, std::string* error) {
    return EditRegistry(
        [&](RegistryDocument& doc, std::string*) {
            for (const std::string& key : keys) {
                doc.DeleteTree(key);  // a key already missing is what was asked for
            }
            return true;
        },
        error);
}
