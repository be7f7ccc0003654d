// forecourt-rc's script reader at the limits of the Windows binary forms: values that do not
// fit their 16-bit (or narrower) fields, counts past 65535 and resources defined twice are
// errors naming their line, never silently cut; values at the limits still compile.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/rc/compile_support.h"

namespace {

using rc_test::CompileText;

struct ErrorRow {
    const char* what;
    const char* script;
    const char* error;
};

TEST(RcLimits, ValuesBeyondTheirFieldsAreErrorsWithTheirLine) {
    const ErrorRow rows[] = {
        {"string id above 65535", "STRINGTABLE\nBEGIN\n  70000, \"x\"\nEND\n",
         "t.rc:3: string id 70000 is out of range 0..65535"},
        {"string id -1 (once taken for block 0)",
         "STRINGTABLE\nBEGIN\n  1, \"a\"\n  -1, \"x\"\nEND\n",
         "t.rc:4: string id -1 is out of range 0..65535"},
        {"dialog width above 32767", "1 DIALOGEX 0, 0, 70000, 10\nBEGIN\nEND\n",
         "t.rc:1: dialog width 70000 is out of range -32768..32767"},
        {"dialog height below -32768", "1 DIALOG 0, 0, 10,\n -40000\nBEGIN\nEND\n",
         "t.rc:2: dialog height -40000 is out of range -32768..32767"},
        {"dialog x of 65535 (not -1)", "1 DIALOGEX 65535, 0, 10, 10\nBEGIN\nEND\n",
         "t.rc:1: dialog x 65535 is out of range -32768..32767"},
        {"control width", "1 DIALOGEX 0, 0, 10, 10\nBEGIN\n  LTEXT \"a\", 1, 0, 0, 65536, 8\nEND\n",
         "t.rc:3: control width 65536 is out of range -32768..32767"},
        {"CONTROL position",
         "1 DIALOGEX 0, 0, 10, 10\nBEGIN\n  CONTROL \"\", 1, \"STATIC\", 0,\n    40000, 0, 1, "
         "1\nEND\n",
         "t.rc:4: control x 40000 is out of range -32768..32767"},
        {"control text ordinal", "1 DIALOGEX 0, 0, 10, 10\nBEGIN\n  ICON 70000, 1, 0, 0\nEND\n",
         "t.rc:3: control text ordinal 70000 is out of range 0..65535"},
        {"font size", "1 DIALOGEX 0, 0, 10, 10\nFONT 65536, \"Sans\"\nBEGIN\nEND\n",
         "t.rc:2: font size 65536 is out of range 0..65535"},
        {"font character set",
         "1 DIALOGEX 0, 0, 10, 10\nFONT 8, \"Sans\", 400, 0, 256\nBEGIN\nEND\n",
         "t.rc:2: character set 256 is out of range 0..255"},
        {"resource id", "70000 RCDATA\nBEGIN\nEND\n",
         "t.rc:1: resource id 70000 is out of range 0..65535"},
        {"resource id from a #define", "#define IDD_BIG 65536\nIDD_BIG RCDATA\nBEGIN\nEND\n",
         "t.rc:2: resource id 65536 is out of range 0..65535"},
        {"primary language", "LANGUAGE 0x400, 1\n",
         "t.rc:1: primary language 1024 is out of range 0..1023"},
        {"sublanguage", "LANGUAGE 9, 64\n", "t.rc:1: sublanguage 64 is out of range 0..63"},
        {"version part", "1 VERSIONINFO\nFILEVERSION 1, 70000, 0, 0\nBEGIN\nEND\n",
         "t.rc:2: version part 70000 is out of range 0..65535"},
        {"version word",
         "1 VERSIONINFO\nBEGIN\n BLOCK \"VarFileInfo\"\n BEGIN\n  VALUE \"Translation\", 0x10409\n "
         "END\nEND\n",
         "t.rc:5: version word 66569 is out of range 0..65535"},
        {"number wider than 32 bits", "1 RCDATA\nBEGIN\n  4294967296\nEND\n",
         "t.rc:3: number does not fit in 32 bits"},
        {"number of twenty digits", "99999999999999999999 RCDATA\nBEGIN\nEND\n",
         "t.rc:1: number does not fit in 32 bits"},
        {"the same RCDATA twice", "1 RCDATA\nBEGIN 1 END\n\n1 RCDATA\nBEGIN 2 END\n",
         "t.rc:4: RCDATA 1 of language 0x0409 is defined twice (first at line 1)"},
        {"the same named dialog twice (names are upper-cased)",
         "about DIALOGEX 0, 0, 1, 1\nBEGIN\nEND\nABOUT DIALOG 0, 0, 1, 1\nBEGIN\nEND\n",
         "t.rc:4: DIALOG ABOUT of language 0x0409 is defined twice (first at line 1)"},
        {"the same id twice after a LANGUAGE",
         "LANGUAGE 0x16, 1\n7 RCDATA BEGIN END\n7 RCDATA BEGIN END\n",
         "t.rc:3: RCDATA 7 of language 0x0416 is defined twice (first at line 2)"},
        {"a string defined twice", "STRINGTABLE\nBEGIN\n  5, \"a\"\n  5, \"b\"\nEND\n",
         "t.rc:4: string 5 defined twice"},
    };
    for (const ErrorRow& row : rows) {
        test_support::TempFolder folder("rc_limits");
        EXPECT_EQ(CompileText(folder, row.script).error, row.error) << row.what;
    }
}

struct AcceptedRow {
    const char* what;
    const char* script;
    std::uint16_t type;
    std::uint16_t name;
    std::uint16_t language;
    std::size_t size;
};

TEST(RcLimits, ValuesAtTheLimitsCompile) {
    const AcceptedRow rows[] = {
        // Sixteen length words and the one unit of string 65535, the last of block 4096.
        {"string id 65535", "STRINGTABLE\nBEGIN\n  65535, \"x\"\nEND\n", 6, 4096, 0x0409, 34},
        {"string id 0", "STRINGTABLE\nBEGIN\n  0, \"x\"\nEND\n", 6, 1, 0x0409, 34},
        {"dialog at -32768 sized 32767", "1 DIALOGEX -32768, 0, 32767, 1\nBEGIN\nEND\n", 5, 1,
         0x0409, 32},
        {"resource id 65535", "65535 RCDATA\nBEGIN\n  1\nEND\n", 10, 65535, 0x0409, 2},
        {"the widest language", "LANGUAGE 0x3FF, 0x3F\n1 RCDATA\nBEGIN\nEND\n", 10, 1, 0xFFFF, 0},
        {"255 nested parentheses", nullptr, 10, 1, 0x0409, 2},
    };
    for (const AcceptedRow& row : rows) {
        test_support::TempFolder folder("rc_limits");
        const std::string script = row.script != nullptr
                                       ? row.script
                                       : "1 RCDATA\nBEGIN\n" + std::string(255, '(') + "1" +
                                             std::string(255, ')') + "\nEND\n";
        const rc_test::Compiled compiled = CompileText(folder, script);
        ASSERT_EQ(compiled.error, "") << row.what;
        ASSERT_EQ(compiled.result.resources.size(), 1u) << row.what;
        const rc::Resource& r = compiled.result.resources[0];
        EXPECT_EQ(r.type.id, row.type) << row.what;
        EXPECT_EQ(r.name.id, row.name) << row.what;
        EXPECT_EQ(r.language, row.language) << row.what;
        EXPECT_EQ(r.data.size(), row.size) << row.what;
    }
}

TEST(RcLimits, OneNameInTwoLanguagesIsTwoResources) {
    test_support::TempFolder folder("rc_limits");
    const rc_test::Compiled compiled =
        CompileText(folder, "1 RCDATA BEGIN END\nLANGUAGE 0x16, 1\n1 RCDATA BEGIN END\n");
    ASSERT_EQ(compiled.error, "");
    ASSERT_EQ(compiled.result.resources.size(), 2u);
    EXPECT_EQ(compiled.result.resources[0].language, 0x0409);
    EXPECT_EQ(compiled.result.resources[1].language, 0x0416);
}

// A dialog script whose body has `controls` one-line controls, from line 3.
std::string DialogWithControls(std::size_t controls) {
    std::string script = "1 DIALOGEX 0, 0, 10, 10\nBEGIN\n";
    for (std::size_t i = 0; i < controls; ++i)
        script += "LTEXT \"\", 1, 0, 0\n";
    return script + "END\n";
}

TEST(RcLimits, ADialogHoldsAtMost65535Controls) {
    test_support::TempFolder folder("rc_limits");
    const rc_test::Compiled full = CompileText(folder, DialogWithControls(65535));
    ASSERT_EQ(full.error, "");
    ASSERT_EQ(full.result.resources.size(), 1u);
    // cDlgItems follows dlgVer, signature, helpID, exStyle and style.
    EXPECT_EQ(full.result.resources[0].data[16], 0xFF);
    EXPECT_EQ(full.result.resources[0].data[17], 0xFF);

    // Once written as 4,464 (70,000 cut to 16 bits).
    EXPECT_EQ(CompileText(folder, DialogWithControls(70000)).error,
              "t.rc:65538: a dialog holds at most 65535 controls");
}

// An icon file of `images` directory entries, each an empty image at the end of the file.
std::string IconFile(std::uint32_t images) {
    const std::uint32_t end = 6 + 16 * images;
    std::string file = {
        0, 0, 1, 0, static_cast<char>(images & 0xFF), static_cast<char>(images >> 8)};
    for (std::uint32_t i = 0; i < images; ++i) {
        const char entry[16] = {16,
                                16,
                                0,
                                0,
                                1,
                                0,
                                32,
                                0,
                                0,
                                0,
                                0,
                                0,
                                static_cast<char>(end & 0xFF),
                                static_cast<char>((end >> 8) & 0xFF),
                                static_cast<char>(end >> 16),
                                0};
        file.append(entry, sizeof entry);
    }
    return file;
}

TEST(RcLimits, IconImageIdsStopAt65535) {
    test_support::TempFolder folder("rc_limits");
    rc_test::WriteFile(folder.File("many.ico"), IconFile(65535));
    rc_test::WriteFile(folder.File("one.ico"), IconFile(1));

    const rc_test::Compiled full = CompileText(folder, "1 ICON \"many.ico\"\n");
    ASSERT_EQ(full.error, "");
    ASSERT_EQ(full.result.resources.size(), 65536u);  // the images and their group
    EXPECT_EQ(full.result.resources[65534].type.id, 3);
    EXPECT_EQ(full.result.resources[65534].name.id, 65535);
    const std::vector<unsigned char>& group = full.result.resources[65535].data;
    ASSERT_EQ(group.size(), 6u + 14u * 65535u);
    EXPECT_EQ(group[group.size() - 2], 0xFF);  // the last entry's image id
    EXPECT_EQ(group[group.size() - 1], 0xFF);

    // Once the next image became RT_ICON 0, then 1 again.
    EXPECT_EQ(CompileText(folder, "1 ICON \"many.ico\"\n\n2 ICON \"one.ico\"\n").error,
              "t.rc:3: one.ico: more than 65535 icon images in the script");
}

TEST(RcLimits, DeepNestingIsAnErrorNotAStackOverflow) {
    const struct {
        const char* what;
        std::string script;
        const char* error;
    } rows[] = {
        {"a million ~", "1 RCDATA\nBEGIN\n" + std::string(1000000, '~') + "1\nEND\n",
         "t.rc:3: expression nested more than 256 levels deep"},
        {"a million (", "1 RCDATA\nBEGIN\n" + std::string(1000000, '(') + "1\nEND\n",
         "t.rc:3: expression nested more than 256 levels deep"},
        {"100,000 unary -", "1 DIALOGEX 0, 0, " + std::string(100000, '-') + "1, 1\nBEGIN\nEND\n",
         "t.rc:1: expression nested more than 256 levels deep"},
        {"a style of NOT and 100,000 ~",
         "1 DIALOGEX 0, 0, 1, 1\nSTYLE NOT " + std::string(100000, '~') + "1\nBEGIN\nEND\n",
         "t.rc:2: expression nested more than 256 levels deep"},
        {"256 nested parentheses",
         "1 RCDATA\nBEGIN\n" + std::string(256, '(') + "1" + std::string(256, ')') + "\nEND\n",
         "t.rc:3: expression nested more than 256 levels deep"},
    };
    for (const auto& row : rows) {
        test_support::TempFolder folder("rc_limits");
        EXPECT_EQ(CompileText(folder, row.script).error, row.error) << row.what;
    }

    std::string blocks = "1 VERSIONINFO\nBEGIN\n";
    for (int i = 0; i < 100000; ++i)
        blocks += "BLOCK \"b\" BEGIN\n";
    test_support::TempFolder folder("rc_limits");
    EXPECT_EQ(CompileText(folder, blocks).error,
              "t.rc:259: BLOCK nested more than 256 levels deep");
}

TEST(RcLimits, VersionInformationLongerThan65535BytesIsAnError) {
    test_support::TempFolder folder("rc_limits");
    const std::string script =
        "1 VERSIONINFO\nBEGIN\n BLOCK \"StringFileInfo\"\n BEGIN\n"
        "  VALUE \"Comments\", \"" +
        std::string(40000, 'x') + "\"\n END\nEND\n";
    EXPECT_EQ(CompileText(folder, script).error,
              "t.rc:1: version information \"Comments\" is longer than 65535 bytes");
}

}  // namespace
