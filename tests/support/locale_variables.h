// The user's locale for one test. On Linux the layer reads it from the POSIX locale variables
// at every call: LocaleVariables clears them (LC_ALL, LC_TIME, LC_NUMERIC, LC_MONETARY, LANG)
// for the life of one test and puts their previous values back afterwards, so that a test pins
// the user's locale without leaking it into the next one. On Windows the user's locale is fixed
// when the process starts (Wine takes it from LC_ALL): UseUserLocale tells whether the process
// has the one a case needs, and the Windows build runs the cases of each locale in an entry of
// its own (windows.common.pt_BR).
#pragma once

#include <stdlib.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

namespace test_support {

// Sets the environment variable `name` to `value`, or removes it when `value` is null.
inline void SetVariable(const char* name, const char* value) {
#ifdef _WIN32
    _putenv_s(name, value != nullptr ? value : "");  // "" removes it
#else
    if (value != nullptr) {
        setenv(name, value, 1);
    } else {
        unsetenv(name);
    }
#endif
}

class LocaleVariables {
  public:
    LocaleVariables() {
        for (const char* name : kVariables) {
            const char* value = getenv(name);
            saved_.push_back(value ? std::optional<std::string>(value) : std::nullopt);
            SetVariable(name, nullptr);
        }
    }
    ~LocaleVariables() {
        for (std::size_t i = 0; i < saved_.size(); ++i) {
            SetVariable(kVariables[i], saved_[i] ? saved_[i]->c_str() : nullptr);
        }
    }
    LocaleVariables(const LocaleVariables&) = delete;
    LocaleVariables& operator=(const LocaleVariables&) = delete;

  private:
    static constexpr const char* kVariables[] = {"LC_ALL", "LC_TIME", "LC_NUMERIC", "LC_MONETARY",
                                                 "LANG"};
    std::vector<std::optional<std::string>> saved_;
};

// Makes `lang`, a POSIX locale name ("pt_BR.UTF-8", "C"), the user's locale for what follows
// (LANG; the other variables are LocaleVariables' to clear) and returns true. On Windows it
// changes nothing and returns whether the process runs in that locale ("C" and "POSIX" being
// en-US there too).
inline bool UseUserLocale(const char* lang) {
#ifdef _WIN32
    std::string name(lang);
    name = name.substr(0, name.find_first_of(".@"));
    if (name == "C" || name == "POSIX") {
        name = "en_US";
    }
    for (char& c : name) {
        c = c == '_' ? '-' : c;
    }
    wchar_t current[LOCALE_NAME_MAX_LENGTH] = {};
    GetUserDefaultLocaleName(current, LOCALE_NAME_MAX_LENGTH);
    return std::wstring(current) == std::wstring(name.begin(), name.end());
#else
    SetVariable("LANG", lang);
    return true;
#endif
}

}  // namespace test_support
