// control-host: a scriptable control test container. Creates registered controls through COM
// and runs commands from a script file or standard input (see control_host.h).
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

#include "apps/control-host/control_host.h"

namespace {

int Usage() {
    std::cerr << "usage: control-host [-x] [SCRIPT]\n"
                 "  Runs control-host commands from SCRIPT (or standard input), one per line.\n"
                 "  -x  print each command, prefixed with \"> \", before its output.\n"
                 "  The registry file is $FORECOURT_REGISTRY (see regsvr).\n";
    return 2;
}

// A script line longer than this is refused: a script that is a device (/dev/zero) or a file
// without line ends would otherwise be read into memory without end.
constexpr std::size_t kMaxLineBytes = 1024 * 1024;

enum class LineRead { kLine, kEnd, kTooLong };

// Reads one line (without its LF) of at most kMaxLineBytes bytes.
LineRead ReadLine(std::istream& in, std::string& line) {
    line.clear();
    std::streambuf* buffer = in.rdbuf();
    for (;;) {
        const int c = buffer->sbumpc();
        if (c == std::char_traits<char>::eof()) {
            return line.empty() ? LineRead::kEnd : LineRead::kLine;
        }
        if (c == '\n') {
            return LineRead::kLine;
        }
        if (line.size() == kMaxLineBytes) {
            return LineRead::kTooLong;
        }
        line.push_back(static_cast<char>(c));
    }
}

// Why `script` cannot be read as a script: "" when it is a regular file or a pipe.
std::string ScriptProblem(const char* script) {
    struct stat status {};
    if (stat(script, &status) != 0) {
        return std::strerror(errno);
    }
    if (S_ISDIR(status.st_mode)) {
        return std::strerror(EISDIR);
    }
    if (!S_ISREG(status.st_mode) && !S_ISFIFO(status.st_mode)) {
        return "not a regular file or a pipe";
    }
    return "";
}

}  // namespace

int main(int argc, char** argv) {
    bool echo = false;
    const char* script = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-x") == 0) {
            echo = true;
        } else if (std::strcmp(argv[i], "-h") == 0 || std::strcmp(argv[i], "--help") == 0 ||
                   script != nullptr) {
            return Usage();
        } else {
            script = argv[i];
        }
    }
    std::ifstream file;
    if (script != nullptr && std::strcmp(script, "-") != 0) {
        std::string problem = ScriptProblem(script);
        if (problem.empty()) {
            file.open(script, std::ios::binary);
            if (!file) {
                problem = std::strerror(errno);
            }
        }
        if (!problem.empty()) {
            std::cerr << "control-host: cannot open " << script << " - " << problem << '\n';
            return 2;
        }
    }
    std::istream& in = file.is_open() ? static_cast<std::istream&>(file) : std::cin;
    int failures = 0;
    int lineNumber = 0;
    LineRead read = LineRead::kEnd;
    {
        ControlHost host(std::cout);
        std::string line;
        while ((read = ReadLine(in, line)) == LineRead::kLine) {
            ++lineNumber;
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            if (echo) {
                std::cout << "> " << line << '\n';
            }
            if (!host.RunLine(line)) {
                ++failures;
            }
            std::cout.flush();
        }
    }
    if (read == LineRead::kTooLong) {
        std::cerr << "control-host: line " << lineNumber + 1 << " is too long (more than "
                  << kMaxLineBytes << " bytes); the script is not read further\n";
        return 2;
    }
    // Failed commands are part of a script's normal output; the exit status only says
    // whether every command succeeded.
    return failures == 0 ? 0 : 1;
}
