// Reading a compiled resource file (.res, as windres -O res and rc.exe write it): a sequence of
// records, each a header (data size, header size, type, name, data version, memory flags,
// language, version, characteristics) and its data, both padded to 4 bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace rc_windres {

// A resource type or name: a number, or a string when `text` is not empty.
struct ResourceId {
    std::uint16_t id = 0;
    std::u16string text;
    bool operator==(const ResourceId&) const = default;
    auto operator<=>(const ResourceId&) const = default;
};

struct ResourceKey {
    ResourceId type;
    ResourceId name;
    std::uint16_t language = 0;
    bool operator==(const ResourceKey&) const = default;
    auto operator<=>(const ResourceKey&) const = default;
};

struct ResourceEntry {
    ResourceKey key;
    std::vector<unsigned char> data;
};

// The resources of a .res file, in file order, without the empty record that opens it. Returns
// false with `error` set for a truncated or malformed file.
bool ReadResFile(const std::vector<unsigned char>& bytes, std::vector<ResourceEntry>* entries,
                 std::string* error);

// "BITMAP 201 0x1409", "TYPELIB 1 0x1409", "\"CUSTOM\" \"NAME\" 0x0409".
std::string KeyText(const ResourceKey& key);

}  // namespace rc_windres
