// The export's failures: a failed call stops it with its exact label, the target file stays as
// it was and the partial output beside it holds exactly what was written; a failed firmware
// query only leaves out one key; a file that cannot be created or written is reported by name.
#include <sys/resource.h>

#include <csignal>
#include <string>

#include "tests/transfer/export_harness.h"

namespace export_test {
namespace {

using namespace std::string_literals;
using kestro::Fault;

const std::string kOldFile = "\r\n[Application]\r\nName=the last good backup\r\n";

class ExportFailureTest : public ExportTest {
  protected:
    void SetUp() override {
        ExportTest::SetUp();
        WriteFile(target, kOldFile);
    }
};

TEST_F(ExportFailureTest, AFailedCallStopsWithItsLabelAndKeepsTheOldFile) {
    struct Row {
        const char* call;
        const char* label;
        std::string lastLine;  // the last line of the partial output
    };
    const std::string afterVersions = "ServerVersion=Esta\xe7\xe3o 1.0";
    const std::string afterPorts = "KeyB=0x0000000000000010";
    const std::string afterGrades = "Price08=-0.500";
    const std::string afterTanks = "ProbeSerialNo=-5";
    const std::string afterZigBees = "PortID=5";
    const std::string afterPumps = "HasPreset=0";
    const std::string afterSensors = "SensorSerialNo=-1";
    const std::string afterAttendants = "Type=-1";
    const std::string afterClients = "Factor=0";
    const Row rows[] = {
        {"DllVersion", "DllVersion failed.", "DateGenerated=3/5/2024 2:07:09 PM"},
        {"ServerVersion", "ServerVersion failed.", "ClientVersion=Kestro client 4.2.1 test"},
        {"GetPortsCount", "GetPortsCount failed.", afterVersions},
        {"GetPortByOrdinal", "GetPortByOrdinal failed.", afterVersions},
        {"GetPortProperties", "GetPortProperties failed.", afterVersions},
        {"GetZB2GConfig", "GetZB2GConfig failed.", afterVersions},
        {"GetGradesCount", "GetGradesCount failed", afterPorts},
        {"GetGradeByOrdinal", "GetGradeByOrdinal failed.", afterPorts},
        {"GetGradePropertiesEx", "GetGradePropertiesEx failed.", afterPorts},
        {"GetGradePrice", "GetGradePrice failed.", "GradeType=1"},
        {"GetTanksCount", "GetTanksCount failed.", afterGrades},
        {"GetTankByOrdinal", "GetTankByOrdinal failed.", afterGrades},
        {"GetTankPropertiesEx2", "GetTankPropertiesEx2 failed.", afterGrades},
        {"GetZigBeeCount", "GetZigBeeCount failed.", afterTanks},
        {"GetZigBeeByOrdinal", "GetZigBeeByOrdinal failed.", afterTanks},
        {"GetZigBeeProperties", "GetZigBeeProperties failed.", afterTanks},
        {"GetPumpsCount", "GetPumpsCount failed.", afterZigBees},
        {"GetPumpByOrdinal", "GetPumpByOrdinal failed.", afterZigBees},
        {"GetPumpPropertiesEx", "GetPumpProperties failed.", afterZigBees},
        {"GetPumpHosesCount", "GetPumpHosesCount failed.", "HasPreset=9"},
        {"GetPumpHoseByNumber", "GetPumpHoseByNumber failed.", "HasPreset=9"},
        {"GetHosePropertiesEx2", "GetHosePropertiesEx2 failed.", "HasPreset=9"},
        {"GetSensorsCount", "GetSensorsCount failed.", afterPumps},
        {"GetSensorByOrdinal", "GetSensorByOrdinal failed.", afterPumps},
        {"GetSensorPropertiesEx", "GetSensorProperties failed.", afterPumps},
        {"GetAttendantsCount", "GetAttendantsCount failed.", afterSensors},
        {"GetAttendantByOrdinal", "GetAttendantByOrdinal failed.", afterSensors},
        {"GetAttendantPropertiesEx2", "GetAttendantPropertiesEx failed.", afterSensors},
        {"GetCardClientsCount", "GetCardClientsCount failed.", afterAttendants},
        {"GetCardClientByOrdinal", "GetCardClient failed.", afterAttendants},
        {"GetCardClientPropertiesEx4", "GetCardClientPropertiesEx4 failed.", afterAttendants},
        {"GetProductsCount", "GetProductsCount failed.", afterClients},
        {"GetProductByOrdinal", "GetProductByOrdinal failed.", afterClients},
        {"GetProductProperties", "GetProductProperties failed.", afterClients},
    };
    const std::string complete = Expected("fixture.ini");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.call);
        station.ClearFaults();
        station.FailCall(row.call, kestro::kTimeOut);
        WriteFile(partial, "a partial file left by an earlier run");

        const std::string console = Export();
        EXPECT_EQ(result, -1);
        const std::string failureLine = row.label + " - time-out.\n"s;
        ASSERT_TRUE(console.ends_with(failureLine)) << console;
        // Up to the failure the console is that of a complete export.
        EXPECT_TRUE(
            kFixtureConsole.starts_with(console.substr(0, console.size() - failureLine.size())))
            << console;
        EXPECT_EQ(ReadFile(target), kOldFile);

        const std::optional<std::string> written = ReadFile(partial);
        ASSERT_TRUE(written);
        EXPECT_TRUE(complete.starts_with(*written)) << *written;
        EXPECT_TRUE(written->ends_with("\r\n" + row.lastLine + "\r\n")) << *written;
    }
}

TEST_F(ExportFailureTest, WithVersionOnlyAFailedCountOfASkippedKindStillStops) {
    VersionOnly = true;
    struct Row {
        const char* call;
        const char* label;
    };
    const Row rows[] = {
        {"GetGradesCount", "GetGradesCount failed"},
        {"GetTanksCount", "GetTanksCount failed."},
        {"GetPumpsCount", "GetPumpsCount failed."},
        {"GetSensorsCount", "GetSensorsCount failed."},
        {"GetAttendantsCount", "GetAttendantsCount failed."},
        {"GetCardClientsCount", "GetCardClientsCount failed."},
        {"GetProductsCount", "GetProductsCount failed."},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.call);
        station.ClearFaults();
        station.FailCall(row.call, kestro::kTimeOut);
        const std::string console = Export();
        EXPECT_EQ(result, -1);
        EXPECT_TRUE(console.ends_with(row.label + " - time-out.\n"s)) << console;
        EXPECT_EQ(console.find("All done."), std::string::npos);
        EXPECT_EQ(ReadFile(target), kOldFile);
    }
}

TEST_F(ExportFailureTest, DllVersionFailingLeavesTheFirstThreeApplicationKeysOnly) {
    station.FailCall("DllVersion", kestro::kConnectionLost);
    EXPECT_EQ(Export(), "DllVersion failed. - connection lost.\n");
    EXPECT_EQ(result, -1);
    EXPECT_EQ(ReadFile(partial),
              "\r\n[Application]\r\n"
              "Name=Sarvel service configuration\r\n"
              "IniVersion=23.01\r\n"
              "DateGenerated=3/5/2024 2:07:09 PM\r\n");
    EXPECT_EQ(ReadFile(target), kOldFile);
}

TEST_F(ExportFailureTest, GradePriceFailingAtLevelFiveEndsTheGradeAfterTheEarlierPrices) {
    station.InjectFault(
        Fault{.call = "GetGradePrice", .code = kestro::kTimeOut, .record = 1, .after = 4});
    EXPECT_TRUE(Export().ends_with(
        "\n  3 ports exported successfully.\n.GetGradePrice failed. - time-out.\n"));
    EXPECT_EQ(result, -1);
    EXPECT_EQ(station.Calls().back(), (kestro::RecordedCall{"ResultString", {kestro::kTimeOut}}));
    const auto& calls = station.Calls();
    EXPECT_EQ(calls[calls.size() - 2],
              (kestro::RecordedCall{"GetGradePrice", {1, std::int16_t{5}}}));
    const std::optional<std::string> written = ReadFile(partial);
    ASSERT_TRUE(written);
    EXPECT_TRUE(
        written->ends_with("\r\n[Grade01]\r\nNumber=1\r\nName=Gasolina Comum\r\n"
                           "ShortName=GC\r\nCode=G01\r\nGradeType=1\r\n"
                           "Price01=5.199\r\nPrice03=4.500\r\n"))
        << *written;
    EXPECT_EQ(ReadFile(target), kOldFile);
}

TEST_F(ExportFailureTest, AFailedFirmwareQueryLeavesOutThatKeyOnly) {
    // Port 5's own device, and ZigBee device 99 that talks through port 5.
    station.InjectFault(Fault{.call = "GetDeviceDetails", .code = kestro::kTimeOut, .record = 5});
    const std::string console =
        "..GetDeviceDetails failed. - time-out.\n"
        ".GetDeviceDetails failed. - device details not available.\n"
        "\n  3 ports exported successfully.\n"
        "..\n  2 grades exported successfully.\n"
        "..\n  2 Tanks exported successfully.\n"
        "..GetDeviceDetails failed. - time-out.\n"
        "\n  2 ZigBee devices exported successfully.\n"
        "..\n  2 Pumps exported successfully.\n"
        "..\n  2 Sensors exported successfully.\n"
        "..\n  2 Attendants exported successfully.\n"
        "..\n  2 Clients exported successfully.\n"
        "..\nAll done.\n";

    EXPECT_EQ(Export(), console);
    EXPECT_EQ(result, 0);
    std::string expected = Expected("fixture.ini");
    const std::string firmware = "FirmwareVersion=TG 2.5\r\n";
    ASSERT_NE(expected.find(firmware), std::string::npos);
    expected.erase(expected.find(firmware), firmware.size());
    EXPECT_EQ(ReadFile(target), expected);

    // Under /PAM the port's second header goes with its only key.
    EXPECT_EQ(Export(true), console);
    EXPECT_EQ(result, 0);
    expected = Expected("fixture_pam.ini");
    const std::string secondHeader = "\r\n[Port05]\r\n" + firmware;
    ASSERT_NE(expected.find(secondHeader), std::string::npos);
    expected.erase(expected.find(secondHeader), secondHeader.size());
    EXPECT_EQ(ReadFile(target), expected);
}

TEST_F(ExportFailureTest, AnExistingFileIsReplacedWholeAndKeepsItsPermissions) {
    WriteFile(target, kOldFile + std::string(10000, 'x'));  // longer than the new file
    std::filesystem::permissions(target, std::filesystem::perms::owner_read |
                                             std::filesystem::perms::owner_write |
                                             std::filesystem::perms::group_read);
    EXPECT_EQ(Export(), kFixtureConsole);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadFile(target), Expected("fixture.ini"));
    EXPECT_FALSE(std::filesystem::exists(partial));
    EXPECT_EQ(std::filesystem::status(target).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                  std::filesystem::perms::group_read);
}

TEST_F(ExportFailureTest, APartialFileLeftBehindIsReplacedNotWrittenThrough) {
    const std::filesystem::path elsewhere = folder / "someone else's file";
    WriteFile(elsewhere, "keep me");
    std::filesystem::create_symlink(elsewhere, partial);
    EXPECT_EQ(Export(), kFixtureConsole);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadFile(target), Expected("fixture.ini"));
    EXPECT_EQ(ReadFile(elsewhere), "keep me");
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(partial)));
}

TEST_F(ExportFailureTest, AFileInAMissingFolderIsReportedBeforeAnyCall) {
    const std::filesystem::path missing = folder / "no such folder" / "station.ini";
    EXPECT_EQ(Export(false, false, false, false, missing),
              "Cannot write the file " + missing.string() + " - No such file or directory.\n");
    EXPECT_EQ(result, -1);
    EXPECT_TRUE(station.Calls().empty());
    EXPECT_FALSE(std::filesystem::exists(missing.parent_path()));
}

// The file size limit makes the system refuse writes past it, as a full disk would.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        const rlimit limit{bytes, saved_.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }

  private:
    rlimit saved_{};
    void (*previousHandler_)(int) = nullptr;
};

TEST_F(ExportFailureTest, AWriteThatFailsNeverReplacesTheOldFile) {
    struct Row {
        const char* what;
        bool pam;
        const char* expected;
        const char* reason;
    };
    const Row rows[] = {
        // Larger than the stream's buffer: a key's write fails on the way.
        {"failure while writing", true, "fixture_pam.ini", "File too large"},
        // Smaller than the buffer: the last byte is lost when the file is closed.
        {"failure when closing", false, "fixture.ini", "Input/output error"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const std::string complete = Expected(row.expected);
        std::string console;
        {
            FileSizeLimit limit(row.pam ? 1000 : complete.size() - 1);
            console = Export(row.pam);
        }
        EXPECT_EQ(result, -1);
        EXPECT_TRUE(console.ends_with("Cannot write the file " + target.string() + " - " +
                                      row.reason + ".\n"))
            << console;
        EXPECT_EQ(console.find("All done."), std::string::npos);
        EXPECT_EQ(ReadFile(target), kOldFile);
        const std::optional<std::string> written = ReadFile(partial);
        ASSERT_TRUE(written);
        EXPECT_LT(written->size(), complete.size());
        EXPECT_TRUE(complete.starts_with(*written));
    }
}

}  // namespace
}  // namespace export_test
