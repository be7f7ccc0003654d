// The C stream calls of the INI reader and writer that differ by system, behind one interface:
// opening (binary, not inherited by child processes, the path in UTF-8), line reads, 64-bit
// positions, truncation, size and the identity of the open file. POSIX and Windows versions
// live side by side (base/file_stream_posix.cpp, base/file_stream_win32.cpp).
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

namespace file_stream {

enum class OpenMode {
    kRead,       // an existing file, read only
    kUpdate,     // an existing file, read and written, from its start
    kAppendNew,  // created empty when missing, written at its end
};

// The file `path` (UTF-8) opened in binary mode; null with errno set when that fails. The
// caller closes it with std::fclose.
std::FILE* Open(const char* path, OpenMode mode);

// Reads from the current position up to and including the next `delimiter` (or to the end)
// into `line` and returns its length; 0 with `line` empty at the end or on a read error
// (std::ferror and errno then tell). The buffer of the read is kept for the thread's next one.
std::size_t ReadThrough(std::FILE* file, char delimiter, std::string& line);

// The next byte, or EOF: getc without taking the stream's lock (one thread per stream).
int NextByte(std::FILE* file);

// 64-bit positions: Tell gives -1 on failure, Seek 0 or -1 (origin SEEK_SET/CUR/END).
std::int64_t Tell(std::FILE* file);
int Seek(std::FILE* file, std::int64_t offset, int origin);

// Cuts the open file to `size` bytes (written data flushed first by the caller); false with
// errno set on failure.
bool Truncate(std::FILE* file, std::int64_t size);

// The open file's size in bytes, or nullopt when the system cannot tell.
std::optional<std::int64_t> Size(std::FILE* file);

// What tells one version of a file from another: the same file (volume and file number), the
// same size, the same last write time. Equal identities mean an unchanged file.
struct Identity {
    std::uint64_t volume = 0;
    std::uint64_t file = 0;
    std::int64_t size = 0;
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0;
    bool operator==(const Identity&) const = default;
};
std::optional<Identity> IdentityOf(std::FILE* file);

}  // namespace file_stream
