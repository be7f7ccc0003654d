// Reads one record's values from the selected section of a configuration file, converted
// the way the import hands them to the Kestro setters. The keys come from the file layout
// (config_layout.h), so the import reads exactly what the export writes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>
#include <variant>

#include "ini/ini_document.h"
#include "transfer/config_layout.h"
#include "platform/bstr.h"

namespace record_reader {

// Each reads `key` of the document's selected section; a missing key reads as 0 or as the
// empty text.

// The value as a new BSTR, held by `out` (which frees any text it held before). Each byte
// becomes the character of that value (0xE9 gives U+00E9), the inverse of the export, which
// writes the low byte of each character; CounterString's own widening would make 0xFFE9.
void ReadText(IniDocument& document, const char* key, Bstr& out);
// The value as a 32-bit integer (IniDocument::GetInt).
std::int32_t ReadInt32(IniDocument& document, const char* key);
// The low 16 bits of the 32-bit value.
std::int16_t ReadInt16(IniDocument& document, const char* key);
// The value through FixedAmount: rounded to four decimal places; the parse knows no sign,
// so "-5" reads as 0.
double ReadAmount(IniDocument& document, const char* key);

// Reads every key of `keys` into its field of `values`, in table order: 16-bit fields with
// ReadInt16, 32-bit with ReadInt32, 64-bit with GetInt widened, doubles with ReadAmount,
// texts with ReadText. `prefix` goes before each key name (the hose keys' "Hose%d").
// When two keys carry the same field, the later one decides.
template <typename Values, std::size_t N>
void ReadKeys(IniDocument& document, const config_layout::KeyLayout<Values> (&keys)[N],
              Values& values, const std::string& prefix = {}) {
    for (const config_layout::KeyLayout<Values>& layout : keys) {
        const std::string key = prefix + layout.key;
        std::visit(
            [&](auto field) {
                auto& target = values.*field;
                using Field = std::remove_reference_t<decltype(target)>;
                if constexpr (std::is_same_v<Field, Bstr>) {
                    ReadText(document, key.c_str(), target);
                } else if constexpr (std::is_same_v<Field, double>) {
                    target = ReadAmount(document, key.c_str());
                } else if constexpr (std::is_same_v<Field, std::int16_t>) {
                    target = ReadInt16(document, key.c_str());
                } else {
                    target = ReadInt32(document, key.c_str());
                }
            },
            layout.field);
    }
}

}  // namespace record_reader
