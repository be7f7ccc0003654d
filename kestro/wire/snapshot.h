// The configuration snapshot of the wire protocol: one request that the server answers with
// the answers of every configuration getter a client walking the whole station would ask for,
// all taken in one read of the station (no setter between them), streamed in as many bounded
// frames as they need. A client answers those getters from it locally, so that a backup
// across a slow link costs a handful of round trips and reads one state of the controller.
//
// Request: call code kSnapshotCall, one 32-bit value, the snapshot revision the client reads
// (kSnapshotRevision). A server that does not serve the call (an older one) answers
// kResultCallNotServed, as it does for any unknown code; so does one that will not give a
// snapshot of this revision, or whose injected faults it could not carry (a fault that
// applies only after some calls must be counted by the server). The client then sends each
// getter as before.
//
// Answer: one or more response frames (kind 2, call kSnapshotCall, the request's sequence
// number, result 0), sent one after the other without further requests. Each frame holds
// whole entries, none split between frames; an entry starts with a 16-bit entry kind:
//
//   kind  entry                                   values after the kind
//      0  end: the last entry of the last frame   none
//      1  answer                                  call (16), result (32), in-count n (16),
//                                                 out-count m (16), the n in-values of the
//                                                 request, the m out-values of its response
//      2  fault                                   call (16), code (32), has-record (32: 0 or
//                                                 1), record (32)
//      3  answer to every other request of the    call (16), result (32), first in-value (32)
//         call whose first in-value is this
//      4  answer to every other request of the    call (16), result (32)
//         call
//      5  answer to every other request of the    call (16), result (32), count n (16), the
//         call whose in-values after a 32-bit     n in-values after the first
//         first one are these
//
// The calls are those of kSnapshotCalls. An answer entry is byte for byte what the server
// would answer to that request (values as the call's response carries them, texts as strings
// or null strings). A request that matches no answer entry takes the first kind-3 entry of
// its call and first in-value, else the kind-5 entry of its call and further in-values (the
// product enumeration's ordinal beyond the last, under the same filter), else the kind-4
// entry of its call, else it goes to the server.
// Faults (kind 2) are the server's injected faults for the snapshot's calls, in the order
// injected: a request of the fault's call (with the record as its first 32-bit in-value, when
// there is one) answers the fault's code before anything else, as the server would.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "kestro/wire/calls.h"
#include "kestro/wire/frame.h"

namespace kestro::wire {

inline constexpr std::uint16_t kSnapshotCall = 100;
inline constexpr std::int32_t kSnapshotRevision = 1;

enum class SnapshotEntry : std::int16_t {
    kEnd = 0,
    kAnswer = 1,
    kFault = 2,
    kAnswerForFirstValue = 3,
    kAnswerForCall = 4,
    kAnswerForRest = 5,
};

// The getters a snapshot answers: every one that the export of a whole station makes.
inline constexpr CallCode kSnapshotCalls[] = {
    CallCode::GetPortsCount,
    CallCode::GetPortByOrdinal,
    CallCode::GetPortProperties,
    CallCode::GetZB2GConfig,
    CallCode::GetDeviceDetails,
    CallCode::GetGradesCount,
    CallCode::GetGradeByOrdinal,
    CallCode::GetGradePropertiesEx,
    CallCode::GetGradePrice,
    CallCode::GetTanksCount,
    CallCode::GetTankByOrdinal,
    CallCode::GetTankPropertiesEx2,
    CallCode::GetZigBeeCount,
    CallCode::GetZigBeeByOrdinal,
    CallCode::GetZigBeeProperties,
    CallCode::GetPumpsCount,
    CallCode::GetPumpByOrdinal,
    CallCode::GetPumpPropertiesEx,
    CallCode::GetPumpHosesCount,
    CallCode::GetPumpHoseByNumber,
    CallCode::GetHosePropertiesEx2,
    CallCode::GetSensorsCount,
    CallCode::GetSensorByOrdinal,
    CallCode::GetSensorPropertiesEx,
    CallCode::GetAttendantsCount,
    CallCode::GetAttendantByOrdinal,
    CallCode::GetAttendantPropertiesEx2,
    CallCode::GetCardClientsCount,
    CallCode::GetCardClientByOrdinal,
    CallCode::GetCardClientPropertiesEx4,
    CallCode::GetProductsCount,
    CallCode::GetProductByOrdinal,
    CallCode::GetProductProperties,
};

// True when `code` is one of kSnapshotCalls.
constexpr bool IsSnapshotCall(std::uint16_t code) {
    for (CallCode call : kSnapshotCalls) {
        if (static_cast<std::uint16_t>(call) == code) {
            return true;
        }
    }
    return false;
}

// The count getters: asking one a second time starts a new walk of the station, which must
// see its state of now, not the snapshot's.
constexpr bool IsCountCall(std::uint16_t code) {
    switch (static_cast<CallCode>(code)) {
        case CallCode::GetPortsCount:
        case CallCode::GetGradesCount:
        case CallCode::GetTanksCount:
        case CallCode::GetZigBeeCount:
        case CallCode::GetPumpsCount:
        case CallCode::GetPumpHosesCount:
        case CallCode::GetSensorsCount:
        case CallCode::GetAttendantsCount:
        case CallCode::GetCardClientsCount:
        case CallCode::GetProductsCount:
            return true;
        default:
            return false;
    }
}

// The calls that change the configuration: after one, a snapshot taken before is out of date.
constexpr bool ChangesConfiguration(std::uint16_t code) {
    switch (static_cast<CallCode>(code)) {
        case CallCode::SetPortProperties:
        case CallCode::SetGradePropertiesEx:
        case CallCode::SetGradePrice:
        case CallCode::SetTankPropertiesEx2:
        case CallCode::SetZigBeeProperties:
        case CallCode::SetPumpPropertiesEx:
        case CallCode::SetHosePropertiesEx2:
        case CallCode::SetSensorPropertiesEx:
        case CallCode::SetAttendantPropertiesEx2:
        case CallCode::SetCardClientPropertiesEx4:
        case CallCode::SetProductProperties:
            return true;
        default:
            return false;
    }
}

// Copies the next value of `from` to `to`, whatever its type; the reader's error when there
// is none or it is broken (`to` then unchanged).
WireError CopyValue(FrameReader& from, FrameWriter& to);

// The in-values of the well-formed frame `frame` as their payload bytes, prefixed with its
// call code: the key under which a snapshot keeps the answer to a request.
std::string RequestKey(std::uint16_t call, std::span<const std::uint8_t> frame);

// RequestKey without the first in-value, when that is a 32-bit integer; empty otherwise.
std::string RestKey(std::uint16_t call, std::span<const std::uint8_t> frame);

// The first in-value of the request frame `frame` when it is a 32-bit integer.
std::optional<std::int32_t> FirstInt32(std::span<const std::uint8_t> frame);

}  // namespace kestro::wire
