// The client's copy of a configuration snapshot (kestro/wire/snapshot.h): the server's answers
// to the getters of one walk of the station, kept as the server sent them, and the faults the
// server would answer with, so that those getters are answered locally exactly as the server
// would have answered them at the snapshot's moment.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "kestro/model/fault_plan.h"
#include "kestro/wire/frame.h"

namespace kestro::client {

class ConfigurationSnapshot {
  public:
    // Takes in one frame of the snapshot's answer (already checked to be the response to the
    // snapshot request, result 0). Sets `ended` at the end entry. On kNone every entry of the
    // frame is kept; any other error means the answer cannot be trusted.
    wire::WireError Read(std::span<const std::uint8_t> frame, bool& ended);

    // The response frame the server would send to the request frame `request` (a
    // well-formed request of one of the snapshot's calls) with sequence number `sequence`:
    // an injected fault's code, the answer kept for it, or the answer for every other request
    // of its call; none when the snapshot has no answer for it (the server must be asked).
    std::optional<std::vector<std::uint8_t>> Answer(std::span<const std::uint8_t> request,
                                                    std::uint32_t sequence);

    // True when the snapshot has answered `request` before (a second walk begins when a
    // count is asked again).
    bool AnsweredBefore(std::span<const std::uint8_t> request) const;

  private:
    struct Kept {
        std::vector<std::uint8_t> response;  // sequence number 0
        bool answered = false;
    };

    wire::WireError ReadAnswer(wire::FrameReader& reader);
    wire::WireError ReadFault(wire::FrameReader& reader);
    wire::WireError ReadAnswerForRest(wire::FrameReader& reader);

    std::unordered_map<std::string, Kept> answers_;
    std::map<std::pair<std::uint16_t, std::int32_t>, std::int32_t> byFirstValue_;
    std::map<std::string, std::int32_t> byRest_;
    std::map<std::uint16_t, std::int32_t> byCall_;
    FaultPlan faults_;
};

}  // namespace kestro::client
