// Brenkar's command line: the mode keywords IMPORT, EXPORT, VERSION, CHECK and VERIFY, the
// switches /PAM, /COMPANY, /GSC and /IPT, the INI file name and the controller server's name.
#pragma once

#include "common/counter_string.h"

enum class TransferMode { kImport, kExport, kCheck, kVerify };

// The parsed command line; lives for the duration of the entry point.
struct CommandOptions {
    TransferMode mode = TransferMode::kExport;
    CounterString iniFile{""};              // the first argument that is no keyword; empty if none
    CounterString serverName{"127.0.0.1"};  // the last further argument that is no keyword
    bool pam = false;
    bool company = false;
    bool gsc = false;
    bool ipt = false;
};

// Parses the `count` arguments at `args` (the program name excluded). Each argument is
// compared with the keywords IMPORT, EXPORT, VERSION, CHECK, VERIFY, /GSC, /PAM, /COMPANY and
// /IPT in that order, ignoring the case of A-Z (see the definition), and the first match
// applies: the mode keywords set the mode (the last one wins) and VERSION also turns
// VersionOnly on;
// /PAM and /COMPANY each turn the other off. Any other argument, one that starts with a
// slash included, becomes the INI file name while that is still empty, else replaces the
// server name. Then the implications apply, in this order: IPT turns GSC on; GSC turns PAM
// on and Company off; PAM turns Company off.
CommandOptions ParseCommandLine(int count, char* const* args);
