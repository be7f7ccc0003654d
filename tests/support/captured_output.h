// Captures what the code under test prints on standard output, so that tests can compare
// console text byte for byte. File descriptor 1 is pointed at a temporary file while the
// action runs, which catches printf, puts and direct writes alike.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

namespace test_support {

// Runs `action` with standard output redirected and returns every byte it printed.
// Standard output is restored even when `action` throws.
inline std::string CaptureStdout(const std::function<void()>& action) {
    std::fflush(stdout);
    struct Close {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::unique_ptr<std::FILE, Close> sink(std::tmpfile());
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
        ~Restore() {
            std::fflush(stdout);
            dup2(saved, STDOUT_FILENO);
            close(saved);
        }
    };
    {
        Restore restore{saved};
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
