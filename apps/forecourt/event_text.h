// The strip's words: a pump's status and delivery events as a cashier reads them, in English
// or, when the user's locale is Brazilian Portuguese, in Portuguese with Brazilian money.
#pragma once

#include <string>

namespace forecourt {

enum class Language { English, Portuguese };

// From LC_ALL, else LC_MESSAGES, else LANG (the first one set decides): pt_BR is Portuguese.
Language LanguageFromEnvironment();

// "calling", "delivering", "error 16", ...
std::string StateWords(int state, Language language);
// "$1,234.50" or "R$ 1.234,50"; "12.345 L" or "12,345 L".
std::string MoneyText(double value, Language language);
std::string VolumeText(double litres, Language language);

struct StatusFacts {
    int state = 0;
    int hoseNumber = 0;
    std::string gradeName;
    double volume = 0;
    double value = 0;
};
// "Bomba 3: calling, hose 1 Gasolina Comum"; a delivering pump adds its amounts.
std::string StatusLine(const std::string& pump, const StatusFacts& facts, Language language);

enum class DeliveryKind { Changed, Selected };
struct DeliveryFacts {
    long id = 0;
    int state = 0;  // 1 current, 2 stacked, 3 cleared
    int type = 0;   // 1 normal, 2 prepay, 3 drive-off, 4 preauth
    std::string gradeName;
    double volume = 0;
    double value = 0;
};
// "Bomba 3: sale 1 stacked, 2.000 L Gasolina Comum, $11.80";
// "Bomba 3: sale 1 chosen for payment, ...".
std::string DeliveryLine(const std::string& pump, DeliveryKind kind, const DeliveryFacts& facts,
                         Language language);

// The strip's line when the client object has lost its connection to the controller.
std::string ControllerLostLine(Language language);

}  // namespace forecourt
