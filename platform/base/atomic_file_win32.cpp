// AtomicFile on Windows: the target's resolution and checks, the partial file locked with
// LockFileEx, FlushFileBuffers and the replacement with MoveFileExW.
#include "platform/atomic_file.h"

#include <windows.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "platform/text_conversion.h"

namespace {

constexpr char kPartialSuffix[] = ".partial";
// A partial file that vanishes or is replaced between its opening and its locking (its last
// writer renamed it) is opened again; more attempts than this mean something is wrong.
constexpr int kOpenAttempts = 16;
// Every opening shares everything, delete (rename) included: the export writes the partial
// file through a second opening, and the partial file is renamed while its lock is held.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// The lock is one byte at the top of the file's range: Windows' byte-range locks are
// mandatory, and one over the data would refuse the export's own writes.
constexpr DWORD kLockOffsetLow = 0xFFFFFFFE;
constexpr DWORD kLockOffsetHigh = 0x7FFFFFFF;

// The errno that a Windows error stands for, so that the failure reads as on POSIX systems.
int ErrnoOf(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
            return ENOENT;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return EACCES;
        case ERROR_WRITE_PROTECT:
            return EROFS;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return ENOSPC;
        case ERROR_FILENAME_EXCED_RANGE:
        case ERROR_INVALID_NAME:
            return ENAMETOOLONG;
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY:
            return ENOMEM;
        default:
            return EIO;
    }
}

// One kernel handle, closed on every way out.
class Handle {
  public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    ~Handle() {
        if (IsOpen()) {
            CloseHandle(handle_);
        }
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return handle_; }
    HANDLE Release() { return std::exchange(handle_, INVALID_HANDLE_VALUE); }

  private:
    HANDLE handle_;
};

bool InformationOf(HANDLE handle, BY_HANDLE_FILE_INFORMATION& information) {
    return GetFileInformationByHandle(handle, &information) != 0;
}

bool SameFile(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b) {
    return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
           a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
}

bool IsFolder(const BY_HANDLE_FILE_INFORMATION& information) {
    return (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The path that `path`'s links end at: the final path of the existing file, else `path`
// itself (a new target is created where it is named).
std::wstring FinalPathOf(const std::wstring& path) {
    Handle file(CreateFileW(path.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                            FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file.IsOpen()) {
        return path;
    }
    BY_HANDLE_FILE_INFORMATION information{};
    if (!InformationOf(file.Get(), information) ||
        (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        // Opened through no link: the name as given, which messages and callers know.
        return path;
    }
    std::wstring final(MAX_PATH, L'\0');
    DWORD length =
        GetFinalPathNameByHandleW(file.Get(), final.data(), static_cast<DWORD>(final.size()), 0);
    if (length >= final.size()) {
        final.resize(length);
        length = GetFinalPathNameByHandleW(file.Get(), final.data(), length, 0);
    }
    if (length == 0 || length >= final.size()) {
        return path;
    }
    final.resize(length);
    // "\\?\C:\..." names a drive path that the C runtime opens as "C:\...".
    if (final.starts_with(L"\\\\?\\") && final.size() > 6 && final[5] == L':') {
        final.erase(0, 4);
    }
    return final;
}

}  // namespace

AtomicFile::AtomicFile(std::string target) : target_(std::move(target)) {}

AtomicFile::~AtomicFile() {
    if (handle_ != nullptr) {
        CloseHandle(handle_);  // releases the lock
    }
}

bool AtomicFile::Fail(Failure failure, int error) {
    failure_ = failure;
    error_ = error;
    return false;
}

bool AtomicFile::Create() {
    failure_ = Failure::kNone;
    if (target_.empty()) {
        return Fail(Failure::kSystem, ENOENT);
    }
    finalTarget_ = Utf16ToUtf8(FinalPathOf(Utf8ToUtf16(target_)));
    partial_ = finalTarget_ + kPartialSuffix;
    return CheckTarget() && OpenLockedPartial();
}

// The target as it stands now: absent, or a disk file that is not read-only.
bool AtomicFile::CheckTarget() {
    const std::wstring target = Utf8ToUtf16(finalTarget_);
    Handle file(CreateFileW(target.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                            FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file.IsOpen()) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND ? true : Fail(Failure::kSystem, ErrnoOf(error));
    }
    BY_HANDLE_FILE_INFORMATION information{};
    if (GetFileType(file.Get()) != FILE_TYPE_DISK || !InformationOf(file.Get(), information) ||
        IsFolder(information)) {
        return Fail(Failure::kNotRegularFile);
    }
    if ((information.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0) {
        return Fail(Failure::kSystem, EACCES);
    }
    return true;
}

// Opens the partial file without following a link, takes its lock without waiting, and makes
// sure the name still leads to the file locked (its last holder may have renamed it over the
// target meanwhile); only then is it emptied. A link or a second name of another file standing
// at the partial name is removed, never written through.
bool AtomicFile::OpenLockedPartial() {
    const std::wstring partial = Utf8ToUtf16(partial_);
    for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
        Handle file(CreateFileW(partial.c_str(), GENERIC_WRITE, kShareAll, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        if (!file.IsOpen()) {
            return Fail(Failure::kSystem, ErrnoOf(GetLastError()));
        }
        BY_HANDLE_FILE_INFORMATION opened{};
        if (!InformationOf(file.Get(), opened)) {
            return Fail(Failure::kSystem, ErrnoOf(GetLastError()));
        }
        const bool planted = GetFileType(file.Get()) != FILE_TYPE_DISK ||
                             (opened.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 ||
                             opened.nNumberOfLinks > 1;
        if (planted) {
            CloseHandle(file.Release());
            if (!DeleteFileW(partial.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND) {
                return Fail(Failure::kSystem, ErrnoOf(GetLastError()));
            }
            continue;
        }
        OVERLAPPED at{};
        at.Offset = kLockOffsetLow;
        at.OffsetHigh = kLockOffsetHigh;
        if (!LockFileEx(file.Get(), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                        &at)) {
            const DWORD error = GetLastError();
            return error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING
                       ? Fail(Failure::kBusy)
                       : Fail(Failure::kSystem, ErrnoOf(error));
        }
        Handle named(CreateFileW(partial.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        BY_HANDLE_FILE_INFORMATION now{};
        if (!named.IsOpen() || !InformationOf(named.Get(), now) || !SameFile(now, opened)) {
            continue;
        }
        LARGE_INTEGER start{};
        if (!SetFilePointerEx(file.Get(), start, nullptr, FILE_BEGIN) ||
            !SetEndOfFile(file.Get())) {
            return Fail(Failure::kSystem, ErrnoOf(GetLastError()));
        }
        handle_ = file.Release();
        return true;
    }
    return Fail(Failure::kBusy);
}

bool AtomicFile::Commit(std::int64_t expectedSize) {
    if (handle_ == nullptr) {
        return Fail(Failure::kSystem, EBADF);
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(handle_, &size)) {
        return Fail(Failure::kSystem, ErrnoOf(GetLastError()));
    }
    if (expectedSize >= 0 && size.QuadPart != expectedSize) {
        return Fail(Failure::kSystem, EIO);
    }
    if (!FlushFileBuffers(handle_)) {
        return Fail(Failure::kSystem, ErrnoOf(GetLastError()));
    }
    // The target may have changed while the file was written: the rules hold at the rename.
    if (!CheckTarget()) {
        return false;
    }
    if (!MoveFileExW(Utf8ToUtf16(partial_).c_str(), Utf8ToUtf16(finalTarget_).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return Fail(Failure::kSystem, ErrnoOf(GetLastError()));
    }
    committed_ = true;
    return true;
}

void AtomicFile::Discard() {
    if (handle_ != nullptr && !committed_) {
        DeleteFileW(Utf8ToUtf16(partial_).c_str());
    }
}

std::string AtomicFile::FailureText() const {
    switch (failure_) {
        case Failure::kNone:
            return "no failure";
        case Failure::kNotRegularFile:
            return "not a regular file";
        case Failure::kBusy:
            return "another writer holds it";
        case Failure::kSystem:
            break;
    }
    return std::strerror(error_);
}
