// Defaults and reset of the pump's state, and the small text rules it is stored with.
#include "control/pump_properties.h"

namespace tolvan {

namespace {
constexpr const char* kBlanks = " \t\n\r\v\f";
}  // namespace

void PumpProperties::ResetPumpFields() {
    const LONG id = ID;
    *this = PumpProperties{};
    ID = id;
}

bool IsValidPopupMode(LONG mode) {
    return mode >= 1 && mode <= 3;
}

std::string TrimTrailingBlanks(std::string text) {
    text.erase(text.find_last_not_of(kBlanks) + 1);
    return text;
}

std::string TrimBlanks(std::string text) {
    text = TrimTrailingBlanks(std::move(text));
    text.erase(0, text.find_first_not_of(kBlanks));
    return text;
}

std::string Utf8Of(const BSTR* text) {
    return text != nullptr ? BstrToUtf8(*text) : std::string();
}

}  // namespace tolvan
