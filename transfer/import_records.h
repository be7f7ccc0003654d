// The import of one configuration record per call: reads the record's section of the
// configuration file and hands its values to the import's target (the Kestro setters, or
// CHECK's notes), in the setter's argument order.
#pragma once

#include <cstdint>

#include "transfer/import_target.h"
#include "transfer/record_reader.h"

// One import run: the reader of the file and the target of the records.
struct ImportRun {
    RecordReader& reader;
    ImportTarget& target;
};

// Every importer selects the record's section (the identifier's number in the section name:
// Pump07 for pump 7). No setter is called once a read of the file has failed. A record is present
// when its key "Number" reads as 1 or more; an absent record is read no further and nothing is
// written or printed for it. A failed setter has been reported by the target.

// How the import of one record ended.
enum class RecordImport {
    kImported,
    kAbsent,
    kSkipped,     // a port, grade or tank not written; its failure was reported. The scan goes
                  // on (the record counts as absent) and the import ends with status 3
    kEndImport,   // a failure was reported; the whole import ends with -1
    kReadFailed,  // a read of the file failed: nothing read after it is written, and the
                  // whole import ends with -1 (RecordReader::ReadFailed)
};

// Port `id` through SetPort, the protocol as the 32-bit value the file holds; the device type
// comes from the key DeviceType, which exported files lack (0). kSkipped when its setter
// failed.
RecordImport ImportPort(ImportRun& run, std::int32_t id);

// Grade `id` through SetGrade, then SetGradePrice for the levels 1, 2, ... up to the first
// level without a positive price. kImported at once, reading nothing, when the grade is in
// ImportedGrades; otherwise it is recorded there once written. kSkipped when a setter failed
// (its properties and earlier prices stay written).
RecordImport ImportGrade(ImportRun& run, std::int32_t id);

// Tank `id`: imports the grade it names first (ImportGrade: normally already done), then
// SetTank, the probe serial number as the 32-bit value the file holds. kImported at once when
// the tank is in ImportedTanks; recorded there once written. kSkipped when its grade cannot be
// imported (ImportTarget::TankGradeMissing; the tank is not written) or its setter failed.
RecordImport ImportTank(ImportRun& run, std::int32_t id);

// ZigBee device `id` through SetZigBee.
RecordImport ImportZigBee(ImportRun& run, std::int32_t id);

// Pump `id` through SetPump, then its hoses at positions 1 to 8 until the first position
// without a positive "Hose<n>ID": each hose's tank is imported first (ImportTank), then
// SetHose with the position as the hose number. A hose whose tank cannot be imported ends
// the import (ImportTarget::HoseTankMissing).
RecordImport ImportPump(ImportRun& run, std::int32_t id);

// Sensor `id` through SetSensor.
RecordImport ImportSensor(ImportRun& run, std::int32_t id);

// Attendant `id` through SetAttendant. Its type is the key Type, or the key Enabled when
// Type reads as 0.
RecordImport ImportAttendant(ImportRun& run, std::int32_t id);

// Card client `id` through SetCardClient.
RecordImport ImportCardClient(ImportRun& run, std::int32_t id);

// Product `id` through SetProduct.
RecordImport ImportProduct(ImportRun& run, std::int32_t id);
