// The import's setter calls: every argument in its place with its conversion (16-bit cuts,
// short widening, amounts to four decimals without sign, Latin-1 texts, missing keys as 0 or
// empty), the grade price levels, the attendant's type, and the console of a full run.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/transfer/import_harness.h"

namespace {

using import_test::ImportTest;
using import_test::Present;
using kestro::RecordedCall;
using S = std::int16_t;
using namespace std::string_literals;

TEST_F(ImportTest, EverySetterGetsItsArgumentsInOrderWithTheirConversions) {
    const std::string console =
        ImportFile(std::filesystem::path(FORECOURT_TEST_DATA) / "import" / "every_kind.ini");
    EXPECT_EQ(console,
              "  1 ports imported successfully.\n"
              "  1 grades imported successfully.\n"
              "  1 tanks imported successfully.\n"
              "  1 ZigBee devices imported successfully.\n"
              "  1 pumps imported successfully.\n"
              "  1 sensors imported successfully.\n"
              "  1 attendants imported successfully.\n"
              "  1 clients imported successfully.\n"
              "  1 products imported successfully.\n"
              "\nAll done.\n");
    EXPECT_EQ(result, 0);

    const std::vector<RecordedCall> expected = {
        // ProtocolID 40000 as it stands; DeviceType 70000 cut to 16 bits; PanID and the other
        // radio keys are not read.
        {"SetPortProperties",
         {1, 11, WideString(WSTR("Bombas ilha 1")), 40000, S{4464}, WideString(WSTR("KP-0001"))}},
        {"SetGradePropertiesEx",
         {1, 21, WideString(WSTR("Gasolina aditivada")), WideString(WSTR("GA")),
          WideString(WSTR("G01")), S{-1}}},
        // 5.19949 and 6.12346 to four decimals; level 3 has no price, so level 4 is not read.
        {"SetGradePrice", {1, S{1}, 5.1995}},
        {"SetGradePrice", {1, S{2}, 6.1235}},
        // Diameter to four decimals, eight doubles 0.0, Probe 65537 cut to 1, ProbeSerialNo
        // 70000 as it stands.
        {"SetTankPropertiesEx2", {1,      31,   WideString(WSTR("Tanque \u00fanico")),
                                  1,      S{2}, 15000.5,
                                  2.5432, 0.0,  0.0,
                                  0.0,    0.0,  0.0,
                                  0.0,    0.0,  0.0,
                                  5,      S{1}, 255,
                                  6,      S{3}, 70000}},
        {"SetZigBeeProperties",
         {5, 41, WideString(WSTR("R\u00e1dio 5")), S{2}, WideString(WSTR("ZB-0005")),
          WideString(WSTR("NODE-05")), 1}},
        {"SetPumpPropertiesEx", {1,     51,   WideString(WSTR("Bomba 1")),
                                 S{1},  S{2}, S{3},
                                 S{5},  S{6}, S{7},
                                 S{8},  S{9}, S{10},
                                 1,     -1,   S{11},
                                 S{12}, S{1}, S{0},
                                 4,     5,    S{13},
                                 S{1}}},
        // Hose number = position, the pump's identifier, four doubles 0.0; tank 1 was
        // imported by the tank scan and is not written again.
        {"SetHosePropertiesEx2", {101, 1, 1, 1, 21, 0.0, 0.0, 0.0, 0.0, S{2}, 5.199, 5.099, S{1}}},
        {"SetHosePropertiesEx2", {102, 2, 1, 1, 22, 0.0, 0.0, 0.0, 0.0, S{0}, 0.0, 0.0, S{0}}},
        {"SetSensorPropertiesEx",
         {1, 61, WideString(WSTR("Sensor de vapor")), 2, S{3}, S{4}, S{5}, 6, 123456}},
        {"SetAttendantPropertiesEx2",
         {1, 71, WideString(WSTR("Jo\u00e3o")), WideString(WSTR("JO")), WideString(WSTR("1234")),
          WideString(WSTR("TAG-71")), WideString(WSTR("123.456.789-00")), S{600}, S{1400}, S{1400},
          S{2200}, S{2}}},
        // ExpirationDate 45123.50001 to four decimals.
        {"SetCardClientPropertiesEx4",
         {1,
          81,
          WideString(WSTR("Transportes Ltda")),
          WideString(WSTR("TAG-81")),
          S{1},
          S{2},
          WideString(WSTR("ABC1D23")),
          WideString(WSTR("12.345.678/0001-90")),
          WideString(WSTR("TR")),
          WideString(WSTR("pw")),
          S{3},
          S{4},
          S{2},
          150.5,
          S{5},
          45123.5,
          -1,
          WideString(WSTR("V-81")),
          12345.6,
          7}},
        // Price2=-27.5 reads as 0: amounts carry no sign.
        {"SetProductProperties",
         {1, 91, WideString(WSTR("\u00d3leo 1L")), WideString(WSTR("TAG-91")), S{1},
          WideString(WSTR("OL")), WideString(WSTR("7891234567895")), 29.9, 0.0, 3}},
    };
    EXPECT_EQ(Setters(), expected);
}

TEST_F(ImportTest, MissingKeysPassZeroAndEmptyTexts) {
    Import(Present("Port02") + Present("Grade03") + "[Tank04]\nNumber=1\nGrade=3\n" +
           Present("Sensor05"));
    const std::vector<RecordedCall> expected = {
        {"SetPortProperties", {2, 1, WideString(WSTR("")), 0, S{0}, WideString(WSTR(""))}},
        {"SetGradePropertiesEx",
         {3, 1, WideString(WSTR("")), WideString(WSTR("")), WideString(WSTR("")), S{0}}},
        {"SetTankPropertiesEx2", {4,   1,    WideString(WSTR("")),
                                  3,   S{0}, 0.0,
                                  0.0, 0.0,  0.0,
                                  0.0, 0.0,  0.0,
                                  0.0, 0.0,  0.0,
                                  0,   S{0}, 0,
                                  0,   S{0}, 0}},
        {"SetSensorPropertiesEx", {5, 1, WideString(WSTR("")), 0, S{0}, S{0}, S{0}, 0, 0}},
    };
    EXPECT_EQ(Setters(), expected);
    EXPECT_EQ(result, 0);
}

TEST_F(ImportTest, GradePriceLevelsEndAtTheFirstLevelWithoutAPositivePrice) {
    struct Row {
        const char* prices;
        std::vector<RecordedCall> priceCalls;
    };
    const Row rows[] = {
        {"Price01=5.199\nPrice02=0\nPrice03=6\n", {{"SetGradePrice", {1, S{1}, 5.199}}}},
        {"Price02=5.199\n", {}},
        {"Price01=1\nPrice02=2\nPrice04=4\n",
         {{"SetGradePrice", {1, S{1}, 1.0}}, {"SetGradePrice", {1, S{2}, 2.0}}}},
        {"Price01=1\nPrice02=-2\nPrice03=3\n", {{"SetGradePrice", {1, S{1}, 1.0}}}},
        {"Price01=1\nPrice02=2\nPrice03=3\nPrice04=4\nPrice05=5\nPrice06=6\nPrice07=7\n"
         "Price08=8\nPrice09=9\n",
         {{"SetGradePrice", {1, S{1}, 1.0}},
          {"SetGradePrice", {1, S{2}, 2.0}},
          {"SetGradePrice", {1, S{3}, 3.0}},
          {"SetGradePrice", {1, S{4}, 4.0}},
          {"SetGradePrice", {1, S{5}, 5.0}},
          {"SetGradePrice", {1, S{6}, 6.0}},
          {"SetGradePrice", {1, S{7}, 7.0}},
          {"SetGradePrice", {1, S{8}, 8.0}}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.prices);
        ResetImportedRecords();
        station.ClearCalls();
        Import(Present("Grade01") + row.prices);
        std::vector<RecordedCall> priceCalls = Setters();
        ASSERT_FALSE(priceCalls.empty());
        EXPECT_EQ(priceCalls.front().name, "SetGradePropertiesEx");
        priceCalls.erase(priceCalls.begin());
        EXPECT_EQ(priceCalls, row.priceCalls);
        EXPECT_EQ(result, 0);
    }
}

TEST_F(ImportTest, AttendantTypeFallsBackToEnabledOnlyWhenTypeIsZero) {
    struct Row {
        const char* keys;
        std::int16_t type;
    };
    const Row rows[] = {
        {"Type=0\nEnabled=1\n", 1}, {"Enabled=1\n", 1},         {"Type=3\nEnabled=1\n", 3},
        {"Type=2\nEnabled=0\n", 2}, {"Type=0\nEnabled=0\n", 0}, {"Type=65537\n", 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.keys);
        station.ClearCalls();
        Import(Present("Attendant01") + row.keys);
        const std::vector<RecordedCall> setters = Setters();
        ASSERT_EQ(setters.size(), 1u);
        EXPECT_EQ(setters[0].values.at(11), kestro::CallValue(row.type));
    }
}

TEST_F(ImportTest, CardClientAmountsCarryFourDecimalsAndNoSign) {
    struct Row {
        const char* keys;
        double limit;
        double expirationDate;
        double odometer;
    };
    const Row rows[] = {
        {"Limit=150.5\nExpirationDate=45123.50001\nOdometer=0.5\n", 150.5, 45123.5, 0.5},
        {"Limit=-5\nExpirationDate=45123.99996\nOdometer=1,234.5\n", 0.0, 45124.0, 1234.5},
        {"Limit=0.00006\nExpirationDate=45123.00004\nOdometer=\n", 0.0001, 45123.0, 0.0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.keys);
        station.ClearCalls();
        Import(Present("Client001") + row.keys);
        const std::vector<RecordedCall> setters = Setters();
        ASSERT_EQ(setters.size(), 1u);
        EXPECT_EQ(setters[0].values.at(13), kestro::CallValue(row.limit));
        EXPECT_EQ(setters[0].values.at(15), kestro::CallValue(row.expirationDate));
        EXPECT_EQ(setters[0].values.at(18), kestro::CallValue(row.odometer));
    }
}

TEST_F(ImportTest, AnEmptyFileImportsNothingAndSucceeds) {
    EXPECT_EQ(Import(""), "\nAll done.\n");
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(Setters().empty());
}

TEST(ImportedRecordsTest, HoldsAtMost128IdentifiersAndIgnoresFurtherOnes) {
    ImportedRecords records;
    for (std::int32_t id = 1; id <= 130; ++id) {
        records.Record(id * 10);
    }
    EXPECT_EQ(records.Count(), 128);
    EXPECT_TRUE(records.Contains(10));
    EXPECT_TRUE(records.Contains(1280));
    EXPECT_FALSE(records.Contains(1290));
    EXPECT_FALSE(records.Contains(5));
}

}  // namespace
