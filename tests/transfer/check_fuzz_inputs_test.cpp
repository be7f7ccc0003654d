// Replays the CHECK fuzz target's seeds and every crash input it found (kept in tests/fuzz/)
// through the target's own checks, in every build, with or without clang.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "tests/fuzz/check_file_check.h"

namespace {

TEST(CheckFuzzInputs, EveryKeptInputPassesTheFuzzChecks) {
    const std::filesystem::path fuzz = std::filesystem::path(FORECOURT_TEST_DATA) / ".." / "fuzz";
    int replayed = 0;
    for (const char* folder : {"check_seeds", "check_regressions"}) {
        if (!std::filesystem::is_directory(fuzz / folder)) {
            continue;
        }
        for (const auto& entry : std::filesystem::directory_iterator(fuzz / folder)) {
            std::ifstream in(entry.path(), std::ios::binary);
            const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                                  std::istreambuf_iterator<char>()};
            EXPECT_EQ(check_fuzz::CheckConfigurationFile(bytes), "") << entry.path();
            ++replayed;
        }
    }
    EXPECT_GE(replayed, 4);  // the seeds at least
}

}  // namespace
