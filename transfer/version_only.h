// VersionOnly: the process-wide flag of the VERSION keyword. The command line turns it on;
// the export reads it to write only the version information, the service sections, the
// ports and the ZigBee devices.
#pragma once

// Off at start; the VERSION keyword turns it on and nothing turns it off again. It is not
// part of the parsed command line and is not passed to the transfers.
inline bool VersionOnly = false;
