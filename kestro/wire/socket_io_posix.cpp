// The socket calls on POSIX systems. Descriptors stay blocking for their owners, but every
// transfer here is made with MSG_DONTWAIT and waits in poll; every descriptor is close on exec,
// and sends never raise SIGPIPE (MSG_NOSIGNAL).
#include "kestro/wire/socket_system.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <utility>

namespace kestro::wire {

namespace {

bool IsPeerGone(int error) {
    return error == ECONNRESET || error == EPIPE || error == ENOTCONN;
}

// The outcome of a transfer that failed with `error`.
sockets::Attempt TransferFailed(int error) {
    using sockets::Outcome;
    if (error == EAGAIN || error == EWOULDBLOCK) {
        return {Outcome::kWouldBlock};
    }
    if (error == EINTR) {
        return {Outcome::kRetry};
    }
    return {IsPeerGone(error) ? Outcome::kPeerGone : Outcome::kFailed, 0, error};
}

// Turns off the Nagle delay: a request or an answer is one small frame that should leave at
// once. Sockets that are not TCP refuse it harmlessly.
void SendAtOnce(int descriptor) {
    int on = 1;
    setsockopt(descriptor, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

sockaddr_in IPv4Address(std::uint32_t address, std::uint16_t port) {
    sockaddr_in result{};
    result.sin_family = AF_INET;
    result.sin_port = htons(port);
    result.sin_addr.s_addr = address;
    return result;
}

}  // namespace

void Socket::Close() {
    if (valid()) {
        ::close(descriptor_);
        descriptor_ = kNoSocket;
    }
}

namespace sockets {

IoResult StartSockets() {
    return {};
}

Attempt ReceiveSome(NativeSocket socket, std::uint8_t* bytes, std::size_t count) {
    ssize_t got = recv(socket, bytes, count, MSG_DONTWAIT);
    if (got > 0) {
        return {Outcome::kDone, static_cast<std::size_t>(got)};
    }
    if (got == 0) {
        return {Outcome::kEnd};
    }
    return TransferFailed(errno);
}

Attempt SendSome(NativeSocket socket, const std::uint8_t* bytes, std::size_t count) {
    ssize_t put = send(socket, bytes, count, MSG_DONTWAIT | MSG_NOSIGNAL);
    if (put >= 0) {
        return {Outcome::kDone, static_cast<std::size_t>(put)};
    }
    return TransferFailed(errno);
}

Attempt AcceptOne(NativeSocket listener, Socket& connection) {
    int accepted = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
    if (accepted >= 0) {
        SendAtOnce(accepted);
        connection = Socket(accepted);
        return {Outcome::kDone};
    }
    if (errno == ECONNABORTED) {
        // A connection the peer gave up before we took it is no failure of ours.
        return {Outcome::kRetry};
    }
    return TransferFailed(errno);
}

void ShutdownBoth(NativeSocket socket) {
    shutdown(socket, SHUT_RDWR);
}

// A shutdown in another thread wakes poll by itself: the socket turns readable and writable.
IoResult WaitFor(const Socket& socket, Readiness readiness, const Deadline& deadline) {
    short events = readiness == Readiness::kReadable ? POLLIN : POLLOUT;
    for (;;) {
        pollfd entry{socket.descriptor(), events, 0};
        int ready = poll(&entry, 1, deadline.MillisecondsLeft());
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

IoResult ConnectOnce(std::uint32_t address, std::uint16_t port, const Deadline& deadline,
                     Socket& socket) {
    Socket attempt(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!attempt.valid()) {
        return Failure(IoStatus::kSystemError, errno);
    }
    int descriptor = attempt.descriptor();
    sockaddr_in remote = IPv4Address(address, port);
    if (connect(descriptor, reinterpret_cast<const sockaddr*>(&remote), sizeof remote) != 0) {
        if (errno != EINPROGRESS && errno != EINTR) {
            return Failure(IoStatus::kCannotConnect, errno);
        }
        IoResult waited = WaitFor(attempt, Readiness::kWritable, deadline);
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

IoResult ListenOn(std::uint32_t address, std::uint16_t port, Socket& listener) {
    sockaddr_in local = IPv4Address(address, port);
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

std::string ErrorText(int error) {
    return std::error_code(error, std::generic_category()).message();
}

}  // namespace sockets

}  // namespace kestro::wire
