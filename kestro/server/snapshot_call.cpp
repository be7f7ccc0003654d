// The snapshot's producer: walks the station as an export does, asking each getter through
// the server's own call table, and packs every request with its answer into frames.
#include "kestro/server/snapshot_call.h"

#include <initializer_list>
#include <mutex>
#include <variant>

#include "kestro/inproc/current_station.h"
#include "kestro/model/result_codes.h"
#include "kestro/wire/snapshot.h"

namespace kestro::server {
namespace {

using wire::CallCode;
using wire::FrameKind;
using wire::FrameReader;
using wire::FrameWriter;
using wire::SnapshotEntry;
using wire::WireError;

using InValue = std::variant<std::int16_t, std::int32_t>;

// The export's product filter: every product.
constexpr std::initializer_list<std::int32_t> kEveryProduct = {-1, 0, 0, 0, 0, -1};

std::uint16_t Code(CallCode call) {
    return static_cast<std::uint16_t>(call);
}

// The bytes of a 16-bit and of a 32-bit value on the wire: tag and body.
constexpr std::size_t kInt16Bytes = 3;
constexpr std::size_t kInt32Bytes = 5;

// The frames of one snapshot answer, cut so that each holds whole entries within the bounds.
class SnapshotFrames {
  public:
    explicit SnapshotFrames(std::uint32_t sequence) : sequence_(sequence) {}

    // Entry kind 1: `request` and its `response`, both well-formed frames.
    void AddAnswer(std::span<const std::uint8_t> request, std::span<const std::uint8_t> response) {
        FrameReader in;
        FrameReader out;
        in.Open(request);
        out.Open(response);
        const std::size_t bytes = request.size() + response.size() - 2 * wire::kHeaderBytes;
        Begin(5 + in.remaining() + out.remaining(), bytes + 4 * kInt16Bytes + kInt32Bytes);
        writer_->AddInt16(static_cast<std::int16_t>(SnapshotEntry::kAnswer));
        writer_->AddInt16(static_cast<std::int16_t>(in.header().call));
        writer_->AddInt32(out.header().result);
        writer_->AddInt16(static_cast<std::int16_t>(in.remaining()));
        writer_->AddInt16(static_cast<std::int16_t>(out.remaining()));
        Copy(in);
        Copy(out);
    }

    void AddFault(std::uint16_t call, const Fault& fault) {
        Begin(5, 2 * kInt16Bytes + 3 * kInt32Bytes);
        writer_->AddInt16(static_cast<std::int16_t>(SnapshotEntry::kFault));
        writer_->AddInt16(static_cast<std::int16_t>(call));
        writer_->AddInt32(fault.code);
        writer_->AddInt32(fault.record ? 1 : 0);
        writer_->AddInt32(fault.record.value_or(0));
    }

    void AddAnswerForFirstValue(std::uint16_t call, std::int32_t result, std::int32_t first) {
        Begin(4, 2 * kInt16Bytes + 2 * kInt32Bytes);
        writer_->AddInt16(static_cast<std::int16_t>(SnapshotEntry::kAnswerForFirstValue));
        writer_->AddInt16(static_cast<std::int16_t>(call));
        writer_->AddInt32(result);
        writer_->AddInt32(first);
    }

    void AddAnswerForCall(std::uint16_t call, std::int32_t result) {
        Begin(3, 2 * kInt16Bytes + kInt32Bytes);
        writer_->AddInt16(static_cast<std::int16_t>(SnapshotEntry::kAnswerForCall));
        writer_->AddInt16(static_cast<std::int16_t>(call));
        writer_->AddInt32(result);
    }

    // Entry kind 5: `result` for the requests like `request` but for its first in-value.
    void AddAnswerForRest(std::span<const std::uint8_t> request, std::int32_t result) {
        FrameReader in;
        in.Open(request);
        std::int32_t first = 0;
        in.ReadInt32(first);
        Begin(4 + in.remaining(), 3 * kInt16Bytes + kInt32Bytes + request.size());
        writer_->AddInt16(static_cast<std::int16_t>(SnapshotEntry::kAnswerForRest));
        writer_->AddInt16(static_cast<std::int16_t>(in.header().call));
        writer_->AddInt32(result);
        writer_->AddInt16(static_cast<std::int16_t>(in.remaining()));
        Copy(in);
    }

    // Ends the snapshot and hands out its frames; kNone, or the bound an entry broke.
    WireError Finish(std::vector<std::vector<std::uint8_t>>& frames) {
        Begin(1, kInt16Bytes);
        writer_->AddInt16(static_cast<std::int16_t>(SnapshotEntry::kEnd));
        Cut();
        if (error_ == WireError::kNone) {
            frames = std::move(frames_);
        }
        return error_;
    }

  private:
    // Room for an entry of `values` values and at most `bytes` bytes, in a new frame if the
    // current one has too little (the end entry's room always kept).
    void Begin(std::size_t values, std::size_t bytes) {
        if (writer_ && (values_ + values + 1 > wire::kMaxValueCount ||
                        bytes_ + bytes + kInt16Bytes > wire::kMaxFrameBytes - wire::kHeaderBytes)) {
            Cut();
        }
        if (!writer_) {
            writer_.emplace(FrameKind::kResponse, wire::kSnapshotCall, sequence_);
        }
        values_ += values;
        bytes_ += bytes;
    }

    void Cut() {
        std::vector<std::uint8_t> frame;
        const WireError error = writer_->Finish(frame);
        if (error_ == WireError::kNone) {
            error_ = error;
        }
        frames_.push_back(std::move(frame));
        writer_.reset();
        values_ = 0;
        bytes_ = 0;
    }

    void Copy(FrameReader& from) {
        while (from.remaining() > 0) {
            wire::CopyValue(from, *writer_);
        }
    }

    std::uint32_t sequence_;
    std::optional<FrameWriter> writer_;
    std::size_t values_ = 0;
    std::size_t bytes_ = 0;
    WireError error_ = WireError::kNone;
    std::vector<std::vector<std::uint8_t>> frames_;
};

// One walk of the station through the call table, every answer kept in the frames.
class StationWalk {
  public:
    // `station`: the one the table's getters act on.
    StationWalk(const wire::CallTable& table, Station& station, SnapshotFrames& frames)
        : table_(table), station_(station), frames_(frames) {}

    void Run() {
        Kind(CallCode::GetPortsCount, CallCode::GetPortByOrdinal, [this](std::int32_t port) {
            Ask(CallCode::GetPortProperties, {port});
            Ask(CallCode::GetZB2GConfig, {port});
            Ask(CallCode::GetDeviceDetails, {port, -1});
        });
        Kind(CallCode::GetGradesCount, CallCode::GetGradeByOrdinal, [this](std::int32_t grade) {
            Ask(CallCode::GetGradePropertiesEx, {grade});
            for (std::int16_t level = 1; level <= 8; ++level) {
                Ask(CallCode::GetGradePrice, {grade, level});
            }
            const std::int16_t noLevel = 0;
            frames_.AddAnswerForFirstValue(Code(CallCode::GetGradePrice),
                                           Result(Probe(CallCode::GetGradePrice, {grade, noLevel})),
                                           grade);
        });
        Kind(CallCode::GetTanksCount, CallCode::GetTankByOrdinal,
             [this](std::int32_t tank) { Ask(CallCode::GetTankPropertiesEx2, {tank}); });
        Kind(CallCode::GetZigBeeCount, CallCode::GetZigBeeByOrdinal, [this](std::int32_t device) {
            Ask(CallCode::GetZigBeeProperties, {device});
            if (const ZigBeeRecord* record = station_.CurrentConfiguration().zigBees.Find(device)) {
                Ask(CallCode::GetDeviceDetails, {record->portId, device});
            }
        });
        Kind(CallCode::GetPumpsCount, CallCode::GetPumpByOrdinal, [this](std::int32_t pump) {
            Ask(CallCode::GetPumpPropertiesEx, {pump});
            const std::int32_t hoses = Int32Out(Ask(CallCode::GetPumpHosesCount, {pump}));
            for (std::int32_t position = 1; position <= hoses; ++position) {
                const std::int32_t hose =
                    Int32Out(Ask(CallCode::GetPumpHoseByNumber, {pump, position}));
                Ask(CallCode::GetHosePropertiesEx2, {hose});
            }
        });
        Kind(CallCode::GetSensorsCount, CallCode::GetSensorByOrdinal,
             [this](std::int32_t sensor) { Ask(CallCode::GetSensorPropertiesEx, {sensor}); });
        Kind(CallCode::GetAttendantsCount, CallCode::GetAttendantByOrdinal,
             [this](std::int32_t attendant) {
                 Ask(CallCode::GetAttendantPropertiesEx2, {attendant});
             });
        Kind(CallCode::GetCardClientsCount, CallCode::GetCardClientByOrdinal,
             [this](std::int32_t client) { Ask(CallCode::GetCardClientPropertiesEx4, {client}); });
        Products();
        AnswersForUnknownRecords();
    }

  private:
    template <typename EachRecord>
    void Kind(CallCode count, CallCode byOrdinal, EachRecord each) {
        const std::int32_t records = Int32Out(Ask(count, {}));
        for (std::int32_t ordinal = 1; ordinal <= records; ++ordinal) {
            const std::vector<std::uint8_t> answer = Ask(byOrdinal, {ordinal});
            if (Result(answer) == kSuccess) {
                each(Int32Out(answer));
            }
        }
    }

    void Products() {
        std::vector<InValue> filter(kEveryProduct.begin(), kEveryProduct.end());
        const std::int32_t products = Int32Out(Ask(CallCode::GetProductsCount, filter));
        for (std::int32_t ordinal = 1; ordinal <= products; ++ordinal) {
            std::vector<InValue> ins{ordinal};
            ins.insert(ins.end(), filter.begin(), filter.end());
            const std::vector<std::uint8_t> answer = Ask(CallCode::GetProductByOrdinal, ins);
            if (Result(answer) == kSuccess) {
                Ask(CallCode::GetProductProperties, {Int32Out(answer)});
            }
        }
        std::vector<InValue> noOrdinal{std::int32_t{0}};
        noOrdinal.insert(noOrdinal.end(), filter.begin(), filter.end());
        const std::vector<std::uint8_t> probe = Request(CallCode::GetProductByOrdinal, noOrdinal);
        frames_.AddAnswerForRest(probe, Result(Probe(CallCode::GetProductByOrdinal, noOrdinal)));
    }

    // What each call answers for a record the station does not have, probed with the
    // identifier 0 that no record carries (setters refuse it). The product enumeration is
    // left out: another filter selects other products, so its requests go to the server.
    void AnswersForUnknownRecords() {
        for (CallCode call : wire::kSnapshotCalls) {
            if (call == CallCode::GetProductsCount || call == CallCode::GetProductByOrdinal) {
                continue;
            }
            std::vector<InValue> zeros;
            if (!ZeroIns(call, zeros)) {
                continue;  // a call without in-values always has its exact answer
            }
            frames_.AddAnswerForCall(Code(call), Result(Probe(call, zeros)));
        }
    }

    // The in-values of `call` set to zero; false when it has none.
    static bool ZeroIns(CallCode call, std::vector<InValue>& zeros) {
        switch (call) {
            case CallCode::GetGradePrice:
                zeros = {std::int32_t{0}, std::int16_t{0}};
                return true;
            case CallCode::GetDeviceDetails:
            case CallCode::GetPumpHoseByNumber:
                zeros = {std::int32_t{0}, std::int32_t{0}};
                return true;
            default:
                if (wire::IsCountCall(Code(call)) && call != CallCode::GetPumpHosesCount) {
                    return false;
                }
                zeros = {std::int32_t{0}};
                return true;
        }
    }

    std::vector<std::uint8_t> Request(CallCode call, const std::vector<InValue>& ins) {
        FrameWriter writer(FrameKind::kRequest, Code(call), 0);
        for (const InValue& value : ins) {
            std::visit(
                [&](auto v) {
                    if constexpr (std::is_same_v<decltype(v), std::int16_t>) {
                        writer.AddInt16(v);
                    } else {
                        writer.AddInt32(v);
                    }
                },
                value);
        }
        std::vector<std::uint8_t> frame;
        writer.Finish(frame);  // a few integers always fit
        return frame;
    }

    std::vector<std::uint8_t> Probe(CallCode call, const std::vector<InValue>& ins) {
        std::vector<std::uint8_t> response;
        wire::DispatchRequest(table_, Request(call, ins), response);
        return response;
    }

    std::vector<std::uint8_t> Ask(CallCode call, const std::vector<InValue>& ins) {
        const std::vector<std::uint8_t> request = Request(call, ins);
        std::vector<std::uint8_t> response;
        wire::DispatchRequest(table_, request, response);
        station_.ClearCalls();  // the walk's calls need no record
        frames_.AddAnswer(request, response);
        return response;
    }

    static std::int32_t Result(std::span<const std::uint8_t> response) {
        FrameReader reader;
        return reader.Open(response) == WireError::kNone ? reader.header().result : kInvalidAnswer;
    }

    // The first out-value of a successful answer; 0 for a failed one (no records follow).
    static std::int32_t Int32Out(std::span<const std::uint8_t> response) {
        FrameReader reader;
        std::int32_t value = 0;
        if (reader.Open(response) != WireError::kNone || reader.header().result != kSuccess ||
            reader.ReadInt32(value) != WireError::kNone) {
            return 0;
        }
        return value;
    }

    const wire::CallTable& table_;
    Station& station_;
    SnapshotFrames& frames_;
};

void Refuse(const wire::FrameHeader& header, std::int32_t result,
            std::vector<std::vector<std::uint8_t>>& frames) {
    frames.assign(1, wire::EncodeBareResponse(header.call, header.sequence, result));
}

}  // namespace

void ServeSnapshot(const wire::CallTable& table, ServedStation& served, bool loggedOn,
                   std::span<const std::uint8_t> request,
                   std::vector<std::vector<std::uint8_t>>& frames) {
    FrameReader reader;
    reader.Open(request);
    const wire::FrameHeader header = reader.header();
    if (!loggedOn) {
        return Refuse(header, kNotLoggedOn, frames);
    }
    std::int32_t revision = 0;
    if (reader.ReadInt32(revision) != WireError::kNone || reader.remaining() != 0) {
        return Refuse(header, wire::kResultMalformedRequest, frames);
    }
    if (revision != wire::kSnapshotRevision) {
        return Refuse(header, wire::kResultCallNotServed, frames);
    }
    SnapshotFrames answer(header.sequence);
    // One read of the shared station: its records and faults taken under the lock; the walk
    // then asks a copy, so that other clients wait only for the copying.
    std::optional<Station> copy;
    {
        std::lock_guard<std::mutex> lock(served.mutex);
        const Station& station = served.station;
        for (const Fault& fault : station.Faults().Listed()) {
            const wire::CallInfo* call = nullptr;
            for (const wire::CallInfo& info : wire::kCalls) {
                if (fault.call == info.name) {
                    call = &info;
                }
            }
            if (call == nullptr || !wire::IsSnapshotCall(Code(call->code))) {
                continue;
            }
            if (fault.after > 0) {
                return Refuse(header, wire::kResultCallNotServed, frames);
            }
            answer.AddFault(Code(call->code), fault);
        }
        copy.emplace(station.CurrentConfiguration());
    }
    copy->ClientLogonEx(0, 0, u"kestrod", 1, 1, 1, 0, 0, 0);
    ScopedThreadStation current(*copy);
    StationWalk(table, *copy, answer).Run();
    if (answer.Finish(frames) != WireError::kNone) {
        Refuse(header, wire::kResultAnswerTooLarge, frames);
    }
}

}  // namespace kestro::server
