// The files a resource script reads (the script, its headers, bitmaps, icons, data): only
// regular files, so that a device or FIFO named by a script fails at once instead of blocking
// or reading for ever.
#pragma once

#include <sys/types.h>

#include <string>

namespace rc {

// Which file was read: two paths name the same file (a link, "./a.h" and "a.h") exactly when
// their identities are equal.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const FileIdentity&) const = default;
};

struct InputFile {
    std::string bytes;
    FileIdentity identity;
};

// Reads the whole of the regular file at `path` (opened without blocking, tested on the open
// descriptor). Throws ScriptError "cannot read PATH: WHY" when it cannot be opened or read, or
// when it is a folder, device, FIFO or socket.
InputFile ReadRegularFile(const std::string& path);

}  // namespace rc
