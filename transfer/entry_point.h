// Brenkar's entry point: command line, banner, logon, the transfer, logoff.
#pragma once

#include <cstdint>
#include <functional>

// The transfers the entry point hands the work to. BrenkarMain uses ExportConfiguration,
// ImportConfiguration, CheckConfiguration and VerifyConfiguration; tests substitute doubles
// that record what they were given.
struct BrenkarTransfers {
    std::function<std::int32_t(const char* iniFile, bool pam, bool company, bool gsc, bool ipt)>
        exportConfiguration;
    std::function<std::int32_t(const char* iniFile)> importConfiguration;
    // Checked before the logon of an import, so that a file that cannot be imported holds no
    // server time (it prints why and answers false); none: no check.
    std::function<bool(const char* iniFile)> importFileUsable;
    std::function<std::int32_t(const char* iniFile)> checkConfiguration;
    std::function<std::int32_t(const char* iniFile)> verifyConfiguration;
    // Checked before the logon of VERIFY, as importFileUsable is for the import; none: no check.
    std::function<bool(const char* iniFile)> verifyFileUsable;
};

// Runs one Brenkar command (argv[0] is the program name) and returns the exit code:
// -1 for a usage error (printed, no library call made), an import or VERIFY file that cannot
// be read (printed, no library call made) or a failed logon (printed by CheckResult, no
// logoff), otherwise the transfer's result, after ClientLogoff. CHECK reads only the file: it
// makes no library call at all and returns the check's result.
// All output goes to standard output.
int BrenkarMain(int argc, char** argv);

// BrenkarMain with the given transfers in place of the real ones.
int RunBrenkar(int argc, char** argv, const BrenkarTransfers& transfers);
