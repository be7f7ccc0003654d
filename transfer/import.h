// Brenkar's import: reads a configuration INI file and writes every record back to the
// controller through the Kestro setters, inside the entry point's logon.
#pragma once

#include <cstdint>

// Probes the record sections of `iniFile` kind by kind (ports, grades, tanks, ZigBee
// devices, pumps with their hoses, sensors, attendants, card clients, products) and passes
// each record present to its setter. A missing file is created empty and imports nothing.
// Prints a count line per kind with records and "\nAll done.\n" at the end. Returns 0 when
// every kind was processed, and also when the run stops at a hose whose tank cannot be
// imported; -1 when a setter for a ZigBee device, pump, hose, sensor, attendant, card
// client or product failed (CheckResult printed it). A failed port, grade or tank setter is
// printed and the scan goes on.
std::int32_t ImportConfiguration(const char* iniFile);
