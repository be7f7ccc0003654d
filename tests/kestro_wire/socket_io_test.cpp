// Tests of frames over sockets: a local socket pair for sending and receiving with time-outs,
// peer close and malformed input, and a loopback TCP listener for connecting and accepting.
#include "kestro/wire/socket_io.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "kestro/wire/frame.h"
#include "tests/kestro_wire/wire_printers.h"

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

Bytes SmallFrame(std::uint32_t sequence) {
    FrameWriter writer(FrameKind::kRequest, 10, sequence);
    writer.AddString(std::u16string_view(u"S\u00e3o \0", 5));
    writer.AddDouble(2.5);
    Bytes frame;
    EXPECT_EQ(writer.Finish(frame), WireError::kNone);
    return frame;
}

long MillisecondsSince(Clock::time_point start) {
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

// Writes raw bytes to a socket, bypassing the frame layer.
void WriteRaw(const Socket& socket, const Bytes& bytes) {
    ASSERT_EQ(write(socket.descriptor(), bytes.data(), bytes.size()),
              static_cast<ssize_t>(bytes.size()));
}

class SocketPair : public ::testing::Test {
  protected:
    SocketPair() {
        int descriptors[2];
        EXPECT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, descriptors), 0);
        near_ = Socket(descriptors[0]);
        far_ = Socket(descriptors[1]);
    }

    Socket near_;
    Socket far_;
};

TEST_F(SocketPair, FramesArriveWholeAndInOrder) {
    for (std::uint32_t sequence = 1; sequence <= 3; ++sequence) {
        ASSERT_TRUE(SendFrame(near_, SmallFrame(sequence), 1000).ok());
    }
    for (std::uint32_t sequence = 1; sequence <= 3; ++sequence) {
        Bytes frame;
        IoResult result = ReceiveFrame(far_, 1000, frame);
        ASSERT_TRUE(result.ok()) << DescribeIo(result);
        EXPECT_EQ(frame, SmallFrame(sequence));
    }
}

TEST_F(SocketPair, AFrameSentInPiecesIsReassembled) {
    Bytes whole = SmallFrame(7);
    WriteRaw(far_, Bytes(whole.begin(), whole.begin() + 3));
    WriteRaw(far_, Bytes(whole.begin() + 3, whole.begin() + kHeaderBytes + 1));
    WriteRaw(far_, Bytes(whole.begin() + kHeaderBytes + 1, whole.end()));
    Bytes frame;
    ASSERT_TRUE(ReceiveFrame(near_, 1000, frame).ok());
    EXPECT_EQ(frame, whole);
}

TEST_F(SocketPair, ReceivingTimesOutWhenNothingOrHalfAFrameComes) {
    Bytes frame = {1};
    Clock::time_point start = Clock::now();
    IoResult result = ReceiveFrame(near_, 60, frame);
    EXPECT_EQ(result.status, IoStatus::kTimeOut);
    EXPECT_GE(MillisecondsSince(start), 60);
    EXPECT_EQ(frame, Bytes{1});
    EXPECT_EQ(WaitReadable(near_, 0).status, IoStatus::kTimeOut);

    Bytes whole = SmallFrame(1);
    WriteRaw(far_, Bytes(whole.begin(), whole.end() - 2));
    EXPECT_TRUE(WaitReadable(near_, 0).ok());
    EXPECT_EQ(ReceiveFrame(near_, 60, frame).status, IoStatus::kTimeOut);
    EXPECT_EQ(frame, Bytes{1});
}

TEST_F(SocketPair, APeerThatClosesIsReportedBeforeOrInsideAFrame) {
    Bytes whole = SmallFrame(1);
    WriteRaw(far_, Bytes(whole.begin(), whole.begin() + 30));
    far_.Close();
    Bytes frame;
    IoResult midFrame = ReceiveFrame(near_, kNoTimeLimit, frame);
    EXPECT_EQ(midFrame.status, IoStatus::kClosed);
    EXPECT_EQ(ReceiveFrame(near_, kNoTimeLimit, frame).status, IoStatus::kClosed);
    EXPECT_TRUE(WaitReadable(near_, 0).ok());  // the end of the stream is readable
    // Sending to a closed peer fails instead of raising SIGPIPE.
    EXPECT_EQ(SendFrame(near_, whole, 1000).status, IoStatus::kClosed);
}

TEST_F(SocketPair, AMalformedHeaderIsRefusedWithoutWaitingForItsPayload) {
    Bytes header = SmallFrame(1);
    header.resize(kHeaderBytes);
    header[22] = 0x10;  // a payload of more than 1 MiB
    WriteRaw(far_, header);
    Bytes frame;
    IoResult result = ReceiveFrame(near_, kNoTimeLimit, frame);
    EXPECT_EQ(result.status, IoStatus::kMalformed);
    EXPECT_EQ(result.wireError, WireError::kFrameTooLarge);
    EXPECT_EQ(DescribeIo(result), "malformed frame: frame too large");
    EXPECT_TRUE(frame.empty());
}

TEST_F(SocketPair, AMalformedPayloadIsRefused) {
    Bytes bad = SmallFrame(1);
    bad[kHeaderBytes] = 9;  // no such tag
    WriteRaw(far_, bad);
    Bytes frame;
    IoResult result = ReceiveFrame(near_, 1000, frame);
    EXPECT_EQ(result.status, IoStatus::kMalformed);
    EXPECT_EQ(result.wireError, WireError::kBadTag);
}

TEST_F(SocketPair, GarbageIsRefusedAsMalformed) {
    WriteRaw(far_, Bytes(40, 0xAB));
    Bytes frame;
    IoResult result = ReceiveFrame(near_, 1000, frame);
    EXPECT_EQ(result.status, IoStatus::kMalformed);
    EXPECT_EQ(result.wireError, WireError::kBadMagic);
}

TEST_F(SocketPair, SendingTimesOutWhenThePeerDoesNotRead) {
    // Seven strings of the longest length make a frame near 1 MiB, more than a socket
    // buffer holds.
    FrameWriter writer(FrameKind::kResponse, 1, 1);
    for (int i = 0; i < 7; ++i) {
        writer.AddString(std::u16string(kestro::wire::kMaxStringUnits, u'x'));
    }
    Bytes large;
    ASSERT_EQ(writer.Finish(large), WireError::kNone);
    Clock::time_point start = Clock::now();
    EXPECT_EQ(SendFrame(near_, large, 80).status, IoStatus::kTimeOut);
    EXPECT_GE(MillisecondsSince(start), 80);
}

TEST_F(SocketPair, AShutdownWakesAReceiveBlockedInAnotherThread) {
    Bytes whole = SmallFrame(1);
    WriteRaw(far_, Bytes(whole.begin(), whole.begin() + 10));
    Bytes frame;
    IoResult received;
    Clock::time_point start = Clock::now();
    std::thread reader([this, &frame, &received] { received = ReceiveFrame(near_, 5000, frame); });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    near_.Shutdown();
    reader.join();
    EXPECT_EQ(received.status, IoStatus::kClosed) << DescribeIo(received);
    EXPECT_LT(MillisecondsSince(start), 2000);
    EXPECT_TRUE(frame.empty());
    EXPECT_TRUE(near_.valid());  // shut down, not closed
    EXPECT_TRUE(near_.shutDown());
    EXPECT_TRUE(WaitReadable(near_, 0).ok());
    Socket moved = std::move(near_);
    EXPECT_TRUE(moved.shutDown());
    EXPECT_FALSE(near_.shutDown());
    EXPECT_FALSE(far_.shutDown());
}

// The texts that the Windows side gives Winsock's counterparts of these codes.
TEST(SocketTexts, SystemCodesReadAsTheSystemSaysThem) {
    struct Case {
        IoStatus status;
        int code;
        const char* text;
    };
    const Case cases[] = {
        {IoStatus::kCannotConnect, ECONNREFUSED, "cannot connect: Connection refused"},
        {IoStatus::kCannotConnect, ETIMEDOUT, "cannot connect: Connection timed out"},
        {IoStatus::kCannotConnect, EHOSTUNREACH, "cannot connect: No route to host"},
        {IoStatus::kCannotConnect, ENETUNREACH, "cannot connect: Network is unreachable"},
        {IoStatus::kSystemError, ECONNRESET, "system error: Connection reset by peer"},
        {IoStatus::kSystemError, ECONNABORTED, "system error: Software caused connection abort"},
        {IoStatus::kSystemError, EADDRINUSE, "system error: Address already in use"},
        {IoStatus::kSystemError, EMFILE, "system error: Too many open files"},
    };
    for (const Case& row : cases) {
        EXPECT_EQ(DescribeIo({row.status, WireError::kNone, row.code}), row.text);
    }
}

TEST(LoopbackTcp, AClientConnectsAndTheServerAcceptsAndAnswers) {
    Socket listener;
    IoResult listened = Listen("127.0.0.1", 0, listener);
    ASSERT_TRUE(listened.ok()) << DescribeIo(listened);
    std::uint16_t port = LocalPort(listener);
    ASSERT_NE(port, 0);

    Socket client;
    IoResult connected = ConnectTo("localhost", port, 1000, client);
    ASSERT_TRUE(connected.ok()) << DescribeIo(connected);
    Socket server;
    ASSERT_TRUE(Accept(listener, 1000, server).ok());

    ASSERT_TRUE(SendFrame(client, SmallFrame(5), 1000).ok());
    Bytes request;
    ASSERT_TRUE(ReceiveFrame(server, 1000, request).ok());
    EXPECT_EQ(request, SmallFrame(5));
    ASSERT_TRUE(SendFrame(server, SmallFrame(6), 1000).ok());
    Bytes response;
    ASSERT_TRUE(ReceiveFrame(client, 1000, response).ok());
    EXPECT_EQ(response, SmallFrame(6));

    server.Close();
    EXPECT_EQ(ReceiveFrame(client, 1000, response).status, IoStatus::kClosed);
}

TEST(LoopbackTcp, AcceptTimesOutWithoutAClient) {
    Socket listener;
    ASSERT_TRUE(Listen("127.0.0.1", 0, listener).ok());
    Socket connection;
    EXPECT_EQ(Accept(listener, 30, connection).status, IoStatus::kTimeOut);
    EXPECT_FALSE(connection.valid());
}

TEST(LoopbackTcp, AServerCanListenAgainAtOnceOnThePortItLeft) {
    Socket first;
    ASSERT_TRUE(Listen("127.0.0.1", 0, first).ok());
    std::uint16_t port = LocalPort(first);
    Socket client;
    ASSERT_TRUE(ConnectTo("127.0.0.1", port, 1000, client).ok());
    Socket accepted;
    ASSERT_TRUE(Accept(first, 1000, accepted).ok());
    accepted.Close();  // the server side closes first, leaving TIME_WAIT behind
    first.Close();
    Socket second;
    IoResult again = Listen("127.0.0.1", port, second);
    EXPECT_TRUE(again.ok()) << DescribeIo(again);
}

TEST(LoopbackTcp, ConnectingWhereNobodyListensFailsAtOnce) {
    std::uint16_t port = 0;
    {
        Socket listener;
        ASSERT_TRUE(Listen("127.0.0.1", 0, listener).ok());
        port = LocalPort(listener);
    }
    Socket client;
    IoResult result = ConnectTo("127.0.0.1", port, 1000, client);
    EXPECT_EQ(result.status, IoStatus::kCannotConnect);
    EXPECT_EQ(result.systemError, ECONNREFUSED);
    EXPECT_EQ(DescribeIo(result).rfind("cannot connect: ", 0), 0u);
    EXPECT_FALSE(client.valid());
}

TEST(LoopbackTcp, BadAddressesAreRefusedClearly) {
    Socket socket;
    EXPECT_EQ(ConnectTo("", 5123, 100, socket).status, IoStatus::kUnknownHost);
    EXPECT_EQ(ConnectTo(std::string("127.0.0.1\0x", 11), 5123, 100, socket).status,
              IoStatus::kUnknownHost);
    EXPECT_EQ(ConnectTo("no-such-host.invalid", 5123, 1000, socket).status, IoStatus::kUnknownHost);
    EXPECT_EQ(Listen("localhost", 0, socket).status, IoStatus::kUnknownHost);
    EXPECT_EQ(Listen("127.0.0.300", 0, socket).status, IoStatus::kUnknownHost);
    IoResult foreign = Listen("192.0.2.1", 0, socket);  // an address this machine lacks
    EXPECT_EQ(foreign.status, IoStatus::kSystemError);
    EXPECT_EQ(foreign.systemError, EADDRNOTAVAIL);
    EXPECT_FALSE(socket.valid());
}

TEST(LoopbackTcp, ServersOnDistinctLoopbackAddressesShareAPort) {
    Socket first;
    ASSERT_TRUE(Listen("127.0.0.2", 0, first).ok());
    std::uint16_t port = LocalPort(first);
    Socket second;
    IoResult result = Listen("127.0.0.3", port, second);
    ASSERT_TRUE(result.ok()) << DescribeIo(result);
    Socket client;
    ASSERT_TRUE(ConnectTo("127.0.0.3", port, 1000, client).ok());
    Socket accepted;
    EXPECT_EQ(Accept(first, 0, accepted).status, IoStatus::kTimeOut);
    EXPECT_TRUE(Accept(second, 1000, accepted).ok());
}

}  // namespace
