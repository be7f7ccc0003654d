// The import's failures: a failed port, grade or tank setter is printed and scanned past (the
// import then ends with 3); any other failed setter, and a hose whose tank cannot be imported,
// ends the import with -1; a file that does not exist, is no regular file or cannot be opened
// is reported by name and never created.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "kestro/model/fault_plan.h"
#include "tests/support/unprivileged_user.h"
#include "tests/transfer/import_harness.h"

namespace {

using import_test::ImportTest;
using import_test::Present;

TEST_F(ImportTest, AFailedPortSetterIsPrintedAndCountsAsAMiss) {
    // Port 13 resets the misses; a failing port 14 and absent ports 15 to 20 make seven, so
    // port 21 is not probed. With port 14 written, port 21 is reached.
    const std::string ports = Present("Port13") + Present("Port14") + Present("Port21");
    EXPECT_EQ(Import(ports), "  3 ports imported successfully.\n\nAll done.\n");
    EXPECT_EQ(IdsSetBy("SetPortProperties"), (std::vector<std::int32_t>{13, 14, 21}));

    station.ClearCalls();
    station.InjectFault(
        {.call = "SetPortProperties", .code = kestro::kConnectionLost, .record = 14});
    EXPECT_EQ(Import(ports + Present("Pump01")),
              "SetPortProperties failed - connection lost.\n"
              "  1 ports imported successfully.\n"
              "  1 pumps imported successfully.\n"
              "\nAll done.\n");
    EXPECT_EQ(result, 3);  // the import went on, but a record was lost
    EXPECT_EQ(IdsSetBy("SetPortProperties"), (std::vector<std::int32_t>{13, 14}));
}

TEST_F(ImportTest, AFailedGradeIsRetriedForATankThatNamesIt) {
    // Grade 2's second price fails: its properties and level 1 stay written, the grade is not
    // recorded, and tank 1 naming it imports it again (failing again: no tank).
    station.InjectFault({.call = "SetGradePrice", .code = kestro::kTimeOut, .after = 1});
    EXPECT_EQ(Import(Present("Grade01") + Present("Grade02") + "Price01=1\nPrice02=2\n" +
                     "[Tank01]\nNumber=1\nGrade=2\n" + "[Tank02]\nNumber=1\nGrade=1\n"),
              "SetGradePrice failed. - time-out.\n"
              "  1 grades imported successfully.\n"
              "SetGradePrice failed. - time-out.\n"
              "Tank 1: grade 2 could not be imported.\n"
              "  1 tanks imported successfully.\n"
              "\nAll done.\n");
    EXPECT_EQ(result, 3);
    EXPECT_EQ(IdsSetBy("SetGradePropertiesEx"), (std::vector<std::int32_t>{1, 2, 2}));
    EXPECT_EQ(IdsSetBy("SetTankPropertiesEx2"), (std::vector<std::int32_t>{2}));
}

TEST_F(ImportTest, FailedGradeAndTankSettersArePrintedAndTheScanGoesOn) {
    station.InjectFault(
        {.call = "SetGradePropertiesEx", .code = kestro::kInvalidArgument, .record = 1});
    station.InjectFault({.call = "SetTankPropertiesEx2", .code = kestro::kTimeOut, .record = 1});
    EXPECT_EQ(Import(Present("Grade01") + Present("Grade02") + "[Tank01]\nNumber=1\nGrade=2\n" +
                     "[Tank02]\nNumber=1\nGrade=2\n"),
              "SetGradePropertiesEx failed. - invalid argument.\n"
              "  1 grades imported successfully.\n"
              "SetTankPropertiesEx2 failed. - time-out.\n"
              "  1 tanks imported successfully.\n"
              "\nAll done.\n");
    EXPECT_EQ(result, 3);
}

TEST_F(ImportTest, AFailedSetterOfTheOtherKindsEndsTheImport) {
    // One record of every kind; pump 1 has a hose on tank 1.
    const std::string file = Present("Grade01") + "[Tank01]\nNumber=1\nGrade=1\n" +
                             Present("ZigBee05") + "[Pump01]\nNumber=1\nHose1ID=11\nHose1Tank=1\n" +
                             Present("Sensor01") + Present("Attendant01") + Present("Client001") +
                             Present("Product001");
    struct Row {
        const char* setter;
        const char* console;
        const char* lastSetter;  // no later kind is imported
    };
    const Row rows[] = {
        {"SetZigBeeProperties",
         "  1 grades imported successfully.\n"
         "  1 tanks imported successfully.\n"
         "SetZigBeeProperties failed. - time-out.\n",
         "SetZigBeeProperties"},
        {"SetPumpPropertiesEx",
         "  1 grades imported successfully.\n"
         "  1 tanks imported successfully.\n"
         "  1 ZigBee devices imported successfully.\n"
         "SetPumpPropertiesEx failed. - time-out.\n",
         "SetPumpPropertiesEx"},
        {"SetHosePropertiesEx2",
         "  1 grades imported successfully.\n"
         "  1 tanks imported successfully.\n"
         "  1 ZigBee devices imported successfully.\n"
         "SetHosePropertiesEx2 failed. - time-out.\n",
         "SetHosePropertiesEx2"},
        {"SetSensorPropertiesEx",
         "  1 grades imported successfully.\n"
         "  1 tanks imported successfully.\n"
         "  1 ZigBee devices imported successfully.\n"
         "  1 pumps imported successfully.\n"
         "SetSensorPropertiesEx failed. - time-out.\n",
         "SetSensorPropertiesEx"},
        {"SetAttendantPropertiesEx2",
         "  1 grades imported successfully.\n"
         "  1 tanks imported successfully.\n"
         "  1 ZigBee devices imported successfully.\n"
         "  1 pumps imported successfully.\n"
         "  1 sensors imported successfully.\n"
         "SetAttendantPropertiesEx2 failed. - time-out.\n",
         "SetAttendantPropertiesEx2"},
        {"SetCardClientPropertiesEx4",
         "  1 grades imported successfully.\n"
         "  1 tanks imported successfully.\n"
         "  1 ZigBee devices imported successfully.\n"
         "  1 pumps imported successfully.\n"
         "  1 sensors imported successfully.\n"
         "  1 attendants imported successfully.\n"
         "SetCardClientPropertiesEx4 failed. - time-out.\n",
         "SetCardClientPropertiesEx4"},
        {"SetProductProperties",
         "  1 grades imported successfully.\n"
         "  1 tanks imported successfully.\n"
         "  1 ZigBee devices imported successfully.\n"
         "  1 pumps imported successfully.\n"
         "  1 sensors imported successfully.\n"
         "  1 attendants imported successfully.\n"
         "  1 clients imported successfully.\n"
         "SetProductProperties failed. - time-out.\n",
         "SetProductProperties"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.setter);
        ResetImportedRecords();
        station.ClearCalls();
        station.ClearFaults();
        station.FailCall(row.setter, kestro::kTimeOut);
        EXPECT_EQ(Import(file), row.console);
        EXPECT_EQ(result, -1);
        ASSERT_FALSE(Setters().empty());
        EXPECT_EQ(Setters().back().name, row.lastSetter);
    }
}

TEST_F(ImportTest, AHoseWhoseTankCannotBeImportedIsReportedAndEndsTheImport) {
    // Pump 3's hose 1 is on tank 1; hose 2 names a tank that cannot be imported.
    const std::string stationFile =
        Present("Grade01") + "[Tank01]\nNumber=1\nGrade=1\n" + Present("Pump01");
    const std::string pump3 = "[Pump03]\nNumber=3\nHose1ID=31\nHose1Tank=1\nHose2ID=32\n";
    const std::string later = Present("Sensor01") + Present("Product001");
    const std::string counts =
        "  1 grades imported successfully.\n"
        "  1 tanks imported successfully.\n";
    struct Row {
        const char* why;
        std::string file;
        const char* tankFault;
        std::string console;
    };
    const Row rows[] = {
        {"tank without a section", stationFile + pump3 + "Hose2Tank=9\n" + later, nullptr,
         counts + "Pump 3 hose 2: tank 9 could not be imported.\n"},
        {"tank key missing", stationFile + pump3 + later, nullptr,
         counts + "Pump 3 hose 2: tank 0 could not be imported.\n"},
        {"tank whose grade has no section",
         stationFile + pump3 + "Hose2Tank=20\n[Tank20]\nNumber=1\nGrade=9\n" + later, nullptr,
         counts + "Tank 20: grade 9 could not be imported.\n"
                  "Pump 3 hose 2: tank 20 could not be imported.\n"},
        {"tank setter failing",
         stationFile + pump3 + "Hose2Tank=20\n[Tank20]\nNumber=1\nGrade=1\n" + later,
         "SetTankPropertiesEx2",
         counts + "SetTankPropertiesEx2 failed. - time-out.\n"
                  "Pump 3 hose 2: tank 20 could not be imported.\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.why);
        ResetImportedRecords();
        station.ClearCalls();
        station.ClearFaults();
        if (row.tankFault != nullptr) {
            station.InjectFault({.call = row.tankFault, .code = kestro::kTimeOut, .record = 20});
        }
        EXPECT_EQ(Import(row.file), row.console);
        EXPECT_EQ(result, -1);
        // Pumps 1 and 3 and hose 1 are written; nothing after the failing hose.
        EXPECT_EQ(IdsSetBy("SetPumpPropertiesEx"), (std::vector<std::int32_t>{1, 3}));
        EXPECT_EQ(IdsSetBy("SetHosePropertiesEx2"), (std::vector<std::int32_t>{31}));
        EXPECT_TRUE(IdsSetBy("SetSensorPropertiesEx").empty());
        EXPECT_TRUE(IdsSetBy("SetProductProperties").empty());
    }
}

TEST_F(ImportTest, AMissingFileIsReportedByNameAndNotCreated) {
    const std::filesystem::path missing = folder / "statoin.ini";
    EXPECT_EQ(ImportFile(missing),
              "Cannot read the file " + missing.string() + " - No such file or directory.\n");
    EXPECT_EQ(result, -1);
    EXPECT_FALSE(std::filesystem::exists(missing));
    EXPECT_TRUE(station.Calls().empty());
}

TEST_F(ImportTest, AFileThatIsNoRegularFileIsRefusedWithoutReadingIt) {
    const std::filesystem::path fifo = folder / "fifo.ini";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::filesystem::path rows[] = {"/dev/zero", fifo, folder};
    for (const std::filesystem::path& path : rows) {
        SCOPED_TRACE(path);
        EXPECT_EQ(ImportFile(path),
                  "Cannot read the file " + path.string() + " - not a regular file.\n");
        EXPECT_EQ(result, -1);
        EXPECT_TRUE(station.Calls().empty());
    }
}

TEST_F(ImportTest, AFileWithoutPermissionsIsReportedByName) {
    std::ofstream(file) << Present("Pump01");
    test_support::GiveToUnprivilegedUser(file);
    test_support::OpenFolderToEveryone(folder);
    struct Row {
        std::filesystem::perms permissions;
        std::string console;
    } rows[] = {
        {std::filesystem::perms::owner_read,
         "Cannot open the file " + file.string() + " for update - Permission denied.\n"},
        {std::filesystem::perms::none,
         "Cannot read the file " + file.string() + " - Permission denied.\n"},
    };
    for (const Row& row : rows) {
        std::filesystem::permissions(file, row.permissions);
        int status = 0;
        const std::string console = test_support::CaptureStdout([&] {
            status = test_support::RunUnprivileged(
                [&] { return ImportConfiguration(file.string().c_str()); });
        });
        EXPECT_EQ(console, row.console);
        EXPECT_EQ(status, 255);
    }
    EXPECT_TRUE(station.Calls().empty());
}

}  // namespace
