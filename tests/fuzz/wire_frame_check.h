// What must hold for any bytes handed to the wire protocol, checked by the wire fuzz target
// and replayed by the wire tests over the inputs kept in tests/fuzz/wire_frame_seeds/ and
// tests/fuzz/wire_frame_regressions/.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "kestro/wire/call_dispatcher.h"
#include "kestro/wire/frame.h"
#include "kestro/wire/marshal.h"
#include "platform/oleauto.h"
#include "tests/kestro_wire/generic_calls.h"

namespace wire_fuzz {

// Runs `bytes` through the decoder, the server's dispatcher (every call served by its
// generic test implementation) and the client's response decoding of two calls. Returns an
// empty text when every property held, else what broke.
inline std::string CheckWireFrame(std::span<const std::uint8_t> bytes) {
    using namespace kestro::wire;
    const long liveStrings = SysLiveStringCount();

    FrameReader reader;
    const bool wellFormed = reader.Open(bytes) == WireError::kNone;
    if (wellFormed) {
        while (std::optional<ValueTag> tag = reader.PeekTag()) {
            WireError error = WireError::kNone;
            std::int16_t i16;
            std::int32_t i32;
            std::int64_t i64;
            double d;
            std::optional<std::u16string> text;
            switch (*tag) {
                case ValueTag::kInt16:
                    error = reader.ReadInt16(i16);
                    break;
                case ValueTag::kInt32:
                    error = reader.ReadInt32(i32);
                    break;
                case ValueTag::kInt64:
                    error = reader.ReadInt64(i64);
                    break;
                case ValueTag::kDouble:
                    error = reader.ReadDouble(d);
                    break;
                case ValueTag::kString:
                case ValueTag::kNullString:
                    error = reader.ReadString(text);
                    break;
            }
            if (error != WireError::kNone) {
                return std::string("a value of an accepted frame does not read: ") +
                       WireErrorText(error);
            }
        }
    }

    static const CallTable table = wire_test::GenericCallTable();
    std::vector<std::uint8_t> response;
    DispatchResult dispatched = DispatchRequest(table, bytes, response);
    if (dispatched.outcome == DispatchOutcome::kMalformedFrame) {
        if (wellFormed && reader.header().kind == FrameKind::kRequest) {
            return "a well-formed request got no answer";
        }
    } else {
        FrameReader answer;
        if (!wellFormed || answer.Open(response) != WireError::kNone ||
            answer.header().kind != FrameKind::kResponse ||
            answer.header().call != reader.header().call ||
            answer.header().sequence != reader.header().sequence) {
            return "an answer is not a well-formed response to its request";
        }
    }

    const std::uint32_t sequence = wellFormed ? reader.header().sequence : 0;
    std::int32_t result = -1;
    std::int32_t number = 0;
    std::int32_t protocolId = 0;
    std::int16_t deviceType = 0;
    BSTR name = nullptr;
    BSTR serialNo = nullptr;
    Marshal<CallCode::GetPortProperties>::DecodeResponse(bytes, sequence, result, 1, &number, &name,
                                                         &protocolId, &deviceType, &serialNo);
    SysFreeString(name);
    SysFreeString(serialNo);
    double price = 0;
    Marshal<CallCode::GetGradePrice>::DecodeResponse(bytes, sequence, result, 1, 1, &price);

    if (SysLiveStringCount() != liveStrings) {
        return "a BSTR leaked";
    }
    return {};
}

}  // namespace wire_fuzz
