// A bare client of the wire protocol for tests of kestrod: it sends calls as libkestro does
// (through the generic marshalling), and also raw bytes that no client library would send.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "kestro/wire/marshal.h"
#include "kestro/wire/socket_io.h"

namespace server_test {

// Answered by Call when the transfer failed rather than the server.
inline constexpr std::int32_t kTransferFailed = -1000;

class WireClient {
  public:
    // Connects to `address` on `port`; connected() tells whether it worked.
    WireClient(const std::string& address, std::uint16_t port) {
        kestro::wire::IoResult result = kestro::wire::ConnectTo(address, port, 5000, socket_);
        EXPECT_TRUE(result.ok()) << kestro::wire::DescribeIo(result);
    }

    bool connected() const { return socket_.valid(); }
    const kestro::wire::Socket& socket() const { return socket_; }

    // Sends the call `code` with `params` (as client/kestro.h declares them) and applies the
    // answer: the server's result, or kTransferFailed.
    template <kestro::wire::CallCode code, typename... P>
    std::int32_t Call(P... params) {
        using Marshal = kestro::wire::Marshal<code>;
        std::vector<std::uint8_t> frame;
        const std::uint32_t sequence = ++sequence_;
        if (Marshal::EncodeRequest(sequence, frame, params...) != kestro::wire::WireError::kNone ||
            !Send(frame)) {
            return kTransferFailed;
        }
        if (!kestro::wire::ReceiveFrame(socket_, 5000, frame).ok()) {
            return kTransferFailed;
        }
        std::int32_t result = kTransferFailed;
        Marshal::DecodeResponse(frame, sequence, result, params...);
        return result;
    }

    // Logs on as brenkar does.
    std::int32_t LogOn() {
        BSTR name = SysAllocString(u"127.0.0.1");
        std::int32_t rc = Call<kestro::wire::CallCode::ClientLogonEx>(
            std::int32_t{110}, std::int32_t{5}, name, std::int32_t{5123}, std::int32_t{5124},
            std::int32_t{10000}, std::int32_t{0}, std::int32_t{0}, std::int32_t{1024});
        SysFreeString(name);
        return rc;
    }

    bool Send(const std::vector<std::uint8_t>& bytes) {
        return kestro::wire::SendFrame(socket_, bytes, 5000).ok();
    }

    // Receives one frame within `timeoutMs`.
    kestro::wire::IoResult Receive(std::vector<std::uint8_t>& frame, int timeoutMs = 5000) {
        return kestro::wire::ReceiveFrame(socket_, timeoutMs, frame);
    }

    // True when the server closes the connection within `timeoutMs`.
    bool ClosedByServer(int timeoutMs = 5000) {
        std::vector<std::uint8_t> frame;
        return Receive(frame, timeoutMs).status == kestro::wire::IoStatus::kClosed;
    }

  private:
    kestro::wire::Socket socket_;
    std::uint32_t sequence_ = 0;
};

}  // namespace server_test
