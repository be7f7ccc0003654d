// forecourt's command line.
#pragma once

#include <string>

namespace forecourt {

struct Options {
    std::string server = "127.0.0.1";
    long callPort = 5123;
    long eventsPort = 5124;
    int popupMode = 1;   // 1, 2 or 3: the controls' PopupMode
    bool beep = true;    // the controls' BeepEnabled
    int columns = 4;     // faces per row
    int zoom = 1;        // the whole frame scaled by this whole factor
    double seconds = 0;  // 0: until the window is closed
    bool headless = false;
    std::string screenshot;  // written after `after` seconds (headless or not)
    double after = 0;
    std::string script;
    bool help = false;
};

constexpr const char* kUsage =
    "usage: forecourt [--server ADDRESS] [--call-port N] [--events-port N]\n"
    "                 [--popup-mode 1|2|3] [--beep on|off] [--columns N] [--zoom N]\n"
    "                 [--seconds S] [--headless] [--screenshot FILE.png [--after S]]\n"
    "                 [--script FILE]\n";

// False with `error` set for a bad command line. Options take "--name VALUE" or
// "--name=VALUE".
bool ParseOptions(int argc, char** argv, Options* options, std::string* error);

}  // namespace forecourt
