// The flat interface's configuration calls (ports, grades, tanks, ZigBee devices, pumps and
// hoses, sensors, attendants, card clients, products) over the wire protocol: each one is a
// request to the controller server and its answer (see ClientLink::Forward for the results).
#include "client/kestro.h"
#include "kestro/client/client_link.h"

namespace {

using kestro::wire::CallCode;

template <CallCode code, typename... P>
std::int32_t Forward(P... params) {
    return kestro::client::ClientLink::Instance().Forward<code>(params...);
}

}  // namespace

extern "C" {

std::int32_t KESTRO_CALL GetPortsCount(std::int32_t* count) {
    return Forward<CallCode::GetPortsCount>(count);
}

std::int32_t KESTRO_CALL GetPortByOrdinal(std::int32_t ordinal, std::int32_t* portId) {
    return Forward<CallCode::GetPortByOrdinal>(ordinal, portId);
}

std::int32_t KESTRO_CALL GetPortProperties(std::int32_t portId, std::int32_t* number, BSTR* name,
                                           std::int32_t* protocolId, std::int16_t* deviceType,
                                           BSTR* serialNo) {
    return Forward<CallCode::GetPortProperties>(portId, number, name, protocolId, deviceType,
                                                serialNo);
}

std::int32_t KESTRO_CALL SetPortProperties(std::int32_t portId, std::int32_t number, BSTR name,
                                           std::int32_t protocolId, std::int16_t deviceType,
                                           BSTR serialNo) {
    return Forward<CallCode::SetPortProperties>(portId, number, name, protocolId, deviceType,
                                                serialNo);
}

std::int32_t KESTRO_CALL GetZB2GConfig(std::int32_t portId, std::int64_t* panId,
                                       std::int32_t* channelMask, std::int64_t* keyA,
                                       std::int64_t* keyB) {
    return Forward<CallCode::GetZB2GConfig>(portId, panId, channelMask, keyA, keyB);
}

std::int32_t KESTRO_CALL GetDeviceDetails(std::int32_t portId, std::int32_t deviceId, BSTR* model,
                                          BSTR* hardwareVersion, BSTR* firmwareVersion) {
    return Forward<CallCode::GetDeviceDetails>(portId, deviceId, model, hardwareVersion,
                                               firmwareVersion);
}

std::int32_t KESTRO_CALL GetGradesCount(std::int32_t* count) {
    return Forward<CallCode::GetGradesCount>(count);
}

std::int32_t KESTRO_CALL GetGradeByOrdinal(std::int32_t ordinal, std::int32_t* gradeId) {
    return Forward<CallCode::GetGradeByOrdinal>(ordinal, gradeId);
}

std::int32_t KESTRO_CALL GetGradePropertiesEx(std::int32_t gradeId, std::int32_t* number,
                                              BSTR* name, BSTR* shortName, BSTR* code,
                                              std::int16_t* gradeType) {
    return Forward<CallCode::GetGradePropertiesEx>(gradeId, number, name, shortName, code,
                                                   gradeType);
}

std::int32_t KESTRO_CALL SetGradePropertiesEx(std::int32_t gradeId, std::int32_t number, BSTR name,
                                              BSTR shortName, BSTR code, std::int16_t gradeType) {
    return Forward<CallCode::SetGradePropertiesEx>(gradeId, number, name, shortName, code,
                                                   gradeType);
}

std::int32_t KESTRO_CALL GetGradePrice(std::int32_t gradeId, std::int16_t level, double* price) {
    return Forward<CallCode::GetGradePrice>(gradeId, level, price);
}

std::int32_t KESTRO_CALL SetGradePrice(std::int32_t gradeId, std::int16_t level, double price) {
    return Forward<CallCode::SetGradePrice>(gradeId, level, price);
}

std::int32_t KESTRO_CALL GetTanksCount(std::int32_t* count) {
    return Forward<CallCode::GetTanksCount>(count);
}

std::int32_t KESTRO_CALL GetTankByOrdinal(std::int32_t ordinal, std::int32_t* tankId) {
    return Forward<CallCode::GetTankByOrdinal>(ordinal, tankId);
}

std::int32_t KESTRO_CALL GetTankPropertiesEx2(std::int32_t tankId, std::int32_t* number, BSTR* name,
                                              std::int32_t* gradeId, std::int16_t* type,
                                              double* capacity, double* diameter, double* height,
                                              double* theoreticalCapacity, double* lowLevelAlarm,
                                              double* highLevelAlarm, double* lowLowLevelAlarm,
                                              double* highHighLevelAlarm, double* highWaterAlarm,
                                              double* thermalCoefficient, std::int32_t* tankGauge,
                                              std::int16_t* probe, std::int32_t* gaugeAlarmsMask,
                                              std::int32_t* slotZigBeeId, std::int16_t* probeType,
                                              std::int32_t* probeSerialNo) {
    return Forward<CallCode::GetTankPropertiesEx2>(
        tankId, number, name, gradeId, type, capacity, diameter, height, theoreticalCapacity,
        lowLevelAlarm, highLevelAlarm, lowLowLevelAlarm, highHighLevelAlarm, highWaterAlarm,
        thermalCoefficient, tankGauge, probe, gaugeAlarmsMask, slotZigBeeId, probeType,
        probeSerialNo);
}

std::int32_t KESTRO_CALL SetTankPropertiesEx2(
    std::int32_t tankId, std::int32_t number, BSTR name, std::int32_t gradeId, std::int16_t type,
    double capacity, double diameter, double height, double theoreticalCapacity,
    double lowLevelAlarm, double highLevelAlarm, double lowLowLevelAlarm, double highHighLevelAlarm,
    double highWaterAlarm, double thermalCoefficient, std::int32_t tankGauge, std::int16_t probe,
    std::int32_t gaugeAlarmsMask, std::int32_t slotZigBeeId, std::int16_t probeType,
    std::int32_t probeSerialNo) {
    return Forward<CallCode::SetTankPropertiesEx2>(
        tankId, number, name, gradeId, type, capacity, diameter, height, theoreticalCapacity,
        lowLevelAlarm, highLevelAlarm, lowLowLevelAlarm, highHighLevelAlarm, highWaterAlarm,
        thermalCoefficient, tankGauge, probe, gaugeAlarmsMask, slotZigBeeId, probeType,
        probeSerialNo);
}

std::int32_t KESTRO_CALL GetZigBeeCount(std::int32_t* count) {
    return Forward<CallCode::GetZigBeeCount>(count);
}

std::int32_t KESTRO_CALL GetZigBeeByOrdinal(std::int32_t ordinal, std::int32_t* deviceId) {
    return Forward<CallCode::GetZigBeeByOrdinal>(ordinal, deviceId);
}

std::int32_t KESTRO_CALL GetZigBeeProperties(std::int32_t deviceId, std::int32_t* number,
                                             BSTR* name, std::int16_t* deviceType,
                                             BSTR* serialNumber, BSTR* nodeIdentifier,
                                             std::int32_t* portId) {
    return Forward<CallCode::GetZigBeeProperties>(deviceId, number, name, deviceType, serialNumber,
                                                  nodeIdentifier, portId);
}

std::int32_t KESTRO_CALL SetZigBeeProperties(std::int32_t deviceId, std::int32_t number, BSTR name,
                                             std::int16_t deviceType, BSTR serialNumber,
                                             BSTR nodeIdentifier, std::int32_t portId) {
    return Forward<CallCode::SetZigBeeProperties>(deviceId, number, name, deviceType, serialNumber,
                                                  nodeIdentifier, portId);
}

std::int32_t KESTRO_CALL GetPumpsCount(std::int32_t* count) {
    return Forward<CallCode::GetPumpsCount>(count);
}

std::int32_t KESTRO_CALL GetPumpByOrdinal(std::int32_t ordinal, std::int32_t* pumpId) {
    return Forward<CallCode::GetPumpByOrdinal>(ordinal, pumpId);
}

std::int32_t KESTRO_CALL GetPumpPropertiesEx(
    std::int32_t pumpId, std::int32_t* number, BSTR* name, std::int16_t* physicalNumber,
    std::int16_t* side, std::int16_t* address, std::int16_t* priceLevel1, std::int16_t* priceLevel2,
    std::int16_t* priceDspFormat, std::int16_t* volumeDspFormat, std::int16_t* valueDspFormat,
    std::int16_t* pumpType, std::int32_t* portId, std::int32_t* attendantId, std::int16_t* authMode,
    std::int16_t* stackMode, std::int16_t* prepayAllowed, std::int16_t* preauthAllowed,
    std::int32_t* slot, std::int32_t* muxSlotZigBeeId, std::int16_t* priceControl,
    std::int16_t* hasPreset) {
    return Forward<CallCode::GetPumpPropertiesEx>(
        pumpId, number, name, physicalNumber, side, address, priceLevel1, priceLevel2,
        priceDspFormat, volumeDspFormat, valueDspFormat, pumpType, portId, attendantId, authMode,
        stackMode, prepayAllowed, preauthAllowed, slot, muxSlotZigBeeId, priceControl, hasPreset);
}

std::int32_t KESTRO_CALL SetPumpPropertiesEx(
    std::int32_t pumpId, std::int32_t number, BSTR name, std::int16_t physicalNumber,
    std::int16_t side, std::int16_t address, std::int16_t priceLevel1, std::int16_t priceLevel2,
    std::int16_t priceDspFormat, std::int16_t volumeDspFormat, std::int16_t valueDspFormat,
    std::int16_t pumpType, std::int32_t portId, std::int32_t attendantId, std::int16_t authMode,
    std::int16_t stackMode, std::int16_t prepayAllowed, std::int16_t preauthAllowed,
    std::int32_t slot, std::int32_t muxSlotZigBeeId, std::int16_t priceControl,
    std::int16_t hasPreset) {
    return Forward<CallCode::SetPumpPropertiesEx>(
        pumpId, number, name, physicalNumber, side, address, priceLevel1, priceLevel2,
        priceDspFormat, volumeDspFormat, valueDspFormat, pumpType, portId, attendantId, authMode,
        stackMode, prepayAllowed, preauthAllowed, slot, muxSlotZigBeeId, priceControl, hasPreset);
}

std::int32_t KESTRO_CALL GetPumpHosesCount(std::int32_t pumpId, std::int32_t* count) {
    return Forward<CallCode::GetPumpHosesCount>(pumpId, count);
}

std::int32_t KESTRO_CALL GetPumpHoseByNumber(std::int32_t pumpId, std::int32_t position,
                                             std::int32_t* hoseId) {
    return Forward<CallCode::GetPumpHoseByNumber>(pumpId, position, hoseId);
}

std::int32_t KESTRO_CALL GetHosePropertiesEx2(std::int32_t hoseId, std::int32_t* number,
                                              std::int32_t* pumpId, std::int32_t* tankId,
                                              std::int32_t* physicalNumber, double* volumeTotal,
                                              double* valueTotal, double* volumeFactor,
                                              double* valueFactor, std::int16_t* reader,
                                              double* price1, double* price2,
                                              std::int16_t* enabled) {
    return Forward<CallCode::GetHosePropertiesEx2>(hoseId, number, pumpId, tankId, physicalNumber,
                                                   volumeTotal, valueTotal, volumeFactor,
                                                   valueFactor, reader, price1, price2, enabled);
}

std::int32_t KESTRO_CALL SetHosePropertiesEx2(std::int32_t hoseId, std::int32_t number,
                                              std::int32_t pumpId, std::int32_t tankId,
                                              std::int32_t physicalNumber, double volumeTotal,
                                              double valueTotal, double volumeFactor,
                                              double valueFactor, std::int16_t reader,
                                              double price1, double price2, std::int16_t enabled) {
    return Forward<CallCode::SetHosePropertiesEx2>(hoseId, number, pumpId, tankId, physicalNumber,
                                                   volumeTotal, valueTotal, volumeFactor,
                                                   valueFactor, reader, price1, price2, enabled);
}

std::int32_t KESTRO_CALL GetSensorsCount(std::int32_t* count) {
    return Forward<CallCode::GetSensorsCount>(count);
}

std::int32_t KESTRO_CALL GetSensorByOrdinal(std::int32_t ordinal, std::int32_t* sensorId) {
    return Forward<CallCode::GetSensorByOrdinal>(ordinal, sensorId);
}

std::int32_t KESTRO_CALL GetSensorPropertiesEx(std::int32_t sensorId, std::int32_t* number,
                                               BSTR* name, std::int32_t* portId, std::int16_t* type,
                                               std::int16_t* address, std::int16_t* sensorNo,
                                               std::int32_t* slotZigBeeId,
                                               std::int32_t* sensorSerialNo) {
    return Forward<CallCode::GetSensorPropertiesEx>(sensorId, number, name, portId, type, address,
                                                    sensorNo, slotZigBeeId, sensorSerialNo);
}

std::int32_t KESTRO_CALL SetSensorPropertiesEx(std::int32_t sensorId, std::int32_t number,
                                               BSTR name, std::int32_t portId, std::int16_t type,
                                               std::int16_t address, std::int16_t sensorNo,
                                               std::int32_t slotZigBeeId,
                                               std::int32_t sensorSerialNo) {
    return Forward<CallCode::SetSensorPropertiesEx>(sensorId, number, name, portId, type, address,
                                                    sensorNo, slotZigBeeId, sensorSerialNo);
}

std::int32_t KESTRO_CALL GetAttendantsCount(std::int32_t* count) {
    return Forward<CallCode::GetAttendantsCount>(count);
}

std::int32_t KESTRO_CALL GetAttendantByOrdinal(std::int32_t ordinal, std::int32_t* attendantId) {
    return Forward<CallCode::GetAttendantByOrdinal>(ordinal, attendantId);
}

std::int32_t KESTRO_CALL GetAttendantPropertiesEx2(
    std::int32_t attendantId, std::int32_t* number, BSTR* name, BSTR* shortName, BSTR* password,
    BSTR* tag, BSTR* idNumber, std::int16_t* shiftAStart, std::int16_t* shiftAEnd,
    std::int16_t* shiftBStart, std::int16_t* shiftBEnd, std::int16_t* type) {
    return Forward<CallCode::GetAttendantPropertiesEx2>(attendantId, number, name, shortName,
                                                        password, tag, idNumber, shiftAStart,
                                                        shiftAEnd, shiftBStart, shiftBEnd, type);
}

std::int32_t KESTRO_CALL SetAttendantPropertiesEx2(std::int32_t attendantId, std::int32_t number,
                                                   BSTR name, BSTR shortName, BSTR password,
                                                   BSTR tag, BSTR idNumber,
                                                   std::int16_t shiftAStart, std::int16_t shiftAEnd,
                                                   std::int16_t shiftBStart, std::int16_t shiftBEnd,
                                                   std::int16_t type) {
    return Forward<CallCode::SetAttendantPropertiesEx2>(attendantId, number, name, shortName,
                                                        password, tag, idNumber, shiftAStart,
                                                        shiftAEnd, shiftBStart, shiftBEnd, type);
}

std::int32_t KESTRO_CALL GetCardClientsCount(std::int32_t* count) {
    return Forward<CallCode::GetCardClientsCount>(count);
}

std::int32_t KESTRO_CALL GetCardClientByOrdinal(std::int32_t ordinal, std::int32_t* clientId) {
    return Forward<CallCode::GetCardClientByOrdinal>(ordinal, clientId);
}

std::int32_t KESTRO_CALL GetCardClientPropertiesEx4(
    std::int32_t clientId, std::int32_t* number, BSTR* name, BSTR* tag, std::int16_t* enabled,
    std::int16_t* priceLevel, BSTR* plate, BSTR* idNumber, BSTR* shortName, BSTR* password,
    std::int16_t* gradeType, std::int16_t* cardType, std::int16_t* limitType, double* limit,
    std::int16_t* entryType, double* expirationDate, std::int32_t* parentId, BSTR* vimoSerialNo,
    double* odometer, std::int32_t* factor) {
    return Forward<CallCode::GetCardClientPropertiesEx4>(
        clientId, number, name, tag, enabled, priceLevel, plate, idNumber, shortName, password,
        gradeType, cardType, limitType, limit, entryType, expirationDate, parentId, vimoSerialNo,
        odometer, factor);
}

std::int32_t KESTRO_CALL SetCardClientPropertiesEx4(
    std::int32_t clientId, std::int32_t number, BSTR name, BSTR tag, std::int16_t enabled,
    std::int16_t priceLevel, BSTR plate, BSTR idNumber, BSTR shortName, BSTR password,
    std::int16_t gradeType, std::int16_t cardType, std::int16_t limitType, double limit,
    std::int16_t entryType, double expirationDate, std::int32_t parentId, BSTR vimoSerialNo,
    double odometer, std::int32_t factor) {
    return Forward<CallCode::SetCardClientPropertiesEx4>(
        clientId, number, name, tag, enabled, priceLevel, plate, idNumber, shortName, password,
        gradeType, cardType, limitType, limit, entryType, expirationDate, parentId, vimoSerialNo,
        odometer, factor);
}

std::int32_t KESTRO_CALL GetProductsCount(std::int32_t* count, std::int32_t groupFilter,
                                          std::int32_t enabledOnly, std::int32_t barcodeOnly,
                                          std::int32_t firstNumber, std::int32_t maxCount,
                                          std::int32_t terminalFilter) {
    return Forward<CallCode::GetProductsCount>(count, groupFilter, enabledOnly, barcodeOnly,
                                               firstNumber, maxCount, terminalFilter);
}

std::int32_t KESTRO_CALL GetProductByOrdinal(std::int32_t ordinal, std::int32_t* productId,
                                             std::int32_t groupFilter, std::int32_t enabledOnly,
                                             std::int32_t barcodeOnly, std::int32_t firstNumber,
                                             std::int32_t maxCount, std::int32_t terminalFilter) {
    return Forward<CallCode::GetProductByOrdinal>(ordinal, productId, groupFilter, enabledOnly,
                                                  barcodeOnly, firstNumber, maxCount,
                                                  terminalFilter);
}

std::int32_t KESTRO_CALL GetProductProperties(std::int32_t productId, std::int32_t* number,
                                              BSTR* name, BSTR* tag, std::int16_t* enabled,
                                              BSTR* shortName, BSTR* barcode, double* price1,
                                              double* price2, std::int32_t* productGroup) {
    return Forward<CallCode::GetProductProperties>(productId, number, name, tag, enabled, shortName,
                                                   barcode, price1, price2, productGroup);
}

std::int32_t KESTRO_CALL SetProductProperties(std::int32_t productId, std::int32_t number,
                                              BSTR name, BSTR tag, std::int16_t enabled,
                                              BSTR shortName, BSTR barcode, double price1,
                                              double price2, std::int32_t productGroup) {
    return Forward<CallCode::SetProductProperties>(productId, number, name, tag, enabled, shortName,
                                                   barcode, price1, price2, productGroup);
}

}  // extern "C"
