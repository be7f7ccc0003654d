// Brenkar's import: the scan of each record kind's identifiers and the console report.
#include "transfer/import.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "ini/ini_document.h"
#include "transfer/import_records.h"
#include "transfer/kestro_import_target.h"

namespace {

// A gap of this many absent identifiers in a row ends a kind.
constexpr int kMissLimit = 7;

struct KindScan {
    ImportKind kind;
    std::int32_t alwaysProbedUpTo;  // the miss limit applies only above this identifier
    RecordImport (*import)(ImportRun& run, std::int32_t id);
};

// Ports, grades and tanks go on after a failed setter: it counts like an absent record.
template <bool (*Import)(ImportRun&, std::int32_t)>
RecordImport ScanOn(ImportRun& run, std::int32_t id) {
    return Import(run, id) ? RecordImport::kImported : RecordImport::kAbsent;
}

using namespace config_layout;

constexpr KindScan kKinds[] = {
    {{"ports", kPortSection, 1, 100}, 13, ScanOn<ImportPort>},
    {{"grades", kGradeSection, 1, 100}, 0, ScanOn<ImportGrade>},
    {{"tanks", kTankSection, 1, 100}, 0, ScanOn<ImportTank>},
    {{"ZigBee devices", kZigBeeSection, 5, 100}, 0, ImportZigBee},
    {{"pumps", kPumpSection, 1, 100}, 0, ImportPump},
    {{"sensors", kSensorSection, 1, 10000}, 0, ImportSensor},
    {{"attendants", kAttendantSection, 1, 10000}, 0, ImportAttendant},
    {{"clients", kClientSection, 1, 10000}, 0, ImportCardClient},
    {{"products", kProductSection, 1, 10000}, 0, ImportProduct},
};

// Imports the records of one kind and prints its count line; false when the import must end.
bool ScanKind(ImportRun& run, const KindScan& kind) {
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
            case RecordImport::kAbsent:
                ++misses;
                break;
            case RecordImport::kEndImport:
                return false;
        }
    }
    if (count > 0) {
        std::printf("%3d %s imported successfully.\n", count, kind.kind.noun);
    }
    return true;
}

// The document would create a missing file and read an unopenable one as empty, so that a
// mistyped name imported nothing and reported success; the file is checked first instead.
bool FileOpensForUpdate(const char* iniFile) {
    std::FILE* file = std::fopen(iniFile, "rbe");
    if (file == nullptr) {
        std::printf("Cannot read the file %s - %s.\n", iniFile, std::strerror(errno));
        return false;
    }
    std::fclose(file);
    file = std::fopen(iniFile, "r+be");
    if (file == nullptr) {
        std::printf("Cannot open the file %s for update - %s.\n", iniFile, std::strerror(errno));
        return false;
    }
    std::fclose(file);
    return true;
}

}  // namespace

std::vector<ImportKind> ImportKinds() {
    std::vector<ImportKind> kinds;
    for (const KindScan& scan : kKinds) {
        kinds.push_back(scan.kind);
    }
    return kinds;
}

bool ImportRecords(IniDocument& document, ImportTarget& target, ReadObserver* observer) {
    RecordReader reader(document, observer);
    ImportRun run{reader, target};
    for (const KindScan& kind : kKinds) {
        if (!ScanKind(run, kind)) {
            return false;
        }
    }
    return true;
}

std::int32_t ImportConfiguration(const char* iniFile) {
    if (!FileOpensForUpdate(iniFile)) {
        return -1;
    }
    IniDocument document(iniFile, true);
    KestroImportTarget controller;
    if (!ImportRecords(document, controller, nullptr)) {
        return -1;
    }
    std::printf("\nAll done.\n");
    return 0;
}
