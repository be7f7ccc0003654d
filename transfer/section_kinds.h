// The names of the configuration file as the layout gives them: which kind of record a
// section holds, which keys each kind's sections carry (and how the import reads each), and
// the sections and keys the export writes but the import never reads, by design. CHECK and
// VERIFY both sort a file's sections and keys by them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "transfer/import.h"
#include "transfer/value_kind.h"

namespace section_kinds {

// Section and key names compare without regard to case (A-Z only), as the reader compares.
std::string Folded(std::string name);
bool SameName(std::string_view a, std::string_view b);

inline constexpr int kNoKind = -1;

struct SectionKind {
    int group = kNoKind;     // index into ImportKinds(), or kNoKind
    std::int32_t id = 0;     // the number after the kind's prefix
    bool canonical = false;  // the name is the kind's own name for `id` ("Pump07", not "Pump7")
    bool design = false;     // Application, a service section or a TankGauge section
};

// What `name` names: a record section of one of `kinds` (by its prefix and digits), a
// section the import does not read by design, or neither.
SectionKind KindOf(const std::string& name, const std::vector<ImportKind>& kinds);

// The letters of a section name and the digits after them ("Pump" and "3" of "Pump3"); false
// for a name that is not letters followed by up to nine digits.
bool SplitName(const std::string& name, std::string& letters, std::string& digits);

// The names of the sections the import does not read by design (TankGauge sections aside).
std::vector<std::string> DesignSections();

struct LayoutKey {
    std::string name;
    ValueKind kind;  // how the import reads it; keys it never reads compare as text
};

// Every key the export writes in a section of the kind with the section prefix `prefix`
// ("Pump": the pump's keys and those of hose positions 1 to 8; "Grade": Price01..Price08).
std::vector<LayoutKey> LayoutKeys(const std::string& prefix);

// Keys the import reads although the export never writes them (the ports' DeviceType).
std::vector<std::string> ImportOnlyKeys(const std::string& prefix);

// True for the keys the export writes and the import never reads, by design: the ports'
// PanID, Channels, KeyA, KeyB and FirmwareVersion, the ZigBee devices' FirmwareVersion.
bool IsDesignKey(const std::string& prefix, const std::string& key);

// The hose position of a pump's hose key ("Hose3Tank": 3), when `key` is one.
int HosePosition(const std::string& key);

inline constexpr int kHosePositions = 8;

}  // namespace section_kinds
