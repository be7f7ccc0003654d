// Replays the CHECK fuzz target's seeds and every crash input it found (kept in tests/fuzz/)
// through the target's own checks, in every build, with or without clang.
#include <gtest/gtest.h>

#include "tests/fuzz/check_file_check.h"
#include "tests/fuzz/kept_inputs.h"

namespace {

TEST(CheckFuzzInputs, EveryKeptInputPassesTheFuzzChecks) {
    EXPECT_GE(fuzz_input::ReplayKeptInputs("check_file", check_fuzz::CheckConfigurationFile), 4);
}

}  // namespace
