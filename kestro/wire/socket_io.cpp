// Frames over stream sockets, the part both systems share: the checks of names, the loops that
// move whole frames within one time-out, the frame checks and the texts. Every transfer is a
// non-blocking try followed by a wait (socket_system.h), so that no call outlives its
// time-out.
#include "kestro/wire/socket_io.h"

#include <utility>

#include "kestro/wire/socket_system.h"

namespace kestro::wire {

namespace {

using sockets::Attempt;
using sockets::Deadline;
using sockets::Failure;
using sockets::Outcome;
using sockets::Readiness;

IoResult Malformed(WireError error) {
    return {IoStatus::kMalformed, error, 0};
}

// After one try: kOk to go on (once the socket is ready again where the system would have
// blocked), else the failure that ends the operation.
IoResult GoOn(const Attempt& attempt, const Socket& socket, Readiness readiness,
              const Deadline& deadline) {
    switch (attempt.outcome) {
        case Outcome::kDone:
        case Outcome::kRetry:
            return {};
        case Outcome::kWouldBlock:
            return sockets::WaitFor(socket, readiness, deadline);
        case Outcome::kEnd:
            return Failure(IoStatus::kClosed);
        case Outcome::kPeerGone:
            return Failure(IoStatus::kClosed, attempt.error);
        case Outcome::kFailed:
            break;
    }
    return Failure(IoStatus::kSystemError, attempt.error);
}

IoResult ReceiveExactly(const Socket& socket, std::uint8_t* bytes, std::size_t count,
                        const Deadline& deadline) {
    std::size_t received = 0;
    while (received < count) {
        Attempt attempt =
            sockets::ReceiveSome(socket.descriptor(), bytes + received, count - received);
        received += attempt.moved;
        if (IoResult next = GoOn(attempt, socket, Readiness::kReadable, deadline); !next.ok()) {
            return next;
        }
    }
    return {};
}

bool HasZero(std::string_view text) {
    return text.find('\0') != std::string_view::npos;
}

}  // namespace

std::string DescribeIo(const IoResult& result) {
    switch (result.status) {
        case IoStatus::kOk:
            return "ok";
        case IoStatus::kTimeOut:
            return "time-out";
        case IoStatus::kClosed:
            return "connection closed by the peer";
        case IoStatus::kMalformed:
            return std::string("malformed frame: ") + WireErrorText(result.wireError);
        case IoStatus::kUnknownHost:
            return "unknown host";
        case IoStatus::kCannotConnect:
            return "cannot connect: " + sockets::ErrorText(result.systemError);
        case IoStatus::kSystemError:
            return "system error: " + sockets::ErrorText(result.systemError);
    }
    return "unknown status";
}

// ---- Socket -------------------------------------------------------------------------------

Socket::Socket(Socket&& other) noexcept
    : descriptor_(std::exchange(other.descriptor_, kNoSocket)),
      shutDown_(other.shutDown_.exchange(false)) {}

Socket& Socket::operator=(Socket&& other) noexcept {
    if (this != &other) {
        Close();
        descriptor_ = std::exchange(other.descriptor_, kNoSocket);
        shutDown_.store(other.shutDown_.exchange(false));
    }
    return *this;
}

void Socket::Shutdown() {
    if (valid()) {
        shutDown_.store(true, std::memory_order_release);
        sockets::ShutdownBoth(descriptor_);
    }
}

Socket::~Socket() {
    Close();
}

// ---- Connections --------------------------------------------------------------------------

IoResult ConnectTo(std::string_view host, std::uint16_t port, int timeoutMs, Socket& socket) {
    Deadline deadline(timeoutMs);
    if (host.empty() || HasZero(host)) {
        return Failure(IoStatus::kUnknownHost);
    }
    if (IoResult started = sockets::StartSockets(); !started.ok()) {
        return started;
    }
    std::vector<std::uint32_t> addresses;
    if (!sockets::ResolveIPv4(std::string(host), addresses)) {
        return Failure(IoStatus::kUnknownHost);
    }
    IoResult result = Failure(IoStatus::kCannotConnect);
    for (std::uint32_t address : addresses) {
        result = sockets::ConnectOnce(address, port, deadline, socket);
        if (result.status != IoStatus::kCannotConnect) {
            break;
        }
    }
    return result;
}

IoResult Listen(std::string_view address, std::uint16_t port, Socket& listener) {
    if (IoResult started = sockets::StartSockets(); !started.ok()) {
        return started;
    }
    std::uint32_t local = 0;
    if (HasZero(address) || !sockets::ParseIPv4(std::string(address), local)) {
        return Failure(IoStatus::kUnknownHost);
    }
    return sockets::ListenOn(local, port, listener);
}

IoResult Accept(const Socket& listener, int timeoutMs, Socket& connection) {
    Deadline deadline(timeoutMs);
    for (;;) {
        Attempt attempt = sockets::AcceptOne(listener.descriptor(), connection);
        if (attempt.outcome == Outcome::kDone) {
            return {};
        }
        if (attempt.outcome == Outcome::kPeerGone) {
            attempt.outcome = Outcome::kFailed;  // a listener has no peer to lose
        }
        IoResult next = GoOn(attempt, listener, Readiness::kReadable, deadline);
        if (!next.ok()) {
            return next;
        }
    }
}

// ---- Frames -------------------------------------------------------------------------------

IoResult SendFrame(const Socket& socket, std::span<const std::uint8_t> frame, int timeoutMs) {
    Deadline deadline(timeoutMs);
    std::size_t sent = 0;
    while (sent < frame.size()) {
        Attempt attempt =
            sockets::SendSome(socket.descriptor(), frame.data() + sent, frame.size() - sent);
        sent += attempt.moved;
        IoResult next = GoOn(attempt, socket, Readiness::kWritable, deadline);
        if (!next.ok()) {
            return next;
        }
    }
    return {};
}

IoResult WaitReadable(const Socket& socket, int timeoutMs) {
    return sockets::WaitFor(socket, Readiness::kReadable, Deadline(timeoutMs));
}

IoResult ReceiveFrame(const Socket& socket, int timeoutMs, std::vector<std::uint8_t>& frame) {
    Deadline deadline(timeoutMs);
    std::vector<std::uint8_t> bytes(kHeaderBytes);
    IoResult result = ReceiveExactly(socket, bytes.data(), kHeaderBytes, deadline);
    if (!result.ok()) {
        return result;
    }
    FrameHeader header;
    WireError error = DecodeHeader(bytes, header);
    if (error != WireError::kNone) {
        return Malformed(error);
    }
    bytes.resize(kHeaderBytes + header.payloadLength);
    result = ReceiveExactly(socket, bytes.data() + kHeaderBytes, header.payloadLength, deadline);
    if (!result.ok()) {
        return result;
    }
    FrameReader reader;
    error = reader.Open(bytes);
    if (error != WireError::kNone) {
        return Malformed(error);
    }
    frame = std::move(bytes);
    return {};
}

}  // namespace kestro::wire
