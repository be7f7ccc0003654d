// The Kestro flat client interface as Brenkar uses it: 50 functions with C linkage, bound at
// link time. Two bindings exist: libkestro (talks to a controller server) and the in-process
// station model used by tests.
//
// Conventions for every function:
// - The result is a signed 32-bit code; 0 is success. ResultString gives a code's text.
// - Records are named by 32-bit identifiers; each kind is enumerated by a count and the
//   ordinals 1..count, and an ordinal gives the identifier that the kind's calls take first.
// - Out-values are written only on success. A BSTR handed out belongs to the caller, who
//   frees it with SysFreeString; a BSTR passed in stays the caller's (the library copies it).
#pragma once

#include <cstdint>

#include "platform/oleauto.h"

extern "C" {

// ---- Logon ------------------------------------------------------------------------------

// Logs on to the controller server `serverName` (host name or IPv4 address) on its call and
// events ports; `callTimeout` is the time-out of every later call in milliseconds. Brenkar
// passes 110, 5, name, 5123, 5124, 10000, 0, 0, 1024.
std::int32_t ClientLogonEx(std::int32_t clientId, std::int32_t clientKind, BSTR serverName,
                           std::int32_t callPort, std::int32_t eventsPort, std::int32_t callTimeout,
                           std::int32_t options, std::int32_t eventMask, std::int32_t bufferSize);
// Declares the kind of client after logon (Brenkar: 0x3B9E6C15).
std::int32_t SetClientType(std::int32_t clientType);
std::int32_t ClientLogoff();
// A new BSTR with the text of `code` (never fails for any code).
std::int32_t ResultString(std::int32_t code, BSTR* text);
std::int32_t DllVersion(BSTR* version);
std::int32_t ServerVersion(BSTR* version);

// ---- Ports ------------------------------------------------------------------------------

std::int32_t GetPortsCount(std::int32_t* count);
std::int32_t GetPortByOrdinal(std::int32_t ordinal, std::int32_t* portId);
std::int32_t GetPortProperties(std::int32_t portId, std::int32_t* number, BSTR* name,
                               std::int32_t* protocolId, std::int16_t* deviceType, BSTR* serialNo);
std::int32_t SetPortProperties(std::int32_t portId, std::int32_t number, BSTR name,
                               std::int32_t protocolId, std::int16_t deviceType, BSTR serialNo);
// The port's ZigBee-to-gateway radio settings.
std::int32_t GetZB2GConfig(std::int32_t portId, std::int64_t* panId, std::int32_t* channelMask,
                           std::int64_t* keyA, std::int64_t* keyB);
// Details of a device on a port; `deviceId` -1 asks for the port's own device.
std::int32_t GetDeviceDetails(std::int32_t portId, std::int32_t deviceId, BSTR* model,
                              BSTR* hardwareVersion, BSTR* firmwareVersion);

// ---- Grades -----------------------------------------------------------------------------

std::int32_t GetGradesCount(std::int32_t* count);
std::int32_t GetGradeByOrdinal(std::int32_t ordinal, std::int32_t* gradeId);
std::int32_t GetGradePropertiesEx(std::int32_t gradeId, std::int32_t* number, BSTR* name,
                                  BSTR* shortName, BSTR* code, std::int16_t* gradeType);
std::int32_t SetGradePropertiesEx(std::int32_t gradeId, std::int32_t number, BSTR name,
                                  BSTR shortName, BSTR code, std::int16_t gradeType);
// Price of the grade at price level 1..8 (0 when the level has no price).
std::int32_t GetGradePrice(std::int32_t gradeId, std::int16_t level, double* price);
std::int32_t SetGradePrice(std::int32_t gradeId, std::int16_t level, double price);

// ---- Tanks ------------------------------------------------------------------------------

std::int32_t GetTanksCount(std::int32_t* count);
std::int32_t GetTankByOrdinal(std::int32_t ordinal, std::int32_t* tankId);
std::int32_t GetTankPropertiesEx2(std::int32_t tankId, std::int32_t* number, BSTR* name,
                                  std::int32_t* gradeId, std::int16_t* type, double* capacity,
                                  double* diameter, double* height, double* theoreticalCapacity,
                                  double* lowLevelAlarm, double* highLevelAlarm,
                                  double* lowLowLevelAlarm, double* highHighLevelAlarm,
                                  double* highWaterAlarm, double* thermalCoefficient,
                                  std::int32_t* tankGauge, std::int16_t* probe,
                                  std::int32_t* gaugeAlarmsMask, std::int32_t* slotZigBeeId,
                                  std::int16_t* probeType, std::int32_t* probeSerialNo);
std::int32_t SetTankPropertiesEx2(std::int32_t tankId, std::int32_t number, BSTR name,
                                  std::int32_t gradeId, std::int16_t type, double capacity,
                                  double diameter, double height, double theoreticalCapacity,
                                  double lowLevelAlarm, double highLevelAlarm,
                                  double lowLowLevelAlarm, double highHighLevelAlarm,
                                  double highWaterAlarm, double thermalCoefficient,
                                  std::int32_t tankGauge, std::int16_t probe,
                                  std::int32_t gaugeAlarmsMask, std::int32_t slotZigBeeId,
                                  std::int16_t probeType, std::int32_t probeSerialNo);

// ---- ZigBee devices ---------------------------------------------------------------------

std::int32_t GetZigBeeCount(std::int32_t* count);
std::int32_t GetZigBeeByOrdinal(std::int32_t ordinal, std::int32_t* deviceId);
std::int32_t GetZigBeeProperties(std::int32_t deviceId, std::int32_t* number, BSTR* name,
                                 std::int16_t* deviceType, BSTR* serialNumber, BSTR* nodeIdentifier,
                                 std::int32_t* portId);
std::int32_t SetZigBeeProperties(std::int32_t deviceId, std::int32_t number, BSTR name,
                                 std::int16_t deviceType, BSTR serialNumber, BSTR nodeIdentifier,
                                 std::int32_t portId);

// ---- Pumps and hoses --------------------------------------------------------------------

std::int32_t GetPumpsCount(std::int32_t* count);
std::int32_t GetPumpByOrdinal(std::int32_t ordinal, std::int32_t* pumpId);
std::int32_t GetPumpPropertiesEx(
    std::int32_t pumpId, std::int32_t* number, BSTR* name, std::int16_t* physicalNumber,
    std::int16_t* side, std::int16_t* address, std::int16_t* priceLevel1, std::int16_t* priceLevel2,
    std::int16_t* priceDspFormat, std::int16_t* volumeDspFormat, std::int16_t* valueDspFormat,
    std::int16_t* pumpType, std::int32_t* portId, std::int32_t* attendantId, std::int16_t* authMode,
    std::int16_t* stackMode, std::int16_t* prepayAllowed, std::int16_t* preauthAllowed,
    std::int32_t* slot, std::int32_t* muxSlotZigBeeId, std::int16_t* priceControl,
    std::int16_t* hasPreset);
std::int32_t SetPumpPropertiesEx(
    std::int32_t pumpId, std::int32_t number, BSTR name, std::int16_t physicalNumber,
    std::int16_t side, std::int16_t address, std::int16_t priceLevel1, std::int16_t priceLevel2,
    std::int16_t priceDspFormat, std::int16_t volumeDspFormat, std::int16_t valueDspFormat,
    std::int16_t pumpType, std::int32_t portId, std::int32_t attendantId, std::int16_t authMode,
    std::int16_t stackMode, std::int16_t prepayAllowed, std::int16_t preauthAllowed,
    std::int32_t slot, std::int32_t muxSlotZigBeeId, std::int16_t priceControl,
    std::int16_t hasPreset);
std::int32_t GetPumpHosesCount(std::int32_t pumpId, std::int32_t* count);
// The identifier of the hose at position `position` (1..count) of the pump.
std::int32_t GetPumpHoseByNumber(std::int32_t pumpId, std::int32_t position, std::int32_t* hoseId);
std::int32_t GetHosePropertiesEx2(std::int32_t hoseId, std::int32_t* number, std::int32_t* pumpId,
                                  std::int32_t* tankId, std::int32_t* physicalNumber,
                                  double* volumeTotal, double* valueTotal, double* volumeFactor,
                                  double* valueFactor, std::int16_t* reader, double* price1,
                                  double* price2, std::int16_t* enabled);
std::int32_t SetHosePropertiesEx2(std::int32_t hoseId, std::int32_t number, std::int32_t pumpId,
                                  std::int32_t tankId, std::int32_t physicalNumber,
                                  double volumeTotal, double valueTotal, double volumeFactor,
                                  double valueFactor, std::int16_t reader, double price1,
                                  double price2, std::int16_t enabled);

// ---- Sensors ----------------------------------------------------------------------------

std::int32_t GetSensorsCount(std::int32_t* count);
std::int32_t GetSensorByOrdinal(std::int32_t ordinal, std::int32_t* sensorId);
std::int32_t GetSensorPropertiesEx(std::int32_t sensorId, std::int32_t* number, BSTR* name,
                                   std::int32_t* portId, std::int16_t* type, std::int16_t* address,
                                   std::int16_t* sensorNo, std::int32_t* slotZigBeeId,
                                   std::int32_t* sensorSerialNo);
std::int32_t SetSensorPropertiesEx(std::int32_t sensorId, std::int32_t number, BSTR name,
                                   std::int32_t portId, std::int16_t type, std::int16_t address,
                                   std::int16_t sensorNo, std::int32_t slotZigBeeId,
                                   std::int32_t sensorSerialNo);

// ---- Attendants -------------------------------------------------------------------------

std::int32_t GetAttendantsCount(std::int32_t* count);
std::int32_t GetAttendantByOrdinal(std::int32_t ordinal, std::int32_t* attendantId);
std::int32_t GetAttendantPropertiesEx2(std::int32_t attendantId, std::int32_t* number, BSTR* name,
                                       BSTR* shortName, BSTR* password, BSTR* tag, BSTR* idNumber,
                                       std::int16_t* shiftAStart, std::int16_t* shiftAEnd,
                                       std::int16_t* shiftBStart, std::int16_t* shiftBEnd,
                                       std::int16_t* type);
std::int32_t SetAttendantPropertiesEx2(std::int32_t attendantId, std::int32_t number, BSTR name,
                                       BSTR shortName, BSTR password, BSTR tag, BSTR idNumber,
                                       std::int16_t shiftAStart, std::int16_t shiftAEnd,
                                       std::int16_t shiftBStart, std::int16_t shiftBEnd,
                                       std::int16_t type);

// ---- Card clients -----------------------------------------------------------------------

std::int32_t GetCardClientsCount(std::int32_t* count);
std::int32_t GetCardClientByOrdinal(std::int32_t ordinal, std::int32_t* clientId);
// `expirationDate` is an OLE automation date (days since 30 December 1899).
std::int32_t GetCardClientPropertiesEx4(std::int32_t clientId, std::int32_t* number, BSTR* name,
                                        BSTR* tag, std::int16_t* enabled, std::int16_t* priceLevel,
                                        BSTR* plate, BSTR* idNumber, BSTR* shortName,
                                        BSTR* password, std::int16_t* gradeType,
                                        std::int16_t* cardType, std::int16_t* limitType,
                                        double* limit, std::int16_t* entryType,
                                        double* expirationDate, std::int32_t* parentId,
                                        BSTR* vimoSerialNo, double* odometer, std::int32_t* factor);
std::int32_t SetCardClientPropertiesEx4(std::int32_t clientId, std::int32_t number, BSTR name,
                                        BSTR tag, std::int16_t enabled, std::int16_t priceLevel,
                                        BSTR plate, BSTR idNumber, BSTR shortName, BSTR password,
                                        std::int16_t gradeType, std::int16_t cardType,
                                        std::int16_t limitType, double limit,
                                        std::int16_t entryType, double expirationDate,
                                        std::int32_t parentId, BSTR vimoSerialNo, double odometer,
                                        std::int32_t factor);

// ---- Shop products ----------------------------------------------------------------------
// The six filter arguments select the products counted and enumerated; Brenkar passes
// -1, 0, 0, 0, 0, -1: any group, enabled or not, any barcode, from the first product, no
// limit, any terminal.

std::int32_t GetProductsCount(std::int32_t* count, std::int32_t groupFilter,
                              std::int32_t enabledOnly, std::int32_t barcodeOnly,
                              std::int32_t firstNumber, std::int32_t maxCount,
                              std::int32_t terminalFilter);
std::int32_t GetProductByOrdinal(std::int32_t ordinal, std::int32_t* productId,
                                 std::int32_t groupFilter, std::int32_t enabledOnly,
                                 std::int32_t barcodeOnly, std::int32_t firstNumber,
                                 std::int32_t maxCount, std::int32_t terminalFilter);
std::int32_t GetProductProperties(std::int32_t productId, std::int32_t* number, BSTR* name,
                                  BSTR* tag, std::int16_t* enabled, BSTR* shortName, BSTR* barcode,
                                  double* price1, double* price2, std::int32_t* productGroup);
std::int32_t SetProductProperties(std::int32_t productId, std::int32_t number, BSTR name, BSTR tag,
                                  std::int16_t enabled, BSTR shortName, BSTR barcode, double price1,
                                  double price2, std::int32_t productGroup);

}  // extern "C"
