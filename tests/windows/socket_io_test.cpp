// The wire's sockets on Winsock 2: a loopback TCP pair for whole frames both ways, time-outs,
// a peer that closes or resets, malformed input and a shutdown from another thread; connecting
// and listening with their failures; the texts of Winsock's codes.
#include <winsock2.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "kestro/wire/frame.h"
#include "kestro/wire/socket_io.h"

namespace {

using kestro::wire::Accept;
using kestro::wire::ConnectTo;
using kestro::wire::DescribeIo;
using kestro::wire::FrameKind;
using kestro::wire::FrameWriter;
using kestro::wire::IoResult;
using kestro::wire::IoStatus;
using kestro::wire::kHeaderBytes;
using kestro::wire::kNoTimeLimit;
using kestro::wire::Listen;
using kestro::wire::LocalPort;
using kestro::wire::ReceiveFrame;
using kestro::wire::SendFrame;
using kestro::wire::Socket;
using kestro::wire::WaitReadable;
using kestro::wire::WireError;
using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

// Windows itself tries a refused connection again for about two seconds before it reports it.
constexpr int kConnectLimitMs = 5000;

Bytes SmallFrame(std::uint32_t sequence) {
    FrameWriter writer(FrameKind::kRequest, 10, sequence);
    writer.AddInt32(-7);
    writer.AddInt64(0x0123456789ABCDEF);
    writer.AddDouble(2.5);
    Bytes frame;
    EXPECT_EQ(writer.Finish(frame), WireError::kNone);
    return frame;
}

long MillisecondsSince(Clock::time_point start) {
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

// Writes raw bytes with Winsock itself, bypassing the frame layer.
void WriteRaw(const Socket& socket, const Bytes& bytes) {
    ASSERT_EQ(send(socket.descriptor(), reinterpret_cast<const char*>(bytes.data()),
                   static_cast<int>(bytes.size()), 0),
              static_cast<int>(bytes.size()));
}

// Connects `client` to a fresh loopback listener and accepts the connection into `server`.
void ConnectPair(Socket& client, Socket& server) {
    Socket listener;
    IoResult listened = Listen("127.0.0.1", 0, listener);
    ASSERT_TRUE(listened.ok()) << DescribeIo(listened);
    std::uint16_t port = LocalPort(listener);
    ASSERT_NE(port, 0);
    IoResult connected = ConnectTo("127.0.0.1", port, kConnectLimitMs, client);
    ASSERT_TRUE(connected.ok()) << DescribeIo(connected);
    IoResult accepted = Accept(listener, kConnectLimitMs, server);
    ASSERT_TRUE(accepted.ok()) << DescribeIo(accepted);
}

class TcpPair : public testing::Test {
  protected:
    void SetUp() override { ConnectPair(near_, far_); }

    Socket near_;  // connected
    Socket far_;   // accepted
};

TEST_F(TcpPair, FramesTravelWholeAndInOrderBothWays) {
    for (std::uint32_t sequence = 1; sequence <= 3; ++sequence) {
        ASSERT_TRUE(SendFrame(near_, SmallFrame(sequence), 1000).ok());
        ASSERT_TRUE(SendFrame(far_, SmallFrame(100 + sequence), 1000).ok());
    }
    for (std::uint32_t sequence = 1; sequence <= 3; ++sequence) {
        Bytes request;
        IoResult received = ReceiveFrame(far_, 1000, request);
        ASSERT_TRUE(received.ok()) << DescribeIo(received);
        EXPECT_EQ(request, SmallFrame(sequence));
        Bytes response;
        received = ReceiveFrame(near_, 1000, response);
        ASSERT_TRUE(received.ok()) << DescribeIo(received);
        EXPECT_EQ(response, SmallFrame(100 + sequence));
    }
}

TEST_F(TcpPair, AFrameSentInPiecesIsReassembled) {
    Bytes whole = SmallFrame(7);
    std::thread writer([this, &whole] {
        WriteRaw(far_, Bytes(whole.begin(), whole.begin() + 3));
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        WriteRaw(far_, Bytes(whole.begin() + 3, whole.begin() + kHeaderBytes + 1));
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        WriteRaw(far_, Bytes(whole.begin() + kHeaderBytes + 1, whole.end()));
    });
    Bytes frame;
    IoResult received = ReceiveFrame(near_, 2000, frame);
    writer.join();
    ASSERT_TRUE(received.ok()) << DescribeIo(received);
    EXPECT_EQ(frame, whole);
}

TEST_F(TcpPair, ReceivingTimesOutWhenNothingOrHalfAFrameComes) {
    Bytes frame = {1};
    Clock::time_point start = Clock::now();
    EXPECT_EQ(ReceiveFrame(near_, 60, frame).status, IoStatus::kTimeOut);
    EXPECT_GE(MillisecondsSince(start), 60);
    EXPECT_EQ(frame, Bytes{1});
    EXPECT_EQ(WaitReadable(near_, 0).status, IoStatus::kTimeOut);

    Bytes whole = SmallFrame(1);
    WriteRaw(far_, Bytes(whole.begin(), whole.end() - 2));
    EXPECT_TRUE(WaitReadable(near_, 1000).ok());
    start = Clock::now();
    EXPECT_EQ(ReceiveFrame(near_, 60, frame).status, IoStatus::kTimeOut);
    EXPECT_GE(MillisecondsSince(start), 60);
    EXPECT_EQ(frame, Bytes{1});
}

TEST_F(TcpPair, APeerThatClosesInsideAFrameIsReportedAsClosed) {
    Bytes whole = SmallFrame(1);
    WriteRaw(far_, Bytes(whole.begin(), whole.begin() + 30));
    far_.Close();
    Bytes frame;
    IoResult midFrame = ReceiveFrame(near_, 2000, frame);
    EXPECT_EQ(midFrame.status, IoStatus::kClosed);
    EXPECT_EQ(midFrame.systemError, 0);
    EXPECT_EQ(DescribeIo(midFrame), "connection closed by the peer");
    EXPECT_TRUE(frame.empty());
    EXPECT_EQ(ReceiveFrame(near_, 2000, frame).status, IoStatus::kClosed);
    EXPECT_TRUE(WaitReadable(near_, 0).ok());  // the end of the stream is readable
}

TEST_F(TcpPair, APeerThatResetsIsReportedAsClosedOnBothDirections) {
    // Closing with bytes unread makes the system reset the connection.
    WriteRaw(near_, SmallFrame(1));
    ASSERT_TRUE(WaitReadable(far_, 1000).ok());
    far_.Close();
    Bytes frame;
    IoResult received = ReceiveFrame(near_, 2000, frame);
    EXPECT_EQ(received.status, IoStatus::kClosed) << DescribeIo(received);
    // Windows reports the reset; Wine ends the stream in order.
    EXPECT_TRUE(received.systemError == WSAECONNRESET || received.systemError == 0)
        << received.systemError;
    IoResult sent = SendFrame(near_, SmallFrame(2), 2000);
    EXPECT_EQ(sent.status, IoStatus::kClosed) << DescribeIo(sent);
}

TEST(WinsockFrames, MalformedInputIsRefusedWithoutWaitingForMore) {
    struct Case {
        const char* name;
        Bytes bytes;
        WireError expected;
    };
    Bytes oversize = SmallFrame(1);
    oversize.resize(kHeaderBytes);
    oversize[22] = 0x10;  // a payload of more than 1 MiB, never sent
    Bytes badTag = SmallFrame(1);
    badTag[kHeaderBytes] = 9;  // no such tag
    const Case cases[] = {
        {"oversize header", oversize, WireError::kFrameTooLarge},
        {"bad tag", badTag, WireError::kBadTag},
        {"garbage", Bytes(40, 0xAB), WireError::kBadMagic},
    };
    for (const Case& row : cases) {
        SCOPED_TRACE(row.name);
        // A fresh pair each: a malformed frame leaves its stream out of step.
        Socket client;
        Socket server;
        ConnectPair(client, server);
        ASSERT_FALSE(HasFatalFailure());
        WriteRaw(server, row.bytes);
        Bytes frame;
        IoResult result = ReceiveFrame(client, 5000, frame);
        EXPECT_EQ(result.status, IoStatus::kMalformed);
        EXPECT_EQ(result.wireError, row.expected);
        EXPECT_TRUE(frame.empty());
    }
}

TEST_F(TcpPair, SendingTimesOutWhenThePeerDoesNotRead) {
    // Far more than the two sockets' buffers hold; SendFrame does not look inside.
    Bytes large(64 * 1024 * 1024, 0x5A);
    Clock::time_point start = Clock::now();
    EXPECT_EQ(SendFrame(near_, large, 200).status, IoStatus::kTimeOut);
    EXPECT_GE(MillisecondsSince(start), 200);
}

TEST_F(TcpPair, AShutdownWakesWaitsAndReceivesBlockedInAnotherThread) {
    // Half a frame in: the receive below waits inside the frame, not before it.
    Bytes whole = SmallFrame(1);
    WriteRaw(far_, Bytes(whole.begin(), whole.begin() + 10));
    Socket other;
    Socket otherFar;
    ConnectPair(other, otherFar);
    ASSERT_FALSE(HasFatalFailure());
    Bytes frame;
    IoResult received;
    IoResult waited;
    Clock::time_point start = Clock::now();
    std::thread reader([this, &frame, &received] { received = ReceiveFrame(near_, 5000, frame); });
    std::thread waiter([&other, &waited] { waited = WaitReadable(other, kNoTimeLimit); });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    near_.Shutdown();
    other.Shutdown();
    reader.join();
    waiter.join();
    EXPECT_EQ(received.status, IoStatus::kClosed) << DescribeIo(received);
    EXPECT_EQ(waited.status, IoStatus::kClosed) << DescribeIo(waited);
    EXPECT_LT(MillisecondsSince(start), 2000);
    EXPECT_TRUE(frame.empty());
    EXPECT_TRUE(near_.valid());  // shut down, not closed
    EXPECT_TRUE(near_.shutDown());
    // A moved socket keeps its state; a new one starts afresh.
    Socket moved = std::move(near_);
    EXPECT_TRUE(moved.shutDown());
    EXPECT_FALSE(near_.shutDown());
    EXPECT_EQ(SendFrame(moved, SmallFrame(2), 1000).status, IoStatus::kClosed);
}

TEST(WinsockTcp, ConnectingByNameReachesTheListener) {
    Socket listener;
    ASSERT_TRUE(Listen("127.0.0.1", 0, listener).ok());
    Socket client;
    IoResult connected = ConnectTo("localhost", LocalPort(listener), kConnectLimitMs, client);
    ASSERT_TRUE(connected.ok()) << DescribeIo(connected);
    Socket server;
    ASSERT_TRUE(Accept(listener, kConnectLimitMs, server).ok());
    ASSERT_TRUE(SendFrame(client, SmallFrame(5), 1000).ok());
    Bytes request;
    ASSERT_TRUE(ReceiveFrame(server, 1000, request).ok());
    EXPECT_EQ(request, SmallFrame(5));
}

TEST(WinsockTcp, AcceptTimesOutWithoutAClient) {
    Socket listener;
    ASSERT_TRUE(Listen("127.0.0.1", 0, listener).ok());
    Socket connection;
    Clock::time_point start = Clock::now();
    EXPECT_EQ(Accept(listener, 50, connection).status, IoStatus::kTimeOut);
    EXPECT_GE(MillisecondsSince(start), 50);
    EXPECT_FALSE(connection.valid());
}

TEST(WinsockTcp, ConnectingWhereNobodyListensIsRefused) {
    std::uint16_t port = 0;
    {
        Socket listener;
        ASSERT_TRUE(Listen("127.0.0.1", 0, listener).ok());
        port = LocalPort(listener);
    }
    Socket client;
    IoResult result = ConnectTo("127.0.0.1", port, kConnectLimitMs, client);
    EXPECT_EQ(result.status, IoStatus::kCannotConnect);
    EXPECT_EQ(result.systemError, WSAECONNREFUSED);
    EXPECT_EQ(DescribeIo(result), "cannot connect: Connection refused");
    EXPECT_FALSE(client.valid());
}

TEST(WinsockTcp, BadNamesAndAddressesAreRefusedClearly) {
    Socket socket;
    EXPECT_EQ(ConnectTo("", 5123, 100, socket).status, IoStatus::kUnknownHost);
    EXPECT_EQ(ConnectTo(std::string("127.0.0.1\0x", 11), 5123, 100, socket).status,
              IoStatus::kUnknownHost);
    IoResult unknown = ConnectTo("no-such-host.invalid", 5123, 1000, socket);
    EXPECT_EQ(unknown.status, IoStatus::kUnknownHost);
    EXPECT_EQ(DescribeIo(unknown), "unknown host");
    EXPECT_EQ(Listen("localhost", 0, socket).status, IoStatus::kUnknownHost);
    EXPECT_EQ(Listen("127.0.0.300", 0, socket).status, IoStatus::kUnknownHost);
    IoResult foreign = Listen("192.0.2.1", 0, socket);  // an address this machine lacks
    EXPECT_EQ(foreign.status, IoStatus::kSystemError);
    EXPECT_EQ(foreign.systemError, WSAEADDRNOTAVAIL);
    EXPECT_EQ(DescribeIo(foreign), "system error: Cannot assign requested address");
    EXPECT_FALSE(socket.valid());
}

TEST(WinsockTcp, APortInUseIsRefusedAndDistinctLoopbackAddressesShareOne) {
    Socket first;
    ASSERT_TRUE(Listen("127.0.0.2", 0, first).ok());
    std::uint16_t port = LocalPort(first);
    Socket taken;
    IoResult again = Listen("127.0.0.2", port, taken);
    EXPECT_EQ(again.status, IoStatus::kSystemError);
    EXPECT_EQ(again.systemError, WSAEADDRINUSE);
    EXPECT_FALSE(taken.valid());

    Socket second;
    IoResult beside = Listen("127.0.0.3", port, second);
    ASSERT_TRUE(beside.ok()) << DescribeIo(beside);
    Socket client;
    ASSERT_TRUE(ConnectTo("127.0.0.3", port, kConnectLimitMs, client).ok());
    Socket accepted;
    EXPECT_EQ(Accept(first, 0, accepted).status, IoStatus::kTimeOut);
    EXPECT_TRUE(Accept(second, 1000, accepted).ok());
}

TEST(WinsockTcp, AServerCanListenAgainOnThePortItLeft) {
    Socket first;
    ASSERT_TRUE(Listen("127.0.0.1", 0, first).ok());
    std::uint16_t port = LocalPort(first);
    Socket client;
    ASSERT_TRUE(ConnectTo("127.0.0.1", port, kConnectLimitMs, client).ok());
    Socket accepted;
    ASSERT_TRUE(Accept(first, 1000, accepted).ok());
    accepted.Close();  // the server side closes first, leaving TIME_WAIT behind
    first.Close();
    Socket second;
    IoResult again = Listen("127.0.0.1", port, second);
    EXPECT_TRUE(again.ok()) << DescribeIo(again);
}

TEST(WinsockTexts, CodesReadAsTheirPosixCounterparts) {
    struct Case {
        IoStatus status;
        int code;
        const char* text;
    };
    const Case cases[] = {
        {IoStatus::kCannotConnect, WSAECONNREFUSED, "cannot connect: Connection refused"},
        {IoStatus::kCannotConnect, WSAETIMEDOUT, "cannot connect: Connection timed out"},
        {IoStatus::kCannotConnect, WSAEHOSTUNREACH, "cannot connect: No route to host"},
        {IoStatus::kCannotConnect, WSAENETUNREACH, "cannot connect: Network is unreachable"},
        {IoStatus::kSystemError, WSAECONNRESET, "system error: Connection reset by peer"},
        {IoStatus::kSystemError, WSAECONNABORTED, "system error: Software caused connection abort"},
        {IoStatus::kSystemError, WSAEADDRINUSE, "system error: Address already in use"},
        {IoStatus::kSystemError, WSAEMFILE, "system error: Too many open files"},
        {IoStatus::kSystemError, 123456, "system error: error 123456"},
    };
    for (const Case& row : cases) {
        EXPECT_EQ(DescribeIo({row.status, WireError::kNone, row.code}), row.text);
    }
}

}  // namespace
