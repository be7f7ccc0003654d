// control-host: a scriptable control test container. Creates registered controls through COM
// and runs commands from a script file or standard input (see control_host.h).
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

#include "apps/control-host/control_host.h"
#include "apps/control-host/script_runner.h"
#include "apps/shared/script_file.h"

namespace {

int Usage() {
    std::cerr << "usage: control-host [-x] [SCRIPT]\n"
                 "  Runs control-host commands from SCRIPT (or standard input), one per line.\n"
                 "  -x  print each command, prefixed with \"> \", before its output.\n"
                 "  The registry file is $FORECOURT_REGISTRY (see regsvr).\n";
    return 2;
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
        std::string problem;
        if (!script_file::Open(script, file, &problem)) {
            std::cerr << "control-host: cannot open " << script << " - " << problem << '\n';
            return 2;
        }
    }
    std::istream& in = file.is_open() ? static_cast<std::istream&>(file) : std::cin;
    ScriptRunner::Status status = ScriptRunner::Status::kEnd;
    int failures = 0;
    int lines = 0;
    {
        ControlHost host(std::cout);
        ScriptRunner runner(host, in, std::cout, echo);
        status = runner.Run();
        failures = runner.failures();
        lines = runner.lines();
    }
    if (status == ScriptRunner::Status::kLineTooLong) {
        std::cerr << "control-host: line " << lines + 1 << " is too long (more than "
                  << ScriptRunner::kMaxLineBytes << " bytes); the script is not read further\n";
        return 2;
    }
    // Failed commands are part of a script's normal output; the exit status only says
    // whether every command succeeded.
    return failures == 0 ? 0 : 1;
}
