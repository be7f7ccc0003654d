// VERIFY's comparison on its own: the controller's keys handed over one by one against a
// file's records, findings in kind and section order, and the same findings wherever in the
// handing over the file's records arrive (before the first key, in between, or only at the end).
#include "transfer/verify_comparison.h"

#include <gtest/gtest.h>
#include <atomic>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/temp_folder.h"
#include "transfer/file_records.h"

namespace {

// One call of the export's reading: a section selected (no key), or a key with its value.
struct Step {
    const char* section;
    const char* key;
    const char* value;
    ValueKind kind;
};

constexpr ValueKind kText = ValueKind::kText;
constexpr ValueKind kInt = ValueKind::kInt32;
constexpr ValueKind kAmount = ValueKind::kAmount;

// As the export hands over a controller with one port (its TankGauge section between its
// keys and its firmware version), two grades and one pump.
const Step kController[] = {
    {"Application", nullptr, nullptr, kText},
    {nullptr, "DateGenerated", "12/8/2026 10:00:00 PM", kText},
    {nullptr, "ClientVersion", "1.0", kText},
    {nullptr, "ServerVersion", "2.0", kText},
    {"Port01", nullptr, nullptr, kText},
    {nullptr, "Number", "1", kInt},
    {nullptr, "Name", "Ilha", kText},
    {nullptr, "PanID", "0x4F21", kText},
    {"TankGauge01", nullptr, nullptr, kText},
    {nullptr, "Port", "Ilha", kText},
    {"Port01", nullptr, nullptr, kText},
    {nullptr, "FirmwareVersion", "4.2.11", kText},
    {"Grade01", nullptr, nullptr, kText},
    {nullptr, "Number", "1", kInt},
    {nullptr, "Name", "Comum", kText},
    {nullptr, "Price01", "5.899", kAmount},
    {"Grade02", nullptr, nullptr, kText},
    {nullptr, "Number", "2", kInt},
    {nullptr, "Name", " Aditivada", kText},
    {"Pump02", nullptr, nullptr, kText},
    {nullptr, "Number", "2", kInt},
};

// The file: keys in another order than the controller's, a port key the controller lacks,
// a second price, values written otherwise that read the same, a grade and a pump that are
// not the controller's, a record without Number.
const char kFile[] =
    "[Application]\r\nClientVersion=0.9\r\nDateGenerated=1/1/2026\r\n"
    "[Port01]\r\nFirmwareVersion=4.2.10\r\nName=Ilha 1\r\nNumber=1\r\nPanID=0x1111\r\n"
    "Channels=11,12\r\n"
    "[grade01]\r\nnumber=1\r\nPrice02=6.1\r\nPrice01=5.8990\r\nName=Comum\r\n"
    "[Grade02]\r\nNumber=2\r\nName= Aditivada\r\n"
    "[Grade03]\r\nNumber=3\r\n"
    "[Pump02]\r\nName=no number\r\n";

class VerifyComparisonTest : public testing::Test {
  protected:
    void SetUp() override { std::ofstream(path_, std::ios::binary) << kFile; }

    struct Findings {
        std::vector<std::string> differences;
        std::vector<std::string> information;
    };

    // Hands kController over, the file's records arriving before step `arrival` (past the
    // last step: only when the comparison finishes).
    Findings Compare(std::size_t arrival) const {
        const FileRecords records(path_.c_str());
        std::atomic<const FileRecords*> file = nullptr;
        VerifyComparison comparison(file);
        for (std::size_t step = 0; step < std::size(kController); ++step) {
            if (step == arrival) {
                file = &records;
            }
            const Step& call = kController[step];
            if (call.section != nullptr) {
                comparison.SelectSection(call.section);
            } else {
                EXPECT_TRUE(comparison.WriteKey(call.key, CounterString(call.value), call.kind));
            }
        }
        file = &records;
        comparison.Finish();
        Findings findings;
        for (const VerifyComparison::Difference& difference : comparison.Differences()) {
            findings.differences.push_back(std::to_string(difference.group) + " " +
                                           difference.text);
        }
        findings.information = comparison.Information();
        return findings;
    }

    test_support::TempFolder folder_{"verify_comparison"};
    std::string path_ = folder_.File("file.ini");
};

TEST_F(VerifyComparisonTest, FindingsComeByKindThenSectionThenKey) {
    const Findings findings = Compare(0);
    // Kinds: 0 ports, 1 grades, 4 pumps.
    EXPECT_EQ(findings.differences, (std::vector<std::string>{
                                        "0 [Port01] Name: file Ilha 1, controller Ilha",
                                        "1 [Grade01] Price02: file 6.1, controller (none)",
                                        "1 [Grade03] only in the file",
                                        "4 [Pump02] only in the controller",
                                    }));
    EXPECT_EQ(findings.information, (std::vector<std::string>{
                                        "The file was generated 1/1/2026.",
                                        "[Application] ClientVersion: file 0.9, controller 1.0.",
                                        "[Application] ServerVersion: file (none), controller 2.0.",
                                        "[Port01] PanID: file 0x1111, controller 0x4F21.",
                                        "[Port01] FirmwareVersion: file 4.2.10, controller 4.2.11.",
                                        "[Port01] Channels: file 11,12, controller (none).",
                                    }));
}

TEST_F(VerifyComparisonTest, TheFindingsAreTheSameWhereverTheFileArrives) {
    const Findings first = Compare(0);
    for (std::size_t arrival = 1; arrival <= std::size(kController); ++arrival) {
        const Findings findings = Compare(arrival);
        EXPECT_EQ(findings.differences, first.differences) << "arrival before step " << arrival;
        EXPECT_EQ(findings.information, first.information) << "arrival before step " << arrival;
    }
}

}  // namespace
