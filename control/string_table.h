// Tolvan's string resources in English (New Zealand, 5129) and Portuguese (Brazil, 1046). The
// user's language chooses the table: Portuguese of any country reads the Brazilian one, every
// other language the English one. control/res/tolvan.rc holds the same tables as source text.
#pragma once

#include <span>

#include "platform/nls.h"
#include "platform/user.h"

namespace tolvan {

struct StringResource {
    UINT id;
    const char* text;  // UTF-8
};

inline constexpr LCID kLcidEnglishNewZealand = 5129;
inline constexpr LCID kLcidPortugueseBrazil = 1046;

// The table of language `lcid`: Portuguese for any Portuguese LCID, else English.
std::span<const StringResource> StringTableFor(LCID lcid);

// The language of the table that serves a user of `lcid`: kLcidPortugueseBrazil for any
// Portuguese LCID, else kLcidEnglishNewZealand.
LCID StringTableLanguage(LCID lcid);

// String `id` of `module`'s compiled string resources in the user's language (the table of
// StringTableLanguage(GetUserDefaultLCID())) into `text`; false (and `text` untouched) when the
// module or the string is missing. On Windows the table is chosen here: the system's loader,
// finding neither table in the user's exact language (an English user of the United States),
// falls back to the module's first table, the Portuguese one.
bool ModuleString(HMODULE module, UINT id, WideString* text);

// The text of string `id` in the user's language, as ModuleString reads it from this module,
// or null when there is no such string. The module's string loader (AfxSetModuleResources).
const char* LoadTolvanString(UINT id);

}  // namespace tolvan
