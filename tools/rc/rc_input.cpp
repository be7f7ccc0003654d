// Reads a script's inputs through one descriptor, refusing anything but a regular file.
#include "tools/rc/rc_input.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "tools/rc/rc_script.h"

namespace rc {

namespace {

// Closes the descriptor it holds.
class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0)
            close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

[[noreturn]] void CannotRead(const std::string& path, const std::string& why) {
    throw ScriptError("cannot read " + path + ": " + why);
}

}  // namespace

InputFile ReadRegularFile(const std::string& path) {
    // Non-blocking, so that opening a FIFO with no writer returns at once to be refused.
    const Descriptor file(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.get() < 0)
        CannotRead(path, std::strerror(errno));
    struct stat status {};
    if (fstat(file.get(), &status) != 0)
        CannotRead(path, std::strerror(errno));
    if (S_ISDIR(status.st_mode))
        CannotRead(path, std::strerror(EISDIR));
    if (!S_ISREG(status.st_mode))
        CannotRead(path, "not a regular file");
    InputFile input;
    input.identity = {status.st_dev, status.st_ino};
    input.bytes.reserve(static_cast<std::size_t>(status.st_size));
    char buffer[65536];
    while (true) {
        const ssize_t got = read(file.get(), buffer, sizeof buffer);
        if (got == 0)
            break;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            CannotRead(path, std::strerror(errno));
        }
        input.bytes.append(buffer, static_cast<std::size_t>(got));
    }
    return input;
}

}  // namespace rc
