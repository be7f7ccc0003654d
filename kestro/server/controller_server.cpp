// Listening, accepting and the per-connection loops of kestrod.
#include "kestro/server/controller_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "kestro/model/result_codes.h"
#include "kestro/server/event_hub.h"
#include "kestro/server/server_log.h"
#include "kestro/server/session.h"
#include "kestro/server/snapshot_call.h"
#include "kestro/wire/snapshot.h"

namespace kestro::server {

struct ControllerServer::Connection {
    wire::Socket socket;
    std::string name;  // "connection 3"
    std::thread thread;
    std::atomic<bool> ended = false;
};

namespace {

// "127.0.0.1:40312" of the peer of `socket`.
std::string PeerOf(const wire::Socket& socket) {
    sockaddr_in peer{};
    socklen_t length = sizeof peer;
    char text[INET_ADDRSTRLEN] = "?";
    if (getpeername(socket.descriptor(), reinterpret_cast<sockaddr*>(&peer), &length) != 0) {
        return "an unknown peer";
    }
    inet_ntop(AF_INET, &peer.sin_addr, text, sizeof text);
    return std::string(text) + ":" + std::to_string(ntohs(peer.sin_port));
}

// True when the peer has closed the connection without leaving a byte unread: a clean end
// between two requests rather than one in the middle of a frame.
bool ClosedCleanly(const wire::Socket& socket) {
    char byte;
    return recv(socket.descriptor(), &byte, 1, MSG_PEEK | MSG_DONTWAIT) == 0;
}

std::string CallName(std::uint16_t code) {
    const wire::CallInfo* call = wire::FindAnyCall(code);
    return call != nullptr ? call->name : "call " + std::to_string(code);
}

// Why a request was answered without running its call, for the log.
std::string RefusalText(const wire::DispatchResult& result) {
    switch (result.outcome) {
        case wire::DispatchOutcome::kMalformedRequest:
            return std::string("values that do not fit the call (") +
                   wire::WireErrorText(result.error) + ")";
        case wire::DispatchOutcome::kCallNotServed:
            return "call not served";
        case wire::DispatchOutcome::kAnswerTooLarge:
            return std::string("answer too large (") + wire::WireErrorText(result.error) + ")";
        default:
            return "refused";
    }
}

// "5 s", "0.3 s": a time-out for the log.
std::string Seconds(std::chrono::milliseconds time) {
    const long long ms = time.count();
    if (ms % 1000 == 0) {
        return std::to_string(ms / 1000) + " s";
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.3g s", static_cast<double>(ms) / 1000);
    return text;
}

std::string Requests(unsigned long count) {
    return std::to_string(count) + (count == 1 ? " request" : " requests");
}

}  // namespace

ControllerServer::ControllerServer(ServedStation& served, wire::CallTable table,
                                   wire::PumpCallTable pumpTable)
    : served_(served), table_(table), pumpTable_(pumpTable) {}

ControllerServer::~ControllerServer() {
    for (auto& connection : connections_) {
        if (connection->thread.joinable()) {
            connection->thread.join();
        }
    }
}

bool ControllerServer::Listen(const std::string& address, std::uint16_t callPort,
                              std::uint16_t eventsPort, std::string& error) {
    for (auto [listener, port] :
         {std::pair{&callListener_, callPort}, std::pair{&eventsListener_, eventsPort}}) {
        wire::IoResult result = wire::Listen(address, port, *listener);
        if (!result.ok()) {
            error = "cannot listen on " + address + " port " + std::to_string(port) + ": " +
                    wire::DescribeIo(result);
            return false;
        }
    }
    return true;
}

std::uint16_t ControllerServer::callPort() const {
    return wire::LocalPort(callListener_);
}

std::uint16_t ControllerServer::eventsPort() const {
    return wire::LocalPort(eventsListener_);
}

void ControllerServer::SetTimeouts(std::chrono::milliseconds logon,
                                   std::chrono::milliseconds idle) {
    logonTimeout_ = logon;
    idleTimeout_ = idle;
}

void ControllerServer::Run(const std::atomic<bool>& stop) {
    while (!stop) {
        pollfd listeners[2] = {{callListener_.descriptor(), POLLIN, 0},
                               {eventsListener_.descriptor(), POLLIN, 0}};
        int ready = poll(listeners, 2, kStopCheckMs);
        if (ready < 0 && errno != EINTR) {
            LogLine("cannot wait for connections: " + std::string(strerror(errno)),
                    LogPriority::kError);
            break;
        }
        if (ready > 0 && (listeners[0].revents & POLLIN) != 0) {
            Accept(callListener_, false, stop);
        }
        if (ready > 0 && (listeners[1].revents & POLLIN) != 0) {
            Accept(eventsListener_, true, stop);
        }
        Reap();
    }
    callListener_.Close();
    eventsListener_.Close();
    // Each connection finishes the request it is serving; one still blocked after the grace
    // (a client that reads no answer, a frame that stops half-way) is cut off, so that a stop
    // never waits for a transfer's time-out.
    const auto deadline = std::chrono::steady_clock::now() + kStopGrace;
    for (auto& connection : connections_) {
        while (!connection->ended && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (!connection->ended) {
            shutdown(connection->socket.descriptor(), SHUT_RDWR);
        }
    }
    for (auto& connection : connections_) {
        connection->thread.join();
    }
    connections_.clear();
}

void ControllerServer::Accept(const wire::Socket& listener, bool events,
                              const std::atomic<bool>& stop) {
    wire::Socket socket;
    wire::IoResult result = wire::Accept(listener, 0, socket);
    if (result.status == wire::IoStatus::kTimeOut) {
        return;  // the peer gave up before we took the connection
    }
    if (!result.ok()) {
        LogLine("cannot accept a connection: " + wire::DescribeIo(result), LogPriority::kError);
        return;
    }
    auto connection = std::make_unique<Connection>();
    connection->name = "connection " + std::to_string(++connectionCount_);
    const std::string opened =
        connection->name + (events ? " (events)" : "") + " from " + PeerOf(socket);
    if (connections_.size() >= static_cast<std::size_t>(kMaxConnections)) {
        LogLine(opened + " refused: " + std::to_string(kMaxConnections) + " connections are open",
                LogPriority::kWarning);
        return;
    }
    LogLine(opened);
    connection->socket = std::move(socket);
    Connection& served = *connection;
    connection->thread = std::thread([this, &served, events, &stop] {
        if (events) {
            HoldEvents(served, stop);
        } else {
            ServeCalls(served, stop);
        }
        // The peer sees the end at once; the descriptor itself is closed only once the thread
        // is joined, so that a stop that cuts connections off never touches a reused one.
        shutdown(served.socket.descriptor(), SHUT_RDWR);
        served.ended = true;
    });
    connections_.push_back(std::move(connection));
}

void ControllerServer::Reap() {
    for (auto it = connections_.begin(); it != connections_.end();) {
        if ((*it)->ended) {
            (*it)->thread.join();
            it = connections_.erase(it);
        } else {
            ++it;
        }
    }
}

void ControllerServer::ServeCalls(Connection& connection, const std::atomic<bool>& stop) {
    Session session(served_, connection.name);
    Session::Binding binding(session);
    const wire::Socket& socket = connection.socket;
    unsigned long served = 0;
    std::string end;
    std::vector<std::uint8_t> request;
    std::vector<std::uint8_t> response;
    auto lastRequest = std::chrono::steady_clock::now();
    for (;;) {
        if (stop) {
            end = "closed at shutdown";
            break;
        }
        const std::chrono::milliseconds allowed = session.LoggedOn() ? idleTimeout_ : logonTimeout_;
        const auto silent = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - lastRequest);
        if (silent >= allowed) {
            end = session.LoggedOn() ? "closed: idle for " + Seconds(allowed)
                                     : "closed: no logon within " + Seconds(allowed);
            break;
        }
        const int wait = static_cast<int>(std::min<std::int64_t>(
            kStopCheckMs, std::max<std::int64_t>(1, (allowed - silent).count())));
        wire::IoResult waited = wire::WaitReadable(socket, wait);
        if (waited.status == wire::IoStatus::kTimeOut) {
            continue;
        }
        if (waited.ok() && ClosedCleanly(socket)) {
            end = "closed by the client";
            break;
        }
        wire::IoResult received =
            waited.ok() ? wire::ReceiveFrame(socket, kFrameTimeoutMs, request) : waited;
        if (!received.ok()) {
            const char* where =
                received.status == wire::IoStatus::kMalformed ? "" : " in the middle of a frame";
            end = "closed: " + wire::DescribeIo(received) + where;
            break;
        }
        wire::FrameHeader header;
        wire::DecodeHeader(request, header);
        if (header.kind == wire::FrameKind::kRequest && header.call == wire::kSnapshotCall) {
            if (!SendSnapshot(connection, session, request, end)) {
                break;
            }
            ++served;
            lastRequest = std::chrono::steady_clock::now();
            continue;
        }
        wire::DispatchResult result;
        if (header.kind == wire::FrameKind::kRequest && Session::NeedsLogon(header.call) &&
            !session.LoggedOn()) {
            response = wire::EncodeBareResponse(header.call, header.sequence, kNotLoggedOn);
        } else {
            std::lock_guard<std::mutex> lock(served_.mutex);
            result = wire::IsPumpCall(header.call)
                         ? wire::DispatchPumpRequest(pumpTable_, request, response)
                         : wire::DispatchRequest(table_, request, response);
            // The station's call record only serves tests of the model; a server must not
            // let it grow with every request.
            served_.station.ClearCalls();
        }
        if (result.outcome == wire::DispatchOutcome::kMalformedFrame) {
            end = result.error == wire::WireError::kUnexpectedFrame
                      ? "closed: a frame of another kind where a request belongs"
                      : std::string("closed: a request that is not well-formed (") +
                            wire::WireErrorText(result.error) + ")";
            break;
        }
        if (result.outcome != wire::DispatchOutcome::kServed) {
            LogLine(connection.name + ": " + CallName(header.call) + ": " + RefusalText(result));
        }
        wire::IoResult sent = wire::SendFrame(socket, response, kFrameTimeoutMs);
        if (!sent.ok()) {
            end = "closed: " + wire::DescribeIo(sent) + " while sending an answer";
            break;
        }
        ++served;
        lastRequest = std::chrono::steady_clock::now();
    }
    LogLine(connection.name + " " + end + " (" + Requests(served) + " served)");
}

bool ControllerServer::SendSnapshot(Connection& connection, Session& session,
                                    std::span<const std::uint8_t> request, std::string& end) {
    std::vector<std::vector<std::uint8_t>> frames;
    ServeSnapshot(table_, served_, session.LoggedOn(), request, frames);
    for (const std::vector<std::uint8_t>& frame : frames) {
        wire::IoResult sent = wire::SendFrame(connection.socket, frame, kFrameTimeoutMs);
        if (!sent.ok()) {
            end = "closed: " + wire::DescribeIo(sent) + " while sending a snapshot";
            return false;
        }
    }
    return true;
}

void ControllerServer::HoldEvents(Connection& connection, const std::atomic<bool>& stop) {
    if (served_.events != nullptr) {
        ServeEventsConnection(*served_.events, connection.socket, connection.name, stop);
        return;
    }
    std::string end = "closed at shutdown";
    while (!stop) {
        wire::IoResult waited = wire::WaitReadable(connection.socket, kStopCheckMs);
        if (waited.status == wire::IoStatus::kTimeOut) {
            continue;
        }
        // Clients send nothing on this port: whatever comes is dropped, an end ends it.
        char bytes[512];
        ssize_t got = recv(connection.socket.descriptor(), bytes, sizeof bytes, MSG_DONTWAIT);
        if (got == 0 || (got < 0 && errno != EAGAIN && errno != EINTR)) {
            end = "closed by the client";
            break;
        }
    }
    LogLine(connection.name + " (events) " + end);
}

}  // namespace kestro::server
