// kestrod's network side: listens on the call and events ports, serves each call connection
// on a thread of its own (its Session, requests one at a time through the call table, with
// the served station's mutex held), keeps events connections open, and ends everything
// cleanly when asked to stop.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <list>
#include <memory>
#include <span>
#include <string>

#include "kestro/server/served_station.h"
#include "kestro/wire/call_dispatcher.h"
#include "kestro/wire/pump_calls.h"
#include "kestro/wire/socket_io.h"

namespace kestro::server {

// Bounds of a connection's transfers, in milliseconds.
inline constexpr int kStopCheckMs = 200;      // how often an idle connection looks for a stop
inline constexpr int kFrameTimeoutMs = 5000;  // rest of a frame once its first byte came;
                                              // sending an answer
// How long a stop lets the connections finish the requests they are serving before it cuts
// them off.
inline constexpr std::chrono::milliseconds kStopGrace{500};
// Connections served at once; further ones are closed as soon as they are accepted.
inline constexpr int kMaxConnections = 64;
// A call connection must log on within this time, and a logged-on one that sends nothing for
// the idle time-out is closed, so that idle clients cannot hold every place.
inline constexpr std::chrono::milliseconds kLogonTimeout{5000};
inline constexpr std::chrono::milliseconds kDefaultIdleTimeout{10 * 60 * 1000};

class Session;

class ControllerServer {
  public:
    // Serves `served` with the calls of `table` and the pump calls of `pumpTable`. The served
    // station must be the one the tables' functions act on. With an event hub in `served`,
    // events connections subscribe to it; without one they are held open and get nothing.
    ControllerServer(ServedStation& served, wire::CallTable table,
                     wire::PumpCallTable pumpTable = {});
    ~ControllerServer();
    ControllerServer(const ControllerServer&) = delete;
    ControllerServer& operator=(const ControllerServer&) = delete;

    // Opens the listening sockets on `address` (IPv4, dotted) and the two ports (0: a free
    // one). False with `error` set ("cannot listen on 127.0.0.1 port 5123: ...").
    bool Listen(const std::string& address, std::uint16_t callPort, std::uint16_t eventsPort,
                std::string& error);
    // The ports listened on, once Listen succeeded.
    std::uint16_t callPort() const;
    std::uint16_t eventsPort() const;

    // Replaces the time-outs of call connections (before Run): the time to log on after
    // connecting, and the time a logged-on connection may stay silent.
    void SetTimeouts(std::chrono::milliseconds logon, std::chrono::milliseconds idle);

    // Accepts and serves connections until `stop` becomes true (looked at every
    // kStopCheckMs), then closes the listeners, lets every connection finish the request it
    // is serving (cutting off those still busy after kStopGrace), closes them all and
    // returns.
    void Run(const std::atomic<bool>& stop);

  private:
    struct Connection;

    void Accept(const wire::Socket& listener, bool events, const std::atomic<bool>& stop);
    void ServeCalls(Connection& connection, const std::atomic<bool>& stop);
    void HoldEvents(Connection& connection, const std::atomic<bool>& stop);
    // Answers a configuration snapshot request with its frames; false (with `end` set) when
    // sending failed and the connection must close.
    bool SendSnapshot(Connection& connection, Session& session,
                      std::span<const std::uint8_t> request, std::string& end);
    // Joins the threads of the connections that have ended.
    void Reap();

    ServedStation& served_;
    wire::CallTable table_;
    wire::PumpCallTable pumpTable_;
    wire::Socket callListener_;
    wire::Socket eventsListener_;
    std::list<std::unique_ptr<Connection>> connections_;
    unsigned long connectionCount_ = 0;
    std::chrono::milliseconds logonTimeout_ = kLogonTimeout;
    std::chrono::milliseconds idleTimeout_ = kDefaultIdleTimeout;
};

}  // namespace kestro::server
