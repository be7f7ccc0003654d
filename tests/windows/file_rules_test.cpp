// The export's file rules with Windows' own calls: the atomic replacement through a locked
// partial file, a second writer refused while the first holds it, read-only and folder targets
// refused; and the stream calls the INI reader and writer make.
#include <windows.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "platform/atomic_file.h"
#include "platform/file_stream.h"

namespace {

// A fresh folder of its own per test, in the working folder, removed with what it holds.
class WindowsFiles : public testing::Test {
  protected:
    void SetUp() override {
        folder_ =
            std::string("files_") + testing::UnitTest::GetInstance()->current_test_info()->name();
        Clear();
        ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr));
    }
    void TearDown() override { Clear(); }

    std::string Path(const char* name) const { return folder_ + "\\" + name; }

    void Write(const char* name, const std::string& text) const {
        std::FILE* file = std::fopen(Path(name).c_str(), "wb");
        ASSERT_NE(file, nullptr);
        ASSERT_EQ(std::fwrite(text.data(), 1, text.size(), file), text.size());
        ASSERT_EQ(std::fclose(file), 0);
    }

    std::string Read(const char* name) const {
        std::FILE* file = std::fopen(Path(name).c_str(), "rb");
        if (file == nullptr) {
            return "<missing>";
        }
        std::string text;
        char block[256];
        while (const std::size_t count = std::fread(block, 1, sizeof block, file)) {
            text.append(block, count);
        }
        std::fclose(file);
        return text;
    }

    bool Exists(const char* name) const {
        return GetFileAttributesA(Path(name).c_str()) != INVALID_FILE_ATTRIBUTES;
    }

  private:
    // Wide calls throughout: the names made here need not be in the ANSI code page.
    void Clear() const {
        const std::wstring folder(folder_.begin(), folder_.end());
        WIN32_FIND_DATAW found{};
        const HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring path = folder + L"\\" + found.cFileName;
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
                    RemoveDirectoryW(path.c_str());
                } else {
                    DeleteFileW(path.c_str());
                }
            } while (FindNextFileW(search, &found));
            FindClose(search);
        }
        RemoveDirectoryW(folder.c_str());
    }

    std::string folder_;
};

// Writes `text` into the partial file through an opening of its own, as the export's writer
// does while the lock is held.
void WriteThroughSecondOpening(const AtomicFile& file, const std::string& text) {
    std::FILE* stream =
        file_stream::Open(file.PartialPath().c_str(), file_stream::OpenMode::kUpdate);
    ASSERT_NE(stream, nullptr);
    ASSERT_EQ(std::fwrite(text.data(), 1, text.size(), stream), text.size());
    ASSERT_EQ(std::fclose(stream), 0);
}

TEST_F(WindowsFiles, CommitReplacesTheTargetAndLeavesNoPartialFile) {
    Write("station.ini", "old version, longer than the new one");
    AtomicFile file(Path("station.ini"));
    ASSERT_TRUE(file.Create()) << file.FailureText();
    EXPECT_EQ(file.PartialPath(), Path("station.ini") + ".partial");
    WriteThroughSecondOpening(file, "new");
    EXPECT_EQ(Read("station.ini"), "old version, longer than the new one");
    ASSERT_TRUE(file.Commit(3)) << file.FailureText();
    EXPECT_EQ(Read("station.ini"), "new");
    EXPECT_FALSE(Exists("station.ini.partial"));
}

TEST_F(WindowsFiles, CommitCreatesAMissingTarget) {
    AtomicFile file(Path("new.ini"));
    ASSERT_TRUE(file.Create()) << file.FailureText();
    WriteThroughSecondOpening(file, "[Application]\r\n");
    ASSERT_TRUE(file.Commit());
    EXPECT_EQ(Read("new.ini"), "[Application]\r\n");
}

TEST_F(WindowsFiles, ASecondWriterIsRefusedWhileTheFirstHoldsThePartialFile) {
    AtomicFile first(Path("station.ini"));
    ASSERT_TRUE(first.Create());
    WriteThroughSecondOpening(first, "first");
    {
        AtomicFile second(Path("station.ini"));
        EXPECT_FALSE(second.Create());
        EXPECT_EQ(second.GetFailure(), AtomicFile::Failure::kBusy);
        EXPECT_EQ(second.FailureText(), "another writer holds it");
    }
    // The refused writer emptied nothing: the first one's text is whole.
    ASSERT_TRUE(first.Commit(5)) << first.FailureText();
    EXPECT_EQ(Read("station.ini"), "first");
    AtomicFile third(Path("station.ini"));
    EXPECT_TRUE(third.Create()) << "the lock goes with the first writer";
}

TEST_F(WindowsFiles, AShortPartialFileIsNotCommitted) {
    Write("station.ini", "old");
    {
        AtomicFile file(Path("station.ini"));
        ASSERT_TRUE(file.Create());
        WriteThroughSecondOpening(file, "cut");
        EXPECT_FALSE(file.Commit(10));
        EXPECT_EQ(file.FailureText(), std::strerror(EIO));
        EXPECT_EQ(Read("station.ini"), "old");
        file.Discard();
    }
    // Windows removes a name that open handles share when the last of them closes: the
    // discarded partial file goes with the object.
    EXPECT_FALSE(Exists("station.ini.partial"));
}

TEST_F(WindowsFiles, ALeftOverPartialFileIsEmptiedForTheNextWriter) {
    Write("station.ini.partial", "left by a run that failed");
    AtomicFile file(Path("station.ini"));
    ASSERT_TRUE(file.Create());
    EXPECT_EQ(Read("station.ini.partial"), "");
}

TEST_F(WindowsFiles, TargetsThatAreRefused) {
    Write("read-only.ini", "kept");
    ASSERT_TRUE(SetFileAttributesA(Path("read-only.ini").c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(CreateDirectoryA(Path("folder.ini").c_str(), nullptr));
    const struct {
        const char* target;
        AtomicFile::Failure failure;
        const char* text;
    } cases[] = {
        {"read-only.ini", AtomicFile::Failure::kSystem, "Permission denied"},
        {"folder.ini", AtomicFile::Failure::kNotRegularFile, "not a regular file"},
        {"no-such-folder\\station.ini", AtomicFile::Failure::kSystem, "No such file or directory"},
    };
    for (const auto& row : cases) {
        AtomicFile file(Path(row.target));
        EXPECT_FALSE(file.Create()) << row.target;
        EXPECT_EQ(file.GetFailure(), row.failure) << row.target;
        EXPECT_EQ(file.FailureText(), row.text) << row.target;
    }
    EXPECT_EQ(Read("read-only.ini"), "kept");
    EXPECT_FALSE(Exists("read-only.ini.partial"));
}

TEST_F(WindowsFiles, StreamCalls) {
    Write("lines.ini", "[A]\r\nKey=1\r\nlast");
    std::FILE* file = file_stream::Open(Path("lines.ini").c_str(), file_stream::OpenMode::kUpdate);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file_stream::Size(file), 16);
    std::string line;
    EXPECT_EQ(file_stream::ReadThrough(file, '\n', line), 5u);
    EXPECT_EQ(line, "[A]\r\n");
    EXPECT_EQ(file_stream::Tell(file), 5);
    EXPECT_EQ(file_stream::ReadThrough(file, '\n', line), 7u);
    EXPECT_EQ(line, "Key=1\r\n");
    EXPECT_EQ(file_stream::ReadThrough(file, '\n', line), 4u);
    EXPECT_EQ(line, "last");
    EXPECT_EQ(file_stream::ReadThrough(file, '\n', line), 0u);
    EXPECT_EQ(line, "");
    EXPECT_FALSE(std::ferror(file));
    ASSERT_EQ(file_stream::Seek(file, -4, SEEK_END), 0);
    EXPECT_EQ(file_stream::NextByte(file), 'l');
    const std::optional<file_stream::Identity> before = file_stream::IdentityOf(file);
    ASSERT_TRUE(before);
    EXPECT_EQ(before->size, 16);
    ASSERT_EQ(std::fflush(file), 0);
    ASSERT_TRUE(file_stream::Truncate(file, 12));
    EXPECT_EQ(file_stream::Size(file), 12);
    const std::optional<file_stream::Identity> after = file_stream::IdentityOf(file);
    ASSERT_TRUE(after);
    EXPECT_NE(*after, *before) << "a cut file is another version";
    EXPECT_EQ(after->volume, before->volume);
    EXPECT_EQ(after->file, before->file);
    std::fclose(file);
    EXPECT_EQ(Read("lines.ini"), "[A]\r\nKey=1\r\n");
}

TEST_F(WindowsFiles, OpenModes) {
    EXPECT_EQ(file_stream::Open(Path("missing.ini").c_str(), file_stream::OpenMode::kRead),
              nullptr);
    EXPECT_EQ(file_stream::Open(Path("missing.ini").c_str(), file_stream::OpenMode::kUpdate),
              nullptr);
    EXPECT_FALSE(Exists("missing.ini"));
    std::FILE* created =
        file_stream::Open(Path("created.ini").c_str(), file_stream::OpenMode::kAppendNew);
    ASSERT_NE(created, nullptr);
    std::fclose(created);
    EXPECT_EQ(Read("created.ini"), "");
    // Binary: a line feed stays one byte, as on POSIX systems.
    std::FILE* file =
        file_stream::Open(Path("created.ini").c_str(), file_stream::OpenMode::kUpdate);
    ASSERT_NE(file, nullptr);
    std::fputs("a\nb", file);
    std::fclose(file);
    EXPECT_EQ(Read("created.ini"), "a\nb");
}

TEST_F(WindowsFiles, AUtf8PathNamesTheFileItSays) {
    const std::string name = Path("esta\xC3\xA7\xC3\xA3o.ini");  // "estação.ini"
    std::FILE* file = file_stream::Open(name.c_str(), file_stream::OpenMode::kAppendNew);
    ASSERT_NE(file, nullptr);
    std::fclose(file);
    EXPECT_NE(
        GetFileAttributesW(
            (std::wstring(L"files_AUtf8PathNamesTheFileItSays\\esta\u00e7\u00e3o.ini")).c_str()),
        INVALID_FILE_ATTRIBUTES);
}

}  // namespace
