// Brenkar's entry point against the in-process station: usage texts, keywords and switches
// as the transfers receive them, the logon call and its failures, logoff and exit codes.
#include "transfer/entry_point.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "kestro/inproc/current_station.h"
#include "kestro/model/result_codes.h"
#include "platform/oleauto.h"
#include "tests/support/captured_output.h"
#include "transfer/config_file_access.h"
#include "transfer/import.h"
#include "transfer/version_only.h"

namespace {

using kestro::RecordedCall;
using namespace std::string_literals;

constexpr char kUsageWithVersion[] =
    "Brenkar IMPORT | EXPORT | VERSION <destination INI file name> [<server name>|<server IP>] "
    "[/PAM | /Company] \n";
constexpr char kUsageWithoutVersion[] =
    "Brenkar IMPORT | EXPORT <destination INI file name> [<server name>|<server IP>] "
    "[/PAM | /Company] \n";
constexpr char kBanner[] = "Brenkar 23.01 - forecourt controller configuration backup\n\n";

const RecordedCall kLogon{"ClientLogonEx", {110, 5, u"127.0.0.1"s, 5123, 5124, 10000, 0, 0, 1024}};
const RecordedCall kSetClientType{"SetClientType", {0x3B9E6C15}};
const RecordedCall kLogoff{"ClientLogoff", {}};

// What a transfer double was handed, and the state of the station at that moment.
struct TransferCall {
    std::string kind;  // "export" or "import"
    std::string iniFile;
    bool pam = false;
    bool company = false;
    bool gsc = false;
    bool ipt = false;
    bool loggedOn = false;
    long liveStrings = 0;
};

class EntryPointTest : public testing::Test {
  protected:
    void SetUp() override { VersionOnly = false; }
    void TearDown() override { EXPECT_EQ(SysLiveStringCount(), baselineStrings); }

    // Runs Brenkar with `args` after the program name; returns the console output and
    // keeps the exit code in `exitCode`.
    std::string Run(std::vector<std::string> args) {
        args.insert(args.begin(), "brenkar");
        std::vector<char*> argv;
        for (std::string& arg : args) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        BrenkarTransfers doubles{
            [this](const char* iniFile, bool pam, bool company, bool gsc, bool ipt) {
                transfer = TransferCall{"export",
                                        iniFile,
                                        pam,
                                        company,
                                        gsc,
                                        ipt,
                                        station.LoggedOn(),
                                        SysLiveStringCount()};
                return transferResult;
            },
            [this](const char* iniFile) { return Record("import", iniFile); },
            importFileCheck,
            [this](const char* iniFile) { return Record("check", iniFile); },
            [this](const char* iniFile) { return Record("verify", iniFile); },
            verifyFileCheck};
        return test_support::CaptureStdout(
            [&] { exitCode = RunBrenkar(static_cast<int>(args.size()), argv.data(), doubles); });
    }

    // What a transfer double without switches records.
    std::int32_t Record(const char* kind, const char* iniFile) {
        transfer = TransferCall{kind, iniFile};
        transfer->loggedOn = station.LoggedOn();
        transfer->liveStrings = SysLiveStringCount();
        return transferResult;
    }

    kestro::Station station;
    kestro::ScopedStation use{station};
    long baselineStrings = SysLiveStringCount();
    std::int32_t transferResult = 0;
    std::optional<TransferCall> transfer;
    std::function<bool(const char*)> importFileCheck;  // none by default
    std::function<bool(const char*)> verifyFileCheck;  // none by default
    int exitCode = 0;
};

TEST_F(EntryPointTest, FewerThanTwoArgumentsPrintTheFirstUsageText) {
    const std::vector<std::vector<std::string>> commands = {{}, {"EXPORT"}, {"station.ini"}};
    for (const auto& args : commands) {
        SCOPED_TRACE(args.empty() ? "no argument" : args[0]);
        EXPECT_EQ(Run(args), kUsageWithVersion);
        EXPECT_EQ(exitCode, -1);
        EXPECT_TRUE(station.Calls().empty());
        EXPECT_FALSE(transfer);
    }
}

TEST_F(EntryPointTest, HelpPrintsTheFirstUsageTextWithTheOtherCommandsAndSucceeds) {
    for (const char* option : {"--help", "-h"}) {
        SCOPED_TRACE(option);
        const std::string output = Run({option});
        EXPECT_EQ(output.substr(0, sizeof kUsageWithVersion - 1), kUsageWithVersion);
        EXPECT_NE(output.find("\nBrenkar CHECK <INI file name>\n"), std::string::npos);
        EXPECT_NE(output.find("\nBrenkar VERIFY <INI file name> [<server name>|<server IP>]\n"),
                  std::string::npos);
        EXPECT_NE(output.find("See brenkar(1)."), std::string::npos);
        EXPECT_EQ(exitCode, 0);
        EXPECT_TRUE(station.Calls().empty());
        EXPECT_FALSE(transfer);
    }
}

TEST_F(EntryPointTest, HelpAmongOtherArgumentsIsAFileOrServerName) {
    EXPECT_EQ(Run({"--help", "EXPORT"}).find("Brenkar CHECK"), std::string::npos);
    ASSERT_TRUE(transfer);
    EXPECT_EQ(transfer->iniFile, "--help");
    // Only the exact option asks for help; anything else alone is still a usage error.
    EXPECT_EQ(Run({"--HELP"}), kUsageWithVersion);
    EXPECT_EQ(exitCode, -1);
}

TEST_F(EntryPointTest, NoFileNamePrintsTheSecondUsageText) {
    const std::vector<std::vector<std::string>> commands = {
        {"EXPORT", "/PAM"}, {"VERSION", "IMPORT"}, {"/gsc", "/ipt", "export"}};
    for (const auto& args : commands) {
        SCOPED_TRACE(args[0] + " " + args[1]);
        EXPECT_EQ(Run(args), kUsageWithoutVersion);
        EXPECT_EQ(exitCode, -1);
        EXPECT_TRUE(station.Calls().empty());
        EXPECT_FALSE(transfer);
    }
}

TEST_F(EntryPointTest, ExportLogsOnRunsTheTransferInsideTheLogonAndLogsOff) {
    transferResult = 0;
    EXPECT_EQ(Run({"EXPORT", "station.ini"}), kBanner + "Connecting to 127.0.0.1 for export.\n"s);
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(station.Calls(), (std::vector<RecordedCall>{kLogon, kSetClientType, kLogoff}));
    ASSERT_TRUE(transfer);
    EXPECT_EQ(transfer->kind, "export");
    EXPECT_EQ(transfer->iniFile, "station.ini");
    EXPECT_TRUE(transfer->loggedOn);
    // The server name's BSTR was freed right after the logon call.
    EXPECT_EQ(transfer->liveStrings, baselineStrings);
    EXPECT_FALSE(station.LoggedOn());
    EXPECT_FALSE(VersionOnly);
}

TEST_F(EntryPointTest, TheTransferResultIsTheExitCode) {
    transferResult = -1;
    Run({"EXPORT", "station.ini"});
    EXPECT_EQ(exitCode, -1);
    EXPECT_EQ(station.CallNames().back(), "ClientLogoff");

    transferResult = 3;
    Run({"IMPORT", "station.ini"});
    EXPECT_EQ(exitCode, 3);
    EXPECT_EQ(station.CallNames().back(), "ClientLogoff");
}

TEST_F(EntryPointTest, AnImportFileThatCannotBeReadIsRefusedBeforeTheLogon) {
    char pattern[] = "/tmp/entry-point-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string fifo = std::string(pattern) + "/station.ini";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    importFileCheck = ImportFileUsable;
    verifyFileCheck = ConfigFileReadable;
    struct Row {
        std::string file;
        std::string reason;
    } rows[] = {
        {"/dev/zero", "not a regular file"},  // would be read forever
        {fifo, "not a regular file"},         // would block the open forever
        {std::string(pattern) + "/missing.ini", "No such file or directory"},
    };
    for (const Row& row : rows) {
        for (const char* mode : {"IMPORT", "VERIFY"}) {
            SCOPED_TRACE(std::string(mode) + " " + row.file);
            EXPECT_EQ(Run({mode, row.file}),
                      kBanner + "Cannot read the file "s + row.file + " - " + row.reason + ".\n");
            EXPECT_EQ(exitCode, -1);
            EXPECT_TRUE(station.Calls().empty());
            EXPECT_FALSE(transfer);
        }
    }
    // An export is not checked this way: its file need not exist.
    Run({"EXPORT", std::string(pattern) + "/missing.ini"});
    EXPECT_TRUE(transfer);
    std::filesystem::remove_all(pattern);
}

// One row per command line: what reaches the transfer and which server is logged on to.
struct CommandRow {
    std::vector<std::string> args;
    const char* kind;
    const char* iniFile;
    std::u16string server;
    bool pam, company, gsc, ipt;
    bool versionOnly;
};

TEST_F(EntryPointTest, KeywordsSwitchesAndFreeArgumentsReachTheTransfer) {
    const CommandRow rows[] = {
        {{"station.ini", "10.0.0.5"}, "export", "station.ini", u"10.0.0.5", 0, 0, 0, 0, false},
        {{"export", "station.ini", "a", "b"}, "export", "station.ini", u"b", 0, 0, 0, 0, false},
        {{"VERSION", "IMPORT", "station.ini"},
         "import",
         "station.ini",
         u"127.0.0.1",
         0,
         0,
         0,
         0,
         true},
        {{"version", "station.ini"}, "export", "station.ini", u"127.0.0.1", 0, 0, 0, 0, true},
        {{"IMPORT", "x.ini", "EXPORT"}, "export", "x.ini", u"127.0.0.1", 0, 0, 0, 0, false},
        {{"EXPORT", "s.ini", "/pam", "/company"},
         "export",
         "s.ini",
         u"127.0.0.1",
         0,
         1,
         0,
         0,
         false},
        {{"EXPORT", "s.ini", "/company", "/pam"},
         "export",
         "s.ini",
         u"127.0.0.1",
         1,
         0,
         0,
         0,
         false},
        {{"EXPORT", "s.ini", "/company", "/gsc"},
         "export",
         "s.ini",
         u"127.0.0.1",
         1,
         0,
         1,
         0,
         false},
        {{"EXPORT", "s.ini", "/gsc", "/company"},
         "export",
         "s.ini",
         u"127.0.0.1",
         1,
         0,
         1,
         0,
         false},
        {{"EXPORT", "s.ini", "/ipt"}, "export", "s.ini", u"127.0.0.1", 1, 0, 1, 1, false},
        {{"Export", "s.ini", "/Company"}, "export", "s.ini", u"127.0.0.1", 0, 1, 0, 0, false},
        {{"eXpOrT", "s.ini", "/Pam", "/iPt", "/GSc"},
         "export",
         "s.ini",
         u"127.0.0.1",
         1,
         0,
         1,
         1,
         false},
        // A slash argument that is no keyword is a free argument like any other.
        {{"/XYZ", "EXPORT", "/PAMX"}, "export", "/XYZ", u"/PAMX", 0, 0, 0, 0, false},
        // Keywords fold A-Z only; a non-ASCII look-alike is a free argument.
        {{"EXPORT", "s.ini", "/PA\xC3\x8D"},
         "export",
         "s.ini",
         u"/PA\uFFC3\uFF8D",
         0,
         0,
         0,
         0,
         false},
    };
    for (const CommandRow& row : rows) {
        std::string command;
        for (const std::string& arg : row.args) {
            command += arg + " ";
        }
        SCOPED_TRACE(command);
        VersionOnly = false;
        station.ClearCalls();
        transfer.reset();

        Run(row.args);
        EXPECT_EQ(exitCode, 0);
        ASSERT_TRUE(transfer);
        EXPECT_EQ(transfer->kind, row.kind);
        EXPECT_EQ(transfer->iniFile, row.iniFile);
        if (transfer->kind == "export") {
            EXPECT_EQ(transfer->pam, row.pam);
            EXPECT_EQ(transfer->company, row.company);
            EXPECT_EQ(transfer->gsc, row.gsc);
            EXPECT_EQ(transfer->ipt, row.ipt);
        }
        EXPECT_EQ(VersionOnly, row.versionOnly);
        ASSERT_FALSE(station.Calls().empty());
        const RecordedCall& logon = station.Calls().front();
        ASSERT_EQ(logon.name, "ClientLogonEx");
        EXPECT_EQ(logon.values.at(2), kestro::CallValue(row.server));
    }
}

TEST_F(EntryPointTest, ConnectingLineNamesServerAndDirection) {
    EXPECT_EQ(Run({"IMPORT", "station.ini", "depot-7"}),
              kBanner + "Connecting to depot-7 for import.\n"s);
    EXPECT_EQ(Run({"VERSION", "station.ini", "10.1.2.3"}),
              kBanner + "Connecting to 10.1.2.3 for export.\n"s);
}

TEST_F(EntryPointTest, FailedLogonStopsBeforeTheTransferWithoutLogoff) {
    station.FailCall("ClientLogonEx", kestro::kCannotConnect);
    EXPECT_EQ(Run({"EXPORT", "station.ini"}),
              kBanner + "Connecting to 127.0.0.1 for export.\nLogon failed - cannot connect.\n"s);
    EXPECT_EQ(exitCode, -1);
    EXPECT_FALSE(transfer);
    EXPECT_EQ(station.CallNames(), (std::vector<std::string>{"ClientLogonEx", "ResultString"}));
}

TEST_F(EntryPointTest, EmptyServerNameIsRefusedByTheLogon) {
    EXPECT_EQ(Run({"IMPORT", "station.ini", ""}),
              kBanner + "Connecting to  for import.\nLogon failed - invalid argument.\n"s);
    EXPECT_EQ(exitCode, -1);
    EXPECT_FALSE(transfer);
}

TEST_F(EntryPointTest, RejectedClientTypeIsReportedAndTheRunGoesOn) {
    station.FailCall("SetClientType", kestro::kConnectionLost);
    transferResult = 0;
    EXPECT_EQ(
        Run({"EXPORT", "station.ini"}),
        kBanner +
            "Connecting to 127.0.0.1 for export.\nSetClientType failed - connection lost.\n"s);
    EXPECT_EQ(exitCode, 0);
    ASSERT_TRUE(transfer);
    EXPECT_EQ(station.CallNames(), (std::vector<std::string>{"ClientLogonEx", "SetClientType",
                                                             "ResultString", "ClientLogoff"}));
}

TEST_F(EntryPointTest, FailedLogoffIsIgnored) {
    station.FailCall("ClientLogoff", kestro::kTimeOut);
    transferResult = 0;
    EXPECT_EQ(Run({"EXPORT", "station.ini"}), kBanner + "Connecting to 127.0.0.1 for export.\n"s);
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(station.CallNames().back(), "ClientLogoff");
}

TEST_F(EntryPointTest, CheckReadsOnlyTheFileWithoutAnyLibraryCall) {
    transferResult = 1;
    EXPECT_EQ(Run({"CHECK", "station.ini", "10.0.0.5", "/PAM"}), kBanner);
    EXPECT_EQ(exitCode, 1);
    ASSERT_TRUE(transfer);
    EXPECT_EQ(transfer->kind, "check");
    EXPECT_EQ(transfer->iniFile, "station.ini");
    EXPECT_FALSE(transfer->loggedOn);
    EXPECT_TRUE(station.Calls().empty());
}

TEST_F(EntryPointTest, VerifyLogsOnLikeTheExportAndLogsOff) {
    transferResult = 1;
    EXPECT_EQ(Run({"VERIFY", "station.ini", "depot-7"}),
              kBanner + "Connecting to depot-7 for verification.\n"s);
    EXPECT_EQ(exitCode, 1);
    ASSERT_TRUE(transfer);
    EXPECT_EQ(transfer->kind, "verify");
    EXPECT_TRUE(transfer->loggedOn);
    ASSERT_FALSE(station.Calls().empty());
    EXPECT_EQ(station.Calls().front().name, "ClientLogonEx");
    EXPECT_EQ(station.CallNames().back(), "ClientLogoff");

    station.ClearCalls();
    transfer.reset();
    station.FailCall("ClientLogonEx", kestro::kCannotConnect);
    EXPECT_EQ(
        Run({"verify", "station.ini"}),
        kBanner + "Connecting to 127.0.0.1 for verification.\nLogon failed - cannot connect.\n"s);
    EXPECT_EQ(exitCode, -1);
    EXPECT_FALSE(transfer);
}

TEST_F(EntryPointTest, CheckAndVerifyAreKeywordsInAnyCaseAndTheLastKeywordWins) {
    const std::pair<std::vector<std::string>, const char*> rows[] = {
        {{"check", "s.ini"}, "check"},
        {{"Verify", "s.ini"}, "verify"},
        {{"CHECK", "s.ini", "IMPORT"}, "import"},
        {{"IMPORT", "s.ini", "cHeCk"}, "check"},
        {{"VERIFY", "CHECK", "s.ini"}, "check"},
        {{"CHECK", "VERIFY", "s.ini"}, "verify"},
        {{"VERSION", "s.ini", "VERIFY"}, "verify"},
    };
    for (const auto& [args, kind] : rows) {
        SCOPED_TRACE(args[0] + " " + args[1]);
        transfer.reset();
        transferResult = 0;
        Run(args);
        ASSERT_TRUE(transfer);
        EXPECT_EQ(transfer->kind, kind);
        EXPECT_EQ(transfer->iniFile, "s.ini");
        EXPECT_EQ(exitCode, 0);
    }
    // A keyword alone is still no file name.
    EXPECT_EQ(Run({"CHECK", "VERIFY"}), kUsageWithoutVersion);
    EXPECT_EQ(exitCode, -1);
}

}  // namespace
