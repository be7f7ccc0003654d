// The event frames of the events port (pump_calls.h describes their values): encoding on the
// server, checked decoding on the client, in one place so that the two cannot drift apart.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "kestro/model/pump_simulator.h"
#include "kestro/wire/frame.h"

namespace kestro::wire {

// The event frame of `event` with sequence number `sequence` and the time stamp `emittedUs`.
std::vector<std::uint8_t> EncodeEvent(const PumpEvent& event, std::uint32_t sequence,
                                      std::int64_t emittedUs);

struct ReceivedEvent {
    PumpEvent event;
    std::uint32_t sequence = 0;
    std::int64_t emittedUs = 0;
};

// Decodes one whole event frame. kUnexpectedFrame for a frame of another kind or an unknown
// event code; `received` is written only on success.
WireError DecodeEvent(std::span<const std::uint8_t> frame, ReceivedEvent& received);

// Rewrites the sequence number of an encoded frame in place.
void SetFrameSequence(std::vector<std::uint8_t>& frame, std::uint32_t sequence);

}  // namespace kestro::wire
