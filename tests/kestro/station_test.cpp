// The station model's logon family: logon state, recording of every call, faults and the
// texts it hands out.
#include "kestro/model/station.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kestro/model/result_codes.h"

namespace {

using kestro::RecordedCall;
using kestro::Station;
using namespace std::string_literals;

std::int32_t LogOn(Station& station, std::u16string_view server = u"127.0.0.1",
                   std::int32_t callPort = 5123, std::int32_t eventsPort = 5124,
                   std::int32_t callTimeout = 10000) {
    return station.ClientLogonEx(110, 5, server, callPort, eventsPort, callTimeout, 0, 0, 1024);
}

TEST(StationTest, CallsBeforeLogonAnswerNotLoggedOn) {
    Station station;
    std::u16string text = u"untouched";
    EXPECT_EQ(station.SetClientType(7), kestro::kNotLoggedOn);
    EXPECT_EQ(station.ClientLogoff(), kestro::kNotLoggedOn);
    EXPECT_EQ(station.ServerVersion(&text), kestro::kNotLoggedOn);
    EXPECT_EQ(station.NotSupported({"GetPortsCount", {}}), kestro::kNotLoggedOn);
    EXPECT_EQ(text, u"untouched");
    EXPECT_FALSE(station.ClientType());
}

TEST(StationTest, LibraryCallsWorkWithoutLogon) {
    Station station;
    std::u16string text;
    EXPECT_EQ(station.ResultString(kestro::kTimeOut, &text), kestro::kSuccess);
    EXPECT_EQ(text, u"time-out");
    EXPECT_EQ(station.DllVersion(&text), kestro::kSuccess);
    EXPECT_EQ(text, u"Kestro client 4.2.1 (in-process station model)");
}

TEST(StationTest, LogonKeepsItsSettingsUntilLogoff) {
    Station station;
    ASSERT_EQ(station.ClientLogonEx(110, 5, u"10.0.0.5", 5123, 5124, 10000, 1, 2, 1024),
              kestro::kSuccess);
    ASSERT_TRUE(station.LoggedOn());
    EXPECT_EQ(*station.Logon(),
              (kestro::LogonSettings{110, 5, u"10.0.0.5", 5123, 5124, 10000, 1, 2, 1024}));
    EXPECT_EQ(station.SetClientType(0x3B9E6C15), kestro::kSuccess);
    EXPECT_EQ(station.ClientType(), 0x3B9E6C15);
    std::u16string text;
    EXPECT_EQ(station.ServerVersion(&text), kestro::kSuccess);
    EXPECT_EQ(text, u"Kestro station model 4.2.1");

    EXPECT_EQ(station.ClientLogoff(), kestro::kSuccess);
    EXPECT_FALSE(station.LoggedOn());
    EXPECT_EQ(station.Logon(), nullptr);
    EXPECT_FALSE(station.ClientType());
    EXPECT_EQ(station.ClientLogoff(), kestro::kNotLoggedOn);
}

TEST(StationTest, SecondLogonIsRefusedUntilLogoff) {
    Station station;
    ASSERT_EQ(LogOn(station), kestro::kSuccess);
    EXPECT_EQ(LogOn(station, u"10.0.0.9"), kestro::kAlreadyLoggedOn);
    EXPECT_EQ(station.Logon()->serverName, u"127.0.0.1");
    ASSERT_EQ(station.ClientLogoff(), kestro::kSuccess);
    EXPECT_EQ(LogOn(station, u"10.0.0.9"), kestro::kSuccess);
}

TEST(StationTest, LogonRefusesValuesItCannotUse) {
    struct Row {
        const char* what;
        std::u16string server;
        std::int32_t callPort, eventsPort, callTimeout;
    };
    const Row rows[] = {
        {"empty server name", u"", 5123, 5124, 10000},
        {"call port 0", u"127.0.0.1", 0, 5124, 10000},
        {"events port 65536", u"127.0.0.1", 5123, 65536, 10000},
        {"negative call port", u"127.0.0.1", -5123, 5124, 10000},
        {"zero time-out", u"127.0.0.1", 5123, 5124, 0},
    };
    for (const Row& row : rows) {
        Station station;
        EXPECT_EQ(LogOn(station, row.server, row.callPort, row.eventsPort, row.callTimeout),
                  kestro::kInvalidArgument)
            << row.what;
        EXPECT_FALSE(station.LoggedOn()) << row.what;
    }
    Station edges;
    EXPECT_EQ(LogOn(edges, u"h", 1, 65535, 1), kestro::kSuccess);
}

TEST(StationTest, EveryCallIsRecordedInOrderWithItsValues) {
    Station station;
    std::u16string text;
    station.SetClientType(9);
    LogOn(station, u"depot");
    station.SetClientType(0x3B9E6C15);
    station.ResultString(-21, &text);
    station.ResultString(3, nullptr);
    station.DllVersion(&text);
    station.ServerVersion(&text);
    station.NotSupported({"SetGradePrice", {4, std::int16_t{2}, 1.599}});
    station.ClientLogoff();
    const std::vector<RecordedCall> expected = {
        {"SetClientType", {9}},
        {"ClientLogonEx", {110, 5, u"depot"s, 5123, 5124, 10000, 0, 0, 1024}},
        {"SetClientType", {0x3B9E6C15}},
        {"ResultString", {-21}},
        {"ResultString", {3}},
        {"DllVersion", {}},
        {"ServerVersion", {}},
        {"SetGradePrice", {4, std::int16_t{2}, 1.599}},
        {"ClientLogoff", {}},
    };
    EXPECT_EQ(station.Calls(), expected);
    station.ClearCalls();
    EXPECT_TRUE(station.CallNames().empty());
}

TEST(StationTest, NullOutPointersAnswerInvalidArgument) {
    Station station;
    ASSERT_EQ(LogOn(station), kestro::kSuccess);
    EXPECT_EQ(station.ResultString(0, nullptr), kestro::kInvalidArgument);
    EXPECT_EQ(station.DllVersion(nullptr), kestro::kInvalidArgument);
    EXPECT_EQ(station.ServerVersion(nullptr), kestro::kInvalidArgument);
}

TEST(StationTest, UnservedCallsAnswerCallNotSupportedOnceLoggedOn) {
    Station station;
    ASSERT_EQ(LogOn(station), kestro::kSuccess);
    EXPECT_EQ(station.NotSupported({"GetPumpsCount", {}}), kestro::kCallNotSupported);
    EXPECT_EQ(station.CallNames().back(), "GetPumpsCount");
}

TEST(StationTest, TextsCanBeSetPerStation) {
    Station station;
    station.SetDllVersionText(u"Kestro client 9.9");
    station.SetServerVersionText(u"Kestro server 9.9");
    station.SetResultText(kestro::kTimeOut, u"tempo esgotado");
    station.SetResultText(600, u"pump jammed");
    std::u16string text;
    ASSERT_EQ(LogOn(station), kestro::kSuccess);
    station.DllVersion(&text);
    EXPECT_EQ(text, u"Kestro client 9.9");
    station.ServerVersion(&text);
    EXPECT_EQ(text, u"Kestro server 9.9");
    station.ResultString(kestro::kTimeOut, &text);
    EXPECT_EQ(text, u"tempo esgotado");
    station.ResultString(600, &text);
    EXPECT_EQ(text, u"pump jammed");
    station.ResultString(kestro::kConnectionLost, &text);
    EXPECT_EQ(text, u"connection lost");
}

TEST(StationTest, FaultsComeBeforeLogonStateAndAreRecorded) {
    Station station;
    station.FailCall("ClientLogonEx", kestro::kCannotConnect);
    station.FailCall("DllVersion", kestro::kTimeOut);
    std::u16string text = u"untouched";
    EXPECT_EQ(LogOn(station), kestro::kCannotConnect);
    EXPECT_FALSE(station.LoggedOn());
    EXPECT_EQ(station.DllVersion(&text), kestro::kTimeOut);
    EXPECT_EQ(text, u"untouched");
    EXPECT_EQ(station.CallNames(), (std::vector<std::string>{"ClientLogonEx", "DllVersion"}));

    station.ClearFaults();
    EXPECT_EQ(LogOn(station), kestro::kSuccess);
}

TEST(StationTest, InjectedFaultCanApplyAfterSomeCalls) {
    Station station;
    ASSERT_EQ(LogOn(station), kestro::kSuccess);
    station.InjectFault({.call = "ClientLogoff", .code = kestro::kConnectionLost, .after = 1});
    EXPECT_EQ(station.ClientLogoff(), kestro::kSuccess);
    ASSERT_EQ(LogOn(station), kestro::kSuccess);
    EXPECT_EQ(station.ClientLogoff(), kestro::kConnectionLost);
    EXPECT_TRUE(station.LoggedOn());
    EXPECT_THROW(station.FailCall("ClientLogoff", kestro::kSuccess), std::invalid_argument);
}

}  // namespace
