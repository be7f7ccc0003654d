// The resource script language as this system's scripts use it: comments, #define and
// #include of headers for names, LANGUAGE, and the resource statements BITMAP, ICON, DIALOG,
// DIALOGEX, STRINGTABLE, VERSIONINFO, RCDATA (and TYPELIB, which is served by code and skipped).
// The script is read into resources in their Windows binary forms.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace rc {

// A resource type or name: a number, or a string when `text` is not empty.
struct ResourceKey {
    std::uint16_t id = 0;
    std::u16string text;
    bool operator<(const ResourceKey& o) const {
        return text != o.text ? text < o.text : id < o.id;
    }
};

struct Resource {
    ResourceKey type;
    ResourceKey name;
    std::uint16_t language = 0;
    std::vector<unsigned char> data;
};

// A script error, with the file and line it was found at.
class ScriptError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct CompileOptions {
    std::vector<std::string> searchFolders;  // after the script's own folder, for named files
};

struct CompileResult {
    std::vector<Resource> resources;
    std::set<std::string> inputs;  // every file read (the script, headers, bitmaps, icons)
};

// Compiles the script at `path`. Throws ScriptError for what it cannot read or understand.
CompileResult CompileScript(const std::string& path, const CompileOptions& options);

}  // namespace rc
