// The registry: a text file holding the keys and string values that a Windows registration
// writes (HKEY_CLASSES_ROOT\CLSID\{...}\InprocServer32 and the rest). Its path comes from
// FORECOURT_REGISTRY, else $XDG_DATA_HOME/forecourt/registry, else
// ~/.local/share/forecourt/registry. Every change is a read-modify-write under a lock file,
// saved to a temporary file and renamed over the old one, so a crash never leaves it
// half-written.
//
// The file reads like a .reg export:
//   ; Forecourt registry
//
//   [HKEY_CLASSES_ROOT\CLSID\{F9B424D4-51A1-40E0-8EB1-1B9097AF9811}\InprocServer32]
//   @="/opt/forecourt/lib/Tolvan.OCX"
//   "ThreadingModel"="Apartment"
// A key is a bracketed line, its values follow as "name"="data" (@ is the default value; in
// quotes, \\ \" and \n stand for a backslash, a quote and a line break). Lines starting with ;
// are comments; keys are written sorted, each once.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#ifndef _WIN32

// Key paths and value names compare without regard to ASCII case and keep the case they were
// first written with. A path is backslash-separated and starts with its root key name.
class RegistryDocument {
  public:
    // Reads the text form. False, with `error` saying which line is wrong, for malformed
    // text; `*this` is unchanged then.
    bool Parse(std::string_view text, std::string* error);

    // The text form: a comment line, then every key in sorted order with its values.
    std::string Format() const;

    // Creates `key` and every missing parent. False for an invalid path (empty component,
    // control character).
    bool CreateKey(std::string_view key);

    // Sets value `name` ("" for the default value) of `key`, creating the key and its parents.
    // False for an invalid path, or a name or data containing a control character other than
    // a line break in data.
    bool SetValue(std::string_view key, std::string_view name, std::string_view data);

    // The data of value `name` of `key`; nothing when the key or the value is missing.
    std::optional<std::string> GetValue(std::string_view key, std::string_view name) const;

    bool HasKey(std::string_view key) const;

    // Deletes `key` with all its subkeys and values. False when the key does not exist.
    bool DeleteTree(std::string_view key);

    // Names of the direct subkeys of `key`, sorted.
    std::vector<std::string> SubKeys(std::string_view key) const;

    // Every key path, sorted.
    std::vector<std::string> KeyPaths() const;

  private:
    struct CaseLess {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const;
    };
    using Values = std::map<std::string, std::string, CaseLess>;
    std::map<std::string, Values, CaseLess> keys_;
};

// The path of the registry file as described above.
std::string RegistryFilePath();

// Loads the registry file into `doc`. A missing file is an empty registry. False, with
// `error` set, when the file cannot be read or is malformed.
bool LoadRegistry(RegistryDocument* doc, std::string* error);

// Saves `doc` atomically (temporary file in the same folder, flushed, renamed), creating the
// folder when missing. False, with `error` set, when it cannot be written; the old file is
// then unchanged.
bool SaveRegistry(const RegistryDocument& doc, std::string* error);

// Loads the registry under an exclusive lock (a "<file>.lock" beside it), lets `edit` change
// it, and saves it when `edit` returns true. False, with `error` set, when loading or saving
// fails or `edit` returns false (then nothing is written; `edit` may set `error` itself).
bool EditRegistry(const std::function<bool(RegistryDocument&, std::string*)>& edit,
                  std::string* error);

// The error text of this thread's last EditRegistry that failed, naming the registry file and
// the reason (a module's registration reports only its HRESULT), or "" after a success.
std::string RegistryGetLastErrorText();

#endif  // _WIN32

// ---- Registration --------------------------------------------------------------------------
// What a module's registration changes, described once for either system: the values it sets
// and the trees it removes. Paths are backslash-separated and start with HKEY_CLASSES_ROOT.
// Here they go to the registry file above; on Windows to the system's registry.

struct RegistryValue {
    std::string key;
    std::string name;  // "" for the key's default value
    std::string data;  // UTF-8; a string value (REG_SZ on Windows)
};

// Sets every value, creating its key and the key's parents. Here in one EditRegistry, so that
// either all of them are written or none; on Windows one value after the other. False, with
// `error` set (null allowed), when one cannot be written.
bool WriteRegistryValues(const std::vector<RegistryValue>& values, std::string* error);

// Deletes each key with all its subkeys and values; a key already missing is no failure. False,
// with `error` set (null allowed), when one cannot be deleted or the registry not be written.
bool DeleteRegistryTrees(const std::vector<std::string>& keys, std::string* error);
