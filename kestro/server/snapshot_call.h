// kestrod's answer to the configuration snapshot request (kestro/wire/snapshot.h): the
// answers of every getter a walk of the whole station makes, produced in one read of the
// served station and streamed in bounded frames.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "kestro/server/served_station.h"
#include "kestro/wire/call_dispatcher.h"

namespace kestro::server {

// Answers the snapshot request `request` (a well-formed request frame with code
// wire::kSnapshotCall) into `frames`, the frames to send in order. The answers are taken from
// `table` (whose getters act on kestro::CurrentStation()) on this thread's copy of the served
// station, taken with `served`'s mutex held (so that no setter comes between two answers)
// and without its faults; the faults themselves travel in the snapshot. A
// refusal is one bare response: kMalformedRequest for values that do not fit,
// kCallNotServed for another revision or a fault that applies only after some calls (only
// the server can count those), kAnswerTooLarge when an answer breaks the frame bounds.
// `loggedOn`: the session's logon; without one the answer is kNotLoggedOn.
void ServeSnapshot(const wire::CallTable& table, ServedStation& served, bool loggedOn,
                   std::span<const std::uint8_t> request,
                   std::vector<std::vector<std::uint8_t>>& frames);

}  // namespace kestro::server
