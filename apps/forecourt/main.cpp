// forecourt: every pump of a live station as a Tolvan control in one window.
#include <cstdlib>
#include <fstream>
#include <iostream>

#include "apps/forecourt/forecourt_options.h"
#include "apps/forecourt/forecourt_script.h"
#include "apps/forecourt/forecourt_window.h"
#include "apps/shared/script_file.h"

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
        std::string problem;
        if (!script_file::Open(options.script, script, &problem)) {
            std::cerr << "forecourt: cannot read the script " << options.script << " - " << problem
                      << '\n';
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
            int lines = 0;
            switch (forecourt::PlayScript(forecourt, options, script, std::cout, &lines)) {
                case forecourt::PlayResult::kSucceeded:
                    break;
                case forecourt::PlayResult::kFailed:
                    status = 1;
                    break;
                case forecourt::PlayResult::kLineTooLong:
                    std::cerr << "forecourt: line " << lines + 1 << " of the script is too long "
                              << "(more than " << script_file::kMaxLineBytes
                              << " bytes); the script is not read further\n";
                    status = 2;
                    break;
            }
        } else if (!forecourt.Run(options.seconds)) {
            status = 1;
        }
        // Nobody watches a headless run: a lost controller must show in its status.
        if (status == 0 && options.headless && forecourt.ControllerLost()) {
            status = 1;
        }
    }
    return status;
}
