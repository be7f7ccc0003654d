// AtomicFile on POSIX systems: the target's resolution and checks, the locked partial file, its
// flush to disk and the rename over the target.
#include "platform/atomic_file.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>

namespace {

constexpr char kPartialSuffix[] = ".partial";
// As many links as the system itself follows in one path.
constexpr int kMaxLinks = 40;
// A partial file that vanishes or is replaced between its opening and its locking (its last
// writer renamed it) is opened again; more attempts than this mean something is wrong.
constexpr int kOpenAttempts = 16;

// The folder that holds `path`, for the partial file and for flushing the rename to disk.
std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Follows symbolic links to the path they end at, which need not exist (a dangling link's
// target is created). False with errno ELOOP for a circle of links, or the error of a link
// that cannot be read.
bool FollowLinks(std::string path, std::string& final) {
    for (int links = 0; links <= kMaxLinks; ++links) {
        struct stat status {};
        if (lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) {
            final = std::move(path);
            return true;
        }
        std::string link(PATH_MAX, '\0');
        const ssize_t length = readlink(path.c_str(), link.data(), link.size());
        if (length < 0) {
            return false;
        }
        link.resize(static_cast<std::size_t>(length));
        path = link.starts_with('/') ? link : FolderOf(path) + "/" + link;
    }
    errno = ELOOP;
    return false;
}

// FNV-1a: a stable short tag for a long name.
std::uint32_t NameHash(const std::string& name) {
    std::uint32_t hash = 2166136261u;
    for (const char c : name) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    }
    return hash;
}

// "<name>.partial" in the target's folder, or, for a name too long to carry the suffix, the
// name cut short with a hash of the whole name: one fixed partial name per target, so that two
// writers of one target meet at its lock.
std::string PartialPathOf(const std::string& finalTarget) {
    const std::string folder = FolderOf(finalTarget);
    const std::string name = NameOf(finalTarget);
    long nameMax = pathconf(folder.c_str(), _PC_NAME_MAX);
    if (nameMax <= 0) {
        nameMax = NAME_MAX;
    }
    std::string partialName = name + kPartialSuffix;
    if (partialName.size() > static_cast<std::size_t>(nameMax)) {
        char tag[16];
        std::snprintf(tag, sizeof tag, "~%08x", NameHash(name));
        const std::size_t kept =
            static_cast<std::size_t>(nameMax) - std::strlen(tag) - std::strlen(kPartialSuffix);
        partialName = name.substr(0, kept) + tag + kPartialSuffix;
    }
    return folder + "/" + partialName;
}

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Some file systems refuse to flush a folder; the rename itself has happened by then, so
// this is done as well as the system allows and never fails the commit.
void FlushFolder(const std::string& folder) {
    const int descriptor = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor >= 0) {
        fsync(descriptor);
        close(descriptor);
    }
}

}  // namespace

AtomicFile::AtomicFile(std::string target, mode_t newFileMode)
    : target_(std::move(target)), newFileMode_(newFileMode) {}

AtomicFile::~AtomicFile() {
    if (descriptor_ >= 0) {
        close(descriptor_);  // releases the lock
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
    if (!FollowLinks(target_, finalTarget_)) {
        return Fail(Failure::kSystem, errno);
    }
    partial_ = PartialPathOf(finalTarget_);
    return CheckTarget() && OpenLockedPartial();
}

// The target as it stands now: absent, or a regular file this user may write.
bool AtomicFile::CheckTarget() {
    struct stat status {};
    if (stat(finalTarget_.c_str(), &status) != 0) {
        return errno == ENOENT ? true : Fail(Failure::kSystem, errno);
    }
    if (!S_ISREG(status.st_mode)) {
        return Fail(Failure::kNotRegularFile);
    }
    if (faccessat(AT_FDCWD, finalTarget_.c_str(), W_OK, AT_EACCESS) != 0) {
        return Fail(Failure::kSystem, errno);
    }
    return true;
}

// Opens the partial file without following a link or blocking on a FIFO, takes its lock
// without waiting, and makes sure the name still leads to the file locked (its last holder may
// have renamed it over the target meanwhile); only then is it emptied. Whatever else stands at
// the partial name (a link, a FIFO, a second name of another file) is removed, never written
// through.
bool AtomicFile::OpenLockedPartial() {
    for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
        const int descriptor =
            open(partial_.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC,
                 newFileMode_);
        if (descriptor < 0) {
            if (errno != ELOOP && errno != ENXIO) {
                return Fail(Failure::kSystem, errno);
            }
            if (unlink(partial_.c_str()) != 0 && errno != ENOENT) {
                return Fail(Failure::kSystem, errno);
            }
            continue;
        }
        struct stat opened {};
        if (fstat(descriptor, &opened) != 0) {
            const int error = errno;
            close(descriptor);
            return Fail(Failure::kSystem, error);
        }
        if (!S_ISREG(opened.st_mode)) {
            close(descriptor);
            if (unlink(partial_.c_str()) != 0 && errno != ENOENT) {
                return Fail(Failure::kSystem, errno);
            }
            continue;
        }
        if (flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            close(descriptor);
            return error == EWOULDBLOCK ? Fail(Failure::kBusy) : Fail(Failure::kSystem, error);
        }
        struct stat named {};
        if (lstat(partial_.c_str(), &named) != 0 || !SameFile(named, opened)) {
            close(descriptor);
            continue;
        }
        // A partial file of ours has one name; a hard link planted there would have the
        // other file emptied and overwritten. Only the planted name goes.
        if (named.st_nlink > 1) {
            close(descriptor);
            if (unlink(partial_.c_str()) != 0 && errno != ENOENT) {
                return Fail(Failure::kSystem, errno);
            }
            continue;
        }
        if (ftruncate(descriptor, 0) != 0 || fcntl(descriptor, F_SETFL, 0) != 0) {
            const int error = errno;
            close(descriptor);
            return Fail(Failure::kSystem, error);
        }
        descriptor_ = descriptor;
        return true;
    }
    return Fail(Failure::kBusy);
}

bool AtomicFile::Commit(std::int64_t expectedSize) {
    if (descriptor_ < 0) {
        return Fail(Failure::kSystem, EBADF);
    }
    struct stat partial {};
    if (fstat(descriptor_, &partial) != 0) {
        return Fail(Failure::kSystem, errno);
    }
    if (expectedSize >= 0 && partial.st_size != expectedSize) {
        return Fail(Failure::kSystem, EIO);
    }
    if (fsync(descriptor_) != 0) {
        return Fail(Failure::kSystem, errno);
    }
    // The target may have changed while the file was written: the rules hold at the rename.
    struct stat target {};
    if (stat(finalTarget_.c_str(), &target) == 0) {
        if (!S_ISREG(target.st_mode)) {
            return Fail(Failure::kNotRegularFile);
        }
        if (fchmod(descriptor_, target.st_mode & 07777) != 0) {
            return Fail(Failure::kSystem, errno);
        }
    }
    if (std::rename(partial_.c_str(), finalTarget_.c_str()) != 0) {
        return Fail(Failure::kSystem, errno);
    }
    committed_ = true;
    FlushFolder(FolderOf(finalTarget_));
    return true;
}

void AtomicFile::Discard() {
    if (descriptor_ >= 0 && !committed_) {
        unlink(partial_.c_str());
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
