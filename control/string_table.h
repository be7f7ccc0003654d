// Tolvan's string resources in English (New Zealand, 5129) and Portuguese (Brazil, 1046). The
// user's language chooses the table: Portuguese of any country reads the Brazilian one, every
// other language the English one. control/res/tolvan.rc holds the same tables as source text.
#pragma once

#include <span>

#include "platform/nls.h"

namespace tolvan {

struct StringResource {
    UINT id;
    const char* text;  // UTF-8
};

inline constexpr LCID kLcidEnglishNewZealand = 5129;
inline constexpr LCID kLcidPortugueseBrazil = 1046;

// The table of language `lcid`: Portuguese for any Portuguese LCID, else English.
std::span<const StringResource> StringTableFor(LCID lcid);

// The text of string `id` in the user's language (GetUserDefaultLCID), read from the module's
// compiled string resources (LoadStringW), or null when there is no such string. The module's
// string loader (AfxSetModuleResources).
const char* LoadTolvanString(UINT id);

}  // namespace tolvan
