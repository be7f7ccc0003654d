// Brenkar's import: the scan of each record kind's identifiers and the console report.
#include "transfer/import.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "ini/ini_document.h"
#include "transfer/import_records.h"

namespace {

// A gap of this many absent identifiers in a row ends a kind.
constexpr int kMissLimit = 7;

// The result of an import that went on past records it could not write, so that a script
// tells a restore that lost records from a whole one.
constexpr std::int32_t kRecordsSkipped = 3;

struct KindScan {
    const char* noun;  // in the count line
    std::int32_t first;
    std::int32_t bound;             // the scan stops before this identifier
    std::int32_t alwaysProbedUpTo;  // the miss limit applies only above this identifier
    RecordImport (*import)(IniDocument& document, std::int32_t id);
};

constexpr KindScan kKinds[] = {
    {"ports", 1, 100, 13, ImportPort},
    {"grades", 1, 100, 0, ImportGrade},
    {"tanks", 1, 100, 0, ImportTank},
    {"ZigBee devices", 5, 100, 0, ImportZigBee},
    {"pumps", 1, 100, 0, ImportPump},
    {"sensors", 1, 10000, 0, ImportSensor},
    {"attendants", 1, 10000, 0, ImportAttendant},
    {"clients", 1, 10000, 0, ImportCardClient},
    {"products", 1, 10000, 0, ImportProduct},
};

// Imports the records of one kind and prints its count line; false when the import must end.
// `skipped` is set when a record of the kind was not written.
bool ScanKind(IniDocument& document, const KindScan& kind, bool& skipped) {
    int count = 0;
    int misses = 0;
    for (std::int32_t id = kind.first; id < kind.bound; ++id) {
        if (misses >= kMissLimit && id > kind.alwaysProbedUpTo) {
            break;
        }
        switch (kind.import(document, id)) {
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
                return false;
        }
    }
    if (count > 0) {
        std::printf("%3d %s imported successfully.\n", count, kind.noun);
    }
    return true;
}

}  // namespace

// The document would create a missing file and read an unopenable one as empty, so that a
// mistyped name imported nothing and reported success; a device or a FIFO would be read
// forever or block the open. The file is checked first instead, without blocking on it.
bool ImportFileUsable(const char* iniFile) {
    const int descriptor = open(iniFile, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        std::printf("Cannot read the file %s - %s.\n", iniFile, std::strerror(errno));
        return false;
    }
    struct stat status {};
    const bool regular = fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode);
    close(descriptor);
    if (!regular) {
        std::printf("Cannot read the file %s - not a regular file.\n", iniFile);
        return false;
    }
    std::FILE* file = std::fopen(iniFile, "r+be");
    if (file == nullptr) {
        std::printf("Cannot open the file %s for update - %s.\n", iniFile, std::strerror(errno));
        return false;
    }
    std::fclose(file);
    return true;
}

std::int32_t ImportConfiguration(const char* iniFile) {
    if (!ImportFileUsable(iniFile)) {
        return -1;
    }
    IniDocument document(iniFile, true);
    bool skipped = false;
    for (const KindScan& kind : kKinds) {
        if (!ScanKind(document, kind, skipped)) {
            return -1;
        }
    }
    std::printf("\nAll done.\n");
    return skipped ? kRecordsSkipped : 0;
}
