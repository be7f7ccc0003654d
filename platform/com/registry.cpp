// The registry file: parsing and formatting its text form, and atomic locked updates.
#include "platform/registry.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "platform/ascii_case.h"
#include "platform/atomic_file.h"

namespace {

bool HasControl(std::string_view s, bool allowNewline) {
    for (char c : s) {
        const auto u = static_cast<unsigned char>(c);
        if ((u < 0x20 && !(allowNewline && c == '\n')) || u == 0x7F) {
            return true;
        }
    }
    return false;
}

bool ValidKeyPath(std::string_view key) {
    if (key.empty() || HasControl(key, false)) {
        return false;
    }
    std::size_t start = 0;
    while (true) {
        const std::size_t end = key.find('\\', start);
        if (end == start || (end == std::string_view::npos && start == key.size())) {
            return false;  // empty component
        }
        if (end == std::string_view::npos) {
            return true;
        }
        start = end + 1;
    }
}

std::string Quote(std::string_view s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '\\' || c == '"') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else {
            out += c;
        }
    }
    return out + '"';
}

// Reads a quoted string at `pos`; advances past the closing quote.
bool Unquote(std::string_view line, std::size_t* pos, std::string* out) {
    if (*pos >= line.size() || line[*pos] != '"') {
        return false;
    }
    out->clear();
    for (std::size_t i = *pos + 1; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"') {
            *pos = i + 1;
            return true;
        }
        if (c == '\\') {
            if (++i >= line.size()) {
                return false;
            }
            const char e = line[i];
            if (e == 'n') {
                *out += '\n';
            } else if (e == '\\' || e == '"') {
                *out += e;
            } else {
                return false;
            }
        } else {
            *out += c;
        }
    }
    return false;
}

std::string ParentOf(std::string_view key) {
    const std::size_t cut = key.rfind('\\');
    return cut == std::string_view::npos ? std::string() : std::string(key.substr(0, cut));
}

std::string ErrnoText(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + std::strerror(errno);
}

bool MakeFolders(const std::string& folder) {
    if (folder.empty()) {
        return true;
    }
    struct stat st {};
    if (stat(folder.c_str(), &st) == 0) {
        return S_ISDIR(st.st_mode);
    }
    const std::size_t cut = folder.rfind('/');
    if (cut != std::string::npos && cut > 0 && !MakeFolders(folder.substr(0, cut))) {
        return false;
    }
    return mkdir(folder.c_str(), 0755) == 0 || errno == EEXIST;
}

std::string FolderOf(const std::string& path) {
    const std::size_t cut = path.rfind('/');
    return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

}  // namespace

bool RegistryDocument::CaseLess::operator()(std::string_view a, std::string_view b) const {
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        const char x = FoldAscii(a[i]);
        const char y = FoldAscii(b[i]);
        if (x != y) {
            return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
        }
    }
    return a.size() < b.size();
}

bool RegistryDocument::Parse(std::string_view text, std::string* error) {
    RegistryDocument parsed;
    std::string current;
    std::size_t lineNumber = 0;
    std::size_t start = 0;
    auto fail = [&](const char* why) {
        if (error != nullptr) {
            *error = "registry line " + std::to_string(lineNumber) + ": " + why;
        }
        return false;
    };
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (line.empty() || line.front() == ';') {
            continue;
        }
        if (line.front() == '[') {
            if (line.back() != ']') {
                return fail("a key line must end with ]");
            }
            current = std::string(line.substr(1, line.size() - 2));
            if (!parsed.CreateKey(current)) {
                return fail("invalid key path");
            }
            continue;
        }
        if (current.empty()) {
            return fail("a value before any key");
        }
        std::string name;
        std::size_t pos = 0;
        if (line.front() == '@') {
            pos = 1;
        } else if (!Unquote(line, &pos, &name)) {
            return fail("a value name must be @ or a quoted string");
        }
        std::string data;
        if (pos >= line.size() || line[pos] != '=') {
            return fail("expected = after the value name");
        }
        ++pos;
        if (!Unquote(line, &pos, &data) || pos != line.size()) {
            return fail("a value's data must be one quoted string");
        }
        if (!parsed.SetValue(current, name, data)) {
            return fail("invalid value");
        }
    }
    *this = std::move(parsed);
    return true;
}

std::string RegistryDocument::Format() const {
    std::string out = "; Forecourt registry\n";
    for (const auto& [key, values] : keys_) {
        out += "\n[" + key + "]\n";
        for (const auto& [name, data] : values) {
            out += (name.empty() ? std::string("@") : Quote(name)) + "=" + Quote(data) + "\n";
        }
    }
    return out;
}

bool RegistryDocument::CreateKey(std::string_view key) {
    if (!ValidKeyPath(key)) {
        return false;
    }
    for (std::string path(key); !path.empty(); path = ParentOf(path)) {
        if (keys_.find(path) != keys_.end()) {
            break;
        }
        keys_.emplace(path, Values{});
    }
    return true;
}

bool RegistryDocument::SetValue(std::string_view key, std::string_view name,
                                std::string_view data) {
    if (HasControl(name, false) || HasControl(data, true) || !CreateKey(key)) {
        return false;
    }
    Values& values = keys_.find(key)->second;
    auto it = values.find(name);
    if (it == values.end()) {
        values.emplace(std::string(name), std::string(data));
    } else {
        it->second = std::string(data);
    }
    return true;
}

std::optional<std::string> RegistryDocument::GetValue(std::string_view key,
                                                      std::string_view name) const {
    auto k = keys_.find(key);
    if (k == keys_.end()) {
        return std::nullopt;
    }
    auto v = k->second.find(name);
    if (v == k->second.end()) {
        return std::nullopt;
    }
    return v->second;
}

bool RegistryDocument::HasKey(std::string_view key) const {
    return keys_.count(key) != 0;
}

bool RegistryDocument::DeleteTree(std::string_view key) {
    auto it = keys_.find(key);
    if (it == keys_.end()) {
        return false;
    }
    const std::string prefix = it->first + "\\";
    keys_.erase(it);
    // The subkeys are exactly the keys starting with "key\", one run in sorted order.
    it = keys_.lower_bound(prefix);
    while (it != keys_.end() && it->first.size() > prefix.size() &&
           !CaseLess{}(it->first.substr(0, prefix.size()), prefix) &&
           !CaseLess{}(prefix, it->first.substr(0, prefix.size()))) {
        it = keys_.erase(it);
    }
    return true;
}

std::vector<std::string> RegistryDocument::SubKeys(std::string_view key) const {
    std::vector<std::string> names;
    for (const auto& [path, values] : keys_) {
        if (path.size() > key.size() + 1 && path[key.size()] == '\\' &&
            !CaseLess{}(path.substr(0, key.size()), key) &&
            !CaseLess{}(key, path.substr(0, key.size())) &&
            path.find('\\', key.size() + 1) == std::string::npos) {
            names.push_back(path.substr(key.size() + 1));
        }
    }
    return names;
}

std::vector<std::string> RegistryDocument::KeyPaths() const {
    std::vector<std::string> paths;
    for (const auto& entry : keys_) {
        paths.push_back(entry.first);
    }
    return paths;
}

std::string RegistryFilePath() {
    if (const char* path = std::getenv("FORECOURT_REGISTRY"); path != nullptr && *path != 0) {
        return path;
    }
    if (const char* data = std::getenv("XDG_DATA_HOME"); data != nullptr && *data == '/') {
        return std::string(data) + "/forecourt/registry";
    }
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : "") + "/.local/share/forecourt/registry";
}

bool LoadRegistry(RegistryDocument* doc, std::string* error) {
    const std::string path = RegistryFilePath();
    struct stat st {};
    if (stat(path.c_str(), &st) != 0 && errno == ENOENT) {
        *doc = RegistryDocument();
        return true;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in || S_ISDIR(st.st_mode)) {
        errno = S_ISDIR(st.st_mode) ? EISDIR : errno;
        if (error != nullptr) {
            *error = ErrnoText("cannot read the registry", path);
        }
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) {
        if (error != nullptr) {
            *error = "cannot read the registry " + path;
        }
        return false;
    }
    std::string why;
    if (!doc->Parse(text.str(), &why)) {
        if (error != nullptr) {
            *error = path + ": " + why;
        }
        return false;
    }
    return true;
}

bool SaveRegistry(const RegistryDocument& doc, std::string* error) {
    const std::string path = RegistryFilePath();
    auto fail = [&](const std::string& what, const std::string& why) {
        if (error != nullptr) {
            *error = what + " " + path + ": " + why;
        }
        return false;
    };
    if (!MakeFolders(FolderOf(path))) {
        return fail("cannot create the folder of", std::strerror(errno));
    }
    AtomicFile file(path, 0644);
    if (!file.Create()) {
        return fail("cannot replace", file.FailureText());
    }
    const std::string text = doc.Format();
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = write(file.Descriptor(), text.data() + written, text.size() - written);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            const std::string why = std::strerror(errno);
            file.Discard();
            return fail("cannot write", why);
        }
        written += static_cast<std::size_t>(n);
    }
    if (!file.Commit(static_cast<std::int64_t>(text.size()))) {
        file.Discard();
        return fail("cannot replace", file.FailureText());
    }
    return true;
}

namespace {

bool EditRegistryFile(const std::function<bool(RegistryDocument&, std::string*)>& edit,
                      std::string* error) {
    const std::string path = RegistryFilePath();
    if (!MakeFolders(FolderOf(path))) {
        if (error != nullptr) {
            *error = ErrnoText("cannot create the folder of", path);
        }
        return false;
    }
    const std::string lockPath = path + ".lock";
    const int lock = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (lock < 0) {
        if (error != nullptr) {
            *error = ErrnoText("cannot open the lock file", lockPath);
        }
        return false;
    }
    while (flock(lock, LOCK_EX) != 0 && errno == EINTR) {
    }
    RegistryDocument doc;
    bool ok = LoadRegistry(&doc, error) && edit(doc, error) && SaveRegistry(doc, error);
    close(lock);  // releases the lock
    return ok;
}

}  // namespace

namespace {

thread_local std::string lastRegistryError;

}  // namespace

std::string RegistryGetLastErrorText() {
    return lastRegistryError;
}

bool EditRegistry(const std::function<bool(RegistryDocument&, std::string*)>& edit,
                  std::string* error) {
    std::string why;
    const bool ok = EditRegistryFile(edit, &why);
    lastRegistryError = ok ? std::string() : why;
    if (error != nullptr) {
        *error = why;
    }
    return ok;
}
