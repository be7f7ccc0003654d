// A scratch file per process for the fuzz checks that need a file on disk: in /dev/shm when
// the machine has it (no disk writes at fuzzing speed), else in the temporary folder; removed
// when the process ends.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace fuzz_input {

class ScratchFile {
  public:
    explicit ScratchFile(const std::string& name) {
        const std::filesystem::path folder = std::filesystem::is_directory("/dev/shm")
                                                 ? std::filesystem::path("/dev/shm")
                                                 : std::filesystem::temp_directory_path();
        path_ = (folder / ("forecourt-fuzz-" + std::to_string(getpid()) + "-" + name)).string();
    }
    ~ScratchFile() { std::remove(path_.c_str()); }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    // Replaces the file's content by `bytes`. False when it cannot be written.
    bool Write(const std::string& bytes) const {
        std::FILE* file = std::fopen(path_.c_str(), "wb");
        if (file == nullptr) {
            return false;
        }
        const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
        return std::fclose(file) == 0 && written;
    }

    const char* Path() const { return path_.c_str(); }

  private:
    std::string path_;
};

}  // namespace fuzz_input
