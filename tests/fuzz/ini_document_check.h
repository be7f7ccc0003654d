// What must hold for any file handed to IniDocument, checked by the ini_document fuzz target
// and replayed by the unit tests: every section and key the file seems to name is read as
// text, integer and amount, and one pass over the file tells the same values; then a value set
// in the file reads back and a key can be written.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/fixed_amount.h"
#include "ini/ini_document.h"
#include "tests/fuzz/scratch_file.h"

namespace ini_fuzz {

// The names a reader might ask for: what stands between "[" and "]" on a line, and the first
// word of every other line; each once, at most 4 of each, so that one input stays quick (every
// read is a seek and a read of the file).
struct Names {
    std::vector<std::string> sections;
    std::vector<std::string> keys;
};

inline void AddName(std::vector<std::string>& names, std::string name) {
    if (names.size() < 4 && std::find(names.begin(), names.end(), name) == names.end()) {
        names.push_back(std::move(name));
    }
}

inline Names NamesIn(const std::string& content) {
    Names names;
    // A file without any LF has its lines ended by CR alone.
    const char lineEnd = content.find('\n') == std::string::npos ? '\r' : '\n';
    std::size_t begin = 0;
    while (begin < content.size()) {
        std::size_t end = content.find(lineEnd, begin);
        end = end == std::string::npos ? content.size() : end;
        std::string line = content.substr(begin, end - begin);
        begin = end + 1;
        line.erase(0, line.find_first_not_of(' '));
        if (line.empty()) {
            continue;
        }
        if (line[0] == '[') {
            const std::size_t close = line.find(']');
            if (close != std::string::npos) {
                AddName(names.sections, line.substr(1, close - 1));
            }
        } else {
            AddName(names.keys, line.substr(0, line.find_first_of(" =\r")));
        }
    }
    return names;
}

inline bool SameNameNoCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return (x >= 'A' && x <= 'Z' ? x - 'A' + 'a' : x) ==
                      (y >= 'A' && y <= 'Z' ? y - 'A' + 'a' : y);
           });
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

// Reads every name of `names` from the document: every key of a section found as text,
// integer and amount; a missing section with one key (it gives the empty text and closes the
// file, which is how the check tells it from a section found). GetInt and GetFixed are
// GetString and a conversion; they are called for the first key of the first section found
// and must agree with the conversions of its text, which serve for the other keys.
inline std::string ReadEveryName(IniDocument& document, const Names& names) {
    bool convertersCalled = false;
    for (const std::string& section : names.sections) {
        document.SelectSection(section.c_str());
        for (const std::string& key : names.keys) {
            CounterString value;
            const int length = document.GetString(key.c_str(), value);
            if (length != value.Length()) {
                return "GetString's length differs from the text it read";
            }
            if (!document.IsOpen()) {
                if (length != 0) {
                    return "a missing section gives a value: [" + section + "] " + key;
                }
                break;
            }
            const std::int32_t number = value.ToInt();
            const FixedAmount amount = FixedAmount::FromDouble(value.ToDouble());
            if (!convertersCalled && (document.GetInt(key.c_str()) != number ||
                                      document.GetFixed(key.c_str()) != amount)) {
                return "GetInt or GetFixed differs from its text's conversion: [" + section + "] " +
                       key;
            }
            convertersCalled = true;
        }
    }
    return {};
}

// One pass over the file (ReadInOrder) tells each section once and each key with the value
// GetString reads for it; at most 64 keys of an input are read back, so that it stays quick.
inline std::string CheckReadInOrder(const char* path) {
    struct Told : IniDocument::Visitor {
        void Section(std::string_view name) override { sections.emplace_back(name); }
        void Key(std::string_view key, std::string_view value) override {
            keys.push_back({sections.back(), std::string(key), std::string(value)});
        }
        std::vector<std::string> sections;
        std::vector<std::array<std::string, 3>> keys;  // section, key, value
    } told;
    IniDocument walk(path, false);
    if (!walk.ReadInOrder(told)) {
        return "ReadInOrder cannot open a file that exists";
    }
    for (std::size_t i = 0; i < told.sections.size(); ++i) {
        for (std::size_t j = 0; j < i; ++j) {
            if (SameNameNoCase(told.sections[i], told.sections[j])) {
                return "ReadInOrder tells a section twice: [" + told.sections[i] + "]";
            }
        }
    }
    IniDocument reader(path, true);
    for (std::size_t i = 0; i < told.keys.size() && i < 64; ++i) {
        const auto& [section, key, value] = told.keys[i];
        reader.SelectSection(section.c_str());
        CounterString read;
        reader.GetString(key.c_str(), read);
        if (std::string(read.Narrow()) != value) {
            return "ReadInOrder tells another value than GetString: [" + section + "] " + key;
        }
    }
    return {};
}

// One scratch file serves the whole input: the document reads it, then sets a value in it
// and writes a key, so that each input costs one file write and two opens of the document.
inline std::string CheckIniDocument(std::span<const std::uint8_t> bytes) {
    static const fuzz_input::ScratchFile scratch("ini");
    const std::string content(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (!scratch.Write(content)) {
        return "the scratch file cannot be written";
    }
    Names names = NamesIn(content);
    names.sections.push_back("NoSuchSection");
    names.keys.push_back("NoSuchKey");
    // Kept open between reads, as the import reads.
    IniDocument document(scratch.Path(), true);
    if (std::string failure = ReadEveryName(document, names); !failure.empty()) {
        return failure;
    }
    if (std::string failure = CheckReadInOrder(scratch.Path()); !failure.empty()) {
        return failure;
    }

    const std::string section = IsPlainName(names.sections[0]) ? names.sections[0] : "Fuzz";
    const std::string key = IsPlainName(names.keys[0]) ? names.keys[0] : "Key";
    document.SelectSection(section.c_str());
    if (document.SetValue(key.c_str(), CounterString("v42")) != 3) {
        return "SetValue failed on a writable file";
    }
    CounterString back;
    document.GetString(key.c_str(), back);
    if (std::string(back.Narrow()) != "v42") {
        return "a value set does not read back: [" + section + "] " + key;
    }
    if (document.WriteKey("Added", CounterString("x")) != 1) {
        return "WriteKey failed on a writable file";
    }
    return {};
}

}  // namespace ini_fuzz
