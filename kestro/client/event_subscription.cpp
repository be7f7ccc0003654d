// Subscribing on the events port and reading its events.
#include "kestro/client/event_subscription.h"

#include "kestro/wire/pump_calls.h"

namespace kestro::client {

std::int32_t EventSubscription::Open(ClientLink& link, const std::string& host,
                                     std::uint16_t eventsPort, int timeoutMs) {
    std::int32_t ticket = 0;
    if (std::int32_t rc = link.Forward<wire::pump_calls::OpenEvents>(&ticket)) {
        return rc;
    }
    wire::Socket socket;
    if (!wire::ConnectTo(host, eventsPort, timeoutMs, socket).ok()) {
        return kCannotConnect;
    }
    std::vector<std::uint8_t> frame;
    using Subscribe = wire::Marshal<wire::pump_calls::Subscribe>;
    Subscribe::EncodeRequest(1, frame, ticket);
    wire::IoResult io = wire::SendFrame(socket, frame, timeoutMs);
    if (io.ok()) {
        io = wire::ReceiveFrame(socket, timeoutMs, frame);
    }
    if (!io.ok()) {
        return io.status == wire::IoStatus::kTimeOut ? kTimeOut : kConnectionLost;
    }
    std::int32_t result = 0;
    if (Subscribe::DecodeResponse(frame, 1, result, ticket) != wire::WireError::kNone) {
        return kInvalidAnswer;
    }
    if (result == kSuccess) {
        socket_ = std::move(socket);
        lastSequence_ = 0;
        lost_ = false;
    }
    return result;
}

EventSubscription::Next EventSubscription::Read(int timeoutMs, wire::ReceivedEvent& received,
                                                bool& gap) {
    if (!socket_.valid() || lost_) {
        return Next::kLost;
    }
    wire::IoResult waited = wire::WaitReadable(socket_, timeoutMs);
    if (waited.status == wire::IoStatus::kTimeOut) {
        return Next::kTimeOut;
    }
    std::vector<std::uint8_t> frame;
    wire::IoResult io = waited.ok() ? wire::ReceiveFrame(socket_, timeoutMs, frame) : waited;
    if (!io.ok() || wire::DecodeEvent(frame, received) != wire::WireError::kNone) {
        lost_ = true;
        return Next::kLost;
    }
    gap = received.sequence != lastSequence_ + 1;
    lastSequence_ = received.sequence;
    return Next::kEvent;
}

void EventSubscription::Close() {
    socket_.Shutdown();
}

}  // namespace kestro::client
