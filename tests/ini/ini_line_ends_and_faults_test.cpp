// IniDocument on files that are not what the export writes: reads that fail (before the end
// and from the start), files whose lines end with CR alone, and sections of many keys.
#include <gtest/gtest.h>
#include <stdio.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <cerrno>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "ini/ini_document.h"
#include "ini/ini_line.h"
#include "ini/ini_outline.h"
#include "ini_test_support.h"

namespace {

#ifdef _WIN32
// A file that opens for reading and for update, yet whose every read fails: another handle
// holds an exclusive lock over all its bytes (Windows locks bind every reader, and the C
// runtime reports ERROR_LOCK_VIOLATION as EACCES). Unlocked and removed with the test's folder.
class UnreadableFile {
  public:
    explicit UnreadableFile(const std::string& path) : path_(path) {
        std::ofstream(path, std::ios::binary) << "[Pump01]\r\nNumber=1\r\n";
        lock_ = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        OVERLAPPED whole{};
        EXPECT_TRUE(lock_ != INVALID_HANDLE_VALUE &&
                    LockFileEx(lock_, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0,
                               MAXDWORD, MAXDWORD, &whole));
    }
    ~UnreadableFile() {
        OVERLAPPED whole{};
        UnlockFileEx(lock_, 0, MAXDWORD, MAXDWORD, &whole);
        CloseHandle(lock_);
    }
    const char* Path() const { return path_.c_str(); }
    static constexpr int kReadError = EACCES;
    // Whether this system enforces the lock against reads, as Windows does (Microsoft's
    // LockFileEx: a second handle, even of the same process, cannot read a locked region);
    // Wine 8 does not enforce locks on reads.
    bool ReadsFail() const {
        std::FILE* file = std::fopen(Path(), "rb");
        const bool failed = file != nullptr && std::fgetc(file) == EOF && std::ferror(file);
        if (file != nullptr) {
            std::fclose(file);
        }
        return failed;
    }

  private:
    std::string path_;
    HANDLE lock_ = INVALID_HANDLE_VALUE;
};
#else
// Every read of this file fails with EIO (address 0 is never mapped), yet it is a regular file
// that opens for reading and for update.
class UnreadableFile {
  public:
    explicit UnreadableFile(const std::string&) {}
    const char* Path() const { return "/proc/self/mem"; }
    static constexpr int kReadError = EIO;
    bool ReadsFail() const { return true; }
};
#endif

class Recorder : public IniDocument::Visitor {
  public:
    void Section(std::string_view name) override { told.push_back("[" + std::string(name) + "]"); }
    void Key(std::string_view key, std::string_view value) override {
        told.push_back(std::string(key) + "=" + std::string(value));
    }
    std::vector<std::string> told;
};

#ifndef _WIN32
// A stream that gives `bytes` and then fails as a disk does (EIO); it can be positioned.
std::FILE* FailingAfter(const std::string& bytes) {
    struct State {
        std::string bytes;
        std::size_t at = 0;
    };
    cookie_io_functions_t functions{};
    functions.read = [](void* cookie, char* buffer, std::size_t size) -> ssize_t {
        State& state = *static_cast<State*>(cookie);
        if (state.at == state.bytes.size()) {
            errno = EIO;
            return -1;
        }
        const std::size_t count = std::min(size, state.bytes.size() - state.at);
        std::memcpy(buffer, state.bytes.data() + state.at, count);
        state.at += count;
        return static_cast<ssize_t>(count);
    };
    functions.seek = [](void* cookie, off64_t* offset, int whence) {
        State& state = *static_cast<State*>(cookie);
        const off64_t base = whence == SEEK_SET   ? 0
                             : whence == SEEK_CUR ? static_cast<off64_t>(state.at)
                                                  : static_cast<off64_t>(state.bytes.size());
        if (base + *offset < 0 || base + *offset > static_cast<off64_t>(state.bytes.size())) {
            return -1;
        }
        state.at = static_cast<std::size_t>(base + *offset);
        *offset = base + *offset;
        return 0;
    };
    functions.close = [](void* cookie) {
        delete static_cast<State*>(cookie);
        return 0;
    };
    return fopencookie(new State{bytes}, "r", functions);
}
#endif

using IniFaultsTest = IniFileTest;

TEST_F(IniFaultsTest, AFailedReadIsKeptAndNeverTakenForTheEndOfTheFile) {
    const UnreadableFile unreadable(PathOf("unreadable.ini"));
    if (!unreadable.ReadsFail()) {
        GTEST_SKIP() << "this system does not enforce a byte-range lock against reads (Wine "
                        "does not; Windows does), so no file here opens yet fails every read";
    }
    const char* unreadablePath = unreadable.Path();
    for (const bool keepOpen : {false, true}) {
        SCOPED_TRACE(keepOpen);
        IniDocument document(unreadablePath, keepOpen);
        document.SelectSection("Pump01");
        EXPECT_EQ(document.GetInt("Number"), 0);
        EXPECT_EQ(document.ReadError(), UnreadableFile::kReadError);
    }
    IniDocument copy(unreadablePath, IniDocument::ReadOnlyCopy{});
    Recorder recorder;
    copy.ReadInOrder(recorder);
    EXPECT_EQ(copy.ReadError(), UnreadableFile::kReadError);

    IniDocument walked(unreadablePath, false);
    EXPECT_FALSE(walked.ReadInOrder(recorder));
    EXPECT_EQ(walked.ReadError(), UnreadableFile::kReadError);
    EXPECT_TRUE(recorder.told.empty());

    EXPECT_FALSE(ReadIniOutline(unreadablePath).opened);

    const std::string path = Write("fine.ini", "[A]\r\nKey=1\r\n");
    IniDocument fine(path.c_str(), true);
    fine.SelectSection("A");
    EXPECT_EQ(fine.GetInt("Key"), 1);
    EXPECT_EQ(fine.ReadError(), 0);
}

TEST_F(IniFaultsTest, AReadThatFailsHalfWayEndsTheWalkWithWhatCameBefore) {
#ifdef _WIN32
    GTEST_SKIP() << "a stream that fails after given bytes is made with glibc's fopencookie; "
                    "the Windows C runtime has no such streams (a read failing from the start "
                    "is tested on a locked file)";
#else
    IniDocument document(FailingAfter("[A]\r\nKey=1\r\n[B]\r\nCut=2"),
                         IniDocument::ReadOnlyStream{});
    Recorder recorder;
    EXPECT_FALSE(document.ReadInOrder(recorder));
    EXPECT_EQ(document.ReadError(), EIO);
    // The last line, cut by the failure, is told as far as it was read.
    EXPECT_EQ(recorder.told, (std::vector<std::string>{"[A]", "Key=1", "[B]", "Cut=2"}));

    IniDocument whole(FailingAfter(""), IniDocument::ReadOnlyStream{});
    whole.SelectSection("A");
    EXPECT_EQ(whole.WriteKey("Key", CounterString("1")), -1);  // read only
#endif
}

TEST_F(IniFaultsTest, AFileWithoutLineFeedsHasItsLinesEndedByCarriageReturns) {
    struct Row {
        const char* what;
        std::string bytes;
        const char* section;
        const char* key;
        const char* expected;
    } rows[] = {
        {"CR alone", "[A]\rKey=1\r[B]\rK=2\r", "B", "K", "2"},
        {"first section", "[A]\rKey=1\r[B]\rK=2\r", "A", "Key", "1"},
        {"no end at the end", "[A]\r  Key = spaced  \r[B]", "A", "Key", "spaced"},
        {"empty lines", "\r\r[A]\r\r\rKey=x\r", "A", "Key", "x"},
        {"byte-order mark", "\xEF\xBB\xBF[A]\rKey=bom\r", "A", "Key", "bom"},
        // One LF anywhere and the file is read as always: a CR alone stays inside its line.
        {"CR in a CR LF line", "[A]\r\nKey=a\rb\r\n", "A", "Key", "a\rb"},
        {"CR LF file, LF at its end", "[A]\rKey=1\r[B]\rK=2\n", "B", "K", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const std::string path = Write("cr.ini", row.bytes);
        for (const bool keepOpen : {false, true}) {
            IniDocument document(path.c_str(), keepOpen);
            document.SelectSection(row.section);
            CounterString value;
            document.GetString(row.key, value);
            EXPECT_EQ(Narrow(value), row.expected);
        }
        IniDocument copy(path.c_str(), IniDocument::ReadOnlyCopy{});
        copy.SelectSection(row.section);
        CounterString value;
        copy.GetString(row.key, value);
        EXPECT_EQ(Narrow(value), row.expected);
    }
    const IniOutline outline = ReadIniOutline(std::string_view("[A]\rKey=1\r[B]\rK=2\r"));
    ASSERT_EQ(outline.blocks.size(), 3U);
    EXPECT_EQ(outline.blocks[2].name, "B");
    ASSERT_EQ(outline.blocks[2].keys.size(), 1U);
    EXPECT_EQ(outline.blocks[2].keys[0].line, 4);
}

TEST_F(IniFaultsTest, ChangingAKeyOfACarriageReturnFileKeepsItsLineEnds) {
    struct Row {
        std::string before;
        const char* section;
        const char* key;
        std::string after;
    } rows[] = {
        {"[A]\rKey=1\r[B]\rK=2\r", "A", "Key", "[A]\rKey=new\r[B]\rK=2\r"},
        {"[A]\rKey=1\r[B]\rK=2\r", "A", "Other", "[A]\rKey=1\rOther=new\r[B]\rK=2\r"},
        {"[A]\rKey=1", "A", "Other", "[A]\rKey=1\rOther=new\r"},
        {"[A]\rKey=1\r", "C", "Key", "[A]\rKey=1\r\r[C]\rKey=new\r"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.before + " " + row.key);
        const std::string path = Write("cr.ini", row.before);
        {
            IniDocument document(path.c_str(), true);
            document.SelectSection(row.section);
            EXPECT_EQ(document.SetValue(row.key, CounterString("new")), 3);
        }
        EXPECT_EQ(Read(path), row.after);
    }
}

TEST_F(IniFaultsTest, TheFirstLineOfEachKeyIsToldInSectionsOfManyKeys) {
    std::string bytes = "[Many]\r\n";
    for (int i = 0; i < 20000; ++i) {
        bytes += "Key" + std::to_string(i) + "=first\r\n";
    }
    for (int i = 0; i < 20000; i += 7) {
        bytes += "KEY" + std::to_string(i) + "=second\r\n";  // the same keys, case aside
    }
    bytes += "[Next]\r\nKey0=next\r\n";
    IniDocument document(Write("many.ini", bytes).c_str(), false);
    Recorder recorder;
    ASSERT_TRUE(document.ReadInOrder(recorder));
    ASSERT_EQ(recorder.told.size(), 20003U);
    EXPECT_EQ(recorder.told[1], "Key0=first");
    EXPECT_EQ(recorder.told[20000], "Key19999=first");
    EXPECT_EQ(recorder.told[20001], "[Next]");
    EXPECT_EQ(recorder.told[20002], "Key0=next");  // another section: its own keys
}

TEST(FoldedNameSetTest, KnowsANameOnceCaseAsideUntilCleared) {
    ini_line::FoldedNameSet names;
    for (int round = 0; round < 3; ++round) {
        for (int i = 0; i < 1000; ++i) {
            EXPECT_TRUE(names.Insert("Name" + std::to_string(i)));
        }
        EXPECT_FALSE(names.Insert("NAME999"));
        EXPECT_FALSE(names.Insert("name0"));
        EXPECT_TRUE(names.Insert("Name1000"));
        EXPECT_TRUE(names.Insert("Nam[0"));  // "[" is not a folded "{" or "Z"
        names.Clear();
        EXPECT_TRUE(names.Insert("NAME5"));
        EXPECT_FALSE(names.Insert("name5"));
        names.Clear();
    }
}

}  // namespace
