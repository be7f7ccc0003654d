// The strip's words.
#include "apps/forecourt/event_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "client/pump_codes.h"

namespace forecourt {

namespace {

bool Portuguese(Language language) {
    return language == Language::Portuguese;
}

// Groups the whole part by thousands with `group` and puts `point` before `decimals` digits.
std::string Grouped(double number, int decimals, char group, char point) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, std::fabs(number));
    std::string digits = buffer;
    const std::size_t dot = digits.find('.');
    std::string whole = digits.substr(0, dot);
    const std::string fraction = dot == std::string::npos ? "" : digits.substr(dot + 1);
    std::string text;
    for (std::size_t i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0) {
            text += group;
        }
        text += whole[i];
    }
    if (!fraction.empty()) {
        text += point;
        text += fraction;
    }
    // A value that rounds to zero shows no minus sign.
    const bool negative = number < 0 && std::fabs(number) * std::pow(10, decimals) >= 0.5;
    return negative ? "-" + text : text;
}

}  // namespace

Language LanguageFromEnvironment() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            return std::strncmp(value, "pt_BR", 5) == 0 ? Language::Portuguese : Language::English;
        }
    }
    return Language::English;
}

std::string StateWords(int state, Language language) {
    using namespace pump_state;
    const bool pt = Portuguese(language);
    switch (state) {
        case kNotResponding:
            return pt ? "sem comunicação" : "not responding";
        case kIdle:
            return pt ? "livre" : "idle";
        case kAuthorised:
            return pt ? "autorizada" : "authorised";
        case kCalling:
            return pt ? "chamando" : "calling";
        case kStarting:
            return pt ? "iniciando" : "starting";
        case kDelivering:
            return pt ? "abastecendo" : "delivering";
        case kTempStopped:
            return pt ? "parada temporária" : "stopped for now";
        case kNearLimit:
        case kPrepayNearLimit:
            return pt ? "abastecendo, perto do limite" : "delivering, near its limit";
        case kLimitReached:
            return pt ? "limite atingido" : "reached its limit";
        case kPrepayStopped:
            return pt ? "pré-pago parado" : "prepay stopped";
        case kStoppedByController:
            return pt ? "parada pelo controlador" : "stopped by the controller";
        case kError1:
        case kError2:
        case kError16:
        case kError17:
            return (pt ? "erro " : "error ") + std::to_string(state);
        default:
            return (pt ? "estado " : "state ") + std::to_string(state);
    }
}

std::string MoneyText(double value, Language language) {
    if (Portuguese(language)) {
        return "R$ " + Grouped(value, 2, '.', ',');
    }
    std::string text = Grouped(value, 2, ',', '.');
    return text[0] == '-' ? "-$" + text.substr(1) : "$" + text;
}

std::string VolumeText(double litres, Language language) {
    return Portuguese(language) ? Grouped(litres, 3, '.', ',') + " L"
                                : Grouped(litres, 3, ',', '.') + " L";
}

std::string StatusLine(const std::string& pump, const StatusFacts& facts, Language language) {
    const bool pt = Portuguese(language);
    std::string line = pump + ": " + StateWords(facts.state, language);
    // A hose belongs to an authorised pump and the states after it, errors aside.
    if (facts.hoseNumber > 0 && facts.state >= pump_state::kAuthorised &&
        !pump_state::IsError(facts.state)) {
        line += (pt ? ", bico " : ", hose ") + std::to_string(facts.hoseNumber);
        if (!facts.gradeName.empty()) {
            line += ' ' + facts.gradeName;
        }
    }
    // Amounts belong to a sale under way or stopped, not to an idle or calling pump.
    // 11 is no state of the pumps.
    const bool selling = facts.state >= pump_state::kDelivering &&
                         facts.state <= pump_state::kStoppedByController && facts.state != 11;
    if (selling && (facts.volume > 0 || facts.value > 0)) {
        line += ", " + VolumeText(facts.volume, language) + ", " + MoneyText(facts.value, language);
    }
    return line;
}

std::string DeliveryLine(const std::string& pump, DeliveryKind kind, const DeliveryFacts& facts,
                         Language language) {
    const bool pt = Portuguese(language);
    std::string what;
    if (kind == DeliveryKind::Selected) {
        what = pt ? "escolhida para pagamento" : "chosen for payment";
    } else {
        switch (facts.state) {
            case delivery_state::kCurrent:
                what = pt ? "a pagar" : "to be paid";
                break;
            case delivery_state::kStacked:
                what = pt ? "empilhada" : "stacked";
                break;
            case delivery_state::kCleared:
                what = pt ? "paga" : "paid";
                break;
            default:
                what = (pt ? "estado " : "state ") + std::to_string(facts.state);
        }
    }
    std::string line = pump + (pt ? ": venda " : ": sale ") + std::to_string(facts.id) + ' ' + what;
    if (facts.type == delivery_type::kPrepay) {
        line += pt ? " (pré-pago)" : " (prepay)";
    } else if (facts.type == delivery_type::kDriveOff) {
        line += pt ? " (fuga sem pagar)" : " (drive-off)";
    } else if (facts.type == delivery_type::kPreauth) {
        line += pt ? " (pré-autorizada)" : " (preauth)";
    }
    line += ", " + VolumeText(facts.volume, language);
    if (!facts.gradeName.empty()) {
        line += ' ' + facts.gradeName;
    }
    line += ", " + MoneyText(facts.value, language);
    return line;
}

std::string ControllerLostLine(Language language) {
    return Portuguese(language) ? "Controlador perdido" : "Controller lost";
}

}  // namespace forecourt
