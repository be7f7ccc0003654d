// The harness of the import tests: an empty station installed and logged on, the lists of
// imported grades and tanks emptied, a scratch folder for the INI file, the console captured,
// the setter calls picked out of the station's call record, and a check that every BSTR was
// freed.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "kestro/inproc/current_station.h"
#include "kestro/model/result_codes.h"
#include "platform/oleauto.h"
#include "tests/support/captured_output.h"
#include "tests/support/temp_folder.h"
#include "transfer/import.h"
#include "transfer/imported_records.h"

namespace import_test {

// "[name]" and "Number=1": the smallest section of a record present.
inline std::string Present(const std::string& section) {
    return "[" + section + "]\nNumber=1\n";
}

class ImportTest : public testing::Test {
  protected:
    void SetUp() override {
        ResetImportedRecords();
        const std::string made = test_support::MakeUniqueFolder("import-test");
        ASSERT_FALSE(made.empty());
        folder = made;
        file = folder / "station.ini";
        ASSERT_EQ(station.ClientLogonEx(110, 5, WSTR("127.0.0.1"), 5123, 5124, 10000, 0, 0, 1024),
                  kestro::kSuccess);
        station.ClearCalls();
    }

    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
#ifndef _WIN32  // the layer counts live BSTRs; Windows keeps no such count
        EXPECT_EQ(SysLiveStringCount(), baselineStrings) << "BSTRs not freed";
#endif
    }

    // Writes `text` as the INI file, imports it and returns the console; the result is kept
    // in `result`.
    std::string Import(const std::string& text) {
        std::ofstream(file, std::ios::binary) << text;
        return ImportFile(file);
    }

    std::string ImportFile(const std::filesystem::path& path) {
        return test_support::CaptureStdout(
            [&] { result = ImportConfiguration(path.string().c_str()); });
    }

    // The setter calls the import made, in order (ResultString calls of failure lines left
    // out).
    std::vector<kestro::RecordedCall> Setters() const {
        std::vector<kestro::RecordedCall> setters;
        for (const kestro::RecordedCall& call : station.Calls()) {
            if (call.name.starts_with("Set")) {
                setters.push_back(call);
            }
        }
        return setters;
    }

    // The identifiers (first values) that the setter `name` was called with, in order.
    std::vector<std::int32_t> IdsSetBy(const std::string& name) const {
        std::vector<std::int32_t> ids;
        for (const kestro::RecordedCall& call : Setters()) {
            if (call.name == name) {
                ids.push_back(std::get<std::int32_t>(call.values.at(0)));
            }
        }
        return ids;
    }

#ifndef _WIN32
    long baselineStrings = SysLiveStringCount();
#endif
    kestro::Station station;
    kestro::ScopedStation use{station};
    std::filesystem::path folder;
    std::filesystem::path file;
    std::int32_t result = 99;
};

}  // namespace import_test
