// The import's value conversions from configuration file keys.
#include "transfer/record_reader.h"

#include <string>

namespace record_reader {

void ReadText(IniDocument& document, const char* key, Bstr& out) {
    CounterString text;
    document.GetString(key, text);
    // Sign-extended bytes would reach the controller as U+FF80..U+FFFF: keep the byte only.
    std::u16string characters(text.Chars() != nullptr ? text.Chars() : u"",
                              static_cast<std::size_t>(text.Length()));
    for (char16_t& unit : characters) {
        unit &= 0xFF;
    }
    out = Bstr::FromUtf16(characters);
}

std::int32_t ReadInt32(IniDocument& document, const char* key) {
    return document.GetInt(key);
}

std::int16_t ReadInt16(IniDocument& document, const char* key) {
    return static_cast<std::int16_t>(document.GetInt(key));
}

double ReadAmount(IniDocument& document, const char* key) {
    return document.GetFixed(key).ToDouble();
}

}  // namespace record_reader
