// Brenkar's VERIFY: compares the controller logged on to with a configuration file, record by
// record and key by key, writing nothing and changing nothing.
#pragma once

#include <cstdint>

// Reads the controller's configuration through the export's own reading (the same calls and
// layout, so the same keys and value formats) and the file's records through the import's
// reader, and prints, grouped by kind, the records only in the file, the records only in the
// controller, and each key whose values differ ("file X, controller Y"). Values compare as the
// import reads them: numbers by value (5.9 and 5.900 are equal), texts byte for byte. The
// Application section's date and versions, and the keys the import never carries (the ports'
// radio settings, firmware versions), are printed apart as information. The service and
// TankGauge sections carry no controller data and are not compared.
//
// Returns 0 when the controller holds what the file says, 1 when they differ, -1 when a call
// failed (CheckResult printed it, as the export prints it) or the file cannot be read
// ("Cannot read the file <iniFile> - <reason>.\n").
std::int32_t VerifyConfiguration(const char* iniFile);
