// Runs a piece of a test as an ordinary user: permissions do not bind the superuser, so a test
// of a read-only file that runs as root does its part in a child process that has become the
// unprivileged user "nobody" (65534). Run by an ordinary user, the child keeps that identity.
#pragma once

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>

namespace test_support {

constexpr uid_t kUnprivilegedId = 65534;

// Hands `path` to the user that RunUnprivileged runs as (only when running as root), so that
// it owns the file as a non-root owner would.
inline void GiveToUnprivilegedUser(const std::filesystem::path& path) {
    if (geteuid() == 0) {
        (void)!chown(path.c_str(), kUnprivilegedId, kUnprivilegedId);
    }
}

// Opens `folder` to every user, so that the child can create files in it.
inline void OpenFolderToEveryone(const std::filesystem::path& folder) {
    std::filesystem::permissions(folder, std::filesystem::perms::all);
}

// Runs `action` in a child process (as "nobody" when the tests run as root) and returns its
// result's low byte as the child's exit status, or -1 when the child did not exit normally or
// could not change its identity. Standard output is shared with the parent.
inline int RunUnprivileged(const std::function<int()>& action) {
    std::fflush(stdout);
    const pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(kUnprivilegedId) != 0 ||
                               setuid(kUnprivilegedId) != 0)) {
            _exit(254);
        }
        const int result = action();
        std::fflush(stdout);
        _exit(result & 0xFF);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) == 254) {
        return -1;
    }
    return WEXITSTATUS(status);
}

}  // namespace test_support
