// Tests of IniDocument's writing side: the exact bytes of sequential writes, in-place
// replacement and insertion that keep every other byte, rests longer than a CounterString,
// and files that cannot be written.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "ini/ini_document.h"
#include "ini_test_support.h"
#include "platform/oleauto.h"

namespace {

class IniWriterTest : public IniFileTest {};

TEST_F(IniWriterTest, WritesAHeaderOnlyWhenTheSectionChanges) {
    const std::string path = PathOf("out.ini");
    IniDocument document(path.c_str(), true);
    document.SelectSection("A");
    EXPECT_EQ(document.WriteKey("Name", CounterString("Sarvel")), 6);
    document.SelectSection("a");  // the same section, whatever the case
    EXPECT_EQ(document.WriteKey("Empty", CounterString()), 0);  // no buffer: empty value
    document.SelectSection("B");
    EXPECT_EQ(document.WriteKey("Number", CounterString("7")), 1);
    document.SelectSection("A");  // again after B: a second header
    EXPECT_EQ(document.WriteKey("Again", CounterString("x")), 1);
    EXPECT_TRUE(document.IsOpen());
    document.Close();
    EXPECT_EQ(Read(path), DataFile("written_a_a_b_a.ini"));
}

TEST_F(IniWriterTest, LineBreaksAndNulsInsideAValueAreWrittenAsBlanks) {
    // A name sent over the wire that tries to forge a port of its own.
    const WideString forged = OLESTR("Bomba 7\r\n[Port08]\r\nNumber=8\r\nName=INJECTED PORT");
    const WideString withNul(OLESTR("a\0b\u010Ac"), 5);  // U+010A's low byte is LF
    const std::string path = PathOf("forged.ini");
    {
        IniDocument document(path.c_str(), true);
        document.SelectSection("Port07");
        document.WriteKey("Name", CounterString(forged.c_str()));
        CounterString other;
        other.Assign(withNul.data(), 5);
        document.WriteKey("Other", other);
        document.SelectSection("Port07");
        EXPECT_EQ(document.SetValue("Serial", CounterString(OLESTR("x\ry"))), 3);
    }
    EXPECT_EQ(Read(path),
              "\r\n[Port07]\r\nName=Bomba 7  [Port08]  Number=8  Name=INJECTED PORT\r\n"
              "Other=a b c\r\nSerial=x y\r\n");
    IniDocument reader(path.c_str(), true);
    reader.SelectSection("Port08");
    EXPECT_EQ(reader.GetInt("Number"), 0);
}

TEST_F(IniWriterTest, WriteKeyReportsAFileThatCannotBeOpened) {
    const std::string path = PathOf("no/such/directory/out.ini");
    IniDocument document(path.c_str(), true);
    document.SelectSection("A");
    EXPECT_EQ(document.WriteKey("Key", CounterString("1")), -1);
    EXPECT_EQ(document.WriteKey("Key", CounterString("2")), -1);
    EXPECT_FALSE(document.IsOpen());
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(document.WriteKey(nullptr, CounterString("3")), -1);
}

TEST_F(IniWriterTest, WriteKeyReportsAFailedWrite) {
    const std::string path = Write("read_only.ini", "\r\n[A]\r\nKey=1\r\n");
    IniDocument document(path.c_str(), false);  // opened "rb": writes fail
    document.SelectSection("B");
    EXPECT_EQ(document.WriteKey("Key", CounterString("2")), -1);
    document.Close();
    EXPECT_EQ(Read(path), "\r\n[A]\r\nKey=1\r\n");
}

struct SetValueCase {
    const char* section;
    const char* key;
    const char* value;
    const char* expected;  // the whole file afterwards
};

#define GRADE "\r\n[Grade01]\r\nNumber=1\r\nName=Diesel\r\n"
#define PUMP_HEAD "\r\n[Pump01]\r\nNumber=1\r\n"
#define PUMP_TAIL "Price=1.500\r\n"
#define TANK "\r\n[Tank01]\r\nNumber=1\r\nCapacity=20000.000\r\n"

TEST_F(IniWriterTest, SetValueKeepsEveryOtherByte) {
    const SetValueCase cases[] = {
        {"Pump01", "Name", "Front", GRADE PUMP_HEAD "Name=Front\r\n" PUMP_TAIL TANK},
        {"Pump01", "Name", "", GRADE PUMP_HEAD "Name=\r\n" PUMP_TAIL TANK},
        {"pump01", "NAME", "X", GRADE PUMP_HEAD "NAME=X\r\n" PUMP_TAIL TANK},
        {"Grade01", "Number", "12",
         "\r\n[Grade01]\r\nNumber=12\r\nName=Diesel\r\n" PUMP_HEAD "Name=Front\r\n" PUMP_TAIL TANK},
        {"Tank01", "Diameter", "2.5",
         GRADE PUMP_HEAD "Name=Front\r\n" PUMP_TAIL TANK "Diameter=2.5\r\n"},
        {"Sensor01", "Number", "4",
         GRADE PUMP_HEAD "Name=Front\r\n" PUMP_TAIL TANK "\r\n[Sensor01]\r\nNumber=4\r\n"},
    };
    for (const SetValueCase& c : cases) {
        const std::string path = Write("three.ini", DataFile("three_sections.ini"));
        IniDocument document(path.c_str(), true);
        document.SelectSection(c.section);
        EXPECT_EQ(document.SetValue(c.key, CounterString(c.value)),
                  static_cast<int>(std::string(c.value).size()));
        EXPECT_FALSE(document.IsOpen());
        EXPECT_EQ(Read(path), c.expected) << c.section << "/" << c.key;
    }
}

TEST_F(IniWriterTest, SetValueInTheMiddleSectionMatchesTheExpectedFiles) {
    const std::string path = Write("three.ini", DataFile("three_sections.ini"));
    IniDocument document(path.c_str(), true);
    document.SelectSection("Pump01");
    document.SetValue("Name", CounterString("Front left island"));
    EXPECT_EQ(Read(path), DataFile("three_sections_name_replaced.ini"));
    EXPECT_EQ(std::filesystem::file_size(path), DataFile("three_sections.ini").size() + 12);
    document.SetValue("Name", CounterString("Front"));
    document.SetValue("Hose1ID", CounterString("3"));  // before the empty line ahead of [Tank01]
    EXPECT_EQ(Read(path), DataFile("three_sections_key_inserted.ini"));
    document.SelectSection("Tank01");
    EXPECT_EQ(document.GetInt("Number"), 1);  // positions re-established after the rewrite
    document.SelectSection("Pump01");
    EXPECT_EQ(document.GetInt("Hose1ID"), 3);
}

TEST_F(IniWriterTest, SetValueKeepsARestLongerThanACounterString) {
    std::string rest;
    for (int i = 1; i <= 3000; ++i) {
        rest += "\r\n[Pump" + std::to_string(i) + "]\r\nNumber=" + std::to_string(i) + "\r\n";
    }
    ASSERT_GT(rest.size(), static_cast<std::size_t>(CounterString::kMaxLength) * 2);
    const std::string path = Write("big.ini", "\r\n[First]\r\nKey=old\r\n" + rest);
    IniDocument document(path.c_str(), true);
    document.SelectSection("First");
    EXPECT_EQ(document.SetValue("Key", CounterString("new value")), 9);
    EXPECT_EQ(Read(path), "\r\n[First]\r\nKey=new value\r\n" + rest);
    document.SelectSection("First");
    EXPECT_EQ(document.SetValue("Added", CounterString("1")), 1);
    EXPECT_EQ(Read(path), "\r\n[First]\r\nKey=new value\r\nAdded=1\r\n" + rest);
    document.SelectSection("Pump2999");
    EXPECT_EQ(document.GetInt("Number"), 2999);
}

TEST_F(IniWriterTest, SetValueOnUnusualLines) {
    struct Case {
        const char* before;
        const char* key;
        const char* after;
    };
    const std::string longLine = "Key=" + std::string(2000, 'v') + "\r\n";
    const std::string withLongLine = "[A]\r\n" + longLine + "Next=1\r\n";
    const Case cases[] = {
        {"[A]\r\n\r\nKey=1\r\n", "Key", "[A]\r\n\r\nKey=new\r\n"},      // empty line before stays
        {"[A]\r\nKey=1", "Key", "[A]\r\nKey=new\r\n"},                  // last line without end
        {"[A]\r\nOther=1", "Key", "[A]\r\nOther=1\r\nKey=new\r\n"},     // ended before appending
        {withLongLine.c_str(), "Key", "[A]\r\nKey=new\r\nNext=1\r\n"},  // replaced whole
        {"[A]\r\nX=1\r\n\r\n\r\n[B]\r\n", "Key", "[A]\r\nX=1\r\nKey=new\r\n\r\n\r\n[B]\r\n"},
        {"", "Key", "\r\n[A]\r\nKey=new\r\n"},
        // A byte-order mark before the first header neither hides the section nor moves.
        {"\xEF\xBB\xBF[A]\r\nKey=1\r\n", "Key", "\xEF\xBB\xBF[A]\r\nKey=new\r\n"},
    };
    for (const Case& c : cases) {
        const std::string path = Write("unusual.ini", c.before);
        IniDocument document(path.c_str(), true);
        document.SelectSection("A");
        EXPECT_EQ(document.SetValue(c.key, CounterString("new")), 3);
        EXPECT_EQ(Read(path), c.after) << c.before;
    }
}

TEST_F(IniWriterTest, SetValueWithoutAFileOrKey) {
    const std::string created = PathOf("created.ini");
    IniDocument document(created.c_str(), true);
    document.SelectSection("A");
    EXPECT_EQ(document.SetValue("Key", CounterString("1")), 1);
    EXPECT_EQ(Read(created), "\r\n[A]\r\nKey=1\r\n");
    EXPECT_EQ(document.SetValue("", CounterString("2")), 0);
    EXPECT_EQ(document.SetValue(nullptr, CounterString("2")), 0);
    EXPECT_EQ(Read(created), "\r\n[A]\r\nKey=1\r\n");

    const std::string missing = PathOf("missing.ini");
    IniDocument readOnly(missing.c_str(), false);
    readOnly.SelectSection("A");
    EXPECT_EQ(readOnly.SetValue("Key", CounterString("1")), 0);
    EXPECT_FALSE(std::filesystem::exists(missing));
}

}  // namespace
