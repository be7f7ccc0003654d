// VERIFY: the controller's picture, read through the export, set against the file's records,
// read through the import's reader, key by key.
#include "transfer/verify.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <unordered_set>
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

// The keys of the Application section told apart as information.
constexpr const char* kApplicationInformation[] = {
    config_layout::kDateGeneratedKey, config_layout::kClientVersionKey,
    config_layout::kServerVersionKey};

// A controller text as the reader would take it back from the file: without leading and
// trailing blanks (and line ends), one pair of enclosing quotes removed.
std::string ReadBack(std::string text) {
    text.erase(0, std::min(text.find_first_not_of(' '), text.size()));
    while (!text.empty() && (text.back() == ' ' || text.back() == '\r' || text.back() == '\n')) {
        text.pop_back();
    }
    if (!text.empty() && text.front() == '"' && text.back() == '"') {
        text = text.size() >= 2 ? text.substr(1, text.size() - 2) : "";
    }
    return text;
}

struct Difference {
    int group;
    std::string text;
};

class Verifier {
  public:
    Verifier(const ControllerPicture& picture, const IniOutline& outline, IniDocument& document)
        : picture_(picture), outline_(outline), reader_(document), kinds_(ImportKinds()) {
        for (std::size_t i = 1; i < outline_.blocks.size(); ++i) {
            const IniSectionBlock& block = outline_.blocks[i];
            if (block.closed) {
                firstBlocks_.emplace(Folded(block.name), &block);  // the first header wins
            }
        }
    }

    void Run() {
        for (const PictureSection& section : picture_.Sections()) {
            if (SameName(section.name, config_layout::kApplicationSection)) {
                CompareApplication(section);
                continue;
            }
            const SectionKind kind = KindOf(section.name, kinds_);
            if (kind.group == kNoKind) {
                continue;  // no record section: nothing of the controller's own
            }
            if (!reader_.SelectRecord(section.name)) {
                Differ(kind.group, "[" + section.name + "] only in the controller");
                continue;
            }
            CompareRecord(section, kind);
        }
        for (const IniSectionBlock& block : outline_.blocks) {
            FileOnlyRecord(block);
        }
    }

    const std::vector<Difference>& Differences() const { return differences_; }
    const std::vector<std::string>& Information() const { return information_; }

  private:
    void Differ(int group, std::string text) { differences_.push_back({group, std::move(text)}); }

    static std::string Shown(const std::string& value, bool present = true) {
        return !present ? kNone : value.empty() ? kEmpty : value;
    }

    const IniSectionBlock* Block(const std::string& section) const {
        const auto found = firstBlocks_.find(Folded(section));
        return found == firstBlocks_.end() ? nullptr : found->second;
    }

    static bool HasKey(const IniSectionBlock* block, const std::string& key) {
        return block != nullptr &&
               std::any_of(block->keys.begin(), block->keys.end(),
                           [&](const IniKeyLine& line) { return SameName(line.key, key); });
    }

    void CompareApplication(const PictureSection& section) {
        reader_.Select(section.name);
        const IniSectionBlock* block = Block(section.name);
        for (const PictureKey& key : section.keys) {
            if (std::none_of(std::begin(kApplicationInformation),
                             std::end(kApplicationInformation),
                             [&](const char* name) { return SameName(key.key, name); })) {
                continue;  // the file's name and layout version: constants
            }
            const std::string file = reader_.ReadString(key.key, ValueKind::kText);
            if (SameName(key.key, config_layout::kDateGeneratedKey)) {
                information_.push_back("The file was generated " +
                                       Shown(file, HasKey(block, key.key)) + ".");
            } else if (file != ReadBack(key.value)) {
                information_.push_back("[" + section.name + "] " + key.key + ": file " +
                                       Shown(file, HasKey(block, key.key)) + ", controller " +
                                       Shown(key.value) + ".");
            }
        }
    }

    void CompareRecord(const PictureSection& section, const SectionKind& kind) {
        const std::string prefix = kinds_[static_cast<std::size_t>(kind.group)].section.prefix;
        const IniSectionBlock* block = Block(section.name);
        std::unordered_set<std::string> compared;
        for (const PictureKey& key : section.keys) {
            compared.insert(Folded(key.key));
            const std::string file = reader_.ReadString(key.key, key.kind);
            if (record_reader::SameValue(key.kind, file, ReadBack(key.value))) {
                continue;
            }
            const std::string text = "[" + section.name + "] " + key.key + ": file " +
                                     Shown(file, HasKey(block, key.key)) + ", controller " +
                                     Shown(key.value);
            // Radio settings and firmware versions are not carried by the import: a restored
            // controller cannot match them, so they are information.
            if (IsDesignKey(prefix, key.key)) {
                information_.push_back(text + ".");
            } else {
                Differ(kind.group, text);
            }
        }
        // Keys of the layout that the file holds and the controller's export leaves out: a
        // zero grade price, a hose price of 0.1 or less, a hose the controller lacks, a
        // firmware version the device cannot report.
        if (block == nullptr) {
            return;
        }
        const std::vector<LayoutKey> layoutKeys = LayoutKeys(prefix);
        for (const IniKeyLine& line : block->keys) {
            const auto layoutKey =
                std::find_if(layoutKeys.begin(), layoutKeys.end(),
                             [&](const LayoutKey& key) { return SameName(key.name, line.key); });
            if (layoutKey == layoutKeys.end() || !compared.insert(Folded(line.key)).second) {
                continue;
            }
            const std::string file = reader_.ReadString(layoutKey->name, layoutKey->kind);
            if (record_reader::SameValue(layoutKey->kind, file, "")) {
                continue;
            }
            const std::string text = "[" + section.name + "] " + layoutKey->name + ": file " +
                                     Shown(file) + ", controller " + kNone;
            if (IsDesignKey(prefix, layoutKey->name)) {
                information_.push_back(text + ".");
            } else {
                Differ(kind.group, text);
            }
        }
    }

    void FileOnlyRecord(const IniSectionBlock& block) {
        if (block.line == 0 || Block(block.name) != &block) {
            return;  // the lines before the first header, or a second header of a name
        }
        const SectionKind kind = KindOf(block.name, kinds_);
        if (kind.group == kNoKind || !kind.canonical || picture_.Find(block.name) != nullptr) {
            return;
        }
        const std::string prefix = kinds_[static_cast<std::size_t>(kind.group)].section.prefix;
        if (VersionOnly && prefix != config_layout::kPortSection.prefix &&
            prefix != config_layout::kZigBeeSection.prefix) {
            return;  // VERSION reads only the ports and ZigBee devices of the controller
        }
        if (reader_.SelectRecord(block.name)) {
            Differ(kind.group, "[" + block.name + "] only in the file");
        }
    }

    const ControllerPicture& picture_;
    const IniOutline& outline_;
    RecordReader reader_;
    const std::vector<ImportKind> kinds_;
    std::unordered_map<std::string, const IniSectionBlock*> firstBlocks_;
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
    ControllerPicture picture;
    if (!ReadControllerConfiguration(picture)) {
        return -1;
    }
    const IniOutline outline = ReadIniOutline(iniFile);
    // Kept open between reads when it opens for update; it is only read either way.
    IniDocument document(iniFile, ConfigFileUpdateError(iniFile).empty());
    Verifier verifier(picture, outline, document);
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
