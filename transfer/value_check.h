// What the import makes of a value in the configuration file, when that is not what the
// value says: a decimal comma skipped, an exponent or trailing text ignored, digits that wrap,
// a negative amount read as 0, more than four decimals rounded, quotes and blanks dropped.
// CHECK reports each as a finding.
#pragma once

#include <optional>
#include <string>

#include "transfer/record_reader.h"

// `read` is the value as IniDocument::GetString returns it (trimmed, one pair of enclosing
// quotes removed). For numbers: nothing when the import reads the number the text says,
// else a description such as "\"5,899\" is read as 5899: the comma is skipped". The empty
// value reads as 0 and is no finding. Texts are judged by TextFinding.
std::optional<std::string> NumberFinding(ValueKind kind, const std::string& read);

// For a text key line with an "=": `written` is the text after the "=", `read` what the
// import reads; `blankBeforeEquals` tells that the line spaces its "=" ("Name = X"), so a
// blank after it is layout, not value. Nothing when the import carries the text as written.
std::optional<std::string> TextFinding(const std::string& written, const std::string& read,
                                       bool blankBeforeEquals);

// The longest text the import carries; longer texts are cut to it.
inline constexpr std::size_t kLongestText = 32734;
