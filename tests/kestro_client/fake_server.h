// A stand-in controller server for libkestro's tests: listens on a loopback port and runs a
// script on each connection it accepts, so that a test can answer well, answer garbage,
// answer late or not at all, or hang up at any point.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "kestro/wire/call_dispatcher.h"
#include "kestro/wire/socket_io.h"

namespace client_test {

using Bytes = std::vector<std::uint8_t>;

class FakeServer {
  public:
    // What the server does with one accepted connection; returning closes it.
    using Script = std::function<void(const kestro::wire::Socket&)>;

    // Runs `script` on every connection accepted until the server is destroyed.
    explicit FakeServer(Script script) : script_(std::move(script)) {
        kestro::wire::IoResult result = kestro::wire::Listen("127.0.0.1", 0, listener_);
        EXPECT_TRUE(result.ok()) << kestro::wire::DescribeIo(result);
        thread_ = std::thread([this] {
            while (!stop_) {
                kestro::wire::Socket connection;
                if (kestro::wire::Accept(listener_, 50, connection).ok()) {
                    ++accepted_;
                    script_(connection);
                }
            }
        });
    }
    ~FakeServer() {
        stop_ = true;
        thread_.join();
    }
    FakeServer(const FakeServer&) = delete;
    FakeServer& operator=(const FakeServer&) = delete;

    std::int32_t port() const { return kestro::wire::LocalPort(listener_); }
    int accepted() const { return accepted_; }

  private:
    Script script_;
    kestro::wire::Socket listener_;
    std::atomic<bool> stop_ = false;
    std::atomic<int> accepted_ = 0;
    std::thread thread_;
};

// Receives the next request; false when the client closed or sent no well-formed frame.
inline bool NextRequest(const kestro::wire::Socket& socket, Bytes& request,
                        kestro::wire::FrameHeader& header, int timeoutMs = 5000) {
    if (!kestro::wire::ReceiveFrame(socket, timeoutMs, request).ok()) {
        return false;
    }
    return kestro::wire::DecodeHeader(request, header) == kestro::wire::WireError::kNone;
}

// Answers requests with the implementations of `table` until the client closes.
inline void ServeWith(const kestro::wire::CallTable& table, const kestro::wire::Socket& socket) {
    Bytes request;
    Bytes response;
    kestro::wire::FrameHeader header;
    while (NextRequest(socket, request, header)) {
        kestro::wire::DispatchRequest(table, request, response);
        if (!kestro::wire::SendFrame(socket, response, 5000).ok()) {
            return;
        }
    }
}

// Answers the next request (the logon) with success; false when none came.
inline bool AcceptLogon(const kestro::wire::Socket& socket) {
    Bytes request;
    kestro::wire::FrameHeader header;
    if (!NextRequest(socket, request, header)) {
        return false;
    }
    Bytes response = kestro::wire::EncodeBareResponse(header.call, header.sequence, 0);
    return kestro::wire::SendFrame(socket, response, 5000).ok();
}

}  // namespace client_test
