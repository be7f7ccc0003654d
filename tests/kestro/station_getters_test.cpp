// The station model's configuration getters: ordinals by identifier, unknown records, null
// out-pointers, faults per call and per record, grade prices, hoses by position, device
// details and the product filter.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kestro/model/result_codes.h"
#include "kestro/model/station.h"

namespace {

using namespace kestro;
using namespace std::string_literals;

// Records put in out of identifier order, so that ordinals must sort them.
Configuration SmallStation() {
    Configuration station;
    station.ports.Put({.id = 9, .number = 9, .name = u"Nine", .details = DeviceDetails{}});
    station.ports.Put({.id = 2,
                       .number = 2,
                       .name = std::nullopt,
                       .zb2g = {.panId = 0x1234, .channelMask = 1 << 11},
                       .details = DeviceDetails{u"M", u"H", u"F2"}});
    station.ports.Put({.id = 5, .number = 5});  // no details
    GradeRecord grade{.id = 3, .number = 3, .name = u"Diesel"};
    grade.prices = {1.5, 0, 2.5, 0, 0, 0, 0, 8.5};
    station.grades.Put(grade);
    station.zigBees.Put({.id = 7, .portId = 2, .details = DeviceDetails{u"Z", u"v1", u"ZF"}});
    station.zigBees.Put({.id = 8, .portId = 2});  // no details
    station.pumps.Put({.id = 4, .number = 4});
    station.pumps.Put({.id = 6, .number = 6});  // no hoses
    station.hoses.Put({.id = 40, .number = 4, .pumpId = 4});
    station.hoses.Put({.id = 41, .number = 1, .pumpId = 4});
    station.hoses.Put({.id = 42, .number = 2, .pumpId = 4});
    station.hoses.Put({.id = 60, .number = 1, .pumpId = 99});  // a pump that does not exist
    for (std::int32_t id : {5, 1, 3, 2, 4}) {
        station.products.Put({.id = id,
                              .number = id * 10,
                              .enabled = static_cast<std::int16_t>(id % 2),
                              .barcode = id == 2 ? Text() : Text(u"789"),
                              .productGroup = id <= 2 ? 1 : 2});
    }
    return station;
}

class StationGettersTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(station.ClientLogonEx(110, 5, u"127.0.0.1", 5123, 5124, 10000, 0, 0, 1024),
                  kSuccess);
        station.ClearCalls();
    }

    Station station{SmallStation()};
};

TEST_F(StationGettersTest, OrdinalsFollowTheIdentifiers) {
    std::int32_t count = -1;
    ASSERT_EQ(station.GetPortsCount(&count), kSuccess);
    EXPECT_EQ(count, 3);
    std::vector<std::int32_t> ids;
    for (std::int32_t ordinal = 1; ordinal <= count; ++ordinal) {
        std::int32_t id = -1;
        ASSERT_EQ(station.GetPortByOrdinal(ordinal, &id), kSuccess);
        ids.push_back(id);
    }
    EXPECT_EQ(ids, (std::vector<std::int32_t>{2, 5, 9}));

    for (std::int32_t ordinal : {0, -1, 4}) {
        std::int32_t id = -77;
        EXPECT_EQ(station.GetPortByOrdinal(ordinal, &id), kRecordNotFound) << ordinal;
        EXPECT_EQ(id, -77);
    }
    EXPECT_EQ(station.Calls().front(), (RecordedCall{"GetPortsCount", {}}));
    EXPECT_EQ(station.Calls().back(), (RecordedCall{"GetPortByOrdinal", {4}}));
}

TEST_F(StationGettersTest, UnknownRecordsAreNotFoundAndOutValuesStayUntouched) {
    PortRecord port{.id = -77};
    EXPECT_EQ(station.GetPortProperties(3, &port), kRecordNotFound);
    EXPECT_EQ(port.id, -77);
    ZB2GConfig radio{.panId = -77};
    EXPECT_EQ(station.GetZB2GConfig(3, &radio), kRecordNotFound);
    EXPECT_EQ(radio.panId, -77);
    TankRecord tank{.id = -77};
    EXPECT_EQ(station.GetTankPropertiesEx2(1, &tank), kRecordNotFound);
    EXPECT_EQ(tank.id, -77);
    std::int32_t count = -77;
    EXPECT_EQ(station.GetPumpHosesCount(99, &count), kRecordNotFound);  // hoses, no pump
    EXPECT_EQ(count, -77);

    ASSERT_EQ(station.GetPortProperties(2, &port), kSuccess);
    EXPECT_EQ(port.id, 2);
    EXPECT_EQ(port.name, std::nullopt);
    ASSERT_EQ(station.GetZB2GConfig(2, &radio), kSuccess);
    EXPECT_EQ(radio, (ZB2GConfig{.panId = 0x1234, .channelMask = 1 << 11}));
}

TEST_F(StationGettersTest, GettersNeedALogonAndAnOutPointer) {
    EXPECT_EQ(station.GetGradesCount(nullptr), kInvalidArgument);
    EXPECT_EQ(station.GetPortProperties(2, nullptr), kInvalidArgument);
    ASSERT_EQ(station.ClientLogoff(), kSuccess);
    std::int32_t count = -77;
    EXPECT_EQ(station.GetGradesCount(&count), kNotLoggedOn);
    EXPECT_EQ(count, -77);
    // Every call is recorded, refused ones included.
    EXPECT_EQ(station.CallNames(), (std::vector<std::string>{"GetGradesCount", "GetPortProperties",
                                                             "ClientLogoff", "GetGradesCount"}));
}

TEST_F(StationGettersTest, FaultsApplyPerCallPerRecordAndFromTheNthCall) {
    station.InjectFault({.call = "GetPortProperties", .code = kTimeOut, .record = 5});
    PortRecord port;
    EXPECT_EQ(station.GetPortProperties(2, &port), kSuccess);
    EXPECT_EQ(station.GetPortProperties(5, &port), kTimeOut);
    EXPECT_EQ(station.GetPortProperties(9, &port), kSuccess);

    // The third price query of grade 3 and every later one fail.
    station.InjectFault(
        {.call = "GetGradePrice", .code = kConnectionLost, .record = 3, .after = 2});
    double price = -77;
    EXPECT_EQ(station.GetGradePrice(3, 1, &price), kSuccess);
    EXPECT_EQ(station.GetGradePrice(3, 2, &price), kSuccess);
    price = -77;
    EXPECT_EQ(station.GetGradePrice(3, 3, &price), kConnectionLost);
    EXPECT_EQ(price, -77);
    EXPECT_EQ(station.GetGradePrice(3, 4, &price), kConnectionLost);

    // A fault comes before the logon check and before the out-pointer check.
    station.FailCall("GetTanksCount", kTimeOut);
    EXPECT_EQ(station.GetTanksCount(nullptr), kTimeOut);
}

TEST_F(StationGettersTest, GradePricesByLevel) {
    const double expected[] = {1.5, 0, 2.5, 0, 0, 0, 0, 8.5};
    for (std::int16_t level = 1; level <= 8; ++level) {
        double price = -77;
        ASSERT_EQ(station.GetGradePrice(3, level, &price), kSuccess);
        EXPECT_EQ(price, expected[level - 1]) << level;
    }
    double price = -77;
    EXPECT_EQ(station.GetGradePrice(3, 0, &price), kInvalidArgument);
    EXPECT_EQ(station.GetGradePrice(3, 9, &price), kInvalidArgument);
    EXPECT_EQ(station.GetGradePrice(4, 1, &price), kRecordNotFound);
    EXPECT_EQ(price, -77);
    EXPECT_EQ(station.Calls()[1], (RecordedCall{"GetGradePrice", {3, std::int16_t{2}}}));
}

TEST_F(StationGettersTest, HosesArePositionedInTheOrderOfTheirNumbers) {
    std::int32_t count = -1;
    ASSERT_EQ(station.GetPumpHosesCount(4, &count), kSuccess);
    EXPECT_EQ(count, 3);
    std::vector<std::int32_t> hoses;
    for (std::int32_t position = 1; position <= count; ++position) {
        std::int32_t hose = -1;
        ASSERT_EQ(station.GetPumpHoseByNumber(4, position, &hose), kSuccess);
        hoses.push_back(hose);
    }
    EXPECT_EQ(hoses, (std::vector<std::int32_t>{41, 42, 40}));  // numbers 1, 2, 4

    std::int32_t hose = -77;
    EXPECT_EQ(station.GetPumpHoseByNumber(4, 0, &hose), kRecordNotFound);
    EXPECT_EQ(station.GetPumpHoseByNumber(4, 4, &hose), kRecordNotFound);
    EXPECT_EQ(station.GetPumpHoseByNumber(99, 1, &hose), kRecordNotFound);
    EXPECT_EQ(hose, -77);
    ASSERT_EQ(station.GetPumpHosesCount(6, &count), kSuccess);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(station.Calls()[1], (RecordedCall{"GetPumpHoseByNumber", {4, 1}}));

    // A new configuration brings its own hoses.
    Configuration other = SmallStation();
    other.hoses.Remove(41);
    station.LoadConfiguration(std::move(other));
    ASSERT_EQ(station.GetPumpHoseByNumber(4, 1, &hose), kSuccess);
    EXPECT_EQ(hose, 42);
}

TEST_F(StationGettersTest, DeviceDetailsOfAPortOrOfAZigBeeDeviceOnIt) {
    struct Row {
        std::int32_t port, device;
        std::int32_t expected;
        Text firmware;
    };
    const Row rows[] = {
        {2, -1, kSuccess, u"F2"},         // the port's own device
        {9, -1, kSuccess, std::nullopt},  // details reported, all texts null
        {5, -1, kNoDeviceDetails, {}},    // the port's device reported none
        {2, 7, kSuccess, u"ZF"},          // a ZigBee device through its port
        {2, 8, kNoDeviceDetails, {}},     // a device without details
        {9, 7, kRecordNotFound, {}},      // the device talks through another port
        {2, 77, kRecordNotFound, {}},     // no such device
        {3, -1, kRecordNotFound, {}},     // no such port
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.port) + "/" + std::to_string(row.device));
        DeviceDetails details{u"untouched", u"untouched", u"untouched"};
        EXPECT_EQ(station.GetDeviceDetails(row.port, row.device, &details), row.expected);
        EXPECT_EQ(details.firmwareVersion, row.expected == kSuccess ? row.firmware : u"untouched");
        EXPECT_EQ(station.Calls().back(),
                  (RecordedCall{"GetDeviceDetails", {row.port, row.device}}));
    }
}

TEST_F(StationGettersTest, ProductFiltersSelectWhatTheyName) {
    struct Row {
        const char* what;
        ProductFilter filter;
        std::vector<std::int32_t> expected;
    };
    const Row rows[] = {
        {"no filtering (Brenkar's arguments)", {-1, 0, 0, 0, 0, -1}, {1, 2, 3, 4, 5}},
        {"group 2", {2, 0, 0, 0, 0, -1}, {3, 4, 5}},
        {"enabled only", {-1, 1, 0, 0, 0, -1}, {1, 3, 5}},
        {"with a barcode only", {-1, 0, 1, 0, 0, -1}, {1, 3, 4, 5}},
        {"from number 30", {-1, 0, 0, 30, 0, -1}, {3, 4, 5}},
        {"at most two", {-1, 0, 0, 0, 2, -1}, {1, 2}},
        {"any terminal value", {-1, 0, 0, 0, 0, 3}, {1, 2, 3, 4, 5}},
        {"group 1, enabled, at most one", {1, 1, 0, 0, 1, -1}, {1}},
        {"nothing matches", {7, 0, 0, 0, 0, -1}, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        std::int32_t count = -1;
        ASSERT_EQ(station.GetProductsCount(row.filter, &count), kSuccess);
        std::vector<std::int32_t> ids;
        for (std::int32_t ordinal = 1; ordinal <= count; ++ordinal) {
            std::int32_t id = -1;
            ASSERT_EQ(station.GetProductByOrdinal(ordinal, row.filter, &id), kSuccess);
            ids.push_back(id);
        }
        EXPECT_EQ(ids, row.expected);
        std::int32_t id = -77;
        EXPECT_EQ(station.GetProductByOrdinal(count + 1, row.filter, &id), kRecordNotFound);
        EXPECT_EQ(id, -77);
    }
    EXPECT_EQ(station.Calls().front(), (RecordedCall{"GetProductsCount", {-1, 0, 0, 0, 0, -1}}));
    EXPECT_EQ(station.Calls()[1], (RecordedCall{"GetProductByOrdinal", {1, -1, 0, 0, 0, 0, -1}}));
}

TEST(RecordTableTest, RecordsStayInIdentifierOrderThroughPutAndRemove) {
    RecordTable<SensorRecord> table;
    for (std::int32_t id : {30, 10, 20, 40}) {
        table.Put({.id = id, .number = id});
    }
    table.Put({.id = 20, .number = 99});  // replaces
    EXPECT_EQ(table.Count(), 4);
    EXPECT_EQ(table.AtOrdinal(2)->number, 99);
    EXPECT_TRUE(table.Remove(10));
    EXPECT_FALSE(table.Remove(10));
    std::vector<std::int32_t> ids;
    for (const SensorRecord& sensor : table) {
        ids.push_back(sensor.id);
    }
    EXPECT_EQ(ids, (std::vector<std::int32_t>{20, 30, 40}));
    EXPECT_EQ(table.Find(10), nullptr);
    EXPECT_EQ(table.AtOrdinal(4), nullptr);
}

}  // namespace
