// AtomicFile: puts a new version of a file in the place of the old one in one step. The new
// content goes to a partial file beside the target; Commit flushes it to disk and renames it
// over the target, so a reader sees the old file or the new one, never half of either. The
// export and the registry both save through it.
//
// Target rules: a symbolic link is followed to its final target, which is the file replaced
// (the link stays a link); an existing target must be a regular file the user may write. The
// partial file's name is "<name>.partial" in the final target's folder, or, where that would
// exceed the file system's name limit, a shortened name with a hash of the whole name. The
// partial file is held under an exclusive lock from Create to the end of the object, so two
// writers of one target never write or rename each other's partial file. Whatever else stands
// at the partial name (a link, a FIFO, a second name of another file) is removed, never
// written through.
//
// POSIX and Windows versions side by side (base/atomic_file_posix.cpp, atomic_file_win32.cpp).
// On Windows the lock is LockFileEx's, on a byte far past the data so that the export's own
// writes through a second opening are not refused; the flush is FlushFileBuffers and the
// rename MoveFileExW; an existing target's read-only attribute refuses it, as missing write
// permission does on POSIX.
#pragma once

#ifndef _WIN32
#include <sys/types.h>
#endif

#include <cstdint>
#include <string>

class AtomicFile {
  public:
    enum class Failure {
        kNone,
        kNotRegularFile,  // the target exists and is a device, FIFO, socket or folder
        kBusy,            // another writer holds the partial file
        kSystem,          // a system call failed; SystemError() tells why
    };

#ifdef _WIN32
    explicit AtomicFile(std::string target);
#else
    // `newFileMode`: the permission bits of a target that does not exist yet (the umask
    // applies); an existing target's bits are kept.
    explicit AtomicFile(std::string target, mode_t newFileMode = 0666);
#endif
    // Releases the lock and closes the partial file; one not committed stays for inspection
    // unless Discard removed it.
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Resolves the target, checks it against the rules above, and creates the partial file
    // empty (truncating one left by an earlier run once its lock is held). False with
    // GetFailure() set when any of that fails; nothing is then created or changed.
    bool Create();

    // The final target (links followed) and the partial file; valid after Create.
    const std::string& FinalTarget() const {
        return finalTarget_;
    }
    const std::string& PartialPath() const {
        return partial_;
    }
#ifndef _WIN32
    // The partial file's descriptor, open for writing at its start; -1 before Create.
    int Descriptor() const {
        return descriptor_;
    }
#endif

    // Checks that the partial file holds `expectedSize` bytes when that is not negative (a
    // buffered write that failed when its writer closed the file leaves it shorter: EIO),
    // flushes it to disk, gives it the permission bits of an existing target and renames it
    // over the final target; the folder is flushed as well. False with GetFailure() set when a
    // step fails: the target is then untouched and the partial file stays.
    bool Commit(std::int64_t expectedSize = -1);

    // Removes the partial file of a Create that was not committed (while still holding its
    // lock). On Windows the name goes when the object ends and its handle closes.
    void Discard();

    Failure GetFailure() const {
        return failure_;
    }
    // The errno of a kSystem failure (on Windows, the errno that the system's error stands for).
    int SystemError() const {
        return error_;
    }
    // A short text of the failure: "not a regular file", "another writer holds it" or the
    // system's text for the errno.
    std::string FailureText() const;

  private:
    bool Fail(Failure failure, int error = 0);
    bool CheckTarget();
    bool OpenLockedPartial();

    std::string target_;
    std::string finalTarget_;
    std::string partial_;
#ifdef _WIN32
    void* handle_ = nullptr;  // the partial file's HANDLE, which holds the lock
#else
    mode_t newFileMode_;
    int descriptor_ = -1;
#endif
    bool committed_ = false;  // the partial name is free for the next writer
    Failure failure_ = Failure::kNone;
    int error_ = 0;
};
