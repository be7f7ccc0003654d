// Private to ini/: the INI line syntax as the reader sees it. A line is one piece of at most
// kLineSize - 1 bytes ending at a line feed, as fgets with a 1,024-byte buffer returns it.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string_view>

namespace ini_line {

constexpr int kLineSize = 1024;

// Reads the next piece into `line` (kLineSize bytes) and terminates it; returns the number of
// bytes read (0 at the end of the file or on a read error). A longer line comes back in
// several pieces; CR stays in the piece, and a CR alone does not end it.
int ReadPiece(std::FILE* file, char* line);

// Skips spaces (tabs are ordinary characters).
inline const char* SkipBlanks(const char* text) {
    while (*text == ' ') {
        ++text;
    }
    return text;
}
inline char* SkipBlanks(char* text) {
    while (*text == ' ') {
        ++text;
    }
    return text;
}

// The C locale's case folding: only A-Z change.
inline char Fold(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// True when the 0-terminated `text` begins with `prefix`, ignoring case.
bool StartsWithNoCase(const char* text, std::string_view prefix);

}  // namespace ini_line
