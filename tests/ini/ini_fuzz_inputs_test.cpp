// Replays the inputs kept for the ini_document fuzz target (its seeds and the crash inputs it
// found) through the fuzz target's checks.
#include <gtest/gtest.h>

#include "tests/fuzz/ini_document_check.h"
#include "tests/fuzz/kept_inputs.h"

namespace {

TEST(IniFuzzInputs, EveryKeptInputPassesTheFuzzChecks) {
    EXPECT_GE(fuzz_input::ReplayKeptInputs("ini_document", ini_fuzz::CheckIniDocument), 4);
}

}  // namespace
