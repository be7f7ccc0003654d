// A fresh folder for one test's files, removed with everything in it when the test ends.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <random>
#endif

namespace test_support {

// Creates a folder of a name no other test uses, in GoogleTest's temporary folder, and returns
// its path; "" when it cannot.
inline std::string MakeUniqueFolder(const std::string& prefix) {
#ifdef _WIN32
    // Windows has no mkdtemp: a random name, taken only when creating it makes it (a folder
    // that already exists is never reused).
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::filesystem::path path =
            std::filesystem::path(::testing::TempDir()) / (prefix + "_" + std::to_string(random()));
        std::error_code error;
        if (std::filesystem::create_directory(path, error)) {
            return path.string();
        }
    }
    return "";
#else
    std::string pattern = ::testing::TempDir() + prefix + "_XXXXXX";
    return mkdtemp(pattern.data()) != nullptr ? pattern : "";
#endif
}

class TempFolder {
  public:
    explicit TempFolder(const std::string& prefix = "forecourt") : path_(MakeUniqueFolder(prefix)) {
        EXPECT_FALSE(path_.empty()) << "cannot create a folder for " << prefix;
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    // The path of `name` inside the folder.
    std::string File(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

}  // namespace test_support
