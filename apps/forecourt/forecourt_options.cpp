// forecourt's command line.
#include "apps/forecourt/forecourt_options.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace forecourt {

namespace {

bool WholeNumber(const std::string& text, long low, long high, long* value) {
    long v = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || v < low ||
        v > high) {
        return false;
    }
    *value = v;
    return true;
}

bool Seconds(const std::string& text, double* value) {
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (text.empty() || end == nullptr || *end != '\0' || !std::isfinite(v) || v < 0 ||
        v > 86400) {
        return false;
    }
    *value = v;
    return true;
}

}  // namespace

bool ParseOptions(int argc, char** argv, Options* options, std::string* error) {
    std::vector<std::string> args(argv + 1, argv + argc);
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::string value;
        bool hasValue = false;
        if (const std::size_t eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
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
        static const char* const kValued[] = {"--server", "--call-port", "--events-port",
                                              "--popup-mode", "--beep", "--columns", "--zoom",
                                              "--seconds", "--screenshot", "--after", "--script"};
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
        long number = 0;
        bool ok = true;
        if (name == "--server") {
            ok = !value.empty();
            options->server = value;
        } else if (name == "--call-port") {
            ok = WholeNumber(value, 1, 65535, &options->callPort);
        } else if (name == "--events-port") {
            ok = WholeNumber(value, 1, 65535, &options->eventsPort);
        } else if (name == "--popup-mode") {
            ok = WholeNumber(value, 1, 3, &number);
            options->popupMode = static_cast<int>(number);
        } else if (name == "--beep") {
            ok = value == "on" || value == "off";
            options->beep = value == "on";
        } else if (name == "--columns") {
            ok = WholeNumber(value, 1, 32, &number);
            options->columns = static_cast<int>(number);
        } else if (name == "--zoom") {
            ok = WholeNumber(value, 1, 8, &number);
            options->zoom = static_cast<int>(number);
        } else if (name == "--seconds") {
            ok = Seconds(value, &options->seconds);
        } else if (name == "--after") {
            ok = Seconds(value, &options->after);
        } else if (name == "--screenshot") {
            ok = !value.empty();
            options->screenshot = value;
        } else if (name == "--script") {
            ok = !value.empty();
            options->script = value;
        }
        if (!ok) {
            *error = "bad value \"" + value + "\" for " + name;
            return false;
        }
    }
    return true;
}

}  // namespace forecourt
