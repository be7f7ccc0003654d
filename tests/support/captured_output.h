// Captures what the code under test prints on standard output, so that tests can compare
// console text byte for byte. File descriptor 1 is pointed at a temporary file while the
// action runs, which catches printf, puts and direct writes alike.
// On Windows the descriptor is put in binary mode while the action runs, so that the capture
// holds the bytes the code printed, not the CR LF that the C runtime writes to a console for LF.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <filesystem>
#include <random>
#endif

namespace test_support {

// A new empty file for the capture, read and written in binary, removed when closed.
inline std::FILE* CaptureFile() {
#ifdef _WIN32
    // Windows' tmpfile makes its file in the root folder of the drive, which an ordinary user
    // may not write: this one is made new (never an existing file) in the user's temporary
    // folder, and deleted when closed.
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::filesystem::path path =
            std::filesystem::temp_directory_path() / ("capture_" + std::to_string(random()));
        const int fd = _open(path.string().c_str(),
                             _O_RDWR | _O_CREAT | _O_EXCL | _O_TEMPORARY | _O_BINARY | _O_NOINHERIT,
                             _S_IREAD | _S_IWRITE);
        if (fd >= 0) {
            std::FILE* file = _fdopen(fd, "w+b");
            if (file == nullptr) {
                _close(fd);
            }
            return file;
        }
    }
    return nullptr;
#else
    return std::tmpfile();
#endif
}

// Runs `action` with standard output redirected and returns every byte it printed.
// Standard output is restored even when `action` throws.
inline std::string CaptureStdout(const std::function<void()>& action) {
    std::fflush(stdout);
    struct Close {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::unique_ptr<std::FILE, Close> sink(CaptureFile());
    if (sink == nullptr) {
        throw std::runtime_error("CaptureStdout: cannot create a temporary file");
    }
    const int saved = dup(STDOUT_FILENO);
    if (saved < 0 || dup2(fileno(sink.get()), STDOUT_FILENO) < 0) {
        if (saved >= 0) {
            close(saved);
        }
        throw std::runtime_error("CaptureStdout: cannot redirect standard output");
    }
    struct Restore {
        int saved;
        int mode;
        ~Restore() {
            std::fflush(stdout);
#ifdef _WIN32
            _setmode(STDOUT_FILENO, mode);
#endif
            dup2(saved, STDOUT_FILENO);
            close(saved);
        }
    };
    {
#ifdef _WIN32
        Restore restore{saved, _setmode(STDOUT_FILENO, _O_BINARY)};
#else
        Restore restore{saved, 0};
#endif
        action();
    }
    std::string text;
    std::rewind(sink.get());
    char chunk[4096];
    for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, sink.get())) > 0;) {
        text.append(chunk, n);
    }
    return text;
}

}  // namespace test_support
