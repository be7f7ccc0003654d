// What forecourt-rc reads: a header or script that includes itself, directly or through
// another, is an error naming the chain of files; only regular files are read, so a FIFO or
// a device named by a script (or given as the script) fails at once instead of blocking or
// reading for ever.
#include <gtest/gtest.h>

#include <string>

#include "tests/rc/compile_support.h"

namespace {

using rc_test::CompileFile;
using rc_test::CompileText;
using rc_test::WriteFile;

TEST(RcInputs, RecursiveIncludesAreErrorsNamingTheChain) {
    const struct {
        const char* what;
        const char* header_a;  // a.h
        const char* header_b;  // b.h
        const char* script;    // t.rc
        const char* error;
    } rows[] = {
        {"a header that includes itself", "#include \"a.h\"\n", "", "#include \"a.h\"\n",
         "a.h:1: recursive #include: t.rc -> a.h -> a.h"},
        {"two headers that include each other", "#define A 1\n#include \"b.h\"\n",
         "\n\n#include \"a.h\"\n", "#include \"a.h\"\n",
         "b.h:3: recursive #include: t.rc -> a.h -> b.h -> a.h"},
        {"a header that includes the script", "#include \"t.rc\"\n", "",
         "1 RCDATA BEGIN END\n#include \"a.h\"\n",
         "a.h:1: recursive #include: t.rc -> a.h -> t.rc"},
        {"the script that includes itself", "", "", "#include \"t.rc\"\n",
         "t.rc:1: recursive #include: t.rc -> t.rc"},
        {"a header reached by another spelling", "#include \"./sub/../a.h\"\n", "",
         "#include \"a.h\"\n", "a.h:1: recursive #include: t.rc -> a.h -> a.h"},
    };
    for (const auto& row : rows) {
        test_support::TempFolder folder("rc_inputs");
        std::filesystem::create_directory(folder.File("sub"));
        WriteFile(folder.File("a.h"), row.header_a);
        WriteFile(folder.File("b.h"), row.header_b);
        EXPECT_EQ(CompileText(folder, row.script).error, row.error) << row.what;
    }
}

TEST(RcInputs, AHeaderIncludedTwiceOneAfterTheOtherIsRead) {
    test_support::TempFolder folder("rc_inputs");
    WriteFile(folder.File("ids.h"), "#define IDD_MAIN 100\n");
    const rc_test::Compiled compiled =
        CompileText(folder, "#include \"ids.h\"\n#include \"ids.h\"\nIDD_MAIN RCDATA BEGIN END\n");
    ASSERT_EQ(compiled.error, "");
    ASSERT_EQ(compiled.result.resources.size(), 1u);
    EXPECT_EQ(compiled.result.resources[0].name.id, 100);
}

TEST(RcInputs, IncludesNestMoreThan200DeepAreAnError) {
    test_support::TempFolder folder("rc_inputs");
    for (int i = 0; i < 250; ++i) {
        WriteFile(folder.File("h" + std::to_string(i) + ".h"),
                  "#include \"h" + std::to_string(i + 1) + ".h\"\n");
    }
    const std::string error = CompileText(folder, "#include \"h0.h\"\n").error;
    const std::string start = "h198.h:1: #include nested more than 200 deep: t.rc -> h0.h -> h1.h";
    EXPECT_EQ(error.substr(0, start.size()), start);
    const std::string end = " -> h197.h -> h198.h -> h199.h";
    ASSERT_GT(error.size(), end.size());
    EXPECT_EQ(error.substr(error.size() - end.size()), end);
}

// The special files a script may name: made in the test's folder, never the system's /dev.
struct SpecialFile {
    const char* what;
    bool (*make)(const std::string& path);
    const char* why;
};

const SpecialFile kSpecialFiles[] = {
    {"FIFO", rc_test::MakeFifo, "not a regular file"},
    {"endless character device", rc_test::MakeEndlessDevice, "not a regular file"},
    {"folder", [](const std::string& path) { return std::filesystem::create_directory(path); },
     "Is a directory"},
};

TEST(RcInputs, OnlyRegularFilesAreRead) {
    std::string notMade;
    for (const SpecialFile& special : kSpecialFiles) {
        test_support::TempFolder folder("rc_inputs");
        const std::string node = folder.File("node");
        if (!special.make(node)) {
            notMade += std::string(" ") + special.what;
            continue;
        }
        const std::string refused = "cannot read " + node + ": " + special.why;
        const struct {
            const char* statement;
            std::string script;
        } uses[] = {
            {"RCDATA", "\n1 RCDATA \"" + node + "\"\n"},
            {"BITMAP", "\n1 BITMAP \"" + node + "\"\n"},
            {"ICON", "\n1 ICON \"" + node + "\"\n"},
            {"#include", "\n#include \"" + node + "\"\n"},
        };
        for (const auto& use : uses) {
            EXPECT_EQ(CompileText(folder, use.script).error, "t.rc:2: " + refused)
                << use.statement << " of a " << special.what;
        }
        EXPECT_EQ(CompileFile(node).error, refused) << special.what << " as the script";
    }
    if (!notMade.empty())
        GTEST_SKIP() << "this user cannot make:" << notMade;
}

}  // namespace

namespace {

TEST(RcInputs, HeaderDefinesAreThirtyTwoBitNames) {
    test_support::TempFolder folder("rc_inputs");
    WriteFile(folder.File("ids.h"),
              "#define IDC_ALL -1\n#define IDC_WIDE 0x100000000\n#define GUARD_H\n");
    const rc_test::Compiled negative =
        CompileText(folder, "#include \"ids.h\"\n1 RCDATA\nBEGIN\n  IDC_ALL & 0x1234\nEND\n");
    ASSERT_EQ(negative.error, "");
    ASSERT_EQ(negative.result.resources.size(), 1u);
    EXPECT_EQ(negative.result.resources[0].data, (std::vector<unsigned char>{0x34, 0x12}));

    EXPECT_EQ(CompileText(folder, "#include \"ids.h\"\n1 RCDATA\nBEGIN\n  IDC_WIDE\nEND\n").error,
              "t.rc:4: unknown name IDC_WIDE");
}

}  // namespace
