// forecourt-rc's outputs: a regular file is replaced in one step and left alone when its
// content is already right; a FIFO or device is written straight through without reading it
// (a device that never ends once made the old comparison eat memory); a folder is refused.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <future>
#include <sstream>
#include <string>

#include "tests/rc/compile_support.h"
#include "tools/rc/rc_output.h"

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

struct stat StatOf(const std::string& path) {
    struct stat status {};
    EXPECT_EQ(stat(path.c_str(), &status), 0) << path;
    return status;
}

TEST(RcOutput, ANewFileIsWritten) {
    test_support::TempFolder folder("rc_output");
    EXPECT_EQ(rc::WriteOutput(folder.File("out.cpp"), "int x;\n"), "");
    EXPECT_EQ(ReadAll(folder.File("out.cpp")), "int x;\n");
    // Nothing but the output is left in the folder (no partial file).
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.path()))
        ++entries;
    EXPECT_EQ(entries, 1);
}

TEST(RcOutput, AFileThatHoldsTheTextIsLeftUntouched) {
    test_support::TempFolder folder("rc_output");
    const std::string out = folder.File("out.cpp");
    rc_test::WriteFile(out, "int x;\n");
    const timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, out.c_str(), old, 0), 0);
    const ino_t inode = StatOf(out).st_ino;

    EXPECT_EQ(rc::WriteOutput(out, "int x;\n"), "");
    EXPECT_EQ(StatOf(out).st_mtime, 1000000000);
    EXPECT_EQ(StatOf(out).st_ino, inode);
}

TEST(RcOutput, AFileWithOtherContentIsReplaced) {
    const struct {
        const char* what;
        const char* old;
    } rows[] = {
        {"same size", "int y;\n"},
        {"shorter", "int;"},
        {"longer", "int x;\nint y;\nint z;\n"},
    };
    for (const auto& row : rows) {
        test_support::TempFolder folder("rc_output");
        const std::string out = folder.File("out.cpp");
        rc_test::WriteFile(out, row.old);
        ASSERT_EQ(chmod(out.c_str(), 0640), 0);
        const ino_t inode = StatOf(out).st_ino;
        EXPECT_EQ(rc::WriteOutput(out, "int x;\n"), "") << row.what;
        EXPECT_EQ(ReadAll(out), "int x;\n") << row.what;
        EXPECT_NE(StatOf(out).st_ino, inode) << row.what << ": replaced, not rewritten in place";
        EXPECT_EQ(StatOf(out).st_mode & 0777, 0640u) << row.what << ": the mode is kept";
    }
}

TEST(RcOutput, AFifoIsWrittenStraightThrough) {
    test_support::TempFolder folder("rc_output");
    const std::string fifo = folder.File("fifo");
    ASSERT_TRUE(rc_test::MakeFifo(fifo));
    // The reader opens the FIFO as `cat fifo` would; the writer must not try to read it.
    std::future<std::string> received =
        std::async(std::launch::async, [&] { return ReadAll(fifo); });
    EXPECT_EQ(rc::WriteOutput(fifo, "int x;\n"), "");
    EXPECT_EQ(received.get(), "int x;\n");
    EXPECT_TRUE(S_ISFIFO(StatOf(fifo).st_mode));
}

TEST(RcOutput, AnEndlessDeviceIsWrittenWithoutReadingIt) {
    test_support::TempFolder folder("rc_output");
    const std::string device = folder.File("zero");
    if (!rc_test::MakeEndlessDevice(device))
        GTEST_SKIP() << "this user cannot make device nodes";
    EXPECT_EQ(rc::WriteOutput(device, "int x;\n"), "");
    EXPECT_TRUE(S_ISCHR(StatOf(device).st_mode));
}

TEST(RcOutput, AFolderIsRefused) {
    test_support::TempFolder folder("rc_output");
    EXPECT_EQ(rc::WriteOutput(folder.path(), "int x;\n"), "Is a directory");
}

TEST(RcOutput, ALinkStaysALinkToTheReplacedFile) {
    test_support::TempFolder folder("rc_output");
    rc_test::WriteFile(folder.File("real.cpp"), "old");
    std::filesystem::create_symlink("real.cpp", folder.File("link.cpp"));
    EXPECT_EQ(rc::WriteOutput(folder.File("link.cpp"), "int x;\n"), "");
    EXPECT_TRUE(std::filesystem::is_symlink(folder.File("link.cpp")));
    EXPECT_EQ(ReadAll(folder.File("real.cpp")), "int x;\n");
}

}  // namespace
