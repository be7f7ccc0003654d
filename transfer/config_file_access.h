// How CHECK and VERIFY open a configuration file: only what the import would read (a regular
// file that exists and can be read), and never for writing.
#pragma once

#include <string>

// True when `iniFile` is a regular file that can be read. Otherwise prints "Cannot read the
// file <iniFile> - <reason>.\n" (the reason "not a regular file" for a folder, device or
// pipe) and returns false; nothing is created.
bool ConfigFileReadable(const char* iniFile);

// Empty when `iniFile` opens for update, as the import opens it; else the reason it does not.
std::string ConfigFileUpdateError(const char* iniFile);
