// VERIFY: the controller's picture, read through the export, set against the file's records,
// read through the import's reader, key by key.
#include "transfer/verify.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "ini/ini_document.h"
#include "ini/ini_outline.h"
#include "transfer/config_file_access.h"
#include "transfer/config_layout.h"
#include "transfer/controller_picture.h"
#include "transfer/export.h"
#include "transfer/import.h"
#include "transfer/record_reader.h"
#include "transfer/section_kinds.h"
#include "transfer/version_only.h"

using namespace section_kinds;

namespace {

constexpr char kNone[] = "(none)";    // the key is not there
constexpr char kEmpty[] = "(empty)";  // the key is there, without a value
const std::string kNothing;

// The keys of the Application section told apart as information.
constexpr const char* kApplicationInformation[] = {
    config_layout::kDateGeneratedKey, config_layout::kClientVersionKey,
    config_layout::kServerVersionKey};

// A record section of the file as the import's reader reads it: whether its record is
// present, and the value of each of its keys that the layout gives the kind.
struct FileRecord {
    std::string name;
    int group = kNoKind;
    bool present = false;
    // The layout's keys the section holds, in file order, each with its value as read.
    std::vector<std::pair<const LayoutKey*, std::string>> values;

    // The index of `key` in `values`, or values.size().
    std::size_t IndexOf(const std::string& key) const {
        std::size_t index = 0;
        while (index < values.size() && !SameName(values[index].first->name, key)) {
            ++index;
        }
        return index;
    }
    const std::string* Find(const std::string& key) const {
        const std::size_t index = IndexOf(key);
        return index < values.size() ? &values[index].second : nullptr;
    }
};

// The file's records (the first section of each name, of every kind), read ahead of the
// comparison so that it can run while the controller is read.
class FileRecords {
  public:
    FileRecords(const char* iniFile, const IniOutline& outline)
        : document_(iniFile, IniDocument::ReadOnlyCopy{}), reader_(document_) {
        const std::vector<ImportKind> kinds = ImportKinds();
        for (std::size_t i = 1; i < outline.blocks.size(); ++i) {
            const IniSectionBlock& block = outline.blocks[i];
            if (!block.closed || index_.count(Folded(block.name)) > 0) {
                continue;  // never found, or a second header: the first one wins
            }
            if (SameName(block.name, config_layout::kApplicationSection)) {
                Read(block, kNoKind, applicationKeys_);
                continue;
            }
            const SectionKind kind = KindOf(block.name, kinds);
            if (kind.group != kNoKind && kind.canonical) {
                Read(block, kind.group,
                     LayoutKeysOf(kinds[static_cast<std::size_t>(kind.group)].section.prefix));
            }
        }
    }

    const std::vector<FileRecord>& Records() const { return records_; }
    const FileRecord* Find(const std::string& section) const {
        const auto found = index_.find(Folded(section));
        return found == index_.end() ? nullptr : &records_[found->second];
    }

  private:
    using KeyMap = std::unordered_map<std::string, LayoutKey>;

    static KeyMap ApplicationKeys() {
        KeyMap keys;
        for (const char* name : kApplicationInformation) {
            keys.emplace(Folded(name), LayoutKey{name, ValueKind::kText});
        }
        return keys;
    }

    // The layout's keys of a kind by folded name, gathered once per kind.
    const KeyMap& LayoutKeysOf(const std::string& prefix) {
        auto [found, added] = layoutKeys_.try_emplace(prefix);
        if (added) {
            for (const LayoutKey& key : LayoutKeys(prefix)) {
                found->second.emplace(Folded(key.name), key);
            }
        }
        return found->second;
    }

    // Reads the keys of `block` that `known` names (a key the section lacks reads as empty,
    // so only those it holds are read).
    void Read(const IniSectionBlock& block, int group, const KeyMap& known) {
        FileRecord record;
        record.name = block.name;
        record.group = group;
        record.present = group == kNoKind ? true : reader_.SelectRecord(block.name);
        reader_.Select(block.name);
        record.values.reserve(block.keys.size());
        for (const IniKeyLine& line : block.keys) {
            const auto key = known.find(Folded(line.key));
            if (key == known.end() || record.Find(line.key) != nullptr) {
                continue;
            }
            record.values.emplace_back(&key->second,
                                       reader_.ReadString(key->second.name, key->second.kind));
        }
        index_.emplace(Folded(block.name), records_.size());
        records_.push_back(std::move(record));
    }

    IniDocument document_;
    RecordReader reader_;
    const KeyMap applicationKeys_ = ApplicationKeys();
    std::unordered_map<std::string, KeyMap> layoutKeys_;  // records keep pointers into these
    std::vector<FileRecord> records_;
    std::unordered_map<std::string, std::size_t> index_;  // folded name -> records_
};

struct Difference {
    int group;
    std::string text;
};

class Verifier {
  public:
    Verifier(const ControllerPicture& picture, const FileRecords& file)
        : picture_(picture), file_(file), kinds_(ImportKinds()) {}

    void Run() {
        for (const PictureSection& section : picture_.Sections()) {
            const FileRecord* record = file_.Find(section.name);
            if (SameName(section.name, config_layout::kApplicationSection)) {
                CompareApplication(section, record);
                continue;
            }
            const SectionKind kind = KindOf(section.name, kinds_);
            if (kind.group == kNoKind) {
                continue;  // no record section: nothing of the controller's own
            }
            if (record == nullptr || !record->present) {
                Differ(kind.group, "[" + section.name + "] only in the controller");
                continue;
            }
            CompareRecord(section, kind, *record);
        }
        for (const FileRecord& record : file_.Records()) {
            FileOnlyRecord(record);
        }
    }

    const std::vector<Difference>& Differences() const { return differences_; }
    const std::vector<std::string>& Information() const { return information_; }

  private:
    void Differ(int group, std::string text) { differences_.push_back({group, std::move(text)}); }

    static std::string Shown(const std::string& value, bool present = true) {
        return !present ? kNone : value.empty() ? kEmpty : value;
    }

    // The file's value of `key` as read, and whether the file holds the key.
    static std::pair<std::string, bool> FileValue(const FileRecord* record, const std::string& key) {
        const std::string* value = record != nullptr ? record->Find(key) : nullptr;
        return value == nullptr ? std::pair<std::string, bool>{"", false}
                                : std::pair<std::string, bool>{*value, true};
    }

    void CompareApplication(const PictureSection& section, const FileRecord* record) {
        for (const PictureKey& key : section.keys) {
            if (std::none_of(std::begin(kApplicationInformation),
                             std::end(kApplicationInformation),
                             [&](const char* name) { return SameName(key.key, name); })) {
                continue;  // the file's name and layout version: constants
            }
            const auto [file, present] = FileValue(record, key.key);
            if (SameName(key.key, config_layout::kDateGeneratedKey)) {
                information_.push_back("The file was generated " + Shown(file, present) + ".");
            } else if (file != ValueAsRead(key.value)) {
                information_.push_back("[" + section.name + "] " + key.key + ": file " +
                                       Shown(file, present) + ", controller " + Shown(key.value) +
                                       ".");
            }
        }
    }

    void CompareRecord(const PictureSection& section, const SectionKind& kind,
                       const FileRecord& record) {
        const std::string prefix = kinds_[static_cast<std::size_t>(kind.group)].section.prefix;
        std::vector<bool> compared(record.values.size());  // by index in record.values
        for (const PictureKey& key : section.keys) {
            const std::size_t index = record.IndexOf(key.key);
            const bool present = index < record.values.size();
            if (present) {
                compared[index] = true;
            }
            const std::string& file = present ? record.values[index].second : kNothing;
            if (record_reader::SameValue(key.kind, file, ValueAsRead(key.value))) {
                continue;
            }
            Report(prefix, kind.group, key.key,
                   "[" + section.name + "] " + key.key + ": file " + Shown(file, present) +
                       ", controller " + Shown(key.value));
        }
        // Keys of the layout that the file holds and the controller's export leaves out: a
        // zero grade price, a hose price of 0.1 or less, a hose the controller lacks, a
        // firmware version the device cannot report.
        for (std::size_t index = 0; index < record.values.size(); ++index) {
            const auto& [key, file] = record.values[index];
            if (compared[index] || record_reader::SameValue(key->kind, file, "")) {
                continue;
            }
            Report(prefix, kind.group, key->name,
                   "[" + section.name + "] " + key->name + ": file " + Shown(file) +
                       ", controller " + kNone);
        }
    }

    // Radio settings and firmware versions are not carried by the import: a restored
    // controller cannot match them, so they are information.
    void Report(const std::string& prefix, int group, const std::string& key, std::string text) {
        if (IsDesignKey(prefix, key)) {
            information_.push_back(text + ".");
        } else {
            Differ(group, std::move(text));
        }
    }

    void FileOnlyRecord(const FileRecord& record) {
        if (record.group == kNoKind || !record.present || picture_.Find(record.name) != nullptr) {
            return;
        }
        const std::string prefix = kinds_[static_cast<std::size_t>(record.group)].section.prefix;
        if (VersionOnly && prefix != config_layout::kPortSection.prefix &&
            prefix != config_layout::kZigBeeSection.prefix) {
            return;  // VERSION reads only the ports and ZigBee devices of the controller
        }
        Differ(record.group, "[" + record.name + "] only in the file");
    }

    const ControllerPicture& picture_;
    const FileRecords& file_;
    const std::vector<ImportKind> kinds_;
    std::vector<Difference> differences_;
    std::vector<std::string> information_;
};

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
    if (!ConfigFileReadable(iniFile)) {
        return -1;
    }
    // The file is read on a second thread while the controller's round trips are waited for.
    std::optional<FileRecords> file;
    std::thread fileReader([&] { file.emplace(iniFile, ReadIniOutline(iniFile)); });
    ControllerPicture picture;
    const bool read = ReadControllerConfiguration(picture);
    fileReader.join();
    if (!read) {
        return -1;
    }
    Verifier verifier(picture, *file);
    verifier.Run();

    std::vector<Difference> differences = verifier.Differences();
    std::stable_sort(differences.begin(), differences.end(),
                     [](const Difference& a, const Difference& b) { return a.group < b.group; });
    const std::vector<ImportKind> kinds = ImportKinds();
    int group = kNoKind;
    for (const Difference& difference : differences) {
        if (difference.group != group) {
            group = difference.group;
            std::printf("\n%s:\n", GroupHeading(kinds[static_cast<std::size_t>(group)]));
        }
        std::printf("  %s.\n", difference.text.c_str());
    }
    if (!verifier.Information().empty()) {
        std::printf("\nInformation (no difference):\n");
        for (const std::string& line : verifier.Information()) {
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
