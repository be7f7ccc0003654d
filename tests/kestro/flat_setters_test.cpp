// The flat interface's setters bound in-process: every argument reaches its own field of the
// stored record, texts are copied out of the caller's BSTRs (a null BSTR is the empty text),
// and each call is recorded with its values.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "client/kestro.h"
#include "kestro/inproc/current_station.h"
#include "kestro/model/result_codes.h"

namespace {

using kestro::CallValue;
using kestro::RecordedCall;
using namespace std::string_literals;
using S = std::int16_t;

class FlatSettersTest : public testing::Test {
  protected:
    void TearDown() override {
        SysFreeString(name);
        SysFreeString(other);
        EXPECT_EQ(SysLiveStringCount(), baselineStrings);
    }

    std::int32_t LogOn() {
        BSTR server = SysAllocString(u"127.0.0.1");
        std::int32_t rc = ClientLogonEx(110, 5, server, 5123, 5124, 10000, 0, 0, 1024);
        SysFreeString(server);
        return rc;
    }

    long baselineStrings = SysLiveStringCount();
    kestro::Station station;
    kestro::ScopedStation use{station};
    BSTR name = SysAllocString(u"Diesel");
    BSTR other = SysAllocString(u"S10");
};

TEST_F(FlatSettersTest, EveryArgumentReachesItsFieldAndIsRecorded) {
    struct Row {
        const char* name;
        std::function<std::int32_t()> call;
        std::vector<CallValue> values;
    };
    // Rows run in order: grade 1 exists when its price is set, pump 1 when its hose is set.
    const Row rows[] = {
        {"SetPortProperties",
         [&] { return SetPortProperties(1, 2, name, 3, 4, other); },
         {1, 2, u"Diesel"s, 3, S{4}, u"S10"s}},
        {"SetGradePropertiesEx",
         [&] { return SetGradePropertiesEx(1, 2, name, other, nullptr, 5); },
         {1, 2, u"Diesel"s, u"S10"s, u""s, S{5}}},
        {"SetGradePrice", [&] { return SetGradePrice(1, 3, 5.199); }, {1, S{3}, 5.199}},
        {"SetTankPropertiesEx2",
         [&] {
             return SetTankPropertiesEx2(1, 2, name, 4, 5, 6.5, 7.5, 8.5, 9.5, 10.5, 11.5, 12.5,
                                         13.5, 14.5, 15.5, 16, 17, 18, 19, 20, 21);
         },
         {1,    2,    u"Diesel"s, 4,    S{5}, 6.5,   7.5, 8.5, 9.5,   10.5, 11.5,
          12.5, 13.5, 14.5,       15.5, 16,   S{17}, 18,  19,  S{20}, 21}},
        {"SetZigBeeProperties",
         [&] { return SetZigBeeProperties(1, 2, name, 4, other, name, 7); },
         {1, 2, u"Diesel"s, S{4}, u"S10"s, u"Diesel"s, 7}},
        {"SetPumpPropertiesEx",
         [&] {
             return SetPumpPropertiesEx(1, 2, name, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16,
                                        17, 18, 19, 20, 21, 22);
         },
         {1,     2,  u"Diesel"s, S{4},  S{5},  S{6},  S{7},  S{8}, S{9}, S{10}, S{11},
          S{12}, 13, 14,         S{15}, S{16}, S{17}, S{18}, 19,   20,   S{21}, S{22}}},
        {"SetHosePropertiesEx2",
         [&] {
             return SetHosePropertiesEx2(1, 2, 1, 4, 5, 6.5, 7.5, 8.5, 9.5, 10, 11.5, 12.5, 13);
         },
         {1, 2, 1, 4, 5, 6.5, 7.5, 8.5, 9.5, S{10}, 11.5, 12.5, S{13}}},
        {"SetSensorPropertiesEx",
         [&] { return SetSensorPropertiesEx(1, 2, name, 4, 5, 6, 7, 8, 9); },
         {1, 2, u"Diesel"s, 4, S{5}, S{6}, S{7}, 8, 9}},
        {"SetAttendantPropertiesEx2",
         [&] {
             return SetAttendantPropertiesEx2(1, 2, name, other, nullptr, name, other, 8, 9, 10, 11,
                                              12);
         },
         {1, 2, u"Diesel"s, u"S10"s, u""s, u"Diesel"s, u"S10"s, S{8}, S{9}, S{10}, S{11}, S{12}}},
        {"SetCardClientPropertiesEx4",
         [&] {
             return SetCardClientPropertiesEx4(1, 2, name, other, 5, 6, name, other, name, other,
                                               11, 12, 13, 14.5, 15, 45123.5, 17, name, 19.5, 20);
         },
         {1,       2,          u"Diesel"s, u"S10"s,    S{5},  S{6},  u"Diesel"s,
          u"S10"s, u"Diesel"s, u"S10"s,    S{11},      S{12}, S{13}, 14.5,
          S{15},   45123.5,    17,         u"Diesel"s, 19.5,  20}},
        {"SetProductProperties",
         [&] { return SetProductProperties(1, 2, name, other, 5, name, other, 8.5, 9.5, 10); },
         {1, 2, u"Diesel"s, u"S10"s, S{5}, u"Diesel"s, u"S10"s, 8.5, 9.5, 10}},
    };
    ASSERT_EQ(std::size(rows), 11u);

    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        station.ClearCalls();
        EXPECT_EQ(row.call(), kestro::kNotLoggedOn);
        ASSERT_EQ(LogOn(), kestro::kSuccess);
        EXPECT_EQ(row.call(), kestro::kSuccess);
        ASSERT_EQ(ClientLogoff(), kestro::kSuccess);

        const RecordedCall expected{row.name, row.values};
        ASSERT_EQ(station.Calls().size(), 4u);
        EXPECT_EQ(station.Calls()[0], expected);
        EXPECT_EQ(station.Calls()[2], expected);
    }

    const std::u16string d = u"Diesel", o = u"S10", e;
    kestro::Configuration expected;
    expected.ports.Put({.id = 1,
                        .number = 2,
                        .name = d,
                        .protocolId = 3,
                        .deviceType = 4,
                        .serialNo = o,
                        .zb2g = {},
                        .details = kestro::DeviceDetails{u"", u"", u""}});
    expected.grades.Put({.id = 1,
                         .number = 2,
                         .name = d,
                         .shortName = o,
                         .code = e,
                         .gradeType = 5,
                         .prices = {0, 0, 5.199, 0, 0, 0, 0, 0}});
    expected.tanks.Put({1,    2,    d,    4,    5,  6.5, 7.5, 8.5, 9.5, 10.5, 11.5,
                        12.5, 13.5, 14.5, 15.5, 16, 17,  18,  19,  20,  21});
    expected.zigBees.Put({.id = 1,
                          .number = 2,
                          .name = d,
                          .deviceType = 4,
                          .serialNumber = o,
                          .nodeIdentifier = d,
                          .portId = 7,
                          .details = kestro::DeviceDetails{u"", u"", u""}});
    expected.pumps.Put(
        {1, 2, d, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22});
    expected.hoses.Put({1, 2, 1, 4, 5, 6.5, 7.5, 8.5, 9.5, 10, 11.5, 12.5, 13});
    expected.sensors.Put({1, 2, d, 4, 5, 6, 7, 8, 9});
    expected.attendants.Put({1, 2, d, o, e, d, o, 8, 9, 10, 11, 12});
    expected.cardClients.Put(
        {1, 2, d, o, 5, 6, d, o, d, o, 11, 12, 13, 14.5, 15, 45123.5, 17, d, 19.5, 20});
    expected.products.Put({1, 2, d, o, 5, d, o, 8.5, 9.5, 10});
    EXPECT_EQ(station.CurrentConfiguration(), expected);
}

}  // namespace
