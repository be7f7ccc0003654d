// The flat interface bound in-process: it acts on the current station, converts BSTRs in
// both directions, and records its calls with the values passed in (the logon family here;
// the configuration getters in flat_getters_test.cpp).
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

}  // namespace
