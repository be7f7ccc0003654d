// The server side of the protocol for all calls at once: routes a request frame by its call
// code to the implementation of that call and answers it (marshal.h does the values).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "kestro/wire/calls.h"
#include "kestro/wire/marshal.h"

namespace kestro::wire {

// One implementation per call of calls.h, each of the type client/kestro.h declares; null
// where the server does not serve the call. A server fills it from its binding of the flat
// interface (e.g. `table.GetPortsCount = &::GetPortsCount`).
struct CallTable {
#define KESTRO_WIRE_CALL_SLOT(code, name) CallFunction<CallCode::name>* name = nullptr;
    KESTRO_WIRE_CALLS(KESTRO_WIRE_CALL_SLOT)
#undef KESTRO_WIRE_CALL_SLOT
};

// Serves the opened request `request` with `implementation` of the call `code`, or answers
// kResultCallNotServed when there is none. The one step every dispatcher takes per call.
template <CallCode code>
DispatchResult ServeCall(CallFunction<code>* implementation, FrameReader& request,
                         std::vector<std::uint8_t>& response) {
    if (implementation == nullptr) {
        const FrameHeader& header = request.header();
        response = EncodeBareResponse(header.call, header.sequence, kResultCallNotServed);
        return {DispatchOutcome::kCallNotServed, WireError::kNone};
    }
    return Marshal<code>::Serve(request, implementation, response);
}

// Answers the request frame `request` into `response` with the implementation of its call
// in `table`. A frame that is not one well-formed request gets no answer (kMalformedFrame,
// `response` untouched): the server closes that connection. An unknown call code or a
// missing implementation is answered with kResultCallNotServed; values that do not fit the
// call with kResultMalformedRequest. Nothing in `request` can make this read out of bounds.
DispatchResult DispatchRequest(const CallTable& table, std::span<const std::uint8_t> request,
                               std::vector<std::uint8_t>& response);

}  // namespace kestro::wire
