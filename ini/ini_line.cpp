// Lines, value bytes and case-insensitive prefixes for the INI reader and writer.
#include "ini/ini_line.h"

#include <sys/types.h>

#include <cstdio>
#include <cstdlib>

namespace ini_line {

std::size_t ReadLine(std::FILE* file, std::string& line) {
    // getdelim finds the line feed in the stream's buffer at once, instead of a call per
    // byte; its buffer is kept for the thread's next lines.
    struct Buffer {
        char* data = nullptr;
        std::size_t size = 0;
        ~Buffer() { std::free(data); }
    };
    thread_local Buffer buffer;
    const ssize_t length = getdelim(&buffer.data, &buffer.size, '\n', file);
    if (length <= 0) {
        line.clear();
        return 0;
    }
    line.assign(buffer.data, static_cast<std::size_t>(length));
    return line.size();
}

std::size_t ReadLine(std::string_view text, std::size_t& position, std::string& line) {
    if (position >= text.size()) {
        line.clear();
        return 0;
    }
    const std::size_t lineFeed = text.find('\n', position);
    const std::size_t end = lineFeed == std::string_view::npos ? text.size() : lineFeed + 1;
    line.assign(text.data() + position, end - position);
    position = end;
    return line.size();
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
    const char16_t* units = value.Chars();
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

}  // namespace ini_line
