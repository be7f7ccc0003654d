// kestroctl's command line and commands: one logon to kestrod per run, one command, its
// result printed as lines of text.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace kestro::ctl {

extern const char kUsage[];

// Runs the command line after the program name; output to `out`, failures to `err`.
// Returns 0 on success, 1 when the server refused or could not be reached, 2 for a usage
// error.
int RunCtl(const std::vector<std::string>& arguments, std::FILE* out, std::FILE* err);

}  // namespace kestro::ctl
