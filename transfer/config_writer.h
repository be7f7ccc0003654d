// ConfigWriter: the export's side of the configuration file. It writes keys in file order
// through IniDocument, formats record values by the layout's key tables, and keeps count of
// the bytes the file must hold so that a write lost when the file is closed is noticed.
#pragma once

#include <cstdint>
#include <string>
#include <type_traits>
#include <variant>

#include "common/counter_string.h"
#include "ini/ini_document.h"
#include "transfer/config_layout.h"

class ConfigWriter {
  public:
    // Writes to `path` (opened for update, created when missing, at its start) from the first
    // key on; the caller hands it an empty file.
    explicit ConfigWriter(const char* path);

    // The section of the keys written next; a header is written with the first of them when
    // it differs (without regard to case) from the section of the last header.
    void SelectSection(const std::string& name);

    // Writes one key of the selected section. False when the file could not be opened or
    // written; Error() then tells why, and nothing more should be written.
    bool WriteKey(const char* key, const CounterString& value);
    bool WriteKey(const char* key, const char* text);

    // Writes `value` formatted by `format`.
    template <typename Value>
    bool WriteValue(const char* key, config_layout::ValueFormat format, const Value& value) {
        config_layout::FormatField(value_, format, value);
        return WriteKey(key, value_);
    }

    // Writes the keys of `keys` in order with their fields of `values`, each key name
    // preceded by `keyPrefix`; a key whose condition does not hold is left out.
    template <typename Values, std::size_t N>
    bool WriteKeys(const config_layout::KeyLayout<Values> (&keys)[N], const Values& values,
                   const std::string& keyPrefix = "") {
        for (const config_layout::KeyLayout<Values>& key : keys) {
            bool written = true;
            std::visit(
                [&](auto field) {
                    const auto& value = values.*field;
                    if constexpr (std::is_same_v<std::decay_t<decltype(value)>, double>) {
                        if (!config_layout::KeyIsWritten(key.condition, value)) {
                            return;
                        }
                    }
                    written = WriteValue((keyPrefix + key.key).c_str(), key.format, value);
                },
                key.field);
            if (!written) {
                return false;
            }
        }
        return true;
    }

    // The number of bytes the file holds when every key written so far has reached it.
    std::int64_t ExpectedSize() const { return expectedSize_; }

    // The errno of the failed write; 0 while every write succeeded.
    int Error() const { return error_; }

    // Closes the file: buffered output is handed to the system. Nothing is written after.
    void Close() { document_.Close(); }

  private:
    IniDocument document_;
    CounterString value_;  // receives every formatted value before it is written
    std::string selectedSection_;
    std::string headerSection_;  // the section of the last header written
    std::int64_t expectedSize_ = 0;
    int error_ = 0;
};
