// forecourt's scenarios.
#include "apps/forecourt/forecourt_script.h"

#include <spawn.h>
#include <sys/wait.h>

#include <charconv>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace forecourt {

namespace {

bool Number(const std::string& text, long low, long high, long* value) {
    long v = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || v < low ||
        v > high) {
        return false;
    }
    *value = v;
    return true;
}

// Runs kestroctl with the forecourt's server and `args`; its exit status, or -1.
int RunKestroctl(const Options& options, const std::vector<std::string>& args) {
    std::vector<std::string> argv = {BuiltPath("kestro/ctl/kestroctl"),
                                     "--server",
                                     options.server,
                                     "--call-port",
                                     std::to_string(options.callPort),
                                     "--events-port",
                                     std::to_string(options.eventsPort)};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> pointers;
    for (std::string& arg : argv) {
        pointers.push_back(arg.data());
    }
    pointers.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, pointers[0], nullptr, nullptr, pointers.data(), environ) != 0) {
        return -1;
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

bool PlayScript(Forecourt& forecourt, const Options& options, std::istream& script,
                std::ostream& out) {
    bool ok = true;
    std::string line;
    int number = 0;
    while (std::getline(script, line)) {
        ++number;
        if (const std::size_t hash = line.find('#'); hash != std::string::npos) {
            line.erase(hash);
        }
        std::istringstream words(line);
        std::vector<std::string> args;
        for (std::string word; words >> word;) {
            args.push_back(word);
        }
        if (args.empty()) {
            continue;
        }
        const std::string command = args[0];
        args.erase(args.begin());
        std::string error;
        long a = 0;
        long b = 0;
        if (command == "click" && args.size() == 1 && Number(args[0], 1, 99, &a)) {
            if (!forecourt.ClickPump(a)) {
                error = "the station has no pump " + args[0];
            }
        } else if (command == "click" && args.size() == 2 && Number(args[0], 0, 32767, &a) &&
                   Number(args[1], 0, 32767, &b)) {
            forecourt.Click(static_cast<int>(a), static_cast<int>(b));
        } else if (command == "key" && args.size() == 1) {
            if (!forecourt.Key(args[0])) {
                error = "unknown key \"" + args[0] + "\"";
            }
        } else if (command == "wait" && args.size() == 1 && Number(args[0], 0, 600000, &a)) {
            forecourt.Wait(static_cast<int>(a));
        } else if (command == "screenshot" && args.size() == 1) {
            forecourt.Screenshot(args[0], &error);
        } else if (command == "strip" && args.empty()) {
            for (const std::string& text : forecourt.Strip()) {
                out << "strip: " << text << '\n';
            }
        } else if (command == "current" && args.empty()) {
            out << "current=" << forecourt.CurrentPump() << '\n';
        } else if (command == "kestroctl" && !args.empty()) {
            const int status = RunKestroctl(options, args);
            if (status != 0) {
                error = "kestroctl " + line.substr(line.find("kestroctl") + 10) +
                        " ended with status " + std::to_string(status);
            }
        } else {
            error = "line " + std::to_string(number) + ": unknown or malformed command \"" +
                    command + "\" (click, key, wait, screenshot, strip, current, kestroctl)";
        }
        if (!error.empty()) {
            out << "error: " << error << '\n';
            ok = false;
        }
    }
    return ok;
}

}  // namespace forecourt
