// Brenkar's import: the scan of each record kind's identifiers and the console report.
#include "transfer/import.h"

#include <cstdio>
#include <vector>

#include "ini/ini_document.h"
#include "transfer/config_file_access.h"
#include "transfer/import_records.h"
#include "transfer/kestro_import_target.h"

namespace {

// A gap of this many absent identifiers in a row ends a kind.
constexpr int kMissLimit = 7;

// The result of an import that went on past records it could not write, so that a script
// tells a restore that lost records from a whole one.
constexpr std::int32_t kRecordsSkipped = 3;

struct KindScan {
    ImportKind kind;
    std::int32_t alwaysProbedUpTo;  // the miss limit applies only above this identifier
    RecordImport (*import)(ImportRun& run, std::int32_t id);
};

using namespace config_layout;

constexpr KindScan kKinds[] = {
    {{"ports", kPortSection, 1, 100}, 13, ImportPort},
    {{"grades", kGradeSection, 1, 100}, 0, ImportGrade},
    {{"tanks", kTankSection, 1, 100}, 0, ImportTank},
    {{"ZigBee devices", kZigBeeSection, 5, 100}, 0, ImportZigBee},
    {{"pumps", kPumpSection, 1, 100}, 0, ImportPump},
    {{"sensors", kSensorSection, 1, 10000}, 0, ImportSensor},
    {{"attendants", kAttendantSection, 1, 10000}, 0, ImportAttendant},
    {{"clients", kClientSection, 1, 10000}, 0, ImportCardClient},
    {{"products", kProductSection, 1, 10000}, 0, ImportProduct},
};

// Imports the records of one kind and prints its count line; false when the import must end.
// `skipped` is set when a record of the kind was not written.
bool ScanKind(ImportRun& run, const KindScan& kind, bool& skipped) {
    int count = 0;
    int misses = 0;
    for (std::int32_t id = kind.kind.first; id < kind.kind.bound; ++id) {
        if (misses >= kMissLimit && id > kind.alwaysProbedUpTo) {
            break;
        }
        switch (kind.import(run, id)) {
            case RecordImport::kImported:
                ++count;
                misses = 0;
                break;
            case RecordImport::kSkipped:
                skipped = true;
                ++misses;
                break;
            case RecordImport::kAbsent:
                ++misses;
                break;
            case RecordImport::kEndImport:
            case RecordImport::kReadFailed:
                return false;
        }
        if (run.reader.ReadFailed()) {
            return false;  // what the record's reads gave after the failure is not the file's
        }
    }
    if (count > 0) {
        std::printf("%3d %s imported successfully.\n", count, kind.kind.noun);
    }
    return true;
}

}  // namespace

// The document would create a missing file and read an unopenable one as empty, so that a
// mistyped name imported nothing and reported success; a device or a FIFO would be read
// forever or block the open. The file is checked first instead, without blocking on it.
bool ImportFileUsable(const char* iniFile) {
    if (!ConfigFileReadable(iniFile)) {
        return false;
    }
    const std::string updateError = ConfigFileUpdateError(iniFile);
    if (!updateError.empty()) {
        std::printf("Cannot open the file %s for update - %s.\n", iniFile, updateError.c_str());
        return false;
    }
    return true;
}

std::vector<ImportKind> ImportKinds() {
    std::vector<ImportKind> kinds;
    for (const KindScan& scan : kKinds) {
        kinds.push_back(scan.kind);
    }
    return kinds;
}

ImportOutcome ImportRecords(IniDocument& document, ImportTarget& target, ReadObserver* observer) {
    RecordReader reader(document, observer);
    ImportRun run{reader, target};
    bool skipped = false;
    for (const KindScan& kind : kKinds) {
        if (!ScanKind(run, kind, skipped)) {
            return reader.ReadFailed() ? ImportOutcome::kReadFailed : ImportOutcome::kEnded;
        }
    }
    return skipped ? ImportOutcome::kRecordsSkipped : ImportOutcome::kComplete;
}

std::int32_t ImportConfiguration(const char* iniFile) {
    if (!ImportFileUsable(iniFile)) {
        return -1;
    }
    IniDocument document(iniFile, true);
    KestroImportTarget controller;
    const ImportOutcome outcome = ImportRecords(document, controller, nullptr);
    if (outcome == ImportOutcome::kReadFailed) {
        ReportReadError(iniFile, document.ReadError());
    }
    if (outcome == ImportOutcome::kEnded || outcome == ImportOutcome::kReadFailed) {
        return -1;
    }
    std::printf("\nAll done.\n");
    return outcome == ImportOutcome::kRecordsSkipped ? kRecordsSkipped : 0;
}
