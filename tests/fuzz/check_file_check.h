// The checks of the CHECK fuzz target, shared with the unit tests that replay its kept inputs:
// any bytes as a configuration file, checked by CHECK and imported into an empty in-process
// station. Whatever the bytes, CHECK must end with 0 or 1 and its summary, say "No findings"
// exactly when it returns 0, and print the same count lines as the import.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "kestro/inproc/current_station.h"
#include "tests/support/captured_output.h"
#include "transfer/check.h"
#include "transfer/import.h"
#include "transfer/imported_records.h"

namespace check_fuzz {

inline std::vector<std::string> CountLines(const std::string& output) {
    std::vector<std::string> lines;
    std::istringstream in(output);
    for (std::string line; std::getline(in, line);) {
        if (line.ends_with("imported successfully.")) {
            lines.push_back(line);
        }
    }
    return lines;
}

// An empty text when every rule held, else what went wrong.
inline std::string CheckConfigurationFile(std::span<const std::uint8_t> bytes) {
    static const std::string path = [] {
        char pattern[] = "/tmp/check-fuzz-XXXXXX";
        const int fd = mkstemp(pattern);
        if (fd >= 0) {
            close(fd);
        }
        return std::string(pattern);
    }();
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));

    ResetImportedRecords();
    std::int32_t checked = 99;
    const std::string output =
        test_support::CaptureStdout([&] { checked = CheckConfiguration(path.c_str()); });
    if (checked != 0 && checked != 1) {
        return "CHECK returned " + std::to_string(checked);
    }
    const bool clean =
        output.ends_with("\nNo findings: an import would carry everything in the file.\n");
    if (clean != (checked == 0)) {
        return "CHECK's summary does not match its result " + std::to_string(checked);
    }
    if (checked == 1 && output.find("an import would not carry everything") == std::string::npos) {
        return "CHECK returned 1 without its summary";
    }

    ResetImportedRecords();
    kestro::Station station;
    kestro::ScopedStation use(station);
    station.ClientLogonEx(110, 5, WSTR("127.0.0.1"), 5123, 5124, 10000, 0, 0, 1024);
    const std::string imported =
        test_support::CaptureStdout([&] { ImportConfiguration(path.c_str()); });
    if (CountLines(output) != CountLines(imported)) {
        return "CHECK and the import print different count lines";
    }
    return "";
}

}  // namespace check_fuzz
