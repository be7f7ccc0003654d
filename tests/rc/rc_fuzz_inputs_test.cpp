// Replays the inputs kept for the resource compiler's fuzz target (its seeds and the crash
// inputs it found) through the fuzz target's checks.
#include <gtest/gtest.h>

#include "tests/fuzz/kept_inputs.h"
#include "tests/fuzz/rc_script_check.h"

namespace {

TEST(RcFuzzInputs, EveryKeptInputPassesTheFuzzChecks) {
    EXPECT_GE(fuzz_input::ReplayKeptInputs("rc_script", rc_fuzz::CheckResourceScript), 6);
}

}  // namespace
