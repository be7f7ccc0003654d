// CheckResult: silent on success, one "<label> - <text>.\n" line with the library's text
// (narrowed to low bytes) on failure, every text it receives freed.
#include "transfer/check_result.h"

#include <gtest/gtest.h>

#include <string>

#include "kestro/inproc/current_station.h"
#include "kestro/model/result_codes.h"
#include "platform/oleauto.h"
#include "tests/support/captured_output.h"

namespace {

using test_support::CaptureStdout;

class CheckResultTest : public testing::Test {
  protected:
    // Runs CheckResult, returning its console output and keeping its answer in `passed`.
    std::string Check(const char* label, std::int32_t result) {
        return CaptureStdout([&] { passed = CheckResult(label, result); });
    }

#ifndef _WIN32  // the layer counts live BSTRs; Windows keeps no such count
    void TearDown() override {
        EXPECT_EQ(SysLiveStringCount(), baselineStrings);
    }
#endif

    kestro::Station station;
    kestro::ScopedStation use{station};
#ifndef _WIN32
    long baselineStrings = SysLiveStringCount();
#endif
    bool passed = false;
};

TEST_F(CheckResultTest, SuccessPrintsNothingAndAsksForNoText) {
    EXPECT_EQ(Check("GetPortsCount failed.", 0), "");
    EXPECT_TRUE(passed);
    EXPECT_TRUE(station.Calls().empty());
}

TEST_F(CheckResultTest, FailurePrintsLabelDashTextAndFullStop) {
    struct Row {
        const char* label;
        std::int32_t result;
        const char* line;
    };
    const Row rows[] = {
        {"GetPortsCount failed.", kestro::kTimeOut, "GetPortsCount failed. - time-out.\n"},
        {"Logon failed", kestro::kCannotConnect, "Logon failed - cannot connect.\n"},
        {"SetPortProperties failed", kestro::kConnectionLost,
         "SetPortProperties failed - connection lost.\n"},
        {"X", 4711, "X - unknown result code 4711.\n"},
        {"X", -21, "X - unknown result code -21.\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        EXPECT_EQ(Check(row.label, row.result), row.line);
        EXPECT_FALSE(passed);
        ASSERT_FALSE(station.Calls().empty());
        EXPECT_EQ(station.Calls().back(), (kestro::RecordedCall{"ResultString", {row.result}}));
    }
}

TEST_F(CheckResultTest, TextKeepsTheLowByteOfEachUnit) {
    // e-acute stays 0xE9; the euro sign U+20AC becomes 0xAC; U+0141 becomes 'A' (0x41).
    station.SetResultText(kestro::kTimeOut, WSTR("caf\u00e9 \u20ac1 \u0141"));
    EXPECT_EQ(Check("Logon failed", kestro::kTimeOut),
              "Logon failed - caf\xE9 \xAC"
              "1 A.\n");
    EXPECT_FALSE(passed);
}

TEST_F(CheckResultTest, FailedResultStringStillReportsTheCode) {
    station.FailCall("ResultString", kestro::kConnectionLost);
    EXPECT_EQ(Check("GetGradesCount failed", kestro::kTimeOut),
              "GetGradesCount failed - result code 2.\n");
    EXPECT_FALSE(passed);
}

}  // namespace
