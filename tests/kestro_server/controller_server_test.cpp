// kestrod's server in-process, driven over loopback by bare wire clients: a logon per
// connection, setters answered only once saved, injected faults, requests that do not fit,
// malformed frames that close only their own connection, the connection limit and stopping.
#include "kestro/server/controller_server.h"

#include <gtest/gtest.h>
#include <sys/socket.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "kestro/model/result_codes.h"
#include "kestro/model/station_generators.h"
#include "kestro/server/server_calls.h"
#include "kestro/server/session.h"
#include "tests/kestro_server/wire_client.h"
#include "tests/support/automation_values.h"
#include "tests/support/temp_folder.h"

namespace {

using kestro::wire::CallCode;
using kestro::wire::FrameKind;
using kestro::wire::FrameWriter;
using server_test::kTransferFailed;
using server_test::WireClient;
using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

class ControllerServerTest : public ::testing::Test {
  protected:
    // Starts a server on the sample station; with `openStore` false its database is not
    // open, so that every save fails.
    void Start(bool openStore = true,
               std::chrono::milliseconds logonTimeout = kestro::server::kLogonTimeout,
               std::chrono::milliseconds idleTimeout = kestro::server::kDefaultIdleTimeout) {
        store_ = std::make_unique<kestro::StationStore>();
        kestro::Configuration configuration = kestro::SampleStation();
        if (openStore) {
            ASSERT_TRUE(store_->Open(Database(), kestro::SampleStation)) << store_->error();
            ASSERT_TRUE(store_->Load(configuration));
        }
        station_ = std::make_unique<kestro::Station>(std::move(configuration));
        served_ = std::make_unique<kestro::server::ServedStation>(*station_, *store_);
        server_ = std::make_unique<kestro::server::ControllerServer>(
            *served_, kestro::server::ServerCallTable());
        server_->SetTimeouts(logonTimeout, idleTimeout);
        std::string error;
        ASSERT_TRUE(server_->Listen("127.0.0.1", 0, 0, error)) << error;
        thread_ = std::thread([this] { server_->Run(stop_); });
    }

    // Stops the server and closes its database.
    void Stop() {
        stop_ = true;
        if (thread_.joinable()) {
            thread_.join();
        }
        server_.reset();
        served_.reset();
        store_.reset();
    }

    void TearDown() override { Stop(); }

    std::string Database() const { return folder_.File("station.db"); }
    std::uint16_t port() const { return server_->callPort(); }

    // A connection that has logged on.
    std::unique_ptr<WireClient> LoggedOn() {
        auto client = std::make_unique<WireClient>("127.0.0.1", port());
        EXPECT_EQ(client->LogOn(), 0);
        return client;
    }

    test_support::TempFolder folder_{"server"};
    std::unique_ptr<kestro::StationStore> store_;
    std::unique_ptr<kestro::Station> station_;
    std::unique_ptr<kestro::server::ServedStation> served_;
    std::unique_ptr<kestro::server::ControllerServer> server_;
    std::atomic<bool> stop_ = false;
    std::thread thread_;
};

std::int32_t PortsCount(WireClient& client, std::int32_t& count) {
    return client.Call<CallCode::GetPortsCount>(&count);
}

using test_variants::BstrUnits;

bool PortsCountWorks(WireClient& client) {
    std::int32_t count = -1;
    return PortsCount(client, count) == 0 && count == 6;
}

TEST_F(ControllerServerTest, EachConnectionKeepsItsOwnLogon) {
    Start();
    WireClient first("127.0.0.1", port());
    WireClient second("127.0.0.1", port());
    std::int32_t count = -1;
    EXPECT_EQ(PortsCount(first, count), kestro::kNotLoggedOn);
    ASSERT_EQ(first.LogOn(), 0);
    EXPECT_EQ(first.LogOn(), kestro::kAlreadyLoggedOn);
    EXPECT_EQ(PortsCount(first, count), 0);
    EXPECT_EQ(count, 6);
    EXPECT_EQ(PortsCount(second, count), kestro::kNotLoggedOn);
    EXPECT_EQ(second.Call<CallCode::SetClientType>(std::int32_t{1}), kestro::kNotLoggedOn);

    ASSERT_EQ(second.LogOn(), 0);
    EXPECT_EQ(first.Call<CallCode::ClientLogoff>(), 0);
    EXPECT_EQ(PortsCount(first, count), kestro::kNotLoggedOn);
    EXPECT_EQ(PortsCount(second, count), 0);
    BSTR version = nullptr;
    EXPECT_EQ(second.Call<CallCode::ServerVersion>(&version), 0);
    EXPECT_EQ(BstrUnits(version), u"Kestro controller server 4.2.1 (kestrod 23.01)");
    SysFreeString(version);
    // The texts of the station's codes are served too; a client library's version is not.
    BSTR text = nullptr;
    EXPECT_EQ(first.Call<CallCode::ResultString>(kestro::kRecordNotFound, &text), 0);
    EXPECT_EQ(BstrUnits(text), u"record not found");
    SysFreeString(text);
    EXPECT_EQ(second.Call<CallCode::DllVersion>(&text), kestro::kCallNotServed);
}

TEST_F(ControllerServerTest, ASetterAnswersOnlyOnceItsRecordIsSaved) {
    Start();
    auto client = LoggedOn();
    BSTR name = SysAllocString(u"P\u00e3o de queijo");
    EXPECT_EQ(client->Call<CallCode::SetProductProperties>(std::int32_t{21}, std::int32_t{21}, name,
                                                           nullptr, std::int16_t{1}, nullptr,
                                                           nullptr, 4.5, 5.0, std::int32_t{3}),
              0);
    SysFreeString(name);
    EXPECT_EQ(client->Call<CallCode::SetGradePrice>(std::int32_t{2}, std::int16_t{3}, 6.789), 0);
    Stop();

    kestro::StationStore reopened;
    ASSERT_TRUE(reopened.Open(Database(), kestro::EmptyStation)) << reopened.error();
    kestro::Configuration saved;
    ASSERT_TRUE(reopened.Load(saved));
    const kestro::ProductRecord* product = saved.products.Find(21);
    ASSERT_NE(product, nullptr);
    EXPECT_EQ(product->name, u"P\u00e3o de queijo");
    EXPECT_EQ(product->price1, 4.5);
    EXPECT_EQ(product->productGroup, 3);
    EXPECT_EQ(saved.grades.Find(2)->prices[2], 6.789);
    EXPECT_EQ(saved.products.Count(), 21);
}

TEST_F(ControllerServerTest, AChangeThatCannotBeSavedIsAnsweredNotSavedAndUndone) {
    Start(false);
    auto client = LoggedOn();
    BSTR name = SysAllocString(u"Renamed");
    EXPECT_EQ(client->Call<CallCode::SetGradePropertiesEx>(std::int32_t{1}, std::int32_t{1}, name,
                                                           nullptr, nullptr, std::int16_t{1}),
              kestro::kNotSaved);
    EXPECT_EQ(client->Call<CallCode::SetGradePropertiesEx>(std::int32_t{9}, std::int32_t{9}, name,
                                                           nullptr, nullptr, std::int16_t{1}),
              kestro::kNotSaved);
    SysFreeString(name);
    EXPECT_EQ(client->Call<CallCode::SetGradePrice>(std::int32_t{1}, std::int16_t{1}, 1.0),
              kestro::kNotSaved);

    std::int32_t count = -1;
    EXPECT_EQ(client->Call<CallCode::GetGradesCount>(&count), 0);
    EXPECT_EQ(count, 4);
    std::int32_t number = 0;
    BSTR stored = nullptr, shortName = nullptr, code = nullptr;
    std::int16_t type = 0;
    ASSERT_EQ(client->Call<CallCode::GetGradePropertiesEx>(std::int32_t{1}, &number, &stored,
                                                           &shortName, &code, &type),
              0);
    EXPECT_EQ(BstrUnits(stored), u"Gasolina Comum");
    SysFreeString(stored);
    SysFreeString(shortName);
    SysFreeString(code);
    double price = 0;
    EXPECT_EQ(client->Call<CallCode::GetGradePrice>(std::int32_t{1}, std::int16_t{1}, &price), 0);
    EXPECT_EQ(price, 5.899);
}

TEST_F(ControllerServerTest, InjectedFaultsAnswerTheirCodes) {
    Start();
    served_->InjectFault({.call = "ServerVersion", .code = 31});
    served_->InjectFault({.call = "GetGradePrice", .code = 32, .record = 2});
    auto client = LoggedOn();
    BSTR version = nullptr;
    EXPECT_EQ(client->Call<CallCode::ServerVersion>(&version), 31);
    EXPECT_EQ(version, nullptr);
    double price = 0;
    EXPECT_EQ(client->Call<CallCode::GetGradePrice>(std::int32_t{1}, std::int16_t{1}, &price), 0);
    EXPECT_EQ(client->Call<CallCode::GetGradePrice>(std::int32_t{2}, std::int16_t{1}, &price), 32);

    served_->InjectFault({.call = "ClientLogonEx", .code = 33});
    WireClient refused("127.0.0.1", port());
    EXPECT_EQ(refused.LogOn(), 33);
    std::int32_t count = -1;
    EXPECT_EQ(PortsCount(refused, count), kestro::kNotLoggedOn);
}

Bytes Frame(FrameKind kind, std::uint16_t call, const std::function<void(FrameWriter&)>& fill) {
    FrameWriter writer(kind, call, 1);
    fill(writer);
    Bytes frame;
    EXPECT_EQ(writer.Finish(frame), kestro::wire::WireError::kNone);
    return frame;
}

TEST_F(ControllerServerTest, RequestsThatDoNotFitAreAnsweredAndTheConnectionGoesOn) {
    Start();
    auto client = LoggedOn();
    struct Row {
        const char* what;
        Bytes request;
        std::int32_t result;
    };
    const Row rows[] = {
        {"an extra value", Frame(FrameKind::kRequest, 10, [](FrameWriter& w) { w.AddInt32(1); }),
         kestro::kMalformedRequest},
        {"a value of the wrong type",
         Frame(FrameKind::kRequest, 11, [](FrameWriter& w) { w.AddDouble(1); }),
         kestro::kMalformedRequest},
        {"no call has the code", Frame(FrameKind::kRequest, 999, [](FrameWriter&) {}),
         kestro::kCallNotServed},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ASSERT_TRUE(client->Send(row.request));
        Bytes answer;
        ASSERT_TRUE(client->Receive(answer).ok());
        kestro::wire::FrameHeader header;
        ASSERT_EQ(kestro::wire::DecodeHeader(answer, header), kestro::wire::WireError::kNone);
        EXPECT_EQ(header.kind, FrameKind::kResponse);
        EXPECT_EQ(header.result, row.result);
        std::int32_t count = -1;
        EXPECT_EQ(PortsCount(*client, count), 0);
        EXPECT_EQ(count, 6);
    }
}

TEST_F(ControllerServerTest, AMalformedFrameClosesOnlyItsOwnConnection) {
    Start();
    auto bystander = LoggedOn();
    Bytes good = Frame(FrameKind::kRequest, 10, [](FrameWriter&) {});
    struct Row {
        const char* what;
        Bytes bytes;
        bool thenHalfClose;  // the client then stops sending, inside the frame
    };
    Bytes badVersion = good;
    badVersion[4] = 2;
    Bytes oversized = good;
    oversized[22] = 0x20;  // announces a 2 MB payload
    Bytes truncated = Frame(FrameKind::kRequest, 13, [](FrameWriter& w) {
        w.AddInt32(1);
        w.AddString(u"Bombas");
    });
    truncated.resize(truncated.size() - 3);
    const Row rows[] = {
        {"bytes of no frame", Bytes(30, 'x'), false},
        {"another protocol version", badVersion, false},
        {"an answer instead of a request", Frame(FrameKind::kResponse, 10, [](FrameWriter&) {}),
         false},
        {"a payload above the bound", oversized, false},
        {"a frame cut short", truncated, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        WireClient bad("127.0.0.1", port());
        ASSERT_TRUE(bad.LogOn() == 0);
        ASSERT_TRUE(bad.Send(row.bytes));
        if (row.thenHalfClose) {
            shutdown(bad.socket().descriptor(), SHUT_WR);
        }
        EXPECT_TRUE(bad.ClosedByServer());
        std::int32_t count = -1;
        EXPECT_EQ(PortsCount(*bystander, count), 0);
        EXPECT_EQ(count, 6);
    }
}

TEST_F(ControllerServerTest, ConnectionsBeyondTheLimitAreClosedAtOnce) {
    Start();
    std::vector<std::unique_ptr<WireClient>> open;
    for (int i = 0; i < kestro::server::kMaxConnections; ++i) {
        open.push_back(std::make_unique<WireClient>("127.0.0.1", port()));
    }
    WireClient refused("127.0.0.1", port());
    EXPECT_TRUE(refused.ClosedByServer(2000));
    std::int32_t count = -1;
    EXPECT_EQ(open.back()->LogOn(), 0);
    EXPECT_EQ(PortsCount(*open.back(), count), 0);

    open.front().reset();
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    bool served = false;
    while (!served && Clock::now() < deadline) {
        WireClient next("127.0.0.1", port());
        served = next.LogOn() == 0;
    }
    EXPECT_TRUE(served) << "a closed connection never made room for a new one";
}

TEST_F(ControllerServerTest, ConnectionsThatNeverLogOnOrFallSilentMakeRoomAgain) {
    using std::chrono::milliseconds;
    Start(true, milliseconds(300), milliseconds(600));
    // 100 connections that send nothing: 64 are served, the rest closed at once.
    std::vector<std::unique_ptr<WireClient>> idle;
    for (int i = 0; i < 100; ++i) {
        idle.push_back(std::make_unique<WireClient>("127.0.0.1", port()));
    }
    WireClient refused("127.0.0.1", port());  // while the idle ones hold every place
    EXPECT_TRUE(refused.ClosedByServer(2000));

    // Once the logon time has passed the places are free: a client logs on and is served.
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    std::unique_ptr<WireClient> client;
    while (Clock::now() < deadline) {
        client = std::make_unique<WireClient>("127.0.0.1", port());
        if (client->LogOn() == 0) {
            break;
        }
        client.reset();
        std::this_thread::sleep_for(milliseconds(20));
    }
    ASSERT_TRUE(client) << "idle connections kept every place";
    EXPECT_TRUE(PortsCountWorks(*client));
    for (const auto& connection : idle) {
        EXPECT_TRUE(connection->ClosedByServer(1000));
    }

    // A logged-on client is served while it calls, and closed once silent past the idle time.
    for (int i = 0; i < 4; ++i) {
        std::this_thread::sleep_for(milliseconds(200));
        EXPECT_TRUE(PortsCountWorks(*client));
    }
    const auto before = Clock::now();
    EXPECT_TRUE(client->ClosedByServer(3000));
    EXPECT_GE(Clock::now() - before, milliseconds(400));
}

TEST_F(ControllerServerTest, StoppingEndsTheServerWithConnectionsOpen) {
    Start();
    auto idle = LoggedOn();
    WireClient events("127.0.0.1", server_->eventsPort());
    ASSERT_TRUE(events.connected());
    const auto start = Clock::now();
    Stop();
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count(),
              2000);
    EXPECT_TRUE(idle->ClosedByServer(1000));
    EXPECT_TRUE(events.ClosedByServer(1000));
}

// A connection in the middle of a frame would hold a stop for the rest of the frame's
// time-out (5 s); it is cut off after the stop's grace instead.
TEST_F(ControllerServerTest, StoppingCutsOffAConnectionStuckInAFrame) {
    Start();
    auto stuck = LoggedOn();
    Bytes half = Frame(FrameKind::kRequest, 13, [](FrameWriter& w) {
        w.AddInt32(1);
        w.AddString(u"Bombas");
    });
    half.resize(half.size() / 2);
    ASSERT_TRUE(stuck->Send(half));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));  // the server is inside it
    const auto start = Clock::now();
    Stop();
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count(),
              1500);
    EXPECT_TRUE(stuck->ClosedByServer(1000));
}

TEST(SessionTest, OnlyTheLogonAndTheLibrarysOwnCallsNeedNoLogon) {
    int withoutLogon = 0;
    for (const kestro::wire::CallInfo& call : kestro::wire::kCalls) {
        if (!kestro::server::Session::NeedsLogon(static_cast<std::uint16_t>(call.code))) {
            ++withoutLogon;
            const std::string name = call.name;
            EXPECT_TRUE(name == "ClientLogonEx" || name == "ResultString" || name == "DllVersion")
                << name;
        }
    }
    EXPECT_EQ(withoutLogon, 3);
    EXPECT_FALSE(kestro::server::Session::NeedsLogon(999));
}

}  // namespace
