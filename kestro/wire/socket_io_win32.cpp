// The socket calls on Windows, with Winsock 2. Winsock is started once per process, on first
// use, by one owner. Sockets are non-blocking throughout (Winsock has no per-call
// MSG_DONTWAIT) and not inherited by child processes; sends need no flag, as Winsock raises no
// signal. Waits are select's, in slices that look for a Socket::Shutdown from another thread:
// WSAPoll of older Windows versions never reports a refused connection, which would then wait
// out the whole time-out.
#include "kestro/wire/socket_system.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <type_traits>
#include <utility>

namespace kestro::wire {

static_assert(std::is_same_v<NativeSocket, SOCKET>, "NativeSocket is Winsock's SOCKET");
static_assert(kNoSocket == INVALID_SOCKET, "kNoSocket is INVALID_SOCKET");

namespace {

// Winsock for the whole process: started by the first call that needs it, ended with the
// process (or when the library holding this code is unloaded).
class WinsockSession {
  public:
    WinsockSession() {
        WSADATA data{};
        startError_ = WSAStartup(MAKEWORD(2, 2), &data);
        if (startError_ == 0 && data.wVersion != MAKEWORD(2, 2)) {
            WSACleanup();
            startError_ = WSAVERNOTSUPPORTED;
        }
    }
    ~WinsockSession() {
        if (startError_ == 0) {
            WSACleanup();
        }
    }
    WinsockSession(const WinsockSession&) = delete;
    WinsockSession& operator=(const WinsockSession&) = delete;

    int startError() const { return startError_; }

  private:
    int startError_ = 0;
};

using sockets::Attempt;
using sockets::Deadline;
using sockets::Failure;
using sockets::Outcome;

// The outcome of a transfer that failed with `error` (WSAGetLastError's).
Attempt TransferFailed(int error) {
    switch (error) {
        case WSAEWOULDBLOCK:
            return {Outcome::kWouldBlock};
        case WSAEINTR:
            return {Outcome::kRetry};
        case WSAECONNRESET:
        case WSAECONNABORTED:
        case WSAESHUTDOWN:
        case WSAENOTCONN:
            return {Outcome::kPeerGone, 0, error};
        default:
            return {Outcome::kFailed, 0, error};
    }
}

// Winsock takes lengths as int.
int ChunkLength(std::size_t count) {
    return static_cast<int>(std::min<std::size_t>(count, INT_MAX));
}

bool MakeNonBlocking(SOCKET socket) {
    u_long on = 1;
    return ioctlsocket(socket, FIONBIO, &on) == 0;
}

// Turns off the Nagle delay: a request or an answer is one small frame that should leave at
// once.
void SendAtOnce(SOCKET socket) {
    BOOL on = TRUE;
    setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
}

// A new non-blocking TCP socket that child processes do not inherit.
IoResult NewSocket(Socket& socket) {
    Socket created(WSASocketW(AF_INET, SOCK_STREAM, IPPROTO_TCP, nullptr, 0,
                              WSA_FLAG_OVERLAPPED | WSA_FLAG_NO_HANDLE_INHERIT));
    if (!created.valid() || !MakeNonBlocking(created.descriptor())) {
        return Failure(IoStatus::kSystemError, WSAGetLastError());
    }
    socket = std::move(created);
    return {};
}

sockaddr_in IPv4Address(std::uint32_t address, std::uint16_t port) {
    sockaddr_in result{};
    result.sin_family = AF_INET;
    result.sin_port = htons(port);
    result.sin_addr.s_addr = address;
    return result;
}

// A set of the one socket, for select.
fd_set Only(SOCKET socket) {
    fd_set set{};
    set.fd_count = 1;
    set.fd_array[0] = socket;
    return set;
}

// The longest one select waits before it looks whether the socket was shut down meanwhile:
// Winsock's shutdown does not end a select in another thread.
constexpr int kShutdownSliceMs = 50;

// Waits in select, slice by slice, until `socket` is in one of the sets asked for, it is shut
// down (kClosed) or the deadline passes.
IoResult Select(const Socket& socket, bool readable, bool writable, bool failed,
                const Deadline& deadline) {
    for (;;) {
        if (socket.shutDown()) {
            return Failure(IoStatus::kClosed);
        }
        int left = deadline.MillisecondsLeft();
        int slice = left < 0 ? kShutdownSliceMs : std::min(left, kShutdownSliceMs);
        fd_set readSet = Only(socket.descriptor());
        fd_set writeSet = Only(socket.descriptor());
        fd_set failSet = Only(socket.descriptor());
        timeval limit{slice / 1000, (slice % 1000) * 1000};
        int ready = select(0, readable ? &readSet : nullptr, writable ? &writeSet : nullptr,
                           failed ? &failSet : nullptr, &limit);
        if (ready > 0) {
            return {};
        }
        if (ready == 0) {
            // select may wake a little early; the deadline alone says when the time is up.
            if (deadline.MillisecondsLeft() == 0) {
                return Failure(IoStatus::kTimeOut);
            }
        } else if (int error = WSAGetLastError(); error != WSAEINTR) {
            return Failure(IoStatus::kSystemError, error);
        }
    }
}

// The texts glibc gives the POSIX counterparts of Winsock's codes.
struct ErrorName {
    int code;
    const char* text;
};
constexpr ErrorName kErrorTexts[] = {
    {WSAECONNREFUSED, "Connection refused"},
    {WSAECONNRESET, "Connection reset by peer"},
    {WSAECONNABORTED, "Software caused connection abort"},
    {WSAETIMEDOUT, "Connection timed out"},
    {WSAEHOSTUNREACH, "No route to host"},
    {WSAENETUNREACH, "Network is unreachable"},
    {WSAENETDOWN, "Network is down"},
    {WSAENETRESET, "Network dropped connection on reset"},
    {WSAEHOSTDOWN, "Host is down"},
    {WSAESHUTDOWN, "Cannot send after transport endpoint shutdown"},
    {WSAENOTCONN, "Transport endpoint is not connected"},
    {WSAEISCONN, "Transport endpoint is already connected"},
    {WSAEADDRINUSE, "Address already in use"},
    {WSAEADDRNOTAVAIL, "Cannot assign requested address"},
    {WSAEAFNOSUPPORT, "Address family not supported by protocol"},
    {WSAEACCES, "Permission denied"},
    {WSAEMFILE, "Too many open files"},
    {WSAENOBUFS, "No buffer space available"},
    {WSAEINVAL, "Invalid argument"},
    {WSAENOTSOCK, "Socket operation on non-socket"},
    {WSAEBADF, "Bad file descriptor"},
    {WSAEFAULT, "Bad address"},
    {WSAEINTR, "Interrupted system call"},
    {WSAEWOULDBLOCK, "Resource temporarily unavailable"},
    {WSAEINPROGRESS, "Operation now in progress"},
    {WSAEALREADY, "Operation already in progress"},
    {WSAEMSGSIZE, "Message too long"},
    {WSAEOPNOTSUPP, "Operation not supported"},
};

}  // namespace

void Socket::Close() {
    if (valid()) {
        closesocket(descriptor_);
        descriptor_ = kNoSocket;
    }
}

namespace sockets {

IoResult StartSockets() {
    static const WinsockSession session;
    if (session.startError() != 0) {
        return Failure(IoStatus::kSystemError, session.startError());
    }
    return {};
}

Attempt ReceiveSome(NativeSocket socket, std::uint8_t* bytes, std::size_t count) {
    int got = recv(socket, reinterpret_cast<char*>(bytes), ChunkLength(count), 0);
    if (got > 0) {
        return {Outcome::kDone, static_cast<std::size_t>(got)};
    }
    if (got == 0) {
        return {Outcome::kEnd};
    }
    return TransferFailed(WSAGetLastError());
}

Attempt SendSome(NativeSocket socket, const std::uint8_t* bytes, std::size_t count) {
    int put = send(socket, reinterpret_cast<const char*>(bytes), ChunkLength(count), 0);
    if (put >= 0) {
        return {Outcome::kDone, static_cast<std::size_t>(put)};
    }
    return TransferFailed(WSAGetLastError());
}

Attempt AcceptOne(NativeSocket listener, Socket& connection) {
    Socket accepted(accept(listener, nullptr, nullptr));
    if (!accepted.valid()) {
        int error = WSAGetLastError();
        if (error == WSAECONNRESET) {
            // A connection the peer gave up before we took it is no failure of ours.
            return {Outcome::kRetry};
        }
        return TransferFailed(error);
    }
    // An accepted socket takes the listener's non-blocking mode but not, on every version,
    // its refusal to be inherited.
    if (!MakeNonBlocking(accepted.descriptor())) {
        return {Outcome::kFailed, 0, WSAGetLastError()};
    }
    SetHandleInformation(reinterpret_cast<HANDLE>(accepted.descriptor()), HANDLE_FLAG_INHERIT, 0);
    SendAtOnce(accepted.descriptor());
    connection = std::move(accepted);
    return {Outcome::kDone};
}

void ShutdownBoth(NativeSocket socket) {
    shutdown(socket, SD_BOTH);
}

IoResult WaitFor(const Socket& socket, Readiness readiness, const Deadline& deadline) {
    bool readable = readiness == Readiness::kReadable;
    return Select(socket, readable, !readable, false, deadline);
}

IoResult ConnectOnce(std::uint32_t address, std::uint16_t port, const Deadline& deadline,
                     Socket& socket) {
    Socket attempt;
    if (IoResult created = NewSocket(attempt); !created.ok()) {
        return created;
    }
    SOCKET handle = attempt.descriptor();
    sockaddr_in remote = IPv4Address(address, port);
    if (connect(handle, reinterpret_cast<const sockaddr*>(&remote), sizeof remote) != 0) {
        // A connection under way is WSAEWOULDBLOCK here, not EINPROGRESS.
        if (int error = WSAGetLastError(); error != WSAEWOULDBLOCK) {
            return Failure(IoStatus::kCannotConnect, error);
        }
        // The connection is made when the socket turns writable; a failure shows in the
        // exception set.
        IoResult waited = Select(attempt, false, true, true, deadline);
        if (!waited.ok()) {
            return waited;
        }
        int error = 0;
        int errorLength = sizeof error;
        if (getsockopt(handle, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error),
                       &errorLength) != 0) {
            return Failure(IoStatus::kSystemError, WSAGetLastError());
        }
        if (error != 0) {
            return Failure(IoStatus::kCannotConnect, error);
        }
    }
    SendAtOnce(handle);
    socket = std::move(attempt);
    return {};
}

IoResult ListenOn(std::uint32_t address, std::uint16_t port, Socket& listener) {
    Socket candidate;
    if (IoResult created = NewSocket(candidate); !created.ok()) {
        return created;
    }
    // Winsock's SO_REUSEADDR would let a second server take a port that one listens on;
    // exclusive use refuses it.
    BOOL on = TRUE;
    sockaddr_in local = IPv4Address(address, port);
    if (setsockopt(candidate.descriptor(), SOL_SOCKET, SO_EXCLUSIVEADDRUSE,
                   reinterpret_cast<const char*>(&on), sizeof on) != 0 ||
        bind(candidate.descriptor(), reinterpret_cast<const sockaddr*>(&local), sizeof local) !=
            0 ||
        listen(candidate.descriptor(), SOMAXCONN) != 0) {
        return Failure(IoStatus::kSystemError, WSAGetLastError());
    }
    listener = std::move(candidate);
    return {};
}

std::string ErrorText(int error) {
    for (const ErrorName& known : kErrorTexts) {
        if (known.code == error) {
            return known.text;
        }
    }
    char text[256];
    DWORD length =
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                       static_cast<DWORD>(error), 0, text, sizeof text, nullptr);
    // The system's messages end in a full stop and a line break.
    while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r' ||
                          text[length - 1] == ' ' || text[length - 1] == '.')) {
        --length;
    }
    if (length == 0) {
        return "error " + std::to_string(error);
    }
    return std::string(text, length);
}

}  // namespace sockets

}  // namespace kestro::wire
