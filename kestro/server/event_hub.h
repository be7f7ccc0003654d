// The events port's side of kestrod: the tickets that let a logged-on client subscribe, the
// subscribers with a bounded queue each, and the publishing of the forecourt's changes to
// all of them. Publishing never waits for a subscriber: one whose queue is full is cut off
// (its connection shut down) and dropped with a log line, and the others go on.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "kestro/model/pump_simulator.h"
#include "kestro/wire/socket_io.h"

namespace kestro::server {

// Frames queued for one subscriber before it counts as stuck.
inline constexpr std::size_t kSubscriberQueueFrames = 4096;
// How long a ticket from OpenEvents stays good.
inline constexpr std::chrono::seconds kTicketLifetime{30};

// Microseconds of the machine's monotonic clock, the time stamp of the events.
std::int64_t MonotonicMicroseconds();

class EventHub {
  public:
    struct Subscriber {
        std::string name;  // "connection 4 (events)"
        int descriptor = -1;
        std::mutex mutex;
        std::condition_variable ready;
        std::deque<std::vector<std::uint8_t>> queue;
        std::uint32_t nextSequence = 1;
        bool overflowed = false;
    };

    explicit EventHub(std::size_t queueFrames = kSubscriberQueueFrames);

    // A new single-use ticket for a logged-on client; never 0.
    std::int32_t IssueTicket();
    // True when `ticket` was issued, unused and not expired; it is used up either way.
    bool RedeemTicket(std::int32_t ticket);

    // Adds a subscriber that writes to the socket `descriptor`; it receives every event
    // published from now on.
    std::shared_ptr<Subscriber> Subscribe(std::string name, int descriptor);
    void Unsubscribe(const std::shared_ptr<Subscriber>& subscriber);

    // Queues `event` for every subscriber, numbered per subscriber. A subscriber whose queue
    // is full is marked overflowed and its socket shut down, so that its writer ends.
    void Publish(const PumpEvent& event);

    std::size_t SubscriberCount();
    std::uint64_t Published() const { return published_; }

  private:
    std::size_t queueFrames_;
    std::mutex mutex_;
    std::list<std::shared_ptr<Subscriber>> subscribers_;
    std::map<std::int32_t, std::chrono::steady_clock::time_point> tickets_;
    std::uint32_t ticketState_;
    std::atomic<std::uint64_t> published_ = 0;
};

// Serves one events connection until it ends or `stop` becomes true: waits for its Subscribe
// request (a valid ticket, within the frame time-out), answers it, then writes the
// subscriber's queue to it in order. Logs why it ended.
void ServeEventsConnection(EventHub& hub, const wire::Socket& socket, const std::string& name,
                           const std::atomic<bool>& stop);

}  // namespace kestro::server
