// kestroctl: drives a live forecourt of kestrod from the shell.
#include <signal.h>

#include "kestro/ctl/ctl_commands.h"

int main(int argc, char** argv) {
    signal(SIGPIPE, SIG_IGN);
    return kestro::ctl::RunCtl(std::vector<std::string>(argv + 1, argv + argc), stdout, stderr);
}
