// Output of forecourt-rc: atomic replacement of regular files through AtomicFile, straight
// writes to everything else.
#include "tools/rc/rc_output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/atomic_file.h"

namespace rc {

namespace {

// Writes all of `text` to `fd`; false with errno set when a write fails.
bool WriteAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t wrote = write(fd, text.data() + done, text.size() - done);
        if (wrote < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<std::size_t>(wrote);
    }
    return true;
}

// True when `path` is a regular file holding exactly `text`. Only a file of the same size is
// read, and only through a descriptor tested to be a regular file.
bool HoldsText(const std::string& path, const std::string& text) {
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat status {};
    bool same = fstat(fd, &status) == 0 && S_ISREG(status.st_mode) &&
                static_cast<std::uint64_t>(status.st_size) == text.size();
    std::size_t offset = 0;
    char buffer[65536];
    while (same && offset < text.size()) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0 || static_cast<std::size_t>(got) > text.size() - offset ||
            std::memcmp(buffer, text.data() + offset, static_cast<std::size_t>(got)) != 0) {
            same = false;
        }
        offset += got > 0 ? static_cast<std::size_t>(got) : 0;
    }
    close(fd);
    return same;
}

std::string WriteThrough(const std::string& path, const std::string& text) {
    const int fd = open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return std::strerror(errno);
    const bool written = WriteAll(fd, text);
    const int error = errno;
    if (close(fd) != 0 && written)
        return std::strerror(errno);
    return written ? "" : std::strerror(error);
}

std::string ReplaceRegularFile(const std::string& path, const std::string& text) {
    AtomicFile file(path);
    if (!file.Create())
        return file.FailureText();
    if (!WriteAll(file.Descriptor(), text)) {
        const int error = errno;
        file.Discard();
        return std::strerror(error);
    }
    if (!file.Commit(static_cast<std::int64_t>(text.size()))) {
        const std::string why = file.FailureText();
        file.Discard();
        return why;
    }
    return "";
}

}  // namespace

std::string WriteOutput(const std::string& path, const std::string& text) {
    struct stat status {};
    if (stat(path.c_str(), &status) == 0) {
        if (S_ISDIR(status.st_mode))
            return std::strerror(EISDIR);
        if (!S_ISREG(status.st_mode))
            return WriteThrough(path, text);
        if (HoldsText(path, text))
            return "";
    }
    return ReplaceRegularFile(path, text);
}

}  // namespace rc
