// VERIFY: the controller, read through the export's reading, set against the file, read
// through the import's reader, key by key.
#include "transfer/verify.h"

#include <atomic>
#include <cstdio>
#include <optional>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "transfer/config_file_access.h"
#include "transfer/export.h"
#include "transfer/file_records.h"
#include "transfer/import.h"
#include "transfer/verify_comparison.h"

namespace {

const char* GroupHeading(const ImportKind& kind) {
    static const std::unordered_map<std::string, const char*> headings = {
        {"ports", "Ports"},           {"grades", "Grades"},
        {"tanks", "Tanks"},           {"ZigBee devices", "ZigBee devices"},
        {"pumps", "Pumps"},           {"sensors", "Sensors"},
        {"attendants", "Attendants"}, {"clients", "Card clients"},
        {"products", "Products"},
    };
    return headings.at(kind.noun);
}

}  // namespace

std::int32_t VerifyConfiguration(const char* iniFile) {
    ConfigFileStream stream = OpenConfigFile(iniFile);
    if (stream == nullptr) {
        return -1;
    }
    // The file is read on a second thread while the controller's round trips are waited for;
    // the controller's keys are compared as they come once it is read.
    std::optional<FileRecords> file;
    std::atomic<const FileRecords*> fileRead = nullptr;
    std::thread fileReader([&] {
        file.emplace(stream.release());
        fileRead.store(&*file, std::memory_order_release);
    });
    VerifyComparison comparison(fileRead);
    const bool read = ReadControllerConfiguration(comparison);
    fileReader.join();
    if (file->ReadError() != 0) {
        ReportReadError(iniFile, file->ReadError());
        return -1;
    }
    if (!read) {
        return -1;
    }
    comparison.Finish();

    const std::vector<VerifyComparison::Difference> differences = comparison.Differences();
    const std::vector<ImportKind> kinds = ImportKinds();
    int group = section_kinds::kNoKind;
    for (const VerifyComparison::Difference& difference : differences) {
        if (difference.group != group) {
            group = difference.group;
            std::printf("\n%s:\n", GroupHeading(kinds[static_cast<std::size_t>(group)]));
        }
        std::printf("  %s.\n", difference.text.c_str());
    }
    const std::vector<std::string> information = comparison.Information();
    if (!information.empty()) {
        std::printf("\nInformation (no difference):\n");
        for (const std::string& line : information) {
            std::printf("  %s\n", line.c_str());
        }
    }
    if (differences.empty()) {
        std::printf("\nThe controller holds what the file says.\n");
        return 0;
    }
    std::printf("\n%zu difference%s between the file and the controller.\n", differences.size(),
                differences.size() == 1 ? "" : "s");
    return 1;
}
