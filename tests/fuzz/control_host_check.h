// What must hold for any control-host script, checked by the control_host fuzz target and
// replayed by the unit tests: every line but paint runs through the host (without a
// registered control, so commands that need one fail with a message), every word converts to each
// parameter type or is refused, converted values print, and no text is left unfreed.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "apps/control-host/control_host.h"
#include "apps/control-host/value_text.h"
#include "platform/ascii_case.h"

namespace control_host_fuzz {

// Points FORECOURT_REGISTRY at a file that cannot exist for the check's duration, so that no
// script reaches a real registry, and restores the caller's value afterwards.
class NoRegistry {
  public:
    NoRegistry() {
        if (const char* value = std::getenv("FORECOURT_REGISTRY")) {
            saved_ = value;
        }
        setenv("FORECOURT_REGISTRY", "/nonexistent/forecourt-fuzz/registry", 1);
    }
    ~NoRegistry() {
        if (saved_) {
            setenv("FORECOURT_REGISTRY", saved_->c_str(), 1);
        } else {
            unsetenv("FORECOURT_REGISTRY");
        }
    }
    NoRegistry(const NoRegistry&) = delete;
    NoRegistry& operator=(const NoRegistry&) = delete;

  private:
    std::optional<std::string> saved_;
};

inline std::string CheckWords(const std::string& line) {
    std::vector<ScriptWord> words;
    std::string error;
    if (!SplitWords(line, &words, &error)) {
        return error.empty() ? "a refused line gives no reason" : "";
    }
    for (const ScriptWord& word : words) {
        for (VARTYPE vt :
             {VT_I2, VT_I4, VT_R8, VT_DATE, VT_BSTR, VT_BOOL, VT_DISPATCH, VT_VARIANT}) {
            VARIANT value;
            if (SUCCEEDED(ParseValue(word, vt, &value))) {
                if (FormatValue(value).empty()) {
                    return "a converted value prints as nothing";
                }
            } else if (value.vt != VT_EMPTY) {
                return "a refused word left a value behind";
            }
            VariantClear(&value);
        }
    }
    return {};
}

// True for a paint line: it writes a picture to whatever path its word names (the repo's own
// files, anything the user may write), so arbitrary input must never run it.
inline bool WritesAFile(const std::string& line) {
    std::vector<ScriptWord> words;
    std::string error;
    return SplitWords(line, &words, &error) && !words.empty() &&
           EqualsAsciiNoCase(words[0].text, "paint");
}

inline std::string CheckControlHostScript(std::span<const std::uint8_t> bytes) {
    const NoRegistry isolated;
    const long liveStrings = SysLiveStringCount();
    const std::string script(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    std::string failure;
    {
        std::ostringstream out;
        ControlHost host(out);
        std::istringstream lines(script);
        for (std::string line; failure.empty() && std::getline(lines, line);) {
            if (!WritesAFile(line)) {
                host.RunLine(line);
            }
            failure = CheckWords(line);
        }
    }
    if (failure.empty() && SysLiveStringCount() != liveStrings) {
        failure = "a BSTR was not freed";
    }
    return failure;
}

}  // namespace control_host_fuzz
