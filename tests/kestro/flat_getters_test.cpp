// The flat interface's configuration getters bound in-process: each hands out the values of
// its call (texts as new BSTRs, a null text as a null BSTR), records its in-values, and leaves
// its out-values untouched when it fails.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "client/kestro.h"
#include "kestro/inproc/current_station.h"
#include "kestro/model/result_codes.h"

namespace {

using namespace kestro;
using namespace std::string_literals;

// One record of every kind, identifier 3 each (hose 30 on pump 3, ZigBee device 3 on port 3).
Configuration OneOfEach() {
    Configuration c;
    c.ports.Put({.id = 3,
                 .number = 13,
                 .name = u"P\u20ac",
                 .protocolId = -2,
                 .deviceType = -3,
                 .serialNo = std::nullopt,
                 .zb2g = {.panId = -4, .channelMask = 5, .keyA = 6, .keyB = INT64_MIN},
                 .details = DeviceDetails{std::nullopt, u"hw", u"fw"}});
    c.grades.Put({.id = 3,
                  .number = 13,
                  .name = u"G",
                  .shortName = u"g",
                  .code = u"c",
                  .gradeType = -1,
                  .prices = {0, 2.25}});
    c.tanks.Put({.id = 3,
                 .number = 13,
                 .name = u"T",
                 .gradeId = 3,
                 .type = -1,
                 .capacity = 1.5,
                 .diameter = 2.5,
                 .height = 3.5,
                 .theoreticalCapacity = 4.5,
                 .lowLevelAlarm = 5.5,
                 .highLevelAlarm = 6.5,
                 .lowLowLevelAlarm = 7.5,
                 .highHighLevelAlarm = 8.5,
                 .highWaterAlarm = 9.5,
                 .thermalCoefficient = 10.5,
                 .tankGauge = 11,
                 .probe = 12,
                 .gaugeAlarmsMask = 13,
                 .slotZigBeeId = 14,
                 .probeType = 15,
                 .probeSerialNo = 16});
    c.zigBees.Put({.id = 3,
                   .number = 13,
                   .name = u"Z",
                   .deviceType = 2,
                   .serialNumber = u"s",
                   .nodeIdentifier = u"n",
                   .portId = 3,
                   .details = DeviceDetails{}});
    c.pumps.Put({.id = 3,
                 .number = 13,
                 .name = u"Pump",
                 .physicalNumber = 1,
                 .side = 2,
                 .address = 3,
                 .priceLevel1 = 4,
                 .priceLevel2 = 5,
                 .priceDspFormat = 6,
                 .volumeDspFormat = 7,
                 .valueDspFormat = 8,
                 .pumpType = 9,
                 .portId = 10,
                 .attendantId = 11,
                 .authMode = 12,
                 .stackMode = 13,
                 .prepayAllowed = 14,
                 .preauthAllowed = 15,
                 .slot = 16,
                 .muxSlotZigBeeId = 17,
                 .priceControl = 18,
                 .hasPreset = 19});
    c.hoses.Put({.id = 30,
                 .number = 2,
                 .pumpId = 3,
                 .tankId = 3,
                 .physicalNumber = 4,
                 .volumeTotal = 5.5,
                 .valueTotal = 6.5,
                 .volumeFactor = 7.5,
                 .valueFactor = 8.5,
                 .reader = 9,
                 .price1 = 10.5,
                 .price2 = 11.5,
                 .enabled = 12});
    c.sensors.Put({.id = 3,
                   .number = 13,
                   .name = u"S",
                   .portId = 3,
                   .type = 4,
                   .address = 5,
                   .sensorNo = 6,
                   .slotZigBeeId = 7,
                   .sensorSerialNo = 8});
    c.attendants.Put({.id = 3,
                      .number = 13,
                      .name = u"A",
                      .shortName = u"a",
                      .password = u"p",
                      .tag = u"t",
                      .idNumber = u"i",
                      .shiftAStart = 1,
                      .shiftAEnd = 2,
                      .shiftBStart = 3,
                      .shiftBEnd = 4,
                      .type = 5});
    c.cardClients.Put({.id = 3,
                       .number = 13,
                       .name = u"C",
                       .tag = u"t",
                       .enabled = 1,
                       .priceLevel = 2,
                       .plate = u"pl",
                       .idNumber = u"i",
                       .shortName = u"s",
                       .password = u"pw",
                       .gradeType = 3,
                       .cardType = 4,
                       .limitType = 5,
                       .limit = 6.5,
                       .entryType = 7,
                       .expirationDate = 45123.5,
                       .parentId = 8,
                       .vimoSerialNo = u"v",
                       .odometer = 9.5,
                       .factor = 10});
    c.products.Put({.id = 3,
                    .number = 13,
                    .name = u"Pr",
                    .tag = u"t",
                    .enabled = 1,
                    .shortName = u"s",
                    .barcode = u"b",
                    .price1 = 1.5,
                    .price2 = 2.5,
                    .productGroup = 4});
    return c;
}

std::u16string Units(BSTR text) {
    return std::u16string(text, SysStringLen(text));
}

class FlatGettersTest : public testing::Test {
  protected:
    void TearDown() override {
        FreeTexts();
        EXPECT_EQ(SysLiveStringCount(), baselineStrings);
    }

    std::int32_t LogOn() {
        BSTR server = SysAllocString(u"127.0.0.1");
        std::int32_t rc = ClientLogonEx(110, 5, server, 5123, 5124, 10000, 0, 0, 1024);
        SysFreeString(server);
        return rc;
    }

    // Sets every out-value to its sentinel.
    void Preset() {
        FreeTexts();
        i32.fill(-77);
        i16.fill(-77);
        i64.fill(-77);
        d.fill(-77.0);
        t.fill(&sentinel);
    }
    bool Untouched() const {
        for (auto v : i32) {
            if (v != -77)
                return false;
        }
        for (auto v : i16) {
            if (v != -77)
                return false;
        }
        for (auto v : i64) {
            if (v != -77)
                return false;
        }
        for (auto v : d) {
            if (v != -77.0)
                return false;
        }
        for (BSTR v : t) {
            if (v != &sentinel)
                return false;
        }
        return true;
    }
    void FreeTexts() {
        for (BSTR& text : t) {
            if (text != &sentinel) {
                SysFreeString(text);
            }
            text = &sentinel;
        }
    }

    long baselineStrings = SysLiveStringCount();
    Station station{OneOfEach()};
    ScopedStation use{station};
    OLECHAR sentinel = 0;  // an address no BSTR has
    std::array<std::int32_t, 8> i32{};
    std::array<std::int16_t, 13> i16{};
    std::array<std::int64_t, 4> i64{};
    std::array<double, 10> d{};
    std::array<BSTR, 7> t{};
};

TEST_F(FlatGettersTest, EveryGetterAnswersRecordsAndLeavesOutValuesAloneOnFailure) {
    struct Row {
        const char* name;
        std::function<std::int32_t()> call;
        std::vector<CallValue> values;
    };
    using S = std::int16_t;
    auto& a = i32;
    auto& s = i16;
    const Row rows[] = {
        {"GetPortsCount", [&] { return GetPortsCount(&a[0]); }, {}},
        {"GetPortByOrdinal", [&] { return GetPortByOrdinal(1, &a[0]); }, {1}},
        {"GetPortProperties",
         [&] { return GetPortProperties(3, &a[0], &t[0], &a[1], &s[0], &t[1]); },
         {3}},
        {"GetZB2GConfig", [&] { return GetZB2GConfig(3, &i64[0], &a[0], &i64[1], &i64[2]); }, {3}},
        {"GetDeviceDetails", [&] { return GetDeviceDetails(3, -1, &t[0], &t[1], &t[2]); }, {3, -1}},
        {"GetGradesCount", [&] { return GetGradesCount(&a[0]); }, {}},
        {"GetGradeByOrdinal", [&] { return GetGradeByOrdinal(1, &a[0]); }, {1}},
        {"GetGradePropertiesEx",
         [&] { return GetGradePropertiesEx(3, &a[0], &t[0], &t[1], &t[2], &s[0]); },
         {3}},
        {"GetGradePrice", [&] { return GetGradePrice(3, 2, &d[0]); }, {3, S{2}}},
        {"GetTanksCount", [&] { return GetTanksCount(&a[0]); }, {}},
        {"GetTankByOrdinal", [&] { return GetTankByOrdinal(1, &a[0]); }, {1}},
        {"GetTankPropertiesEx2",
         [&] {
             return GetTankPropertiesEx2(3, &a[0], &t[0], &a[1], &s[0], &d[0], &d[1], &d[2], &d[3],
                                         &d[4], &d[5], &d[6], &d[7], &d[8], &d[9], &a[2], &s[1],
                                         &a[3], &a[4], &s[2], &a[5]);
         },
         {3}},
        {"GetZigBeeCount", [&] { return GetZigBeeCount(&a[0]); }, {}},
        {"GetZigBeeByOrdinal", [&] { return GetZigBeeByOrdinal(1, &a[0]); }, {1}},
        {"GetZigBeeProperties",
         [&] { return GetZigBeeProperties(3, &a[0], &t[0], &s[0], &t[1], &t[2], &a[1]); },
         {3}},
        {"GetPumpsCount", [&] { return GetPumpsCount(&a[0]); }, {}},
        {"GetPumpByOrdinal", [&] { return GetPumpByOrdinal(1, &a[0]); }, {1}},
        {"GetPumpPropertiesEx",
         [&] {
             return GetPumpPropertiesEx(3, &a[0], &t[0], &s[0], &s[1], &s[2], &s[3], &s[4], &s[5],
                                        &s[6], &s[7], &s[8], &a[1], &a[2], &s[9], &s[10], &s[11],
                                        &s[12], &a[3], &a[4], &s[0], &s[1]);
         },
         {3}},
        {"GetPumpHosesCount", [&] { return GetPumpHosesCount(3, &a[0]); }, {3}},
        {"GetPumpHoseByNumber", [&] { return GetPumpHoseByNumber(3, 1, &a[0]); }, {3, 1}},
        {"GetHosePropertiesEx2",
         [&] {
             return GetHosePropertiesEx2(30, &a[0], &a[1], &a[2], &a[3], &d[0], &d[1], &d[2], &d[3],
                                         &s[0], &d[4], &d[5], &s[1]);
         },
         {30}},
        {"GetSensorsCount", [&] { return GetSensorsCount(&a[0]); }, {}},
        {"GetSensorByOrdinal", [&] { return GetSensorByOrdinal(1, &a[0]); }, {1}},
        {"GetSensorPropertiesEx",
         [&] {
             return GetSensorPropertiesEx(3, &a[0], &t[0], &a[1], &s[0], &s[1], &s[2], &a[2],
                                          &a[3]);
         },
         {3}},
        {"GetAttendantsCount", [&] { return GetAttendantsCount(&a[0]); }, {}},
        {"GetAttendantByOrdinal", [&] { return GetAttendantByOrdinal(1, &a[0]); }, {1}},
        {"GetAttendantPropertiesEx2",
         [&] {
             return GetAttendantPropertiesEx2(3, &a[0], &t[0], &t[1], &t[2], &t[3], &t[4], &s[0],
                                              &s[1], &s[2], &s[3], &s[4]);
         },
         {3}},
        {"GetCardClientsCount", [&] { return GetCardClientsCount(&a[0]); }, {}},
        {"GetCardClientByOrdinal", [&] { return GetCardClientByOrdinal(1, &a[0]); }, {1}},
        {"GetCardClientPropertiesEx4",
         [&] {
             return GetCardClientPropertiesEx4(3, &a[0], &t[0], &t[1], &s[0], &s[1], &t[2], &t[3],
                                               &t[4], &t[5], &s[2], &s[3], &s[4], &d[0], &s[5],
                                               &d[1], &a[1], &t[6], &d[2], &a[2]);
         },
         {3}},
        {"GetProductsCount",
         [&] { return GetProductsCount(&a[0], -1, 0, 0, 0, 0, -1); },
         {-1, 0, 0, 0, 0, -1}},
        {"GetProductByOrdinal",
         [&] { return GetProductByOrdinal(1, &a[0], -1, 0, 0, 0, 0, -1); },
         {1, -1, 0, 0, 0, 0, -1}},
        {"GetProductProperties",
         [&] {
             return GetProductProperties(3, &a[0], &t[0], &t[1], &s[0], &t[2], &t[3], &d[0], &d[1],
                                         &a[1]);
         },
         {3}},
    };
    ASSERT_EQ(std::size(rows), 33u);

    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        station.ClearCalls();
        Preset();
        EXPECT_EQ(row.call(), kNotLoggedOn);
        EXPECT_TRUE(Untouched());

        ASSERT_EQ(LogOn(), kSuccess);
        station.FailCall(row.name, kTimeOut);
        EXPECT_EQ(row.call(), kTimeOut);
        EXPECT_TRUE(Untouched());
        station.ClearFaults();
        EXPECT_EQ(row.call(), kSuccess);
        EXPECT_FALSE(Untouched());
        ASSERT_EQ(ClientLogoff(), kSuccess);

        const RecordedCall expected{row.name, row.values};
        ASSERT_EQ(station.Calls().size(), 5u);
        EXPECT_EQ(station.Calls()[0], expected);
        EXPECT_EQ(station.Calls()[2], expected);
        EXPECT_EQ(station.Calls()[3], expected);
    }
}

TEST_F(FlatGettersTest, ValuesTheFileDoesNotCarryPassThroughToo) {
    ASSERT_EQ(LogOn(), kSuccess);
    Preset();
    ASSERT_EQ(GetPortProperties(3, &i32[0], &t[0], &i32[1], &i16[0], &t[1]), kSuccess);
    EXPECT_EQ(Units(t[0]), u"P\u20ac");
    EXPECT_EQ(t[1], nullptr);  // a null text is a null BSTR
    EXPECT_EQ(i16[0], -3);
    ASSERT_EQ(GetDeviceDetails(3, -1, &t[2], &t[3], &t[4]), kSuccess);
    EXPECT_EQ(t[2], nullptr);
    EXPECT_EQ(Units(t[3]), u"hw");
    EXPECT_EQ(Units(t[4]), u"fw");
    FreeTexts();

    ASSERT_EQ(GetTankPropertiesEx2(3, &i32[0], &t[0], &i32[1], &i16[0], &d[0], &d[1], &d[2], &d[3],
                                   &d[4], &d[5], &d[6], &d[7], &d[8], &d[9], &i32[2], &i16[1],
                                   &i32[3], &i32[4], &i16[2], &i32[5]),
              kSuccess);
    EXPECT_EQ(d, (std::array<double, 10>{1.5, 2.5, 3.5, 4.5, 5.5, 6.5, 7.5, 8.5, 9.5, 10.5}));
    EXPECT_EQ((std::array<std::int32_t, 6>{i32[0], i32[1], i32[2], i32[3], i32[4], i32[5]}),
              (std::array<std::int32_t, 6>{13, 3, 11, 13, 14, 16}));
    EXPECT_EQ((std::array<std::int16_t, 3>{i16[0], i16[1], i16[2]}),
              (std::array<std::int16_t, 3>{-1, 12, 15}));

    ASSERT_EQ(GetHosePropertiesEx2(30, &i32[0], &i32[1], &i32[2], &i32[3], &d[0], &d[1], &d[2],
                                   &d[3], &i16[0], &d[4], &d[5], &i16[1]),
              kSuccess);
    EXPECT_EQ((std::array<std::int32_t, 4>{i32[0], i32[1], i32[2], i32[3]}),
              (std::array<std::int32_t, 4>{2, 3, 3, 4}));
    EXPECT_EQ((std::array<double, 6>{d[0], d[1], d[2], d[3], d[4], d[5]}),
              (std::array<double, 6>{5.5, 6.5, 7.5, 8.5, 10.5, 11.5}));
    EXPECT_EQ(i16[0], 9);
    EXPECT_EQ(i16[1], 12);

    ASSERT_EQ(GetZB2GConfig(3, &i64[0], &i32[0], &i64[1], &i64[2]), kSuccess);
    EXPECT_EQ(i64[0], -4);
    EXPECT_EQ(i32[0], 5);
    EXPECT_EQ(i64[2], INT64_MIN);
}

TEST_F(FlatGettersTest, ANullOutPointerIsAnInvalidArgument) {
    ASSERT_EQ(LogOn(), kSuccess);
    Preset();
    EXPECT_EQ(GetPortsCount(nullptr), kInvalidArgument);
    EXPECT_EQ(GetPortProperties(3, &i32[0], &t[0], &i32[1], nullptr, &t[1]), kInvalidArgument);
    EXPECT_EQ(GetDeviceDetails(3, -1, &t[0], nullptr, &t[1]), kInvalidArgument);
    EXPECT_EQ(GetProductByOrdinal(1, nullptr, -1, 0, 0, 0, 0, -1), kInvalidArgument);
    EXPECT_TRUE(Untouched());
    EXPECT_EQ(station.Calls().back(),
              (RecordedCall{"GetProductByOrdinal", {1, -1, 0, 0, 0, 0, -1}}));
}

TEST(DefaultStationTest, TheProcessWideStationIsTheSampleStation) {
    BSTR server = SysAllocString(u"127.0.0.1");
    ASSERT_EQ(ClientLogonEx(110, 5, server, 5123, 5124, 10000, 0, 0, 1024), kSuccess);
    SysFreeString(server);
    std::int32_t ports = 0;
    std::int32_t clients = 0;
    EXPECT_EQ(GetPortsCount(&ports), kSuccess);
    EXPECT_EQ(GetCardClientsCount(&clients), kSuccess);
    EXPECT_EQ(ClientLogoff(), kSuccess);
    EXPECT_EQ(ports, 6);
    EXPECT_EQ(clients, 50);
}

}  // namespace
