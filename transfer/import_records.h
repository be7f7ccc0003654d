// The import of one configuration record per call: reads the record's section of the
// configuration file and passes its values to the record's Kestro setter, in the setter's
// argument order.
#pragma once

#include <cstdint>

#include "ini/ini_document.h"

// Every importer selects the record's section (the identifier's number in the section name:
// Pump07 for pump 7). A record is present when its key "Number" reads as 1 or more; an
// absent record is read no further and nothing is written or printed for it. A failed
// setter is printed through CheckResult with the setter's label.

// How the import of one record ended.
enum class RecordImport {
    kImported,
    kAbsent,
    kSkipped,    // a port, grade or tank not written; its failure was printed. The scan goes
                 // on (the record counts as absent) and the import ends with status 3
    kEndImport,  // a failure was printed; the whole import ends with -1
};

// Port `id` through SetPortProperties, the protocol as the 32-bit value the file holds; the
// device type comes from the key DeviceType, which exported files lack (0). kSkipped when its
// setter failed ("SetPortProperties failed" - ...).
RecordImport ImportPort(IniDocument& document, std::int32_t id);

// Grade `id` through SetGradePropertiesEx, then SetGradePrice for the levels 1, 2, ... up to
// the first level without a positive price. kImported at once, reading nothing, when the grade
// is in ImportedGrades; otherwise it is recorded there once written. kSkipped when a setter
// failed (its properties and earlier prices stay written).
RecordImport ImportGrade(IniDocument& document, std::int32_t id);

// Tank `id`: imports the grade it names first (ImportGrade: normally already done), then
// SetTankPropertiesEx2 with 0.0 for the eight values the file does not carry and the probe
// serial number as the 32-bit value the file holds. kImported at once when the tank is in
// ImportedTanks; recorded there once written. kSkipped when its grade cannot be imported
// ("Tank <id>: grade <grade> could not be imported.\n"; the tank is not written) or its
// setter failed.
RecordImport ImportTank(IniDocument& document, std::int32_t id);

// ZigBee device `id` through SetZigBeeProperties.
RecordImport ImportZigBee(IniDocument& document, std::int32_t id);

// Pump `id` through SetPumpPropertiesEx, then its hoses at positions 1 to 8 until the first
// position without a positive "Hose<n>ID": each hose's tank is imported first (ImportTank),
// then SetHosePropertiesEx2 with the hose number n, the pump, and 0.0 for the four values the
// file does not carry. A hose whose tank cannot be imported ends the import: the line
// "Pump <id> hose <n>: tank <tank> could not be imported.\n" is printed.
RecordImport ImportPump(IniDocument& document, std::int32_t id);

// Sensor `id` through SetSensorPropertiesEx.
RecordImport ImportSensor(IniDocument& document, std::int32_t id);

// Attendant `id` through SetAttendantPropertiesEx2. Its type is the key Type, or the key
// Enabled when Type reads as 0.
RecordImport ImportAttendant(IniDocument& document, std::int32_t id);

// Card client `id` through SetCardClientPropertiesEx4.
RecordImport ImportCardClient(IniDocument& document, std::int32_t id);

// Product `id` through SetProductProperties.
RecordImport ImportProduct(IniDocument& document, std::int32_t id);
