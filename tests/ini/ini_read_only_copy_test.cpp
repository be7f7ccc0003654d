// Tests of IniDocument's read-only copy: every read gives what the same read of the file
// kept open gives (the files of the INI tests, the fuzz targets' kept inputs, and files with
// each oddity of the line syntax), the copy is taken once, and writes fail without touching
// the file.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "ini/ini_document.h"
#include "ini/ini_outline.h"
#include "ini_test_support.h"

namespace {

class IniReadOnlyCopyTest : public IniFileTest {
  protected:
    // Reads, through a document kept open on the file and through a read-only copy, every
    // key of every section the file names, every key under every other section, a prefix of
    // each key and names the file lacks: in file order, then backwards, so that positions
    // remembered from one read are tested by the next. Returns how many reads were compared.
    int ExpectSameReads(const std::string& path) {
        const IniOutline outline = ReadIniOutline(path.c_str());
        std::vector<std::string> sections = {"Missing", "A"};
        std::vector<std::string> keys = {"Number", "Missing", "="};
        for (const IniSectionBlock& block : outline.blocks) {
            sections.push_back(block.name);
            for (const IniKeyLine& key : block.keys) {
                keys.push_back(key.key);
                keys.push_back(key.key.substr(0, key.key.size() / 2));
            }
        }
        IniDocument file(path.c_str(), true);
        IniDocument copy(path.c_str(), IniDocument::ReadOnlyCopy{});
        int compared = 0;
        for (int pass = 0; pass < 2; ++pass) {
            for (std::size_t s = 0; s < sections.size(); ++s) {
                const std::string& section = sections[pass == 0 ? s : sections.size() - 1 - s];
                file.SelectSection(section.c_str());
                copy.SelectSection(section.c_str());
                for (std::size_t k = 0; k < keys.size(); ++k) {
                    const std::string& key = keys[pass == 0 ? k : keys.size() - 1 - k];
                    CounterString fromFile;
                    CounterString fromCopy;
                    const int fileLength = file.GetString(key.c_str(), fromFile);
                    EXPECT_EQ(copy.GetString(key.c_str(), fromCopy), fileLength)
                        << path << " [" << section << "] " << key;
                    EXPECT_EQ(Narrow(fromCopy), Narrow(fromFile))
                        << path << " [" << section << "] " << key;
                    ++compared;
                }
            }
        }
        return compared;
    }
};

TEST_F(IniReadOnlyCopyTest, ReadsWhatTheFileKeptOpenReads) {
    int compared = 0;
    int index = 0;
    for (const std::string& bytes : ReaderCaseFiles()) {
        compared += ExpectSameReads(Write("case" + std::to_string(index++) + ".ini", bytes));
    }
    EXPECT_GT(compared, 1000);
}

TEST_F(IniReadOnlyCopyTest, ReadsTheFuzzTargetsKeptInputsAsTheFileReads) {
    const std::vector<std::string> inputs = KeptFuzzInputs();
    for (const std::string& input : inputs) {
        ExpectSameReads(Write("kept.ini", input));
    }
    EXPECT_GE(inputs.size(), 8u);
}

TEST_F(IniReadOnlyCopyTest, FindSectionAndFindKeyWalkTheCopyAsTheFile) {
    const std::string path = Write("cases.ini", DataFile("reader_cases.ini"));
    IniDocument document(path.c_str(), IniDocument::ReadOnlyCopy{});
    EXPECT_FALSE(document.FindSection(CounterString("")));
    EXPECT_FALSE(document.IsOpen());  // an empty name reads nothing
    ASSERT_TRUE(document.FindSection(CounterString("names")));
    EXPECT_TRUE(document.IsOpen());
    ASSERT_TRUE(document.FindKey("Spaced"));
    EXPECT_STREQ(document.CurrentValue(), "X");
    EXPECT_TRUE(document.FindKey("Empty"));  // searches on from the position
    EXPECT_FALSE(document.FindKey("Quoted"));
    EXPECT_FALSE(document.FindSection(CounterString("Pump01")));
    EXPECT_TRUE(document.FindSection(CounterString("Names")));
    EXPECT_TRUE(document.FindKey("Quoted"));
}

TEST_F(IniReadOnlyCopyTest, TheFileIsReadOnceAndNeverWritten) {
    const std::string original = "\r\n[A]\r\nKey=1\r\n\r\n[B]\r\nKey=2\r\n";
    const std::string path = Write("once.ini", original);
    IniDocument document(path.c_str(), IniDocument::ReadOnlyCopy{});
    document.SelectSection("B");
    EXPECT_EQ(document.GetInt("Key"), 2);
    Write("once.ini", "\r\n[A]\r\nKey=11\r\n");
    document.SelectSection("A");
    EXPECT_EQ(document.GetInt("Key"), 1);  // the copy, as first read
    document.SelectSection("Gone");
    EXPECT_EQ(document.GetInt("Key"), 0);  // a missing section closes...
    EXPECT_FALSE(document.IsOpen());
    document.SelectSection("B");
    EXPECT_EQ(document.GetInt("Key"), 2);  // ...and the copy is still the one read first

    document.SelectSection("A");
    EXPECT_EQ(document.SetValue("Key", CounterString("5")), -1);
    EXPECT_EQ(document.WriteKey("Key", CounterString("5")), -1);
    EXPECT_EQ(document.GetInt("Key"), 1);
    EXPECT_EQ(Read(path), "\r\n[A]\r\nKey=11\r\n");
}

TEST_F(IniReadOnlyCopyTest, AMissingOrUnreadableFileReadsEmptyAndIsNotCreated) {
    const std::string missing = PathOf("missing.ini");
    std::filesystem::create_directory(PathOf("a_directory.ini"));
    IniDocument late(missing.c_str(), IniDocument::ReadOnlyCopy{});
    IniDocument directory(PathOf("a_directory.ini").c_str(), IniDocument::ReadOnlyCopy{});
    for (IniDocument* document : {&late, &directory}) {
        document->SelectSection("Any");
        CounterString value("sentinel");
        EXPECT_EQ(document->GetString("Key", value), 0);
        EXPECT_EQ(Narrow(value), "");
        EXPECT_EQ(document->GetInt("Key"), 0);
        EXPECT_FALSE(document->IsOpen());
    }
    EXPECT_FALSE(std::filesystem::exists(missing));
    Write("missing.ini", "[Any]\r\nKey=3\r\n");  // appears later: read at the next open
    EXPECT_EQ(late.GetInt("Key"), 3);
}

}  // namespace
