// Routing of pump call request frames to their handlers.
#include "kestro/wire/pump_calls.h"

namespace kestro::wire {

bool IsPumpCall(std::uint16_t code) {
    for (const CallInfo& call : kPumpCalls) {
        if (static_cast<std::uint16_t>(call.code) == code) {
            return true;
        }
    }
    return false;
}

namespace {

template <CallCode code>
DispatchResult ServePump(CallFunction<code>* implementation, FrameReader& request,
                         std::vector<std::uint8_t>& response) {
    if (implementation == nullptr) {
        const FrameHeader& header = request.header();
        response = EncodeBareResponse(header.call, header.sequence, kResultCallNotServed);
        return {DispatchOutcome::kCallNotServed, WireError::kNone};
    }
    return Marshal<code>::Serve(request, implementation, response);
}

}  // namespace

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
#define KESTRO_WIRE_PUMP_CASE(code, name, signature) \
    if (header.call == code) {                       \
        return ServePump<pump_calls::name>(table.name, reader, response); \
    }
    KESTRO_WIRE_PUMP_CALLS(KESTRO_WIRE_PUMP_CASE)
#undef KESTRO_WIRE_PUMP_CASE
    response = EncodeBareResponse(header.call, header.sequence, kResultCallNotServed);
    return {DispatchOutcome::kCallNotServed, WireError::kNone};
}

}  // namespace kestro::wire
