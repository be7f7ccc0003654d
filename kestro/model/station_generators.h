// Ready-made station configurations: an empty station, a small realistic sample station
// (the in-process default and the seed of a new server database) and the largest station
// the configuration file serves (for performance runs).
#pragma once

#include <optional>
#include <string_view>

#include "kestro/model/configuration.h"

namespace kestro {

// No record of any kind.
Configuration EmptyStation();

// A small Brazilian station, the same on every call: 6 ports (5 and 6 above 4, port 3 a
// ZigBee gateway with radio settings), 4 grades priced at levels 1 and 2, 4 tanks, ZigBee
// devices 5 to 8, 8 pumps with 2 to 4 hoses each, 3 sensors, 10 attendants, 50 card clients
// and 20 shop products. Names carry accented letters (Latin-1). Every cross-reference
// (tank to grade, hose to pump and tank, device to port) names an existing record.
Configuration SampleStation();

// The largest configuration the file serves, the same on every call: 99 ports, grades, tanks
// and pumps (identifiers 1 to 99), 8 hoses on every pump, 95 ZigBee devices (5 to 99), and
// 9,999 sensors, attendants, card clients and products (1 to 9,999).
Configuration MaxStation();

// The generator named "empty", "sample" or "max"; std::nullopt for any other name.
std::optional<Configuration> GenerateStation(std::string_view name);

}  // namespace kestro
