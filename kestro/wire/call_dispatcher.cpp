// Routing of request frames to the implementations of their calls.
#include "kestro/wire/call_dispatcher.h"

namespace kestro::wire {

DispatchResult DispatchRequest(const CallTable& table, std::span<const std::uint8_t> request,
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
    switch (static_cast<CallCode>(header.call)) {
#define KESTRO_WIRE_CALL_CASE(code, name) \
    case CallCode::name:                  \
        return ServeCall<CallCode::name>(table.name, reader, response);
        KESTRO_WIRE_CALLS(KESTRO_WIRE_CALL_CASE)
#undef KESTRO_WIRE_CALL_CASE
    }
    response = EncodeBareResponse(header.call, header.sequence, kResultCallNotServed);
    return {DispatchOutcome::kCallNotServed, WireError::kNone};
}

}  // namespace kestro::wire
