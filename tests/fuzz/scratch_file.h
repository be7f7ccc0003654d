// A scratch file per process for the fuzz checks that need a file on disk: in /dev/shm when
// the machine has it (no disk writes at fuzzing speed), else in the temporary folder; removed
// when the process ends. It stays open from creation to removal, so that giving it the next
// input costs two system calls (truncate, write) and no open, close or sync: at fuzzing
// speed, system calls are what a check spends its time on.
#pragma once

#include <fcntl.h>

#ifdef _WIN32
#include <io.h>
#include <process.h>
#include <sys/stat.h>
#else
#include <unistd.h>
#endif

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <span>
#include <string>

namespace fuzz_input {

class ScratchFile {
  public:
    explicit ScratchFile(const std::string& name) {
        const std::filesystem::path folder = std::filesystem::is_directory("/dev/shm")
                                                 ? std::filesystem::path("/dev/shm")
                                                 : std::filesystem::temp_directory_path();
#ifdef _WIN32
        path_ = (folder / ("forecourt-fuzz-" + std::to_string(_getpid()) + "-" + name)).string();
        fd_ = _open(path_.c_str(), _O_RDWR | _O_CREAT | _O_TRUNC | _O_BINARY | _O_NOINHERIT,
                    _S_IREAD | _S_IWRITE);
#else
        path_ = (folder / ("forecourt-fuzz-" + std::to_string(getpid()) + "-" + name)).string();
        fd_ = open(path_.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
#endif
    }
    ~ScratchFile() {
        if (fd_ >= 0) {
#ifdef _WIN32
            _close(fd_);
#else
            close(fd_);
#endif
        }
        std::remove(path_.c_str());  // after the close: Windows removes no open file
    }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    // Replaces the file's content by `bytes`. False when it cannot be written.
    bool Write(std::span<const char> bytes) const {
#ifdef _WIN32
        // No pwrite on Windows: the file is emptied and written from its start.
        if (fd_ < 0 || _chsize_s(fd_, 0) != 0 || _lseeki64(fd_, 0, SEEK_SET) != 0) {
            return false;
        }
        for (std::size_t done = 0; done < bytes.size();) {
            const int count =
                _write(fd_, bytes.data() + done,
                       static_cast<unsigned>(std::min<std::size_t>(bytes.size() - done, 1U << 30)));
            if (count <= 0) {
                return false;
            }
            done += static_cast<std::size_t>(count);
        }
        return true;
#else
        if (fd_ < 0 || ftruncate(fd_, 0) != 0) {
            return false;
        }
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t count =
                pwrite(fd_, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
            if (count <= 0) {
                return false;
            }
            done += static_cast<std::size_t>(count);
        }
        return true;
#endif
    }

    const char* Path() const {
        return path_.c_str();
    }

  private:
    std::string path_;
    int fd_ = -1;
};

}  // namespace fuzz_input
