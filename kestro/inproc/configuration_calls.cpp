// The flat interface's configuration calls (ports, grades, tanks, ZigBee devices, pumps and
// hoses, sensors, attendants, card clients, products), bound to the current in-process
// station. The model does not serve them yet: each is recorded with the values passed in and
// answers kCallNotSupported, so a client that reaches one fails loudly instead of reading
// made-up values.
#include "client/kestro.h"
#include "kestro/inproc/bstr_values.h"
#include "kestro/inproc/current_station.h"

#include <utility>
#include <vector>

namespace {

std::int32_t Unserved(const char* name, std::vector<kestro::CallValue> values) {
    return kestro::CurrentStation().NotSupported({name, std::move(values)});
}

using kestro::TextOf;

}  // namespace

extern "C" {

// ---- Ports ------------------------------------------------------------------------------

std::int32_t GetPortsCount(std::int32_t*) {
    return Unserved("GetPortsCount", {});
}

std::int32_t GetPortByOrdinal(std::int32_t ordinal, std::int32_t*) {
    return Unserved("GetPortByOrdinal", {ordinal});
}

std::int32_t GetPortProperties(std::int32_t portId, std::int32_t*, BSTR*, std::int32_t*,
                               std::int16_t*, BSTR*) {
    return Unserved("GetPortProperties", {portId});
}

std::int32_t SetPortProperties(std::int32_t portId, std::int32_t number, BSTR name,
                               std::int32_t protocolId, std::int16_t deviceType, BSTR serialNo) {
    return Unserved("SetPortProperties",
                    {portId, number, TextOf(name), protocolId, deviceType, TextOf(serialNo)});
}

std::int32_t GetZB2GConfig(std::int32_t portId, std::int64_t*, std::int32_t*, std::int64_t*,
                           std::int64_t*) {
    return Unserved("GetZB2GConfig", {portId});
}

std::int32_t GetDeviceDetails(std::int32_t portId, std::int32_t deviceId, BSTR*, BSTR*, BSTR*) {
    return Unserved("GetDeviceDetails", {portId, deviceId});
}

// ---- Grades -----------------------------------------------------------------------------

std::int32_t GetGradesCount(std::int32_t*) {
    return Unserved("GetGradesCount", {});
}

std::int32_t GetGradeByOrdinal(std::int32_t ordinal, std::int32_t*) {
    return Unserved("GetGradeByOrdinal", {ordinal});
}

std::int32_t GetGradePropertiesEx(std::int32_t gradeId, std::int32_t*, BSTR*, BSTR*, BSTR*,
                                  std::int16_t*) {
    return Unserved("GetGradePropertiesEx", {gradeId});
}

std::int32_t SetGradePropertiesEx(std::int32_t gradeId, std::int32_t number, BSTR name,
                                  BSTR shortName, BSTR code, std::int16_t gradeType) {
    return Unserved("SetGradePropertiesEx",
                    {gradeId, number, TextOf(name), TextOf(shortName), TextOf(code), gradeType});
}

std::int32_t GetGradePrice(std::int32_t gradeId, std::int16_t level, double*) {
    return Unserved("GetGradePrice", {gradeId, level});
}

std::int32_t SetGradePrice(std::int32_t gradeId, std::int16_t level, double price) {
    return Unserved("SetGradePrice", {gradeId, level, price});
}

// ---- Tanks ------------------------------------------------------------------------------

std::int32_t GetTanksCount(std::int32_t*) {
    return Unserved("GetTanksCount", {});
}

std::int32_t GetTankByOrdinal(std::int32_t ordinal, std::int32_t*) {
    return Unserved("GetTankByOrdinal", {ordinal});
}

std::int32_t GetTankPropertiesEx2(std::int32_t tankId, std::int32_t*, BSTR*, std::int32_t*,
                                  std::int16_t*, double*, double*, double*, double*, double*,
                                  double*, double*, double*, double*, double*, std::int32_t*,
                                  std::int16_t*, std::int32_t*, std::int32_t*, std::int16_t*,
                                  std::int32_t*) {
    return Unserved("GetTankPropertiesEx2", {tankId});
}

std::int32_t SetTankPropertiesEx2(std::int32_t tankId, std::int32_t number, BSTR name,
                                  std::int32_t gradeId, std::int16_t type, double capacity,
                                  double diameter, double height, double theoreticalCapacity,
                                  double lowLevelAlarm, double highLevelAlarm,
                                  double lowLowLevelAlarm, double highHighLevelAlarm,
                                  double highWaterAlarm, double thermalCoefficient,
                                  std::int32_t tankGauge, std::int16_t probe,
                                  std::int32_t gaugeAlarmsMask, std::int32_t slotZigBeeId,
                                  std::int16_t probeType, std::int32_t probeSerialNo) {
    return Unserved("SetTankPropertiesEx2", {tankId,
                                             number,
                                             TextOf(name),
                                             gradeId,
                                             type,
                                             capacity,
                                             diameter,
                                             height,
                                             theoreticalCapacity,
                                             lowLevelAlarm,
                                             highLevelAlarm,
                                             lowLowLevelAlarm,
                                             highHighLevelAlarm,
                                             highWaterAlarm,
                                             thermalCoefficient,
                                             tankGauge,
                                             probe,
                                             gaugeAlarmsMask,
                                             slotZigBeeId,
                                             probeType,
                                             probeSerialNo});
}

// ---- ZigBee devices ---------------------------------------------------------------------

std::int32_t GetZigBeeCount(std::int32_t*) {
    return Unserved("GetZigBeeCount", {});
}

std::int32_t GetZigBeeByOrdinal(std::int32_t ordinal, std::int32_t*) {
    return Unserved("GetZigBeeByOrdinal", {ordinal});
}

std::int32_t GetZigBeeProperties(std::int32_t deviceId, std::int32_t*, BSTR*, std::int16_t*, BSTR*,
                                 BSTR*, std::int32_t*) {
    return Unserved("GetZigBeeProperties", {deviceId});
}

std::int32_t SetZigBeeProperties(std::int32_t deviceId, std::int32_t number, BSTR name,
                                 std::int16_t deviceType, BSTR serialNumber, BSTR nodeIdentifier,
                                 std::int32_t portId) {
    return Unserved("SetZigBeeProperties", {deviceId, number, TextOf(name), deviceType,
                                            TextOf(serialNumber), TextOf(nodeIdentifier), portId});
}

// ---- Pumps and hoses --------------------------------------------------------------------

std::int32_t GetPumpsCount(std::int32_t*) {
    return Unserved("GetPumpsCount", {});
}

std::int32_t GetPumpByOrdinal(std::int32_t ordinal, std::int32_t*) {
    return Unserved("GetPumpByOrdinal", {ordinal});
}

std::int32_t GetPumpPropertiesEx(std::int32_t pumpId, std::int32_t*, BSTR*, std::int16_t*,
                                 std::int16_t*, std::int16_t*, std::int16_t*, std::int16_t*,
                                 std::int16_t*, std::int16_t*, std::int16_t*, std::int16_t*,
                                 std::int32_t*, std::int32_t*, std::int16_t*, std::int16_t*,
                                 std::int16_t*, std::int16_t*, std::int32_t*, std::int32_t*,
                                 std::int16_t*, std::int16_t*) {
    return Unserved("GetPumpPropertiesEx", {pumpId});
}

std::int32_t SetPumpPropertiesEx(
    std::int32_t pumpId, std::int32_t number, BSTR name, std::int16_t physicalNumber,
    std::int16_t side, std::int16_t address, std::int16_t priceLevel1, std::int16_t priceLevel2,
    std::int16_t priceDspFormat, std::int16_t volumeDspFormat, std::int16_t valueDspFormat,
    std::int16_t pumpType, std::int32_t portId, std::int32_t attendantId, std::int16_t authMode,
    std::int16_t stackMode, std::int16_t prepayAllowed, std::int16_t preauthAllowed,
    std::int32_t slot, std::int32_t muxSlotZigBeeId, std::int16_t priceControl,
    std::int16_t hasPreset) {
    return Unserved("SetPumpPropertiesEx",
                    {pumpId,         number,        TextOf(name),   physicalNumber, side,
                     address,        priceLevel1,   priceLevel2,    priceDspFormat, volumeDspFormat,
                     valueDspFormat, pumpType,      portId,         attendantId,    authMode,
                     stackMode,      prepayAllowed, preauthAllowed, slot,           muxSlotZigBeeId,
                     priceControl,   hasPreset});
}

std::int32_t GetPumpHosesCount(std::int32_t pumpId, std::int32_t*) {
    return Unserved("GetPumpHosesCount", {pumpId});
}

std::int32_t GetPumpHoseByNumber(std::int32_t pumpId, std::int32_t position, std::int32_t*) {
    return Unserved("GetPumpHoseByNumber", {pumpId, position});
}

std::int32_t GetHosePropertiesEx2(std::int32_t hoseId, std::int32_t*, std::int32_t*, std::int32_t*,
                                  std::int32_t*, double*, double*, double*, double*, std::int16_t*,
                                  double*, double*, std::int16_t*) {
    return Unserved("GetHosePropertiesEx2", {hoseId});
}

std::int32_t SetHosePropertiesEx2(std::int32_t hoseId, std::int32_t number, std::int32_t pumpId,
                                  std::int32_t tankId, std::int32_t physicalNumber,
                                  double volumeTotal, double valueTotal, double volumeFactor,
                                  double valueFactor, std::int16_t reader, double price1,
                                  double price2, std::int16_t enabled) {
    return Unserved("SetHosePropertiesEx2",
                    {hoseId, number, pumpId, tankId, physicalNumber, volumeTotal, valueTotal,
                     volumeFactor, valueFactor, reader, price1, price2, enabled});
}

// ---- Sensors ----------------------------------------------------------------------------

std::int32_t GetSensorsCount(std::int32_t*) {
    return Unserved("GetSensorsCount", {});
}

std::int32_t GetSensorByOrdinal(std::int32_t ordinal, std::int32_t*) {
    return Unserved("GetSensorByOrdinal", {ordinal});
}

std::int32_t GetSensorPropertiesEx(std::int32_t sensorId, std::int32_t*, BSTR*, std::int32_t*,
                                   std::int16_t*, std::int16_t*, std::int16_t*, std::int32_t*,
                                   std::int32_t*) {
    return Unserved("GetSensorPropertiesEx", {sensorId});
}

std::int32_t SetSensorPropertiesEx(std::int32_t sensorId, std::int32_t number, BSTR name,
                                   std::int32_t portId, std::int16_t type, std::int16_t address,
                                   std::int16_t sensorNo, std::int32_t slotZigBeeId,
                                   std::int32_t sensorSerialNo) {
    return Unserved("SetSensorPropertiesEx", {sensorId, number, TextOf(name), portId, type, address,
                                              sensorNo, slotZigBeeId, sensorSerialNo});
}

// ---- Attendants -------------------------------------------------------------------------

std::int32_t GetAttendantsCount(std::int32_t*) {
    return Unserved("GetAttendantsCount", {});
}

std::int32_t GetAttendantByOrdinal(std::int32_t ordinal, std::int32_t*) {
    return Unserved("GetAttendantByOrdinal", {ordinal});
}

std::int32_t GetAttendantPropertiesEx2(std::int32_t attendantId, std::int32_t*, BSTR*, BSTR*, BSTR*,
                                       BSTR*, BSTR*, std::int16_t*, std::int16_t*, std::int16_t*,
                                       std::int16_t*, std::int16_t*) {
    return Unserved("GetAttendantPropertiesEx2", {attendantId});
}

std::int32_t SetAttendantPropertiesEx2(std::int32_t attendantId, std::int32_t number, BSTR name,
                                       BSTR shortName, BSTR password, BSTR tag, BSTR idNumber,
                                       std::int16_t shiftAStart, std::int16_t shiftAEnd,
                                       std::int16_t shiftBStart, std::int16_t shiftBEnd,
                                       std::int16_t type) {
    return Unserved(
        "SetAttendantPropertiesEx2",
        {attendantId, number, TextOf(name), TextOf(shortName), TextOf(password), TextOf(tag),
         TextOf(idNumber), shiftAStart, shiftAEnd, shiftBStart, shiftBEnd, type});
}

// ---- Card clients -----------------------------------------------------------------------

std::int32_t GetCardClientsCount(std::int32_t*) {
    return Unserved("GetCardClientsCount", {});
}

std::int32_t GetCardClientByOrdinal(std::int32_t ordinal, std::int32_t*) {
    return Unserved("GetCardClientByOrdinal", {ordinal});
}

std::int32_t GetCardClientPropertiesEx4(std::int32_t clientId, std::int32_t*, BSTR*, BSTR*,
                                        std::int16_t*, std::int16_t*, BSTR*, BSTR*, BSTR*, BSTR*,
                                        std::int16_t*, std::int16_t*, std::int16_t*, double*,
                                        std::int16_t*, double*, std::int32_t*, BSTR*, double*,
                                        std::int32_t*) {
    return Unserved("GetCardClientPropertiesEx4", {clientId});
}

std::int32_t SetCardClientPropertiesEx4(std::int32_t clientId, std::int32_t number, BSTR name,
                                        BSTR tag, std::int16_t enabled, std::int16_t priceLevel,
                                        BSTR plate, BSTR idNumber, BSTR shortName, BSTR password,
                                        std::int16_t gradeType, std::int16_t cardType,
                                        std::int16_t limitType, double limit,
                                        std::int16_t entryType, double expirationDate,
                                        std::int32_t parentId, BSTR vimoSerialNo, double odometer,
                                        std::int32_t factor) {
    return Unserved("SetCardClientPropertiesEx4", {clientId,          number,
                                                   TextOf(name),      TextOf(tag),
                                                   enabled,           priceLevel,
                                                   TextOf(plate),     TextOf(idNumber),
                                                   TextOf(shortName), TextOf(password),
                                                   gradeType,         cardType,
                                                   limitType,         limit,
                                                   entryType,         expirationDate,
                                                   parentId,          TextOf(vimoSerialNo),
                                                   odometer,          factor});
}

// ---- Shop products ----------------------------------------------------------------------

std::int32_t GetProductsCount(std::int32_t*, std::int32_t groupFilter, std::int32_t enabledOnly,
                              std::int32_t barcodeOnly, std::int32_t firstNumber,
                              std::int32_t maxCount, std::int32_t terminalFilter) {
    return Unserved("GetProductsCount",
                    {groupFilter, enabledOnly, barcodeOnly, firstNumber, maxCount, terminalFilter});
}

std::int32_t GetProductByOrdinal(std::int32_t ordinal, std::int32_t*, std::int32_t groupFilter,
                                 std::int32_t enabledOnly, std::int32_t barcodeOnly,
                                 std::int32_t firstNumber, std::int32_t maxCount,
                                 std::int32_t terminalFilter) {
    return Unserved("GetProductByOrdinal", {ordinal, groupFilter, enabledOnly, barcodeOnly,
                                            firstNumber, maxCount, terminalFilter});
}

std::int32_t GetProductProperties(std::int32_t productId, std::int32_t*, BSTR*, BSTR*,
                                  std::int16_t*, BSTR*, BSTR*, double*, double*, std::int32_t*) {
    return Unserved("GetProductProperties", {productId});
}

std::int32_t SetProductProperties(std::int32_t productId, std::int32_t number, BSTR name, BSTR tag,
                                  std::int16_t enabled, BSTR shortName, BSTR barcode, double price1,
                                  double price2, std::int32_t productGroup) {
    return Unserved("SetProductProperties",
                    {productId, number, TextOf(name), TextOf(tag), enabled, TextOf(shortName),
                     TextOf(barcode), price1, price2, productGroup});
}

}  // extern "C"
