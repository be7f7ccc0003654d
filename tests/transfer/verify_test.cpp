// brenkar VERIFY against the in-process sample station: equal right after an export, each
// kind of difference named once with its section and key, values compared as the import
// reads them, information kept apart, failures of the controller and of the file.
#include "transfer/verify.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "kestro/inproc/current_station.h"
#include "kestro/model/result_codes.h"
#include "kestro/model/station_generators.h"
#include "platform/oleauto.h"
#include "tests/support/captured_output.h"
#include "tests/support/temp_folder.h"
#include "transfer/export.h"
#include "transfer/version_only.h"

namespace {

class VerifyTest : public testing::Test {
  protected:
    void SetUp() override {
        VersionOnly = false;
        const std::string made = test_support::MakeUniqueFolder("verify-test");
        ASSERT_FALSE(made.empty());
        folder = made;
        file = (folder / "station.ini").string();
        ASSERT_EQ(station.ClientLogonEx(110, 5, WSTR("127.0.0.1"), 5123, 5124, 10000, 0, 0, 1024),
                  kestro::kSuccess);
        test_support::CaptureStdout(
            [&] { ASSERT_EQ(ExportConfiguration(file.c_str(), false, false, false, false), 0); });
        std::ifstream in(file, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        exported = text.str();
        station.ClearCalls();
    }

    void TearDown() override {
        VersionOnly = false;
        std::filesystem::remove_all(folder);
#ifndef _WIN32  // the layer counts live BSTRs; Windows keeps no such count
        EXPECT_EQ(SysLiveStringCount(), baselineStrings) << "BSTRs not freed";
#endif
    }

    // The exported file with `from` replaced by `to` (which must be there).
    void Edit(const std::string& from, const std::string& to) {
        std::string text = exported;
        const std::size_t at = text.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        text.replace(at, from.size(), to);
        std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
        exported = text;
    }

    // The exported text from the header of `section` up to the next header.
    std::string SectionText(const std::string& section) const {
        const std::size_t start = exported.find("\r\n[" + section + "]\r\n");
        return exported.substr(start, exported.find("\r\n[", start + 2) - start);
    }

    std::string Verify() {
        return test_support::CaptureStdout([&] { result = VerifyConfiguration(file.c_str()); });
    }

    // The output from the first kind heading up to the information.
    static std::string Differences(const std::string& output) {
        const std::size_t end = output.find("\nInformation (no difference):\n");
        return output.substr(0, end);
    }

#ifndef _WIN32
    long baselineStrings = SysLiveStringCount();
#endif
    kestro::Station station{kestro::SampleStation()};
    kestro::ScopedStation use{station};
    std::filesystem::path folder;
    std::string file;
    std::string exported;
    std::int32_t result = 99;
};

TEST_F(VerifyTest, RightAfterAnExportTheControllerHoldsWhatTheFileSays) {
    const std::string output = Verify();
    EXPECT_EQ(result, 0) << output;
    EXPECT_TRUE(output.starts_with("\nInformation (no difference):\n  The file was generated "))
        << output;
    EXPECT_TRUE(output.ends_with(".\n\nThe controller holds what the file says.\n")) << output;
    // Read through the export's calls, writing nothing.
    EXPECT_EQ(station.CallNames().front(), "DllVersion");
    for (const std::string& name : station.CallNames()) {
        EXPECT_FALSE(name.starts_with("Set")) << name;
    }
}

TEST_F(VerifyTest, AChangedPriceAndARemovedAttendantAreTheTwoDifferences) {
    Edit("Price01=5.899\r\n", "Price01=5.949\r\n");
    Edit(SectionText("Attendant10"), "");
    EXPECT_EQ(Differences(Verify()),
              "\nGrades:\n"
              "  [Grade01] Price01: file 5.949, controller 5.899.\n"
              "\nAttendants:\n"
              "  [Attendant10] only in the controller.\n");
    EXPECT_EQ(result, 1);
}

TEST_F(VerifyTest, EachKindOfDifferenceIsNamedWithSectionAndKey) {
    Edit("Name=Gasolina Comum\r\n", "Name=Gasolina\r\n");
    Edit("[Pump01]\r\n", "[Pump01]\r\nHose7ID=77\r\n");
    Edit("\r\n[Sensor01]", "\r\n[Sensor50]\r\nNumber=50\r\nName=Extra\r\n\r\n[Sensor01]");
    Edit("\r\n[Pump02]", "\r\n[Pump99]\r\nNumber=0\r\n\r\n[Pump02]");  // Number 0: no record
    EXPECT_EQ(Differences(Verify()),
              "\nGrades:\n"
              "  [Grade01] Name: file Gasolina, controller Gasolina Comum.\n"
              "\nPumps:\n"
              "  [Pump01] Hose7ID: file 77, controller (none).\n"
              "\nSensors:\n"
              "  [Sensor50] only in the file.\n");
    EXPECT_EQ(result, 1);
}

TEST_F(VerifyTest, ValuesCompareAsTheImportReadsThem) {
    Edit("Price01=5.899\r\n", "price01 = \"5.8990\"\r\n");
    Edit("[Pump01]\r\nNumber=1\r\n", "[pump01]\r\nNumber=+1\r\n");
    const std::string output = Verify();
    EXPECT_EQ(result, 0) << output;
}

TEST_F(VerifyTest, DatesVersionsRadioSettingsAndFirmwareAreInformation) {
    Edit("ClientVersion=", "ClientVersion=0.9 was ");
    Edit("FirmwareVersion=4.2.11\r\n", "FirmwareVersion=4.2.10\r\n");
    Edit("PanID=0x4F21\r\n", "PanID=0x1111\r\n");
    const std::string output = Verify();
    EXPECT_EQ(result, 0) << output;
    EXPECT_NE(output.find("  [Application] ClientVersion: file 0.9 was "), std::string::npos)
        << output;
    EXPECT_NE(output.find("  [Port01] FirmwareVersion: file 4.2.10, controller 4.2.11.\n"),
              std::string::npos)
        << output;
    EXPECT_NE(output.find("  [Port03] PanID: file 0x1111, controller 0x4F21.\n"), std::string::npos)
        << output;
}

TEST_F(VerifyTest, WithVersionOnlyThePortsAndZigBeeDevicesAreCompared) {
    VersionOnly = true;
    Edit("Price01=5.899\r\n", "Price01=1\r\n");
    Edit("[Port01]\r\nNumber=1\r\nName=", "[Port01]\r\nNumber=1\r\nName=X");
    EXPECT_EQ(Differences(Verify()),
              "\nPorts:\n  [Port01] Name: file XBombas ilha 1, controller Bombas ilha 1.\n");
    EXPECT_EQ(result, 1);
}

TEST_F(VerifyTest, AFailedCallIsPrintedAsTheExportPrintsItAndEndsWithMinusOne) {
    station.FailCall("GetGradesCount", kestro::kConnectionLost);
    EXPECT_EQ(Verify(), "GetGradesCount failed - connection lost.\n");
    EXPECT_EQ(result, -1);
}

TEST_F(VerifyTest, AFileThatCannotBeReadEndsWithMinusOneBeforeAnyCall) {
    const std::string missing = (folder / "missing.ini").string();
    EXPECT_EQ(test_support::CaptureStdout([&] { result = VerifyConfiguration(missing.c_str()); }),
              "Cannot read the file " + missing + " - No such file or directory.\n");
    EXPECT_EQ(result, -1);
    EXPECT_FALSE(std::filesystem::exists(missing));
    EXPECT_EQ(
        test_support::CaptureStdout([&] { result = VerifyConfiguration(folder.string().c_str()); }),
        "Cannot read the file " + folder.string() + " - not a regular file.\n");
    EXPECT_TRUE(station.Calls().empty());
}

}  // namespace
