// ImportedGrades and ImportedTanks: the grades and tanks that the import has written, kept
// for the whole process so that a tank naming a grade, or a hose naming a tank, does not
// write that record a second time.
#pragma once

#include <array>
#include <cstdint>

// A list of at most 128 record identifiers, in the order recorded.
class ImportedRecords {
  public:
    static constexpr int kCapacity = 128;

    bool Contains(std::int32_t id) const;
    // Appends `id` while the list has room; once it is full further identifiers are not
    // recorded (such a record is simply written again when named later).
    void Record(std::int32_t id);
    int Count() const { return count_; }

  private:
    friend void ResetImportedRecords();

    std::array<std::int32_t, kCapacity> ids_{};
    int count_ = 0;
};

// The process-wide lists: empty at start; the import never clears them (the tool imports
// once per process).
ImportedRecords& ImportedGrades();
ImportedRecords& ImportedTanks();

// For tests that run several imports in one process: empties both lists.
void ResetImportedRecords();
