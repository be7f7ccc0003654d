// Writing forecourt-rc's outputs (the generated source and the depfile) so that a build does
// not recompile what did not change, and a user may send them to a pipe or device.
#pragma once

#include <string>

namespace rc {

// Writes `text` to `path` and returns "" on success, else why it could not ("Is a directory",
// the system's text). A regular file, or a path where nothing exists yet, is replaced in one
// step (the old content or the new, never half), and left untouched, time stamp and all, when
// it already holds `text`. Anything else that exists (a pipe such as /dev/stdout, a FIFO, a
// character device) is written straight through, its old content never read. A folder is
// refused.
std::string WriteOutput(const std::string& path, const std::string& text);

}  // namespace rc
