// Reading checks of a configuration file on POSIX systems, made on the descriptor that is then
// read.
#include "transfer/config_file_access.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

// O_NONBLOCK: opening a FIFO without a writer would wait for one; O_NOCTTY: a terminal
// named as the file never becomes the process's own.
constexpr int kProbeFlags = O_NONBLOCK | O_NOCTTY | O_CLOEXEC;

}  // namespace

ConfigFileStream OpenConfigFile(const char* iniFile) {
    auto refuse = [iniFile](const char* reason) {
        std::printf("Cannot read the file %s - %s.\n", iniFile, reason);
        return nullptr;
    };
    // Tested on the path first, so that a device named as the file is not even opened, and
    // again on the descriptor: the path may name another file by the time it is opened.
    struct stat status {};
    if (stat(iniFile, &status) != 0) {
        return refuse(std::strerror(errno));
    }
    if (!S_ISREG(status.st_mode)) {
        return refuse("not a regular file");
    }
    const int descriptor = open(iniFile, O_RDONLY | kProbeFlags);
    if (descriptor < 0) {
        return refuse(std::strerror(errno));
    }
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        close(descriptor);
        return refuse("not a regular file");
    }
    // A regular file never blocks; reads go through the C library's buffered stream.
    fcntl(descriptor, F_SETFL, fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
    std::FILE* file = fdopen(descriptor, "rb");
    if (file == nullptr) {
        const int error = errno;
        close(descriptor);
        return refuse(std::strerror(error));
    }
    return ConfigFileStream(file);
}

std::string ConfigFileUpdateError(const char* iniFile) {
    const int descriptor = open(iniFile, O_RDWR | kProbeFlags);
    if (descriptor < 0) {
        return std::strerror(errno);
    }
    close(descriptor);
    return {};
}
