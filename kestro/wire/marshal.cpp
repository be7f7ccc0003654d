// The non-generic pieces of call marshalling: BSTR values on the wire and bare responses.
#include "kestro/wire/marshal.h"

namespace kestro::wire {

std::vector<std::uint8_t> EncodeBareResponse(std::uint16_t call, std::uint32_t sequence,
                                             std::int32_t result) {
    std::vector<std::uint8_t> frame;
    // A header without values always fits the bounds.
    FrameWriter(FrameKind::kResponse, call, sequence, result).Finish(frame);
    return frame;
}

namespace marshal_detail {

void Put(FrameWriter& writer, BSTR text) {
    if (text == nullptr) {
        writer.AddNullString();
    } else {
        writer.AddString(WideStringView(text, SysStringLen(text)));
    }
}

WireError Get(FrameReader& reader, Bstr& text) {
    std::optional<WideString> units;
    const WireError error = reader.ReadString(units);
    text.Reset();
    if (error != WireError::kNone || !units) {
        return error;
    }
    text = Bstr::FromUtf16(*units);
    return text.IsNull() ? WireError::kOutOfMemory : WireError::kNone;
}

}  // namespace marshal_detail

}  // namespace kestro::wire
