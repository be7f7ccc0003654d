// Private to ini/: where each section's body starts in one INI file, gathered in a single pass
// over the file so that finding a section costs one lookup instead of a scan from the top.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/file_stream.h"

class SectionIndex {
  public:
    // Reads `file` from its start, in lines ended by `lineEnd`, and records every header line
    // (after leading blanks "[", a name, "]", anything) with the position just after that
    // line, keyed by the text up to the line's first "]"; of several headers with one name
    // (compared without regard to case) the first is kept. Leaves the file position anywhere.
    // Returns 0, or the errno of a read that failed (the index then holds the headers before).
    int Build(std::FILE* file, char lineEnd);
    // The same for a file's bytes held in memory; the index has no file identity then.
    void Build(std::string_view contents, char lineEnd);

    // Forgets everything; the next use needs Build.
    void Clear();
    bool IsBuilt() const { return built_; }

    // True when `file` is, as far as its identity shows (device, inode, size, modification
    // time), the unchanged file the index was built from.
    bool Describes(std::FILE* file) const;

    // Position after the first header line of `name` (case-insensitive), or nullopt when the
    // file has none. `name` must not contain "]": such names are not keys of the index.
    std::optional<std::int64_t> Find(std::string_view name) const;

  private:
    // Records `line` (starting at `lineStart`, ending before `bodyStart`) when it is a header.
    void Note(const std::string& line, std::int64_t lineStart, std::int64_t bodyStart);

    bool built_ = false;
    file_stream::Identity identity_;
    std::unordered_map<std::string, std::int64_t> bodyStart_;  // folded name -> position
};
