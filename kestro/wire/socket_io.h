// Frames over TCP stream sockets: connecting with a time-out, listening and accepting for the
// server, and sending and receiving whole frames with a time-out. Every failure comes back as
// an IoResult; nothing here throws or raises SIGPIPE. The system calls are written once per
// system behind socket_system.h (socket_io_posix.cpp, socket_io_win32.cpp with Winsock 2).
#pragma once

#include <atomic>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "kestro/wire/frame.h"

namespace kestro::wire {

#ifdef _WIN32
// Winsock's SOCKET (a UINT_PTR) and INVALID_SOCKET, without <winsock2.h> in every includer;
// socket_io_win32.cpp checks that they are the same.
using NativeSocket = std::uintptr_t;
inline constexpr NativeSocket kNoSocket = ~NativeSocket{0};
#else
using NativeSocket = int;  // a file descriptor
inline constexpr NativeSocket kNoSocket = -1;
#endif

// A time-out in milliseconds; kNoTimeLimit waits as long as it takes.
inline constexpr int kNoTimeLimit = -1;

enum class IoStatus {
    kOk,
    kTimeOut,        // the time-out passed first
    kClosed,         // the peer closed or reset the connection (possibly mid-frame)
    kMalformed,      // the bytes received are no well-formed frame (see IoResult::wireError)
    kUnknownHost,    // the host name does not resolve to an IPv4 address
    kCannotConnect,  // nobody accepts connections there (see IoResult::systemError)
    kSystemError,    // any other failure of the system (see IoResult::systemError)
};

struct IoResult {
    IoStatus status = IoStatus::kOk;
    WireError wireError = WireError::kNone;  // the detail of kMalformed
    // The system's code (errno; WSAGetLastError's on Windows) of kCannotConnect and
    // kSystemError, and of kClosed by a reset.
    int systemError = 0;

    bool ok() const { return status == IoStatus::kOk; }
};

// One line for a log: "time-out", "malformed frame: bad magic", "cannot connect: Connection
// refused", ...
std::string DescribeIo(const IoResult& result);

// Owns one socket and closes it when it goes. POSIX descriptors are close on exec and stay
// blocking for their owners (every call here makes its own transfers non-blocking); Windows
// sockets are not inherited and are non-blocking throughout, Winsock having no per-call flag.
class Socket {
  public:
    Socket() = default;
    explicit Socket(NativeSocket descriptor) : descriptor_(descriptor) {}
    Socket(Socket&& other) noexcept;
    Socket& operator=(Socket&& other) noexcept;
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    ~Socket();

    NativeSocket descriptor() const { return descriptor_; }
    bool valid() const { return descriptor_ != kNoSocket; }
    void Close();
    // Ends both directions of the connection but keeps the socket; may be called while
    // another thread transfers or waits on it, which then returns at once: kClosed, or for
    // WaitReadable on POSIX, ready (with the end of the stream to read).
    void Shutdown();
    // Whether Shutdown was called. Winsock's shutdown wakes no wait in another thread, so the
    // waits on Windows look at this between short slices of waiting.
    bool shutDown() const { return shutDown_.load(std::memory_order_acquire); }

  private:
    NativeSocket descriptor_ = kNoSocket;
    std::atomic<bool> shutDown_ = false;
};

// Connects over TCP to `host` (an IPv4 address or a host name that resolves to one) on
// `port`, trying each address of the name within the one time-out. The connection sends
// small frames at once (no Nagle delay). `socket` is written only on success.
IoResult ConnectTo(std::string_view host, std::uint16_t port, int timeoutMs, Socket& socket);

// Opens a TCP listening socket bound to the IPv4 address `address` (dotted form) and `port`
// (0 picks a free port, see LocalPort). A restarted server gets its port back at once
// (SO_REUSEADDR on POSIX), and a port another socket listens on is refused
// (SO_EXCLUSIVEADDRUSE on Windows, whose SO_REUSEADDR would share it). `listener` is written
// only on success.
IoResult Listen(std::string_view address, std::uint16_t port, Socket& listener);

// The local port a socket is bound to; 0 when it has none.
std::uint16_t LocalPort(const Socket& socket);

// Waits up to `timeoutMs` for a connection on `listener` and accepts it (close on exec, no
// Nagle delay). `connection` is written only on success.
IoResult Accept(const Socket& listener, int timeoutMs, Socket& connection);

// Sends the whole of `frame` within `timeoutMs`. After a time-out part of the frame may
// have left, so the connection must not carry another frame.
IoResult SendFrame(const Socket& socket, std::span<const std::uint8_t> frame, int timeoutMs);

// Waits up to `timeoutMs` until `socket` has bytes to read or its peer has closed: kOk then,
// else kTimeOut. Lets a server wait for the next request in slices without touching the
// stream.
IoResult WaitReadable(const Socket& socket, int timeoutMs);

// Receives one frame within `timeoutMs` (the time-out covers the whole frame) and checks it
// completely, as FrameReader::Open does; a header that announces more than the bounds is
// refused before its payload is read. `frame` is written only on success. After anything
// but kOk part of a frame may have been consumed: the connection is out of step, close it.
IoResult ReceiveFrame(const Socket& socket, int timeoutMs, std::vector<std::uint8_t>& frame);

}  // namespace kestro::wire
