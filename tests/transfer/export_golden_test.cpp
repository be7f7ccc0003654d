// The export of the fixture station compared byte for byte with the expected files and the
// expected console, for every switch, for VERSION, through the program's entry point, and for
// an empty station.
#include <string>
#include <vector>

#include "tests/transfer/export_harness.h"
#include "transfer/entry_point.h"

namespace export_test {
namespace {

using namespace std::string_literals;

TEST_F(ExportTest, EveryRecordKindIsWrittenAsExpectedForEverySwitch) {
    struct Row {
        const char* expected;
        bool pam, company, gsc, ipt;
    };
    // The switches as the command line hands them over, implications applied.
    const Row rows[] = {
        {"fixture.ini", false, false, false, false},
        {"fixture_pam.ini", true, false, false, false},
        {"fixture_company.ini", false, true, false, false},
        {"fixture_gsc.ini", true, false, true, false},
        {"fixture_ipt.ini", true, false, true, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.expected);
        const std::string console = Export(row.pam, row.company, row.gsc, row.ipt);
        EXPECT_EQ(result, 0);
        EXPECT_EQ(ReadFile(target), Expected(row.expected));
        EXPECT_FALSE(std::filesystem::exists(partial));
        // The switches change the file only: the console is the same for all of them.
        EXPECT_EQ(console, kFixtureConsole);
    }
}

TEST_F(ExportTest, VersionWritesVersionsServiceSectionsPortsAndZigBeeDevicesOnly) {
    VersionOnly = true;
    const std::string console =
        "...GetDeviceDetails failed. - device details not available.\n"
        "\n  3 ports exported successfully.\n"
        "..GetDeviceDetails failed. - device details not available.\n"
        "\n  2 ZigBee devices exported successfully.\n"
        "\nAll done.\n";

    EXPECT_EQ(Export(), console);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadFile(target), Expected("fixture_version.ini"));

    EXPECT_EQ(Export(true), console);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadFile(target), Expected("fixture_version_pam.ini"));
}

TEST_F(ExportTest, VersionAsksEveryCountButReadsNoRecordOfTheOtherKinds) {
    VersionOnly = true;
    Export();
    const std::vector<std::string> port = {"GetPortByOrdinal", "GetPortProperties", "GetZB2GConfig",
                                           "GetDeviceDetails"};
    const std::vector<std::string> device = {"GetZigBeeByOrdinal", "GetZigBeeProperties",
                                             "GetDeviceDetails"};
    std::vector<std::string> expected = {"DllVersion", "ServerVersion", "GetPortsCount"};
    for (int i = 0; i < 3; ++i) {
        expected.insert(expected.end(), port.begin(), port.end());
    }
    expected.push_back("ResultString");  // CheckResult's text for port 100's details
    expected.insert(expected.end(), {"GetGradesCount", "GetTanksCount", "GetZigBeeCount"});
    for (int i = 0; i < 2; ++i) {
        expected.insert(expected.end(), device.begin(), device.end());
    }
    expected.push_back("ResultString");  // and for ZigBee device 99's
    expected.insert(expected.end(), {"GetPumpsCount", "GetSensorsCount", "GetAttendantsCount",
                                     "GetCardClientsCount", "GetProductsCount"});
    EXPECT_EQ(station.CallNames(), expected);
}

TEST_F(ExportTest, CallsCarryTheirFixedArguments) {
    Export();
    using kestro::RecordedCall;
    using S = std::int16_t;
    const auto& calls = station.Calls();
    auto has = [&](const RecordedCall& call) {
        return std::find(calls.begin(), calls.end(), call) != calls.end();
    };
    EXPECT_TRUE(has({"GetDeviceDetails", {1, -1}}));
    EXPECT_TRUE(has({"GetDeviceDetails", {5, 99}}));  // ZigBee 99 through its PortID 5
    EXPECT_TRUE(has({"GetProductsCount", {-1, 0, 0, 0, 0, -1}}));
    EXPECT_TRUE(has({"GetProductByOrdinal", {2, -1, 0, 0, 0, 0, -1}}));
    for (S level = 1; level <= 8; ++level) {
        EXPECT_TRUE(has({"GetGradePrice", {100, level}})) << level;
    }
    EXPECT_FALSE(has({"GetGradePrice", {100, S{9}}}));
    // Hoses by position 1..3 of pump 1; pump 100 has none.
    EXPECT_TRUE(has({"GetPumpHoseByNumber", {1, 3}}));
    EXPECT_FALSE(has({"GetPumpHoseByNumber", {1, 4}}));
    EXPECT_TRUE(has({"GetPumpHosesCount", {100}}));
    EXPECT_FALSE(has({"GetPumpHoseByNumber", {100, 1}}));
}

TEST_F(ExportTest, AStationWithoutRecordsStillGivesAValidFile) {
    station.LoadConfiguration(kestro::Configuration{});
    EXPECT_EQ(Export(), "\n  0 ports exported successfully.\n\nAll done.\n");
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ReadFile(target),
              "\r\n[Application]\r\n"
              "Name=Sarvel service configuration\r\n"
              "IniVersion=23.01\r\n"
              "DateGenerated=3/5/2024 2:07:09 PM\r\n"
              "ClientVersion=Kestro client 4.2.1 test\r\n"
              "ServerVersion=Esta\xe7\xe3o 1.0\r\n"s);
}

TEST_F(ExportTest, TheProgramExportsThroughItsEntryPoint) {
    // The entry point logs on and off itself.
    ASSERT_EQ(station.ClientLogoff(), kestro::kSuccess);
    std::vector<std::string> args = {"brenkar", "EXPORT", target.string(), "/pam"};
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    int exitCode = 99;
    const std::string console = test_support::CaptureStdout(
        [&] { exitCode = BrenkarMain(static_cast<int>(argv.size()), argv.data()); });
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(console,
              "Brenkar 23.01 - forecourt controller configuration backup\n\n"
              "Connecting to 127.0.0.1 for export.\n" +
                  kFixtureConsole);
    EXPECT_EQ(ReadFile(target), Expected("fixture_pam.ini"));
    EXPECT_FALSE(station.LoggedOn());
}

}  // namespace
}  // namespace export_test
