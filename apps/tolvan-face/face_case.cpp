// Parsing a face's options.
#include "apps/tolvan-face/face_case.h"

#include <cerrno>
#include <cstdlib>

#include "platform/text_conversion.h"

namespace tolvan_face {

namespace {

bool ToLong(const std::string& text, long min, long max, long* out) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != 0 || value < min || value > max) return false;
    *out = value;
    return true;
}

bool ToDouble(const std::string& text, double* out) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (errno != 0 || *end != 0) return false;
    *out = value;
    return true;
}

}  // namespace

std::optional<std::string> ParseFaceOptions(const std::vector<std::string>& args, FaceCase* face,
                                            std::vector<std::string>* rest) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        const auto value = [&]() -> const std::string* {
            return i + 1 < args.size() ? &args[++i] : nullptr;
        };
        long number = 0;
        double amount = 0;
        const auto shortOption = [&](SHORT* field, long min, long max) -> std::optional<std::string> {
            const std::string* text = value();
            if (text == nullptr || !ToLong(*text, min, max, &number)) {
                return option + " needs a whole number from " + std::to_string(min) + " to " +
                       std::to_string(max);
            }
            *field = static_cast<SHORT>(number);
            return std::nullopt;
        };
        const auto amountOption = [&](double* field) -> std::optional<std::string> {
            const std::string* text = value();
            if (text == nullptr || !ToDouble(*text, &amount)) {
                return option + " needs an amount such as 12.345 (with a full stop)";
            }
            *field = amount;
            return std::nullopt;
        };
        const auto textOption = [&](std::u16string* field,
                                    const char* what) -> std::optional<std::string> {
            const std::string* text = value();
            if (text == nullptr) return option + " needs " + what;
            *field = Utf8ToUtf16(*text);
            return std::nullopt;
        };
        std::optional<std::string> error;
        if (option == "--state") {
            error = shortOption(&face->pump.state, -32768, 32767);
        } else if (option == "--reserved") {
            error = shortOption(&face->pump.reservedFor, -32768, 32767);
        } else if (option == "--hose") {
            error = shortOption(&face->pump.hoseNumber, 0, 32767);
        } else if (option == "--stack") {
            SHORT stacked = 0;
            error = shortOption(&stacked, 0, 99);
            face->stacked = stacked;
            face->pump.stackSize = stacked;
        } else if (option == "--stack-mode") {
            error = shortOption(&face->pump.stackMode, -32768, 32767);
        } else if (option == "--popup") {
            face->popup = true;
        } else if (option == "--name") {
            error = textOption(&face->pump.name, "the pump's name");
        } else if (option == "--number") {
            const std::string* text = value();
            if (text == nullptr || !ToLong(*text, -99999, 99999, &number)) {
                error = "--number needs a whole number";
            } else {
                face->pump.number = number;
            }
        } else if (option == "--volume") {
            error = amountOption(&face->pump.volume);
        } else if (option == "--value") {
            error = amountOption(&face->pump.value);
        } else if (option == "--price") {
            error = amountOption(&face->pump.price);
        } else if (option == "--grade") {
            error = textOption(&face->pump.shortGradeName, "a short grade name");
        } else if (option == "--current-delivery") {
            const std::string* text = value();
            if (text == nullptr) {
                error = "--current-delivery needs plain, locked, overdue or negative";
            } else if (*text == "plain") {
                face->current = CurrentDelivery::Plain;
            } else if (*text == "locked") {
                face->current = CurrentDelivery::Locked;
            } else if (*text == "overdue") {
                face->current = CurrentDelivery::Overdue;
            } else if (*text == "negative") {
                face->current = CurrentDelivery::Negative;
            } else {
                error = "--current-delivery needs plain, locked, overdue or negative, not " + *text;
            }
        } else if (option == "--current-pump") {
            face->isCurrentPump = true;
        } else if (option == "--blink") {
            const std::string* text = value();
            if (text != nullptr && (*text == "on" || *text == "off")) {
                face->blinkOn = *text == "on";
            } else {
                error = "--blink needs on or off";
            }
        } else {
            rest->push_back(option);
        }
        if (error) return error;
    }
    return std::nullopt;
}

}  // namespace tolvan_face
