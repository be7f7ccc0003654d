// The link's logon, logoff and transfers, and the mapping of transfer failures to result
// codes.
#include "kestro/client/client_link.h"

#include <algorithm>

namespace kestro::client {
namespace {

using Clock = std::chrono::steady_clock;

bool IsPort(std::int32_t port) {
    return port >= 1 && port <= 65535;
}

int MillisecondsLeft(Deadline deadline) {
    auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(std::max<decltype(left)>(left, 0));
}

// The host name in the narrow form the resolver takes; empty when the name has a unit no
// host name can hold, so that it cannot resolve.
std::string HostName(BSTR serverName) {
    std::string host;
    for (UINT i = 0; i < SysStringLen(serverName); ++i) {
        OLECHAR unit = serverName[i];
        if (unit == 0 || unit > 0x7F) {
            return std::string();
        }
        host.push_back(static_cast<char>(unit));
    }
    return host;
}

}  // namespace

ClientLink& ClientLink::Instance() {
    static ClientLink link(true);
    return link;
}

std::int32_t ClientLink::TakeSnapshot(Deadline deadline) {
    std::vector<std::uint8_t> frame;
    const std::uint32_t sequence = ++sequence_;
    wire::FrameWriter request(wire::FrameKind::kRequest, wire::kSnapshotCall, sequence);
    request.AddInt32(wire::kSnapshotRevision);
    request.Finish(frame);  // one integer always fits
    wire::IoResult io = wire::SendFrame(socket_, frame, MillisecondsLeft(deadline));
    ConfigurationSnapshot snapshot;
    for (bool ended = false; io.ok() && !ended;) {
        io = wire::ReceiveFrame(socket_, timeoutMs_, frame);
        if (!io.ok()) {
            break;
        }
        wire::FrameHeader header;
        wire::DecodeHeader(frame, header);
        if (header.kind != wire::FrameKind::kResponse || header.call != wire::kSnapshotCall ||
            header.sequence != sequence) {
            return Drop({wire::IoStatus::kMalformed, wire::WireError::kUnexpectedFrame, 0});
        }
        if (header.result != kSuccess && header.valueCount != 0) {
            return Drop({wire::IoStatus::kMalformed, wire::WireError::kValueCountMismatch, 0});
        }
        if (header.result != kSuccess) {
            // An older server, or one that must count the faults of these calls itself.
            snapshotRefused_ = true;
            return kSuccess;
        }
        if (wire::WireError error = snapshot.Read(frame, ended); error != wire::WireError::kNone) {
            return Drop({wire::IoStatus::kMalformed, error, 0});
        }
    }
    if (!io.ok()) {
        return Drop(io);
    }
    snapshot_ = std::move(snapshot);
    return kSuccess;
}

Deadline ClientLink::DeadlineFromNow() const {
    return Clock::now() + std::chrono::milliseconds(timeoutMs_);
}

std::int32_t ClientLink::LogOn(std::int32_t clientId, std::int32_t clientKind, BSTR serverName,
                               std::int32_t callPort, std::int32_t eventsPort,
                               std::int32_t callTimeout, std::int32_t options,
                               std::int32_t eventMask, std::int32_t bufferSize) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (state_ != State::kLoggedOff) {
        return kAlreadyLoggedOn;
    }
    if (SysStringLen(serverName) == 0 || !IsPort(callPort) || !IsPort(eventsPort) ||
        callTimeout < 1) {
        return kInvalidArgument;
    }
    timeoutMs_ = callTimeout;
    snapshot_.reset();
    snapshotRefused_ = false;
    const Deadline deadline = DeadlineFromNow();
    const std::string host = HostName(serverName);
    if (host.empty() || !wire::ConnectTo(host, static_cast<std::uint16_t>(callPort),
                                         MillisecondsLeft(deadline), socket_)
                             .ok()) {
        return kCannotConnect;
    }
    state_ = State::kOpen;
    std::int32_t rc = Exchange<wire::CallCode::ClientLogonEx>(
        deadline, clientId, clientKind, serverName, callPort, eventsPort, callTimeout, options,
        eventMask, bufferSize);
    if (rc != kSuccess) {
        socket_.Close();
        state_ = State::kLoggedOff;
    }
    return rc;
}

std::int32_t ClientLink::LogOff() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::int32_t rc = kNotLoggedOn;
    if (state_ == State::kLost) {
        rc = kConnectionLost;
    } else if (state_ == State::kOpen) {
        rc = Exchange<wire::CallCode::ClientLogoff>(DeadlineFromNow());
    }
    socket_.Close();
    state_ = State::kLoggedOff;
    snapshot_.reset();
    return rc;
}

std::int32_t ClientLink::Transfer(std::vector<std::uint8_t>& frame, Deadline deadline) {
    wire::IoResult result = wire::SendFrame(socket_, frame, MillisecondsLeft(deadline));
    if (result.ok()) {
        result = wire::ReceiveFrame(socket_, MillisecondsLeft(deadline), frame);
    }
    return result.ok() ? kSuccess : Drop(result);
}

std::int32_t ClientLink::Drop(const wire::IoResult& failure) {
    socket_.Close();
    snapshot_.reset();
    state_ = State::kLost;
    switch (failure.status) {
        case wire::IoStatus::kTimeOut:
            return kTimeOut;
        case wire::IoStatus::kMalformed:
            return kInvalidAnswer;
        default:
            return kConnectionLost;
    }
}

}  // namespace kestro::client
