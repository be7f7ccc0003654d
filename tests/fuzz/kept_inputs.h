// Replays the inputs kept for a fuzz target, its seeds (tests/fuzz/<name>_seeds/) and the
// crash inputs it found (tests/fuzz/<name>_regressions/), through the target's check, so that
// a mended fault stays mended in every build, with or without clang.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <vector>

namespace fuzz_input {

inline std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Every kept input of target `name`, seeds first, in name order.
inline std::vector<std::filesystem::path> KeptInputs(const std::string& name) {
    const std::filesystem::path fuzz = std::filesystem::path(FORECOURT_TEST_DATA) / ".." / "fuzz";
    std::vector<std::filesystem::path> inputs;
    for (const char* kind : {"_seeds", "_regressions"}) {
        const std::filesystem::path folder = fuzz / (name + kind);
        if (!std::filesystem::is_directory(folder)) {
            continue;
        }
        std::vector<std::filesystem::path> files;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            files.push_back(entry.path());
        }
        std::sort(files.begin(), files.end());
        inputs.insert(inputs.end(), files.begin(), files.end());
    }
    return inputs;
}

// Runs `check` over every kept input of `name`; each must pass. Returns how many ran.
template <class Check>
int ReplayKeptInputs(const std::string& name, Check check) {
    int replayed = 0;
    for (const std::filesystem::path& path : KeptInputs(name)) {
        const std::vector<std::uint8_t> bytes = ReadBytes(path);
        EXPECT_EQ(check(std::span<const std::uint8_t>(bytes)), "") << path;
        ++replayed;
    }
    return replayed;
}

}  // namespace fuzz_input
