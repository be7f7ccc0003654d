// FileRecords: a configuration file's records as the import's reader reads them, kept in
// memory for VERIFY: the first section of each name that is a record section of a kind (by
// its kind's own name, "Pump07") or the Application section, whether its record is present,
// and the value of each of its keys that the layout gives the kind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "transfer/import.h"
#include "transfer/record_reader.h"
#include "transfer/section_kinds.h"

// A key of a file record: one of the layout's keys of its kind, with its value as read.
struct FileValue {
    const section_kinds::LayoutKey* key;
    std::string_view value;
};

// A record of the file. A file holds tens of thousands, so each takes 32 bytes: its name is
// kept with its values' texts (FileRecords::Name).
struct FileRecord {
    // The layout's keys the section holds, in file order: `count` values from `first` on,
    // their texts from `text` on, the name's `nameLength` bytes just before them.
    std::size_t first = 0;
    std::size_t text = 0;
    const std::vector<section_kinds::LayoutKey>* keys = nullptr;  // its kind's keys
    std::uint32_t count = 0;
    std::uint16_t nameLength = 0;
    std::int8_t group = section_kinds::kNoKind;  // kNoKind: the Application section
    bool present = false;  // its Number reads 1 or more (always for Application)
};

class FileRecords : private RecordVisitor {
  public:
    // The keys of the Application section kept: those VERIFY reports as information.
    static constexpr const char* kApplicationKeys[] = {config_layout::kDateGeneratedKey,
                                                       config_layout::kClientVersionKey,
                                                       config_layout::kServerVersionKey};

    // Reads `iniFile` once, from the top (a file that cannot be opened gives no records).
    explicit FileRecords(const char* iniFile);
    // Reads the open stream `file` (null: no records) once, from the top, and closes it.
    explicit FileRecords(std::FILE* file);
    FileRecords(const FileRecords&) = delete;
    FileRecords& operator=(const FileRecords&) = delete;

    // 0 when the file was read to its end; else the errno of the read that failed, and the
    // records hold only what came before it.
    int ReadError() const { return readError_; }
    // The records in file order.
    const std::vector<FileRecord>& Records() const { return records_; }
    // The section name of a record, as the file writes it.
    std::string_view Name(const FileRecord& record) const {
        return std::string_view(texts_).substr(record.text - record.nameLength, record.nameLength);
    }
    // Value `index` (below record.count) of a record.
    FileValue Value(const FileRecord& record, std::size_t index) const {
        const StoredValue& stored = values_[record.first + index];
        return {&(*record.keys)[stored.key],
                std::string_view(texts_).substr(record.text + stored.offset, stored.length)};
    }
    // The index in Records() of the record of the section named `section` (case aside), or
    // Records().size(). Not to be called while another thread calls it.
    std::size_t IndexOf(const std::string& section) const;
    // The index of a value of a record among all the values of the file.
    std::size_t ValueIndex(const FileRecord& record, std::size_t index) const {
        return record.first + index;
    }
    std::size_t ValueCount() const { return values_.size(); }

  private:
    // A value as kept: a file holds hundreds of thousands, so each takes 8 bytes. Its text is
    // `length` bytes (a value read is at most CounterString::kMaxLength long) from `offset`
    // after its record's first, and its key the one at `key` in the kind's keys (a record's
    // texts are at most its few dozen keys' values long, so the offset fits).
    struct StoredValue {
        std::uint32_t offset;
        std::uint16_t length;
        std::uint16_t key;
    };

    // The keys a kind's sections may hold, in layout order, and their indexes by folded name.
    struct KeyMap {
        std::vector<section_kinds::LayoutKey> keys;
        std::unordered_map<std::string, std::size_t> byName;
        void Add(section_kinds::LayoutKey key);
    };

    const KeyMap& LayoutKeysOf(const std::string& prefix);
    void Section(const std::string& section) override;
    void Value(std::string_view key, std::string_view value) override;
    void Start(const std::string& section, int group, const KeyMap& known);
    void Finish();

    const std::vector<ImportKind> kinds_ = ImportKinds();
    KeyMap applicationKeys_;
    std::unordered_map<std::string, KeyMap> layoutKeys_;  // values point into these
    std::vector<FileRecord> records_;
    std::vector<StoredValue> values_;  // the values of every record, record after record
    std::string texts_;                // their texts, one after another
    // Folded name -> index in records_, made when first asked for (a file in the export's
    // order never needs it).
    mutable std::unordered_map<std::string, std::size_t> index_;
    FileRecord record_;              // the record being read
    const KeyMap* known_ = nullptr;  // its kind's keys; null: no record being read
    std::size_t nextKey_ = 0;        // where in known_ its next key is looked for first
    std::string number_;             // its Number as read
    int readError_ = 0;
};
