// Text forms of automation values for control-host: how results, out-values and event
// arguments print, and how script arguments become VARIANTs of a member's parameter types.
#pragma once

#include <string>
#include <vector>

#include "platform/variant.h"

// One script word: quoted words are texts (their escapes resolved), others stay as written.
struct ScriptWord {
    std::string text;
    bool quoted = false;
};

// Splits a command line into words at blanks; "..." keeps blanks and reads \" \\ \n \t.
// False with `error` set for an unterminated quote or an unknown escape.
bool SplitWords(const std::string& line, std::vector<ScriptWord>* words, std::string* error);

// The printed form of `value` (dereferenced when VT_BYREF): numbers as written by
// VariantChangeType, texts in double quotes with \" \\ \n \t escaped, booleans true/false,
// dates as "YYYY-MM-DD HH:MM:SS" without quotes, interfaces as null or (IDispatch),
// nothing as (empty).
std::string FormatValue(const VARIANT& value);

// Makes `out` a value of automation type `vt` (no VT_BYREF) from `word`: true/false for
// booleans, null for an interface, any number or text otherwise, converted by
// VariantChangeType. On failure returns its HRESULT and leaves `out` empty.
HRESULT ParseValue(const ScriptWord& word, VARTYPE vt, VARIANT* out);
