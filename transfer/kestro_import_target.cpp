// The Kestro setters of the import, one per record kind, with their failure labels.
#include "transfer/kestro_import_target.h"

#include <cstdio>

#include "client/kestro.h"
#include "transfer/check_result.h"

namespace {

// The tank's and the hose's values that the file does not carry are passed as this.
constexpr double kNotCarried = 0.0;

}  // namespace

bool KestroImportTarget::SetPort(std::int32_t id, const PortValues& port) {
    return CheckResult("SetPortProperties failed",
                       SetPortProperties(id, port.number, port.name.Get(), port.protocolId,
                                         port.deviceType, port.serialNo.Get()));
}

bool KestroImportTarget::SetGrade(std::int32_t id, const GradeValues& grade) {
    return CheckResult(
        "SetGradePropertiesEx failed.",
        SetGradePropertiesEx(id, grade.number, grade.name.Get(), grade.shortName.Get(),
                             grade.code.Get(), grade.gradeType));
}

bool KestroImportTarget::SetGradePrice(std::int32_t id, int level, double price) {
    return CheckResult("SetGradePrice failed.",
                       ::SetGradePrice(id, static_cast<std::int16_t>(level), price));
}

bool KestroImportTarget::SetTank(std::int32_t id, const TankValues& tank) {
    return CheckResult(
        "SetTankPropertiesEx2 failed.",
        SetTankPropertiesEx2(id, tank.number, tank.name.Get(), tank.gradeId, tank.type,
                             tank.capacity, tank.diameter, kNotCarried, kNotCarried, kNotCarried,
                             kNotCarried, kNotCarried, kNotCarried, kNotCarried, kNotCarried,
                             tank.tankGauge, tank.probe, tank.gaugeAlarmsMask, tank.slotZigBeeId,
                             tank.probeType, tank.probeSerialNo));
}

bool KestroImportTarget::SetZigBee(std::int32_t id, const ZigBeeValues& device) {
    return CheckResult(
        "SetZigBeeProperties failed.",
        SetZigBeeProperties(id, device.number, device.name.Get(), device.deviceType,
                            device.serialNumber.Get(), device.nodeIdentifier.Get(), device.portId));
}

bool KestroImportTarget::SetPump(std::int32_t id, const PumpValues& pump) {
    return CheckResult(
        "SetPumpPropertiesEx failed.",
        SetPumpPropertiesEx(id, pump.number, pump.name.Get(), pump.physicalNumber, pump.side,
                            pump.address, pump.priceLevel1, pump.priceLevel2, pump.priceDspFormat,
                            pump.volumeDspFormat, pump.valueDspFormat, pump.pumpType, pump.portId,
                            pump.attendantId, pump.authMode, pump.stackMode, pump.prepayAllowed,
                            pump.preauthAllowed, pump.slot, pump.muxSlotZigBeeId, pump.priceControl,
                            pump.hasPreset));
}

bool KestroImportTarget::SetHose(std::int32_t pumpId, int position, const HoseValues& hose) {
    return CheckResult(
        "SetHosePropertiesEx2 failed.",
        SetHosePropertiesEx2(hose.id, position, pumpId, hose.tankId, hose.physicalNumber,
                             kNotCarried, kNotCarried, kNotCarried, kNotCarried, hose.reader,
                             hose.price1, hose.price2, hose.enabled));
}

bool KestroImportTarget::SetSensor(std::int32_t id, const SensorValues& sensor) {
    return CheckResult("SetSensorPropertiesEx failed.",
                       SetSensorPropertiesEx(id, sensor.number, sensor.name.Get(), sensor.portId,
                                             sensor.type, sensor.address, sensor.sensorNo,
                                             sensor.slotZigBeeId, sensor.sensorSerialNo));
}

bool KestroImportTarget::SetAttendant(std::int32_t id, const AttendantValues& attendant) {
    return CheckResult("SetAttendantPropertiesEx2 failed.",
                       SetAttendantPropertiesEx2(
                           id, attendant.number, attendant.name.Get(), attendant.shortName.Get(),
                           attendant.password.Get(), attendant.tag.Get(), attendant.idNumber.Get(),
                           attendant.shiftAStart, attendant.shiftAEnd, attendant.shiftBStart,
                           attendant.shiftBEnd, attendant.type));
}

bool KestroImportTarget::SetCardClient(std::int32_t id, const CardClientValues& client) {
    return CheckResult(
        "SetCardClientPropertiesEx4 failed.",
        SetCardClientPropertiesEx4(
            id, client.number, client.name.Get(), client.tag.Get(), client.enabled,
            client.priceLevel, client.plate.Get(), client.idNumber.Get(), client.shortName.Get(),
            client.password.Get(), client.gradeType, client.cardType, client.limitType,
            client.limit, client.entryType, client.expirationDate, client.parentId,
            client.vimoSerialNo.Get(), client.odometer, client.factor));
}

bool KestroImportTarget::SetProduct(std::int32_t id, const ProductValues& product) {
    return CheckResult(
        "SetProductProperties failed.",
        SetProductProperties(id, product.number, product.name.Get(), product.tag.Get(),
                             product.enabled, product.shortName.Get(), product.barcode.Get(),
                             product.price1, product.price2, product.productGroup));
}

void KestroImportTarget::TankGradeMissing(std::int32_t tankId, std::int32_t gradeId) {
    std::printf("Tank %d: grade %d could not be imported.\n", tankId, gradeId);
}

void KestroImportTarget::HoseTankMissing(std::int32_t pumpId, int position, std::int32_t tankId) {
    std::printf("Pump %d hose %d: tank %d could not be imported.\n", pumpId, position, tankId);
}
