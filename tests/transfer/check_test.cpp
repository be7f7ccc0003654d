// brenkar CHECK: a file read exactly as the import reads it. Exported files check clean with
// the import's count lines; a hand-made file with one of each finding reports each once, and
// an import of it prints the same count lines; files that cannot be read are refused.
#include "transfer/check.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "kestro/model/station_generators.h"
#include "tests/fuzz/check_file_check.h"
#include "tests/transfer/import_harness.h"
#include "transfer/export.h"

namespace {

using import_test::ImportTest;
using import_test::Present;

const std::string kData = FORECOURT_TEST_DATA;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

using check_fuzz::CountLines;  // the lines that end with "imported successfully."

class CheckTest : public ImportTest {
  protected:
    std::string Check(const std::string& path) {
        ResetImportedRecords();
        return test_support::CaptureStdout([&] { checkResult = CheckConfiguration(path.c_str()); });
    }

    std::string CheckText(const std::string& text) {
        std::ofstream(file, std::ios::binary) << text;
        return Check(file.string());
    }

    // Checks and then imports `path`; both must print the same count lines.
    void ExpectImportAgrees(const std::string& path) {
        const std::string checked = Check(path);
        ResetImportedRecords();
        const std::string imported = ImportFile(path);
        EXPECT_EQ(CountLines(checked), CountLines(imported)) << checked << "\n---\n" << imported;
    }

    std::int32_t checkResult = 99;
};

TEST_F(CheckTest, ExportsOfTheSampleStationCheckCleanWithTheImportsCountLines) {
    // The sample station exported here with every switch, and by kestrod without one.
    kestro::Station sample(kestro::SampleStation());
    kestro::ScopedStation useSample(sample);
    ASSERT_EQ(sample.ClientLogonEx(110, 5, WSTR("127.0.0.1"), 5123, 5124, 10000, 0, 0, 1024),
              kestro::kSuccess);
    const std::string exported = (folder / "sample_ipt.ini").string();
    test_support::CaptureStdout(
        [&] { ASSERT_EQ(ExportConfiguration(exported.c_str(), true, false, true, true), 0); });
    for (const std::string& path : {exported, kData + "/kestro_e2e/sample_station.ini"}) {
        SCOPED_TRACE(path);
        const std::string output = Check(path);
        EXPECT_EQ(checkResult, 0) << output;
        EXPECT_NE(output.find("\nNo findings: an import would carry everything in the file.\n"),
                  std::string::npos);
        EXPECT_NE(output.find("Not read by the import, by design (no finding): "),
                  std::string::npos);
        EXPECT_EQ(CountLines(output).size(), 9U) << output;
        ExpectImportAgrees(path);
        EXPECT_EQ(result, 0);
    }
}

// The export fixtures hold the edges of every kind (identifiers 100 and 1,000, a price level
// after a zero price, hose numbers with a gap): what CHECK counts is what the import imports.
TEST_F(CheckTest, OnTheExportFixturesCheckAndImportAgree) {
    for (const char* name : {"fixture.ini", "fixture_pam.ini", "fixture_ipt.ini",
                             "fixture_company.ini", "fixture_version_pam.ini"}) {
        SCOPED_TRACE(name);
        ExpectImportAgrees(kData + "/export/" + name);
        EXPECT_NE(checkResult, -1);
    }
}

TEST_F(CheckTest, AFileWithOneOfEachFindingReportsEachOnceWithSectionAndKey) {
    const std::string path = kData + "/check/every_finding.ini";
    const std::string output = Check(path);
    EXPECT_EQ(output.substr(0, output.find('\n') + 1),
              "Checking " + path + " as an import would read it.\n");
    // The rest without the file's path.
    EXPECT_EQ(output.substr(output.find('\n') + 1),
              ReadFile(kData + "/check/every_finding.expected"));
    EXPECT_EQ(checkResult, 1);
    ExpectImportAgrees(path);
}

TEST_F(CheckTest, AHoseWhoseTankCannotBeImportedEndsTheImportAndTheLaterRecordsWithIt) {
    const std::string text = Present("Grade01") + "[Tank01]\nNumber=1\nGrade=1\n" +
                             Present("Pump01") + "Hose1ID=1\nHose1Tank=1\n" + Present("Pump02") +
                             "Hose1ID=2\nHose1Tank=1\nHose2ID=3\nHose2Tank=9\nHose3ID=4\n" +
                             Present("Pump03") + Present("Sensor01") + Present("Product001");
    const std::string output = CheckText(text);
    EXPECT_EQ(checkResult, 1);
    EXPECT_NE(output.find("\nPumps:\n  [Pump02] Hose2Tank (line 15): tank 9 cannot be imported, "
                          "so the import ends here; 3 later records are not imported.\n"),
              std::string::npos)
        << output;
    EXPECT_NE(output.find("\n1 finding: "), std::string::npos) << output;
    ExpectImportAgrees(file.string());
    EXPECT_EQ(CountLines(output), (std::vector<std::string>{"  1 grades imported successfully.",
                                                            "  1 tanks imported successfully."}));
}

TEST_F(CheckTest, GapsBoundsAndMissingNumbersNameWhyASectionIsNotImported) {
    struct Row {
        std::string file;
        std::string finding;
    };
    const Row rows[] = {
        {Present("Sensor01") + Present("Sensor09"),
         "[Sensor09] (line 3): not reached: the scan of sensors ends at a gap of seven absent "
         "identifiers before it."},
        {Present("Port01") + Present("Port14"),
         "[Port14] (line 3): not reached: the scan of ports ends at a gap of seven absent "
         "identifiers before it."},
        {Present("Client10000"),
         "[Client10000] (line 1): past the identifiers the import probes for clients (up to "
         "9999)."},
        {Present("Pump00"), "[Pump00] (line 1): identifier 0 is never probed."},
        {"[Pump01]\nNumber=0\nName=Zero\n",
         "[Pump01] Number (line 2): its Number 0 is below 1, so it is not a record."},
        {"[pump01]\nNumber=1\n[PUMP01]\nNumber=1\n",
         "[PUMP01] (line 3): a second section of this name; only the first (line 1) is read."},
        {"[Pump01\nNumber=1\n",
         "[Pump01 (line 1): the header has no \"]\", so no section of this name is found; its "
         "lines are not read."},
        {"Number=1\n[Pump01]\nNumber=1\n",
         "\"Number\" (line 1): before the first section, never read."},
        {"[Pumps01]\nNumber=1\n",
         "[Pumps01] (line 1): no kind reads this section (did you mean "
         "[Pump01]?)."},
        {"[Client7]\nNumber=1\n",
         "[Client7] (line 1): no kind reads this section (did you mean [Client007]?)."},
        {"[Grade01]\nNumber=1\nPrice01=1\nPrice02=0\nPrice03=3\n",
         "[Grade01] Price03 (line 5): comes after a level without a positive price, so it is not "
         "imported."},
        {"[Pump01]\nNumber=1\nHose9ID=9\n",
         "[Pump01] Hose9ID (line 3): only hose positions 1 to 8 are read."},
        {"[Port01]\nNumber=1\nProtocolId=1\nProtocolID=2\n",
         "[Port01] ProtocolID (line 4): a second line of this key; only the first (line 3) is "
         "read."},
        {"[Product001]\nNumber=1\nBarkode=1\n",
         "[Product001] Barkode (line 3): no kind reads this key (did you mean Barcode?)."},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.file);
        const std::string output = CheckText(row.file);
        EXPECT_NE(output.find("  " + row.finding + "\n"), std::string::npos) << output;
        EXPECT_NE(output.find("\n1 finding: "), std::string::npos) << output;
        EXPECT_EQ(checkResult, 1);
    }
}

TEST_F(CheckTest, ItReadsWhatTheImportReadsAByteOrderMarkSkippedAndLongLinesWhole) {
    const std::string longName(5000, 'x');
    // "[Port02]" inside the long value is part of it, no section.
    const std::string text =
        "\xEF\xBB\xBF[Port01]\r\nNumber=1\r\nName=" + longName + "[Port02]\r\n";
    const std::string output = CheckText(text);
    EXPECT_EQ(checkResult, 0) << output;
    EXPECT_EQ(CountLines(output), (std::vector<std::string>{"  1 ports imported successfully."}));
    ExpectImportAgrees(file.string());
}

TEST_F(CheckTest, CommentsAndDesignKeysAreInformationNotFindings) {
    const std::string output = CheckText(
        "; saved by hand\n[Application]\nName=x\n[Port05]\nNumber=5\nPanID=0x1\n"
        "# note\n[TankGauge05]\nPort=COM\n[Log]\nScreen=1\n");
    EXPECT_EQ(checkResult, 0) << output;
    EXPECT_NE(output.find("Not read by the import, by design (no finding): 3 sections "
                          "(Application, service sections, TankGauge) and 1 key (the ports' "
                          "PanID, Channels, KeyA and KeyB, firmware versions); 2 comment lines.\n"),
              std::string::npos)
        << output;
}

TEST_F(CheckTest, FilesTheImportCannotReadAreRefused) {
    EXPECT_EQ(Check((folder / "missing.ini").string()), "Cannot read the file " +
                                                            (folder / "missing.ini").string() +
                                                            " - No such file or directory.\n");
    EXPECT_EQ(checkResult, -1);
    EXPECT_FALSE(std::filesystem::exists(folder / "missing.ini"));

    EXPECT_EQ(Check(folder.string()),
              "Cannot read the file " + folder.string() + " - not a regular file.\n");
    EXPECT_EQ(checkResult, -1);
}

TEST_F(CheckTest, AFileTheImportCannotOpenForUpdateIsStillCheckedAndThatIsAFinding) {
#ifndef _WIN32
    if (geteuid() == 0) {
        GTEST_SKIP() << "root opens any file for update";
    }
#endif
    std::ofstream(file, std::ios::binary) << Present("Pump01");
    // Mode 0444; on Windows the read-only attribute, which binds every user.
    using std::filesystem::perms;
    std::filesystem::permissions(file, perms::owner_read | perms::group_read | perms::others_read);
#ifdef _WIN32
    if (std::FILE* update = std::fopen(file.string().c_str(), "r+b")) {
        std::fclose(update);
        std::filesystem::permissions(file, perms::owner_all);
        GTEST_SKIP() << "this system opens a read-only file for update: Wine run as root leaves "
                        "the read-only attribute to Unix permissions, which bind no superuser "
                        "(Windows refuses every user, ERROR_ACCESS_DENIED)";
    }
#endif
    const std::string output = Check(file.string());
    EXPECT_EQ(checkResult, 1);
    EXPECT_NE(output.find("  1 pumps imported successfully.\n"), std::string::npos) << output;
    EXPECT_NE(output.find("The import opens the file for update, which fails (Permission "
                          "denied): it would import nothing."),
              std::string::npos)
        << output;
    std::filesystem::permissions(file, perms::owner_all);  // Windows removes no read-only file
}

}  // namespace
