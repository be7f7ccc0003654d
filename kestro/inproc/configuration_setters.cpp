// The flat interface's configuration setters (ports, grades, tanks, ZigBee devices, pumps and
// hoses, sensors, attendants, card clients, products), bound to the current in-process
// station: each gathers its arguments into the record they describe, texts copied out of the
// caller's BSTRs (which stay the caller's), and the station stores it.
#include "client/kestro.h"
#include "kestro/inproc/bstr_values.h"
#include "kestro/inproc/current_station.h"

using kestro::CurrentStation;
using kestro::TextOf;

extern "C" {

// ---- Ports ------------------------------------------------------------------------------

std::int32_t KESTRO_CALL SetPortProperties(std::int32_t portId, std::int32_t number, BSTR name,
                                           std::int32_t protocolId, std::int16_t deviceType,
                                           BSTR serialNo) {
    return CurrentStation().SetPortProperties(
        kestro::PortRecord{.id = portId,
                           .number = number,
                           .name = TextOf(name),
                           .protocolId = protocolId,
                           .deviceType = deviceType,
                           .serialNo = TextOf(serialNo),
                           .zb2g = {},  // not carried: the station keeps its own
                           .details = std::nullopt});
}

// ---- Grades -----------------------------------------------------------------------------

std::int32_t KESTRO_CALL SetGradePropertiesEx(std::int32_t gradeId, std::int32_t number, BSTR name,
                                              BSTR shortName, BSTR code, std::int16_t gradeType) {
    return CurrentStation().SetGradePropertiesEx(kestro::GradeRecord{.id = gradeId,
                                                                     .number = number,
                                                                     .name = TextOf(name),
                                                                     .shortName = TextOf(shortName),
                                                                     .code = TextOf(code),
                                                                     .gradeType = gradeType});
}

std::int32_t KESTRO_CALL SetGradePrice(std::int32_t gradeId, std::int16_t level, double price) {
    return CurrentStation().SetGradePrice(gradeId, level, price);
}

// ---- Tanks ------------------------------------------------------------------------------

std::int32_t KESTRO_CALL SetTankPropertiesEx2(
    std::int32_t tankId, std::int32_t number, BSTR name, std::int32_t gradeId, std::int16_t type,
    double capacity, double diameter, double height, double theoreticalCapacity,
    double lowLevelAlarm, double highLevelAlarm, double lowLowLevelAlarm, double highHighLevelAlarm,
    double highWaterAlarm, double thermalCoefficient, std::int32_t tankGauge, std::int16_t probe,
    std::int32_t gaugeAlarmsMask, std::int32_t slotZigBeeId, std::int16_t probeType,
    std::int32_t probeSerialNo) {
    return CurrentStation().SetTankPropertiesEx2(
        kestro::TankRecord{.id = tankId,
                           .number = number,
                           .name = TextOf(name),
                           .gradeId = gradeId,
                           .type = type,
                           .capacity = capacity,
                           .diameter = diameter,
                           .height = height,
                           .theoreticalCapacity = theoreticalCapacity,
                           .lowLevelAlarm = lowLevelAlarm,
                           .highLevelAlarm = highLevelAlarm,
                           .lowLowLevelAlarm = lowLowLevelAlarm,
                           .highHighLevelAlarm = highHighLevelAlarm,
                           .highWaterAlarm = highWaterAlarm,
                           .thermalCoefficient = thermalCoefficient,
                           .tankGauge = tankGauge,
                           .probe = probe,
                           .gaugeAlarmsMask = gaugeAlarmsMask,
                           .slotZigBeeId = slotZigBeeId,
                           .probeType = probeType,
                           .probeSerialNo = probeSerialNo});
}

// ---- ZigBee devices ---------------------------------------------------------------------

std::int32_t KESTRO_CALL SetZigBeeProperties(std::int32_t deviceId, std::int32_t number, BSTR name,
                                             std::int16_t deviceType, BSTR serialNumber,
                                             BSTR nodeIdentifier, std::int32_t portId) {
    return CurrentStation().SetZigBeeProperties(
        kestro::ZigBeeRecord{.id = deviceId,
                             .number = number,
                             .name = TextOf(name),
                             .deviceType = deviceType,
                             .serialNumber = TextOf(serialNumber),
                             .nodeIdentifier = TextOf(nodeIdentifier),
                             .portId = portId,
                             .details = std::nullopt});  // not carried: the station keeps its own
}

// ---- Pumps and hoses --------------------------------------------------------------------

std::int32_t KESTRO_CALL SetPumpPropertiesEx(
    std::int32_t pumpId, std::int32_t number, BSTR name, std::int16_t physicalNumber,
    std::int16_t side, std::int16_t address, std::int16_t priceLevel1, std::int16_t priceLevel2,
    std::int16_t priceDspFormat, std::int16_t volumeDspFormat, std::int16_t valueDspFormat,
    std::int16_t pumpType, std::int32_t portId, std::int32_t attendantId, std::int16_t authMode,
    std::int16_t stackMode, std::int16_t prepayAllowed, std::int16_t preauthAllowed,
    std::int32_t slot, std::int32_t muxSlotZigBeeId, std::int16_t priceControl,
    std::int16_t hasPreset) {
    return CurrentStation().SetPumpPropertiesEx(
        kestro::PumpRecord{.id = pumpId,
                           .number = number,
                           .name = TextOf(name),
                           .physicalNumber = physicalNumber,
                           .side = side,
                           .address = address,
                           .priceLevel1 = priceLevel1,
                           .priceLevel2 = priceLevel2,
                           .priceDspFormat = priceDspFormat,
                           .volumeDspFormat = volumeDspFormat,
                           .valueDspFormat = valueDspFormat,
                           .pumpType = pumpType,
                           .portId = portId,
                           .attendantId = attendantId,
                           .authMode = authMode,
                           .stackMode = stackMode,
                           .prepayAllowed = prepayAllowed,
                           .preauthAllowed = preauthAllowed,
                           .slot = slot,
                           .muxSlotZigBeeId = muxSlotZigBeeId,
                           .priceControl = priceControl,
                           .hasPreset = hasPreset});
}

std::int32_t KESTRO_CALL SetHosePropertiesEx2(std::int32_t hoseId, std::int32_t number,
                                              std::int32_t pumpId, std::int32_t tankId,
                                              std::int32_t physicalNumber, double volumeTotal,
                                              double valueTotal, double volumeFactor,
                                              double valueFactor, std::int16_t reader,
                                              double price1, double price2, std::int16_t enabled) {
    return CurrentStation().SetHosePropertiesEx2(
        kestro::HoseRecord{.id = hoseId,
                           .number = number,
                           .pumpId = pumpId,
                           .tankId = tankId,
                           .physicalNumber = physicalNumber,
                           .volumeTotal = volumeTotal,
                           .valueTotal = valueTotal,
                           .volumeFactor = volumeFactor,
                           .valueFactor = valueFactor,
                           .reader = reader,
                           .price1 = price1,
                           .price2 = price2,
                           .enabled = enabled});
}

// ---- Sensors ----------------------------------------------------------------------------

std::int32_t KESTRO_CALL SetSensorPropertiesEx(std::int32_t sensorId, std::int32_t number,
                                               BSTR name, std::int32_t portId, std::int16_t type,
                                               std::int16_t address, std::int16_t sensorNo,
                                               std::int32_t slotZigBeeId,
                                               std::int32_t sensorSerialNo) {
    return CurrentStation().SetSensorPropertiesEx(
        kestro::SensorRecord{.id = sensorId,
                             .number = number,
                             .name = TextOf(name),
                             .portId = portId,
                             .type = type,
                             .address = address,
                             .sensorNo = sensorNo,
                             .slotZigBeeId = slotZigBeeId,
                             .sensorSerialNo = sensorSerialNo});
}

// ---- Attendants -------------------------------------------------------------------------

std::int32_t KESTRO_CALL SetAttendantPropertiesEx2(std::int32_t attendantId, std::int32_t number,
                                                   BSTR name, BSTR shortName, BSTR password,
                                                   BSTR tag, BSTR idNumber,
                                                   std::int16_t shiftAStart, std::int16_t shiftAEnd,
                                                   std::int16_t shiftBStart, std::int16_t shiftBEnd,
                                                   std::int16_t type) {
    return CurrentStation().SetAttendantPropertiesEx2(
        kestro::AttendantRecord{.id = attendantId,
                                .number = number,
                                .name = TextOf(name),
                                .shortName = TextOf(shortName),
                                .password = TextOf(password),
                                .tag = TextOf(tag),
                                .idNumber = TextOf(idNumber),
                                .shiftAStart = shiftAStart,
                                .shiftAEnd = shiftAEnd,
                                .shiftBStart = shiftBStart,
                                .shiftBEnd = shiftBEnd,
                                .type = type});
}

// ---- Card clients -----------------------------------------------------------------------

std::int32_t KESTRO_CALL SetCardClientPropertiesEx4(
    std::int32_t clientId, std::int32_t number, BSTR name, BSTR tag, std::int16_t enabled,
    std::int16_t priceLevel, BSTR plate, BSTR idNumber, BSTR shortName, BSTR password,
    std::int16_t gradeType, std::int16_t cardType, std::int16_t limitType, double limit,
    std::int16_t entryType, double expirationDate, std::int32_t parentId, BSTR vimoSerialNo,
    double odometer, std::int32_t factor) {
    return CurrentStation().SetCardClientPropertiesEx4(
        kestro::CardClientRecord{.id = clientId,
                                 .number = number,
                                 .name = TextOf(name),
                                 .tag = TextOf(tag),
                                 .enabled = enabled,
                                 .priceLevel = priceLevel,
                                 .plate = TextOf(plate),
                                 .idNumber = TextOf(idNumber),
                                 .shortName = TextOf(shortName),
                                 .password = TextOf(password),
                                 .gradeType = gradeType,
                                 .cardType = cardType,
                                 .limitType = limitType,
                                 .limit = limit,
                                 .entryType = entryType,
                                 .expirationDate = expirationDate,
                                 .parentId = parentId,
                                 .vimoSerialNo = TextOf(vimoSerialNo),
                                 .odometer = odometer,
                                 .factor = factor});
}

// ---- Shop products ----------------------------------------------------------------------

std::int32_t KESTRO_CALL SetProductProperties(std::int32_t productId, std::int32_t number,
                                              BSTR name, BSTR tag, std::int16_t enabled,
                                              BSTR shortName, BSTR barcode, double price1,
                                              double price2, std::int32_t productGroup) {
    return CurrentStation().SetProductProperties(
        kestro::ProductRecord{.id = productId,
                              .number = number,
                              .name = TextOf(name),
                              .tag = TextOf(tag),
                              .enabled = enabled,
                              .shortName = TextOf(shortName),
                              .barcode = TextOf(barcode),
                              .price1 = price1,
                              .price2 = price2,
                              .productGroup = productGroup});
}

}  // extern "C"
