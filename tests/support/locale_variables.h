// Clears the POSIX locale variables (LC_ALL, LC_TIME, LC_NUMERIC, LC_MONETARY, LANG) for the
// life of one test and puts their previous values back afterwards, so that a test pins the
// user's locale without leaking it into the next one.
#pragma once

#include <stdlib.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace test_support {

class LocaleVariables {
  public:
    LocaleVariables() {
        for (const char* name : kVariables) {
            const char* value = getenv(name);
            saved_.push_back(value ? std::optional<std::string>(value) : std::nullopt);
            unsetenv(name);
        }
    }
    ~LocaleVariables() {
        for (std::size_t i = 0; i < saved_.size(); ++i) {
            if (saved_[i]) {
                setenv(kVariables[i], saved_[i]->c_str(), 1);
            } else {
                unsetenv(kVariables[i]);
            }
        }
    }
    LocaleVariables(const LocaleVariables&) = delete;
    LocaleVariables& operator=(const LocaleVariables&) = delete;

  private:
    static constexpr const char* kVariables[] = {"LC_ALL", "LC_TIME", "LC_NUMERIC", "LC_MONETARY",
                                                 "LANG"};
    std::vector<std::optional<std::string>> saved_;
};

}  // namespace test_support
