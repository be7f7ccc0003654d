// Encoding and checked decoding of Kestro frames. Bytes are assembled one by one, so the
// format does not depend on the host's byte order or alignment.
#include "kestro/wire/frame.h"

#include <bit>
#include <cstring>
#include <utility>

namespace kestro::wire {

namespace {

constexpr std::size_t kOffsetVersion = 4;
constexpr std::size_t kOffsetKind = 6;
constexpr std::size_t kOffsetReserved = 7;
constexpr std::size_t kOffsetCall = 8;
constexpr std::size_t kOffsetValueCount = 10;
constexpr std::size_t kOffsetSequence = 12;
constexpr std::size_t kOffsetResult = 16;
constexpr std::size_t kOffsetPayloadLength = 20;
constexpr std::size_t kStringLengthBytes = 4;

template <typename Unsigned>
Unsigned LoadLittle(const std::uint8_t* bytes) {
    Unsigned value = 0;
    for (std::size_t i = 0; i < sizeof(Unsigned); ++i) {
        value |= static_cast<Unsigned>(static_cast<Unsigned>(bytes[i]) << (8 * i));
    }
    return value;
}

template <typename Unsigned>
void StoreLittle(std::uint8_t* bytes, Unsigned value) {
    for (std::size_t i = 0; i < sizeof(Unsigned); ++i) {
        bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

template <typename Unsigned>
void AppendLittle(std::vector<std::uint8_t>& bytes, Unsigned value) {
    std::size_t at = bytes.size();
    bytes.resize(at + sizeof(Unsigned));
    StoreLittle(bytes.data() + at, value);
}

// Body size of a fixed-width value, 0 for the null string; strings are sized apart.
std::size_t FixedBodyBytes(ValueTag tag) {
    switch (tag) {
        case ValueTag::kInt16:
            return 2;
        case ValueTag::kInt32:
            return 4;
        case ValueTag::kInt64:
        case ValueTag::kDouble:
            return 8;
        case ValueTag::kString:
        case ValueTag::kNullString:
            break;
    }
    return 0;
}

bool IsKnownTag(std::uint8_t tag) {
    return tag >= static_cast<std::uint8_t>(ValueTag::kInt16) &&
           tag <= static_cast<std::uint8_t>(ValueTag::kNullString);
}

// Walks the payload value by value and checks that it holds exactly `count` values.
WireError CheckPayload(std::span<const std::uint8_t> payload, std::size_t count) {
    std::size_t offset = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (offset == payload.size()) {
            return WireError::kValueCountMismatch;
        }
        std::uint8_t rawTag = payload[offset++];
        if (!IsKnownTag(rawTag)) {
            return WireError::kBadTag;
        }
        ValueTag tag = static_cast<ValueTag>(rawTag);
        std::size_t body = FixedBodyBytes(tag);
        if (tag == ValueTag::kString) {
            if (payload.size() - offset < kStringLengthBytes) {
                return WireError::kValueOverrun;
            }
            std::uint32_t units = LoadLittle<std::uint32_t>(payload.data() + offset);
            offset += kStringLengthBytes;
            if (units > kMaxStringUnits) {
                return WireError::kStringTooLong;
            }
            body = std::size_t{units} * 2;
        }
        if (payload.size() - offset < body) {
            return WireError::kValueOverrun;
        }
        offset += body;
    }
    return offset == payload.size() ? WireError::kNone : WireError::kValueCountMismatch;
}

}  // namespace

const char* WireErrorText(WireError error) {
    switch (error) {
        case WireError::kNone:
            return "no error";
        case WireError::kTruncated:
            return "truncated frame";
        case WireError::kTrailingBytes:
            return "bytes after the end of the frame";
        case WireError::kBadMagic:
            return "bad magic";
        case WireError::kBadVersion:
            return "unsupported protocol version";
        case WireError::kBadKind:
            return "unknown frame kind";
        case WireError::kBadReserved:
            return "reserved header byte not zero";
        case WireError::kFrameTooLarge:
            return "frame too large";
        case WireError::kTooManyValues:
            return "too many values";
        case WireError::kBadTag:
            return "unknown value tag";
        case WireError::kStringTooLong:
            return "string too long";
        case WireError::kValueOverrun:
            return "value runs past the end of the payload";
        case WireError::kValueCountMismatch:
            return "payload does not hold the announced number of values";
        case WireError::kTypeMismatch:
            return "value of the wrong type";
        case WireError::kNoMoreValues:
            return "too few values";
        case WireError::kValuesLeftOver:
            return "too many values for the call";
        case WireError::kUnexpectedFrame:
            return "frame does not answer the request";
        case WireError::kOutOfMemory:
            return "out of memory";
    }
    return "unknown wire error";
}

WireError DecodeHeader(std::span<const std::uint8_t> bytes, FrameHeader& header) {
    if (bytes.size() < kHeaderBytes) {
        return WireError::kTruncated;
    }
    if (std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0) {
        return WireError::kBadMagic;
    }
    if (LoadLittle<std::uint16_t>(bytes.data() + kOffsetVersion) != kProtocolVersion) {
        return WireError::kBadVersion;
    }
    std::uint8_t kind = bytes[kOffsetKind];
    if (kind < static_cast<std::uint8_t>(FrameKind::kRequest) ||
        kind > static_cast<std::uint8_t>(FrameKind::kEvent)) {
        return WireError::kBadKind;
    }
    if (bytes[kOffsetReserved] != 0) {
        return WireError::kBadReserved;
    }
    std::uint16_t valueCount = LoadLittle<std::uint16_t>(bytes.data() + kOffsetValueCount);
    if (valueCount > kMaxValueCount) {
        return WireError::kTooManyValues;
    }
    std::uint32_t payloadLength = LoadLittle<std::uint32_t>(bytes.data() + kOffsetPayloadLength);
    if (payloadLength > kMaxFrameBytes - kHeaderBytes) {
        return WireError::kFrameTooLarge;
    }
    header.kind = static_cast<FrameKind>(kind);
    header.call = LoadLittle<std::uint16_t>(bytes.data() + kOffsetCall);
    header.valueCount = valueCount;
    header.sequence = LoadLittle<std::uint32_t>(bytes.data() + kOffsetSequence);
    header.result =
        static_cast<std::int32_t>(LoadLittle<std::uint32_t>(bytes.data() + kOffsetResult));
    header.payloadLength = payloadLength;
    return WireError::kNone;
}

// ---- FrameWriter --------------------------------------------------------------------------

FrameWriter::FrameWriter(FrameKind kind, std::uint16_t call, std::uint32_t sequence,
                         std::int32_t result)
    : bytes_(kHeaderBytes, 0) {
    std::memcpy(bytes_.data(), kMagic, sizeof kMagic);
    StoreLittle(bytes_.data() + kOffsetVersion, kProtocolVersion);
    bytes_[kOffsetKind] = static_cast<std::uint8_t>(kind);
    StoreLittle(bytes_.data() + kOffsetCall, call);
    StoreLittle(bytes_.data() + kOffsetSequence, sequence);
    StoreLittle(bytes_.data() + kOffsetResult, static_cast<std::uint32_t>(result));
}

bool FrameWriter::Reserve(std::size_t valueBytes) {
    if (error_ != WireError::kNone) {
        return false;
    }
    if (valueCount_ == kMaxValueCount) {
        error_ = WireError::kTooManyValues;
        return false;
    }
    if (valueBytes > kMaxFrameBytes - bytes_.size()) {
        error_ = WireError::kFrameTooLarge;
        return false;
    }
    ++valueCount_;
    bytes_.reserve(bytes_.size() + valueBytes);
    return true;
}

void FrameWriter::AddInt16(std::int16_t value) {
    if (Reserve(1 + 2)) {
        bytes_.push_back(static_cast<std::uint8_t>(ValueTag::kInt16));
        AppendLittle(bytes_, static_cast<std::uint16_t>(value));
    }
}

void FrameWriter::AddInt32(std::int32_t value) {
    if (Reserve(1 + 4)) {
        bytes_.push_back(static_cast<std::uint8_t>(ValueTag::kInt32));
        AppendLittle(bytes_, static_cast<std::uint32_t>(value));
    }
}

void FrameWriter::AddInt64(std::int64_t value) {
    if (Reserve(1 + 8)) {
        bytes_.push_back(static_cast<std::uint8_t>(ValueTag::kInt64));
        AppendLittle(bytes_, static_cast<std::uint64_t>(value));
    }
}

void FrameWriter::AddDouble(double value) {
    if (Reserve(1 + 8)) {
        bytes_.push_back(static_cast<std::uint8_t>(ValueTag::kDouble));
        AppendLittle(bytes_, std::bit_cast<std::uint64_t>(value));
    }
}

void FrameWriter::AddString(WideStringView text) {
    if (error_ == WireError::kNone && text.size() > kMaxStringUnits) {
        error_ = WireError::kStringTooLong;
    }
    if (Reserve(1 + kStringLengthBytes + text.size() * 2)) {
        bytes_.push_back(static_cast<std::uint8_t>(ValueTag::kString));
        AppendLittle(bytes_, static_cast<std::uint32_t>(text.size()));
        for (WCHAR unit : text) {
            AppendLittle(bytes_, static_cast<std::uint16_t>(unit));
        }
    }
}

void FrameWriter::AddNullString() {
    if (Reserve(1)) {
        bytes_.push_back(static_cast<std::uint8_t>(ValueTag::kNullString));
    }
}

WireError FrameWriter::Finish(std::vector<std::uint8_t>& frame) {
    if (error_ != WireError::kNone) {
        return error_;
    }
    StoreLittle(bytes_.data() + kOffsetValueCount, static_cast<std::uint16_t>(valueCount_));
    StoreLittle(bytes_.data() + kOffsetPayloadLength,
                static_cast<std::uint32_t>(bytes_.size() - kHeaderBytes));
    frame = std::move(bytes_);
    bytes_.assign(frame.begin(), frame.begin() + kHeaderBytes);
    valueCount_ = 0;
    return WireError::kNone;
}

// ---- FrameReader --------------------------------------------------------------------------

WireError FrameReader::Open(std::span<const std::uint8_t> frame) {
    *this = FrameReader();
    FrameHeader header;
    WireError error = DecodeHeader(frame, header);
    if (error != WireError::kNone) {
        return error;
    }
    std::size_t payloadEnd = kHeaderBytes + header.payloadLength;
    if (frame.size() < payloadEnd) {
        return WireError::kTruncated;
    }
    if (frame.size() > payloadEnd) {
        return WireError::kTrailingBytes;
    }
    std::span<const std::uint8_t> payload = frame.subspan(kHeaderBytes);
    error = CheckPayload(payload, header.valueCount);
    if (error != WireError::kNone) {
        return error;
    }
    header_ = header;
    payload_ = payload;
    remaining_ = header.valueCount;
    return WireError::kNone;
}

std::optional<ValueTag> FrameReader::PeekTag() const {
    if (remaining_ == 0) {
        return std::nullopt;
    }
    return static_cast<ValueTag>(payload_[offset_]);
}

WireError FrameReader::Take(ValueTag tag, std::size_t bodyBytes, const std::uint8_t*& body) {
    std::optional<ValueTag> next = PeekTag();
    if (!next) {
        return WireError::kNoMoreValues;
    }
    if (*next != tag) {
        return WireError::kTypeMismatch;
    }
    // Open has checked every value, so the body lies inside the payload.
    body = payload_.data() + offset_ + 1;
    offset_ += 1 + bodyBytes;
    --remaining_;
    return WireError::kNone;
}

WireError FrameReader::ReadInt16(std::int16_t& value) {
    const std::uint8_t* body = nullptr;
    WireError error = Take(ValueTag::kInt16, 2, body);
    if (error == WireError::kNone) {
        value = static_cast<std::int16_t>(LoadLittle<std::uint16_t>(body));
    }
    return error;
}

WireError FrameReader::ReadInt32(std::int32_t& value) {
    const std::uint8_t* body = nullptr;
    WireError error = Take(ValueTag::kInt32, 4, body);
    if (error == WireError::kNone) {
        value = static_cast<std::int32_t>(LoadLittle<std::uint32_t>(body));
    }
    return error;
}

WireError FrameReader::ReadInt64(std::int64_t& value) {
    const std::uint8_t* body = nullptr;
    WireError error = Take(ValueTag::kInt64, 8, body);
    if (error == WireError::kNone) {
        value = static_cast<std::int64_t>(LoadLittle<std::uint64_t>(body));
    }
    return error;
}

WireError FrameReader::ReadDouble(double& value) {
    const std::uint8_t* body = nullptr;
    WireError error = Take(ValueTag::kDouble, 8, body);
    if (error == WireError::kNone) {
        value = std::bit_cast<double>(LoadLittle<std::uint64_t>(body));
    }
    return error;
}

WireError FrameReader::ReadString(std::optional<WideString>& text) {
    std::optional<ValueTag> next = PeekTag();
    if (next == ValueTag::kNullString) {
        const std::uint8_t* body = nullptr;
        WireError error = Take(ValueTag::kNullString, 0, body);
        text.reset();
        return error;
    }
    if (next != ValueTag::kString) {
        return next ? WireError::kTypeMismatch : WireError::kNoMoreValues;
    }
    std::uint32_t units = LoadLittle<std::uint32_t>(payload_.data() + offset_ + 1);
    const std::uint8_t* body = nullptr;
    WireError error = Take(ValueTag::kString, kStringLengthBytes + std::size_t{units} * 2, body);
    if (error != WireError::kNone) {
        return error;
    }
    WideString decoded(units, WSTR('\0'));
    for (std::size_t i = 0; i < units; ++i) {
        decoded[i] =
            static_cast<WCHAR>(LoadLittle<std::uint16_t>(body + kStringLengthBytes + i * 2));
    }
    text = std::move(decoded);
    return WireError::kNone;
}

}  // namespace kestro::wire
