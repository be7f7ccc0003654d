// forecourt's command line.
#include "apps/forecourt/forecourt_options.h"

#include <vector>

#include "common/number_word.h"

namespace forecourt {

bool ParseOptions(int argc, char** argv, Options* options, std::string* error) {
    std::vector<std::string> args(argv + 1, argv + argc);
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::string value;
        bool hasValue = false;
        if (const std::size_t eq = name.find('=');
            name.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
            hasValue = true;
        }
        if (name == "--help" || name == "-h") {
            options->help = true;
            continue;
        }
        if (name == "--headless") {
            options->headless = true;
            continue;
        }
        static const char* const kValued[] = {
            "--server", "--call-port", "--events-port", "--popup-mode", "--beep",  "--columns",
            "--zoom",   "--seconds",   "--screenshot",  "--after",      "--script"};
        bool known = false;
        for (const char* valued : kValued) {
            known = known || name == valued;
        }
        if (!known) {
            *error = "unknown option " + args[i];
            return false;
        }
        if (!hasValue) {
            if (i + 1 >= args.size()) {
                *error = name + " needs a value";
                return false;
            }
            value = args[++i];
        }
        // A day at most: longer runs and waits are mistakes.
        constexpr double kLongestSeconds = 86400;
        std::string numberError;  // set by the number options
        bool ok = true;
        if (name == "--server") {
            ok = !value.empty();
            options->server = value;
        } else if (name == "--call-port") {
            ok = ReadNumberWord(name, value, 1, 65535, options->callPort, numberError,
                                "a port number");
        } else if (name == "--events-port") {
            ok = ReadNumberWord(name, value, 1, 65535, options->eventsPort, numberError,
                                "a port number");
        } else if (name == "--popup-mode") {
            ok = ReadNumberWord(name, value, 1, 3, options->popupMode, numberError);
        } else if (name == "--beep") {
            ok = value == "on" || value == "off";
            options->beep = value == "on";
        } else if (name == "--columns") {
            ok = ReadNumberWord(name, value, 1, 32, options->columns, numberError);
        } else if (name == "--zoom") {
            ok = ReadNumberWord(name, value, 1, 8, options->zoom, numberError);
        } else if (name == "--seconds") {
            ok = ReadNumberWord(name, value, 0.0, kLongestSeconds, options->seconds, numberError,
                                "seconds");
        } else if (name == "--after") {
            ok = ReadNumberWord(name, value, 0.0, kLongestSeconds, options->after, numberError,
                                "seconds");
        } else if (name == "--screenshot") {
            ok = !value.empty();
            options->screenshot = value;
        } else if (name == "--script") {
            ok = !value.empty();
            options->script = value;
        }
        if (!ok) {
            *error = numberError.empty() ? "bad value \"" + value + "\" for " + name : numberError;
            return false;
        }
    }
    return true;
}

}  // namespace forecourt
