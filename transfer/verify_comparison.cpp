// VERIFY's comparison, key by key as the controller's keys come.
#include "transfer/verify_comparison.h"

#include <algorithm>

#include "ini/ini_document.h"
#include "ini/ini_outline.h"
#include "transfer/config_layout.h"
#include "transfer/record_reader.h"
#include "transfer/version_only.h"

using namespace section_kinds;

namespace {

constexpr char kNone[] = "(none)";    // the key is not there
constexpr char kEmpty[] = "(empty)";  // the key is there, without a value

std::string Shown(std::string_view value, bool present = true) {
    return !present ? kNone : value.empty() ? kEmpty : std::string(value);
}

// The index of `key` among the values of `record`, or record.count. Both sides usually hold
// a record's keys in the same order, so the one at `hint` is tried first.
std::size_t IndexOf(const FileRecords& file, const FileRecord& record, std::string_view key,
                    std::size_t hint) {
    if (hint < record.count && SameName(file.Value(record, hint).key->name, key)) {
        return hint;
    }
    std::size_t index = 0;
    while (index < record.count && !SameName(file.Value(record, index).key->name, key)) {
        ++index;
    }
    return index;
}

// True when the reader reads `value` back as the export writes it: it neither starts nor ends
// with a blank nor starts with a double quote (the export writes no CR or LF).
bool ReadsAsWritten(std::string_view value) {
    return value.empty() || (value.front() != ' ' && value.back() != ' ' && value.front() != '"');
}

}  // namespace

VerifyComparison::VerifyComparison(const std::atomic<const FileRecords*>& file)
    : fileSource_(file), kinds_(ImportKinds()) {}

bool VerifyComparison::FileRead() {
    if (file_ != nullptr) {
        return true;
    }
    file_ = fileSource_.load(std::memory_order_acquire);
    if (file_ == nullptr) {
        return false;
    }
    compared_.assign(file_->ValueCount(), false);
    recordSections_.assign(file_->Records().size(), kNotSelected);
    sections_.reserve(file_->Records().size());
    std::vector<Held> held = std::move(held_);
    held_.clear();
    for (const Held& item : held) {
        if (item.section) {
            Select(item.name);
        } else {
            Compare(item.name, item.value, item.kind);
        }
    }
    return true;
}

void VerifyComparison::SelectSection(const std::string& name) {
    if (FileRead()) {
        Select(name);
    } else {
        held_.push_back({true, name, {}, ValueKind::kText});
    }
}

bool VerifyComparison::WriteKey(const char* key, const CounterString& value, ValueKind kind) {
    if (file_ == nullptr) {
        held_.push_back({false, key, IniDocument::ValueBytes(value), kind});
    } else {
        IniDocument::AssignValueBytes(value, bytes_);
        Compare(key, bytes_, kind);
    }
    return true;
}

std::size_t VerifyComparison::RecordOf(const std::string& name) const {
    // A file written by the export holds its records in the order the export reads them: the
    // section is the next record, or the last one selected again (a port's FirmwareVersion).
    const std::vector<FileRecord>& records = file_->Records();
    for (const std::size_t index : {nextRecord_, nextRecord_ - 1}) {
        if (index < records.size() && SameName(file_->Name(records[index]), name)) {
            return index;
        }
    }
    // Only the Application section and the sections of a kind's own name can be records (a
    // TankGauge section never is).
    if (!SameName(name, config_layout::kApplicationSection)) {
        const SectionKind kind = KindOf(name, kinds_);
        if (kind.group == kNoKind || !kind.canonical) {
            return kNotSelected;
        }
    }
    const std::size_t index = file_->IndexOf(name);
    return index < records.size() ? index : kNotSelected;
}

// A section selected again (a port's FirmwareVersion after its TankGauge section) goes on
// where it was.
void VerifyComparison::Select(const std::string& name) {
    const std::size_t recordIndex = RecordOf(name);
    std::size_t* selected = nullptr;
    if (recordIndex != kNotSelected) {
        nextRecord_ = recordIndex + 1;
        selected = &recordSections_[recordIndex];
    } else {
        selected = &otherSections_.try_emplace(Folded(name), kNotSelected).first->second;
    }
    if (*selected != kNotSelected) {
        current_ = *selected;
        return;
    }
    current_ = *selected = sections_.size();
    Section section;
    const FileRecord* record =
        recordIndex != kNotSelected ? &file_->Records()[recordIndex] : nullptr;
    if (record == nullptr || file_->Name(*record) != name) {
        section.name = static_cast<std::uint32_t>(names_.size());
        names_.push_back(name);
    }
    if (SameName(name, config_layout::kApplicationSection)) {
        section.application = true;
        section.record = record;
    } else {
        // A file record has the kind the section's name gives.
        section.group = static_cast<std::int16_t>(record != nullptr ? record->group
                                                                    : KindOf(name, kinds_).group);
        if (section.group != kNoKind) {
            if (record == nullptr || !record->present) {
                differences_.push_back(
                    {section.group, current_, "[" + name + "] only in the controller"});
            } else {
                section.record = record;
            }
        }
        // Otherwise no record section: nothing of the controller's own.
    }
    sections_.push_back(std::move(section));
}

std::string VerifyComparison::NameOf(const Section& section) const {
    return section.name == kRecordsName ? std::string(file_->Name(*section.record))
                                        : names_[section.name];
}

void VerifyComparison::Compare(std::string_view key, std::string_view value, ValueKind kind) {
    if (sections_.empty()) {
        return;  // the export always selects a section first
    }
    Section& section = sections_[current_];
    if (section.application) {
        CompareApplication(section, key, value);
    } else if (section.record != nullptr) {
        CompareRecord(section, key, value, kind);
    }
}

void VerifyComparison::CompareApplication(const Section& section, std::string_view key,
                                          std::string_view value) {
    if (std::none_of(std::begin(FileRecords::kApplicationKeys),
                     std::end(FileRecords::kApplicationKeys),
                     [&](const char* information) { return SameName(key, information); })) {
        return;  // the file's name and layout version: constants
    }
    std::string_view file;
    bool present = false;
    if (section.record != nullptr) {
        const std::size_t index = IndexOf(*file_, *section.record, key, 0);
        present = index < section.record->count;
        file = present ? file_->Value(*section.record, index).value : std::string_view();
    }
    if (SameName(key, config_layout::kDateGeneratedKey)) {
        information_.push_back(
            {kNoKind, current_, "The file was generated " + Shown(file, present) + "."});
    } else if (file != ValueAsRead(std::string(value))) {
        information_.push_back({kNoKind, current_,
                                "[" + NameOf(section) + "] " + std::string(key) + ": file " +
                                    Shown(file, present) + ", controller " + Shown(value) + "."});
    }
}

void VerifyComparison::CompareRecord(Section& section, std::string_view key, std::string_view value,
                                     ValueKind kind) {
    const std::size_t index = IndexOf(*file_, *section.record, key, section.next);
    const bool present = index < section.record->count;
    std::string file;
    if (present) {
        compared_[file_->ValueIndex(*section.record, index)] = true;
        section.next = static_cast<std::uint32_t>(index + 1);
        const std::string_view read = file_->Value(*section.record, index).value;
        // Most values are the same bytes on both sides, and read back as written.
        if (read == value && ReadsAsWritten(value)) {
            return;
        }
        file = read;
    }
    if (record_reader::SameValue(kind, file, ValueAsRead(std::string(value)))) {
        return;
    }
    Report(current_, std::string(key),
           "[" + NameOf(section) + "] " + std::string(key) + ": file " + Shown(file, present) +
               ", controller " + Shown(value));
}

void VerifyComparison::Finish() {
    FileRead();
    if (file_ == nullptr) {
        return;  // the caller hands the file over first
    }
    for (std::size_t index = 0; index < sections_.size(); ++index) {
        FileKeysTheControllerLacks(index);
    }
    for (const FileRecord& record : file_->Records()) {
        FileOnlyRecord(record);
    }
}

// Keys of the layout that the file holds and the controller's export leaves out: a zero grade
// price, a hose price of 0.1 or less, a hose the controller lacks, a firmware version the
// device cannot report.
void VerifyComparison::FileKeysTheControllerLacks(std::size_t index) {
    const Section& section = sections_[index];
    if (section.application || section.record == nullptr) {
        return;
    }
    for (std::size_t key = 0; key < section.record->count; ++key) {
        const FileValue value = file_->Value(*section.record, key);
        const LayoutKey& layout = *value.key;
        const std::string file(value.value);
        if (compared_[file_->ValueIndex(*section.record, key)] ||
            record_reader::SameValue(layout.kind, file, "")) {
            continue;
        }
        Report(index, layout.name,
               "[" + NameOf(section) + "] " + layout.name + ": file " + Shown(file) +
                   ", controller " + kNone);
    }
}

void VerifyComparison::FileOnlyRecord(const FileRecord& record) {
    const std::size_t index = static_cast<std::size_t>(&record - file_->Records().data());
    if (record.group == kNoKind || !record.present || recordSections_[index] != kNotSelected) {
        return;
    }
    const std::string& prefix = kinds_[static_cast<std::size_t>(record.group)].section.prefix;
    if (VersionOnly && prefix != config_layout::kPortSection.prefix &&
        prefix != config_layout::kZigBeeSection.prefix) {
        return;  // VERSION reads only the ports and ZigBee devices of the controller
    }
    differences_.push_back(
        {record.group, kFileOnly, "[" + std::string(file_->Name(record)) + "] only in the file"});
}

// Radio settings and firmware versions are not carried by the import: a restored controller
// cannot match them, so they are information.
void VerifyComparison::Report(std::size_t index, const std::string& key, std::string text) {
    const int group = sections_[index].group;
    if (IsDesignKey(kinds_[static_cast<std::size_t>(group)].section.prefix, key)) {
        information_.push_back({group, index, text + "."});
    } else {
        differences_.push_back({group, index, std::move(text)});
    }
}

std::vector<VerifyComparison::Difference> VerifyComparison::Differences() const {
    std::vector<Finding> sorted = differences_;
    std::stable_sort(sorted.begin(), sorted.end(), [](const Finding& a, const Finding& b) {
        return a.group != b.group ? a.group < b.group : a.section < b.section;
    });
    std::vector<Difference> differences;
    for (Finding& finding : sorted) {
        differences.push_back({finding.group, std::move(finding.text)});
    }
    return differences;
}

std::vector<std::string> VerifyComparison::Information() const {
    std::vector<Finding> sorted = information_;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const Finding& a, const Finding& b) { return a.section < b.section; });
    std::vector<std::string> information;
    for (Finding& finding : sorted) {
        information.push_back(std::move(finding.text));
    }
    return information;
}
