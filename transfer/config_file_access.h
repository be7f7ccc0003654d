// How CHECK, VERIFY and the import open a configuration file: only what the import would read
// (a regular file that exists and can be read), opened once without blocking and read through
// that one opening, never for writing.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

struct ConfigFileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using ConfigFileStream = std::unique_ptr<std::FILE, ConfigFileCloser>;

// `iniFile` open for reading when it is a regular file, tested on the opened descriptor (so
// that a file swapped for a FIFO or a device after any earlier test is refused, never
// waited for). Otherwise prints "Cannot read the file <iniFile> - <reason>.\n" (the reason
// "not a regular file" for a folder, device or pipe) and gives null; nothing is created.
ConfigFileStream OpenConfigFile(const char* iniFile);

// True when OpenConfigFile opens `iniFile` (which it closes again); else its line is printed.
bool ConfigFileReadable(const char* iniFile);

// Prints "Cannot read the file <iniFile> - <reason of `error`>.\n": a read that failed ends a
// command so, whatever was read before it.
void ReportReadError(const char* iniFile, int error);

// Empty when `iniFile` opens for update, as the import opens it; else the reason it does not.
// Never blocks on a FIFO.
std::string ConfigFileUpdateError(const char* iniFile);
