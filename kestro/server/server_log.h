// kestrod's log: one line per event on standard error, each written whole even when several
// connections log at once.
#pragma once

#include <string>

namespace kestro::server {

// Writes "kestrod: " and `line` and a line feed to standard error in one write.
void LogLine(const std::string& line);

}  // namespace kestro::server
