// The import's records written to the controller through the Kestro setters.
#pragma once

#include "transfer/import_target.h"

// Calls each record's setter with the identifier first and the values in the setter's
// argument order; the values the file does not carry (a tank's eight further doubles, a
// hose's four) pass as 0.0. A failed setter is printed through CheckResult with its label.
class KestroImportTarget : public ImportTarget {
  public:
    bool SetPort(std::int32_t id, const PortValues& port) override;
    bool SetGrade(std::int32_t id, const GradeValues& grade) override;
    bool SetGradePrice(std::int32_t id, int level, double price) override;
    bool SetTank(std::int32_t id, const TankValues& tank) override;
    bool SetZigBee(std::int32_t id, const ZigBeeValues& device) override;
    bool SetPump(std::int32_t id, const PumpValues& pump) override;
    bool SetHose(std::int32_t pumpId, int position, const HoseValues& hose) override;
    bool SetSensor(std::int32_t id, const SensorValues& sensor) override;
    bool SetAttendant(std::int32_t id, const AttendantValues& attendant) override;
    bool SetCardClient(std::int32_t id, const CardClientValues& client) override;
    bool SetProduct(std::int32_t id, const ProductValues& product) override;
    // Prints "Tank <tank>: grade <grade> could not be imported.\n".
    void TankGradeMissing(std::int32_t tankId, std::int32_t gradeId) override;
    // Prints "Pump <pump> hose <position>: tank <tank> could not be imported.\n".
    void HoseTankMissing(std::int32_t pumpId, int position, std::int32_t tankId) override;
};
