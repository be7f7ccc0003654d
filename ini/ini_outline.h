// IniOutline: every section header and key line of an INI file, in file order, seen with the
// reader's own line syntax (ini_document.h). IniDocument finds one key at a time; the outline
// tells what else a file holds: sections and keys nobody asks for, second headers and second
// key lines that are never read, lines outside any section.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct IniKeyLine {
    int line = 0;            // 1-based line number
    std::string key;         // the text up to the first blank, "=", CR or LF: the key it answers to
    bool hasEquals = false;  // blanks and an "=" follow the key
    bool spacedEquals = false;  // blanks stand between the key and its "=" ("Name = X")
    std::string value;    // what the reader takes as the value: after the key, blanks, one "="
                          // and blanks, without trailing CR, LF and blanks (quotes kept)
    std::string written;  // the text after that "=" up to the line end (CR LF left out); the
                          // value as written when the line has an "="
    bool nul = false;     // the line holds a NUL byte: the reader reads it only up to there,
                          // and so do the texts above
};

struct IniSectionBlock {
    int line = 0;        // the header's line number; 0 for the lines before the first header
    std::string name;    // the text between "[" and the first "]"
    bool closed = true;  // the header has its "]"; a header without one is never found
    std::vector<IniKeyLine> keys;  // key lines up to the next line starting with "["
    int commentLines = 0;          // lines starting with ";" or "#" (ordinary key lines to the
                                   // reader, which has no comment syntax; not in `keys`)
    std::vector<int> nulLines;     // its header or lines starting with a NUL byte, when they
                                   // hold one: the reader reads a line only up to it
};

struct IniOutline {
    bool opened = false;  // the file could be read (whole: a failed read gives false)
    std::vector<IniSectionBlock> blocks;  // blocks[0] holds the lines before the first header
};

// The value IniDocument::GetString reads from a key line whose text after its "=" is
// `text`: without leading blanks, trailing CR, LF and blanks, and one pair of enclosing
// double quotes.
std::string ValueAsRead(std::string text);

// Reads the file `path` once. A file that cannot be opened or read gives `opened` false and no
// blocks.
IniOutline ReadIniOutline(const char* path);
// The outline of a file's bytes already read (`opened` true).
IniOutline ReadIniOutline(std::string_view contents);
