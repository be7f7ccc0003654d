// Frames over POSIX stream sockets. Descriptors stay blocking for their owners, but every
// transfer here is made with MSG_DONTWAIT and waits in poll, so that no call outlives its
// time-out.
#include "kestro/wire/socket_io.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <system_error>
#include <utility>

namespace kestro::wire {

namespace {

using Clock = std::chrono::steady_clock;

// The end of a time-out, shared by the several waits of one operation.
class Deadline {
  public:
    explicit Deadline(int timeoutMs)
        : unlimited_(timeoutMs < 0),
          end_(Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0))) {}

    // The time left in the form poll takes: -1 without limit, 0 once passed.
    int PollTimeout() const {
        if (unlimited_) {
            return -1;
        }
        auto left = std::chrono::ceil<std::chrono::milliseconds>(end_ - Clock::now()).count();
        return static_cast<int>(std::clamp<decltype(left)>(left, 0, INT_MAX));
    }

  private:
    bool unlimited_;
    Clock::time_point end_;
};

IoResult Failure(IoStatus status, int systemError = 0) {
    return {status, WireError::kNone, systemError};
}

IoResult Malformed(WireError error) {
    return {IoStatus::kMalformed, error, 0};
}

// Waits until `events` are possible on `descriptor` (or it failed or hung up, which the
// next transfer reports) or the deadline passes.
IoResult PollFor(int descriptor, short events, const Deadline& deadline) {
    for (;;) {
        pollfd entry{descriptor, events, 0};
        int ready = poll(&entry, 1, deadline.PollTimeout());
        if (ready > 0) {
            return {};
        }
        if (ready == 0) {
            return Failure(IoStatus::kTimeOut);
        }
        if (errno != EINTR) {
            return Failure(IoStatus::kSystemError, errno);
        }
    }
}

bool IsPeerGone(int error) {
    return error == ECONNRESET || error == EPIPE || error == ENOTCONN;
}

IoResult ReceiveExactly(int descriptor, std::uint8_t* bytes, std::size_t count,
                        const Deadline& deadline) {
    std::size_t received = 0;
    while (received < count) {
        ssize_t got = recv(descriptor, bytes + received, count - received, MSG_DONTWAIT);
        if (got > 0) {
            received += static_cast<std::size_t>(got);
        } else if (got == 0) {
            return Failure(IoStatus::kClosed);
        } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
            IoResult waited = PollFor(descriptor, POLLIN, deadline);
            if (!waited.ok()) {
                return waited;
            }
        } else if (IsPeerGone(errno)) {
            return Failure(IoStatus::kClosed, errno);
        } else if (errno != EINTR) {
            return Failure(IoStatus::kSystemError, errno);
        }
    }
    return {};
}

// Turns off the Nagle delay: a request or an answer is one small frame that should leave at
// once. Sockets that are not TCP refuse it harmlessly.
void SendAtOnce(int descriptor) {
    int on = 1;
    setsockopt(descriptor, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

// One connection attempt to `address` within the deadline.
IoResult ConnectOnce(const sockaddr* address, socklen_t length, const Deadline& deadline,
                     Socket& socket) {
    Socket attempt(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!attempt.valid()) {
        return Failure(IoStatus::kSystemError, errno);
    }
    int descriptor = attempt.descriptor();
    if (connect(descriptor, address, length) != 0) {
        if (errno != EINPROGRESS && errno != EINTR) {
            return Failure(IoStatus::kCannotConnect, errno);
        }
        IoResult waited = PollFor(descriptor, POLLOUT, deadline);
        if (!waited.ok()) {
            return waited;
        }
        int error = 0;
        socklen_t errorLength = sizeof error;
        if (getsockopt(descriptor, SOL_SOCKET, SO_ERROR, &error, &errorLength) != 0) {
            return Failure(IoStatus::kSystemError, errno);
        }
        if (error != 0) {
            return Failure(IoStatus::kCannotConnect, error);
        }
    }
    int flags = fcntl(descriptor, F_GETFL);
    if (flags < 0 || fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        return Failure(IoStatus::kSystemError, errno);
    }
    SendAtOnce(descriptor);
    socket = std::move(attempt);
    return {};
}

}  // namespace

std::string DescribeIo(const IoResult& result) {
    auto systemText = [&result] {
        return std::error_code(result.systemError, std::generic_category()).message();
    };
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
            return "cannot connect: " + systemText();
        case IoStatus::kSystemError:
            return "system error: " + systemText();
    }
    return "unknown status";
}

// ---- Socket -------------------------------------------------------------------------------

Socket::Socket(Socket&& other) noexcept : descriptor_(std::exchange(other.descriptor_, -1)) {}

Socket& Socket::operator=(Socket&& other) noexcept {
    if (this != &other) {
        Close();
        descriptor_ = std::exchange(other.descriptor_, -1);
    }
    return *this;
}

Socket::~Socket() {
    Close();
}

void Socket::Close() {
    if (descriptor_ >= 0) {
        ::close(descriptor_);
        descriptor_ = -1;
    }
}

// ---- Connections --------------------------------------------------------------------------

IoResult ConnectTo(std::string_view host, std::uint16_t port, int timeoutMs, Socket& socket) {
    Deadline deadline(timeoutMs);
    if (host.empty() || host.find('\0') != std::string_view::npos) {
        return Failure(IoStatus::kUnknownHost);
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* addresses = nullptr;
    std::string name(host);
    std::string service = std::to_string(port);
    if (getaddrinfo(name.c_str(), service.c_str(), &hints, &addresses) != 0) {
        return Failure(IoStatus::kUnknownHost);
    }
    IoResult result = Failure(IoStatus::kCannotConnect);
    for (addrinfo* address = addresses; address != nullptr; address = address->ai_next) {
        result = ConnectOnce(address->ai_addr, address->ai_addrlen, deadline, socket);
        if (result.status != IoStatus::kCannotConnect) {
            break;
        }
    }
    freeaddrinfo(addresses);
    return result;
}

IoResult Listen(std::string_view address, std::uint16_t port, Socket& listener) {
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(port);
    std::string dotted(address);
    if (address.find('\0') != std::string_view::npos ||
        inet_pton(AF_INET, dotted.c_str(), &local.sin_addr) != 1) {
        return Failure(IoStatus::kUnknownHost);
    }
    Socket candidate(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!candidate.valid()) {
        return Failure(IoStatus::kSystemError, errno);
    }
    int on = 1;
    if (setsockopt(candidate.descriptor(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0 ||
        bind(candidate.descriptor(), reinterpret_cast<const sockaddr*>(&local), sizeof local) !=
            0 ||
        listen(candidate.descriptor(), SOMAXCONN) != 0) {
        return Failure(IoStatus::kSystemError, errno);
    }
    listener = std::move(candidate);
    return {};
}

std::uint16_t LocalPort(const Socket& socket) {
    sockaddr_in local{};
    socklen_t length = sizeof local;
    if (getsockname(socket.descriptor(), reinterpret_cast<sockaddr*>(&local), &length) != 0 ||
        local.sin_family != AF_INET) {
        return 0;
    }
    return ntohs(local.sin_port);
}

IoResult Accept(const Socket& listener, int timeoutMs, Socket& connection) {
    Deadline deadline(timeoutMs);
    for (;;) {
        int accepted = accept4(listener.descriptor(), nullptr, nullptr, SOCK_CLOEXEC);
        if (accepted >= 0) {
            SendAtOnce(accepted);
            connection = Socket(accepted);
            return {};
        }
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            IoResult waited = PollFor(listener.descriptor(), POLLIN, deadline);
            if (!waited.ok()) {
                return waited;
            }
        } else if (errno != EINTR && errno != ECONNABORTED) {
            // A connection the peer gave up before we took it is no failure of ours.
            return Failure(IoStatus::kSystemError, errno);
        }
    }
}

// ---- Frames -------------------------------------------------------------------------------

IoResult SendFrame(const Socket& socket, std::span<const std::uint8_t> frame, int timeoutMs) {
    Deadline deadline(timeoutMs);
    std::size_t sent = 0;
    while (sent < frame.size()) {
        ssize_t put = send(socket.descriptor(), frame.data() + sent, frame.size() - sent,
                           MSG_DONTWAIT | MSG_NOSIGNAL);
        if (put >= 0) {
            sent += static_cast<std::size_t>(put);
        } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
            IoResult waited = PollFor(socket.descriptor(), POLLOUT, deadline);
            if (!waited.ok()) {
                return waited;
            }
        } else if (IsPeerGone(errno)) {
            return Failure(IoStatus::kClosed, errno);
        } else if (errno != EINTR) {
            return Failure(IoStatus::kSystemError, errno);
        }
    }
    return {};
}

IoResult WaitReadable(const Socket& socket, int timeoutMs) {
    return PollFor(socket.descriptor(), POLLIN, Deadline(timeoutMs));
}

IoResult ReceiveFrame(const Socket& socket, int timeoutMs, std::vector<std::uint8_t>& frame) {
    Deadline deadline(timeoutMs);
    std::vector<std::uint8_t> bytes(kHeaderBytes);
    IoResult result = ReceiveExactly(socket.descriptor(), bytes.data(), kHeaderBytes, deadline);
    if (!result.ok()) {
        return result;
    }
    FrameHeader header;
    WireError error = DecodeHeader(bytes, header);
    if (error != WireError::kNone) {
        return Malformed(error);
    }
    bytes.resize(kHeaderBytes + header.payloadLength);
    result = ReceiveExactly(socket.descriptor(), bytes.data() + kHeaderBytes, header.payloadLength,
                            deadline);
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
