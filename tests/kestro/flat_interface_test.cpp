// The flat interface bound in-process: it acts on the current station, converts BSTRs in
// both directions, and records every one of its 50 calls with the values passed in.
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
using kestro::ScopedStation;
using kestro::Station;
using namespace std::string_literals;

class FlatInterfaceTest : public testing::Test {
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
    Station station;
    ScopedStation use{station};
    BSTR name = SysAllocString(u"Diesel");
    BSTR other = SysAllocString(u"S10");
};

TEST(CurrentStationTest, ScopedStationsNestAndRestore) {
    Station& fallback = kestro::CurrentStation();
    Station outer;
    {
        ScopedStation useOuter(outer);
        EXPECT_EQ(&kestro::CurrentStation(), &outer);
        Station inner;
        {
            ScopedStation useInner(inner);
            EXPECT_EQ(&kestro::CurrentStation(), &inner);
            ClientLogoff();
            EXPECT_EQ(inner.CallNames(), (std::vector<std::string>{"ClientLogoff"}));
        }
        EXPECT_EQ(&kestro::CurrentStation(), &outer);
    }
    EXPECT_EQ(&kestro::CurrentStation(), &fallback);
    EXPECT_TRUE(outer.Calls().empty());
}

TEST_F(FlatInterfaceTest, LogonPassesTheServerNameAsText) {
    BSTR server = SysAllocStringLen(u"10.0.0.5", 8);
    EXPECT_EQ(ClientLogonEx(110, 5, server, 5123, 5124, 10000, 0, 0, 1024), kestro::kSuccess);
    SysFreeString(server);
    ASSERT_TRUE(station.LoggedOn());
    EXPECT_EQ(station.Logon()->serverName, u"10.0.0.5");
    EXPECT_EQ(SetClientType(0x3B9E6C15), kestro::kSuccess);
    EXPECT_EQ(ClientLogoff(), kestro::kSuccess);
    EXPECT_EQ(station.Calls(),
              (std::vector<RecordedCall>{
                  {"ClientLogonEx", {110, 5, u"10.0.0.5"s, 5123, 5124, 10000, 0, 0, 1024}},
                  {"SetClientType", {0x3B9E6C15}},
                  {"ClientLogoff", {}}}));
}

TEST_F(FlatInterfaceTest, NullServerNameIsTheEmptyTextAndRefused) {
    EXPECT_EQ(ClientLogonEx(110, 5, nullptr, 5123, 5124, 10000, 0, 0, 1024),
              kestro::kInvalidArgument);
    EXPECT_EQ(station.Calls().at(0).values.at(2), CallValue(u""s));
}

TEST_F(FlatInterfaceTest, TextsAreHandedOutAsNewBstrs) {
    ASSERT_EQ(LogOn(), kestro::kSuccess);
    struct Row {
        const char* call;
        std::function<std::int32_t(BSTR*)> get;
        std::u16string expected;
    };
    station.SetResultText(kestro::kTimeOut, u"tempo\u20ac");
    const Row rows[] = {
        {"ResultString", [](BSTR* out) { return ResultString(kestro::kTimeOut, out); },
         u"tempo\u20ac"},
        {"ResultString", [](BSTR* out) { return ResultString(77, out); },
         u"unknown result code 77"},
        {"DllVersion", DllVersion, u"Kestro client 4.2.1 (in-process station model)"},
        {"ServerVersion", ServerVersion, u"Kestro station model 4.2.1"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.call);
        BSTR text = nullptr;
        ASSERT_EQ(row.get(&text), kestro::kSuccess);
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(std::u16string(text, SysStringLen(text)), row.expected);
        SysFreeString(text);

        EXPECT_EQ(row.get(nullptr), kestro::kInvalidArgument);

        // On failure the out-value is left as it was.
        station.FailCall(row.call, kestro::kConnectionLost);
        BSTR sentinel = other;
        EXPECT_EQ(row.get(&sentinel), kestro::kConnectionLost);
        EXPECT_EQ(sentinel, other);
        station.ClearFaults();
    }
}

// One row per configuration setter: how the row calls it and what the station must record.
struct UnservedRow {
    const char* name;
    std::function<std::int32_t()> call;
    std::vector<CallValue> values;
};

TEST_F(FlatInterfaceTest, SettersAreRecordedAndNotSupported) {
    using S = std::int16_t;
    const UnservedRow rows[] = {
        {"SetPortProperties",
         [&] { return SetPortProperties(1, 2, name, 3, 4, other); },
         {1, 2, u"Diesel"s, 3, S{4}, u"S10"s}},
        {"SetGradePropertiesEx",
         [&] { return SetGradePropertiesEx(1, 2, name, other, nullptr, 5); },
         {1, 2, u"Diesel"s, u"S10"s, u""s, S{5}}},
        {"SetGradePrice", [&] { return SetGradePrice(9, 3, 5.199); }, {9, S{3}, 5.199}},
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
             return SetHosePropertiesEx2(1, 2, 3, 4, 5, 6.5, 7.5, 8.5, 9.5, 10, 11.5, 12.5, 13);
         },
         {1, 2, 3, 4, 5, 6.5, 7.5, 8.5, 9.5, S{10}, 11.5, 12.5, S{13}}},
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

    for (const UnservedRow& row : rows) {
        SCOPED_TRACE(row.name);
        station.ClearCalls();
        EXPECT_EQ(row.call(), kestro::kNotLoggedOn);
        ASSERT_EQ(LogOn(), kestro::kSuccess);
        EXPECT_EQ(row.call(), kestro::kCallNotSupported);
        ASSERT_EQ(ClientLogoff(), kestro::kSuccess);

        const RecordedCall expected{row.name, row.values};
        ASSERT_EQ(station.Calls().size(), 4u);
        EXPECT_EQ(station.Calls()[0], expected);
        EXPECT_EQ(station.Calls()[2], expected);
    }
}

}  // namespace
