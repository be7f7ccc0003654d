// forecourt: every pump of a live station as a Tolvan control in one window.
#include <cstdlib>
#include <fstream>
#include <iostream>

#include "apps/forecourt/forecourt_options.h"
#include "apps/forecourt/forecourt_script.h"
#include "apps/forecourt/forecourt_window.h"

int main(int argc, char** argv) {
    forecourt::Options options;
    std::string error;
    if (!forecourt::ParseOptions(argc, argv, &options, &error)) {
        std::cerr << "forecourt: " << error << '\n' << forecourt::kUsage;
        return 2;
    }
    if (options.help) {
        std::cout << forecourt::kUsage;
        return 0;
    }
    std::ifstream script;
    if (!options.script.empty()) {
        script.open(options.script);
        if (!script) {
            std::cerr << "forecourt: cannot read the script " << options.script << '\n';
            return 2;
        }
    }
    if (!options.headless && std::getenv("FORECOURT_DISPLAY") == nullptr &&
        std::getenv("DISPLAY") != nullptr) {
        platform::SelectDisplay(platform::Display::Sdl);
    }
    if (options.headless) {
        platform::SelectDisplay(platform::Display::Headless);
    }
    int status = 0;
    {
        forecourt::Forecourt forecourt(options, std::cerr);
        if (!forecourt.Start(&error)) {
            std::cerr << "forecourt: " << error << '\n';
            status = 1;
        } else if (script.is_open()) {
            status = forecourt::PlayScript(forecourt, options, script, std::cout) ? 0 : 1;
        } else {
            forecourt.Run(options.seconds);
        }
    }
    return status;
}
