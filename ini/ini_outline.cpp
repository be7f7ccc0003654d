// The outline of an INI file: one pass with the reader's line pieces and blank rules.
#include "ini/ini_outline.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

#include "ini/ini_line.h"
#include "platform/file_stream.h"

namespace {

bool EndsKey(char c) {
    return c == '\0' || c == ' ' || c == '=' || c == '\r' || c == '\n';
}

bool IsBlankOrLineEnd(char c) {
    return c == ' ' || c == '\r' || c == '\n';
}

IniKeyLine KeyLine(int number, const char* text, bool nul) {
    IniKeyLine key;
    key.line = number;
    key.nul = nul;
    std::size_t end = 0;
    while (!EndsKey(text[end])) {
        ++end;
    }
    key.key.assign(text, end);
    const char* value = ini_line::SkipBlanks(text + end);
    if (*value == '=') {
        key.hasEquals = true;
        key.spacedEquals = value != text + end;
        key.written = value + 1;
        while (!key.written.empty() && (key.written.back() == '\n' || key.written.back() == '\r')) {
            key.written.pop_back();
        }
        value = ini_line::SkipBlanks(value + 1);
    }
    key.value = value;
    while (!key.value.empty() && IsBlankOrLineEnd(key.value.back())) {
        key.value.pop_back();
    }
    return key;
}

}  // namespace

std::string ValueAsRead(std::string text) {
    text.erase(0, std::min(text.find_first_not_of(' '), text.size()));
    while (!text.empty() && IsBlankOrLineEnd(text.back())) {
        text.pop_back();
    }
    if (!text.empty() && text.front() == '"' && text.back() == '"') {
        text = text.size() >= 2 ? text.substr(1, text.size() - 2) : "";
    }
    return text;
}

IniOutline ReadIniOutline(const char* path) {
    IniOutline outline;
    struct Close {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::unique_ptr<std::FILE, Close> file(file_stream::Open(path, file_stream::OpenMode::kRead));
    if (file == nullptr) {
        return outline;
    }
    // Read whole first: a line at a time from memory costs no call into the C library a byte.
    std::string contents;
    if (ini_line::ReadToEnd(file.get(), contents) != 0) {
        return outline;
    }
    return ReadIniOutline(contents);
}

IniOutline ReadIniOutline(std::string_view contents) {
    IniOutline outline;
    outline.opened = true;
    outline.blocks.emplace_back();
    const char lineEnd = ini_line::LineEndOf(contents);
    std::string line;
    std::size_t position = 0;
    int number = 0;
    for (std::size_t start = 0; ini_line::ReadLine(contents, position, line, lineEnd) > 0;
         start = position) {
        ++number;
        // Like the reader, the line is taken as 0-terminated text, a byte-order mark at the
        // start of the file skipped.
        const char* text = ini_line::SkipBlanks(
            ini_line::WithoutByteOrderMark(line, static_cast<std::int64_t>(start)));
        const bool nul = line.find('\0') != std::string::npos;
        if (*text == '\r' || *text == '\n' || *text == '\0') {
            if (nul) {
                outline.blocks.back().nulLines.push_back(number);
            }
            continue;
        }
        if (*text == '[') {
            IniSectionBlock block;
            block.line = number;
            const char* close = std::strchr(text + 1, ']');
            block.closed = close != nullptr;
            block.name = close != nullptr ? std::string(text + 1, close) : std::string(text + 1);
            while (!block.closed && !block.name.empty() && IsBlankOrLineEnd(block.name.back())) {
                block.name.pop_back();
            }
            block.keys.reserve(outline.blocks.back().keys.size());  // sections come in kinds
            if (nul) {
                block.nulLines.push_back(number);
            }
            outline.blocks.push_back(std::move(block));
        } else if (*text == ';' || *text == '#') {
            ++outline.blocks.back().commentLines;  // never read, whatever it holds
        } else {
            outline.blocks.back().keys.push_back(KeyLine(number, text, nul));
        }
    }
    return outline;
}
