// Tickets, subscribers' queues, publishing and the writer of each events connection.
#include "kestro/server/event_hub.h"

#include <sys/socket.h>
#include <time.h>

#include <cerrno>
#include <cstring>
#include <random>

#include "kestro/model/result_codes.h"
#include "kestro/server/server_log.h"
#include "kestro/wire/event_frames.h"
#include "kestro/wire/pump_calls.h"

namespace kestro::server {
namespace {

constexpr int kStopCheckMs = 200;
constexpr int kSendTimeoutMs = 5000;

}  // namespace

std::int64_t MonotonicMicroseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

EventHub::EventHub(std::size_t queueFrames)
    : queueFrames_(queueFrames), ticketState_(std::random_device{}()) {}

std::int32_t EventHub::IssueTicket() {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto now = std::chrono::steady_clock::now();
    std::erase_if(tickets_,
                  [&](const auto& entry) { return now - entry.second > kTicketLifetime; });
    std::int32_t ticket = 0;
    std::minstd_rand next(ticketState_);
    while (ticket == 0 || tickets_.contains(ticket)) {
        ticket = static_cast<std::int32_t>(next() & 0x7FFFFFFF);
    }
    ticketState_ = static_cast<std::uint32_t>(next());
    tickets_[ticket] = now;
    return ticket;
}

bool EventHub::RedeemTicket(std::int32_t ticket) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = tickets_.find(ticket);
    if (it == tickets_.end()) {
        return false;
    }
    const bool fresh = std::chrono::steady_clock::now() - it->second <= kTicketLifetime;
    tickets_.erase(it);
    return fresh;
}

std::shared_ptr<EventHub::Subscriber> EventHub::Subscribe(std::string name, int descriptor) {
    auto subscriber = std::make_shared<Subscriber>();
    subscriber->name = std::move(name);
    subscriber->descriptor = descriptor;
    std::lock_guard<std::mutex> lock(mutex_);
    subscribers_.push_back(subscriber);
    return subscriber;
}

void EventHub::Unsubscribe(const std::shared_ptr<Subscriber>& subscriber) {
    std::lock_guard<std::mutex> lock(mutex_);
    subscribers_.remove(subscriber);
}

std::size_t EventHub::SubscriberCount() {
    std::lock_guard<std::mutex> lock(mutex_);
    return subscribers_.size();
}

void EventHub::Publish(const PumpEvent& event) {
    std::vector<std::uint8_t> frame = wire::EncodeEvent(event, 0, MonotonicMicroseconds());
    ++published_;
    std::lock_guard<std::mutex> lock(mutex_);
    for (const std::shared_ptr<Subscriber>& subscriber : subscribers_) {
        std::lock_guard<std::mutex> queueLock(subscriber->mutex);
        if (subscriber->overflowed) {
            continue;
        }
        if (subscriber->queue.size() >= queueFrames_) {
            subscriber->overflowed = true;
            // A writer blocked in send on a full socket returns at once.
            shutdown(subscriber->descriptor, SHUT_RDWR);
        } else {
            subscriber->queue.push_back(frame);
            wire::SetFrameSequence(subscriber->queue.back(), subscriber->nextSequence++);
        }
        subscriber->ready.notify_one();
    }
}

namespace {

// Waits for the Subscribe request and answers it; the subscriber when the ticket was good, else
// null. The subscriber is in the hub before the answer leaves: an event published as soon as
// the client has its answer is already queued for it.
std::shared_ptr<EventHub::Subscriber> AcceptSubscription(EventHub& hub, const wire::Socket& socket,
                                                         const std::string& name, std::string& end,
                                                         const std::atomic<bool>& stop) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kSendTimeoutMs);
    for (;;) {
        if (stop) {
            end = "closed at shutdown";
            return nullptr;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            end = "closed: no subscription in time";
            return nullptr;
        }
        if (wire::WaitReadable(socket, kStopCheckMs).status != wire::IoStatus::kTimeOut) {
            break;
        }
    }
    std::vector<std::uint8_t> request;
    wire::IoResult received = wire::ReceiveFrame(socket, kSendTimeoutMs, request);
    if (!received.ok()) {
        end = "closed: " + wire::DescribeIo(received) + " instead of a subscription";
        return nullptr;
    }
    wire::FrameReader reader;
    std::int32_t ticket = 0;
    const bool wellFormed =
        reader.Open(request) == wire::WireError::kNone &&
        reader.header().kind == wire::FrameKind::kRequest &&
        reader.header().call == static_cast<std::uint16_t>(wire::pump_calls::Subscribe) &&
        reader.ReadInt32(ticket) == wire::WireError::kNone && reader.remaining() == 0;
    if (!wellFormed) {
        end = "closed: a frame that is no subscription";
        return nullptr;
    }
    const bool good = hub.RedeemTicket(ticket);
    std::shared_ptr<EventHub::Subscriber> subscriber;
    if (good) {
        subscriber = hub.Subscribe(name, socket.descriptor());
    }
    std::vector<std::uint8_t> response = wire::EncodeBareResponse(
        reader.header().call, reader.header().sequence, good ? kSuccess : kNotLoggedOn);
    wire::SendFrame(socket, response, kSendTimeoutMs);
    if (!good) {
        end = "closed: a subscription without a valid ticket";
    }
    return subscriber;
}

// Why the connection ends, judged by what its peer sent: a subscriber sends nothing after
// subscribing, so any byte is a misbehaving client and the end of the stream a closed one.
// Empty while the peer is silent. The bytes are read, not peeked: a peeked byte would hide
// the end of the stream behind it for good.
std::string PeerEnd(const wire::Socket& socket) {
    if (!wire::WaitReadable(socket, 0).ok()) {
        return {};
    }
    char bytes[256];
    const ssize_t got = recv(socket.descriptor(), bytes, sizeof bytes, MSG_DONTWAIT);
    if (got > 0) {
        return "dropped: it sent data after subscribing";
    }
    if (got == 0) {
        return "closed by the client";
    }
    if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) {
        return {};
    }
    return std::string("closed: ") + std::strerror(errno);
}

}  // namespace

void ServeEventsConnection(EventHub& hub, const wire::Socket& socket, const std::string& name,
                           const std::atomic<bool>& stop) {
    std::string end;
    std::shared_ptr<EventHub::Subscriber> subscriber =
        AcceptSubscription(hub, socket, name, end, stop);
    if (subscriber == nullptr) {
        LogLine(name + " (events) " + end);
        return;
    }
    LogLine(name + " (events) subscribed");
    std::uint64_t sent = 0;
    for (;;) {
        std::vector<std::uint8_t> frame;
        {
            std::unique_lock<std::mutex> lock(subscriber->mutex);
            subscriber->ready.wait_for(lock, std::chrono::milliseconds(kStopCheckMs), [&] {
                return !subscriber->queue.empty() || subscriber->overflowed || stop;
            });
            if (subscriber->overflowed) {
                end = "dropped: it fell " + std::to_string(subscriber->queue.size()) +
                      " events behind";
                break;
            }
            if (stop) {
                end = "closed at shutdown";
                break;
            }
            if (!subscriber->queue.empty()) {
                frame = std::move(subscriber->queue.front());
                subscriber->queue.pop_front();
            }
        }
        if (end = PeerEnd(socket); !end.empty()) {
            break;
        }
        if (frame.empty()) {
            continue;
        }
        wire::IoResult result = wire::SendFrame(socket, frame, kSendTimeoutMs);
        if (!result.ok()) {
            std::lock_guard<std::mutex> lock(subscriber->mutex);
            end = subscriber->overflowed
                      ? "dropped: it fell " + std::to_string(subscriber->queue.size()) +
                            " events behind"
                      : "closed: " + wire::DescribeIo(result) + " while sending an event";
            break;
        }
        ++sent;
    }
    hub.Unsubscribe(subscriber);
    LogLine(name + " (events) " + end + " (" + std::to_string(sent) + " events sent)");
}

}  // namespace kestro::server
