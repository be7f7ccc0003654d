// Lines, value bytes and case-insensitive prefixes for the INI reader and writer.
#include "ini/ini_line.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "platform/file_stream.h"

namespace ini_line {

char LineEndOf(std::string_view firstLine) {
    const bool hasLineFeed = firstLine.find(kLineFeed) != std::string_view::npos;
    return !hasLineFeed && firstLine.find(kCarriageReturn) != std::string_view::npos
               ? kCarriageReturn
               : kLineFeed;
}

std::string_view LineEndText(char lineEnd) {
    return lineEnd == kCarriageReturn ? "\r" : "\r\n";
}

std::size_t ReadLine(std::FILE* file, std::string& line, char lineEnd) {
    errno = 0;  // so that a failed read's reason is its own
    return file_stream::ReadThrough(file, lineEnd, line);
}

std::size_t ReadLine(std::string_view text, std::size_t& position, std::string& line,
                     char lineEnd) {
    if (position >= text.size()) {
        line.clear();
        return 0;
    }
    const std::size_t lineFeed = text.find(lineEnd, position);
    const std::size_t end = lineFeed == std::string_view::npos ? text.size() : lineFeed + 1;
    line.assign(text.data() + position, end - position);
    position = end;
    return line.size();
}

int ReadError(std::FILE* file) {
    if (!std::ferror(file)) {
        return 0;
    }
    return errno != 0 ? errno : EIO;
}

int ReadToEnd(std::FILE* file, std::string& contents) {
    contents.clear();
    const std::int64_t position = file_stream::Tell(file);
    const std::optional<std::int64_t> size = file_stream::Size(file);
    if (position >= 0 && size && *size > position) {
        contents.reserve(static_cast<std::size_t>(*size - position));  // grown only if it grew
    }
    char block[65536];
    errno = 0;
    while (const std::size_t count = std::fread(block, 1, sizeof block, file)) {
        contents.append(block, count);
    }
    return ReadError(file);
}

const char* WithoutByteOrderMark(const std::string& line, std::int64_t lineStart) {
    if (lineStart == 0 && line.starts_with(kByteOrderMark)) {
        return line.c_str() + kByteOrderMark.size();
    }
    return line.c_str();
}

std::string ValueText(const CounterString& value) {
    std::string text;
    AssignValueText(value, text);
    return text;
}

void AssignValueText(const CounterString& value, std::string& text) {
    text.clear();
    const WCHAR* units = value.Chars();
    if (units == nullptr) {
        return;
    }
    text.reserve(static_cast<std::size_t>(value.Length()));
    for (int i = 0; i < value.Length(); ++i) {
        const char byte = static_cast<char>(units[i] & 0xFF);
        text += byte == '\r' || byte == '\n' || byte == '\0' ? ' ' : byte;
    }
}

bool StartsWithNoCase(const char* text, std::string_view prefix) {
    for (char expected : prefix) {
        if (*text == '\0' || Fold(*text) != Fold(expected)) {
            return false;
        }
        ++text;
    }
    return true;
}

std::string_view FoldedNameSet::Name(const Slot& slot) const {
    return std::string_view(names_).substr(slot.begin, slot.length);
}

// The slot holding `folded`, or the empty one where it belongs.
FoldedNameSet::Slot* FoldedNameSet::Place(std::string_view folded, std::size_t hash) {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
        Slot& slot = slots_[at];
        if (slot.generation != generation_ || Name(slot) == folded) {
            return &slot;
        }
    }
}

bool FoldedNameSet::Insert(std::string_view name) {
    if ((count_ + 1) * 2 > slots_.size()) {
        Grow();
    }
    const std::size_t begin = names_.size();
    for (const char c : name) {
        names_ += Fold(c);
    }
    const std::string_view folded = std::string_view(names_).substr(begin);
    Slot* slot = Place(folded, std::hash<std::string_view>{}(folded));
    if (slot->generation == generation_) {
        names_.resize(begin);
        return false;
    }
    *slot = Slot{begin, name.size(), generation_};
    ++count_;
    return true;
}

void FoldedNameSet::Grow() {
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(std::max<std::size_t>(16, old.size() * 2), Slot{});
    const std::uint32_t generation = generation_;
    generation_ = 1;  // the new room holds only the current names
    for (const Slot& slot : old) {
        if (slot.generation == generation) {
            *Place(Name(slot), std::hash<std::string_view>{}(Name(slot))) =
                Slot{slot.begin, slot.length, generation_};
        }
    }
}

void FoldedNameSet::Clear() {
    names_.clear();
    count_ = 0;
    if (++generation_ == 0) {  // after four billion clearings: start the room afresh
        slots_.assign(slots_.size(), Slot{});
        generation_ = 1;
    }
}

}  // namespace ini_line
