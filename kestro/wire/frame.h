// The Kestro wire protocol: the one description of the frames that libkestro and kestrod
// exchange, with the encoder (FrameWriter) and the checking decoder (FrameReader).
//
// A frame is a fixed 24-byte header followed by a payload of typed values. Every integer is
// little-endian with the width given; there is no padding anywhere.
//
//   offset  size  field
//        0     4  magic: the bytes 'K' 'S' 'T' 'R'
//        4     2  protocol version, kProtocolVersion (a peer refuses any other)
//        6     1  kind: 1 request, 2 response, 3 event
//        7     1  reserved, always 0
//        8     2  call code (calls.h); an event's code in an event
//       10     2  number of values in the payload, at most kMaxValueCount
//       12     4  sequence number: a request's, echoed by its response
//       16     4  result code (signed) of a response; 0 in requests and events
//       20     4  payload length in bytes; header plus payload at most kMaxFrameBytes
//       24     -  payload: the values, one after another
//
// A value is a one-byte tag followed by its body:
//
//   tag  value         body
//     1  16-bit int    2 bytes, two's complement
//     2  32-bit int    4 bytes, two's complement
//     3  64-bit int    8 bytes, two's complement
//     4  double        8 bytes, the IEEE 754 binary64 bit pattern (NaN payloads kept)
//     5  string        4-byte unit count n (at most kMaxStringUnits), then n UTF-16 code
//                      units of 2 bytes each; no terminator, any unit allowed (zero too)
//     6  null string   no body; distinct from the empty string (tag 5 with n = 0)
//
// A request carries a call's in-values in the order of its parameters; the response
// carries the call's result code and, only when it is 0, the out-values in the order of
// their parameters (see marshal.h). A frame is well-formed when its header is valid and its
// payload holds exactly the announced number of values, each complete, with no byte left
// over. A peer that receives a malformed frame cannot trust anything after it on that
// stream, so it closes the connection.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win_types.h"

namespace kestro::wire {

inline constexpr std::uint8_t kMagic[4] = {'K', 'S', 'T', 'R'};
inline constexpr std::uint16_t kProtocolVersion = 1;
inline constexpr std::size_t kHeaderBytes = 24;
inline constexpr std::size_t kMaxFrameBytes = 1024 * 1024;
inline constexpr std::size_t kMaxValueCount = 256;
inline constexpr std::size_t kMaxStringUnits = 65535;

// Result codes that the protocol itself answers with, beside the ones of the station. They
// lie apart from the station's small codes so that the two never meet.
inline constexpr std::int32_t kResultMalformedRequest = 100;  // values do not fit the call
inline constexpr std::int32_t kResultCallNotServed = 101;     // unknown call, none serves it
inline constexpr std::int32_t kResultAnswerTooLarge = 102;    // out-values exceed the bounds

enum class FrameKind : std::uint8_t { kRequest = 1, kResponse = 2, kEvent = 3 };

enum class ValueTag : std::uint8_t {
    kInt16 = 1,
    kInt32 = 2,
    kInt64 = 3,
    kDouble = 4,
    kString = 5,
    kNullString = 6,
};

// Why a frame could not be written, read or matched to a call. Every decoding step answers
// one of these instead of reading past its buffer.
enum class WireError {
    kNone,
    kTruncated,           // the buffer ends before the header or the payload it announces
    kTrailingBytes,       // the buffer goes on after the payload it announces
    kBadMagic,            // the first four bytes are not "KSTR"
    kBadVersion,          // another protocol version
    kBadKind,             // a kind other than request, response or event
    kBadReserved,         // the reserved header byte is not 0
    kFrameTooLarge,       // header plus payload above kMaxFrameBytes
    kTooManyValues,       // more than kMaxValueCount values
    kBadTag,              // a value tag outside 1..6
    kStringTooLong,       // a string above kMaxStringUnits units
    kValueOverrun,        // a value runs past the end of the payload
    kValueCountMismatch,  // the payload holds more or fewer values than the header says
    kTypeMismatch,        // the next value is not of the type asked for
    kNoMoreValues,        // a value was asked for after the last one
    kValuesLeftOver,      // a call's values were read and more remain
    kUnexpectedFrame,     // wrong kind, call code or sequence number for what was awaited
    kOutOfMemory,         // a string handed out could not be allocated
};

// A short English text for `error` ("bad magic", ...), for log lines.
const char* WireErrorText(WireError error);

struct FrameHeader {
    FrameKind kind = FrameKind::kRequest;
    std::uint16_t call = 0;
    std::uint32_t sequence = 0;
    std::int32_t result = 0;
    std::uint16_t valueCount = 0;
    std::uint32_t payloadLength = 0;
};

// Reads and checks the header at the start of `bytes` (at least kHeaderBytes of them): the
// magic, version, kind, reserved byte and the bounds of the value count and the payload
// length. Lets a reader refuse an oversized frame before it receives the payload.
// `header` is written only on success.
WireError DecodeHeader(std::span<const std::uint8_t> bytes, FrameHeader& header);

// Builds one frame. The Add calls append values in order; a value that would break a bound
// makes the writer fail (the error sticks, later values are ignored) and Finish report it.
class FrameWriter {
  public:
    FrameWriter(FrameKind kind, std::uint16_t call, std::uint32_t sequence,
                std::int32_t result = 0);

    void AddInt16(std::int16_t value);
    void AddInt32(std::int32_t value);
    void AddInt64(std::int64_t value);
    void AddDouble(double value);
    // A string of the units of `text`, embedded zeros included.
    void AddString(WideStringView text);
    void AddNullString();

    // The first error met so far, kNone while the frame is sound.
    WireError error() const { return error_; }

    // Completes the header and moves the whole frame into `frame`; on error `frame` is left
    // as it was. On success the writer starts over: same header, no values.
    WireError Finish(std::vector<std::uint8_t>& frame);

  private:
    bool Reserve(std::size_t valueBytes);

    std::vector<std::uint8_t> bytes_;
    std::size_t valueCount_ = 0;
    WireError error_ = WireError::kNone;
};

// Reads the values of one well-formed frame in order. The frame's bytes must outlive the
// reader, which keeps a view of them. A failed Read leaves its out-value untouched and does
// not advance.
class FrameReader {
  public:
    // Checks that `frame` is exactly one well-formed frame (header, every value, nothing
    // left over) and positions the reader at the first value. On error the reader holds no
    // frame and every Read answers kNoMoreValues.
    WireError Open(std::span<const std::uint8_t> frame);

    const FrameHeader& header() const { return header_; }
    // Values not yet read.
    std::size_t remaining() const { return remaining_; }
    // The tag of the next value; empty after the last one.
    std::optional<ValueTag> PeekTag() const;

    WireError ReadInt16(std::int16_t& value);
    WireError ReadInt32(std::int32_t& value);
    WireError ReadInt64(std::int64_t& value);
    WireError ReadDouble(double& value);
    // A string value or a null string, which gives an empty optional.
    WireError ReadString(std::optional<WideString>& text);

  private:
    // Checks that the next value carries `tag` and yields its body.
    WireError Take(ValueTag tag, std::size_t bodyBytes, const std::uint8_t*& body);

    FrameHeader header_;
    std::span<const std::uint8_t> payload_;
    std::size_t offset_ = 0;
    std::size_t remaining_ = 0;
};

}  // namespace kestro::wire
