// What must hold for any registry file text, checked by the registry fuzz target and replayed
// by the unit tests: a refused text says why and changes nothing; an accepted one formats to
// a text that reads back to the same registry.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "platform/registry.h"

namespace registry_fuzz {

inline std::string CheckRegistryText(std::span<const std::uint8_t> bytes) {
    const std::string text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    RegistryDocument document;
    std::string error;
    if (!document.Parse(text, &error)) {
        if (error.empty()) {
            return "a refused text gives no reason";
        }
        return document.KeyPaths().empty() ? "" : "a refused text changed the registry";
    }
    for (const std::string& key : document.KeyPaths()) {
        if (!document.HasKey(key)) {
            return "a listed key is missing: " + key;
        }
    }
    const std::string formatted = document.Format();
    RegistryDocument again;
    if (!again.Parse(formatted, &error)) {
        return "the formatted registry does not read back: " + error;
    }
    if (again.Format() != formatted) {
        return "the formatted registry changes when read and formatted again";
    }
    return {};
}

}  // namespace registry_fuzz
