// Replays the inputs kept for the counter_string fuzz target (its seeds and the crash inputs
// it found) through the fuzz target's checks.
#include <gtest/gtest.h>

#include "tests/fuzz/counter_string_check.h"
#include "tests/fuzz/kept_inputs.h"

namespace {

TEST(CounterStringFuzzInputs, EveryKeptInputPassesTheFuzzChecks) {
    EXPECT_GE(
        fuzz_input::ReplayKeptInputs("counter_string", counter_string_fuzz::CheckCounterString), 4);
}

}  // namespace
