// Compiling resource scripts written into a test's own folder, and the special files (FIFOs,
// device nodes) the tests hand forecourt-rc in place of regular ones.
#pragma once

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <fstream>
#include <string>

#include "tests/support/temp_folder.h"
#include "tools/rc/rc_script.h"

namespace rc_test {

struct Compiled {
    std::string error;  // the ScriptError's text, or "" when the script compiled
    rc::CompileResult result;
};

inline void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    ASSERT_TRUE(out.good()) << "cannot write " << path;
}

// Compiles the script at `path`.
inline Compiled CompileFile(const std::string& path) {
    Compiled compiled;
    try {
        compiled.result = rc::CompileScript(path, {});
    } catch (const rc::ScriptError& e) {
        compiled.error = e.what();
    }
    return compiled;
}

// Writes `text` as t.rc in `folder` and compiles it.
inline Compiled CompileText(const test_support::TempFolder& folder, const std::string& text) {
    WriteFile(folder.File("t.rc"), text);
    return CompileFile(folder.File("t.rc"));
}

// A character device with the numbers of /dev/zero (reads never end) at `path`; false where
// the user may not make device nodes.
inline bool MakeEndlessDevice(const std::string& path) {
    return mknod(path.c_str(), S_IFCHR | 0666, makedev(1, 5)) == 0;
}

inline bool MakeFifo(const std::string& path) {
    return mkfifo(path.c_str(), 0666) == 0;
}

}  // namespace rc_test
