// ConfigSink: where the export's keys go, key by key in file order, each with the record
// value it carries formatted by the layout's key tables. ConfigWriter is the export's side of
// the configuration file: it writes the keys through IniDocument and keeps count of the bytes
// the file must hold, so that a write lost when the file is closed is noticed. VERIFY collects
// them in memory instead (controller_picture.h).
#pragma once

#include <cstdint>
#include <string>
#include <type_traits>
#include <variant>

#include "common/counter_string.h"
#include "ini/ini_document.h"
#include "transfer/config_layout.h"
#include "transfer/value_kind.h"

class ConfigSink {
  public:
    virtual ~ConfigSink() = default;

    // The section of the keys written next.
    virtual void SelectSection(const std::string& name) = 0;

    // Writes one key of the selected section; `kind` tells how the import reads the value
    // back. False when it could not be written; Error() then tells why, and nothing more
    // should be written.
    virtual bool WriteKey(const char* key, const CounterString& value, ValueKind kind) = 0;

    // The errno of the failed write; 0 while every write succeeded.
    virtual int Error() const { return 0; }

    // A constant text.
    bool WriteKey(const char* key, const char* text) {
        value_.Assign(text);
        return WriteKey(key, value_, ValueKind::kText);
    }

    // Writes `value` formatted by `format`.
    template <typename Value>
    bool WriteValue(const char* key, config_layout::ValueFormat format, const Value& value) {
        config_layout::FormatField(value_, format, value);
        return WriteKey(key, value_, config_layout::ReadKindOf<Value>(format));
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

  private:
    CounterString value_;  // receives every formatted value before it is written
};

class ConfigWriter : public ConfigSink {
  public:
    // Writes to `path` (opened for update, created when missing, at its start) from the first
    // key on; the caller hands it an empty file.
    explicit ConfigWriter(const char* path);

    // A header is written with the first key of a section when it differs (without regard to
    // case) from the section of the last header.
    void SelectSection(const std::string& name) override;

    using ConfigSink::WriteKey;
    bool WriteKey(const char* key, const CounterString& value, ValueKind kind) override;

    // The number of bytes the file holds when every key written so far has reached it.
    std::int64_t ExpectedSize() const { return expectedSize_; }

    int Error() const override { return error_; }

    // Closes the file: buffered output is handed to the system. Nothing is written after.
    void Close() { document_.Close(); }

  private:
    IniDocument document_;
    std::string selectedSection_;
    std::string headerSection_;  // the section of the last header written
    std::int64_t expectedSize_ = 0;
    int error_ = 0;
};
