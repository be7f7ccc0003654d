// Private to ini/: the INI line syntax as the reader sees it. A line is everything up to and
// including the next line end (LF; CR in a file without any LF), whatever its length.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "common/counter_string.h"
#include "platform/ascii_case.h"

namespace ini_line {

// The byte that ends a line. A file with LF line ends (CR LF or LF) keeps a CR alone inside
// its line, as files have always been read (an older export wrote a value's CR as it was);
// a file without any LF, as some old editors save it, has its lines ended by CR alone.
constexpr char kLineFeed = '\n';
constexpr char kCarriageReturn = '\r';
// The line end of a file whose first line (up to and including its first LF, or the whole
// file when it has none) is `firstLine`.
char LineEndOf(std::string_view firstLine);
// The bytes a writer ends a line with in a file of that line end: CR LF, or CR alone.
std::string_view LineEndText(char lineEnd);

// Reads the next line into `line` (replacing its content), up to and including `lineEnd`;
// returns the number of bytes read (0 at the end of the file or on a read error: then
// ReadError tells which). The line is handled as 0-terminated text afterwards, as the
// byte-wise comparison of the reader sees it.
std::size_t ReadLine(std::FILE* file, std::string& line, char lineEnd = kLineFeed);
// The same for a file's bytes held in memory: the line that starts at `position` in `text`,
// which moves past it.
std::size_t ReadLine(std::string_view text, std::size_t& position, std::string& line,
                     char lineEnd = kLineFeed);
// Right after a read of `file` that gave nothing: 0 at the end of the file, else the errno of
// the failed read (EIO when the library left none).
int ReadError(std::FILE* file);
// Reads `file` from its position to its end into `contents` (replacing them); 0, or the errno
// of the read that failed (what was read before is kept).
int ReadToEnd(std::FILE* file, std::string& contents);

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
    return FoldAscii(c);
}

// `name` with A-Z folded: the key by which names compare without regard to case.
inline std::string Folded(std::string_view name) {
    return FoldedAscii(name);
}

// True when the 0-terminated `text` begins with `prefix`, ignoring case.
bool StartsWithNoCase(const char* text, std::string_view prefix);

// Names compared without regard to case (A-Z), gathered and cleared section after section:
// a lookup costs the same whatever the count, and once its room has grown a name costs no
// allocation and a clearing no pass over the room.
class FoldedNameSet {
  public:
    // Adds `name`; false when it was in already.
    bool Insert(std::string_view name);
    void Clear();

  private:
    struct Slot {
        std::size_t begin = 0;
        std::size_t length = 0;
        std::uint32_t generation = 0;  // the slot holds a name of this generation only
    };
    std::string_view Name(const Slot& slot) const;
    Slot* Place(std::string_view folded, std::size_t hash);
    void Grow();

    std::string names_;        // the folded names, one after another
    std::vector<Slot> slots_;  // open addressing, a power of two long
    std::size_t count_ = 0;
    std::uint32_t generation_ = 1;
};

}  // namespace ini_line
