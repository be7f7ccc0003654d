// CHECK: the import's scan against a target that writes nothing, an observer of every read,
// and the outline of the file; what the file holds and the import does not read, or reads as
// something else, becomes a finding.
#include "transfer/check.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "ini/ini_document.h"
#include "ini/ini_outline.h"
#include "transfer/config_file_access.h"
#include "transfer/config_layout.h"
#include "transfer/import.h"
#include "transfer/section_kinds.h"
#include "transfer/value_check.h"

using namespace config_layout;
using namespace section_kinds;

namespace {

// ---- Names ------------------------------------------------------------------------------

// The most edits a name may be from a known one to be taken for a typo of it.
constexpr std::size_t kTypoEdits = 2;

// Edits (insert, delete, replace, swap of two neighbours) between two names, case aside, when
// they are at most `limit`; otherwise limit + 1. Names whose lengths differ by more are not
// compared (a name may be megabytes long, the known ones are short). Of the table three rows
// are kept, and of each row only the cells within `limit` of its diagonal (the others are
// beyond it); the comparison ends once two rows in a row are beyond it, since every later
// cell is one of theirs, or its left neighbour, plus something.
std::size_t Distance(std::string_view a, std::string_view b, std::size_t limit) {
    if (std::max(a.size(), b.size()) - std::min(a.size(), b.size()) > limit) {
        return limit + 1;
    }
    auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    auto same = [&](char x, char y) { return fold(x) == fold(y); };
    const std::size_t beyond = limit + 1;
    const std::size_t columns = b.size() + 1;
    std::size_t small[3 * 32];  // known names are short: no allocation for them
    std::vector<std::size_t> large(columns > 32 ? 3 * columns : 0);
    std::size_t* twoBack = columns > 32 ? large.data() : small;
    std::size_t* previous = twoBack + columns;
    std::size_t* current = previous + columns;
    for (std::size_t j = 0; j < columns; ++j) {
        previous[j] = j;
    }
    bool previousBeyond = false;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        const std::size_t first = i > limit ? i - limit : 1;
        const std::size_t last = std::min(b.size(), i + limit);
        current[first - 1] = first == 1 ? i : beyond;
        bool rowBeyond = current[first - 1] > limit;
        for (std::size_t j = first; j <= last; ++j) {
            current[j] = std::min({previous[j] + 1, current[j - 1] + 1,
                                   previous[j - 1] + (same(a[i - 1], b[j - 1]) ? 0U : 1U)});
            if (i > 1 && j > 1 && same(a[i - 1], b[j - 2]) && same(a[i - 2], b[j - 1])) {
                current[j] = std::min(current[j], twoBack[j - 2] + 1);
            }
            rowBeyond = rowBeyond && current[j] > limit;
        }
        if (last + 1 < columns) {
            current[last + 1] = beyond;  // the next row's cell above its band's last
        }
        if (rowBeyond && previousBeyond) {
            return beyond;
        }
        previousBeyond = rowBeyond;
        std::swap(twoBack, previous);
        std::swap(previous, current);
    }
    return std::min(previous[b.size()], beyond);
}

// The known name closest to `name`, when it looks like a typo of it: at most two edits, and
// fewer than half the name's length.
std::optional<std::string> Nearest(const std::string& name, const std::vector<std::string>& known) {
    std::optional<std::string> best;
    std::size_t bestDistance = kTypoEdits + 1;
    for (const std::string& candidate : known) {
        const std::size_t distance = Distance(name, candidate, kTypoEdits);
        if (distance < bestDistance && distance * 2 < std::max<std::size_t>(name.size(), 2)) {
            best = candidate;
            bestDistance = distance;
        }
    }
    return best;
}

// ---- Kinds of section ---------------------------------------------------------------------

constexpr int kOtherGroup = kNoKind;  // findings that belong to no kind

// The section name `name` was probably meant to be, if any.
std::optional<std::string> MeantSection(const std::string& name,
                                        const std::vector<ImportKind>& kinds) {
    std::string letters;
    std::string digits;
    if (!SplitName(name, letters, digits)) {
        return Nearest(name, DesignSections());
    }
    std::vector<std::string> prefixes;
    for (const ImportKind& kind : kinds) {
        prefixes.push_back(kind.section.prefix);
    }
    const std::optional<std::string> prefix =
        SameName(letters, kTankGaugeSection.prefix) ? std::nullopt : Nearest(letters, prefixes);
    for (const ImportKind& kind : kinds) {
        if (prefix && *prefix == kind.section.prefix) {
            return SectionName(kind.section, std::stoi(digits));
        }
    }
    return std::nullopt;
}

// Every key name the layout gives a section of the kind `prefix`, and those the import reads.
std::vector<std::string> KnownKeys(const std::string& prefix) {
    std::vector<std::string> names = ImportOnlyKeys(prefix);
    for (const LayoutKey& key : LayoutKeys(prefix)) {
        names.push_back(key.name);
    }
    return names;
}

// ---- What the import read and wrote --------------------------------------------------------

struct SectionReads {
    bool probed = false;
    bool present = false;
    std::vector<std::pair<std::string, ValueKind>> keys;  // folded key names, in reading order

    const ValueKind* Find(const std::string& folded) const {
        for (const auto& [key, kind] : keys) {
            if (key == folded) {
                return &kind;
            }
        }
        return nullptr;
    }
};

class ReadLog : public ReadObserver {
  public:
    void RecordProbed(const std::string& section, bool present) override {
        SectionReads& reads = Section(section);
        reads.probed = true;
        reads.present = reads.present || present;
    }
    void KeyRead(const std::string& section, const std::string& key, ValueKind kind) override {
        SectionReads& reads = Section(section);
        std::string folded = Folded(key);
        if (reads.Find(folded) == nullptr) {
            reads.keys.emplace_back(std::move(folded), kind);
        }
    }
    const SectionReads* Find(const std::string& section) const {
        const auto found = sections_.find(Folded(section));
        return found == sections_.end() ? nullptr : &found->second;
    }

  private:
    // The reader reads a record's keys one after another: the last section is kept at hand.
    SectionReads& Section(const std::string& section) {
        if (last_ == nullptr || section != lastName_) {
            lastName_ = section;
            last_ = &sections_[Folded(section)];
        }
        return *last_;
    }

    std::unordered_map<std::string, SectionReads> sections_;
    std::string lastName_;
    SectionReads* last_ = nullptr;
};

// Writes nothing; notes the tanks that would be written, the records the controller would
// refuse (it takes no identifier below 1: a tank or hose naming grade or tank 0 imports
// that record on the spot) and where the import would end.
class DryRunTarget : public ImportTarget {
  public:
    struct End {
        std::int32_t pumpId;
        int position;
        std::int32_t tankId;
    };

    bool SetPort(std::int32_t id, const PortValues&) override { return Accept(kPortSection, id); }
    bool SetGrade(std::int32_t id, const GradeValues&) override {
        return Accept(kGradeSection, id);
    }
    bool SetGradePrice(std::int32_t, int, double) override { return true; }
    bool SetTank(std::int32_t id, const TankValues&) override {
        if (!Accept(kTankSection, id)) {
            return false;
        }
        tanks_.insert(id);
        return true;
    }
    bool SetZigBee(std::int32_t id, const ZigBeeValues&) override {
        return Accept(kZigBeeSection, id);
    }
    bool SetPump(std::int32_t id, const PumpValues&) override { return Accept(kPumpSection, id); }
    bool SetHose(std::int32_t, int, const HoseValues&) override { return true; }
    bool SetSensor(std::int32_t id, const SensorValues&) override {
        return Accept(kSensorSection, id);
    }
    bool SetAttendant(std::int32_t id, const AttendantValues&) override {
        return Accept(kAttendantSection, id);
    }
    bool SetCardClient(std::int32_t id, const CardClientValues&) override {
        return Accept(kClientSection, id);
    }
    bool SetProduct(std::int32_t id, const ProductValues&) override {
        return Accept(kProductSection, id);
    }
    void TankGradeMissing(std::int32_t, std::int32_t) override {}  // a finding of its own
    void HoseTankMissing(std::int32_t pumpId, int position, std::int32_t tankId) override {
        end_ = End{pumpId, position, tankId};
    }

    bool TankWritten(std::int32_t id) const { return tanks_.count(id) > 0; }
    bool Refused(const std::string& section) const { return refused_.count(Folded(section)) > 0; }
    const std::optional<End>& ImportEnd() const { return end_; }

  private:
    bool Accept(SectionPattern pattern, std::int32_t id) {
        if (id >= 1) {
            return true;
        }
        refused_.insert(Folded(SectionName(pattern, id)));
        return false;
    }

    std::set<std::int32_t> tanks_;
    std::set<std::string> refused_;  // folded section names
    std::optional<End> end_;
};

// ---- Findings ------------------------------------------------------------------------------

struct Finding {
    int group;
    int line;
    std::string text;
};

class Checker {
  public:
    Checker(const IniOutline& outline, const ReadLog& reads, const DryRunTarget& target)
        : outline_(outline), reads_(reads), target_(target), kinds_(ImportKinds()) {}

    void Run() {
        FindEndOfImport();
        std::unordered_map<std::string, int> firstHeader;  // folded name -> line
        for (std::size_t i = 0; i < outline_.blocks.size(); ++i) {
            const IniSectionBlock& block = outline_.blocks[i];
            comments_ += static_cast<std::size_t>(block.commentLines);
            NulBytes(block, i == 0 ? kOtherGroup : KindOf(block.name, kinds_).group);
            if (i == 0) {
                for (const IniKeyLine& key : block.keys) {
                    Add(kOtherGroup, key.line,
                        "\"" + key.key + "\" (line " + std::to_string(key.line) +
                            "): before the first section, never read");
                }
                continue;
            }
            const SectionKind kind = KindOf(block.name, kinds_);
            if (!block.closed) {
                Add(kind.group, block.line,
                    Where(block, "") +
                        ": the header has no \"]\", so no section of this name is "
                        "found; its lines are not read");
                continue;
            }
            const auto [first, isFirst] = firstHeader.emplace(Folded(block.name), block.line);
            if (kind.design) {
                ++designSections_;
                continue;
            }
            if (!isFirst && kind.group != kOtherGroup && OnlyDesignKeys(block, kind)) {
                // Under /PAM a port's FirmwareVersion follows its TankGauge section under a
                // second header of the port: not read, by design.
                designKeys_ += block.keys.size();
                continue;
            }
            if (!isFirst) {
                Add(kind.group, block.line,
                    Where(block, "") + ": a second section of this name; only the first (line " +
                        std::to_string(first->second) + ") is read");
                continue;
            }
            if (kind.group == kOtherGroup || !kind.canonical) {
                UnknownSection(block, kind);
                continue;
            }
            RecordSection(block, kind);
        }
        if (end_) {
            if (afterEnd_ > 0) {
                end_->text += "; " + std::to_string(afterEnd_) + " later record" +
                              (afterEnd_ == 1 ? " is" : "s are") + " not imported";
            }
            Add(end_->group, end_->line, end_->text);
        }
    }

    const std::vector<Finding>& Findings() const { return findings_; }
    std::size_t DesignSections() const { return designSections_; }
    std::size_t DesignKeys() const { return designKeys_; }
    std::size_t CommentLines() const { return comments_; }
    void Add(int group, int line, std::string text) {
        findings_.push_back({group, line, std::move(text)});
    }

  private:
    static std::string Where(const IniSectionBlock& block, const std::string& key, int line = 0) {
        std::string where = "[" + block.name + (block.closed ? "]" : "");
        if (!key.empty()) {
            where += " " + key;
        }
        return where + " (line " + std::to_string(line != 0 ? line : block.line) + ")";
    }

    // The reader takes a line as text that ends at its first NUL byte: whatever follows is
    // lost without a word, so each such line is a finding.
    void NulBytes(const IniSectionBlock& block, int group) {
        auto where = [&](int line) {
            return block.line == 0 ? "Line " + std::to_string(line) : Where(block, "", line);
        };
        for (const int line : block.nulLines) {
            Add(group, line,
                where(line) + ": the line holds a NUL byte, and nothing after it is read");
        }
        for (const IniKeyLine& key : block.keys) {
            if (key.nul) {
                Add(group, key.line,
                    (block.line == 0 ? "\"" + key.key + "\" (line " + std::to_string(key.line) + ")"
                                     : Where(block, key.key, key.line)) +
                        ": the line holds a NUL byte, and is read only up to it (as \"" +
                        ValueAsRead(key.value) + "\")");
            }
        }
    }

    bool OnlyDesignKeys(const IniSectionBlock& block, const SectionKind& kind) const {
        const std::string prefix = kinds_[static_cast<std::size_t>(kind.group)].section.prefix;
        return std::all_of(block.keys.begin(), block.keys.end(),
                           [&](const IniKeyLine& key) { return IsDesignKey(prefix, key.key); });
    }

    int PumpGroup() const {
        for (std::size_t group = 0; group < kinds_.size(); ++group) {
            if (std::string_view(kinds_[group].section.prefix) == kPumpSection.prefix) {
                return static_cast<int>(group);
            }
        }
        return kOtherGroup;
    }

    // Records after a hose whose tank cannot be imported are never reached: they are summed
    // up in one finding at that hose.
    void FindEndOfImport() {
        const auto& end = target_.ImportEnd();
        if (!end) {
            return;
        }
        endPumpId_ = end->pumpId;
        endPosition_ = end->position;
        const std::string pump = SectionName(kPumpSection, end->pumpId);
        const std::string key = HoseKeyPrefix(end->position) + "Tank";
        int line = 0;
        for (const IniSectionBlock& block : outline_.blocks) {
            if (line == 0 && block.closed && SameName(block.name, pump)) {
                line = block.line;
                for (const IniKeyLine& keyLine : block.keys) {
                    if (SameName(keyLine.key, key)) {
                        line = keyLine.line;
                        break;
                    }
                }
            }
        }
        end_ = Finding{PumpGroup(), line,
                       "[" + pump + "] " + key + " (line " + std::to_string(line) + "): tank " +
                           std::to_string(end->tankId) +
                           " cannot be imported, so the import ends here"};
    }

    bool AfterEnd(const SectionKind& kind) const {
        if (!end_) {
            return false;
        }
        const int pumps = PumpGroup();
        return kind.group > pumps || (kind.group == pumps && kind.id > endPumpId_);
    }

    void UnknownSection(const IniSectionBlock& block, const SectionKind& kind) {
        std::string text = Where(block, "") + ": no kind reads this section";
        if (const std::optional<std::string> meant = MeantSection(block.name, kinds_)) {
            text += " (did you mean [" + *meant + "]?)";
        }
        Add(kind.group, block.line, text);
    }

    void RecordSection(const IniSectionBlock& block, const SectionKind& kind) {
        const ImportKind& importKind = kinds_[static_cast<std::size_t>(kind.group)];
        const SectionReads* reads = reads_.Find(block.name);
        if (reads != nullptr && reads->present && target_.Refused(block.name)) {
            Add(kind.group, block.line,
                Where(block, "") + ": identifier " + std::to_string(kind.id) +
                    " is named by another record, but the controller takes no identifier below "
                    "1, so it is not imported");
            return;
        }
        if (reads != nullptr && reads->present) {
            CheckKeys(block, kind, *reads);
            if (std::string_view(importKind.section.prefix) == kTankSection.prefix &&
                !target_.TankWritten(kind.id)) {
                const IniKeyLine* grade = KeyLine(block, "Grade");
                Add(kind.group, grade != nullptr ? grade->line : block.line,
                    Where(block, "Grade", grade != nullptr ? grade->line : 0) + ": grade " +
                        (grade != nullptr ? grade->value : "0") +
                        " cannot be imported, so the tank is not imported");
            }
            return;
        }
        if (AfterEnd(kind)) {
            ++afterEnd_;
            return;
        }
        std::string why;
        if (reads != nullptr && reads->probed) {
            const IniKeyLine* number = KeyLine(block, "Number");
            why = number == nullptr
                      ? "it has no Number, so it is not a record"
                      : "its Number " + number->value + " is below 1, so it is not a record";
            Add(kind.group, number != nullptr ? number->line : block.line,
                Where(block, "Number", number != nullptr ? number->line : 0) + ": " + why);
            return;
        }
        if (std::string_view(importKind.section.prefix) == kZigBeeSection.prefix &&
            kind.id < importKind.first) {
            why = "ZigBee devices 1 to 4 are never imported";
        } else if (kind.id < importKind.first) {
            why = "identifier " + std::to_string(kind.id) + " is never probed";
        } else if (kind.id >= importKind.bound) {
            why = std::string("past the identifiers the import probes for ") + importKind.noun +
                  " (up to " + std::to_string(importKind.bound - 1) + ")";
        } else {
            why = std::string("not reached: the scan of ") + importKind.noun +
                  " ends at a gap of seven absent identifiers before it";
        }
        Add(kind.group, block.line, Where(block, "") + ": " + why);
    }

    static const IniKeyLine* KeyLine(const IniSectionBlock& block, const std::string& key) {
        for (const IniKeyLine& line : block.keys) {
            if (SameName(line.key, key)) {
                return &line;
            }
        }
        return nullptr;
    }

    void CheckKeys(const IniSectionBlock& block, const SectionKind& kind,
                   const SectionReads& reads) {
        const std::string prefix = kinds_[static_cast<std::size_t>(kind.group)].section.prefix;
        // Folded key -> its first line; a section may hold a million keys.
        std::unordered_map<std::string, int> firstLines;
        firstLines.reserve(block.keys.size());
        std::set<int> hosesReported;  // a hose that is not read is one finding, not one a key
        for (const IniKeyLine& key : block.keys) {
            std::string folded = Folded(key.key);
            const ValueKind* read = reads.Find(folded);
            const auto [first, isFirst] = firstLines.emplace(std::move(folded), key.line);
            if (!isFirst) {
                if (read != nullptr) {
                    Add(kind.group, key.line,
                        Where(block, key.key, key.line) +
                            ": a second line of this key; only the first (line " +
                            std::to_string(first->second) + ") is read");
                }
                continue;
            }
            if (read != nullptr) {
                CheckValue(block, kind, key, *read);
                continue;
            }
            UnreadKey(block, kind, prefix, key, reads, hosesReported);
        }
        if (prefix == kAttendantSection.prefix) {
            CheckAttendantType(block, kind);
        }
    }

    void CheckValue(const IniSectionBlock& block, const SectionKind& kind, const IniKeyLine& key,
                    ValueKind valueKind) {
        const std::string read = ValueAsRead(key.value);
        std::optional<std::string> finding;
        if (valueKind == ValueKind::kText) {
            if (key.hasEquals) {
                finding = TextFinding(key.written, read, key.spacedEquals);
            }
        } else {
            finding = NumberFinding(valueKind, read);
        }
        if (finding) {
            Add(kind.group, key.line, Where(block, key.key, key.line) + ": " + *finding);
        }
    }

    void UnreadKey(const IniSectionBlock& block, const SectionKind& kind, const std::string& prefix,
                   const IniKeyLine& key, const SectionReads& reads, std::set<int>& hosesReported) {
        if (IsDesignKey(prefix, key.key)) {
            ++designKeys_;
            return;
        }
        std::string why;
        if (prefix == kGradeSection.prefix && IsPriceKey(key.key)) {
            why = "comes after a level without a positive price, so it is not imported";
        } else if (const int position = HosePosition(key.key);
                   position > 0 && prefix == kPumpSection.prefix) {
            if ((end_ && kind.id == endPumpId_ && position >= endPosition_) ||
                !hosesReported.insert(position).second) {
                return;  // summed up at the hose's first key, or where the import ended
            }
            if (position > kHosePositions) {
                why = "only hose positions 1 to 8 are read";
            } else {
                why = "hose " + std::to_string(position) + " comes after position " +
                      std::to_string(LastHosePositionRead(reads)) +
                      ", the first without a hose ID above 0, so it is not imported";
            }
        } else {
            why = "no kind reads this key";
            if (const std::optional<std::string> meant = Nearest(key.key, KnownKeysOf(prefix))) {
                why += " (did you mean " + *meant + "?)";
            }
        }
        Add(kind.group, key.line, Where(block, key.key, key.line) + ": " + why);
    }

    const std::vector<std::string>& KnownKeysOf(const std::string& prefix) {
        auto [found, added] = knownKeys_.try_emplace(prefix);
        if (added) {
            found->second = KnownKeys(prefix);
        }
        return found->second;
    }

    static bool IsPriceKey(const std::string& key) {
        for (int level = 1; level <= kPriceLevels; ++level) {
            if (SameName(key, GradePriceKey(level))) {
                return true;
            }
        }
        return false;
    }

    static int LastHosePositionRead(const SectionReads& reads) {
        int last = 0;
        for (int position = 1; position <= kHosePositions; ++position) {
            if (reads.Find(Folded(HoseKeyPrefix(position) + "ID")) != nullptr) {
                last = position;
            }
        }
        return last;
    }

    // The import takes Type and reads Enabled only when Type is 0.
    void CheckAttendantType(const IniSectionBlock& block, const SectionKind& kind) {
        const IniKeyLine* type = KeyLine(block, "Type");
        const IniKeyLine* enabled = KeyLine(block, "Enabled");
        if (type == nullptr || enabled == nullptr) {
            return;
        }
        const std::int16_t typeValue = record_reader::ToInt16(CounterString(type->value.c_str()));
        const std::int16_t enabledValue =
            record_reader::ToInt16(CounterString(enabled->value.c_str()));
        if (typeValue != 0 && enabledValue != typeValue) {
            Add(kind.group, enabled->line,
                Where(block, "Enabled", enabled->line) + ": " + enabled->value +
                    " is not used; the import takes Type (" + type->value +
                    ") and reads Enabled only when Type is 0");
        }
    }

    const IniOutline& outline_;
    const ReadLog& reads_;
    const DryRunTarget& target_;
    const std::vector<ImportKind> kinds_;
    std::vector<Finding> findings_;
    std::optional<Finding> end_;
    std::int32_t endPumpId_ = 0;
    int endPosition_ = 0;
    int afterEnd_ = 0;
    std::size_t designSections_ = 0;
    std::size_t designKeys_ = 0;
    std::size_t comments_ = 0;
    std::unordered_map<std::string, std::vector<std::string>> knownKeys_;  // by kind's prefix
};

// ---- Report ------------------------------------------------------------------------------

const char* GroupHeading(int group, const std::vector<ImportKind>& kinds) {
    static const std::unordered_map<std::string, const char*> headings = {
        {"ports", "Ports"},           {"grades", "Grades"},
        {"tanks", "Tanks"},           {"ZigBee devices", "ZigBee devices"},
        {"pumps", "Pumps"},           {"sensors", "Sensors"},
        {"attendants", "Attendants"}, {"clients", "Card clients"},
        {"products", "Products"},
    };
    if (group == kOtherGroup) {
        return "Other sections";
    }
    return headings.at(kinds[static_cast<std::size_t>(group)].noun);
}

void PrintFindings(std::vector<Finding> findings, const std::vector<ImportKind>& kinds) {
    // Kinds in scan order, the rest last; within a group in file order.
    auto order = [&](const Finding& finding) {
        return finding.group == kOtherGroup ? static_cast<int>(kinds.size()) : finding.group;
    };
    std::stable_sort(findings.begin(), findings.end(), [&](const Finding& a, const Finding& b) {
        return order(a) != order(b) ? order(a) < order(b) : a.line < b.line;
    });
    int group = -2;
    for (const Finding& finding : findings) {
        if (finding.group != group) {
            group = finding.group;
            std::printf("\n%s:\n", GroupHeading(group, kinds));
        }
        std::printf("  %s.\n", finding.text.c_str());
    }
}

// "1 key", "2 keys".
std::string Counted(std::size_t count, const std::string& noun) {
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

}  // namespace

std::int32_t CheckConfiguration(const char* iniFile) {
    // The file is opened and read once: the import's scan and the outline see the same bytes.
    std::string contents;
    {
        const ConfigFileStream file = OpenConfigFile(iniFile);
        if (file == nullptr) {
            return -1;
        }
        if (const int error = IniDocument::ReadFileBytes(file.get(), contents)) {
            ReportReadError(iniFile, error);
            return -1;
        }
    }
    // The import opens the file for update; a file it cannot open so is still checked, read
    // only, and the refusal is a finding.
    const std::string updateError = ConfigFileUpdateError(iniFile);

    std::printf("Checking %s as an import would read it.\n\n", iniFile);
    const IniOutline outline = ReadIniOutline(contents);
    ReadLog reads;
    DryRunTarget target;
    {
        IniDocument document(std::move(contents), IniDocument::ReadOnlyCopy{});
        if (ImportRecords(document, target, &reads) == ImportOutcome::kReadFailed) {
            ReportReadError(iniFile, document.ReadError());
            return -1;
        }
    }
    Checker checker(outline, reads, target);
    if (!updateError.empty()) {
        checker.Add(kOtherGroup, 0,
                    "The import opens the file for update, which fails (" + updateError +
                        "): it would import nothing");
    }
    checker.Run();

    const std::vector<ImportKind> kinds = ImportKinds();
    PrintFindings(checker.Findings(), kinds);
    if (checker.DesignSections() + checker.DesignKeys() + checker.CommentLines() > 0) {
        std::printf(
            "\nNot read by the import, by design (no finding): %s (Application, service "
            "sections, TankGauge) and %s (the ports' PanID, Channels, KeyA and KeyB, "
            "firmware versions)",
            Counted(checker.DesignSections(), "section").c_str(),
            Counted(checker.DesignKeys(), "key").c_str());
        if (checker.CommentLines() > 0) {
            std::printf("; %s", Counted(checker.CommentLines(), "comment line").c_str());
        }
        std::printf(".\n");
    }
    const std::size_t count = checker.Findings().size();
    if (count == 0) {
        std::printf("\nNo findings: an import would carry everything in the file.\n");
        return 0;
    }
    std::printf("\n%s: an import would not carry everything in the file as written.\n",
                Counted(count, "finding").c_str());
    return 1;
}
