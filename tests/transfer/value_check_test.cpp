// What the import makes of a value, set against what it says: one row per kind of oddity.
#include "transfer/value_check.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct NumberRow {
    ValueKind kind;
    const char* text;
    const char* finding;  // nullptr: read as written
};

TEST(ValueCheck, NumbersAreJudgedByWhatTheImportReads) {
    const NumberRow rows[] = {
        {ValueKind::kInt32, "", nullptr},
        {ValueKind::kInt32, "42", nullptr},
        {ValueKind::kInt32, "-42", nullptr},
        {ValueKind::kInt32, "+42", nullptr},
        {ValueKind::kInt32, "007", nullptr},
        {ValueKind::kInt32, "2147483647", nullptr},
        {ValueKind::kInt32, "-2147483648", nullptr},
        {ValueKind::kInt32, "2147483648",
         "\"2147483648\" is read as -2147483648: it is beyond the 32-bit range and wraps"},
        {ValueKind::kInt32, "4294967297",
         "\"4294967297\" is read as 1: it is beyond the 32-bit range and wraps"},
        {ValueKind::kInt32, "123456789012345678901",
         "\"123456789012345678901\" is read as 792095797: it is beyond the 32-bit range and wraps"},
        {ValueKind::kInt32, "1,250", "\"1,250\" is read as 1250: the comma is skipped"},
        {ValueKind::kInt32, "1 000", "\"1 000\" is read as 1000: the blank is skipped"},
        {ValueKind::kInt32, "1.5",
         "\"1.5\" is read as 1: a whole number is expected; the decimals are dropped"},
        {ValueKind::kInt32, "1e3", "\"1e3\" is read as 1: an exponent is not understood"},
        {ValueKind::kInt32, "12abc", "\"12abc\" is read as 12: the text from \"abc\" is ignored"},
        {ValueKind::kInt32, "0x1F", "\"0x1F\" is read as 0: the text from \"x1F\" is ignored"},
        {ValueKind::kInt32, "abc", "\"abc\" is read as 0: it is no number"},
        {ValueKind::kInt32, "1-2",
         "\"1-2\" is read as -12: a sign inside the number still sets its sign"},
        {ValueKind::kInt16, "32767", nullptr},
        {ValueKind::kInt16, "-32768", nullptr},
        {ValueKind::kInt16, "40000",
         "\"40000\" is read as -25536: it does not fit the 16-bit field"},
        {ValueKind::kInt16, "70000", "\"70000\" is read as 4464: it does not fit the 16-bit field"},
        {ValueKind::kAmount, "5.899", nullptr},
        {ValueKind::kAmount, "5", nullptr},
        {ValueKind::kAmount, ".25", nullptr},
        {ValueKind::kAmount, "45123.50000", nullptr},
        {ValueKind::kAmount, "5,899", "\"5,899\" is read as 5899: the comma is skipped"},
        {ValueKind::kAmount, "-5",
         "\"-5\" is read as 0: an amount has no sign; a negative amount is read as 0"},
        {ValueKind::kAmount, "+2",
         "\"+2\" is read as 0: an amount has no sign; the sign ends the number"},
        {ValueKind::kAmount, "1e4", "\"1e4\" is read as 1: an exponent is not understood"},
        {ValueKind::kAmount, "3.1.4", "\"3.1.4\" is read as 3.1: the second point ends the number"},
        {ValueKind::kAmount, "45123.50001",
         "\"45123.50001\" is read as 45123.5: it has more than four decimals"},
        {ValueKind::kAmount, "1.23456",
         "\"1.23456\" is read as 1.2346: it has more than four decimals"},
        {ValueKind::kAmount, "5.9 L", "\"5.9 L\" is read as 5.9: the blank is skipped"},
        {ValueKind::kAmount, "99999999999999999999",
         "\"99999999999999999999\" is read as 922337203685477.5807: it is too large to be carried "
         "exactly"},
        {ValueKind::kText, "anything", nullptr},
    };
    for (const NumberRow& row : rows) {
        SCOPED_TRACE(row.text);
        const std::optional<std::string> finding = NumberFinding(row.kind, row.text);
        if (row.finding == nullptr) {
            EXPECT_FALSE(finding) << *finding;
        } else {
            EXPECT_EQ(finding.value_or("(none)"), row.finding);
        }
    }
}

struct TextRow {
    const char* written;
    const char* read;
    bool spaced;
    const char* finding;
};

TEST(ValueCheck, TextsAreJudgedByWhatTheReaderDropsFromThem) {
    const TextRow rows[] = {
        {"Bomba 1", "Bomba 1", false, nullptr},
        {"", "", false, nullptr},
        {" X", "X", true, nullptr},  // "Name = X": the blank is layout
        {"\"Ana\"", "Ana", false, "the enclosing quotes are removed: read as \"Ana\""},
        {" Ana", "Ana", false, "\" Ana\" is read as \"Ana\": the leading blanks are dropped"},
        {"Ana  ", "Ana", false, "\"Ana  \" is read as \"Ana\": the trailing blanks are dropped"},
    };
    for (const TextRow& row : rows) {
        SCOPED_TRACE(row.written);
        const std::optional<std::string> finding = TextFinding(row.written, row.read, row.spaced);
        if (row.finding == nullptr) {
            EXPECT_FALSE(finding) << *finding;
        } else {
            EXPECT_EQ(finding.value_or("(none)"), row.finding);
        }
    }
    const std::string longText(kLongestText + 1, 'x');
    EXPECT_EQ(TextFinding(longText, longText, false).value_or("(none)"),
              "the text of 32735 characters is cut to 32734");
}

}  // namespace
