// Encoding and decoding of the status and delivery events.
#include "kestro/wire/event_frames.h"

#include <optional>
#include <string>

#include "kestro/wire/pump_calls.h"

namespace kestro::wire {
namespace {

constexpr std::size_t kSequenceOffset = 12;

// Reads values in order, remembering the first error.
class Values {
  public:
    explicit Values(FrameReader& reader) : reader_(reader) {}
    template <typename Number>
    void operator()(Number& value) {
        if (error_ != WireError::kNone) {
            return;
        }
        if constexpr (std::is_same_v<Number, std::int16_t>) {
            error_ = reader_.ReadInt16(value);
        } else if constexpr (std::is_same_v<Number, std::int32_t>) {
            error_ = reader_.ReadInt32(value);
        } else if constexpr (std::is_same_v<Number, std::int64_t>) {
            error_ = reader_.ReadInt64(value);
        } else {
            error_ = reader_.ReadDouble(value);
        }
    }
    void operator()(WideString& text) {
        std::optional<WideString> read;
        if (error_ == WireError::kNone) {
            error_ = reader_.ReadString(read);
        }
        text = read.value_or(WideString());
    }
    WireError error() const { return error_; }

  private:
    FrameReader& reader_;
    WireError error_ = WireError::kNone;
};

}  // namespace

void SetFrameSequence(std::vector<std::uint8_t>& frame, std::uint32_t sequence) {
    for (std::size_t i = 0; i < 4; ++i) {
        frame[kSequenceOffset + i] = static_cast<std::uint8_t>(sequence >> (8 * i));
    }
}

std::vector<std::uint8_t> EncodeEvent(const PumpEvent& event, std::uint32_t sequence,
                                      std::int64_t emittedUs) {
    const bool status = event.kind == PumpEvent::Kind::kStatus;
    const auto code = status ? EventCode::kStatus : EventCode::kDelivery;
    FrameWriter writer(FrameKind::kEvent, static_cast<std::uint16_t>(code), sequence);
    writer.AddInt32(event.pumpId);
    if (status) {
        const PumpStatus& s = event.status;
        writer.AddInt16(s.state);
        writer.AddInt16(s.reservedFor);
        writer.AddInt32(s.reservedBy);
        writer.AddInt32(s.hoseId);
        writer.AddInt16(s.hoseNumber);
        writer.AddInt32(s.gradeId);
        writer.AddString(s.gradeName);
        writer.AddString(s.shortGradeName);
        writer.AddInt16(s.priceLevel);
        writer.AddDouble(s.price);
        writer.AddDouble(s.volume);
        writer.AddDouble(s.value);
        writer.AddInt16(s.stackSize);
    } else {
        const PumpDelivery& d = event.delivery;
        writer.AddInt32(d.id);
        writer.AddInt32(d.hoseId);
        writer.AddInt16(d.hoseNumber);
        writer.AddInt32(d.gradeId);
        writer.AddString(d.gradeName);
        writer.AddString(d.shortGradeName);
        writer.AddInt16(d.priceLevel);
        writer.AddDouble(d.price);
        writer.AddDouble(d.volume);
        writer.AddDouble(d.value);
        writer.AddInt16(d.state);
        writer.AddInt16(d.type);
        writer.AddInt32(d.lockedBy);
        writer.AddInt32(d.reservedBy);
        writer.AddInt32(d.age);
        writer.AddDouble(d.completedDate);
        writer.AddInt32(d.attendantId);
        writer.AddDouble(d.volumeTotal);
        writer.AddDouble(d.volume2Total);
        writer.AddDouble(d.valueTotal);
    }
    writer.AddInt64(emittedUs);
    std::vector<std::uint8_t> frame;
    writer.Finish(frame);  // the names are record texts, always within the bounds
    return frame;
}

WireError DecodeEvent(std::span<const std::uint8_t> frame, ReceivedEvent& received) {
    FrameReader reader;
    if (WireError error = reader.Open(frame); error != WireError::kNone) {
        return error;
    }
    const FrameHeader& header = reader.header();
    const bool status = header.call == static_cast<std::uint16_t>(EventCode::kStatus);
    if (header.kind != FrameKind::kEvent ||
        (!status && header.call != static_cast<std::uint16_t>(EventCode::kDelivery))) {
        return WireError::kUnexpectedFrame;
    }
    ReceivedEvent decoded;
    decoded.sequence = header.sequence;
    PumpEvent& event = decoded.event;
    Values read(reader);
    read(event.pumpId);
    if (status) {
        event.kind = PumpEvent::Kind::kStatus;
        PumpStatus& s = event.status;
        read(s.state);
        read(s.reservedFor);
        read(s.reservedBy);
        read(s.hoseId);
        read(s.hoseNumber);
        read(s.gradeId);
        read(s.gradeName);
        read(s.shortGradeName);
        read(s.priceLevel);
        read(s.price);
        read(s.volume);
        read(s.value);
        read(s.stackSize);
    } else {
        event.kind = PumpEvent::Kind::kDelivery;
        PumpDelivery& d = event.delivery;
        read(d.id);
        read(d.hoseId);
        read(d.hoseNumber);
        read(d.gradeId);
        read(d.gradeName);
        read(d.shortGradeName);
        read(d.priceLevel);
        read(d.price);
        read(d.volume);
        read(d.value);
        read(d.state);
        read(d.type);
        read(d.lockedBy);
        read(d.reservedBy);
        read(d.age);
        read(d.completedDate);
        read(d.attendantId);
        read(d.volumeTotal);
        read(d.volume2Total);
        read(d.valueTotal);
    }
    read(decoded.emittedUs);
    if (read.error() != WireError::kNone) {
        return read.error();
    }
    if (reader.remaining() != 0) {
        return WireError::kValuesLeftOver;
    }
    received = std::move(decoded);
    return WireError::kNone;
}

}  // namespace kestro::wire
