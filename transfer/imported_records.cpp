// The process-wide lists of grades and tanks already imported.
#include "transfer/imported_records.h"

#include <algorithm>

bool ImportedRecords::Contains(std::int32_t id) const {
    return std::find(ids_.begin(), ids_.begin() + count_, id) != ids_.begin() + count_;
}

void ImportedRecords::Record(std::int32_t id) {
    if (count_ < kCapacity) {
        ids_[static_cast<std::size_t>(count_++)] = id;
    }
}

ImportedRecords& ImportedGrades() {
    static ImportedRecords grades;
    return grades;
}

ImportedRecords& ImportedTanks() {
    static ImportedRecords tanks;
    return tanks;
}

void ResetImportedRecords() {
    ImportedGrades().count_ = 0;
    ImportedTanks().count_ = 0;
}
