// The script files of control-host and forecourt: what may be opened as a script, and lines
// read one at a time within their bound.
#include "apps/shared/script_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/special_files.h"
#include "tests/support/temp_folder.h"

namespace {

namespace fs = std::filesystem;
using script_file::LineRead;

TEST(ScriptFileOpen, TakesARegularFileOrAPipeAndRefusesTheRest) {
    struct Row {
        const char* what;
        std::function<bool(const fs::path&)> make;
        bool opens;
        const char* problem;
    };
    const Row rows[] = {
        {"regular file",
         [](const fs::path& path) { return static_cast<bool>(std::ofstream(path) << "wait 1\n"); },
         true, ""},
        {"FIFO", [](const fs::path& path) { return mkfifo(path.c_str(), 0666) == 0; }, true, ""},
        {"folder", [](const fs::path& path) { return fs::create_directory(path); }, false,
         "Is a directory"},
        {"missing", [](const fs::path&) { return true; }, false, "No such file or directory"},
        {"device node (a copy of /dev/zero)",
         [](const fs::path& path) {
             return mknod(path.c_str(), S_IFCHR | 0666, makedev(1, 5)) == 0;
         },
         false, "not a regular file or a pipe"},
        {"socket", test_support::MakeSocketNode, false, "not a regular file or a pipe"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        test_support::TempFolder folder;
        const fs::path path = folder.File("script");
        if (!row.make(path)) {
            GTEST_LOG_(INFO) << "cannot make a " << row.what << " here; row skipped";
            continue;
        }
        // Opening a FIFO waits for a writer: the test holds the other end.
        const int writer =
            fs::is_fifo(path) ? open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC) : -1;
        std::ifstream file;
        std::string problem;
        EXPECT_EQ(script_file::Open(path.string(), file, &problem), row.opens);
        EXPECT_EQ(problem, row.problem);
        EXPECT_EQ(file.is_open(), row.opens);
        if (writer >= 0) {
            close(writer);
        }
    }
}

// Every line of `text` as ReadLine gives it, and what ended the reading.
std::vector<std::string> Lines(const std::string& text, LineRead* last) {
    std::istringstream in(text);
    std::vector<std::string> lines;
    std::string line;
    while ((*last = script_file::ReadLine(in, line)) == LineRead::kLine) {
        lines.push_back(line);
    }
    return lines;
}

TEST(ScriptFileReadLine, SplitsAtLineFeedsWithinTheBound) {
    const std::size_t max = script_file::kMaxLineBytes;
    EXPECT_EQ(max, 1048576u);
    struct Row {
        const char* what;
        std::string text;
        std::vector<std::string> lines;
        LineRead last;
    };
    const Row rows[] = {
        {"empty", "", {}, LineRead::kEnd},
        {"LF and CR LF",
         "wait 1\r\nstrip\n\ncurrent\n",
         {"wait 1", "strip", "", "current"},
         LineRead::kEnd},
        {"last line without LF", "strip\ncurrent", {"strip", "current"}, LineRead::kEnd},
        {"a lone CR inside a line stays", "a\rb\n", {"a\rb"}, LineRead::kEnd},
        {"a line of the greatest length",
         std::string(max, 'x') + "\nstrip\n",
         {std::string(max, 'x'), "strip"},
         LineRead::kEnd},
        {"a line one byte too long",
         "strip\n" + std::string(max + 1, 'x') + "\ncurrent\n",
         {"strip"},
         LineRead::kTooLong},
        {"NUL bytes without a line end (as /dev/zero gives)",
         std::string(3 * max, '\0'),
         {},
         LineRead::kTooLong},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        LineRead last = LineRead::kLine;
        EXPECT_EQ(Lines(row.text, &last), row.lines);
        EXPECT_EQ(last, row.last);
    }
}

}  // namespace
