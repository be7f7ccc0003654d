// The check fuzz_dialog_template runs on every input; see gdi_readers_check.h.
#pragma once

#include <span>

#include "tests/fuzz/gdi_readers_check.h"

namespace gdi_fuzz {

inline std::string CheckDialogInput(std::span<const std::uint8_t> bytes) {
    return CheckDialogBytes(bytes.data(), bytes.size());
}

}  // namespace gdi_fuzz
