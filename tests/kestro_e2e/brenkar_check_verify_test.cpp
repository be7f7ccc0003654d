// brenkar CHECK and VERIFY as a station integrator runs them against kestrod over loopback:
// an export checks clean and verifies equal; a restore of an edited file into an empty
// controller shows exactly the edits; a server that is gone fails the logon.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/kestro_e2e/e2e_support.h"

namespace {

using e2e::Kestrod;
using e2e::ReadFile;
using e2e::RunBrenkar;
using test_support::TempFolder;

std::vector<std::string> LinesEndingWith(const std::string& output, const std::string& end) {
    std::vector<std::string> lines;
    std::istringstream in(output);
    for (std::string line; std::getline(in, line);) {
        if (line.ends_with(end)) {
            lines.push_back(line);
        }
    }
    return lines;
}

// The output from the first kind heading up to the information.
std::string Differences(const std::string& output) {
    const std::size_t start = output.find("for verification.\n") + 18;
    return output.substr(start, output.find("\nInformation (no difference):\n") - start);
}

TEST(BrenkarCheckAndVerify, AnExportChecksCleanAndVerifiesEqual) {
    TempFolder folder("e2e_check");
    Kestrod sample(folder, 37, "sample.db", {"--station", "sample"});
    ASSERT_TRUE(sample.ready());
    ASSERT_EQ(RunBrenkar(folder, {"EXPORT", "station.ini", sample.address()}).exitCode, 0);

    const e2e::Run check = RunBrenkar(folder, {"check", "station.ini"});
    EXPECT_EQ(check.exitCode, 0) << check.output;
    EXPECT_NE(check.output.find("\nNo findings: an import would carry everything in the file.\n"),
              std::string::npos);
    const e2e::Run verify = RunBrenkar(folder, {"VERIFY", "station.ini", sample.address()});
    EXPECT_EQ(verify.exitCode, 0) << verify.output;
    EXPECT_NE(verify.output.find("\nThe controller holds what the file says.\n"),
              std::string::npos);

    // The import prints the count lines CHECK printed.
    Kestrod empty(folder, 38, "empty.db", {"--station", "empty"});
    ASSERT_TRUE(empty.ready());
    const e2e::Run import = RunBrenkar(folder, {"IMPORT", "station.ini", empty.address()});
    EXPECT_EQ(import.exitCode, 0) << import.output;
    EXPECT_EQ(LinesEndingWith(check.output, "imported successfully."),
              LinesEndingWith(import.output, "imported successfully."));
    EXPECT_EQ(LinesEndingWith(check.output, "imported successfully.").size(), 9U);
}

TEST(BrenkarCheckAndVerify, ARestoredEditedFileShowsExactlyTheEdits) {
    TempFolder folder("e2e_verify");
    Kestrod sample(folder, 39, "sample.db", {"--station", "sample"});
    Kestrod empty(folder, 43, "empty.db", {"--station", "empty"});
    ASSERT_TRUE(sample.ready() && empty.ready());
    ASSERT_EQ(RunBrenkar(folder, {"EXPORT", "original.ini", sample.address()}).exitCode, 0);

    // A changed price and a removed attendant, restored into an empty controller.
    std::string edited = ReadFile(folder.File("original.ini"));
    const std::size_t price = edited.find("Price01=5.899\r\n");
    ASSERT_NE(price, std::string::npos);
    edited.replace(price, 15, "Price01=5.949\r\n");
    const std::size_t attendant = edited.find("\r\n[Attendant10]\r\n");
    ASSERT_NE(attendant, std::string::npos);
    edited.erase(attendant, edited.find("\r\n[", attendant + 2) - attendant);
    std::ofstream(folder.File("edited.ini"), std::ios::binary) << edited;
    ASSERT_EQ(RunBrenkar(folder, {"IMPORT", "edited.ini", empty.address()}).exitCode, 0);

    const e2e::Run verify = RunBrenkar(folder, {"VERIFY", "original.ini", empty.address()});
    EXPECT_EQ(verify.exitCode, 1) << verify.output;
    EXPECT_EQ(Differences(verify.output),
              "\nGrades:\n"
              "  [Grade01] Price01: file 5.899, controller 5.949.\n"
              "\nAttendants:\n"
              "  [Attendant10] only in the file.\n")
        << verify.output;
    EXPECT_NE(verify.output.find("\n2 differences between the file and the controller.\n"),
              std::string::npos);
    // The restored controller lacks the radio settings and firmware the import never carries:
    // told as information.
    EXPECT_NE(verify.output.find("  [Port03] KeyA: file 0x0123456789ABCDEF, controller "
                                 "0x0000000000000000.\n"),
              std::string::npos)
        << verify.output;
}

TEST(BrenkarCheckAndVerify, VerifyWithTheServerGoneFailsTheLogon) {
    TempFolder folder("e2e_verify_gone");
    std::string address;
    {
        Kestrod sample(folder, 44, "sample.db", {"--station", "sample"});
        ASSERT_TRUE(sample.ready());
        address = sample.address();
        ASSERT_EQ(RunBrenkar(folder, {"EXPORT", "station.ini", address}).exitCode, 0);
    }
    const e2e::Run verify = RunBrenkar(folder, {"VERIFY", "station.ini", address});
    EXPECT_EQ(verify.exitCode, 255);
    EXPECT_EQ(verify.output,
              "Brenkar 23.01 - forecourt controller configuration backup\n\n"
              "Connecting to " +
                  address +
                  " for verification.\n"
                  "Logon failed - cannot connect.\n");
}

// The commands of a probe that handed brenkar a file whose every read fails (EIO), one whose
// lines end with CR alone, and one with a NUL byte in a value.
TEST(BrenkarCheckAndVerify, UnreadableCarriageReturnAndNulFilesAreToldApart) {
    TempFolder folder("e2e_odd_files");
    Kestrod sample(folder, 45, "sample.db", {"--station", "sample"});
    ASSERT_TRUE(sample.ready());
    const std::string failed = "Cannot read the file /proc/self/mem - Input/output error.\n";
    for (const std::vector<std::string>& command :
         {std::vector<std::string>{"CHECK", "/proc/self/mem"},
          std::vector<std::string>{"IMPORT", "/proc/self/mem", sample.address()},
          std::vector<std::string>{"VERIFY", "/proc/self/mem", sample.address()}}) {
        SCOPED_TRACE(command[0]);
        const e2e::Run run = RunBrenkar(folder, command);
        EXPECT_EQ(run.exitCode, 255) << run.output;
        EXPECT_TRUE(run.output.ends_with(failed)) << run.output;
        EXPECT_EQ(run.output.find("All done."), std::string::npos);
        EXPECT_EQ(run.output.find("only in the controller"), std::string::npos);
    }

    std::ofstream(folder.path() + "/cr.ini", std::ios::binary)
        << "[Pump01]\rNumber=1\rName=Bombas\rHose1ID=0\r";
    const e2e::Run check = RunBrenkar(folder, {"CHECK", "cr.ini"});
    EXPECT_NE(check.output.find("  1 pumps imported successfully.\n"), std::string::npos)
        << check.output;
    const e2e::Run import = RunBrenkar(folder, {"IMPORT", "cr.ini", sample.address()});
    EXPECT_EQ(import.exitCode, 0) << import.output;
    EXPECT_NE(import.output.find("  1 pumps imported successfully.\n"), std::string::npos)
        << import.output;

    using namespace std::string_literals;
    std::ofstream(folder.path() + "/nul.ini", std::ios::binary)
        << "[Pump01]\r\nNumber=1\r\nName=Bombas\0ilha 1\r\nHose1ID=0\r\n"s;
    const e2e::Run nul = RunBrenkar(folder, {"CHECK", "nul.ini"});
    EXPECT_EQ(nul.exitCode, 1) << nul.output;
    EXPECT_NE(nul.output.find("[Pump01] Name (line 3): the line holds a NUL byte, and is read "
                              "only up to it (as \"Bombas\")."),
              std::string::npos)
        << nul.output;
}

}  // namespace
