// The flat interface's configuration setters (ports, grades, tanks, ZigBee devices, pumps and
// hoses, sensors, attendants, card clients, products), bound to the current in-process
// station. The model does not store records from a client yet: each setter is recorded with
// the values passed in and answers kCallNotSupported, so a client that writes fails loudly
// instead of seeing its change silently dropped.
#include <utility>
#include <vector>

#include "client/kestro.h"
#include "kestro/inproc/bstr_values.h"
#include "kestro/inproc/current_station.h"

namespace {

std::int32_t Unserved(const char* name, std::vector<kestro::CallValue> values) {
    return kestro::CurrentStation().NotSupported({name, std::move(values)});
}

using kestro::TextOf;

}  // namespace

extern "C" {

// ---- Ports ------------------------------------------------------------------------------

std::int32_t SetPortProperties(std::int32_t portId, std::int32_t number, BSTR name,
                               std::int32_t protocolId, std::int16_t deviceType, BSTR serialNo) {
    return Unserved("SetPortProperties",
                    {portId, number, TextOf(name), protocolId, deviceType, TextOf(serialNo)});
}

// ---- Grades -----------------------------------------------------------------------------

std::int32_t SetGradePropertiesEx(std::int32_t gradeId, std::int32_t number, BSTR name,
                                  BSTR shortName, BSTR code, std::int16_t gradeType) {
    return Unserved("SetGradePropertiesEx",
                    {gradeId, number, TextOf(name), TextOf(shortName), TextOf(code), gradeType});
}

std::int32_t SetGradePrice(std::int32_t gradeId, std::int16_t level, double price) {
    return Unserved("SetGradePrice", {gradeId, level, price});
}

// ---- Tanks ------------------------------------------------------------------------------

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

std::int32_t SetZigBeeProperties(std::int32_t deviceId, std::int32_t number, BSTR name,
                                 std::int16_t deviceType, BSTR serialNumber, BSTR nodeIdentifier,
                                 std::int32_t portId) {
    return Unserved("SetZigBeeProperties", {deviceId, number, TextOf(name), deviceType,
                                            TextOf(serialNumber), TextOf(nodeIdentifier), portId});
}

// ---- Pumps and hoses --------------------------------------------------------------------

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

std::int32_t SetSensorPropertiesEx(std::int32_t sensorId, std::int32_t number, BSTR name,
                                   std::int32_t portId, std::int16_t type, std::int16_t address,
                                   std::int16_t sensorNo, std::int32_t slotZigBeeId,
                                   std::int32_t sensorSerialNo) {
    return Unserved("SetSensorPropertiesEx", {sensorId, number, TextOf(name), portId, type, address,
                                              sensorNo, slotZigBeeId, sensorSerialNo});
}

// ---- Attendants -------------------------------------------------------------------------

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

std::int32_t SetProductProperties(std::int32_t productId, std::int32_t number, BSTR name, BSTR tag,
                                  std::int16_t enabled, BSTR shortName, BSTR barcode, double price1,
                                  double price2, std::int32_t productGroup) {
    return Unserved("SetProductProperties",
                    {productId, number, TextOf(name), TextOf(tag), enabled, TextOf(shortName),
                     TextOf(barcode), price1, price2, productGroup});
}

}  // extern "C"
