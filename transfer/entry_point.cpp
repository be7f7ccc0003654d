// Brenkar's entry point: parses the command line, logs on to the controller server, runs
// the export or the import inside that logon and logs off again.
#include "transfer/entry_point.h"

#include <clocale>
#include <cstdio>
#include <cstring>

#include "client/kestro.h"
#include "transfer/check.h"
#include "transfer/check_result.h"
#include "transfer/command_options.h"
#include "transfer/config_file_access.h"
#include "transfer/export.h"
#include "transfer/import.h"
#include "transfer/verify.h"

namespace {

constexpr char kUsageWithVersion[] =
    "Brenkar IMPORT | EXPORT | VERSION <destination INI file name> [<server name>|<server IP>] "
    "[/PAM | /Company] \n";
constexpr char kUsageWithoutVersion[] =
    "Brenkar IMPORT | EXPORT <destination INI file name> [<server name>|<server IP>] "
    "[/PAM | /Company] \n";
// What --help adds to the first usage text: the other two commands, the switches' rules and
// where the whole story is.
constexpr char kHelpDetails[] =
    "Brenkar CHECK <INI file name>\n"
    "Brenkar VERIFY <INI file name> [<server name>|<server IP>]\n"
    "\n"
    "EXPORT writes the controller's configuration to the INI file, VERSION only its versions,\n"
    "ports and ZigBee devices; IMPORT writes the file back to the controller; CHECK reads the\n"
    "file as IMPORT would, without a server; VERIFY compares the file with the controller.\n"
    "/GSC implies /PAM, /IPT implies /GSC; keywords and switches match in any letter case.\n"
    "The server defaults to 127.0.0.1. See brenkar(1).\n";
constexpr char kBanner[] = "Brenkar 23.01 - forecourt controller configuration backup\n\n";

// The logon values the controller's library expects from this tool; 5123 and 5124 are the
// call and events ports, 10000 the call time-out in milliseconds.
constexpr std::int32_t kClientId = 110;
constexpr std::int32_t kClientKind = 5;
constexpr std::int32_t kCallPort = 5123;
constexpr std::int32_t kEventsPort = 5124;
constexpr std::int32_t kCallTimeout = 10000;
constexpr std::int32_t kLogonOptions = 0;
constexpr std::int32_t kEventMask = 0;
constexpr std::int32_t kBufferSize = 1024;
constexpr std::int32_t kClientType = 0x3B9E6C15;

bool LogOn(const CounterString& serverName) {
    BSTR server = SysAllocStringLen(serverName.Chars(), static_cast<UINT>(serverName.Length()));
    std::int32_t result = ClientLogonEx(kClientId, kClientKind, server, kCallPort, kEventsPort,
                                        kCallTimeout, kLogonOptions, kEventMask, kBufferSize);
    SysFreeString(server);
    return CheckResult("Logon failed", result);
}

// What the connecting line says the logon is for.
const char* Purpose(TransferMode mode) {
    switch (mode) {
        case TransferMode::kImport:
            return "import";
        case TransferMode::kVerify:
            return "verification";
        default:
            return "export";
    }
}

}  // namespace

int RunBrenkar(int argc, char** argv, const BrenkarTransfers& transfers) {
    if (std::setlocale(LC_ALL, "C") == nullptr) {
        std::printf("Failed SetLocale \n");
    }
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::printf("%s%s", kUsageWithVersion, kHelpDetails);
        return 0;
    }
    if (argc < 3) {
        std::printf("%s", kUsageWithVersion);
        return -1;
    }
    CommandOptions options = ParseCommandLine(argc - 1, argv + 1);
    if (options.iniFile.Length() == 0) {
        std::printf("%s", kUsageWithoutVersion);
        return -1;
    }

    std::printf("%s", kBanner);
    const char* iniFile = options.iniFile.Narrow();
    if (options.mode == TransferMode::kCheck) {
        return transfers.checkConfiguration(iniFile);
    }
    const auto& fileUsable = options.mode == TransferMode::kImport   ? transfers.importFileUsable
                             : options.mode == TransferMode::kVerify ? transfers.verifyFileUsable
                                                                     : nullptr;
    if (fileUsable && !fileUsable(iniFile)) {
        return -1;
    }
    std::printf("Connecting to %s for %s.\n", options.serverName.Narrow(), Purpose(options.mode));
    if (!LogOn(options.serverName)) {
        return -1;
    }
    // A rejected client type is reported but does not stop the transfer.
    CheckResult("SetClientType failed", SetClientType(kClientType));

    std::int32_t result = 0;
    if (options.mode == TransferMode::kImport) {
        result = transfers.importConfiguration(iniFile);
    } else if (options.mode == TransferMode::kVerify) {
        result = transfers.verifyConfiguration(iniFile);
    } else {
        result = transfers.exportConfiguration(iniFile, options.pam, options.company, options.gsc,
                                               options.ipt);
    }
    ClientLogoff();
    return result;
}

int BrenkarMain(int argc, char** argv) {
    return RunBrenkar(
        argc, argv,
        BrenkarTransfers{ExportConfiguration, ImportConfiguration, ImportFileUsable,
                         CheckConfiguration, VerifyConfiguration, ConfigFileReadable});
}
