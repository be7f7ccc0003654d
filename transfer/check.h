// Brenkar's CHECK: reads a configuration file exactly as the import would, without a
// controller, and reports what an import would write and everything it would not carry as
// written.
#pragma once

#include <cstdint>

// Checks the configuration file `iniFile` (non-null). Runs the import's own scan over it
// (the same probing, reader and conversions) against a target that writes nothing, and
// prints the count lines an import would print. Then, grouped by kind, one line per finding
// with its section, key and line number: sections that are not reached (behind a gap of
// seven, past a kind's bound, ZigBee devices 1 to 4, after the import has ended), records
// whose Number is missing, price levels after a zero price, hoses after a gap, a tank whose
// grade or a hose whose tank cannot be imported, values read as something other than what
// they say, sections and keys no kind reads (with the nearest known name when one is close),
// second sections and second key lines that are never read. What the file layout writes but
// the import never reads by design (the Application and service sections, TankGauge
// sections, the ports' radio keys, firmware versions) is summed up once as information.
// Ends with a summary line.
//
// Returns 0 when an import would carry everything, 1 when it would not, -1 when the file
// cannot be read ("Cannot read the file <iniFile> - <reason>.\n"; it must be a regular file).
std::int32_t CheckConfiguration(const char* iniFile);
