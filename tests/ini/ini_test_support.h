// Helpers for the INI tests: a scratch directory per test, whole-file reads and writes, and
// the path of the shared test data.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "common/counter_string.h"
#include "tests/support/temp_folder.h"

// The whole content of the file at `path`.
inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class IniFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::string folder = test_support::MakeUniqueFolder("ini_test");
        ASSERT_FALSE(folder.empty());
        directory_ = folder;
    }
    void TearDown() override { std::filesystem::remove_all(directory_); }

    std::string PathOf(const std::string& name) const { return (directory_ / name).string(); }

    std::string Write(const std::string& name, const std::string& bytes) const {
        const std::string path = PathOf(name);
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    static std::string Read(const std::string& path) { return ReadBytes(path); }

    static std::string DataFile(const std::string& name) {
        return Read(std::string(FORECOURT_TEST_DATA) + "/ini/" + name);
    }

    std::filesystem::path directory_;
};

// Files with each oddity of the line syntax the reader knows, beside the data files
// "reader_cases.ini", "three_sections.ini" and "written_a_a_b_a.ini".
inline std::vector<std::string> OddFiles() {
    using namespace std::string_literals;
    const std::string bom = "\xEF\xBB\xBF";
    return {
        bom + "[Port01]\r\nNumber=1\r\n",
        bom + "  [Port01]\r\nNumber=2\r\n[Port01]\r\nNumber=9\r\n",
        "\r\n" + bom + "[Port01]\r\nNumber=4\r\n",
        "[A]\rKey=1\r[B]\rK=2\r",                               // CR ends no line
        "[S]\nUnix=1\r\nDos=2\r\nLast=3",                       // no line end at the end
        "Before=1\r\n[S]\r\nKey=a\0b\r\nNext=2\r\n[T\0]\r\n"s,  // NUL bytes inside lines
        "\r\n[a]b]\r\nKey=bracket\r\n[" + std::string(300, 'S') + "]\r\nKey=long\r\n",
        "[Long]\r\nPad=" + std::string(5000, 'p') + "Hidden=7\r\nAfter=8\r\n",
        "  [Open\r\nKey=1\r\n[S]   \r\n   Spaced   =   X  \r\n\r\n\r\n[S2]\r\nKey\r\n",
        "[Po\rrt01]\r\nName=never found\r\n[Po rt01]\r\nName=found\r\n",  // a CR in a name
        "",
    };
}

// The files a reader is tried on: OddFiles and the reader's data files.
inline std::vector<std::string> ReaderCaseFiles() {
    std::vector<std::string> files = OddFiles();
    for (const char* name : {"reader_cases.ini", "three_sections.ini", "written_a_a_b_a.ini"}) {
        files.push_back(ReadBytes(std::string(FORECOURT_TEST_DATA) + "/ini/" + name));
    }
    return files;
}

// The inputs kept for the fuzz targets that read INI files (seeds and crash inputs).
inline std::vector<std::string> KeptFuzzInputs() {
    const std::filesystem::path fuzz = std::filesystem::path(FORECOURT_TEST_DATA) / ".." / "fuzz";
    std::vector<std::string> inputs;
    for (const char* folder : {"ini_document_seeds", "ini_document_regressions", "check_file_seeds",
                               "check_file_regressions"}) {
        if (std::filesystem::is_directory(fuzz / folder)) {
            for (const auto& entry : std::filesystem::directory_iterator(fuzz / folder)) {
                inputs.push_back(ReadBytes(entry.path().string()));
            }
        }
    }
    return inputs;
}

inline std::string Narrow(CounterString text) {
    return text.Narrow();
}
