// libkestro's link to its server: the logon, the results of calls made outside a logon, and
// a clear answer, never a hang, when the server is absent, stays silent, hangs up or
// answers garbage; after any failed transfer the connection is gone for good.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <climits>
#include <string>
#include <vector>

#include "client/kestro.h"
#include "kestro/model/result_codes.h"
#include "kestro/wire/marshal.h"
#include "tests/kestro_client/fake_server.h"
#include "tests/support/automation_values.h"

namespace {

using client_test::AcceptLogon;
using client_test::Bytes;
using client_test::FakeServer;
using client_test::NextRequest;
using kestro::wire::CallCode;
using kestro::wire::EncodeBareResponse;
using kestro::wire::FrameHeader;
using kestro::wire::FrameKind;
using kestro::wire::FrameWriter;
using kestro::wire::SendFrame;
using kestro::wire::Socket;
using Clock = std::chrono::steady_clock;

constexpr std::int32_t kSentinel = -12345;

using test_variants::BstrUnits;

std::int32_t LogOn(std::int32_t port, std::int32_t timeoutMs = 2000,
                   const char16_t* server = u"127.0.0.1") {
    BSTR name = SysAllocString(server);
    std::int32_t rc = ClientLogonEx(110, 5, name, port, 5124, timeoutMs, 0, 0, 1024);
    SysFreeString(name);
    return rc;
}

long MillisecondsSince(Clock::time_point start) {
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

// Every test leaves the process's one link logged off.
class ClientLinkTest : public ::testing::Test {
  protected:
    void TearDown() override { ClientLogoff(); }
};

TEST_F(ClientLinkTest, ResultStringHasATextForEveryCodeTheLibraryAnswers) {
    struct Row {
        std::int32_t code;
        const char16_t* text;
    };
    const Row rows[] = {
        {kestro::kSuccess, u"success"},
        {kestro::kCannotConnect, u"cannot connect"},
        {kestro::kTimeOut, u"time-out"},
        {kestro::kConnectionLost, u"connection lost"},
        {kestro::kNotLoggedOn, u"not logged on"},
        {kestro::kAlreadyLoggedOn, u"already logged on"},
        {kestro::kInvalidArgument, u"invalid argument"},
        {kestro::kInvalidAnswer, u"invalid answer from the server"},
        {kestro::kNotSaved, u"change not saved by the server"},
        {kestro::kMalformedRequest, u"request does not fit the call"},
        {kestro::kCallNotServed, u"call not served by the server"},
        {kestro::kAnswerTooLarge, u"answer too large"},
        {INT_MIN, u"unknown result code -2147483648"},
    };
    for (const Row& row : rows) {
        BSTR text = nullptr;
        EXPECT_EQ(ResultString(row.code, &text), 0);
        EXPECT_EQ(BstrUnits(text), row.text) << row.code;
        SysFreeString(text);
    }
    EXPECT_EQ(ResultString(0, nullptr), kestro::kInvalidArgument);
}

TEST_F(ClientLinkTest, WithoutALogonOnlyTheLibrarysOwnCallsAnswer) {
    BSTR version = nullptr;
    ASSERT_EQ(DllVersion(&version), 0);
    EXPECT_EQ(BstrUnits(version), u"Kestro client library 4.2.1 (libkestro, protocol 1)");
    SysFreeString(version);
    EXPECT_EQ(DllVersion(nullptr), kestro::kInvalidArgument);

    std::int32_t count = kSentinel;
    EXPECT_EQ(GetPortsCount(&count), kestro::kNotLoggedOn);
    EXPECT_EQ(count, kSentinel);
    BSTR server = nullptr;
    EXPECT_EQ(ServerVersion(&server), kestro::kNotLoggedOn);
    EXPECT_EQ(server, nullptr);
    EXPECT_EQ(SetClientType(0x3B9E6C15), kestro::kNotLoggedOn);
    EXPECT_EQ(ClientLogoff(), kestro::kNotLoggedOn);
}

TEST_F(ClientLinkTest, LogonValuesOutOfRangeAreRefusedBeforeConnecting) {
    FakeServer server([](const Socket&) {});
    const std::int32_t port = server.port();
    struct Row {
        const char16_t* name;  // null: a null BSTR
        std::int32_t callPort;
        std::int32_t eventsPort;
        std::int32_t timeout;
    };
    const Row rows[] = {
        {nullptr, port, 5124, 1000},   {u"", port, 5124, 1000},
        {u"127.0.0.1", 0, 5124, 1000}, {u"127.0.0.1", 65536, 5124, 1000},
        {u"127.0.0.1", port, 0, 1000}, {u"127.0.0.1", port, -1, 1000},
        {u"127.0.0.1", port, 5124, 0},
    };
    for (const Row& row : rows) {
        BSTR name = row.name != nullptr ? SysAllocString(row.name) : nullptr;
        EXPECT_EQ(
            ClientLogonEx(110, 5, name, row.callPort, row.eventsPort, row.timeout, 0, 0, 1024),
            kestro::kInvalidArgument)
            << row.callPort << " " << row.eventsPort << " " << row.timeout;
        SysFreeString(name);
    }
    EXPECT_EQ(server.accepted(), 0);
}

TEST_F(ClientLinkTest, AnAbsentServerAnswersCannotConnectAtOnce) {
    std::int32_t port = 0;
    {
        FakeServer gone([](const Socket&) {});
        port = gone.port();
    }
    const auto start = Clock::now();
    EXPECT_EQ(LogOn(port, 10000), kestro::kCannotConnect);
    EXPECT_LT(MillisecondsSince(start), 2000);
    // A name no resolver can hold fails the same way, without asking one.
    EXPECT_EQ(LogOn(port, 10000, u"caf\u00e9.example"), kestro::kCannotConnect);
    std::int32_t count = kSentinel;
    EXPECT_EQ(GetPortsCount(&count), kestro::kNotLoggedOn);
}

TEST_F(ClientLinkTest, ASilentServerTimesOutTheLogonWithinTheCallTimeOut) {
    FakeServer server([](const Socket& socket) {
        Bytes request;
        FrameHeader header;
        NextRequest(socket, request, header);
        NextRequest(socket, request, header, 3000);  // until the client hangs up
    });
    const auto start = Clock::now();
    EXPECT_EQ(LogOn(server.port(), 300), kestro::kTimeOut);
    const long waited = MillisecondsSince(start);
    EXPECT_GE(waited, 250);
    EXPECT_LT(waited, 2000);
    std::int32_t count = kSentinel;
    EXPECT_EQ(GetPortsCount(&count), kestro::kNotLoggedOn);
}

TEST_F(ClientLinkTest, AServerRefusingTheLogonLeavesTheLinkLoggedOff) {
    FakeServer server([](const Socket& socket) {
        Bytes request;
        FrameHeader header;
        if (NextRequest(socket, request, header)) {
            SendFrame(socket, EncodeBareResponse(header.call, header.sequence, 42), 1000);
        }
    });
    EXPECT_EQ(LogOn(server.port()), 42);
    EXPECT_EQ(SetClientType(1), kestro::kNotLoggedOn);
    EXPECT_EQ(ClientLogoff(), kestro::kNotLoggedOn);
}

TEST_F(ClientLinkTest, ASecondLogonIsRefusedWhileTheFirstLasts) {
    FakeServer server([](const Socket& socket) {
        AcceptLogon(socket);
        Bytes request;
        FrameHeader header;
        NextRequest(socket, request, header);  // the logoff, unanswered: the client hangs up
    });
    ASSERT_EQ(LogOn(server.port()), 0);
    EXPECT_EQ(LogOn(server.port()), kestro::kAlreadyLoggedOn);
    EXPECT_EQ(server.accepted(), 1);
    // The logoff closes the connection even when the server does not answer it.
    EXPECT_EQ(ClientLogoff(), kestro::kConnectionLost);
}

TEST_F(ClientLinkTest, AServerThatStopsAnsweringTimesOutAndTheConnectionIsGone) {
    FakeServer server([](const Socket& socket) {
        AcceptLogon(socket);
        Bytes request;
        FrameHeader header;
        NextRequest(socket, request, header);
        NextRequest(socket, request, header, 3000);
    });
    ASSERT_EQ(LogOn(server.port(), 300), 0);
    std::int32_t count = kSentinel;
    const auto start = Clock::now();
    EXPECT_EQ(GetPortsCount(&count), kestro::kTimeOut);
    EXPECT_LT(MillisecondsSince(start), 2000);
    EXPECT_EQ(count, kSentinel);
    // The answer might still come: the stream is out of step, so no further call is sent.
    EXPECT_EQ(GetPortsCount(&count), kestro::kConnectionLost);
    EXPECT_EQ(ClientLogoff(), kestro::kConnectionLost);
    EXPECT_EQ(ClientLogoff(), kestro::kNotLoggedOn);
}

TEST_F(ClientLinkTest, AServerThatHangsUpMidAnswerLosesTheConnection) {
    FakeServer server([](const Socket& socket) {
        AcceptLogon(socket);
        Bytes request;
        FrameHeader header;
        if (NextRequest(socket, request, header)) {
            Bytes answer = EncodeBareResponse(header.call, header.sequence, 0);
            answer.resize(10);
            SendFrame(socket, answer, 1000);
        }
    });
    ASSERT_EQ(LogOn(server.port()), 0);
    std::int32_t count = kSentinel;
    EXPECT_EQ(GetPortsCount(&count), kestro::kConnectionLost);
    EXPECT_EQ(count, kSentinel);
    EXPECT_EQ(SetClientType(1), kestro::kConnectionLost);
    EXPECT_EQ(ClientLogoff(), kestro::kConnectionLost);

    // A new logon starts afresh.
    FakeServer next([](const Socket& socket) {
        AcceptLogon(socket);
        client_test::ServeWith(kestro::wire::CallTable{}, socket);
    });
    EXPECT_EQ(LogOn(next.port()), 0);
    EXPECT_EQ(GetPortsCount(&count), kestro::kCallNotServed);
    EXPECT_EQ(ClientLogoff(), kestro::kCallNotServed);
}

// The answer a broken server gives to the request with `header`.
using BadAnswer = Bytes (*)(const FrameHeader& header);

Bytes Finished(FrameWriter& writer) {
    Bytes frame;
    EXPECT_EQ(writer.Finish(frame), kestro::wire::WireError::kNone);
    return frame;
}

TEST_F(ClientLinkTest, GarbageAnswersAreRefusedAndEndTheConnection) {
    struct Row {
        const char* what;
        BadAnswer answer;
    };
    static const Row rows[] = {
        {"bytes of no frame", [](const FrameHeader&) { return Bytes(40, 0xAB); }},
        {"another sequence number",
         [](const FrameHeader& h) { return EncodeBareResponse(h.call, h.sequence + 1, 6); }},
        {"another call",
         [](const FrameHeader& h) {
             return EncodeBareResponse(static_cast<std::uint16_t>(h.call + 1), h.sequence, 6);
         }},
        {"a request instead of an answer",
         [](const FrameHeader& h) {
             FrameWriter writer(FrameKind::kRequest, h.call, h.sequence);
             return Finished(writer);
         }},
        {"success without out-values",
         [](const FrameHeader& h) { return EncodeBareResponse(h.call, h.sequence, 0); }},
        {"a failure with values",
         [](const FrameHeader& h) {
             FrameWriter writer(FrameKind::kResponse, h.call, h.sequence, 6);
             writer.AddInt32(1);
             return Finished(writer);
         }},
        {"out-values of the wrong types",
         [](const FrameHeader& h) {
             FrameWriter writer(FrameKind::kResponse, h.call, h.sequence, 0);
             for (int i = 0; i < 5; ++i) {
                 writer.AddDouble(i);
             }
             return Finished(writer);
         }},
        {"a header announcing 2 MB",
         [](const FrameHeader& h) {
             Bytes frame = EncodeBareResponse(h.call, h.sequence, 0);
             frame[22] = 0x20;  // payload length 0x00200000
             return frame;
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const BadAnswer answer = row.answer;
        FakeServer server([answer](const Socket& socket) {
            AcceptLogon(socket);
            Bytes request;
            FrameHeader header;
            if (NextRequest(socket, request, header)) {
                SendFrame(socket, answer(header), 1000);
                NextRequest(socket, request, header, 3000);  // until the client hangs up
            }
        });
        ASSERT_EQ(LogOn(server.port()), 0);
        std::int32_t number = kSentinel;
        std::int32_t protocol = kSentinel;
        std::int16_t deviceType = -7;
        BSTR name = nullptr;
        BSTR serial = nullptr;
        const auto start = Clock::now();
        EXPECT_EQ(GetPortProperties(1, &number, &name, &protocol, &deviceType, &serial),
                  kestro::kInvalidAnswer);
        EXPECT_LT(MillisecondsSince(start), 1500);
        EXPECT_EQ(number, kSentinel);
        EXPECT_EQ(protocol, kSentinel);
        EXPECT_EQ(deviceType, -7);
        EXPECT_EQ(name, nullptr);
        EXPECT_EQ(serial, nullptr);
        EXPECT_EQ(GetPortsCount(&number), kestro::kConnectionLost);
        EXPECT_EQ(ClientLogoff(), kestro::kConnectionLost);
    }
}

std::int32_t PortOneFailsPortTwoAnswers(std::int32_t portId, std::int32_t* number, BSTR* name,
                                        std::int32_t* protocolId, std::int16_t* deviceType,
                                        BSTR* serialNo) {
    if (portId != 2) {
        *number = 99;  // written, yet the failure must keep it from the client
        return kestro::kRecordNotFound;
    }
    *number = 2;
    *name = SysAllocString(u"Bombas ilha 2");
    *protocolId = 7;
    *deviceType = -3;
    *serialNo = nullptr;
    return 0;
}

std::atomic<int> requestsSeen = 0;

std::int32_t CountedSetPortProperties(std::int32_t, std::int32_t, BSTR, std::int32_t, std::int16_t,
                                      BSTR) {
    ++requestsSeen;
    return 0;
}

TEST_F(ClientLinkTest, OutValuesAreWrittenOnlyOnSuccessAndBadArgumentsAreNeverSent) {
    FakeServer server([](const Socket& socket) {
        AcceptLogon(socket);
        kestro::wire::CallTable table;
        table.GetPortProperties = &PortOneFailsPortTwoAnswers;
        table.SetPortProperties = &CountedSetPortProperties;
        client_test::ServeWith(table, socket);
    });
    ASSERT_EQ(LogOn(server.port()), 0);
    std::int32_t number = kSentinel;
    std::int32_t protocol = kSentinel;
    std::int16_t deviceType = -7;
    BSTR name = nullptr;
    BSTR serial = SysAllocString(u"kept");
    EXPECT_EQ(GetPortProperties(1, &number, &name, &protocol, &deviceType, &serial),
              kestro::kRecordNotFound);
    EXPECT_EQ(number, kSentinel);
    EXPECT_EQ(name, nullptr);
    EXPECT_EQ(BstrUnits(serial), u"kept");
    SysFreeString(serial);

    EXPECT_EQ(GetPortProperties(2, &number, &name, &protocol, &deviceType, &serial), 0);
    EXPECT_EQ(number, 2);
    EXPECT_EQ(BstrUnits(name), u"Bombas ilha 2");
    EXPECT_EQ(protocol, 7);
    EXPECT_EQ(deviceType, -3);
    EXPECT_EQ(serial, nullptr);
    SysFreeString(name);

    EXPECT_EQ(GetPortProperties(2, &number, nullptr, &protocol, &deviceType, &serial),
              kestro::kInvalidArgument);
    requestsSeen = 0;
    BSTR tooLong = SysAllocStringLen(nullptr, 65536);
    EXPECT_EQ(SetPortProperties(1, 1, tooLong, 1, 1, nullptr), kestro::kInvalidArgument);
    SysFreeString(tooLong);
    EXPECT_EQ(requestsSeen, 0);
    // Nothing was sent, so the link stays in step.
    BSTR fits = SysAllocStringLen(nullptr, 65535);
    EXPECT_EQ(SetPortProperties(1, 1, fits, 1, 1, nullptr), 0);
    SysFreeString(fits);
    EXPECT_EQ(requestsSeen, 1);
    EXPECT_EQ(ClientLogoff(), kestro::kCallNotServed);
}

struct LogonSeen {
    std::int32_t clientId, clientKind, callPort, eventsPort, callTimeout, options, eventMask,
        bufferSize;
    std::u16string serverName;
};
LogonSeen logonSeen;

std::int32_t RecordLogon(std::int32_t clientId, std::int32_t clientKind, BSTR serverName,
                         std::int32_t callPort, std::int32_t eventsPort, std::int32_t callTimeout,
                         std::int32_t options, std::int32_t eventMask, std::int32_t bufferSize) {
    logonSeen = {clientId, clientKind, callPort,   eventsPort,           callTimeout,
                 options,  eventMask,  bufferSize, BstrUnits(serverName)};
    return 0;
}

std::int32_t AnswerLogoff() {
    return 0;
}

TEST_F(ClientLinkTest, TheLogonCarriesItsValuesAndSequenceNumbersRiseByOne) {
    std::vector<std::uint32_t> sequences;
    std::int32_t port = 0;
    {
        FakeServer server([&sequences](const Socket& socket) {
            kestro::wire::CallTable table;
            table.ClientLogonEx = &RecordLogon;
            table.ClientLogoff = &AnswerLogoff;
            Bytes request;
            Bytes response;
            FrameHeader header;
            while (NextRequest(socket, request, header)) {
                sequences.push_back(header.sequence);
                kestro::wire::DispatchRequest(table, request, response);
                SendFrame(socket, response, 1000);
            }
        });
        port = server.port();
        ASSERT_EQ(LogOn(port, 4321), 0);
        std::int32_t count = 0;
        EXPECT_EQ(GetPortsCount(&count), kestro::kCallNotServed);
        EXPECT_EQ(GetGradesCount(&count), kestro::kCallNotServed);
        EXPECT_EQ(ClientLogoff(), 0);
        EXPECT_EQ(ClientLogoff(), kestro::kNotLoggedOn);
    }  // the server's thread has ended: what it saw can be read
    EXPECT_EQ(logonSeen.clientId, 110);
    EXPECT_EQ(logonSeen.clientKind, 5);
    EXPECT_EQ(logonSeen.serverName, u"127.0.0.1");
    EXPECT_EQ(logonSeen.callPort, port);
    EXPECT_EQ(logonSeen.eventsPort, 5124);
    EXPECT_EQ(logonSeen.callTimeout, 4321);
    EXPECT_EQ(logonSeen.options, 0);
    EXPECT_EQ(logonSeen.eventMask, 0);
    EXPECT_EQ(logonSeen.bufferSize, 1024);
    // Logon, the first getter's request for a snapshot (this server serves none), the two
    // counts, logoff.
    ASSERT_EQ(sequences.size(), 5u);
    for (std::size_t i = 1; i < sequences.size(); ++i) {
        EXPECT_EQ(sequences[i], sequences[i - 1] + 1);
    }
}

}  // namespace
