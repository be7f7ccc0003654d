// Replays the wire fuzz target's seed inputs and every crash input it found (kept as files in
// tests/fuzz/) through the same checks, so that a mended fault stays mended in every build,
// with or without clang.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/fuzz/wire_frame_check.h"

namespace {

std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(WireFuzzInputs, EveryKeptInputPassesTheFuzzChecks) {
    const std::filesystem::path fuzz = std::filesystem::path(FORECOURT_TEST_DATA) / ".." / "fuzz";
    int replayed = 0;
    for (const char* folder : {"wire_frame_seeds", "wire_frame_regressions"}) {
        if (!std::filesystem::is_directory(fuzz / folder)) {
            continue;
        }
        for (const auto& entry : std::filesystem::directory_iterator(fuzz / folder)) {
            std::vector<std::uint8_t> bytes = ReadFile(entry.path());
            EXPECT_EQ(wire_fuzz::CheckWireFrame(bytes), "") << entry.path();
            ++replayed;
        }
    }
    EXPECT_GE(replayed, 8);  // the seeds at least
}

TEST(WireFuzzInputs, TheSeedsAreWellFormedFrames) {
    // Seeds that the decoder refuses would leave the fuzzer to find the format by chance.
    const std::filesystem::path seeds =
        std::filesystem::path(FORECOURT_TEST_DATA) / ".." / "fuzz" / "wire_frame_seeds";
    for (const auto& entry : std::filesystem::directory_iterator(seeds)) {
        std::vector<std::uint8_t> bytes = ReadFile(entry.path());
        kestro::wire::FrameReader reader;
        EXPECT_EQ(reader.Open(bytes), kestro::wire::WireError::kNone) << entry.path();
    }
}

}  // namespace
