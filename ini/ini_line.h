// Private to ini/: the INI line syntax as the reader sees it. A line is everything up to and
// including the next line feed, whatever its length.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "common/counter_string.h"

namespace ini_line {

// Reads the next line into `line` (replacing its content); returns the number of bytes read
// (0 at the end of the file or on a read error). CR stays in the line, and a CR alone does not
// end it. The line is handled as 0-terminated text afterwards, as the byte-wise comparison of
// the reader sees it.
std::size_t ReadLine(std::FILE* file, std::string& line);
// The same for a file's bytes held in memory: the line that starts at `position` in `text`,
// which moves past it.
std::size_t ReadLine(std::string_view text, std::size_t& position, std::string& line);

// The UTF-8 byte-order mark that Windows editors put at the start of a file.
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The line's text without a byte-order mark when the line starts the file (`lineStart` 0).
const char* WithoutByteOrderMark(const std::string& line, std::int64_t lineStart);

// The bytes a value is written as: the low byte of each unit, with CR, LF and NUL written as a
// blank so that one value is always one line (a value can never forge a key or a section).
// A string without characters gives the empty text.
std::string ValueText(const CounterString& value);
// The same bytes put in `text` in place of what it held (its room kept for the next value).
void AssignValueText(const CounterString& value, std::string& text);

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

// `name` with A-Z folded: the key by which names compare without regard to case.
inline std::string Folded(std::string_view name) {
    std::string folded(name);
    for (char& c : folded) {
        c = Fold(c);
    }
    return folded;
}

// True when the 0-terminated `text` begins with `prefix`, ignoring case.
bool StartsWithNoCase(const char* text, std::string_view prefix);

}  // namespace ini_line
