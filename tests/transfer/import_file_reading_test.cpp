// The import reads a file as its editor and its export wrote it: a byte-order mark at the
// start hides no section, a long value is read whole and never taken for keys or sections.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/transfer/import_harness.h"

namespace {

using import_test::ImportTest;
using namespace std::string_literals;

TEST_F(ImportTest, AFileSavedWithAByteOrderMarkRestoresItsFirstSection) {
    EXPECT_EQ(Import("\xEF\xBB\xBF[Port01]\r\nNumber=1\r\nName=Ilha 1\r\n"
                     "\r\n[Port02]\r\nNumber=2\r\nName=Ilha 2\r\n"),
              "  2 ports imported successfully.\n\nAll done.\n");
    EXPECT_EQ(result, 0);
    EXPECT_EQ(IdsSetBy("SetPortProperties"), (std::vector<std::int32_t>{1, 2}));
}

TEST_F(ImportTest, ALongValueIsReadWholeAndHidesNoSectionOrKey) {
    // "[Port02]" at byte 1,023 of the Name line, and "Number=5" where a piece once ended.
    const std::string name = std::string(1018, 'n') + "[Port02]" + std::string(3974, 'm');
    const std::string serial = std::string(1015, 's') + "Number=5";
    EXPECT_EQ(Import("[Port01]\r\nName=" + name + "\r\nSerialNo=" + serial + "\r\nNumber=1\r\n"),
              "  1 ports imported successfully.\n\nAll done.\n");
    EXPECT_EQ(result, 0);
    const std::vector<kestro::RecordedCall> setters = Setters();
    ASSERT_EQ(setters.size(), 1u);
    EXPECT_EQ(setters[0].values.at(1), kestro::CallValue(std::int32_t{1}));  // Number, not 5
    EXPECT_EQ(std::get<WideString>(setters[0].values.at(2)).size(), 5000u);
    EXPECT_EQ(std::get<WideString>(setters[0].values.at(5)).size(), serial.size());
}

}  // namespace
