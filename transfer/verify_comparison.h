// VerifyComparison: VERIFY's comparison of the controller with a file. It takes the
// controller's keys as the export's reading hands them over (a ConfigSink, so the controller's
// configuration is never kept whole) and compares each with the file's records as it comes.
// The file is read on another thread; keys that come before it is read are held and compared
// as soon as it is there.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "transfer/config_writer.h"
#include "transfer/file_records.h"
#include "transfer/import.h"

class VerifyComparison : public ConfigSink {
  public:
    struct Difference {
        int group;  // index into ImportKinds()
        std::string text;
    };

    // `file` is null until the file's records are read, then stays set; it is looked at
    // whenever a section is selected.
    explicit VerifyComparison(const std::atomic<const FileRecords*>& file);

    void SelectSection(const std::string& name) override;
    bool WriteKey(const char* key, const CounterString& value, ValueKind kind) override;

    // Once every key is handed over and `file` is set: the keys held are compared, then the
    // keys of the file that the controller lacks and the records only in the file are found.
    void Finish();

    // The differences grouped by kind, in kind order; within a kind by section, the
    // controller's sections in the order they came and then the records only in the file.
    std::vector<Difference> Differences() const;
    // What differs without being a difference (dates, versions, keys the import never
    // carries), in section order.
    std::vector<std::string> Information() const;

  private:
    // A section of the controller (tens of thousands: 24 bytes each).
    struct Section {
        const FileRecord* record = nullptr;  // null: its keys are not compared
        std::uint32_t next = 0;              // where its next key is looked for first
        std::uint32_t name = kRecordsName;   // index in names_, or its record's name
        std::int16_t group = section_kinds::kNoKind;
        bool application = false;
    };
    static constexpr std::uint32_t kRecordsName = static_cast<std::uint32_t>(-1);
    // A finding with the section it belongs to (kFileOnly: a record only in the file).
    struct Finding {
        int group;
        std::size_t section;
        std::string text;
    };
    // What came before the file was read: a section selected, or a key with its value.
    struct Held {
        bool section;
        std::string name;
        std::string value;
        ValueKind kind;
    };
    static constexpr std::size_t kFileOnly = static_cast<std::size_t>(-1);
    static constexpr std::size_t kNotSelected = static_cast<std::size_t>(-1);

    bool FileRead();
    void Select(const std::string& name);
    std::string NameOf(const Section& section) const;
    // The index of the file's record of section `name`, or kNotSelected.
    std::size_t RecordOf(const std::string& name) const;
    void Compare(std::string_view key, std::string_view value, ValueKind kind);
    void CompareApplication(const Section& section, std::string_view key, std::string_view value);
    void CompareRecord(Section& section, std::string_view key, std::string_view value,
                       ValueKind kind);
    void FileKeysTheControllerLacks(std::size_t index);
    void FileOnlyRecord(const FileRecord& record);
    // A finding of section `index`: a difference, or information when the key is one the
    // import never carries.
    void Report(std::size_t index, const std::string& key, std::string text);

    const std::atomic<const FileRecords*>& fileSource_;
    const FileRecords* file_ = nullptr;
    const std::vector<ImportKind> kinds_;
    std::vector<Held> held_;
    std::string bytes_;  // the value being compared, as the export writes it
    std::vector<Section> sections_;
    std::vector<std::string> names_;  // of the sections named otherwise than their record
    // The section of each file record, by record index (kNotSelected: none yet), and of the
    // sections without a record, by folded name.
    std::vector<std::size_t> recordSections_;
    std::unordered_map<std::string, std::size_t> otherSections_;
    std::size_t nextRecord_ = 0;  // the file record the next section is looked for at first
    std::size_t current_ = 0;
    std::vector<bool> compared_;  // by value index of the file: a controller key met it
    std::vector<Finding> differences_;
    std::vector<Finding> information_;
};
