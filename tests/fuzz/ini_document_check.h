// What must hold for any file handed to IniDocument, checked by the ini_document fuzz target
// and replayed by the unit tests: every section and key the file seems to name is read as
// text, integer and amount; on a copy, a value set reads back and keys can be written.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "ini/ini_document.h"
#include "tests/fuzz/scratch_file.h"

namespace ini_fuzz {

// The names a reader might ask for: what stands between "[" and "]" on a line, and the first
// word of every other line; at most 8 of each, so that one input stays quick.
struct Names {
    std::vector<std::string> sections;
    std::vector<std::string> keys;
};

inline Names NamesIn(const std::string& content) {
    Names names;
    std::size_t begin = 0;
    while (begin < content.size()) {
        std::size_t end = content.find('\n', begin);
        end = end == std::string::npos ? content.size() : end;
        std::string line = content.substr(begin, end - begin);
        begin = end + 1;
        line.erase(0, line.find_first_not_of(' '));
        if (line.empty()) {
            continue;
        }
        if (line[0] == '[') {
            const std::size_t close = line.find(']');
            if (names.sections.size() < 8 && close != std::string::npos) {
                names.sections.push_back(line.substr(1, close - 1));
            }
        } else if (names.keys.size() < 8) {
            names.keys.push_back(line.substr(0, line.find_first_of(" =\r")));
        }
    }
    return names;
}

// A name that SetValue writes as it stands and the reader finds again: printable ASCII
// without blanks, brackets and "=", short enough for one line.
inline bool IsPlainName(const std::string& name) {
    if (name.empty() || name.size() > 64) {
        return false;
    }
    for (char c : name) {
        if (c <= ' ' || c > '~' || c == '[' || c == ']' || c == '=') {
            return false;
        }
    }
    return true;
}

inline std::string CheckIniDocument(std::span<const std::uint8_t> bytes) {
    static const fuzz_input::ScratchFile original("ini");
    static const fuzz_input::ScratchFile copy("ini-copy");
    const std::string content(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (!original.Write(content) || !copy.Write(content)) {
        return "the scratch file cannot be written";
    }
    Names names = NamesIn(content);
    names.sections.push_back("NoSuchSection");
    names.keys.push_back("NoSuchKey");
    {
        // Kept open between reads, as the import reads: reopening for each read would make
        // the file system, not the reader, what the fuzzer spends its time on.
        IniDocument document(original.Path(), true);
        for (const std::string& section : names.sections) {
            document.SelectSection(section.c_str());
            for (const std::string& key : names.keys) {
                CounterString value;
                if (document.GetString(key.c_str(), value) != value.Length()) {
                    return "GetString's length differs from the text it read";
                }
                document.GetInt(key.c_str());
                document.GetFixed(key.c_str());
            }
        }
    }

    const std::string section = IsPlainName(names.sections[0]) ? names.sections[0] : "Fuzz";
    const std::string key = IsPlainName(names.keys[0]) ? names.keys[0] : "Key";
    IniDocument document(copy.Path(), true);
    document.SelectSection(section.c_str());
    if (document.SetValue(key.c_str(), CounterString("v42")) != 3) {
        return "SetValue failed on a writable file";
    }
    CounterString back;
    document.GetString(key.c_str(), back);
    if (std::string(back.Narrow()) != "v42") {
        return "a value set does not read back: [" + section + "] " + key;
    }
    const int written = document.WriteKey("Added", CounterString("x"));
    if (written != 1) {
        return "WriteKey failed on a writable file";
    }
    return {};
}

}  // namespace ini_fuzz
