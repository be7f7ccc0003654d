// The stream calls of platform/file_stream.h on POSIX systems (glibc).
#include "platform/file_stream.h"

#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cstdlib>

namespace file_stream {

std::FILE* Open(const char* path, OpenMode mode) {
    // "e" is glibc's close-on-exec, the counterpart of Windows' "N" (not inherited) letter.
    switch (mode) {
        case OpenMode::kRead:
            return std::fopen(path, "rbe");
        case OpenMode::kUpdate:
            return std::fopen(path, "r+be");
        case OpenMode::kAppendNew:
            return std::fopen(path, "a+e");
    }
    return nullptr;
}

std::size_t ReadThrough(std::FILE* file, char delimiter, std::string& line) {
    // getdelim finds the delimiter in the stream's buffer at once, instead of a call per byte.
    struct Buffer {
        char* data = nullptr;
        std::size_t size = 0;
        ~Buffer() { std::free(data); }
    };
    thread_local Buffer buffer;
    const ssize_t length = getdelim(&buffer.data, &buffer.size, delimiter, file);
    if (length <= 0) {
        line.clear();
        return 0;
    }
    line.assign(buffer.data, static_cast<std::size_t>(length));
    return line.size();
}

int NextByte(std::FILE* file) {
    return getc_unlocked(file);
}

std::int64_t Tell(std::FILE* file) {
    return ftello(file);
}

int Seek(std::FILE* file, std::int64_t offset, int origin) {
    return fseeko(file, static_cast<off_t>(offset), origin);
}

bool Truncate(std::FILE* file, std::int64_t size) {
    return ftruncate(fileno(file), static_cast<off_t>(size)) == 0;
}

std::optional<std::int64_t> Size(std::FILE* file) {
    struct stat status {};
    if (fstat(fileno(file), &status) != 0) {
        return std::nullopt;
    }
    return status.st_size;
}

std::optional<Identity> IdentityOf(std::FILE* file) {
    struct stat status {};
    if (fstat(fileno(file), &status) != 0) {
        return std::nullopt;
    }
    return Identity{.volume = status.st_dev,
                    .file = status.st_ino,
                    .size = status.st_size,
                    .modifiedSeconds = status.st_mtim.tv_sec,
                    .modifiedNanoseconds = status.st_mtim.tv_nsec};
}

}  // namespace file_stream
