// Brenkar's entry point: command line, banner, logon, the transfer, logoff.
#pragma once

// Runs one Brenkar command (argv[0] is the program name) and returns the exit code:
// -1 for a usage error or a failed logon, otherwise the transfer's result.
int BrenkarMain(int argc, char** argv);
