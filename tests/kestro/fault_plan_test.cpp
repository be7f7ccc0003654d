// Fault injection: which calls a fault matches (by name, by record) and from which
// matching call on it applies.
#include "kestro/model/fault_plan.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "kestro/model/result_codes.h"

namespace {

using kestro::Fault;
using kestro::FaultPlan;
using kestro::RecordedCall;

// The codes `plan` answers for `calls`, in order.
std::vector<std::int32_t> Answers(FaultPlan& plan, const std::vector<RecordedCall>& calls) {
    std::vector<std::int32_t> codes;
    for (const RecordedCall& call : calls) {
        codes.push_back(plan.Check(call));
    }
    return codes;
}

const RecordedCall kPort1{"GetPortProperties", {1}};
const RecordedCall kPort2{"GetPortProperties", {2}};
const RecordedCall kCount{"GetPortsCount", {}};

TEST(FaultPlanTest, NoFaultLetsEveryCallRun) {
    FaultPlan plan;
    EXPECT_EQ(Answers(plan, {kCount, kPort1}), (std::vector<std::int32_t>{0, 0}));
}

TEST(FaultPlanTest, NamedCallFailsEveryTimeOthersRun) {
    FaultPlan plan;
    plan.Add({.call = "GetPortProperties", .code = kestro::kTimeOut});
    EXPECT_EQ(Answers(plan, {kCount, kPort1, kPort2, kPort1}),
              (std::vector<std::int32_t>{0, 2, 2, 2}));
}

TEST(FaultPlanTest, RecordFaultFailsOnlyThatIdentifier) {
    FaultPlan plan;
    plan.Add({.call = "GetPortProperties", .code = kestro::kRecordNotFound, .record = 2});
    EXPECT_EQ(Answers(plan, {kPort1, kPort2, kCount, kPort1, kPort2}),
              (std::vector<std::int32_t>{0, 6, 0, 0, 6}));
}

TEST(FaultPlanTest, AfterLetsThatManyMatchingCallsRunFirst) {
    FaultPlan plan;
    plan.Add({.call = "GetPortProperties", .code = kestro::kConnectionLost, .after = 2});
    // The count call does not match and so does not count.
    EXPECT_EQ(Answers(plan, {kPort1, kCount, kPort2, kPort1, kPort2}),
              (std::vector<std::int32_t>{0, 0, 0, 3, 3}));
}

TEST(FaultPlanTest, RecordAndAfterCombine) {
    FaultPlan plan;
    plan.Add({.call = "GetPortProperties", .code = kestro::kTimeOut, .record = 1, .after = 1});
    EXPECT_EQ(Answers(plan, {kPort1, kPort2, kPort1, kPort2}),
              (std::vector<std::int32_t>{0, 0, 2, 0}));
}

TEST(FaultPlanTest, FirstApplicableFaultWinsAndAllCount) {
    FaultPlan plan;
    plan.Add({.call = "GetPortProperties", .code = kestro::kTimeOut, .after = 1});
    plan.Add({.call = "GetPortProperties", .code = kestro::kConnectionLost});
    EXPECT_EQ(Answers(plan, {kPort1, kPort1}), (std::vector<std::int32_t>{3, 2}));
}

TEST(FaultPlanTest, ClearRemovesEveryFault) {
    FaultPlan plan;
    plan.Add({.call = "GetPortsCount", .code = kestro::kTimeOut});
    plan.Clear();
    EXPECT_EQ(plan.Check(kCount), 0);
}

TEST(FaultPlanTest, FaultsThatCouldNeverApplyAreRefused) {
    FaultPlan plan;
    EXPECT_THROW(plan.Add({.call = "GetPortsCount", .code = 0}), std::invalid_argument);
    EXPECT_THROW(plan.Add({.call = "GetPortsCount", .code = 2, .after = -1}),
                 std::invalid_argument);
    EXPECT_EQ(plan.Check(kCount), 0);
}

}  // namespace
