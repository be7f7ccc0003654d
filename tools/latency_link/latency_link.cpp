// latency-link: a TCP forwarder on loopback that behaves like a slow network link. Every chunk
// it reads from one side is written to the other side only after the one-way delay, in each
// direction; chunks are held side by side, so data in flight overlaps as on a real link and
// the round trip of a request and its answer is twice the delay. It stops by itself after the
// given time (and on SIGINT or SIGTERM), closing every connection.
//
// Usage: latency-link --listen ADDRESS:PORT --to ADDRESS:PORT --delay MS --for SECONDS
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/number_word.h"
#include "kestro/wire/socket_io.h"

namespace {

using Clock = std::chrono::steady_clock;
using kestro::wire::Socket;

// Bytes one direction of a connection may hold in flight before it stops reading: the
// sender then waits, as it would for a full link, and the link's memory stays bounded.
constexpr std::size_t kMaxInFlight = 8 * 1024 * 1024;
constexpr std::size_t kChunkBytes = 64 * 1024;

std::atomic<bool> stopRequested = false;

void RequestStop(int) {
    stopRequested = true;
}

struct Endpoint {
    std::string address;
    std::uint16_t port = 0;
};

struct Options {
    Endpoint listen;
    Endpoint to;
    std::chrono::microseconds delay{0};
    std::chrono::milliseconds runFor{0};
};

std::optional<Endpoint> ParseEndpoint(const std::string& text) {
    const std::size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0) {
        return std::nullopt;
    }
    const std::optional<std::uint16_t> port =
        ParseNumberWord<std::uint16_t>(std::string_view(text).substr(colon + 1), 1, 65535);
    if (!port) {
        return std::nullopt;
    }
    return Endpoint{text.substr(0, colon), *port};
}

bool ParseOptions(int argc, char** argv, Options& options, std::string& error) {
    bool listenGiven = false, toGiven = false, delayGiven = false, forGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (i + 1 >= argc) {
            error = option + " needs a value";
            return false;
        }
        const std::string value = argv[++i];
        if (option == "--listen" || option == "--to") {
            std::optional<Endpoint> endpoint = ParseEndpoint(value);
            if (!endpoint) {
                error = option + " needs ADDRESS:PORT, not '" + value + "'";
                return false;
            }
            (option == "--listen" ? options.listen : options.to) = *endpoint;
            (option == "--listen" ? listenGiven : toGiven) = true;
        } else if (option == "--delay") {
            std::optional<double> ms = ParseNumberWord<double>(value, 0, 60000);
            if (!ms) {
                error = "--delay needs milliseconds from 0 to 60000, not '" + value + "'";
                return false;
            }
            options.delay = std::chrono::microseconds(static_cast<long long>(*ms * 1000));
            delayGiven = true;
        } else if (option == "--for") {
            std::optional<double> seconds = ParseNumberWord<double>(value, 0.001, 86400);
            if (!seconds) {
                error = "--for needs seconds above 0, at most a day, not '" + value + "'";
                return false;
            }
            options.runFor = std::chrono::milliseconds(static_cast<long long>(*seconds * 1000));
            forGiven = true;
        } else {
            error = "unknown option '" + option + "'";
            return false;
        }
    }
    if (!listenGiven || !toGiven || !delayGiven || !forGiven) {
        error = "--listen, --to, --delay and --for are all needed";
        return false;
    }
    return true;
}

bool MakeNonBlocking(const Socket& socket) {
    const int flags = fcntl(socket.descriptor(), F_GETFL);
    return flags >= 0 && fcntl(socket.descriptor(), F_SETFL, flags | O_NONBLOCK) == 0;
}

// One direction of a forwarded connection: the chunks read from `from` and not yet written
// to `to`, each with the time it may leave.
struct Direction {
    struct Chunk {
        Clock::time_point due;
        std::vector<char> bytes;
        std::size_t sent = 0;
    };
    std::deque<Chunk> held;
    std::size_t inFlight = 0;
    bool readEnded = false;   // the source closed its side
    bool writeEnded = false;  // the end was passed on to the destination

    bool Done() const { return writeEnded; }
};

struct Pair {
    Socket client;
    Socket server;
    Direction up;    // client to server
    Direction down;  // server to client
    bool failed = false;
};

// Reads what `from` has into a new chunk due after `delay`; false when the connection failed.
bool ReadInto(const Socket& from, Direction& direction, std::chrono::microseconds delay) {
    if (direction.readEnded || direction.inFlight >= kMaxInFlight) {
        return true;
    }
    std::vector<char> bytes(kChunkBytes);
    const ssize_t got = recv(from.descriptor(), bytes.data(), bytes.size(), 0);
    if (got < 0) {
        return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
    }
    if (got == 0) {
        direction.readEnded = true;
        return true;
    }
    bytes.resize(static_cast<std::size_t>(got));
    direction.inFlight += bytes.size();
    direction.held.push_back({Clock::now() + delay, std::move(bytes)});
    return true;
}

// Writes the chunks that are due to `to`, and passes on the end once everything before it
// has left; false when the connection failed.
bool WriteDue(const Socket& to, Direction& direction) {
    const Clock::time_point now = Clock::now();
    while (!direction.held.empty() && direction.held.front().due <= now) {
        Direction::Chunk& chunk = direction.held.front();
        const ssize_t put = send(to.descriptor(), chunk.bytes.data() + chunk.sent,
                                 chunk.bytes.size() - chunk.sent, MSG_NOSIGNAL);
        if (put < 0) {
            return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
        }
        chunk.sent += static_cast<std::size_t>(put);
        if (chunk.sent < chunk.bytes.size()) {
            return true;
        }
        direction.inFlight -= chunk.bytes.size();
        direction.held.pop_front();
    }
    if (direction.readEnded && direction.held.empty() && !direction.writeEnded) {
        shutdown(to.descriptor(), SHUT_WR);
        direction.writeEnded = true;
    }
    return true;
}

// The events `direction` waits for on its source and its destination.
short ReadEvents(const Direction& direction) {
    return !direction.readEnded && direction.inFlight < kMaxInFlight ? POLLIN : 0;
}

short WriteEvents(const Direction& direction, Clock::time_point now) {
    return !direction.held.empty() && direction.held.front().due <= now ? POLLOUT : 0;
}

void Accept(const Socket& listener, const Endpoint& to, std::list<Pair>& pairs) {
    Socket client;
    if (!kestro::wire::Accept(listener, 0, client).ok()) {
        return;
    }
    Socket server;
    kestro::wire::IoResult connected = kestro::wire::ConnectTo(to.address, to.port, 5000, server);
    if (!connected.ok()) {
        std::fprintf(stderr, "latency-link: cannot reach %s:%u: %s\n", to.address.c_str(), to.port,
                     kestro::wire::DescribeIo(connected).c_str());
        return;
    }
    if (!MakeNonBlocking(client) || !MakeNonBlocking(server)) {
        std::fprintf(stderr, "latency-link: %s\n", std::strerror(errno));
        return;
    }
    pairs.push_back(Pair{std::move(client), std::move(server)});
}

// The time until the next held chunk is due; `limit` when none is held.
std::chrono::microseconds UntilNextDue(const std::list<Pair>& pairs, Clock::time_point now,
                                       std::chrono::microseconds limit) {
    std::chrono::microseconds wait = limit;
    for (const Pair& pair : pairs) {
        for (const Direction* direction : {&pair.up, &pair.down}) {
            if (!direction->held.empty()) {
                auto left = std::chrono::duration_cast<std::chrono::microseconds>(
                    direction->held.front().due - now);
                wait = std::min(wait, std::max(left, std::chrono::microseconds(0)));
            }
        }
    }
    return wait;
}

int Run(const Options& options) {
    Socket listener;
    kestro::wire::IoResult listening =
        kestro::wire::Listen(options.listen.address, options.listen.port, listener);
    if (!listening.ok()) {
        std::fprintf(stderr, "latency-link: cannot listen on %s:%u: %s\n",
                     options.listen.address.c_str(), options.listen.port,
                     kestro::wire::DescribeIo(listening).c_str());
        return 1;
    }
    std::printf("latency-link listening on %s:%u, to %s:%u, %.3g ms each way\n",
                options.listen.address.c_str(), options.listen.port, options.to.address.c_str(),
                options.to.port, static_cast<double>(options.delay.count()) / 1000);
    std::fflush(stdout);

    const Clock::time_point end = Clock::now() + options.runFor;
    std::list<Pair> pairs;
    std::vector<pollfd> polled;
    while (!stopRequested && Clock::now() < end) {
        const Clock::time_point now = Clock::now();
        polled.assign(1, pollfd{listener.descriptor(), POLLIN, 0});
        for (const Pair& pair : pairs) {
            polled.push_back({pair.client.descriptor(),
                              static_cast<short>(ReadEvents(pair.up) | WriteEvents(pair.down, now)),
                              0});
            polled.push_back({pair.server.descriptor(),
                              static_cast<short>(ReadEvents(pair.down) | WriteEvents(pair.up, now)),
                              0});
        }
        const auto untilEnd = std::chrono::duration_cast<std::chrono::microseconds>(end - now);
        const auto wait =
            UntilNextDue(pairs, now, std::min(untilEnd, std::chrono::microseconds(200000)));
        const timespec timeout{static_cast<time_t>(wait.count() / 1000000),
                               static_cast<long>(wait.count() % 1000000) * 1000};
        if (ppoll(polled.data(), polled.size(), &timeout, nullptr) < 0 && errno != EINTR) {
            std::fprintf(stderr, "latency-link: %s\n", std::strerror(errno));
            return 1;
        }
        std::size_t index = 1;
        for (Pair& pair : pairs) {
            const short clientEvents = polled[index++].revents;
            const short serverEvents = polled[index++].revents;
            if ((clientEvents & (POLLIN | POLLHUP | POLLERR)) != 0) {
                pair.failed |= !ReadInto(pair.client, pair.up, options.delay);
            }
            if ((serverEvents & (POLLIN | POLLHUP | POLLERR)) != 0) {
                pair.failed |= !ReadInto(pair.server, pair.down, options.delay);
            }
            pair.failed |= !WriteDue(pair.server, pair.up) || !WriteDue(pair.client, pair.down);
        }
        pairs.remove_if(
            [](const Pair& pair) { return pair.failed || (pair.up.Done() && pair.down.Done()); });
        if ((polled[0].revents & POLLIN) != 0) {
            Accept(listener, options.to, pairs);
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    std::string error;
    if (!ParseOptions(argc, argv, options, error)) {
        std::fprintf(stderr,
                     "latency-link: %s\nUsage: latency-link --listen ADDRESS:PORT --to "
                     "ADDRESS:PORT --delay MS --for SECONDS\n",
                     error.c_str());
        return 2;
    }
    std::signal(SIGINT, RequestStop);
    std::signal(SIGTERM, RequestStop);
    std::signal(SIGPIPE, SIG_IGN);
    return Run(options);
}
