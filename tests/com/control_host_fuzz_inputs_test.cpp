// Replays the inputs kept for the control_host fuzz target (its seeds and the crash inputs it
// found) through the fuzz target's checks.
#include <gtest/gtest.h>

#include "tests/fuzz/control_host_check.h"
#include "tests/fuzz/kept_inputs.h"

namespace {

TEST(ControlHostFuzzInputs, EveryKeptInputPassesTheFuzzChecks) {
    EXPECT_GE(
        fuzz_input::ReplayKeptInputs("control_host", control_host_fuzz::CheckControlHostScript), 3);
}

}  // namespace
