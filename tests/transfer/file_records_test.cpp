// The file's records as VERIFY keeps them: what the import's reader reads of each record
// section (the first of its name, by its kind's own name), kept compactly, in file order.
#include "transfer/file_records.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "tests/support/temp_folder.h"

namespace {

class FileRecordsTest : public testing::Test {
  protected:
    std::string Write(const std::string& text) const {
        const std::string path = folder_.File("file.ini");
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    // "key=value" of each value of the record, in file order.
    static std::vector<std::string> Values(const FileRecords& file, const FileRecord& record) {
        std::vector<std::string> values;
        for (std::size_t index = 0; index < record.count; ++index) {
            const FileValue value = file.Value(record, index);
            values.push_back(value.key->name + "=" + std::string(value.value));
        }
        return values;
    }

    test_support::TempFolder folder_{"file_records"};
};

TEST_F(FileRecordsTest, KeepsWhatTheReaderReadsOfEachRecordSection) {
    const std::string path = Write(
        "[Application]\r\nFileName=x\r\nDateGenerated=1/1/2026\r\n"
        "[Grade01]\r\nNumber=1\r\nname = \"Comum\" \r\nName=second\r\nNoSuchKey=1\r\n"
        "Price02=6.1\r\nPrice01=" +
        std::string(40000, '9') +
        "\r\n"
        "[Grade2]\r\nNumber=2\r\n"        // not the kind's own name: never read
        "[TankGauge05]\r\nPort=x\r\n"     // no record section
        "[grade01]\r\nNumber=9\r\n"       // a second header: never read
        "[Pump01]\r\nName=no number\r\n"  // a record without Number: not present
        "[Sensor01]\r\nNumber=-1\r\n");
    const FileRecords file(path.c_str());
    const std::vector<FileRecord>& records = file.Records();
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(file.Name(records[0]), "Application");
    EXPECT_TRUE(records[0].present);
    EXPECT_EQ(Values(file, records[0]), (std::vector<std::string>{"DateGenerated=1/1/2026"}));

    EXPECT_EQ(file.Name(records[1]), "Grade01");
    EXPECT_TRUE(records[1].present);
    EXPECT_EQ(Values(file, records[1]),
              (std::vector<std::string>{"Number=1", "Name=Comum", "Price02=6.1",
                                        "Price01=" + std::string(CounterString::kMaxLength, '9')}));
    EXPECT_EQ(file.IndexOf("GRADE01"), 1u);
    EXPECT_EQ(file.IndexOf("Grade2"), records.size());
    EXPECT_EQ(file.IndexOf("TankGauge05"), records.size());

    EXPECT_EQ(file.Name(records[2]), "Pump01");
    EXPECT_FALSE(records[2].present);
    EXPECT_EQ(file.Name(records[3]), "Sensor01");
    EXPECT_FALSE(records[3].present);
    EXPECT_EQ(file.ValueCount(), 7u);
}

TEST_F(FileRecordsTest, AFileThatCannotBeReadHoldsNoRecord) {
    const FileRecords missing(folder_.File("missing.ini").c_str());
    EXPECT_TRUE(missing.Records().empty());
    EXPECT_EQ(missing.ValueCount(), 0u);
}

}  // namespace
