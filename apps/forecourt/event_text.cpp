// The strip's words.
#include "apps/forecourt/event_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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
            return std::strncmp(value, "pt_BR", 5) == 0 ? Language::Portuguese
                                                         : Language::English;
        }
    }
    return Language::English;
}

std::string StateWords(int state, Language language) {
    const bool pt = Portuguese(language);
    switch (state) {
        case 0: return pt ? "sem comunicação" : "not responding";
        case 3: return pt ? "livre" : "idle";
        case 5: return pt ? "autorizada" : "authorised";
        case 6: return pt ? "chamando" : "calling";
        case 7: return pt ? "iniciando" : "starting";
        case 8: return pt ? "abastecendo" : "delivering";
        case 9: return pt ? "parada temporária" : "stopped for now";
        case 10:
        case 12: return pt ? "abastecendo, perto do limite" : "delivering, near its limit";
        case 13: return pt ? "limite atingido" : "reached its limit";
        case 14: return pt ? "pré-pago parado" : "prepay stopped";
        case 15: return pt ? "parada pelo controlador" : "stopped by the controller";
        case 1:
        case 2:
        case 16:
        case 17: return (pt ? "erro " : "error ") + std::to_string(state);
        default: return (pt ? "estado " : "state ") + std::to_string(state);
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
    if (facts.hoseNumber > 0 && facts.state >= 5 && facts.state != 16 && facts.state != 17) {
        line += (pt ? ", bico " : ", hose ") + std::to_string(facts.hoseNumber);
        if (!facts.gradeName.empty()) {
            line += ' ' + facts.gradeName;
        }
    }
    // Amounts belong to a sale under way or stopped, not to an idle or calling pump.
    const bool selling = facts.state >= 8 && facts.state <= 15 && facts.state != 11;
    if (selling && (facts.volume > 0 || facts.value > 0)) {
        line += ", " + VolumeText(facts.volume, language) + ", " +
                MoneyText(facts.value, language);
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
            case 1: what = pt ? "a pagar" : "to be paid"; break;
            case 2: what = pt ? "empilhada" : "stacked"; break;
            case 3: what = pt ? "paga" : "paid"; break;
            default: what = (pt ? "estado " : "state ") + std::to_string(facts.state);
        }
    }
    std::string line = pump + (pt ? ": venda " : ": sale ") + std::to_string(facts.id) + ' ' +
                       what;
    if (facts.type == 2) {
        line += pt ? " (pré-pago)" : " (prepay)";
    } else if (facts.type == 3) {
        line += pt ? " (fuga sem pagar)" : " (drive-off)";
    } else if (facts.type == 4) {
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
