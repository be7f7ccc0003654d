// brenkar when its server fails: killed in the middle of an export or an import (a clear
// failure line and exit status 255, never a hang), and every failure label of the export and
// the import reproduced by kestrod's fault injection.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <sstream>

#include "tests/kestro_e2e/e2e_support.h"

namespace {

using e2e::ChildProcess;
using e2e::Kestrod;
using e2e::RunBrenkar;
using test_support::TempFolder;

long FileSize(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 ? static_cast<long>(status.st_size) : 0;
}

// The lines of `output` without the progress dots that precede a failure line.
std::vector<std::string> LinesWithoutDots(const std::string& output) {
    std::vector<std::string> lines;
    std::istringstream text(output);
    std::string line;
    while (std::getline(text, line)) {
        lines.push_back(line.substr(std::min(line.find_first_not_of('.'), line.size())));
    }
    return lines;
}

// Starts brenkar, lets it get going until `progress` holds, kills the server, and checks
// that brenkar ends at once with a failure line naming the lost connection.
void KillServerDuring(const TempFolder& folder, Kestrod& server,
                      const std::vector<std::string>& arguments,
                      const std::function<bool()>& progress, const std::string& callPrefix) {
    std::vector<std::string> command{e2e::kBrenkar};
    command.insert(command.end(), arguments.begin(), arguments.end());
    ChildProcess brenkar(command, folder.path(), folder.File("killed.out"),
                         folder.File("killed.err"));
    ASSERT_TRUE(e2e::WaitUntil(progress, e2e::kRunLimit)) << "no progress to interrupt";
    ASSERT_TRUE(brenkar.running()) << "brenkar ended before the server was killed";
    server.Stop(SIGKILL);
    ASSERT_TRUE(brenkar.Wait(std::chrono::seconds(30)).has_value()) << "brenkar hangs";
    EXPECT_EQ(brenkar.exitCode(), 255);
    const std::string output = brenkar.Output();
    EXPECT_EQ(output.find("All done."), std::string::npos);
    const std::vector<std::string> lines = LinesWithoutDots(output);
    ASSERT_FALSE(lines.empty());
    // "<label> - connection lost." for a label naming a call of the given kind.
    EXPECT_TRUE(lines.back().starts_with(callPrefix) &&
                lines.back().find(" failed") != std::string::npos &&
                lines.back().ends_with(" - connection lost."))
        << lines.back();
}

// The export reads the whole station in one snapshot, so the server is killed while that
// request crosses a slow link of a second each way: brenkar's requests reach the server 1,
// 3, 5 (ServerVersion) and 7 s (the snapshot) after it connects; the server dies at 6 s.
TEST(KilledServer, AnExportEndsWithAFailureLine) {
    TempFolder folder("e2e_kill_export");
    Kestrod server(folder, 40, "max.db", {"--station", "max"});
    ASSERT_TRUE(server.ready());
    const std::string linkAddress = server.address() + "0";  // 127.0.40.N0, same block
    ChildProcess link({LATENCY_LINK_PROGRAM, "--listen", linkAddress + ":5123", "--to",
                       server.address() + ":5123", "--delay", "1000", "--for", "60"},
                      folder.path(), folder.File("link.out"), folder.File("link.err"));
    ASSERT_TRUE(e2e::WaitUntil([&] { return link.Output().find("listening") != std::string::npos; },
                               e2e::kRunLimit))
        << link.Errors();
    std::optional<std::chrono::steady_clock::time_point> connected;
    KillServerDuring(
        folder, server, {"EXPORT", "max.ini", linkAddress},
        [&] {
            const auto now = std::chrono::steady_clock::now();
            if (!connected && server.Log().find("connection 1 from") != std::string::npos) {
                connected = now;
            }
            return connected && now - *connected >= std::chrono::seconds(6);
        },
        "GetPortsCount");
}

TEST(KilledServer, AnImportEndsWithAFailureLine) {
    TempFolder folder("e2e_kill_import");
    {
        Kestrod max(folder, 41, "max.db", {"--station", "max"});
        ASSERT_TRUE(max.ready());
        ASSERT_EQ(RunBrenkar(folder, {"EXPORT", "max.ini", max.address()}).exitCode, 0);
    }
    Kestrod server(folder, 42, "empty.db", {"--station", "empty"});
    ASSERT_TRUE(server.ready());
    // Every acknowledged setter has grown the database's log by then.
    const std::string log = folder.File("empty.db-wal");
    KillServerDuring(
        folder, server, {"IMPORT", "max.ini", server.address()},
        [&] { return FileSize(log) > 1024 * 1024; }, "Set");
}

struct FaultRow {
    const char* fault;  // the --fail value
    const char* line;   // the failure line brenkar prints (after any progress dots)
    int exitCode;
    bool lastLine;  // the failure ends the output; else the run goes on after it
};

void CheckFaults(int block, const std::string& station, const std::vector<std::string>& command,
                 const std::vector<FaultRow>& rows) {
    TempFolder folder("e2e_faults");
    if (command[0] == "IMPORT") {
        Kestrod sample(folder, block + 1, "sample.db", {"--station", "sample"});
        ASSERT_TRUE(sample.ready());
        ASSERT_EQ(RunBrenkar(folder, {"EXPORT", command[1], sample.address()}).exitCode, 0);
    }
    Kestrod server(folder, block, "station.db", {"--station", station});
    ASSERT_TRUE(server.ready());
    for (const FaultRow& row : rows) {
        SCOPED_TRACE(row.fault);
        server.Stop();
        ASSERT_TRUE(server.Restart({"--fail", row.fault})) << server.Log();
        std::vector<std::string> arguments = command;
        arguments.push_back(server.address());
        e2e::Run run = RunBrenkar(folder, arguments);
        EXPECT_EQ(run.exitCode, row.exitCode);
        const std::vector<std::string> lines = LinesWithoutDots(run.output);
        if (row.lastLine) {
            ASSERT_FALSE(lines.empty());
            EXPECT_EQ(lines.back(), row.line);
        } else {
            EXPECT_NE(std::find(lines.begin(), lines.end(), row.line), lines.end()) << run.output;
        }
    }
}

TEST(FaultInjection, ReproducesTheExportsFailureLabels) {
    // DllVersion is answered by the client library, so no server fault can fail it.
    CheckFaults(
        43, "sample", {"EXPORT", "out.ini"},
        {
            {"ClientLogonEx=4", "Logon failed - not logged on.", 255, true},
            {"SetClientType=7", "SetClientType failed - invalid argument.", 0, false},
            {"ServerVersion=6", "ServerVersion failed. - record not found.", 255, true},
            {"GetPortsCount=6", "GetPortsCount failed. - record not found.", 255, true},
            {"GetPortByOrdinal:3=6", "GetPortByOrdinal failed. - record not found.", 255, true},
            {"GetPortProperties:2=6", "GetPortProperties failed. - record not found.", 255, true},
            {"GetZB2GConfig=6", "GetZB2GConfig failed. - record not found.", 255, true},
            {"GetDeviceDetails:3=9", "GetDeviceDetails failed. - device details not available.", 0,
             false},
            {"GetGradesCount=6", "GetGradesCount failed - record not found.", 255, true},
            {"GetGradeByOrdinal=6", "GetGradeByOrdinal failed. - record not found.", 255, true},
            {"GetGradePropertiesEx:4=6", "GetGradePropertiesEx failed. - record not found.", 255,
             true},
            {"GetGradePrice:2=7", "GetGradePrice failed. - invalid argument.", 255, true},
            {"GetTanksCount=6", "GetTanksCount failed. - record not found.", 255, true},
            {"GetTankByOrdinal=6", "GetTankByOrdinal failed. - record not found.", 255, true},
            {"GetTankPropertiesEx2=6", "GetTankPropertiesEx2 failed. - record not found.", 255,
             true},
            {"GetZigBeeCount=6", "GetZigBeeCount failed. - record not found.", 255, true},
            {"GetZigBeeByOrdinal=6", "GetZigBeeByOrdinal failed. - record not found.", 255, true},
            {"GetZigBeeProperties=6", "GetZigBeeProperties failed. - record not found.", 255, true},
            {"GetPumpsCount=6", "GetPumpsCount failed. - record not found.", 255, true},
            {"GetPumpByOrdinal=6", "GetPumpByOrdinal failed. - record not found.", 255, true},
            {"GetPumpPropertiesEx:5=6", "GetPumpProperties failed. - record not found.", 255, true},
            {"GetPumpHosesCount=6", "GetPumpHosesCount failed. - record not found.", 255, true},
            {"GetPumpHoseByNumber=6", "GetPumpHoseByNumber failed. - record not found.", 255, true},
            {"GetHosePropertiesEx2=6", "GetHosePropertiesEx2 failed. - record not found.", 255,
             true},
            {"GetSensorsCount=6", "GetSensorsCount failed. - record not found.", 255, true},
            {"GetSensorByOrdinal=6", "GetSensorByOrdinal failed. - record not found.", 255, true},
            {"GetSensorPropertiesEx=6", "GetSensorProperties failed. - record not found.", 255,
             true},
            {"GetAttendantsCount=6", "GetAttendantsCount failed. - record not found.", 255, true},
            {"GetAttendantByOrdinal=6", "GetAttendantByOrdinal failed. - record not found.", 255,
             true},
            {"GetAttendantPropertiesEx2=6", "GetAttendantPropertiesEx failed. - record not found.",
             255, true},
            {"GetCardClientsCount=6", "GetCardClientsCount failed. - record not found.", 255, true},
            {"GetCardClientByOrdinal=6", "GetCardClient failed. - record not found.", 255, true},
            {"GetCardClientPropertiesEx4=6",
             "GetCardClientPropertiesEx4 failed. - record not found.", 255, true},
            {"GetProductsCount=6", "GetProductsCount failed. - record not found.", 255, true},
            {"GetProductByOrdinal=6", "GetProductByOrdinal failed. - record not found.", 255, true},
            {"GetProductProperties=6", "GetProductProperties failed. - record not found.", 255,
             true},
        });
}

TEST(FaultInjection, ReproducesTheImportsFailureLabels) {
    CheckFaults(
        45, "empty", {"IMPORT", "sample.ini"},
        {
            // Ports, grades and tanks that fail count as absent and the import goes on; it ends
            // with 3, a restore that lost records (or with -1 when a hose needed the record).
            {"SetPortProperties:2=7", "SetPortProperties failed - invalid argument.", 3, false},
            {"SetGradePropertiesEx:3=7", "SetGradePropertiesEx failed. - invalid argument.", 255,
             false},
            {"SetGradePrice:1=7", "SetGradePrice failed. - invalid argument.", 255, false},
            {"SetTankPropertiesEx2:4=7", "SetTankPropertiesEx2 failed. - invalid argument.", 255,
             false},
            {"SetZigBeeProperties:6=7", "SetZigBeeProperties failed. - invalid argument.", 255,
             true},
            {"SetPumpPropertiesEx:2=7", "SetPumpPropertiesEx failed. - invalid argument.", 255,
             true},
            {"SetHosePropertiesEx2=7", "SetHosePropertiesEx2 failed. - invalid argument.", 255,
             true},
            {"SetSensorPropertiesEx=7", "SetSensorPropertiesEx failed. - invalid argument.", 255,
             true},
            {"SetAttendantPropertiesEx2:10=7",
             "SetAttendantPropertiesEx2 failed. - invalid argument.", 255, true},
            {"SetCardClientPropertiesEx4:50=7",
             "SetCardClientPropertiesEx4 failed. - invalid argument.", 255, true},
            {"SetProductProperties:1=7", "SetProductProperties failed. - invalid argument.", 255,
             true},
        });
}

}  // namespace
