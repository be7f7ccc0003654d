// CHECK, IMPORT and VERIFY on files a careless or hostile user hands them: a file whose reads
// fail, a path swapped for a FIFO while they run, lines ended by CR alone, NUL bytes inside
// lines, names megabytes long and sections of a great many keys.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "tests/transfer/import_harness.h"
#include "transfer/check.h"
#include "transfer/export.h"
#include "transfer/verify.h"

namespace {

using import_test::ImportTest;
using import_test::Present;

// Every read of this file fails with EIO: its offset is an address, and address 0 is never
// mapped. It is a regular file that opens for update, so every test of the path passes.
constexpr char kUnreadable[] = "/proc/self/mem";

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class FileFaultsTest : public ImportTest {
  protected:
    std::string Check(const std::string& path) {
        ResetImportedRecords();
        return test_support::CaptureStdout([&] { checked = CheckConfiguration(path.c_str()); });
    }
    std::string CheckText(const std::string& text) {
        std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
        return Check(file.string());
    }

    std::int32_t checked = 99;
};

TEST_F(FileFaultsTest, AFailedReadEndsEachCommandWithItsReasonAndNothingIsImported) {
    const std::string line =
        std::string("Cannot read the file ") + kUnreadable + " - Input/output error.\n";
    EXPECT_EQ(Check(kUnreadable), line);
    EXPECT_EQ(checked, -1);

    EXPECT_EQ(ImportFile(kUnreadable), line);
    EXPECT_EQ(result, -1);
    EXPECT_TRUE(Setters().empty());

    std::int32_t verified = 99;
    const std::string output =
        test_support::CaptureStdout([&] { verified = VerifyConfiguration(kUnreadable); });
    EXPECT_TRUE(output.ends_with(line)) << output;
    EXPECT_FALSE(Contains(output, "only in the controller")) << output;
    EXPECT_EQ(verified, -1);
}

// The probe's file: "[Pump01]" CR "Number=1" CR ..., as an old editor saves it.
TEST_F(FileFaultsTest, AFileWithCarriageReturnLineEndsIsReadLineByLine) {
    const std::string crFile = "[Pump01]\rNumber=1\rName=Bombas\rHose1ID=0\r";
    const std::string asCrLf = CheckText("[Pump01]\r\nNumber=1\r\nName=Bombas\r\nHose1ID=0\r\n");
    EXPECT_EQ(CheckText(crFile), asCrLf);
    EXPECT_TRUE(Contains(asCrLf, "  1 pumps imported successfully.\n")) << asCrLf;
    EXPECT_EQ(checked, 0);

    EXPECT_TRUE(Contains(Import(crFile), "  1 pumps imported successfully.\n"));
    EXPECT_EQ(result, 0);
    ASSERT_EQ(IdsSetBy("SetPumpPropertiesEx"), std::vector<std::int32_t>{1});
}

TEST_F(FileFaultsTest, ACarriageReturnInsideALineOfACrLfFileStaysInTheValue) {
    // What an older export wrote for a name holding a CR: still one line, one value.
    const std::string text = "[Pump01]\r\nNumber=1\r\nName=Bomb\ras\r\nHose1ID=0\r\n";
    Import(text);
    const std::vector<kestro::RecordedCall> setters = Setters();
    ASSERT_EQ(setters.size(), 1U);
    EXPECT_EQ(std::get<std::u16string>(setters[0].values.at(2)), u"Bomb\ras");
}

TEST_F(FileFaultsTest, NulBytesAreFindingsWithTheirLines) {
    using namespace std::string_literals;
    const std::string output =
        CheckText("[Pump01]\r\nNumber=1\r\nName=Bombas\0ilha 1\r\nHose1ID=0\r\n"s);
    EXPECT_TRUE(Contains(output,
                         "  [Pump01] Name (line 3): the line holds a NUL byte, and is "
                         "read only up to it (as \"Bombas\").\n"))
        << output;
    EXPECT_EQ(checked, 1);

    const std::string mostlyNul =
        CheckText(std::string(4096, '\0') + "\n" + std::string(100, '\0'));
    EXPECT_FALSE(Contains(mostlyNul, "No findings")) << mostlyNul;
    EXPECT_TRUE(Contains(mostlyNul,
                         "  Line 1: the line holds a NUL byte, and nothing after it "
                         "is read.\n  Line 2: the line holds a NUL byte"))
        << mostlyNul;
    EXPECT_EQ(checked, 1);

    const std::string inHeader = CheckText("[Pump01\0]\r\nNumber=1\r\n"s);
    EXPECT_TRUE(Contains(inHeader,
                         "  [Pump01 (line 1): the line holds a NUL byte, and nothing "
                         "after it is read.\n"))
        << inHeader;
}

TEST_F(FileFaultsTest, ANameMegabytesLongGetsNoSuggestionAndTakesLittleMemory) {
    struct rlimit limit {};
    getrlimit(RLIMIT_AS, &limit);
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer reserves more address space than the limit";
#endif
    const std::string name(10 * 1024 * 1024, 'P');
    const std::string text =
        "[" + name + "]\r\nNumber=1\r\n[Pump01]\r\nNumber=1\r\n" + name + "=1\r\nHose1ID=0\r\n";
    std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
    // In a child under 600 MB of address space: the edit distances once took a gigabyte.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const struct rlimit cap { 600UL << 20, limit.rlim_max };
        setrlimit(RLIMIT_AS, &cap);
        const int out = open((folder / "out.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(out, 1);
        ResetImportedRecords();
        const std::int32_t code = CheckConfiguration(file.c_str());
        std::fflush(stdout);
        _exit(code == 1 ? 0 : 2);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "CHECK died of signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    std::ifstream in(folder / "out.txt", std::ios::binary);
    const std::string output((std::istreambuf_iterator<char>(in)),
                             std::istreambuf_iterator<char>());
    EXPECT_TRUE(Contains(output, "P] (line 1): no kind reads this section.\n"));
    EXPECT_TRUE(Contains(output, "P (line 5): no kind reads this key.\n"));
    EXPECT_FALSE(Contains(output, "did you mean"));
}

TEST_F(FileFaultsTest, CheckAndVerifyNeverWaitForAFifoSwappedInWhileTheyRun) {
    const std::filesystem::path regular = folder / "regular.ini";
    const std::filesystem::path fifo = folder / "fifo.ini";
    std::ofstream(regular, std::ios::binary) << Present("Pump01");
    // Checks and verifies over and over in a child while the path changes between a regular
    // file and a FIFO without a writer; an open that waits for a writer never returns.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const int out = open((folder / "out.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(out, 1);
        // For a second and a half, so that the path changes under every step of them.
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
        while (std::chrono::steady_clock::now() < end) {
            ResetImportedRecords();
            CheckConfiguration(file.c_str());
            VerifyConfiguration(file.c_str());
        }
        _exit(0);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    int status = 0;
    pid_t done = 0;
    for (int swap = 0; done == 0 && std::chrono::steady_clock::now() < deadline; ++swap) {
        if (swap % 2 == 0) {
            std::filesystem::copy_file(regular, folder / "next.ini",
                                       std::filesystem::copy_options::overwrite_existing);
            std::filesystem::rename(folder / "next.ini", file);
        } else {
            mkfifo(fifo.c_str(), 0600);
            std::filesystem::rename(fifo, file);
        }
        done = waitpid(child, &status, WNOHANG);
    }
    if (done == 0) {
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
        FAIL() << "CHECK or VERIFY blocked on the FIFO";
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

}  // namespace
