// Brenkar's export: reads the whole configuration of the controller through the Kestro flat
// interface, inside the entry point's logon, and writes it to an INI file.
#pragma once

#include <cstdint>

// Writes the configuration of the controller logged on to into the INI file `iniFile`
// (removed first, then written record kind by record kind: version information, the
// service sections that `pam`, `company`, `gsc` and `ipt` choose, ports, grades, tanks,
// ZigBee devices, pumps with their hoses, sensors, attendants, card clients, products).
// The flags arrive with their implications already applied. With VersionOnly on only the
// version information, the service sections, the ports and the ZigBee devices are written.
// Prints one "." per record, a count line per kind and "\nAll done.\n" at a successful end.
// Returns 0 when every record was written, -1 when a call failed (CheckResult printed it;
// only a failed firmware query is skipped) and the export stopped, leaving in the file what
// was written so far.
std::int32_t ExportConfiguration(const char* iniFile, bool pam, bool company, bool gsc, bool ipt);
