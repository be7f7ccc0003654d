// forecourt's scenarios.
#include "apps/forecourt/forecourt_script.h"

#include <spawn.h>
#include <sys/wait.h>

#include <sstream>
#include <string>
#include <vector>

#include "apps/program_files/program_files.h"
#include "apps/shared/script_file.h"
#include "common/number_word.h"
#include "platform/user.h"

extern char** environ;

namespace forecourt {

namespace {

// Runs kestroctl with the forecourt's server and `args`; its exit status, or -1.
int RunKestroctl(const Options& options, const std::vector<std::string>& args) {
    // The build tree's kestroctl (build/apps/forecourt is this program), else the installed
    // one beside this program, else the one on the PATH.
    std::string program = FindProgram("../kestro/ctl/kestroctl", "kestroctl");
    if (program.empty())
        program = "kestroctl";
    std::vector<std::string> argv = {program,
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
    if (posix_spawnp(&pid, pointers[0], nullptr, nullptr, pointers.data(), environ) != 0) {
        return -1;
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Plays the lines one after the other; a loop that a click or key starts (a popup's) plays
// the following lines from the thread's idle hook.
class ScriptPlayer {
  public:
    ScriptPlayer(Forecourt& forecourt, const Options& options, std::istream& script,
                 std::ostream& out)
        : forecourt_(forecourt), options_(options), script_(script), out_(out) {}

    PlayResult Play() {
        platform::SetIdleHook([this] { return OnIdle(); });
        while (Step(false)) {
        }
        platform::SetIdleHook(nullptr);
        if (tooLong_) {
            return PlayResult::kLineTooLong;
        }
        return ok_ ? PlayResult::kSucceeded : PlayResult::kFailed;
    }

    // The lines read so far.
    int Lines() const { return lines_; }

  private:
    // Reads and runs the next line; false at the script's end or at a line too long.
    // `inLoop`: a loop started by an input command waits; input is only queued, for that loop
    // to take as it takes a user's.
    bool Step(bool inLoop) {
        if (ended_) {
            return false;
        }
        std::string line;
        const script_file::LineRead read = script_file::ReadLine(script_, line);
        if (read != script_file::LineRead::kLine) {
            ended_ = true;
            tooLong_ = read == script_file::LineRead::kTooLong;
            return false;
        }
        const int number = ++lines_;
        if (const std::size_t hash = line.find('#'); hash != std::string::npos) {
            line.erase(hash);
        }
        std::istringstream words(line);
        std::vector<std::string> args;
        for (std::string word; words >> word;) {
            args.push_back(word);
        }
        if (args.empty()) {
            return true;
        }
        const std::string command = args[0];
        args.erase(args.begin());
        std::string error;
        long a = 0;
        long b = 0;
        bool input = false;
        std::string numberError;  // a word of the line that is no number in its range
        if (command == "click" && args.size() == 1) {
            if (ReadNumberWord("click PUMP", args[0], 1, 99, a, numberError)) {
                input = forecourt_.QueuePumpClick(a);
                if (!input) {
                    error = "the station has no pump " + args[0];
                }
            }
        } else if (command == "click" && args.size() == 2) {
            if (ReadNumberWord("click X", args[0], 0, 32767, a, numberError) &&
                ReadNumberWord("click Y", args[1], 0, 32767, b, numberError)) {
                forecourt_.QueueClick(static_cast<int>(a), static_cast<int>(b));
                input = true;
            }
        } else if (command == "key" && args.size() == 1) {
            input = forecourt_.QueueKey(args[0]);
            if (!input) {
                error = "unknown key \"" + args[0] + "\"";
            }
        } else if (command == "wait" && args.size() == 1) {
            if (ReadNumberWord("wait", args[0], 0, 600000, a, numberError, "milliseconds")) {
                forecourt_.Wait(static_cast<int>(a));
            }
        } else if (command == "screenshot" && args.size() == 1) {
            forecourt_.Screenshot(args[0], &error);
        } else if (command == "strip" && args.empty()) {
            for (const std::string& text : forecourt_.Strip()) {
                out_ << "strip: " << text << '\n';
            }
        } else if (command == "current" && args.empty()) {
            out_ << "current=" << forecourt_.CurrentPump() << '\n';
        } else if (command == "faces" && args.empty()) {
            for (const auto& [pumpId, state] : forecourt_.FaceStates()) {
                out_ << "face " << pumpId << ": state " << state << '\n';
            }
        } else if (command == "kestroctl" && !args.empty()) {
            const int status = RunKestroctl(options_, args);
            if (status != 0) {
                error = "kestroctl " + line.substr(line.find("kestroctl") + 10) +
                        " ended with status " + std::to_string(status);
            }
        } else {
            error = "line " + std::to_string(number) + ": unknown or malformed command \"" +
                    command + "\" (click, key, wait, screenshot, strip, current, faces, kestroctl)";
        }
        if (!numberError.empty()) {
            error = "line " + std::to_string(number) + ": " + numberError;
        }
        if (!error.empty()) {
            out_ << "error: " << error << '\n';
            ok_ = false;
        }
        if (input && !inLoop) {
            // A loop that starts while the input is served plays the next lines.
            ++handedOver_;
            forecourt_.Settle();
            --handedOver_;
        }
        return true;
    }

    // Called when a message loop of the thread would block.
    bool OnIdle() {
        if (handedOver_ == 0 || playing_ || abandoned_) {
            return false;  // the script's own waits, or a loop of no input command
        }
        playing_ = true;
        const bool ran = Step(true);
        playing_ = false;
        if (ran) {
            // The loop looks whether it is over only when it takes a message.
            PostMessageW(nullptr, WM_NULL, 0, 0);
            return true;
        }
        // The script has ended inside a loop it started: close the popup, or end the loop.
        if (!closing_) {
            closing_ = true;
            out_ << "error: the script ended with a popup open (closed with ESCAPE)\n";
            ok_ = false;
            forecourt_.QueueKey("ESCAPE");
        } else {
            PostQuitMessage(1);
            abandoned_ = true;
        }
        return true;
    }

    Forecourt& forecourt_;
    const Options& options_;
    std::istream& script_;
    std::ostream& out_;
    int lines_ = 0;
    bool ended_ = false;
    bool tooLong_ = false;
    bool ok_ = true;
    int handedOver_ = 0;  // input commands being served (their loops play the script)
    bool playing_ = false;
    bool closing_ = false;
    bool abandoned_ = false;
};

}  // namespace

PlayResult PlayScript(Forecourt& forecourt, const Options& options, std::istream& script,
                      std::ostream& out, int* lines) {
    ScriptPlayer player(forecourt, options, script, out);
    const PlayResult result = player.Play();
    if (lines != nullptr) {
        *lines = player.Lines();
    }
    return result;
}

}  // namespace forecourt
