// The record of one call made to the station: its name and the values passed in, in order.
// The station keeps every call it receives so that tests can check what a client asked for,
// with which values and in which order.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <variant>
#include <vector>

#include "platform/win_types.h"

namespace kestro {

// A value passed in, with the type it had in the call: the flat interface's 16-, 32- and
// 64-bit integers, doubles and texts. A BSTR is kept as its units (embedded zeros included);
// a null BSTR is kept as the empty text, which is what null means for a BSTR.
// Out-pointers are not recorded: the values list holds only what the client sent.
using CallValue = std::variant<std::int16_t, std::int32_t, std::int64_t, double, WideString>;

struct RecordedCall {
    std::string name;
    std::vector<CallValue> values;

    bool operator==(const RecordedCall&) const = default;
};

// Readable form of a call for failure messages and traces, e.g.
// `ClientLogonEx(110, 5, u"127.0.0.1", 5123, 5124, 10000, 0, 0, 1024)`; 16-bit values are
// written `(short)5`, 64-bit ones `5LL`, units outside printable ASCII `\x{20ac}`.
std::string Describe(const RecordedCall& call);

// Lets GoogleTest print recorded calls in failure messages.
std::ostream& operator<<(std::ostream& out, const RecordedCall& call);

}  // namespace kestro
