// The version resource's values and the build stamp of the module.
#include "control/version_info.h"

#include <cstring>

namespace tolvan {

namespace {

constexpr VersionString kStrings[] = {
    {"CompanyName", "Marovia"},
    {"FileDescription", "Marovia pump OCX"},
    {"FileVersion", "1,2,1,0"},
    {"InternalName", "Tolvan.OCX"},
    {"LegalCopyright", "Copyright (C) 2013 Marovia"},
    {"OriginalFilename", "Tolvan.OCX"},
    {"ProductName", "Marovia"},
    {"ProductVersion", "2,1,0,9"},
};

}  // namespace

constexpr VersionInfo kVersionInfo{{1, 2, 1, 0}, {2, 1, 0, 9}, "040904b0", 0x0409, 1200, kStrings};

const char* FindVersionString(const char* key) {
    for (const VersionString& entry : kVersionInfo.strings) {
        if (std::strcmp(entry.key, key) == 0) {
            return entry.value;
        }
    }
    return nullptr;
}

std::string OcxVersionText() {
    return std::string(FindVersionString("FileDescription")) + " Version(" +
           FindVersionString("FileVersion") + ") Built(" + __DATE__ + " at " + __TIME__ + ")";
}

}  // namespace tolvan
