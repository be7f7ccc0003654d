// The section header index: one pass over the file with the reader's own line pieces, so that
// a header is recognised exactly where a scan from the top would recognise it.
#include "ini/section_index.h"

#include <cstring>

#include "ini/ini_line.h"

int SectionIndex::Build(std::FILE* file, char lineEnd) {
    Clear();
    const std::optional<file_stream::Identity> identity = file_stream::IdentityOf(file);
    if (!identity || std::fseek(file, 0, SEEK_SET) != 0) {
        return 0;
    }
    std::string line;
    std::int64_t position = 0;
    while (const std::size_t length = ini_line::ReadLine(file, line, lineEnd)) {
        Note(line, position, position + static_cast<std::int64_t>(length));
        position += static_cast<std::int64_t>(length);
    }
    identity_ = *identity;
    built_ = true;
    return ini_line::ReadError(file);
}

void SectionIndex::Build(std::string_view contents, char lineEnd) {
    Clear();
    std::string line;
    std::size_t position = 0;
    for (std::size_t start = 0; ini_line::ReadLine(contents, position, line, lineEnd) > 0;
         start = position) {
        Note(line, static_cast<std::int64_t>(start), static_cast<std::int64_t>(position));
    }
    identity_ = file_stream::Identity{};
    built_ = true;
}

void SectionIndex::Note(const std::string& line, std::int64_t lineStart, std::int64_t bodyStart) {
    const char* start = ini_line::SkipBlanks(ini_line::WithoutByteOrderMark(line, lineStart));
    if (*start != '[') {
        return;
    }
    // The line is handled as 0-terminated text, as the byte-wise comparison would see it.
    if (const char* close = std::strchr(start + 1, ']')) {
        bodyStart_.emplace(ini_line::Folded(std::string_view(start + 1, close - start - 1)),
                           bodyStart);
    }
}

void SectionIndex::Clear() {
    bodyStart_.clear();
    built_ = false;
}

bool SectionIndex::Describes(std::FILE* file) const {
    const std::optional<file_stream::Identity> now = file_stream::IdentityOf(file);
    return built_ && now && *now == identity_;
}

std::optional<std::int64_t> SectionIndex::Find(std::string_view name) const {
    const auto found = bodyStart_.find(ini_line::Folded(name));
    if (found == bodyStart_.end()) {
        return std::nullopt;
    }
    return found->second;
}
