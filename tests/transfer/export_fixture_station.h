// The "every field" station of the export tests: a few records of every kind whose values
// reach every corner of the file layout (characters above 255, null texts, 16-bit -1,
// identifiers of 100 and 1000, channel masks, hoses with gaps in their numbers, grade prices
// at levels 1 and 3 only, hose prices of exactly 0.1 and 0.101, devices without details).
// The expected files in tests/data/export/ are written by hand from this data.
#pragma once

#include "kestro/model/configuration.h"

namespace export_fixture {

// The station's records, the same on every call.
kestro::Configuration Station();

// The version texts the station reports (DllVersion, ServerVersion).
inline constexpr char16_t kDllVersion[] = u"Kestro client 4.2.1 test";
inline constexpr char16_t kServerVersion[] = u"Esta\u00e7\u00e3o 1.0";

}  // namespace export_fixture
