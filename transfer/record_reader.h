// Reads one record's values from a configuration file, converted the way the import hands
// them to the Kestro setters. The keys come from the file layout (config_layout.h), so the
// import reads exactly what the export writes. The import, CHECK and VERIFY all read records
// through it; CHECK also watches what it reads (ReadObserver).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>

#include "ini/ini_document.h"
#include "platform/bstr.h"
#include "transfer/config_layout.h"
#include "transfer/value_kind.h"

// Told of every section the reader selects and every key it reads, in reading order.
class ReadObserver {
  public:
    virtual ~ReadObserver() = default;
    // The reader probed `section` for a record: present when its Number reads 1 or more.
    virtual void RecordProbed(const std::string& section, bool present) = 0;
    // The reader read `key` of `section` (the selected one) as `kind`.
    virtual void KeyRead(const std::string& section, const std::string& key, ValueKind kind) = 0;
};

// Told of every section of a file and of the value of each key it holds, in file order.
class RecordVisitor {
  public:
    virtual ~RecordVisitor() = default;
    // `section` is found by Select: its first header.
    virtual void Section(const std::string& section) = 0;
    // ReadString of `key` in that section gives `value` (only keys the section holds).
    virtual void Value(std::string_view key, std::string_view value) = 0;
};

class RecordReader {
  public:
    // Reads `document`, telling `observer` (null: nobody) what it reads.
    explicit RecordReader(IniDocument& document, ReadObserver* observer = nullptr);

    // Selects `section` for the reads that follow.
    void Select(const std::string& section);
    // Selects the section of a record and tells whether the record is present: its key
    // "Number" (whose real values are never below 1) reads as 1 or more.
    bool SelectRecord(const std::string& section);
    bool SelectRecord(config_layout::SectionPattern pattern, std::int32_t id);

    // Each reads `key` of the selected section; a missing key reads as 0 or as the empty text.

    // The value as a new BSTR, held by `out` (which frees any text it held before). Each byte
    // becomes the character of that value (0xE9 gives U+00E9), the inverse of the export,
    // which writes the low byte of each character; CounterString's own widening would make
    // 0xFFE9.
    void ReadText(const std::string& key, Bstr& out);
    // The value's bytes as the document reads them (trimmed, one pair of enclosing quotes
    // removed), before any conversion.
    std::string ReadString(const std::string& key, ValueKind kind);
    // Reads the whole file once, in file order, telling `visitor` of each section and key as
    // Select and ReadString would read them, without a search per key. The observer is not
    // told. False when the file cannot be read.
    bool ReadAll(RecordVisitor& visitor);
    // True once a read of the file has failed (IniDocument::ReadError): what was read after
    // it may be missing or cut.
    bool ReadFailed() const { return document_.ReadError() != 0; }
    // The value as a 32-bit integer (IniDocument::GetInt).
    std::int32_t ReadInt32(const std::string& key);
    // The low 16 bits of the 32-bit value.
    std::int16_t ReadInt16(const std::string& key);
    // The value through FixedAmount: rounded to four decimal places; the parse knows no sign,
    // so "-5" reads as 0.
    double ReadAmount(const std::string& key);

    // Reads every key of `keys` into its field of `values`, in table order: 16-bit fields with
    // ReadInt16, 32-bit with ReadInt32, doubles with ReadAmount, texts with ReadText.
    // `prefix` goes before each key name (the hose keys' "Hose%d"). When two keys carry the
    // same field, the later one decides. 64-bit fields are not read (the import carries none).
    template <typename Values, std::size_t N>
    void ReadKeys(const config_layout::KeyLayout<Values> (&keys)[N], Values& values,
                  const std::string& prefix = {}) {
        for (const config_layout::KeyLayout<Values>& layout : keys) {
            const std::string key = prefix + layout.key;
            std::visit(
                [&](auto field) {
                    auto& target = values.*field;
                    using Field = std::remove_reference_t<decltype(target)>;
                    if constexpr (std::is_same_v<Field, Bstr>) {
                        ReadText(key, target);
                    } else if constexpr (std::is_same_v<Field, double>) {
                        target = ReadAmount(key);
                    } else if constexpr (std::is_same_v<Field, std::int16_t>) {
                        target = ReadInt16(key);
                    } else if constexpr (std::is_same_v<Field, std::int32_t>) {
                        target = ReadInt32(key);
                    }
                },
                layout.field);
        }
    }

  private:
    void Observe(const std::string& key, ValueKind kind);

    IniDocument& document_;
    ReadObserver* observer_;
    std::string section_;
};

// The conversions of the reader, for a value already read as text.
namespace record_reader {
// The key that tells a record present: its real values are never below 1.
inline constexpr char kNumberKey[] = "Number";
// True when a section whose Number reads as `number` (ReadString) holds a record.
bool IsPresent(const std::string& number);
std::int32_t ToInt32(const CounterString& text);
std::int16_t ToInt16(const CounterString& text);
double ToAmount(const CounterString& text);
// True when the import reads the texts `a` and `b` (as ReadString gives them) as the same
// value of the kind: numbers by value ("5.9" and "5.900"), texts byte for byte.
bool SameValue(ValueKind kind, const std::string& a, const std::string& b);
}  // namespace record_reader
