// How the import finds records: identifiers probed from each kind's first one until seven in a
// row are absent (ports 1 to 13 always), up to each kind's bound; grades and tanks imported
// on demand for the tanks and hoses that name them, never twice; hoses by position until the
// first gap; the count lines right-aligned in three columns.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/transfer/import_harness.h"

namespace {

using import_test::ImportTest;
using import_test::Present;

// Sections `prefix` + the identifiers first..last with the digits given, each present.
std::string PresentRange(const char* prefix, int digits, int first, int last) {
    std::string text;
    for (int id = first; id <= last; ++id) {
        char name[32];
        std::snprintf(name, sizeof name, "%s%0*d", prefix, digits, id);
        text += Present(name);
    }
    return text;
}

TEST_F(ImportTest, OnlyPumpsOneAndTwoArePumpsOneAndTwo) {
    EXPECT_EQ(Import(Present("Pump01") + Present("Pump02")),
              "  2 pumps imported successfully.\n"
              "\nAll done.\n");
    EXPECT_EQ(result, 0);
    const std::vector<std::string> names = {"SetPumpPropertiesEx", "SetPumpPropertiesEx"};
    std::vector<std::string> setters;
    for (const kestro::RecordedCall& call : Setters()) {
        setters.push_back(call.name);
    }
    EXPECT_EQ(setters, names);
    EXPECT_EQ(IdsSetBy("SetPumpPropertiesEx"), (std::vector<std::int32_t>{1, 2}));
}

// A file with one record: it is imported exactly when the scan of its kind, finding nothing
// before it, still probes its identifier. This pins the identifiers probed in a file without
// records: ports 1 to 13, ZigBee devices 5 to 11, every other kind 1 to 7.
TEST_F(ImportTest, AnEmptyKindProbesSevenIdentifiersFromItsFirstAndPortsUpTo13) {
    struct Row {
        std::string file;
        const char* setter;
        std::vector<std::int32_t> ids;
    };
    // A tank needs its grade; grade 50 lies beyond the grade scan and is imported on demand.
    const std::string grade50 = Present("Grade50");
    const Row rows[] = {
        {Present("Port13"), "SetPortProperties", {13}},
        {Present("Port14"), "SetPortProperties", {}},
        {Present("Grade07"), "SetGradePropertiesEx", {7}},
        {Present("Grade08"), "SetGradePropertiesEx", {}},
        {"[Tank07]\nNumber=1\nGrade=50\n" + grade50, "SetTankPropertiesEx2", {7}},
        {"[Tank08]\nNumber=1\nGrade=50\n" + grade50, "SetTankPropertiesEx2", {}},
        {Present("ZigBee04"), "SetZigBeeProperties", {}},
        {Present("ZigBee11"), "SetZigBeeProperties", {11}},
        {Present("ZigBee12"), "SetZigBeeProperties", {}},
        {PresentRange("ZigBee", 2, 1, 5), "SetZigBeeProperties", {5}},
        {Present("Pump07"), "SetPumpPropertiesEx", {7}},
        {Present("Pump08"), "SetPumpPropertiesEx", {}},
        {Present("Sensor07"), "SetSensorPropertiesEx", {7}},
        {Present("Sensor08"), "SetSensorPropertiesEx", {}},
        {Present("Attendant07"), "SetAttendantPropertiesEx2", {7}},
        {Present("Attendant08"), "SetAttendantPropertiesEx2", {}},
        {Present("Client007"), "SetCardClientPropertiesEx4", {7}},
        {Present("Client008"), "SetCardClientPropertiesEx4", {}},
        {Present("Client07"), "SetCardClientPropertiesEx4", {}},  // three digits for clients
        {Present("Product007"), "SetProductProperties", {7}},
        {Present("Product008"), "SetProductProperties", {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.file);
        ResetImportedRecords();
        station.ClearCalls();
        Import(row.file);
        EXPECT_EQ(IdsSetBy(row.setter), row.ids);
        EXPECT_EQ(result, 0);
    }
}

TEST_F(ImportTest, PortsOneTo13AreAlwaysProbedButNotPort14AfterTwelveMisses) {
    EXPECT_EQ(Import(Present("Port01") + Present("Port13")),
              "  2 ports imported successfully.\n\nAll done.\n");
    EXPECT_EQ(IdsSetBy("SetPortProperties"), (std::vector<std::int32_t>{1, 13}));

    station.ClearCalls();
    EXPECT_EQ(Import(Present("Port01") + Present("Port14")),
              "  1 ports imported successfully.\n\nAll done.\n");
    EXPECT_EQ(IdsSetBy("SetPortProperties"), (std::vector<std::int32_t>{1}));
}

TEST_F(ImportTest, AGapOfSevenEndsTheGradeScanButATankStillImportsItsGrade) {
    const std::string grades = PresentRange("Grade", 2, 1, 3) + Present("Grade11");
    EXPECT_EQ(Import(grades), "  3 grades imported successfully.\n\nAll done.\n");
    EXPECT_EQ(IdsSetBy("SetGradePropertiesEx"), (std::vector<std::int32_t>{1, 2, 3}));

    ResetImportedRecords();
    station.ClearCalls();
    EXPECT_EQ(Import(grades + "[Tank01]\nNumber=1\nGrade=11\n"),
              "  3 grades imported successfully.\n"
              "  1 tanks imported successfully.\n"
              "\nAll done.\n");
    const std::vector<std::string> order = {"SetGradePropertiesEx", "SetGradePropertiesEx",
                                            "SetGradePropertiesEx", "SetGradePropertiesEx",
                                            "SetTankPropertiesEx2"};
    std::vector<std::string> names;
    for (const kestro::RecordedCall& call : Setters()) {
        names.push_back(call.name);
    }
    EXPECT_EQ(names, order);
    EXPECT_EQ(IdsSetBy("SetGradePropertiesEx"), (std::vector<std::int32_t>{1, 2, 3, 11}));
}

TEST_F(ImportTest, ATankNamingAGradeWithoutSectionIsReportedAndCountsAsAMiss) {
    // Tank 1 names grade 9 (no section); tanks 2..7 absent make seven misses, so tank 8 is
    // never probed.
    EXPECT_EQ(Import(Present("Grade01") + "[Tank01]\nNumber=1\nGrade=9\n" +
                     "[Tank08]\nNumber=1\nGrade=1\n"),
              "  1 grades imported successfully.\n"
              "Tank 1: grade 9 could not be imported.\n"
              "\nAll done.\n");
    EXPECT_EQ(result, 3);
    EXPECT_TRUE(IdsSetBy("SetTankPropertiesEx2").empty());
    EXPECT_EQ(IdsSetBy("SetGradePropertiesEx"), (std::vector<std::int32_t>{1}));
}

TEST_F(ImportTest, KindsStopBeforeTheirBound) {
    EXPECT_EQ(Import(PresentRange("Port", 2, 1, 100) + PresentRange("ZigBee", 2, 1, 100)),
              " 99 ports imported successfully.\n"
              " 95 ZigBee devices imported successfully.\n"
              "\nAll done.\n");
    EXPECT_EQ(IdsSetBy("SetPortProperties").back(), 99);
    EXPECT_EQ(IdsSetBy("SetZigBeeProperties").front(), 5);
    EXPECT_EQ(IdsSetBy("SetZigBeeProperties").back(), 99);

    station.ClearCalls();
    EXPECT_EQ(Import(PresentRange("Product", 3, 1, 10000)),
              "9999 products imported successfully.\n\nAll done.\n");
    EXPECT_EQ(IdsSetBy("SetProductProperties").back(), 9999);
}

TEST_F(ImportTest, CountsAreRightAlignedInThreeColumns) {
    EXPECT_EQ(Import(PresentRange("Sensor", 2, 1, 5) + PresentRange("Attendant", 2, 1, 10) +
                     PresentRange("Client", 3, 1, 1234)),
              "  5 sensors imported successfully.\n"
              " 10 attendants imported successfully.\n"
              "1234 clients imported successfully.\n"
              "\nAll done.\n");
    EXPECT_EQ(result, 0);
}

// Pump 1 with hoses at positions 1, 2 and 4 (its tanks 1 and 3 and their grade 1 present).
const std::string kHoseStation =
    Present("Grade01") + "[Tank01]\nNumber=1\nGrade=1\n" + "[Tank03]\nNumber=1\nGrade=1\n";

TEST_F(ImportTest, HosesEndAtTheFirstPositionWithoutAHose) {
    Import(kHoseStation +
           "[Pump01]\nNumber=1\n"
           "Hose1ID=11\nHose1Tank=1\n"
           "Hose2ID=12\nHose2Tank=3\n"
           "Hose4ID=14\nHose4Tank=1\n");
    EXPECT_EQ(IdsSetBy("SetHosePropertiesEx2"), (std::vector<std::int32_t>{11, 12}));
    EXPECT_EQ(result, 0);
}

TEST_F(ImportTest, AHoseTankIsImportedOnDemandOnceAndThePumpSectionReadOn) {
    // Tank 3 comes from the tank scan; tank 20 lies beyond it and is imported for hose 1. After
    // that import hose 2 is still read from the pump's section.
    EXPECT_EQ(Import(kHoseStation + "[Tank20]\nNumber=1\nGrade=1\n" +
                     "[Pump01]\nNumber=1\n"
                     "Hose1ID=11\nHose1Tank=20\n"
                     "Hose2ID=12\nHose2Tank=3\n"
                     "Hose3ID=13\nHose3Tank=20\n"),
              "  1 grades imported successfully.\n"
              "  2 tanks imported successfully.\n"
              "  1 pumps imported successfully.\n"
              "\nAll done.\n");
    EXPECT_EQ(IdsSetBy("SetTankPropertiesEx2"), (std::vector<std::int32_t>{1, 3, 20}));
    EXPECT_EQ(IdsSetBy("SetHosePropertiesEx2"), (std::vector<std::int32_t>{11, 12, 13}));
    EXPECT_EQ(IdsSetBy("SetGradePropertiesEx"), (std::vector<std::int32_t>{1}));
    std::vector<std::string> names;
    for (const kestro::RecordedCall& call : Setters()) {
        names.push_back(call.name);
    }
    const std::vector<std::string> tail = {"SetPumpPropertiesEx", "SetTankPropertiesEx2",
                                           "SetHosePropertiesEx2", "SetHosePropertiesEx2",
                                           "SetHosePropertiesEx2"};
    ASSERT_GE(names.size(), tail.size());
    EXPECT_EQ(std::vector<std::string>(names.end() - 5, names.end()), tail);
}

}  // namespace
