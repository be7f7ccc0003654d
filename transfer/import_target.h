// ImportTarget: where the import's records go. The import writes them to the controller
// through the Kestro setters (KestroImportTarget); CHECK runs the same import against a target
// that only notes what would be written.
#pragma once

#include <cstdint>

#include "transfer/config_values.h"

// One call per setter, with the record's identifier and its values as read from the file.
// Each returns true when the record was written; false when it failed (the target has
// reported it).
class ImportTarget {
  public:
    virtual ~ImportTarget() = default;

    virtual bool SetPort(std::int32_t id, const PortValues& port) = 0;
    virtual bool SetGrade(std::int32_t id, const GradeValues& grade) = 0;
    virtual bool SetGradePrice(std::int32_t id, int level, double price) = 0;
    virtual bool SetTank(std::int32_t id, const TankValues& tank) = 0;
    virtual bool SetZigBee(std::int32_t id, const ZigBeeValues& device) = 0;
    virtual bool SetPump(std::int32_t id, const PumpValues& pump) = 0;
    // The hose at `position` (1..8) of pump `pumpId`; the position is the hose's number.
    virtual bool SetHose(std::int32_t pumpId, int position, const HoseValues& hose) = 0;
    virtual bool SetSensor(std::int32_t id, const SensorValues& sensor) = 0;
    virtual bool SetAttendant(std::int32_t id, const AttendantValues& attendant) = 0;
    virtual bool SetCardClient(std::int32_t id, const CardClientValues& client) = 0;
    virtual bool SetProduct(std::int32_t id, const ProductValues& product) = 0;

    // Tank `tankId` names grade `gradeId`, which cannot be imported; the tank is skipped.
    virtual void TankGradeMissing(std::int32_t tankId, std::int32_t gradeId) = 0;
    // The hose at `position` of pump `pumpId` names tank `tankId`, which cannot be imported;
    // the import ends here.
    virtual void HoseTankMissing(std::int32_t pumpId, int position, std::int32_t tankId) = 0;
};
