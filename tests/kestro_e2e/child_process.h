// Programs started by end-to-end tests: a child process with its standard output and error
// in files, waited for with a bound, and killed and reaped if a test leaves it running.
#pragma once

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>
#include <chrono>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace e2e {

using Clock = std::chrono::steady_clock;

inline std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

class ChildProcess {
  public:
    // Starts `arguments` (the program first) in `folder`, with standard output and error
    // written to `outPath` and `errPath`. started() tells whether it worked.
    ChildProcess(const std::vector<std::string>& arguments, const std::string& folder,
                 std::string outPath, std::string errPath)
        : outPath_(std::move(outPath)), errPath_(std::move(errPath)) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outPath_.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath_.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
        std::vector<char*> argv;
        for (const std::string& argument : arguments) {
            argv.push_back(const_cast<char*>(argument.c_str()));
        }
        argv.push_back(nullptr);
        int rc = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        EXPECT_EQ(rc, 0) << "cannot start " << arguments[0];
        if (rc != 0) {
            pid_ = -1;
        }
    }
    ~ChildProcess() {
        if (running()) {
            Signal(SIGKILL);
            Wait(std::chrono::seconds(10));
        }
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return pid_ > 0; }
    bool running() const { return started() && !status_; }
    pid_t pid() const { return pid_; }

    void Signal(int signal) {
        if (running()) {
            kill(pid_, signal);
        }
    }

    // Waits up to `limit` for the process to end; its wait status, or none if it still runs.
    std::optional<int> Wait(Clock::duration limit) {
        const auto deadline = Clock::now() + limit;
        while (running()) {
            int status = 0;
            pid_t done = waitpid(pid_, &status, WNOHANG);
            if (done == pid_) {
                status_ = status;
            } else if (Clock::now() >= deadline) {
                break;
            } else {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        }
        return status_;
    }

    // The exit code once ended normally; -1 while running or after a signal.
    int exitCode() const { return status_ && WIFEXITED(*status_) ? WEXITSTATUS(*status_) : -1; }

    std::string Output() const { return ReadFile(outPath_); }
    std::string Errors() const { return ReadFile(errPath_); }

  private:
    std::string outPath_;
    std::string errPath_;
    pid_t pid_ = -1;
    std::optional<int> status_;
};

// Waits up to `limit` for `condition`, looking every 10 ms; true when it came.
template <typename Condition>
bool WaitUntil(Condition condition, Clock::duration limit) {
    const auto deadline = Clock::now() + limit;
    while (!condition()) {
        if (Clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

}  // namespace e2e
