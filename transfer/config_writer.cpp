// ConfigWriter: key lines through IniDocument and the byte count of what they add to the file.
#include "transfer/config_writer.h"

#include <strings.h>
#include <cerrno>

namespace {

// The bytes IniDocument writes for a value: one per unit (CR, LF and NUL become blanks).
std::int64_t FileBytesOf(const CounterString& value) {
    return value.Chars() != nullptr ? value.Length() : 0;
}

constexpr std::int64_t kLineEnd = 2;  // CR LF

}  // namespace

ConfigWriter::ConfigWriter(const char* path) : document_(path, true) {}

void ConfigWriter::SelectSection(const std::string& name) {
    selectedSection_ = name;
    document_.SelectSection(name.c_str());
}

bool ConfigWriter::WriteKey(const char* key, const CounterString& value, ValueKind) {
    errno = 0;
    if (document_.WriteKey(key, value) < 0) {
        error_ = errno != 0 ? errno : EIO;
        return false;
    }
    // The same rule as IniDocument's: "\r\n[name]\r\n" when the section changed (case of
    // A-Z aside, as in the "C" locale), then "key=value\r\n".
    if (strcasecmp(headerSection_.c_str(), selectedSection_.c_str()) != 0) {
        expectedSize_ +=
            kLineEnd + 1 + static_cast<std::int64_t>(selectedSection_.size()) + 1 + kLineEnd;
        headerSection_ = selectedSection_;
    }
    expectedSize_ += static_cast<std::int64_t>(std::char_traits<char>::length(key)) + 1 +
                     FileBytesOf(value) + kLineEnd;
    return true;
}
