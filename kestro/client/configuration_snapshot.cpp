// Reading a snapshot's frames into answers, and answering requests from them.
#include "kestro/client/configuration_snapshot.h"

#include "kestro/wire/marshal.h"
#include "kestro/wire/snapshot.h"

namespace kestro::client {
namespace {

using wire::FrameReader;
using wire::WireError;

// A response frame that carries `sequence` instead of the one it was kept with.
std::vector<std::uint8_t> WithSequence(std::vector<std::uint8_t> frame, std::uint32_t sequence) {
    for (int i = 0; i < 4; ++i) {
        frame[12 + i] = static_cast<std::uint8_t>(sequence >> (8 * i));
    }
    return frame;
}

WireError ReadCall(FrameReader& reader, std::uint16_t& call) {
    std::int16_t value = 0;
    if (WireError error = reader.ReadInt16(value); error != WireError::kNone) {
        return error;
    }
    call = static_cast<std::uint16_t>(value);
    return wire::IsSnapshotCall(call) ? WireError::kNone : WireError::kUnexpectedFrame;
}

}  // namespace

WireError ConfigurationSnapshot::Read(std::span<const std::uint8_t> frame, bool& ended) {
    FrameReader reader;
    if (WireError error = reader.Open(frame); error != WireError::kNone) {
        return error;
    }
    ended = false;
    if (reader.remaining() == 0) {
        return WireError::kNoMoreValues;  // every frame holds an entry at least
    }
    while (reader.remaining() > 0) {
        if (ended) {
            return WireError::kValuesLeftOver;
        }
        std::int16_t kind = 0;
        std::uint16_t call = 0;
        std::int32_t result = 0;
        std::int32_t first = 0;
        WireError error = reader.ReadInt16(kind);
        switch (static_cast<wire::SnapshotEntry>(kind)) {
            case wire::SnapshotEntry::kEnd:
                ended = true;
                break;
            case wire::SnapshotEntry::kAnswer:
                error = ReadAnswer(reader);
                break;
            case wire::SnapshotEntry::kFault:
                error = ReadFault(reader);
                break;
            case wire::SnapshotEntry::kAnswerForFirstValue:
                if ((error = ReadCall(reader, call)) == WireError::kNone &&
                    (error = reader.ReadInt32(result)) == WireError::kNone &&
                    (error = reader.ReadInt32(first)) == WireError::kNone) {
                    byFirstValue_.emplace(std::pair{call, first}, result);
                }
                break;
            case wire::SnapshotEntry::kAnswerForRest:
                error = ReadAnswerForRest(reader);
                break;
            case wire::SnapshotEntry::kAnswerForCall:
                if ((error = ReadCall(reader, call)) == WireError::kNone &&
                    (error = reader.ReadInt32(result)) == WireError::kNone) {
                    byCall_.emplace(call, result);
                }
                break;
            default:
                error = WireError::kBadTag;
        }
        if (error != WireError::kNone) {
            return error;
        }
    }
    return WireError::kNone;
}

WireError ConfigurationSnapshot::ReadAnswer(FrameReader& reader) {
    std::uint16_t call = 0;
    std::int32_t result = 0;
    std::int16_t ins = 0;
    std::int16_t outs = 0;
    WireError error = ReadCall(reader, call);
    if (error == WireError::kNone && (error = reader.ReadInt32(result)) == WireError::kNone &&
        (error = reader.ReadInt16(ins)) == WireError::kNone) {
        error = reader.ReadInt16(outs);
    }
    if (error != WireError::kNone) {
        return error;
    }
    if (ins < 0 || outs < 0 || static_cast<std::size_t>(ins) + outs > reader.remaining() ||
        (result != 0 && outs != 0)) {
        return WireError::kValueCountMismatch;
    }
    wire::FrameWriter request(wire::FrameKind::kRequest, call, 0);
    wire::FrameWriter response(wire::FrameKind::kResponse, call, 0, result);
    for (int i = 0; i < ins && error == WireError::kNone; ++i) {
        error = wire::CopyValue(reader, request);
    }
    for (int i = 0; i < outs && error == WireError::kNone; ++i) {
        error = wire::CopyValue(reader, response);
    }
    std::vector<std::uint8_t> requestFrame;
    Kept kept;
    if (error == WireError::kNone && (error = request.Finish(requestFrame)) == WireError::kNone) {
        error = response.Finish(kept.response);
    }
    if (error == WireError::kNone) {
        answers_.insert_or_assign(wire::RequestKey(call, requestFrame), std::move(kept));
    }
    return error;
}

WireError ConfigurationSnapshot::ReadAnswerForRest(FrameReader& reader) {
    std::uint16_t call = 0;
    std::int32_t result = 0;
    std::int16_t rest = 0;
    WireError error = ReadCall(reader, call);
    if (error == WireError::kNone && (error = reader.ReadInt32(result)) == WireError::kNone) {
        error = reader.ReadInt16(rest);
    }
    if (error != WireError::kNone) {
        return error;
    }
    if (rest < 0 || static_cast<std::size_t>(rest) > reader.remaining()) {
        return WireError::kValueCountMismatch;
    }
    // The key of a request with the first in-value 0, as RestKey cuts it.
    wire::FrameWriter request(wire::FrameKind::kRequest, call, 0);
    request.AddInt32(0);
    for (int i = 0; i < rest && error == WireError::kNone; ++i) {
        error = wire::CopyValue(reader, request);
    }
    std::vector<std::uint8_t> frame;
    if (error == WireError::kNone && (error = request.Finish(frame)) == WireError::kNone) {
        byRest_.insert_or_assign(wire::RestKey(call, frame), result);
    }
    return error;
}

WireError ConfigurationSnapshot::ReadFault(FrameReader& reader) {
    std::uint16_t call = 0;
    std::int32_t code = 0;
    std::int32_t hasRecord = 0;
    std::int32_t record = 0;
    WireError error = ReadCall(reader, call);
    if (error == WireError::kNone && (error = reader.ReadInt32(code)) == WireError::kNone &&
        (error = reader.ReadInt32(hasRecord)) == WireError::kNone) {
        error = reader.ReadInt32(record);
    }
    if (error != WireError::kNone) {
        return error;
    }
    if (code == 0) {
        return WireError::kUnexpectedFrame;  // a fault that answers success is none
    }
    Fault fault{.call = wire::FindCall(call)->name, .code = code};
    if (hasRecord != 0) {
        fault.record = record;
    }
    faults_.Add(std::move(fault));
    return WireError::kNone;
}

std::optional<std::vector<std::uint8_t>> ConfigurationSnapshot::Answer(
    std::span<const std::uint8_t> request, std::uint32_t sequence) {
    wire::FrameHeader header;
    wire::DecodeHeader(request, header);
    const std::optional<std::int32_t> first = wire::FirstInt32(request);
    RecordedCall asked{wire::FindCall(header.call)->name, {}};
    if (first) {
        asked.values.emplace_back(*first);
    }
    if (std::int32_t code = faults_.Check(asked)) {
        return wire::EncodeBareResponse(header.call, sequence, code);
    }
    auto kept = answers_.find(wire::RequestKey(header.call, request));
    if (kept != answers_.end()) {
        kept->second.answered = true;
        return WithSequence(kept->second.response, sequence);
    }
    if (first) {
        auto forFirst = byFirstValue_.find({header.call, *first});
        if (forFirst != byFirstValue_.end()) {
            return wire::EncodeBareResponse(header.call, sequence, forFirst->second);
        }
    }
    if (first) {
        auto forRest = byRest_.find(wire::RestKey(header.call, request));
        if (forRest != byRest_.end()) {
            return wire::EncodeBareResponse(header.call, sequence, forRest->second);
        }
    }
    auto forCall = byCall_.find(header.call);
    if (forCall != byCall_.end()) {
        return wire::EncodeBareResponse(header.call, sequence, forCall->second);
    }
    return std::nullopt;
}

bool ConfigurationSnapshot::AnsweredBefore(std::span<const std::uint8_t> request) const {
    wire::FrameHeader header;
    wire::DecodeHeader(request, header);
    auto kept = answers_.find(wire::RequestKey(header.call, request));
    return kept != answers_.end() && kept->second.answered;
}

}  // namespace kestro::client
