// Routing of pump call request frames to their handlers.
#include "kestro/wire/pump_calls.h"

#include "kestro/wire/call_dispatcher.h"

namespace kestro::wire {

bool IsPumpCall(std::uint16_t code) {
    for (const CallInfo& call : kPumpCalls) {
        if (static_cast<std::uint16_t>(call.code) == code) {
            return true;
        }
    }
    return false;
}

DispatchResult DispatchPumpRequest(const PumpCallTable& table,
                                   std::span<const std::uint8_t> request,
                                   std::vector<std::uint8_t>& response) {
    FrameReader reader;
    WireError error = reader.Open(request);
    if (error != WireError::kNone) {
        return {DispatchOutcome::kMalformedFrame, error};
    }
    const FrameHeader& header = reader.header();
    if (header.kind != FrameKind::kRequest) {
        return {DispatchOutcome::kMalformedFrame, WireError::kUnexpectedFrame};
    }
#define KESTRO_WIRE_PUMP_CASE(code, name, signature)                      \
    if (header.call == code) {                                            \
        return ServeCall<pump_calls::name>(table.name, reader, response); \
    }
    KESTRO_WIRE_PUMP_CALLS(KESTRO_WIRE_PUMP_CASE)
#undef KESTRO_WIRE_PUMP_CASE
    response = EncodeBareResponse(header.call, header.sequence, kResultCallNotServed);
    return {DispatchOutcome::kCallNotServed, WireError::kNone};
}

}  // namespace kestro::wire
