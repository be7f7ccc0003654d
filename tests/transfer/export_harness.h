// The harness of the export tests: the fixture station installed and logged on, the clock and
// the locale pinned (DateGenerated reads "3/5/2024 2:07:09 PM"), a scratch folder, the console
// captured, and a check that every BSTR handed out was freed.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "kestro/inproc/current_station.h"
#include "kestro/model/result_codes.h"
#include "platform/oleauto.h"
#include "platform/systime.h"
#include "tests/support/captured_output.h"
#include "tests/transfer/export_fixture_station.h"
#include "transfer/export.h"
#include "transfer/version_only.h"

namespace export_test {

// The whole file, bytes as they are; std::nullopt when it does not exist.
inline std::optional<std::string> ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// An expected file of tests/data/export.
inline std::string Expected(const char* name) {
    const auto bytes = ReadFile(std::filesystem::path(FORECOURT_TEST_DATA) / "export" / name);
    if (!bytes) {
        ADD_FAILURE() << "missing expected file " << name;
        return {};
    }
    return *bytes;
}

// The console of a fixture export without switches (ports 100 and ZigBee device 99 report
// no details, so their firmware queries fail and are reported).
inline const std::string kFixtureConsole =
    "...GetDeviceDetails failed. - device details not available.\n"
    "\n  3 ports exported successfully.\n"
    "..\n  2 grades exported successfully.\n"
    "..\n  2 Tanks exported successfully.\n"
    "..GetDeviceDetails failed. - device details not available.\n"
    "\n  2 ZigBee devices exported successfully.\n"
    "..\n  2 Pumps exported successfully.\n"
    "..\n  2 Sensors exported successfully.\n"
    "..\n  2 Attendants exported successfully.\n"
    "..\n  2 Clients exported successfully.\n"
    "..\nAll done.\n";

class ExportTest : public testing::Test {
  protected:
    void SetUp() override {
        VersionOnly = false;
        const char* locale = getenv("LC_ALL");
        savedLocale = locale != nullptr ? std::optional<std::string>(locale) : std::nullopt;
        setenv("LC_ALL", "C", 1);  // the platform maps "C" to en-US
        platform_test::SetLocalTime(SYSTEMTIME{2024, 3, 2, 5, 14, 7, 9, 0});

        char pattern[] = "/tmp/export-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        target = folder / "station.ini";
        partial = folder / "station.ini.partial";

        station.SetDllVersionText(export_fixture::kDllVersion);
        station.SetServerVersionText(export_fixture::kServerVersion);
        ASSERT_EQ(station.ClientLogonEx(110, 5, u"127.0.0.1", 5123, 5124, 10000, 0, 0, 1024),
                  kestro::kSuccess);
        station.ClearCalls();
    }

    void TearDown() override {
        VersionOnly = false;
        platform_test::ClearLocalTime();
        if (savedLocale) {
            setenv("LC_ALL", savedLocale->c_str(), 1);
        } else {
            unsetenv("LC_ALL");
        }
        std::error_code ignored;
        std::filesystem::permissions(folder, std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(folder, ignored);
        EXPECT_EQ(SysLiveStringCount(), baselineStrings) << "BSTRs handed out and not freed";
    }

    // Exports to `file` (default: the target) with the switches given; returns the console
    // and keeps the result in `result`.
    std::string Export(bool pam = false, bool company = false, bool gsc = false, bool ipt = false,
                       std::optional<std::filesystem::path> file = {}) {
        const std::string path = (file ? *file : target).string();
        return test_support::CaptureStdout(
            [&] { result = ExportConfiguration(path.c_str(), pam, company, gsc, ipt); });
    }

    long baselineStrings = SysLiveStringCount();
    kestro::Station station{export_fixture::Station()};
    kestro::ScopedStation use{station};
    std::optional<std::string> savedLocale;
    std::filesystem::path folder;
    std::filesystem::path target;
    std::filesystem::path partial;
    std::int32_t result = 99;
};

}  // namespace export_test
