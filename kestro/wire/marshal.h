// Generic marshalling of the flat calls, derived at compile time from each call's function
// type (calls.h): value parameters travel in the request, in order; pointer parameters are
// out-values and travel in the response, in order, when the result is 0. The client side
// encodes requests and applies responses; the server side runs an implementation of the
// call between the two.
//
// Parameter forms: std::int16_t, std::int32_t, std::int64_t and double travel as the value
// of that width; BSTR as a string (a null BSTR as the null string); std::int16_t*,
// std::int32_t*, std::int64_t*, double* and BSTR* are the matching out-values. Any other
// parameter type does not compile.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "kestro/wire/calls.h"
#include "kestro/wire/frame.h"
#include "platform/bstr.h"

namespace kestro::wire {

// What became of one request on the server side.
enum class DispatchOutcome {
    kServed,            // the implementation ran; the response carries its answer
    kMalformedRequest,  // the values do not fit the call: answered kResultMalformedRequest
    kCallNotServed,     // unknown call code or no implementation: answered kResultCallNotServed
    kAnswerTooLarge,    // the implementation ran, its out-values broke a bound: answered
                        // kResultAnswerTooLarge
    kMalformedFrame,    // not a well-formed request frame: no answer, close the connection
};

struct DispatchResult {
    DispatchOutcome outcome = DispatchOutcome::kServed;
    WireError error = WireError::kNone;  // the detail when the outcome is not kServed
};

// A response to the request with `call` and `sequence` that carries `result` and no values.
std::vector<std::uint8_t> EncodeBareResponse(std::uint16_t call, std::uint32_t sequence,
                                             std::int32_t result);

namespace marshal_detail {

// How a parameter type travels: kOut, the slot that holds its value on this side, and how
// the slot becomes the argument of an implementation.
template <typename P>
struct Param;

template <typename Value>
struct ScalarIn {
    static constexpr bool kOut = false;
    using Slot = Value;
    static Value Argument(Slot& slot) { return slot; }
};

template <typename Value>
struct ScalarOut {
    static constexpr bool kOut = true;
    using Slot = Value;
    static Value* Argument(Slot& slot) { return &slot; }
    static void Commit(Slot& slot, Value* out) { *out = slot; }
};

template <>
struct Param<std::int16_t> : ScalarIn<std::int16_t> {};
template <>
struct Param<std::int32_t> : ScalarIn<std::int32_t> {};
template <>
struct Param<std::int64_t> : ScalarIn<std::int64_t> {};
template <>
struct Param<double> : ScalarIn<double> {};
template <>
struct Param<std::int16_t*> : ScalarOut<std::int16_t> {};
template <>
struct Param<std::int32_t*> : ScalarOut<std::int32_t> {};
template <>
struct Param<std::int64_t*> : ScalarOut<std::int64_t> {};
template <>
struct Param<double*> : ScalarOut<double> {};

template <>
struct Param<BSTR> {
    static constexpr bool kOut = false;
    using Slot = Bstr;
    static BSTR Argument(Slot& slot) { return slot.Get(); }
};

template <>
struct Param<BSTR*> {
    static constexpr bool kOut = true;
    using Slot = Bstr;
    static BSTR* Argument(Slot& slot) { return slot.Out(); }
    static void Commit(Slot& slot, BSTR* out) { *out = slot.Detach(); }
};

inline void Put(FrameWriter& writer, std::int16_t value) {
    writer.AddInt16(value);
}
inline void Put(FrameWriter& writer, std::int32_t value) {
    writer.AddInt32(value);
}
inline void Put(FrameWriter& writer, std::int64_t value) {
    writer.AddInt64(value);
}
inline void Put(FrameWriter& writer, double value) {
    writer.AddDouble(value);
}
void Put(FrameWriter& writer, BSTR text);
inline void Put(FrameWriter& writer, const Bstr& text) {
    Put(writer, text.Get());
}

inline WireError Get(FrameReader& reader, std::int16_t& value) {
    return reader.ReadInt16(value);
}
inline WireError Get(FrameReader& reader, std::int32_t& value) {
    return reader.ReadInt32(value);
}
inline WireError Get(FrameReader& reader, std::int64_t& value) {
    return reader.ReadInt64(value);
}
inline WireError Get(FrameReader& reader, double& value) {
    return reader.ReadDouble(value);
}
// Reads a string into `text` (the null string as null). kOutOfMemory when the copy cannot be
// allocated (`text` is then null).
WireError Get(FrameReader& reader, Bstr& text);

}  // namespace marshal_detail

// The marshalling of the call `code`. Its members take the call's parameters exactly as
// client/kestro.h declares them.
template <CallCode code, typename Function = CallFunction<code>>
struct Marshal;

template <CallCode code, typename... P>
struct Marshal<code, std::int32_t(P...)> {
    using Function = std::int32_t(P...);

    // Client side: builds the request with sequence number `sequence` from the in-values
    // among `params` (out-pointers are not read). kStringTooLong when an in-string exceeds
    // kMaxStringUnits; `frame` is written only on success.
    static WireError EncodeRequest(std::uint32_t sequence, std::vector<std::uint8_t>& frame,
                                   P... params) {
        FrameWriter writer(FrameKind::kRequest, static_cast<std::uint16_t>(code), sequence);
        (PutIn<P>(writer, params), ...);
        return writer.Finish(frame);
    }

    // Client side: true when every out-pointer among `params` is non-null.
    static bool OutPointersSet(P... params) { return (OutPointerSet<P>(params) && ...); }

    // Client side: checks that `frame` is a well-formed response to this call's request
    // `sequence`, sets `result` to its result code and, only when that is 0, fills the
    // out-values among `params` (a null out-pointer's value is dropped). A BSTR handed out
    // is new and belongs to the caller; the null string gives a null BSTR. On an error
    // nothing is written, neither `result` nor any out-value, and nothing is leaked. A
    // failing result with values, or a success with other values than the call's outs, is
    // an error.
    static WireError DecodeResponse(std::span<const std::uint8_t> frame, std::uint32_t sequence,
                                    std::int32_t& result, P... params) {
        FrameReader reader;
        WireError error = reader.Open(frame);
        if (error != WireError::kNone) {
            return error;
        }
        const FrameHeader& header = reader.header();
        if (header.kind != FrameKind::kResponse ||
            header.call != static_cast<std::uint16_t>(code) || header.sequence != sequence) {
            return WireError::kUnexpectedFrame;
        }
        Slots slots;
        if (header.result == 0) {
            error = GetEach<true>(reader, slots, Indices{});
        }
        if (error == WireError::kNone && reader.remaining() != 0) {
            error = WireError::kValuesLeftOver;
        }
        if (error != WireError::kNone) {
            return error;
        }
        if (header.result == 0) {
            CommitEach(slots, Indices{}, params...);
        }
        result = header.result;
        return WireError::kNone;
    }

    // Server side: decodes the in-values of `request` (opened, positioned at its first
    // value), calls `implementation` with them and with fresh out-slots (0, 0.0, null BSTR),
    // and writes the response into `response`: the result code, and the out-values when it
    // is 0. Every BSTR made for or handed out by the implementation is freed here. Values
    // that do not fit the call are answered with kResultMalformedRequest and the
    // implementation is not called.
    static DispatchResult Serve(FrameReader& request, Function* implementation,
                                std::vector<std::uint8_t>& response) {
        const FrameHeader& header = request.header();
        Slots slots;
        WireError error = GetEach<false>(request, slots, Indices{});
        if (error == WireError::kNone && request.remaining() != 0) {
            error = WireError::kValuesLeftOver;
        }
        if (error != WireError::kNone) {
            response = EncodeBareResponse(header.call, header.sequence, kResultMalformedRequest);
            return {DispatchOutcome::kMalformedRequest, error};
        }
        std::int32_t result = Invoke(implementation, slots, Indices{});
        FrameWriter writer(FrameKind::kResponse, header.call, header.sequence, result);
        if (result == 0) {
            PutEachOut(writer, slots, Indices{});
        }
        error = writer.Finish(response);
        if (error != WireError::kNone) {
            response = EncodeBareResponse(header.call, header.sequence, kResultAnswerTooLarge);
            return {DispatchOutcome::kAnswerTooLarge, error};
        }
        return {};
    }

  private:
    using Slots = std::tuple<typename marshal_detail::Param<P>::Slot...>;
    using Indices = std::index_sequence_for<P...>;

    template <typename Q>
    static void PutIn(FrameWriter& writer, [[maybe_unused]] Q param) {
        if constexpr (!marshal_detail::Param<Q>::kOut) {
            marshal_detail::Put(writer, param);
        }
    }

    template <typename Q>
    static bool OutPointerSet([[maybe_unused]] Q param) {
        if constexpr (marshal_detail::Param<Q>::kOut) {
            return param != nullptr;
        } else {
            return true;
        }
    }

    // Reads, in parameter order, the slots of the outs (kOuts) or of the ins; stops at the
    // first error.
    template <bool kOuts, std::size_t... I>
    static WireError GetEach([[maybe_unused]] FrameReader& reader, [[maybe_unused]] Slots& slots,
                             std::index_sequence<I...>) {
        WireError error = WireError::kNone;
        (GetOne<kOuts, P>(reader, std::get<I>(slots), error), ...);
        return error;
    }

    template <bool kOuts, typename Q, typename Slot>
    static void GetOne(FrameReader& reader, Slot& slot, WireError& error) {
        if constexpr (marshal_detail::Param<Q>::kOut == kOuts) {
            if (error == WireError::kNone) {
                error = marshal_detail::Get(reader, slot);
            }
        }
    }

    template <std::size_t... I>
    static void PutEachOut([[maybe_unused]] FrameWriter& writer, [[maybe_unused]] Slots& slots,
                           std::index_sequence<I...>) {
        (PutOut<P>(writer, std::get<I>(slots)), ...);
    }

    template <typename Q, typename Slot>
    static void PutOut([[maybe_unused]] FrameWriter& writer, [[maybe_unused]] const Slot& slot) {
        if constexpr (marshal_detail::Param<Q>::kOut) {
            marshal_detail::Put(writer, slot);
        }
    }

    template <std::size_t... I>
    static std::int32_t Invoke(Function* implementation, [[maybe_unused]] Slots& slots,
                               std::index_sequence<I...>) {
        return implementation(marshal_detail::Param<P>::Argument(std::get<I>(slots))...);
    }

    template <typename Q, typename Slot>
    static void CommitOne(Slot& slot, [[maybe_unused]] Q param) {
        if constexpr (marshal_detail::Param<Q>::kOut) {
            if (param != nullptr) {
                marshal_detail::Param<Q>::Commit(slot, param);
            }
        }
    }

    template <std::size_t... I>
    static void CommitEach([[maybe_unused]] Slots& slots, std::index_sequence<I...>, P... params) {
        (CommitOne<P>(std::get<I>(slots), params), ...);
    }
};

}  // namespace kestro::wire
