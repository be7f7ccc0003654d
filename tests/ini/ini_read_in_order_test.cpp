// Tests of IniDocument::ReadInOrder: one pass over the file tells exactly what GetString reads
// for every section and key, from a file and from a read-only copy: each section found once
// (its first header), each key once (its first line), with GetString's value, and nothing
// GetString would find left out.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "ini/ini_document.h"
#include "ini/ini_outline.h"
#include "ini_test_support.h"

namespace {

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

struct ReadKey {
    std::string section;
    std::string key;
    std::string value;
};

class Recorder : public IniDocument::Visitor {
  public:
    void Section(std::string_view name) override { sections.emplace_back(name); }
    void Key(std::string_view key, std::string_view value) override {
        keys.push_back({sections.back(), std::string(key), std::string(value)});
    }
    std::vector<std::string> sections;
    std::vector<ReadKey> keys;
};

class IniReadInOrderTest : public IniFileTest {
  protected:
    // Walks `path` through both kinds of document and checks each walk against GetString and
    // FindKey of a document kept open on the file. Returns how many keys the walk told.
    int ExpectWalkAgreesWithGetString(const std::string& path) {
        IniDocument file(path.c_str(), false);
        IniDocument copy(path.c_str(), IniDocument::ReadOnlyCopy{});
        Recorder fromFile;
        Recorder fromCopy;
        EXPECT_TRUE(file.ReadInOrder(fromFile));
        EXPECT_TRUE(copy.ReadInOrder(fromCopy));
        EXPECT_EQ(fromCopy.sections, fromFile.sections) << path;
        EXPECT_EQ(fromCopy.keys.size(), fromFile.keys.size()) << path;

        IniDocument reader(path.c_str(), true);
        for (std::size_t i = 0; i < fromFile.sections.size(); ++i) {
            for (std::size_t j = 0; j < i; ++j) {
                EXPECT_FALSE(SameName(fromFile.sections[i], fromFile.sections[j]))
                    << path << ": [" << fromFile.sections[i] << "] told twice";
            }
        }
        for (const ReadKey& read : fromFile.keys) {
            reader.SelectSection(read.section.c_str());
            CounterString value;
            reader.GetString(read.key.c_str(), value);
            EXPECT_EQ(read.value, Narrow(value))
                << path << " [" << read.section << "] " << read.key;
        }
        // Every key that FindKey finds in a section that FindSection finds is told (a name is
        // looked for with its CRs as blanks).
        const IniOutline outline = ReadIniOutline(path.c_str());
        for (const IniSectionBlock& block : outline.blocks) {
            std::string looked = block.name;
            std::replace(looked.begin(), looked.end(), '\r', ' ');
            for (const IniSectionBlock& keys : outline.blocks) {
                for (const IniKeyLine& line : keys.keys) {
                    if (!reader.FindSection(CounterString(block.name.c_str())) ||
                        !reader.FindKey(line.key.c_str())) {
                        continue;
                    }
                    const bool told = std::any_of(
                        fromFile.keys.begin(), fromFile.keys.end(), [&](const ReadKey& read) {
                            return SameName(read.section, looked) && SameName(read.key, line.key);
                        });
                    EXPECT_TRUE(told) << path << " [" << block.name << "] " << line.key;
                }
            }
        }
        return static_cast<int>(fromFile.keys.size());
    }
};

TEST_F(IniReadInOrderTest, TellsWhatGetStringReadsForEveryOddityOfTheSyntax) {
    int told = 0;
    int index = 0;
    for (const std::string& bytes : ReaderCaseFiles()) {
        told +=
            ExpectWalkAgreesWithGetString(Write("case" + std::to_string(index++) + ".ini", bytes));
    }
    EXPECT_GT(told, 40);
}

TEST_F(IniReadInOrderTest, TellsWhatGetStringReadsInTheFuzzTargetsKeptInputs) {
    const std::vector<std::string> inputs = KeptFuzzInputs();
    for (const std::string& input : inputs) {
        ExpectWalkAgreesWithGetString(Write("kept.ini", input));
    }
    EXPECT_GE(inputs.size(), 9u);
}

TEST_F(IniReadInOrderTest, FirstHeaderAndFirstKeyLineWinSecondOnesAreNeverTold) {
    const std::string path = Write(
        "twice.ini",
        "Loose=0\r\n[A]\r\nkey = \"quoted\" \r\nKEY=second\r\nOther=1\r\n[Open\r\nHidden=2\r\n"
        "[a]\r\nKey=third\r\n[B]x\r\n=nothing\r\n Spaced=  s  \r\n[]\r\nEmpty=3\r\n");
    IniDocument document(path.c_str(), false);
    Recorder recorder;
    ASSERT_TRUE(document.ReadInOrder(recorder));
    EXPECT_EQ(recorder.sections, (std::vector<std::string>{"A", "B"}));
    ASSERT_EQ(recorder.keys.size(), 3u);
    EXPECT_EQ(recorder.keys[0].key, "key");
    EXPECT_EQ(recorder.keys[0].value, "quoted");
    EXPECT_EQ(recorder.keys[1].key, "Other");
    EXPECT_EQ(recorder.keys[2].key, "Spaced");
    EXPECT_EQ(recorder.keys[2].value, "s");
}

TEST_F(IniReadInOrderTest, AFileThatCannotBeOpenedTellsNothing) {
    IniDocument missing(PathOf("missing.ini").c_str(), false);
    Recorder recorder;
    EXPECT_FALSE(missing.ReadInOrder(recorder));
    EXPECT_TRUE(recorder.sections.empty());
    EXPECT_FALSE(std::filesystem::exists(PathOf("missing.ini")));
}

}  // namespace
