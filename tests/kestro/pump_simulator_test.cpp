// The pump simulator over the sample station: state walks, refusals, deliveries counting up
// at the flow rate, limits, stacking, payment, prepay reservations, faults, the events in
// order, and determinism.
#include "kestro/model/pump_simulator.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "kestro/model/demo_customers.h"
#include "kestro/model/result_codes.h"
#include "kestro/model/station_generators.h"

namespace {

using kestro::PumpDelivery;
using kestro::PumpEvent;
using kestro::PumpSimulator;
using kestro::PumpStatus;

class PumpSimulatorTest : public testing::Test {
  protected:
    PumpSimulatorTest() : config_(kestro::SampleStation()), pumps_(config_, 46023.0) {
        pumps_.SetEventSink([this](const PumpEvent& event) { events_.push_back(event); });
    }

    PumpStatus Status(std::int32_t pump = 3) {
        PumpStatus status;
        EXPECT_EQ(pumps_.ReadStatus(pump, &status), kestro::kSuccess);
        return status;
    }
    // Lifts hose 1 of pump 3, authorises it and lets the delivery run for `ms` after start.
    void Fill(std::int64_t ms) {
        ASSERT_EQ(pumps_.Lift(3, 1), kestro::kSuccess);
        ASSERT_EQ(pumps_.Authorise(3), kestro::kSuccess);
        pumps_.Advance(PumpSimulator::kStartingMs + ms);
    }
    std::vector<PumpDelivery> DeliveryEvents() const {
        std::vector<PumpDelivery> deliveries;
        for (const PumpEvent& event : events_) {
            if (event.kind == PumpEvent::Kind::kDelivery) {
                deliveries.push_back(event.delivery);
            }
        }
        return deliveries;
    }

    kestro::Configuration config_;
    PumpSimulator pumps_;
    std::vector<PumpEvent> events_;
};

TEST_F(PumpSimulatorTest, AnIdlePumpShowsNoHoseAndNeedsAuthorisation) {
    PumpStatus status = Status();
    EXPECT_EQ(status.state, 3);
    EXPECT_EQ(status.hoseId, -1);
    EXPECT_EQ(status.hoseNumber, 0);
    EXPECT_EQ(status.reservedBy, -1);
    EXPECT_EQ(status.stackSize, 0);
    EXPECT_EQ(pumps_.ReadStatus(99, &status), kestro::kRecordNotFound);
    EXPECT_TRUE(events_.empty());
}

TEST_F(PumpSimulatorTest, LiftingCallsWithTheHosesGradeAndPrice) {
    ASSERT_EQ(pumps_.Lift(3, 1), kestro::kSuccess);
    PumpStatus status = Status();
    EXPECT_EQ(status.state, 6);
    EXPECT_EQ(status.hoseId, 31);
    EXPECT_EQ(status.hoseNumber, 1);
    EXPECT_EQ(status.gradeId, 1);
    EXPECT_EQ(status.gradeName, u"Gasolina Comum");
    EXPECT_EQ(status.shortGradeName, u"GC");
    EXPECT_DOUBLE_EQ(status.price, 5.899);
    ASSERT_EQ(events_.size(), 1u);
    EXPECT_EQ(events_[0].pumpId, 3);
    EXPECT_EQ(events_[0].status, status);
}

TEST_F(PumpSimulatorTest, ADeliveryCountsUpAtTheFlowRateAndBecomesTheCurrentDeliveryOnHangUp) {
    Fill(4000);
    PumpStatus status = Status();
    EXPECT_EQ(status.state, 8);
    EXPECT_DOUBLE_EQ(status.volume, 2.0);  // 0.5 L/s for 4 s
    EXPECT_DOUBLE_EQ(status.value, 11.8);  // 2 L at 5.899, to the cent
    ASSERT_EQ(pumps_.Hang(3), kestro::kSuccess);
    status = Status();
    EXPECT_EQ(status.state, 3);
    EXPECT_EQ(status.stackSize, 1);
    EXPECT_DOUBLE_EQ(status.volume, 2.0) << "the display keeps the last sale";
    std::vector<PumpDelivery> deliveries = DeliveryEvents();
    ASSERT_EQ(deliveries.size(), 1u);
    EXPECT_EQ(deliveries[0].id, 1);
    EXPECT_EQ(deliveries[0].state, 1);
    EXPECT_EQ(deliveries[0].type, 1);
    EXPECT_EQ(deliveries[0].hoseId, 31);
    EXPECT_DOUBLE_EQ(deliveries[0].volume, 2.0);
    EXPECT_DOUBLE_EQ(deliveries[0].value, 11.8);
    EXPECT_DOUBLE_EQ(deliveries[0].completedDate, 46023.0 + 5.0 / 86400);
    EXPECT_DOUBLE_EQ(deliveries[0].volumeTotal, 30000 + 1234.56 + 2.0);
}

TEST_F(PumpSimulatorTest, StatusEventsComeOncePerStepWhileFuelFlowsAndInOrder) {
    Fill(1000);
    std::vector<double> volumes;
    std::vector<std::int16_t> states;
    for (const PumpEvent& event : events_) {
        states.push_back(event.status.state);
        volumes.push_back(event.status.volume);
    }
    // Calling, starting, delivering with 0, then ten steps of 0.05 L.
    ASSERT_EQ(events_.size(), 13u);
    EXPECT_EQ(states[0], 6);
    EXPECT_EQ(states[1], 7);
    EXPECT_EQ(states[2], 8);
    for (std::size_t i = 3; i < volumes.size(); ++i) {
        EXPECT_DOUBLE_EQ(volumes[i], 0.05 * static_cast<double>(i - 2)) << i;
    }
}

TEST_F(PumpSimulatorTest, CommandsRefusedInTheWrongStateChangeNothing) {
    struct Row {
        const char* what;
        std::int32_t (*command)(PumpSimulator&);
        std::int32_t expected;
    };
    const Row rows[] = {
        {"TempStop of an idle pump", [](PumpSimulator& p) { return p.TempStop(3); },
         kestro::kWrongPumpState},
        {"ReAuthorise of an idle pump", [](PumpSimulator& p) { return p.ReAuthorise(3); },
         kestro::kWrongPumpState},
        {"Terminate of an idle pump", [](PumpSimulator& p) { return p.TerminateDelivery(3); },
         kestro::kWrongPumpState},
        {"CancelAuthorise of an idle pump", [](PumpSimulator& p) { return p.CancelAuthorise(3); },
         kestro::kWrongPumpState},
        {"Hang of a hung nozzle", [](PumpSimulator& p) { return p.Hang(3); },
         kestro::kWrongPumpState},
        {"Stack without a delivery", [](PumpSimulator& p) { return p.StackCurrentDelivery(3); },
         kestro::kNoCurrentDelivery},
        {"Lift of an unknown hose", [](PumpSimulator& p) { return p.Lift(3, 9); },
         kestro::kInvalidArgument},
        {"Authorise of an unknown pump", [](PumpSimulator& p) { return p.Authorise(42); },
         kestro::kRecordNotFound},
        {"Pay of an unknown delivery", [](PumpSimulator& p) { return p.Pay(3, 7); },
         kestro::kRecordNotFound},
        {"Fault to a state out of range", [](PumpSimulator& p) { return p.Fault(3, 18); },
         kestro::kInvalidArgument},
        {"Fault to a negative state", [](PumpSimulator& p) { return p.Fault(3, -1); },
         kestro::kInvalidArgument},
        {"Fault to delivering", [](PumpSimulator& p) { return p.Fault(3, 8); },
         kestro::kInvalidArgument},
        {"Fault to authorised", [](PumpSimulator& p) { return p.Fault(3, 5); },
         kestro::kInvalidArgument},
        {"Fault to state 4, which no pump has", [](PumpSimulator& p) { return p.Fault(3, 4); },
         kestro::kInvalidArgument},
        {"Attendant authorise by nobody",
         [](PumpSimulator& p) { return p.AttendantAuthorise(3, 999); }, kestro::kRecordNotFound},
        {"Preset of value 0", [](PumpSimulator& p) { return p.LoadPreset(3, 1, 0, 0, 0); },
         kestro::kLimitOutOfRange},
        {"Preset of an unknown limit type",
         [](PumpSimulator& p) { return p.LoadPreset(3, 3, 10, 0, 0); }, kestro::kLimitOutOfRange},
        {"Preset at price level 9", [](PumpSimulator& p) { return p.LoadPreset(3, 1, 10, 0, 9); },
         kestro::kLimitOutOfRange},
        {"Prepay authorise without reserving",
         [](PumpSimulator& p) { return p.PrepayAuthorise(3, 5, 1, 20, 0, 0); },
         kestro::kWrongPumpState},
    };
    const PumpStatus before = Status();
    for (const Row& row : rows) {
        EXPECT_EQ(row.command(pumps_), row.expected) << row.what;
        EXPECT_EQ(Status(), before) << row.what;
    }
    EXPECT_TRUE(events_.empty());
}

TEST_F(PumpSimulatorTest, CancelAuthoriseAnswers25OnceFuelHasStarted) {
    ASSERT_EQ(pumps_.Lift(3, 1), kestro::kSuccess);
    ASSERT_EQ(pumps_.Authorise(3), kestro::kSuccess);
    EXPECT_EQ(pumps_.CancelAuthorise(3), kestro::kSuccess) << "still starting";
    EXPECT_EQ(Status().state, 6);
    ASSERT_EQ(pumps_.Authorise(3), kestro::kSuccess);
    pumps_.Advance(PumpSimulator::kStartingMs);
    EXPECT_EQ(Status().state, 8);
    EXPECT_EQ(pumps_.CancelAuthorise(3), kestro::kDeliveryStarted);
    EXPECT_EQ(pumps_.CancelAuthorise(3), 25);
}

TEST_F(PumpSimulatorTest, TempStopHoldsTheFlowAndReAuthoriseResumesIt) {
    Fill(1000);
    ASSERT_EQ(pumps_.TempStop(3), kestro::kSuccess);
    EXPECT_EQ(Status().state, 9);
    pumps_.Advance(5000);
    EXPECT_DOUBLE_EQ(Status().volume, 0.5);
    ASSERT_EQ(pumps_.ReAuthorise(3), kestro::kSuccess);
    pumps_.Advance(1000);
    EXPECT_EQ(Status().state, 8);
    EXPECT_DOUBLE_EQ(Status().volume, 1.0);
    ASSERT_EQ(pumps_.TerminateDelivery(3), kestro::kSuccess);
    pumps_.Advance(1000);
    EXPECT_EQ(Status().state, 15);
    EXPECT_DOUBLE_EQ(Status().volume, 1.0);
}

TEST_F(PumpSimulatorTest, APresetStopsTheDeliveryAtItsLimitNearingItFirst) {
    ASSERT_EQ(pumps_.LoadPreset(3, 2, 1.0, 0, 0), kestro::kSuccess);  // 1 litre
    Fill(1900);
    EXPECT_EQ(Status().state, 10) << "within the last tenth of the limit";
    pumps_.Advance(1000);
    PumpStatus status = Status();
    EXPECT_EQ(status.state, 13);
    EXPECT_DOUBLE_EQ(status.volume, 1.0);
    EXPECT_DOUBLE_EQ(status.value, 5.9);
}

TEST_F(PumpSimulatorTest, APrepayIsReservedByItsClientAndEndsAtItsMoney) {
    EXPECT_EQ(pumps_.PrepayReserve(3, 5), kestro::kSuccess);
    EXPECT_EQ(pumps_.PrepayReserve(3, 6), kestro::kPumpReserved);
    EXPECT_EQ(pumps_.PrepayAuthorise(3, 6, 1, 5.0, 0, 0), kestro::kPumpReserved);
    EXPECT_EQ(pumps_.PrepayAuthorise(3, 5, 1, 5.0, 0, 0), kestro::kSuccess);
    PumpStatus status = Status();
    EXPECT_EQ(status.state, 5);
    EXPECT_EQ(status.reservedFor, 3);
    EXPECT_EQ(status.reservedBy, 5);
    ASSERT_EQ(pumps_.Lift(3, 1), kestro::kSuccess);
    EXPECT_EQ(Status().state, 7) << "an authorised pump starts when lifted";
    EXPECT_EQ(pumps_.PrepayCancel(3, 5), kestro::kDeliveryStarted);
    pumps_.Advance(PumpSimulator::kStartingMs + 1600);
    EXPECT_EQ(Status().state, 12);
    pumps_.Advance(1000);
    status = Status();
    EXPECT_EQ(status.state, 13);
    EXPECT_DOUBLE_EQ(status.value, 5.0);
    ASSERT_EQ(pumps_.Hang(3), kestro::kSuccess);
    std::vector<PumpDelivery> deliveries = DeliveryEvents();
    ASSERT_EQ(deliveries.size(), 1u);
    EXPECT_EQ(deliveries[0].type, 2);
    EXPECT_EQ(deliveries[0].reservedBy, 5);
    EXPECT_EQ(Status().reservedFor, 0);
}

TEST_F(PumpSimulatorTest, StackingPayingAndDriveOffsMoveDeliveriesThroughTheirStates) {
    Fill(1000);
    ASSERT_EQ(pumps_.Hang(3), kestro::kSuccess);
    ASSERT_EQ(pumps_.StackCurrentDelivery(3), kestro::kSuccess);
    PumpDelivery delivery;
    ASSERT_EQ(pumps_.ReadDelivery(3, 1, &delivery), kestro::kSuccess);
    EXPECT_EQ(delivery.state, 2);
    Fill(1000);
    ASSERT_EQ(pumps_.Hang(3), kestro::kSuccess);
    // A current delivery moves to the stack by itself when the next one starts.
    Fill(1000);
    ASSERT_EQ(pumps_.Hang(3), kestro::kSuccess);
    EXPECT_EQ(Status().stackSize, 3);
    ASSERT_EQ(pumps_.DriveOff(3, 3), kestro::kSuccess);
    ASSERT_EQ(pumps_.Pay(3, 1), kestro::kSuccess);
    EXPECT_EQ(Status().stackSize, 2);
    ASSERT_EQ(pumps_.ReadDelivery(3, 1, &delivery), kestro::kSuccess);
    EXPECT_EQ(delivery.id, 2);
    EXPECT_EQ(delivery.state, 2);
    ASSERT_EQ(pumps_.ReadDelivery(3, 2, &delivery), kestro::kSuccess);
    EXPECT_EQ(delivery.id, 3);
    EXPECT_EQ(delivery.state, 1);
    EXPECT_EQ(delivery.type, 3);
    EXPECT_EQ(pumps_.ReadDelivery(3, 3, &delivery), kestro::kRecordNotFound);

    std::vector<std::pair<std::int32_t, std::int16_t>> changes;
    for (const PumpDelivery& d : DeliveryEvents()) {
        changes.emplace_back(d.id, d.state);
    }
    const std::vector<std::pair<std::int32_t, std::int16_t>> expected = {
        {1, 1}, {1, 2}, {2, 1}, {2, 2}, {3, 1}, {3, 1}, {1, 3}};
    EXPECT_EQ(changes, expected);
}

TEST_F(PumpSimulatorTest, AnUnpaidDeliveryAgesAndTurnsOverdue) {
    Fill(1000);
    ASSERT_EQ(pumps_.Hang(3), kestro::kSuccess);
    pumps_.Advance(30000);
    PumpDelivery delivery;
    ASSERT_EQ(pumps_.ReadDelivery(3, 1, &delivery), kestro::kSuccess);
    EXPECT_EQ(delivery.age, 30);
    pumps_.Advance((PumpSimulator::kOverdueSeconds - 30 + 1) * 1000);
    ASSERT_EQ(pumps_.ReadDelivery(3, 1, &delivery), kestro::kSuccess);
    EXPECT_EQ(delivery.age, -(PumpSimulator::kOverdueSeconds + 1));
}

TEST_F(PumpSimulatorTest, AFaultKeepsTheFuelDeliveredAsTheCurrentDelivery) {
    Fill(2000);
    ASSERT_EQ(pumps_.Fault(3, 0), kestro::kSuccess);
    PumpStatus status = Status();
    EXPECT_EQ(status.state, 0);
    EXPECT_EQ(status.stackSize, 1);
    EXPECT_EQ(pumps_.Lift(3, 1), kestro::kWrongPumpState);
    ASSERT_EQ(pumps_.Fault(3, 3), kestro::kSuccess);
    EXPECT_EQ(pumps_.Lift(3, 1), kestro::kSuccess);
}

TEST_F(PumpSimulatorTest, AStackModeOfZeroAllowsNoStacking) {
    kestro::PumpRecord pump = *config_.pumps.Find(3);
    pump.stackMode = 0;
    config_.pumps.Put(pump);
    Fill(1000);
    ASSERT_EQ(pumps_.Hang(3), kestro::kSuccess);
    EXPECT_EQ(pumps_.StackCurrentDelivery(3), kestro::kNotAllowedByModes);
    ASSERT_EQ(pumps_.Lift(3, 1), kestro::kSuccess);
    EXPECT_EQ(pumps_.Authorise(3), kestro::kNotAllowedByModes) << "the sale must be paid first";
    EXPECT_EQ(Status().state, 6);
}

// An authorised pump whose current sale cannot be stacked: the lifted nozzle calls, and the
// refused start leaves the sale and the hose's price as they were.
TEST_F(PumpSimulatorTest, ALiftOnAnAuthorisedPumpThatCannotStackCallsForTheCashier) {
    kestro::PumpRecord pump = *config_.pumps.Find(3);
    pump.stackMode = 0;
    config_.pumps.Put(pump);
    Fill(1000);
    ASSERT_EQ(pumps_.Hang(3), kestro::kSuccess);
    ASSERT_EQ(pumps_.Authorise(3), kestro::kSuccess);
    ASSERT_EQ(Status().state, 5);
    events_.clear();
    ASSERT_EQ(pumps_.Lift(3, 1), kestro::kSuccess);
    const PumpStatus status = Status();
    EXPECT_EQ(status.state, 6);
    EXPECT_EQ(status.hoseNumber, 1);
    EXPECT_EQ(status.stackSize, 1);
    EXPECT_TRUE(DeliveryEvents().empty()) << "the current sale is not stacked";
    ASSERT_EQ(events_.size(), 1u);
    EXPECT_EQ(events_[0].status.state, 6);
    PumpDelivery current;
    ASSERT_EQ(pumps_.ReadDelivery(3, 1, &current), kestro::kSuccess);
    EXPECT_EQ(current.state, 1);
    pumps_.Advance(PumpSimulator::kStartingMs);
    EXPECT_EQ(Status().state, 6) << "no delivery starts by itself";
}

TEST_F(PumpSimulatorTest, AnAuthModeOf2AuthorisesALiftedNozzleByItself) {
    kestro::PumpRecord pump = *config_.pumps.Find(3);
    pump.authMode = 2;
    config_.pumps.Put(pump);
    kestro::PumpSimulator pumps(config_, 0);
    PumpStatus status;
    ASSERT_EQ(pumps.ReadStatus(3, &status), kestro::kSuccess);
    EXPECT_EQ(status.state, 5);
    ASSERT_EQ(pumps.Lift(3, 2), kestro::kSuccess);
    ASSERT_EQ(pumps.ReadStatus(3, &status), kestro::kSuccess);
    EXPECT_EQ(status.state, 7);
}

TEST(DemoCustomersTest, TheSameSeedGivesTheSameForecourt) {
    const kestro::Configuration config = kestro::SampleStation();
    auto run = [&](std::uint32_t seed) {
        PumpSimulator pumps(config, 0);
        std::vector<std::pair<std::int32_t, std::int16_t>> trace;
        pumps.SetEventSink([&](const PumpEvent& event) {
            trace.emplace_back(event.pumpId,
                               event.kind == PumpEvent::Kind::kStatus
                                   ? event.status.state
                                   : static_cast<std::int16_t>(100 + event.delivery.state));
        });
        kestro::DemoCustomers demo(seed);
        for (int step = 0; step < 6000; ++step) {  // ten minutes
            pumps.Advance(PumpSimulator::kStepMs);
            demo.Act(pumps);
        }
        return trace;
    };
    const auto first = run(7);
    EXPECT_EQ(first, run(7));
    EXPECT_NE(first, run(8));
    // Ten minutes of a demo see deliveries paid.
    EXPECT_GT(std::count_if(first.begin(), first.end(),
                            [](const auto& entry) { return entry.second == 103; }),
              0);
}

}  // namespace
