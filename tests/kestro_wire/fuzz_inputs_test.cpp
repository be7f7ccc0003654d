// Replays the wire fuzz target's seed inputs and every crash input it found (kept as files in
// tests/fuzz/) through the same checks, so that a mended fault stays mended in every build,
// with or without clang.
#include <gtest/gtest.h>

#include "tests/fuzz/kept_inputs.h"
#include "tests/fuzz/wire_frame_check.h"

namespace {

TEST(WireFuzzInputs, EveryKeptInputPassesTheFuzzChecks) {
    EXPECT_GE(fuzz_input::ReplayKeptInputs("wire_frame", wire_fuzz::CheckWireFrame), 8);
}

TEST(WireFuzzInputs, TheSeedsAreWellFormedFrames) {
    // Seeds that the decoder refuses would leave the fuzzer to find the format by chance.
    for (const auto& path : fuzz_input::KeptInputs("wire_frame")) {
        if (path.parent_path().filename() != "wire_frame_seeds") {
            continue;
        }
        const std::vector<std::uint8_t> bytes = fuzz_input::ReadBytes(path);
        kestro::wire::FrameReader reader;
        EXPECT_EQ(reader.Open(bytes), kestro::wire::WireError::kNone) << path;
    }
}

}  // namespace
