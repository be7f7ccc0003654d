// The non-generic pieces of call marshalling: BSTR values on the wire and bare responses.
#include "kestro/wire/marshal.h"

namespace kestro::wire {

WireError OwnedBstr::Assign(const std::optional<std::u16string>& text) {
    SysFreeString(std::exchange(text_, nullptr));
    if (!text) {
        return WireError::kNone;
    }
    text_ = SysAllocStringLen(text->data(), static_cast<UINT>(text->size()));
    return text_ != nullptr ? WireError::kNone : WireError::kOutOfMemory;
}

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
        writer.AddString(std::u16string_view(text, SysStringLen(text)));
    }
}

WireError Get(FrameReader& reader, OwnedBstr& text) {
    std::optional<std::u16string> units;
    WireError error = reader.ReadString(units);
    return error != WireError::kNone ? error : text.Assign(units);
}

}  // namespace marshal_detail

}  // namespace kestro::wire
