// The stream calls of platform/file_stream.h on Windows (the Microsoft C runtime and kernel32).
#include "platform/file_stream.h"

#include <io.h>
#include <windows.h>

#include <cerrno>

#include "platform/text_conversion.h"

namespace file_stream {

std::FILE* Open(const char* path, OpenMode mode) {
    // "N": the handle is not inherited by child processes.
    const wchar_t* letters = mode == OpenMode::kRead     ? L"rbN"
                             : mode == OpenMode::kUpdate ? L"r+bN"
                                                         : L"a+bN";
    return _wfopen(Utf8ToUtf16(path).c_str(), letters);
}

std::size_t ReadThrough(std::FILE* file, char delimiter, std::string& line) {
    line.clear();
    _lock_file(file);
    int byte;
    while ((byte = _getc_nolock(file)) != EOF) {
        line += static_cast<char>(byte);
        if (byte == static_cast<unsigned char>(delimiter)) {
            break;
        }
    }
    _unlock_file(file);
    return line.size();
}

int NextByte(std::FILE* file) {
    return _getc_nolock(file);
}

std::int64_t Tell(std::FILE* file) {
    return _ftelli64(file);
}

int Seek(std::FILE* file, std::int64_t offset, int origin) {
    return _fseeki64(file, offset, origin);
}

bool Truncate(std::FILE* file, std::int64_t size) {
    const errno_t error = _chsize_s(_fileno(file), size);
    if (error != 0) {
        errno = error;
    }
    return error == 0;
}

std::optional<std::int64_t> Size(std::FILE* file) {
    const std::int64_t size = _filelengthi64(_fileno(file));
    if (size < 0) {
        return std::nullopt;
    }
    return size;
}

std::optional<Identity> IdentityOf(std::FILE* file) {
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    BY_HANDLE_FILE_INFORMATION information{};
    if (handle == INVALID_HANDLE_VALUE || !GetFileInformationByHandle(handle, &information)) {
        return std::nullopt;
    }
    const auto join = [](DWORD high, DWORD low) {
        return (static_cast<std::uint64_t>(high) << 32) | low;
    };
    // FILETIME counts 100-ns intervals.
    const auto written = static_cast<std::int64_t>(join(information.ftLastWriteTime.dwHighDateTime,
                                                        information.ftLastWriteTime.dwLowDateTime));
    return Identity{.volume = information.dwVolumeSerialNumber,
                    .file = join(information.nFileIndexHigh, information.nFileIndexLow),
                    .size = static_cast<std::int64_t>(
                        join(information.nFileSizeHigh, information.nFileSizeLow)),
                    .modifiedSeconds = written / 10'000'000,
                    .modifiedNanoseconds = written % 10'000'000 * 100};
}

}  // namespace file_stream
