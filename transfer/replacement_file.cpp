// ReplacementFile: the partial file, its flush to disk and the rename over the target.
#include "transfer/replacement_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <utility>

namespace {

// The folder that holds `path`, for flushing the rename to disk.
std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
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

ReplacementFile::ReplacementFile(std::string target)
    : target_(std::move(target)), partial_(target_ + ".partial") {}

ReplacementFile::~ReplacementFile() {
    if (descriptor_ >= 0) {
        close(descriptor_);
    }
}

bool ReplacementFile::Create() {
    // A partial file left by an earlier run is removed rather than emptied, so that whatever
    // now stands at that name (a link to another file, say) is never written through.
    if (unlink(partial_.c_str()) != 0 && errno != ENOENT) {
        return false;
    }
    descriptor_ = open(partial_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    return descriptor_ >= 0;
}

bool ReplacementFile::Commit(std::int64_t expectedSize) {
    if (descriptor_ < 0) {
        errno = EBADF;
        return false;
    }
    struct stat partial {};
    if (fstat(descriptor_, &partial) != 0) {
        return false;
    }
    if (partial.st_size != expectedSize) {
        errno = EIO;
        return false;
    }
    if (fsync(descriptor_) != 0) {
        return false;
    }
    struct stat target {};
    if (stat(target_.c_str(), &target) == 0 && S_ISREG(target.st_mode) &&
        fchmod(descriptor_, target.st_mode & 07777) != 0) {
        return false;
    }
    if (std::rename(partial_.c_str(), target_.c_str()) != 0) {
        return false;
    }
    FlushFolder(FolderOf(target_));
    return true;
}
