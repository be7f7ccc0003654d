// The events port's writer for one subscriber, over a socket pair: a subscriber that only
// listens keeps its events, and one that closes or sends anything after subscribing is dropped
// at once, its place in the hub freed.
#include "kestro/server/event_hub.h"

#include <gtest/gtest.h>
#include <sys/socket.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "kestro/model/result_codes.h"
#include "kestro/wire/event_frames.h"
#include "kestro/wire/marshal.h"
#include "kestro/wire/pump_calls.h"

namespace {

using kestro::server::EventHub;
using kestro::wire::Socket;
using Clock = std::chrono::steady_clock;

// One events connection served on a thread of its own, its client end in `client`.
class ServedSubscriber {
  public:
    explicit ServedSubscriber(EventHub& hub) : hub_(hub) {
        int ends[2];
        EXPECT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, ends), 0);
        server_ = Socket(ends[0]);
        client = Socket(ends[1]);
        thread_ = std::thread([this] {
            kestro::server::ServeEventsConnection(hub_, server_, "connection 1", stop_);
            ended_ = true;
        });
    }
    ~ServedSubscriber() {
        stop_ = true;
        thread_.join();
    }

    // Subscribes with a fresh ticket; the server's answer.
    std::int32_t Subscribe() {
        using Marshal = kestro::wire::Marshal<kestro::wire::pump_calls::Subscribe>;
        std::int32_t ticket = hub_.IssueTicket();
        std::vector<std::uint8_t> frame;
        Marshal::EncodeRequest(1, frame, ticket);
        if (!kestro::wire::SendFrame(client, frame, 5000).ok() ||
            !kestro::wire::ReceiveFrame(client, 5000, frame).ok()) {
            return -1;
        }
        std::int32_t result = -1;
        Marshal::DecodeResponse(frame, 1, result, ticket);
        return result;
    }

    // True when the server ends the connection by itself within `limit`.
    bool EndsWithin(std::chrono::milliseconds limit) const {
        const auto deadline = Clock::now() + limit;
        while (!ended_ && Clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return ended_;
    }

    Socket client;

  private:
    EventHub& hub_;
    Socket server_;
    std::atomic<bool> stop_ = false;
    std::atomic<bool> ended_ = false;
    std::thread thread_;
};

TEST(EventHubTest, AClosedOrMisbehavingSubscriberIsDroppedAtOnce) {
    struct Row {
        const char* what;
        const char* sent;  // bytes the client sends after subscribing
        bool closes;       // the client closes its end afterwards
        const char* reason;
    };
    const Row rows[] = {
        {"closes", "", true, "(events) closed by the client"},
        {"sends a stray byte and closes", "x", true,
         "(events) dropped: it sent data after subscribing"},
        {"sends a byte and stays", "x", false, "(events) dropped: it sent data after subscribing"},
        {"sends a request and stays", "KESTRO request", false,
         "(events) dropped: it sent data after subscribing"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EventHub hub;
        testing::internal::CaptureStderr();
        {
            ServedSubscriber subscriber(hub);
            ASSERT_EQ(subscriber.Subscribe(), kestro::kSuccess);
            EXPECT_EQ(hub.SubscriberCount(), 1u);
            const std::string sent = row.sent;
            if (!sent.empty()) {
                ASSERT_EQ(send(subscriber.client.descriptor(), sent.data(), sent.size(), 0),
                          static_cast<ssize_t>(sent.size()));
            }
            if (row.closes) {
                subscriber.client.Close();
            }
            EXPECT_TRUE(subscriber.EndsWithin(std::chrono::milliseconds(2000)));
            EXPECT_EQ(hub.SubscriberCount(), 0u);
        }
        const std::string log = testing::internal::GetCapturedStderr();
        EXPECT_NE(log.find(std::string("connection 1 ") + row.reason), std::string::npos) << log;
    }
}

TEST(EventHubTest, ASubscriberThatOnlyListensKeepsItsEvents) {
    EventHub hub;
    ServedSubscriber subscriber(hub);
    ASSERT_EQ(subscriber.Subscribe(), kestro::kSuccess);
    for (std::uint32_t sequence = 1; sequence <= 3; ++sequence) {
        kestro::PumpEvent event;
        event.pumpId = static_cast<std::int32_t>(sequence);
        hub.Publish(event);
        std::vector<std::uint8_t> frame;
        ASSERT_TRUE(kestro::wire::ReceiveFrame(subscriber.client, 2000, frame).ok());
        kestro::wire::ReceivedEvent received;
        ASSERT_EQ(kestro::wire::DecodeEvent(frame, received), kestro::wire::WireError::kNone);
        EXPECT_EQ(received.sequence, sequence);
        EXPECT_EQ(received.event.pumpId, static_cast<std::int32_t>(sequence));
    }
    // Silence is no reason to drop it.
    EXPECT_FALSE(subscriber.EndsWithin(std::chrono::milliseconds(500)));
    EXPECT_EQ(hub.SubscriberCount(), 1u);
}

}  // namespace
