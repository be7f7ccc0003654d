// Section kinds and key lists drawn from the file layout's tables and the import's kinds.
#include "transfer/section_kinds.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <type_traits>
#include <variant>

#include "platform/ascii_case.h"
#include "transfer/config_layout.h"

using namespace config_layout;

namespace section_kinds {
namespace {

const char* const kDesignSections[] = {"Application", "Log", "Server", "Port", "Protocol",
                                       "Company",     "Pam", "GSC",    "IPT"};
const char* const kPortDesignKeys[] = {"PanID", "Channels", "KeyA", "KeyB", "FirmwareVersion"};
constexpr char kFirmwareKey[] = "FirmwareVersion";

// How the import reads the field `key` carries.
template <typename Values>
ValueKind KindOfField(const KeyLayout<Values>& key) {
    return std::visit(
        [&](auto field) {
            using Field = std::remove_cvref_t<decltype(std::declval<Values&>().*field)>;
            return ReadKindOf<Field>(key.format);
        },
        key.field);
}

template <typename Values, std::size_t N>
void AddKeys(std::vector<LayoutKey>& names, const KeyLayout<Values> (&keys)[N],
             const std::string& prefix = {}) {
    for (const KeyLayout<Values>& key : keys) {
        names.push_back({prefix + key.key, KindOfField(key)});
    }
}

}  // namespace

std::string Folded(std::string name) {
    return FoldedAscii(name);
}

bool SameName(std::string_view a, std::string_view b) {
    return EqualsAsciiNoCase(a, b);
}

bool SplitName(const std::string& name, std::string& letters, std::string& digits) {
    // A byte at a time, not a search of "0123456789" a byte: a name may be megabytes long.
    auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    const auto split = std::find_if(name.begin(), name.end(), isDigit);
    if (split == name.end() || split == name.begin() || name.end() - split > 9 ||
        !std::all_of(split, name.end(), isDigit)) {
        return false;
    }
    letters.assign(name.begin(), split);
    digits.assign(split, name.end());
    return true;
}

SectionKind KindOf(const std::string& name, const std::vector<ImportKind>& kinds) {
    SectionKind result;
    for (const char* design : kDesignSections) {
        if (SameName(name, design)) {
            result.design = true;
            return result;
        }
    }
    std::string letters;
    std::string digits;
    if (!SplitName(name, letters, digits)) {
        return result;
    }
    if (SameName(letters, kTankGaugeSection.prefix)) {
        result.design = true;
        return result;
    }
    for (std::size_t group = 0; group < kinds.size(); ++group) {
        if (SameName(letters, kinds[group].section.prefix)) {
            result.group = static_cast<int>(group);
            result.id = std::stoi(digits);
            // The kind's own name writes the id in at least the pattern's digits, zeros in
            // front: the digits are those when there are no more of them than that takes.
            const std::size_t written = std::to_string(result.id).size();
            result.canonical =
                digits.size() ==
                std::max(written, static_cast<std::size_t>(kinds[group].section.digits));
            return result;
        }
    }
    return result;
}

std::vector<std::string> DesignSections() {
    return {std::begin(kDesignSections), std::end(kDesignSections)};
}

std::vector<LayoutKey> LayoutKeys(const std::string& prefix) {
    std::vector<LayoutKey> keys;
    if (prefix == kPortSection.prefix) {
        AddKeys(keys, kPortKeys);
        AddKeys(keys, kZB2GKeys);
        AddKeys(keys, kFirmwareKeys);
    } else if (prefix == kGradeSection.prefix) {
        AddKeys(keys, kGradeKeys);
        for (int level = 1; level <= kPriceLevels; ++level) {
            keys.push_back({GradePriceKey(level), ValueKind::kAmount});
        }
    } else if (prefix == kTankSection.prefix) {
        AddKeys(keys, kTankKeys);
    } else if (prefix == kZigBeeSection.prefix) {
        AddKeys(keys, kZigBeeKeys);
        AddKeys(keys, kFirmwareKeys);
    } else if (prefix == kPumpSection.prefix) {
        AddKeys(keys, kPumpKeys);
        for (int position = 1; position <= kHosePositions; ++position) {
            AddKeys(keys, kHoseKeys, HoseKeyPrefix(position));
        }
    } else if (prefix == kSensorSection.prefix) {
        AddKeys(keys, kSensorKeys);
    } else if (prefix == kAttendantSection.prefix) {
        AddKeys(keys, kAttendantKeys);
    } else if (prefix == kClientSection.prefix) {
        AddKeys(keys, kCardClientKeys);
    } else if (prefix == kProductSection.prefix) {
        AddKeys(keys, kProductKeys);
    }
    return keys;
}

std::vector<std::string> ImportOnlyKeys(const std::string& prefix) {
    if (prefix == kPortSection.prefix) {
        return {kPortDeviceTypeKey};
    }
    return {};
}

bool IsDesignKey(const std::string& prefix, const std::string& key) {
    if (prefix == kPortSection.prefix) {
        return std::any_of(std::begin(kPortDesignKeys), std::end(kPortDesignKeys),
                           [&](const char* name) { return SameName(key, name); });
    }
    return prefix == kZigBeeSection.prefix && SameName(key, kFirmwareKey);
}

int HosePosition(const std::string& key) {
    if (key.size() < 5 || !SameName(key.substr(0, 4), "Hose")) {
        return 0;
    }
    std::size_t end = 4;
    while (end < key.size() && end < 8 && key[end] >= '0' && key[end] <= '9') {
        ++end;
    }
    if (end == 4) {
        return 0;
    }
    const std::string suffix = key.substr(end);
    const bool known =
        std::any_of(std::begin(kHoseKeys), std::end(kHoseKeys),
                    [&](const KeyLayout<HoseValues>& hose) { return SameName(suffix, hose.key); });
    return known ? std::stoi(key.substr(4, end - 4)) : 0;
}

}  // namespace section_kinds
