// Brenkar's export: reads the whole configuration of the controller through the Kestro flat
// interface, inside the entry point's logon, and writes it to an INI file.
#pragma once

#include <cstdint>

#include "transfer/config_writer.h"

// Writes the configuration of the controller logged on to into the INI file `iniFile`:
// version information, the service sections that `pam`, `company`, `gsc` and `ipt` choose
// (their implications already applied), then kind by kind the ports, grades, tanks, ZigBee
// devices, pumps with their hoses, sensors, attendants, card clients and products. With
// VersionOnly on only the version information, the service sections, the ports and the
// ZigBee devices are written (every kind's count is still asked for).
//
// Prints one "." per record, a count line per kind and "\nAll done.\n" at a successful end.
// Returns 0 when every record was written; -1 when a call failed (CheckResult printed it;
// only a failed device-details query is skipped, leaving out one FirmwareVersion key) or the
// file could not be written ("Cannot write the file <iniFile> - <reason>.\n").
//
// The file is written as "<iniFile>.partial" and renamed over `iniFile` only when the export
// succeeded and the file is on disk, so an existing file is replaced whole or not at all. On
// failure `iniFile` is untouched and "<iniFile>.partial" keeps what was written up to the
// failure. Every BSTR received is freed.
std::int32_t ExportConfiguration(const char* iniFile, bool pam, bool company, bool gsc, bool ipt);

// The export's reading of the controller without a file: every record, read through the same
// calls as ExportConfiguration, goes to `sink` as the keys the export would write (the
// Application section and the record sections; no service sections, as without switches).
// Prints no dots and no count lines; a failed call is printed by CheckResult as the export
// prints it, and the result is then false. VersionOnly limits it as it limits the export.
bool ReadControllerConfiguration(ConfigSink& sink);
