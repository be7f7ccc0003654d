// Helpers for the INI tests: a scratch directory per test, whole-file reads and writes, and
// the path of the shared test data.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "common/counter_string.h"

class IniFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = ::testing::TempDir() + "ini_test_XXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        directory_ = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(directory_); }

    std::string PathOf(const std::string& name) const { return (directory_ / name).string(); }

    std::string Write(const std::string& name, const std::string& bytes) const {
        const std::string path = PathOf(name);
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    static std::string DataFile(const std::string& name) {
        return Read(std::string(FORECOURT_TEST_DATA) + "/ini/" + name);
    }

    std::filesystem::path directory_;
};

inline std::string Narrow(CounterString text) {
    return text.Narrow();
}
