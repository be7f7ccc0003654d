// Tests of IniDocument's reading side: line syntax, section and key matching, value
// conversion, long and CR-only lines, missing and unreadable files, and the header index
// staying true to the file after writes and outside changes.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "ini/ini_document.h"
#include "ini_test_support.h"

namespace {

struct ReadCase {
    const char* section;
    const char* key;
    const char* value;
};

class IniReaderTest : public IniFileTest {};

TEST_F(IniReaderTest, ReadsKeysAsTheLineSyntaxSays) {
    const std::string path = Write("cases.ini", DataFile("reader_cases.ini"));
    const ReadCase cases[] = {
        {"Limits", "Limit", "150.5"},  // not taken for LimitType on the line before
        {"Limits", "LimitType", "2"},
        {"Limits", "limit", "150.5"},         // keys ignore case
        {"LIMITS", "LIMIT", "150.5"},         // so do sections
        {"Limits", "Lim", ""},                // a prefix of a key is no match
        {"Limits", "Later", ""},              // only in the second [limits]: never read
        {"Limits", "Key", ""},                // the section ends at the next header
        {"Names", "Quoted", "Hello, World"},  // one pair of quotes removed
        {"Names", "Inner", "a \"b\" c"},      // inner quotes stay
        {"Names", "Lone", ""},                // a single quote character becomes empty
        {"Names", "Half", "\"open"},          // not enclosed: kept
        {"Names", "Trailing", "value"},       // trailing blanks and CR LF dropped
        {"Names", "Spaced", "X"},             // 'Spaced   =   X  '
        {"Names", "NoEquals", "X"},           // 'NoEquals X'
        {"Names", "Empty", ""},
        {"Names", "Dup", "first"},  // first of two lines wins
        {"Names", "Comment", ""},   // no comment syntax: ';Comment' is its own key
        {"Names", ";Comment", "1"},
        {"Names", "Tabbed", ""},  // a tab is not a blank
        {"Names", "\tTabbed", "3"},
        {"Names", "Indented", "4"},
        {"Names", "TwoEquals", "=5"},  // one "=" is skipped, not two
        {"Header", "Key", "h"},        // indented header with text after "]"
        {"Pump1", "Number", "1"},
        {"Pump01", "Number", ""},  // [Pump1] is not Pump01
        {"Last", "Tail", "end"},
        {"Missing", "Tail", ""},
    };
    IniDocument document(path.c_str(), true);
    for (int pass = 0; pass < 2; ++pass) {  // the second pass runs on the built index
        for (const ReadCase& c : cases) {
            document.SelectSection(c.section);
            CounterString value;
            const int length = document.GetString(c.key, value);
            EXPECT_EQ(Narrow(value), c.value) << c.section << "/" << c.key;
            EXPECT_EQ(length, value.Length()) << c.section << "/" << c.key;
        }
    }
}

TEST_F(IniReaderTest, ConvertsNumbersAndAmounts) {
    const std::string path = Write("cases.ini", DataFile("reader_cases.ini"));
    IniDocument document(path.c_str(), true);
    document.SelectSection("Limits");
    EXPECT_EQ(document.GetInt("LimitType"), 2);
    EXPECT_EQ(document.GetInt("Count"), 1250);
    EXPECT_EQ(document.GetFixed("Limit").Count(), 1505000);
    EXPECT_EQ(document.GetFixed("Price").Count(), 12346);   // 1.23456 -> 1.2346
    EXPECT_EQ(document.GetFixed("Price2").Count(), 20001);  // 2.00005 -> 2.0001
    EXPECT_EQ(document.GetFixed("Absent").Count(), 0);
    document.SelectSection("Pump01");
    EXPECT_EQ(document.GetInt("Number"), 0);
}

TEST_F(IniReaderTest, MissingSectionClosesTheFileAndKeepOpenDecidesTheRest) {
    const std::string path = Write("cases.ini", DataFile("reader_cases.ini"));
    IniDocument kept(path.c_str(), true);
    CounterString value;
    kept.SelectSection("Limits");
    kept.GetString("Limit", value);
    EXPECT_TRUE(kept.IsOpen());
    kept.SelectSection("Nowhere");
    EXPECT_EQ(kept.GetString("Limit", value), 0);
    EXPECT_FALSE(kept.IsOpen());
    kept.SelectSection("Limits");
    EXPECT_EQ(kept.GetInt("LimitType"), 2);  // reopened, positions still right

    IniDocument readOnly(path.c_str(), false);
    readOnly.SelectSection("Names");
    EXPECT_EQ(readOnly.GetString("Dup", value), 5);
    EXPECT_FALSE(readOnly.IsOpen());
    EXPECT_EQ(Narrow(value), "first");
}

TEST_F(IniReaderTest, FindSectionAndFindKeyPositionTheFile) {
    const std::string path = Write("cases.ini", DataFile("reader_cases.ini"));
    IniDocument document(path.c_str(), true);
    EXPECT_FALSE(document.FindSection(CounterString("")));
    EXPECT_FALSE(document.IsOpen());  // an empty name touches no file
    ASSERT_TRUE(document.FindSection(CounterString("names")));
    ASSERT_TRUE(document.FindKey("Spaced"));
    EXPECT_STREQ(document.CurrentValue(), "X");
    EXPECT_TRUE(document.FindKey("Empty"));  // searches on from the position
    EXPECT_FALSE(document.FindKey("Quoted"));
    EXPECT_FALSE(document.FindKey(""));
    EXPECT_FALSE(document.FindSection(CounterString("Pump01")));
    EXPECT_TRUE(document.IsOpen());
}

TEST_F(IniReaderTest, LongLinesAreReadWholeAndHideNoKeyOrSection) {
    // Each line is longer than the 1,023 bytes that were once read as one piece; a key or a
    // header placed at such a boundary must stay part of its line's value.
    const std::string longValue(5000, 'a');
    std::string bytes = "\r\n[Long]\r\nLong=" + longValue + "\r\n";
    bytes += "Pad=" + std::string(1019, 'p') + "Hidden=7\r\n";
    bytes += "Cut=" + std::string(1019, 'c') + "[Secret]\r\nInside=yes\r\n";
    bytes += "Name=" + std::string(1018, 'n') + "Number=5\r\n";
    const std::string path = Write("long.ini", bytes);
    IniDocument document(path.c_str(), true);
    CounterString value;
    document.SelectSection("Long");
    EXPECT_EQ(document.GetString("Long", value), 5000);
    EXPECT_EQ(Narrow(value), longValue);
    EXPECT_EQ(document.GetInt("Hidden"), 0);
    EXPECT_EQ(document.GetInt("Number"), 0);
    EXPECT_EQ(document.GetString("Pad", value), 1019 + 8);
    document.SelectSection("Secret");
    EXPECT_EQ(document.GetString("Inside", value), 0);
    EXPECT_FALSE(document.FindSection(CounterString("Secret")));
}

TEST_F(IniReaderTest, AByteOrderMarkAtTheStartHidesNoSection) {
    const std::string bom = "\xEF\xBB\xBF";
    struct Row {
        const char* what;
        std::string bytes;
        int expected;
    } rows[] = {
        {"header on the first line", bom + "[Port01]\r\nNumber=1\r\n", 1},
        {"indented header", bom + "  [Port01]\r\nNumber=2\r\n", 2},
        {"empty first line", bom + "\r\n[Port01]\r\nNumber=3\r\n", 3},
        // Only the very start of the file is a byte-order mark's place.
        {"mark inside the file", "\r\n" + bom + "[Port01]\r\nNumber=4\r\n", 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const std::string path = Write("bom.ini", row.bytes);
        IniDocument document(path.c_str(), true);
        document.SelectSection("Port01");
        EXPECT_EQ(document.GetInt("Number"), row.expected);
    }
}

TEST_F(IniReaderTest, CarriageReturnAloneEndsNoLineOfAFileWithLineFeeds) {
    const std::string path = Write("cr.ini", "[A]\rKey=1\r[B]\rK=2\r\n");
    IniDocument document(path.c_str(), true);
    CounterString value;
    document.SelectSection("A");  // found: the file's first line starts with "[A]"
    EXPECT_TRUE(document.FindSection(CounterString("A")));
    EXPECT_EQ(document.GetString("Key", value), 0);
    document.SelectSection("B");
    EXPECT_FALSE(document.FindSection(CounterString("B")));
    EXPECT_EQ(document.GetString("K", value), 0);
}

TEST_F(IniReaderTest, CrLfEndsAreKeptOutOfValuesAndLastLineNeedsNoEnd) {
    const std::string path = Write("ends.ini", "[S]\nUnix=1\r\nDos=2\r\nLast=3");
    IniDocument document(path.c_str(), true);
    document.SelectSection("S");
    EXPECT_EQ(document.GetInt("Unix"), 1);
    EXPECT_EQ(document.GetInt("Dos"), 2);
    EXPECT_EQ(document.GetInt("Last"), 3);
}

TEST_F(IniReaderTest, MissingFileIsCreatedEmptyOnlyWithKeepOpen) {
    const std::string kept = PathOf("kept.ini");
    IniDocument document(kept.c_str(), true);
    document.SelectSection("Any");
    CounterString value;
    EXPECT_EQ(document.GetString("Key", value), 0);
    ASSERT_TRUE(std::filesystem::exists(kept));
    EXPECT_EQ(std::filesystem::file_size(kept), 0u);

    const std::string readOnly = PathOf("read_only.ini");
    IniDocument other(readOnly.c_str(), false);
    other.SelectSection("Any");
    EXPECT_EQ(other.GetString("Key", value), 0);
    EXPECT_FALSE(std::filesystem::exists(readOnly));
}

TEST_F(IniReaderTest, UnreadableFileBehavesAsEmpty) {
    std::filesystem::create_directory(PathOf("a_directory.ini"));
    const std::string path = PathOf("a_directory.ini");
    for (bool keepOpen : {true, false}) {
        IniDocument document(path.c_str(), keepOpen);
        document.SelectSection("Any");
        CounterString value("sentinel");
        EXPECT_EQ(document.GetString("Key", value), 0) << keepOpen;
        EXPECT_EQ(Narrow(value), "");
        EXPECT_EQ(document.GetInt("Key"), 0);
#ifdef _WIN32
        // Windows opens no folder as a file (CreateFile needs FILE_FLAG_BACKUP_SEMANTICS for
        // one): "cannot be opened" either way.
        EXPECT_EQ(document.SetValue("Key", CounterString("1")), 0);
#else
        // glibc opens a folder for reading (not for update): the write then fails.
        EXPECT_EQ(document.SetValue("Key", CounterString("1")), keepOpen ? 0 : -1);
#endif
    }
    IniDocument nameless(nullptr, true);
    nameless.SelectSection("Any");
    EXPECT_EQ(nameless.GetInt("Key"), 0);
    EXPECT_FALSE(std::filesystem::exists(PathOf("<null>")));
}

TEST_F(IniReaderTest, SectionNamesOfAnyLengthAreSafe) {
    const std::string longName(300, 'S');
    const std::string hugeName(5000, 'H');
    const std::string bytes = "\r\n[" + longName + "]\r\nKey=long\r\n[a]b]\r\nKey=bracket\r\n";
    const std::string path = Write("names.ini", bytes);
    IniDocument document(path.c_str(), true);
    CounterString value;
    document.SelectSection(longName.c_str());
    EXPECT_EQ(document.GetString("Key", value), 4);
    document.SelectSection(hugeName.c_str());
    EXPECT_EQ(document.GetString("Key", value), 0);
    document.SelectSection("a]b");  // "[a]b]" begins with "[a]b]"...
    EXPECT_EQ(document.GetString("Key", value), 7);
    document.SelectSection("A");  // ...and with "[a]"
    EXPECT_EQ(document.GetString("Key", value), 7);
}

TEST_F(IniReaderTest, PositionsFollowTheDocumentsOwnWrites) {
    const std::string path =
        Write("three.ini", "\r\n[A]\r\nKey=a\r\n\r\n[B]\r\nKey=b\r\n\r\n[C]\r\nKey=c\r\n");
    IniDocument document(path.c_str(), true);
    document.SelectSection("C");
    EXPECT_EQ(document.GetInt("Key"), 0);  // "c" is not a number; builds the index
    document.SelectSection("A");
    ASSERT_EQ(document.SetValue("Key", CounterString("a much longer value")), 19);
    document.SelectSection("C");
    CounterString value;
    document.GetString("Key", value);
    EXPECT_EQ(Narrow(value), "c");
    document.SelectSection("A");
    document.GetString("Key", value);
    EXPECT_EQ(Narrow(value), "a much longer value");
}

TEST_F(IniReaderTest, AFileChangedBetweenOpensIsReadAfresh) {
    const std::string path = Write("changing.ini", "\r\n[A]\r\nKey=1\r\n\r\n[B]\r\nKey=2\r\n");
    IniDocument document(path.c_str(), false);  // closed after every read
    document.SelectSection("B");
    EXPECT_EQ(document.GetInt("Key"), 2);
    Write("changing.ini", "\r\n[Inserted]\r\nKey=0\r\n\r\n[B]\r\nKey=22\r\n\r\n[A]\r\nKey=11\r\n");
    document.SelectSection("A");
    EXPECT_EQ(document.GetInt("Key"), 11);
    Write("changing.ini", "\r\n[A]\r\nKey=111\r\n");
    EXPECT_EQ(document.GetInt("Key"), 111);  // the remembered position of A is stale too
}

TEST_F(IniReaderTest, ReadsBackWhatItJustWrote) {
    const std::string path = PathOf("fresh.ini");
    IniDocument document(path.c_str(), true);
    document.SelectSection("A");
    document.WriteKey("First", CounterString("1"));
    document.WriteKey("Second", CounterString("2"));
    EXPECT_EQ(document.GetInt("Second"), 2);
    EXPECT_EQ(document.GetInt("First"), 1);
}

}  // namespace
