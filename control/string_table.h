// Tolvan's string resources in English (New Zealand, 5129) and Portuguese (Brazil, 1046). The
// user's language chooses the table: Portuguese of any country reads the Brazilian one, every
// other language the English one. control/res/tolvan.rc holds the same tables as source text.
#pragma once

#include <span>

#include "platform/nls.h"
#include "platform/resources.h"
#include "platform/text_conversion.h"

namespace tolvan {

struct StringResource {
    UINT id;
    const char* text;  // UTF-8
};

inline constexpr LCID kLcidEnglishNewZealand = 5129;
inline constexpr LCID kLcidPortugueseBrazil = 1046;

// The table of language `lcid`: Portuguese for any Portuguese LCID, else English.
std::span<const StringResource> StringTableFor(LCID lcid);

// The language of the string table the module reads for a user of `lcid`: Portuguese (Brazil)
// for any Portuguese LCID, else English (New Zealand).
WORD StringTableLanguage(LCID lcid);

// The text of string `id` of `module` from the table of the user's language
// (GetUserDefaultLCID, StringTableLanguage), found by that language itself (FindResourceExW).
// LoadStringW is not used: Windows' resource loader (and Wine's) tries the user's language,
// its neutral sublanguage, the system's and US English, then takes the first table by language
// identifier, which is the Portuguese one (1046 before 5129) for every English user outside New
// Zealand. False when the module or the string is missing; `text` is then untouched.
bool LoadModuleString(HMODULE module, UINT id, WideString* text);

// The text of string `id` in the user's language (LoadModuleString of the module that holds
// the string resources), or null when there is no such string. The module's string loader
// (AfxSetModuleResources).
const char* LoadTolvanString(UINT id);

}  // namespace tolvan
