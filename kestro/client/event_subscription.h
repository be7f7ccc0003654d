// A client's end of the events port: asks its logged-on link for a ticket, connects to the
// server's events port, subscribes, and then reads the status and delivery events one by one,
// noticing a gap in their sequence numbers.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "kestro/client/client_link.h"
#include "kestro/wire/event_frames.h"
#include "kestro/wire/socket_io.h"

namespace kestro::client {

class EventSubscription {
  public:
    enum class Next {
        kEvent,    // `received` holds the next event
        kTimeOut,  // nothing came in time
        kLost,     // the connection ended or brought something that is no event
    };

    // Subscribes through the logged-on `link` on `host`'s `eventsPort`, all within
    // `timeoutMs`. kSuccess, the link's failure (kNotLoggedOn, kConnectionLost, ...), or
    // kCannotConnect / kTimeOut / kInvalidAnswer for the events port itself.
    std::int32_t Open(ClientLink& link, const std::string& host, std::uint16_t eventsPort,
                      int timeoutMs);

    // Waits up to `timeoutMs` for the next event. `gap` is set when events were missed
    // before it (its sequence number is not the one after the last). After kLost every Read
    // answers kLost.
    Next Read(int timeoutMs, wire::ReceivedEvent& received, bool& gap);

    // Shuts the connection down: a Read blocked on another thread returns kLost at once. The
    // socket itself is closed with the subscription.
    void Close();

  private:
    wire::Socket socket_;
    std::uint32_t lastSequence_ = 0;
    bool lost_ = false;
};

}  // namespace kestro::client
