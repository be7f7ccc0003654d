// The station model's configuration setters: create or replace by identifier, keep what the
// call does not carry, record every value, refuse what a controller would, honour faults per
// call and per record, and show their changes to the getters at once.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "kestro/model/result_codes.h"
#include "kestro/model/station.h"

namespace {

using namespace kestro;
using namespace std::string_literals;

class StationSettersTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(station.ClientLogonEx(110, 5, u"127.0.0.1", 5123, 5124, 10000, 0, 0, 1024),
                  kSuccess);
        station.ClearCalls();
    }

    Station station;
};

TEST_F(StationSettersTest, ASetterCreatesTheRecordAndTheGettersSeeIt) {
    ASSERT_EQ(station.SetPumpPropertiesEx({.id = 7, .number = 7, .name = u"Bomba 7"}), kSuccess);
    ASSERT_EQ(station.SetPumpPropertiesEx({.id = 3, .number = 3}), kSuccess);
    std::int32_t count = 0;
    std::int32_t id = 0;
    ASSERT_EQ(station.GetPumpsCount(&count), kSuccess);
    EXPECT_EQ(count, 2);
    ASSERT_EQ(station.GetPumpByOrdinal(1, &id), kSuccess);
    EXPECT_EQ(id, 3);
    PumpRecord pump;
    ASSERT_EQ(station.GetPumpPropertiesEx(7, &pump), kSuccess);
    EXPECT_EQ(pump, (PumpRecord{.id = 7, .number = 7, .name = u"Bomba 7"}));
}

TEST_F(StationSettersTest, ReplacingKeepsWhatTheCallDoesNotCarry) {
    Configuration configuration;
    configuration.ports.Put({.id = 3,
                             .number = 3,
                             .name = u"Old",
                             .zb2g = {.panId = 0x1A2B, .channelMask = 1 << 11, .keyA = 5},
                             .details = DeviceDetails{u"M", u"H", u"F"}});
    configuration.grades.Put({.id = 2, .number = 2, .prices = {4.5, 4.6}});
    configuration.zigBees.Put({.id = 5, .portId = 3, .details = DeviceDetails{u"Z", u"1", u"2"}});
    configuration.tanks.Put({.id = 1, .height = 3.5, .lowLevelAlarm = 100});
    configuration.hoses.Put({.id = 11, .number = 1, .pumpId = 1, .volumeTotal = 1234.5});
    configuration.pumps.Put({.id = 1});
    station.LoadConfiguration(configuration);

    // Values passed for what the call does not carry are ignored.
    ASSERT_EQ(station.SetPortProperties(
                  {.id = 3, .number = 30, .name = u"New", .zb2g = {.panId = 9}, .details = {}}),
              kSuccess);
    ASSERT_EQ(station.SetGradePropertiesEx({.id = 2, .number = 20, .prices = {9, 9}}), kSuccess);
    ASSERT_EQ(station.SetZigBeeProperties({.id = 5, .number = 50, .portId = 3}), kSuccess);
    // The tank's and the hose's doubles are carried: what the call passes is stored.
    ASSERT_EQ(station.SetTankPropertiesEx2({.id = 1, .number = 10}), kSuccess);
    ASSERT_EQ(station.SetHosePropertiesEx2({.id = 11, .number = 1, .pumpId = 1}), kSuccess);

    const Configuration& now = station.CurrentConfiguration();
    EXPECT_EQ(*now.ports.Find(3),
              (PortRecord{.id = 3,
                          .number = 30,
                          .name = u"New",
                          .zb2g = {.panId = 0x1A2B, .channelMask = 1 << 11, .keyA = 5},
                          .details = DeviceDetails{u"M", u"H", u"F"}}));
    EXPECT_EQ(*now.grades.Find(2), (GradeRecord{.id = 2, .number = 20, .prices = {4.5, 4.6}}));
    EXPECT_EQ(*now.zigBees.Find(5),
              (ZigBeeRecord{
                  .id = 5, .number = 50, .portId = 3, .details = DeviceDetails{u"Z", u"1", u"2"}}));
    EXPECT_EQ(*now.tanks.Find(1), (TankRecord{.id = 1, .number = 10}));
    EXPECT_EQ(*now.hoses.Find(11), (HoseRecord{.id = 11, .number = 1, .pumpId = 1}));
}

TEST_F(StationSettersTest, CreatedRecordsStartWithoutWhatTheCallDoesNotCarry) {
    ASSERT_EQ(station.SetPortProperties(
                  {.id = 4, .zb2g = {.panId = 9}, .details = DeviceDetails{u"M", u"H", u"F"}}),
              kSuccess);
    ASSERT_EQ(station.SetGradePropertiesEx({.id = 4, .prices = {1, 2}}), kSuccess);
    ASSERT_EQ(station.SetZigBeeProperties({.id = 5, .details = DeviceDetails{u"M", u"H", u"F"}}),
              kSuccess);
    const Configuration& now = station.CurrentConfiguration();
    const DeviceDetails empty{u"", u"", u""};
    EXPECT_EQ(*now.ports.Find(4), (PortRecord{.id = 4, .zb2g = {}, .details = empty}));
    EXPECT_EQ(*now.grades.Find(4), (GradeRecord{.id = 4}));
    EXPECT_EQ(*now.zigBees.Find(5), (ZigBeeRecord{.id = 5, .details = empty}));
    // A created device answers its details query with empty texts, so an export after an
    // import into an empty station writes an empty FirmwareVersion instead of failing.
    DeviceDetails details{u"x", u"x", u"x"};
    EXPECT_EQ(station.GetDeviceDetails(4, -1, &details), kSuccess);
    EXPECT_EQ(details, empty);
}

TEST_F(StationSettersTest, GradePricesGoByLevel) {
    ASSERT_EQ(station.SetGradePropertiesEx({.id = 2, .number = 2}), kSuccess);
    EXPECT_EQ(station.SetGradePrice(2, 1, 5.199), kSuccess);
    EXPECT_EQ(station.SetGradePrice(2, 8, 6.5), kSuccess);
    EXPECT_EQ(station.SetGradePrice(2, 0, 1.0), kInvalidArgument);
    EXPECT_EQ(station.SetGradePrice(2, 9, 1.0), kInvalidArgument);
    EXPECT_EQ(station.SetGradePrice(3, 1, 1.0), kRecordNotFound);
    double price = 0;
    ASSERT_EQ(station.GetGradePrice(2, 8, &price), kSuccess);
    EXPECT_EQ(price, 6.5);
    EXPECT_EQ(station.CurrentConfiguration().grades.Find(2)->prices,
              (std::array<double, 8>{5.199, 0, 0, 0, 0, 0, 0, 6.5}));
}

TEST_F(StationSettersTest, RefusalsStoreNothing) {
    struct Row {
        const char* what;
        std::function<std::int32_t()> call;
        std::int32_t code;
    };
    const Row rows[] = {
        {"port 0", [&] { return station.SetPortProperties({.id = 0}); }, kInvalidArgument},
        {"grade -1", [&] { return station.SetGradePropertiesEx({.id = -1}); }, kInvalidArgument},
        {"tank 0", [&] { return station.SetTankPropertiesEx2({.id = 0}); }, kInvalidArgument},
        {"ZigBee 0", [&] { return station.SetZigBeeProperties({.id = 0}); }, kInvalidArgument},
        {"pump 0", [&] { return station.SetPumpPropertiesEx({.id = 0}); }, kInvalidArgument},
        {"hose 0", [&] { return station.SetHosePropertiesEx2({.id = 0, .pumpId = 1}); },
         kInvalidArgument},
        {"hose of no pump", [&] { return station.SetHosePropertiesEx2({.id = 5, .pumpId = 2}); },
         kRecordNotFound},
        {"sensor 0", [&] { return station.SetSensorPropertiesEx({.id = 0}); }, kInvalidArgument},
        {"attendant 0", [&] { return station.SetAttendantPropertiesEx2({.id = 0}); },
         kInvalidArgument},
        {"client 0", [&] { return station.SetCardClientPropertiesEx4({.id = 0}); },
         kInvalidArgument},
        {"product 0", [&] { return station.SetProductProperties({.id = 0}); }, kInvalidArgument},
        {"price of grade 0", [&] { return station.SetGradePrice(0, 1, 1.0); }, kInvalidArgument},
    };
    Configuration onePump;
    onePump.pumps.Put({.id = 1});
    station.LoadConfiguration(onePump);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(row.call(), row.code);
        EXPECT_EQ(station.CurrentConfiguration(), onePump);
    }

    ASSERT_EQ(station.ClientLogoff(), kSuccess);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(row.call(), kNotLoggedOn);
    }
    EXPECT_EQ(station.CurrentConfiguration(), onePump);
    EXPECT_EQ(station.Calls().size(), 2 * std::size(rows) + 1);
}

TEST_F(StationSettersTest, FaultsApplyPerCallAndPerRecord) {
    station.InjectFault({.call = "SetSensorPropertiesEx", .code = kTimeOut, .record = 2});
    station.InjectFault({.call = "SetProductProperties", .code = kConnectionLost, .after = 1});
    EXPECT_EQ(station.SetSensorPropertiesEx({.id = 1}), kSuccess);
    EXPECT_EQ(station.SetSensorPropertiesEx({.id = 2}), kTimeOut);
    EXPECT_EQ(station.SetSensorPropertiesEx({.id = 3}), kSuccess);
    EXPECT_EQ(station.SetProductProperties({.id = 1}), kSuccess);
    EXPECT_EQ(station.SetProductProperties({.id = 2}), kConnectionLost);
    EXPECT_EQ(station.CurrentConfiguration().sensors.Count(), 2);
    EXPECT_EQ(station.CurrentConfiguration().sensors.Find(2), nullptr);
    EXPECT_EQ(station.CurrentConfiguration().products.Count(), 1);
    // Faulted calls are recorded with their values like the others.
    EXPECT_EQ(
        station.Calls()[1],
        (RecordedCall{"SetSensorPropertiesEx",
                      {2, 0, u""s, 0, std::int16_t{0}, std::int16_t{0}, std::int16_t{0}, 0, 0}}));
}

TEST_F(StationSettersTest, HoseAndProductChangesReachTheirLookupsAtOnce) {
    ASSERT_EQ(station.SetPumpPropertiesEx({.id = 1}), kSuccess);
    ASSERT_EQ(station.SetHosePropertiesEx2({.id = 12, .number = 2, .pumpId = 1}), kSuccess);
    std::int32_t count = 0;
    std::int32_t hose = 0;
    ASSERT_EQ(station.GetPumpHosesCount(1, &count), kSuccess);
    EXPECT_EQ(count, 1);
    ASSERT_EQ(station.SetHosePropertiesEx2({.id = 11, .number = 1, .pumpId = 1}), kSuccess);
    ASSERT_EQ(station.GetPumpHosesCount(1, &count), kSuccess);
    EXPECT_EQ(count, 2);
    ASSERT_EQ(station.GetPumpHoseByNumber(1, 1, &hose), kSuccess);
    EXPECT_EQ(hose, 11);

    const ProductFilter all{-1, 0, 0, 0, 0, -1};
    ASSERT_EQ(station.GetProductsCount(all, &count), kSuccess);
    EXPECT_EQ(count, 0);
    ASSERT_EQ(station.SetProductProperties({.id = 4, .number = 4}), kSuccess);
    ASSERT_EQ(station.GetProductsCount(all, &count), kSuccess);
    EXPECT_EQ(count, 1);
}

}  // namespace
