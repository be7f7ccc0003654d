// The one link of a process that uses libkestro to its controller server: the connection,
// the logon state and the sequence numbers of the requests. Every flat call goes through
// Forward, which sends the call's request and waits for its answer within the call time-out
// given at logon. A failed transfer closes the connection for good: the stream would be out
// of step, so every later call answers kConnectionLost until ClientLogoff.
#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "kestro/client/configuration_snapshot.h"
#include "kestro/model/result_codes.h"
#include "kestro/wire/marshal.h"
#include "kestro/wire/snapshot.h"
#include "kestro/wire/socket_io.h"

namespace kestro::client {

using Deadline = std::chrono::steady_clock::time_point;

class ClientLink {
  public:
    // The link of this process's flat interface; calls from several threads are served one
    // after another.
    static ClientLink& Instance();
    // A link of its own, apart from the flat interface's (a client automation object keeps
    // one per object).
    ClientLink() = default;
    ClientLink(const ClientLink&) = delete;
    ClientLink& operator=(const ClientLink&) = delete;

    // ClientLogonEx: connects to `serverName` on `callPort` and logs on. The whole logon,
    // connecting included, and every later call waits at most `callTimeout` milliseconds.
    // kAlreadyLoggedOn while a logon lasts (also one whose connection was lost);
    // kInvalidArgument for a null or empty server name, a port outside 1..65535 or a
    // time-out below 1; kCannotConnect when no server accepts the connection (also for a
    // name that does not resolve); else the server's answer or the transfer's failure. The
    // events port is passed on to the server, which keeps it for the client's events.
    std::int32_t LogOn(std::int32_t clientId, std::int32_t clientKind, BSTR serverName,
                       std::int32_t callPort, std::int32_t eventsPort, std::int32_t callTimeout,
                       std::int32_t options, std::int32_t eventMask, std::int32_t bufferSize);

    // ClientLogoff: tells the server and closes the connection, whatever the server answers.
    // kNotLoggedOn without a logon; kConnectionLost (and the logon ends) when the connection
    // was already lost.
    std::int32_t LogOff();

    // Any call but the logon and logoff: kNotLoggedOn without a logon, kConnectionLost once
    // the connection is lost, kInvalidArgument for a null out-pointer or a text too long for
    // the protocol (nothing is sent); else the server's result with the out-values written
    // (only on success), or kTimeOut, kConnectionLost or kInvalidAnswer when the transfer
    // failed, which also closes the connection.
    //
    // On the flat interface's link (Instance; a link of its own, such as a client automation
    // object's, takes no snapshots, so that a live display sees every change), the getters of
    // a walk of the station (wire::kSnapshotCalls) are answered from one configuration
    // snapshot, fetched by the first of them in one request (its frames each within the call
    // time-out), exactly as the server would have answered them when it took the snapshot; a
    // request the snapshot has no answer for goes to the server. Any setter drops the snapshot, so
    // that later getters see it; so does a count asked a second time (a new walk), a logon and a
    // logoff. A server without snapshots is asked each getter, as before.
    template <wire::CallCode code, typename... P>
    std::int32_t Forward(P... params) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (state_ == State::kLoggedOff) {
            return kNotLoggedOn;
        }
        if (state_ == State::kLost) {
            return kConnectionLost;
        }
        if constexpr (wire::ChangesConfiguration(static_cast<std::uint16_t>(code))) {
            snapshot_.reset();
        }
        if constexpr (wire::IsSnapshotCall(static_cast<std::uint16_t>(code))) {
            if (snapshots_) {
                return FromSnapshot<code>(params...);
            }
        }
        return Exchange<code>(DeadlineFromNow(), params...);
    }

  private:
    enum class State { kLoggedOff, kOpen, kLost };

    // The flat interface's link, with snapshots.
    explicit ClientLink(bool snapshots) : snapshots_(snapshots) {}

    Deadline DeadlineFromNow() const;

    // Sends `frame` and receives the answer into it before `deadline`. On failure closes
    // the connection (state kLost) and answers the failure's result code.
    std::int32_t Transfer(std::vector<std::uint8_t>& frame, Deadline deadline);

    // Closes the connection after a failed transfer or an answer that does not fit the
    // request, and gives the failure's result code.
    std::int32_t Drop(const wire::IoResult& failure);

    template <wire::CallCode code, typename... P>
    std::int32_t Exchange(Deadline deadline, P... params) {
        using Marshal = wire::Marshal<code>;
        if (!Marshal::OutPointersSet(params...)) {
            return kInvalidArgument;
        }
        std::vector<std::uint8_t> frame;
        const std::uint32_t sequence = ++sequence_;
        if (Marshal::EncodeRequest(sequence, frame, params...) != wire::WireError::kNone) {
            return kInvalidArgument;
        }
        if (std::int32_t rc = Transfer(frame, deadline)) {
            return rc;
        }
        std::int32_t result = 0;
        wire::WireError error = Marshal::DecodeResponse(frame, sequence, result, params...);
        if (error != wire::WireError::kNone) {
            return Drop({wire::IoStatus::kMalformed, error, 0});
        }
        return result;
    }

    // A getter of the snapshot's calls: see Forward.
    template <wire::CallCode code, typename... P>
    std::int32_t FromSnapshot(P... params) {
        using Marshal = wire::Marshal<code>;
        if (!Marshal::OutPointersSet(params...)) {
            return kInvalidArgument;
        }
        std::vector<std::uint8_t> request;
        if (Marshal::EncodeRequest(0, request, params...) != wire::WireError::kNone) {
            return kInvalidArgument;
        }
        if (snapshot_ && wire::IsCountCall(static_cast<std::uint16_t>(code)) &&
            snapshot_->AnsweredBefore(request)) {
            snapshot_.reset();
        }
        if (!snapshot_ && !snapshotRefused_) {
            if (std::int32_t rc = TakeSnapshot(DeadlineFromNow())) {
                return rc;
            }
        }
        if (!snapshot_) {
            return Exchange<code>(DeadlineFromNow(), params...);
        }
        std::optional<std::vector<std::uint8_t>> answer = snapshot_->Answer(request, 0);
        if (!answer) {
            return Exchange<code>(DeadlineFromNow(), params...);
        }
        std::int32_t result = 0;
        wire::WireError error = Marshal::DecodeResponse(*answer, 0, result, params...);
        if (error != wire::WireError::kNone) {
            return Drop({wire::IoStatus::kMalformed, error, 0});
        }
        return result;
    }

    // Asks the server for a snapshot and keeps it. kSuccess also when the server gives none
    // (snapshotRefused_ is then set for the rest of the logon); else the transfer's failure,
    // which closes the connection.
    std::int32_t TakeSnapshot(Deadline deadline);

    std::mutex mutex_;
    bool snapshots_ = false;
    std::optional<ConfigurationSnapshot> snapshot_;
    bool snapshotRefused_ = false;
    State state_ = State::kLoggedOff;
    wire::Socket socket_;
    int timeoutMs_ = 0;
    std::uint32_t sequence_ = 0;
};

}  // namespace kestro::client
