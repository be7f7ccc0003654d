// The system's side of socket_io.cpp: each function here is one system call or a short fixed
// run of them, written once per system (socket_io_posix.cpp, socket_io_win32.cpp). What both
// systems share stays in socket_io.cpp: the checks of names, the time-outs, the loops that
// move whole frames, the frame checks and DescribeIo. The two files also define
// Socket::Close and LocalPort of socket_io.h.
#pragma once

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "kestro/wire/socket_io.h"

namespace kestro::wire::sockets {

// The end of a time-out, shared by the several waits of one operation.
class Deadline {
  public:
    using Clock = std::chrono::steady_clock;

    explicit Deadline(int timeoutMs)
        : unlimited_(timeoutMs < 0),
          end_(Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0))) {}

    // The time left in milliseconds, as poll takes it: -1 without limit, 0 once passed.
    int MillisecondsLeft() const {
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

inline IoResult Failure(IoStatus status, int systemError = 0) {
    return {status, WireError::kNone, systemError};
}

// What one try to move bytes, or to take a connection, came to.
enum class Outcome {
    kDone,        // bytes moved (`moved` of them), or a connection was taken
    kEnd,         // the peer ended the stream in order (receiving only)
    kWouldBlock,  // nothing can move yet: wait until the socket is ready, then try again
    kRetry,       // an interruption, or a connection given up before it was taken: try again
    kPeerGone,    // the connection was reset or shut down (`error` tells which)
    kFailed,      // any other failure (`error`)
};

struct Attempt {
    Outcome outcome = Outcome::kDone;
    std::size_t moved = 0;
    int error = 0;  // the system's code of kPeerGone and kFailed
};

// Makes the system's sockets usable in this process (Winsock's start, once; nothing on
// POSIX). kOk, or kSystemError with the system's code.
IoResult StartSockets();

// One non-blocking receive of up to `count` bytes (count > 0).
Attempt ReceiveSome(NativeSocket socket, std::uint8_t* bytes, std::size_t count);

// One non-blocking send of up to `count` bytes (count > 0); never raises SIGPIPE.
Attempt SendSome(NativeSocket socket, const std::uint8_t* bytes, std::size_t count);

// Takes one waiting connection from the non-blocking `listener` into `connection` (not
// inherited by child processes, no Nagle delay); `connection` is written only on kDone.
Attempt AcceptOne(NativeSocket listener, Socket& connection);

enum class Readiness { kReadable, kWritable };

// Waits until `socket` is ready (or failed or hung up, which the next try reports) or the
// deadline passes: kOk, kTimeOut, or kSystemError; kClosed where the system's wait does not
// end by itself when the socket is shut down (Windows). Interruptions are waited through.
IoResult WaitFor(const Socket& socket, Readiness readiness, const Deadline& deadline);

// Ends both directions of the connection (the system call of Socket::Shutdown).
void ShutdownBoth(NativeSocket socket);

// The IPv4 addresses of `host` (no zero inside), in network byte order and the resolver's
// order; false when the name has none.
bool ResolveIPv4(const std::string& host, std::vector<std::uint32_t>& addresses);

// Reads a dotted IPv4 address ("127.0.0.2") into network byte order; false for anything else.
bool ParseIPv4(const std::string& dotted, std::uint32_t& address);

// One connection attempt to `address` (network byte order) within the deadline: kOk with
// `socket` written (no Nagle delay), kCannotConnect with the system's code, kTimeOut or
// kSystemError.
IoResult ConnectOnce(std::uint32_t address, std::uint16_t port, const Deadline& deadline,
                     Socket& socket);

// A non-blocking listening socket on `address` (network byte order) and `port`, as Listen of
// socket_io.h describes; `listener` is written only on success.
IoResult ListenOn(std::uint32_t address, std::uint16_t port, Socket& listener);

// The system's text for one of its error codes: strerror's on POSIX, and on Windows the same
// English texts for the codes that have a POSIX counterpart, so that logs read alike.
std::string ErrorText(int error);

}  // namespace kestro::wire::sockets
