// Replays the inputs kept for the registry fuzz target (its seeds and the crash inputs it
// found) through the fuzz target's checks.
#include <gtest/gtest.h>

#include "tests/fuzz/kept_inputs.h"
#include "tests/fuzz/registry_check.h"

namespace {

TEST(RegistryFuzzInputs, EveryKeptInputPassesTheFuzzChecks) {
    EXPECT_GE(fuzz_input::ReplayKeptInputs("registry", registry_fuzz::CheckRegistryText), 3);
}

}  // namespace
