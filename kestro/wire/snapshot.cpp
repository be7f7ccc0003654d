// The pieces of the configuration snapshot that the server's producer and the client's reader
// share: copying values between frames and the keys of requests.
#include "kestro/wire/snapshot.h"

namespace kestro::wire {

WireError CopyValue(FrameReader& from, FrameWriter& to) {
    const std::optional<ValueTag> tag = from.PeekTag();
    if (!tag) {
        return WireError::kNoMoreValues;
    }
    WireError error = WireError::kNone;
    switch (*tag) {
        case ValueTag::kInt16: {
            std::int16_t value = 0;
            if ((error = from.ReadInt16(value)) == WireError::kNone) {
                to.AddInt16(value);
            }
            break;
        }
        case ValueTag::kInt32: {
            std::int32_t value = 0;
            if ((error = from.ReadInt32(value)) == WireError::kNone) {
                to.AddInt32(value);
            }
            break;
        }
        case ValueTag::kInt64: {
            std::int64_t value = 0;
            if ((error = from.ReadInt64(value)) == WireError::kNone) {
                to.AddInt64(value);
            }
            break;
        }
        case ValueTag::kDouble: {
            double value = 0;
            if ((error = from.ReadDouble(value)) == WireError::kNone) {
                to.AddDouble(value);
            }
            break;
        }
        case ValueTag::kString:
        case ValueTag::kNullString: {
            std::optional<WideString> text;
            if ((error = from.ReadString(text)) == WireError::kNone) {
                if (text) {
                    to.AddString(*text);
                } else {
                    to.AddNullString();
                }
            }
            break;
        }
    }
    return error;
}

std::string RequestKey(std::uint16_t call, std::span<const std::uint8_t> frame) {
    std::string key;
    key.reserve(2 + frame.size() - std::min(frame.size(), kHeaderBytes));
    key.push_back(static_cast<char>(call & 0xFF));
    key.push_back(static_cast<char>(call >> 8));
    if (frame.size() > kHeaderBytes) {
        key.append(reinterpret_cast<const char*>(frame.data()) + kHeaderBytes,
                   frame.size() - kHeaderBytes);
    }
    return key;
}

std::string RestKey(std::uint16_t call, std::span<const std::uint8_t> frame) {
    constexpr std::size_t kInt32Bytes = 5;  // tag and body
    if (!FirstInt32(frame)) {
        return std::string();
    }
    return RequestKey(call, frame).erase(2, kInt32Bytes);
}

std::optional<std::int32_t> FirstInt32(std::span<const std::uint8_t> frame) {
    FrameReader reader;
    std::int32_t value = 0;
    if (reader.Open(frame) != WireError::kNone || reader.ReadInt32(value) != WireError::kNone) {
        return std::nullopt;
    }
    return value;
}

}  // namespace kestro::wire
