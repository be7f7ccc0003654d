// Lets GoogleTest print the wire layer's enums by name in failure messages.
#pragma once

#include <ostream>

#include "kestro/wire/frame.h"
#include "kestro/wire/socket_io.h"

namespace kestro::wire {

inline void PrintTo(WireError error, std::ostream* out) {
    *out << WireErrorText(error);
}

inline void PrintTo(IoStatus status, std::ostream* out) {
    *out << DescribeIo(IoResult{status, WireError::kNone, 0});
}

}  // namespace kestro::wire
