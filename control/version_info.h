// The module's version information (file 1.2.1.0, product 2.1.0.9, one US English Unicode
// string block) and the version text that GetOCXVersion reports. control/res/tolvan.rc holds
// the same information as source text.
#pragma once

#include <span>
#include <string>

#include "platform/win_types.h"

namespace tolvan {

struct VersionString {
    const char* key;
    const char* value;
};

struct VersionInfo {
    WORD fileVersion[4];
    WORD productVersion[4];
    const char* block;  // language and code page of the string block, "040904b0"
    WORD translationLanguage;
    WORD translationCodePage;
    std::span<const VersionString> strings;
};

extern const VersionInfo kVersionInfo;

// The value of `key` in the string block, or null.
const char* FindVersionString(const char* key);

// "<FileDescription> Version(<FileVersion>) Built(<date> at <time>)", with the compiler's date
// ("Mar  6 2013") and time ("11:41:18") of the module's build.
std::string OcxVersionText();

}  // namespace tolvan
