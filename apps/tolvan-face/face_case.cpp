// Parsing a face's options.
#include "apps/tolvan-face/face_case.h"

#include <algorithm>
#include <limits>
#include <string_view>

#include "common/number_word.h"
#include "platform/text_conversion.h"

namespace tolvan_face {

namespace {

// --back-colour's value: #RRGGBB (the ambient BackColor, as a COLORREF) or none.
std::optional<std::string> BackColourOption(const std::string* text, FaceCase* face) {
    static constexpr const char* kWanted = "--back-colour needs #RRGGBB or none";
    if (text == nullptr) {
        return kWanted;
    }
    if (*text == "none") {
        face->ambientBackColor.reset();
        return std::nullopt;
    }
    if (text->size() != 7 || (*text)[0] != '#' ||
        text->find_first_not_of("0123456789abcdefABCDEF", 1) != std::string::npos) {
        return std::string(kWanted) + ", not " + *text;
    }
    const std::uint32_t rgb = static_cast<std::uint32_t>(std::stoul(text->substr(1), nullptr, 16));
    face->ambientBackColor =
        RGB(static_cast<BYTE>(rgb >> 16), static_cast<BYTE>(rgb >> 8), static_cast<BYTE>(rgb));
    return std::nullopt;
}

}  // namespace

std::optional<std::string> ParseFaceOptions(const std::vector<std::string>& args, FaceCase* face,
                                            std::vector<std::string>* rest) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        const auto value = [&]() -> const std::string* {
            return i + 1 < args.size() ? &args[++i] : nullptr;
        };
        const auto numberOption = [&](auto* field, auto min,
                                      auto max) -> std::optional<std::string> {
            const std::string* text = value();
            if (text == nullptr) {
                return option + " needs " + NumberWanted(min, max);
            }
            std::string error;
            if (!ReadNumberWord(option, *text, min, max, *field, error)) {
                return error;
            }
            return std::nullopt;
        };
        const auto shortOption = [&](SHORT* field, SHORT min, SHORT max) {
            return numberOption(field, min, max);
        };
        const auto amountOption = [&](double* field) -> std::optional<std::string> {
            static constexpr const char* kAmount =
                " needs an amount such as 12.345 (with a full stop)";
            const std::string* text = value();
            if (text == nullptr) {
                return option + kAmount;
            }
            const std::optional<double> amount = ParseNumberWord(
                *text, std::numeric_limits<double>::lowest(), std::numeric_limits<double>::max());
            if (!amount) {
                return option + kAmount + ", not '" + *text + "'";
            }
            *field = *amount;
            return std::nullopt;
        };
        const auto textOption = [&](std::u16string* field,
                                    const char* what) -> std::optional<std::string> {
            const std::string* text = value();
            if (text == nullptr)
                return option + " needs " + what;
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
            error = numberOption(&face->pump.number, LONG{-99999}, LONG{99999});
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
        } else if (option == "--formats") {
            // Three codes with commas between them: price, volume, value.
            static constexpr const char* kFormats =
                "--formats needs three display format codes such as 3,2,2";
            const std::string* text = value();
            std::vector<SHORT> codes;
            std::size_t at = 0;
            while (text != nullptr && at <= text->size() && codes.size() < 4) {
                const std::size_t comma = std::min(text->find(',', at), text->size());
                const std::optional<SHORT> code = ParseNumberWord(
                    std::string_view(*text).substr(at, comma - at), SHORT{0}, SHORT{32767});
                if (!code)
                    break;
                codes.push_back(*code);
                at = comma + 1;
            }
            if (codes.size() != 3 || text == nullptr || at != text->size() + 1) {
                error = kFormats;
            } else {
                face->pump.priceFormat = codes[0];
                face->pump.volumeFormat = codes[1];
                face->pump.valueFormat = codes[2];
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
        } else if (option == "--back-colour") {
            error = BackColourOption(value(), face);
        } else {
            rest->push_back(option);
        }
        if (error)
            return error;
    }
    return std::nullopt;
}

}  // namespace tolvan_face
