// The file's records: one pass of the import's reader over the whole file.
#include "transfer/file_records.h"

#include "ini/ini_document.h"
#include "platform/file_stream.h"

using namespace section_kinds;

FileRecords::FileRecords(const char* iniFile)
    : FileRecords(file_stream::Open(iniFile, file_stream::OpenMode::kRead)) {}

FileRecords::FileRecords(std::FILE* file) {
    for (const char* name : kApplicationKeys) {
        applicationKeys_.Add(LayoutKey{name, ValueKind::kText});
    }
    if (file == nullptr) {
        return;
    }
    // Room for a key on every eighth byte (a file of this layout has one on about every
    // fifteenth), reserved and not touched, so that the list is never copied as it grows.
    if (const std::optional<std::int64_t> fileSize = file_stream::Size(file); fileSize > 0) {
        const auto size = static_cast<std::size_t>(*fileSize);
        values_.reserve(size / 8);
        records_.reserve(size / 128);
        texts_.reserve(size);  // the values are parts of the file
    }
    // Read from the file as it is read, without a copy of it in memory.
    IniDocument document(file, IniDocument::ReadOnlyStream{});
    RecordReader(document).ReadAll(*this);
    readError_ = document.ReadError();
    Finish();
}

std::size_t FileRecords::IndexOf(const std::string& section) const {
    if (index_.empty() && !records_.empty()) {
        index_.reserve(records_.size());
        for (std::size_t index = 0; index < records_.size(); ++index) {
            index_.emplace(Folded(std::string(Name(records_[index]))), index);
        }
    }
    const auto found = index_.find(Folded(section));
    return found == index_.end() ? records_.size() : found->second;
}

void FileRecords::KeyMap::Add(LayoutKey key) {
    if (byName.emplace(Folded(key.name), keys.size()).second) {
        keys.push_back(std::move(key));
    }
}

const FileRecords::KeyMap& FileRecords::LayoutKeysOf(const std::string& prefix) {
    auto [found, added] = layoutKeys_.try_emplace(prefix);
    if (added) {
        for (LayoutKey& key : LayoutKeys(prefix)) {
            found->second.Add(std::move(key));
        }
    }
    return found->second;
}

// A section of a kind's own name starts a record; any other section is passed over.
void FileRecords::Section(const std::string& section) {
    Finish();
    if (SameName(section, config_layout::kApplicationSection)) {
        Start(section, kNoKind, applicationKeys_);
        return;
    }
    const SectionKind kind = KindOf(section, kinds_);
    if (kind.group != kNoKind && kind.canonical) {
        Start(section, kind.group,
              LayoutKeysOf(kinds_[static_cast<std::size_t>(kind.group)].section.prefix));
    }
}

// Keeps the value of a key the layout gives the kind (a key the section lacks reads as empty,
// so only those it holds are kept).
void FileRecords::Value(std::string_view key, std::string_view value) {
    if (known_ == nullptr) {
        return;
    }
    if (SameName(key, record_reader::kNumberKey)) {
        number_ = value;
    }
    // A file written by the export holds a record's keys in layout order.
    const std::vector<LayoutKey>& keys = known_->keys;
    std::size_t index = nextKey_;
    if (index >= keys.size() || !SameName(keys[index].name, key)) {
        const auto found = known_->byName.find(Folded(std::string(key)));
        if (found == known_->byName.end()) {
            return;
        }
        index = found->second;
    }
    nextKey_ = index + 1;
    values_.push_back({static_cast<std::uint32_t>(texts_.size() - record_.text),
                       static_cast<std::uint16_t>(value.size()),
                       static_cast<std::uint16_t>(index)});
    texts_ += value;
}

void FileRecords::Start(const std::string& section, int group, const KeyMap& known) {
    // A record's name is Application or a kind's prefix with at most nine digits: short.
    texts_ += section;
    record_ = FileRecord{values_.size(),
                         texts_.size(),
                         &known.keys,
                         0,
                         static_cast<std::uint16_t>(section.size()),
                         static_cast<std::int8_t>(group),
                         false};
    number_.clear();
    known_ = &known;
    nextKey_ = 0;
}

// Keeps the record being read, if any: whether it is present is known at its end.
void FileRecords::Finish() {
    if (known_ == nullptr) {
        return;
    }
    record_.present = record_.group == kNoKind || record_reader::IsPresent(number_);
    record_.count = static_cast<std::uint32_t>(values_.size() - record_.first);
    records_.push_back(record_);
    known_ = nullptr;
}
