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

// How the functions are bound, written here once: C linkage (below), and on Windows the
// calling convention of the Windows API (the only one of 64-bit code, and __stdcall where a
// 32-bit build has a choice), exported by kestro.dll, which defines KESTRO_BUILDING_LIBRARY;
// its callers link the import library. Elsewhere the version script lists the exports.
#ifdef _WIN32
#define KESTRO_CALL __stdcall
#ifdef KESTRO_BUILDING_LIBRARY
#define KESTRO_API __declspec(dllexport)
#else
#define KESTRO_API
#endif
#else
#define KESTRO_CALL
#define KESTRO_API
#endif

extern "C" {

// ---- Logon ------------------------------------------------------------------------------

// Logs on to the controller server `serverName` (host name or IPv4 address) on its call and
// events ports; `callTimeout` is the time-out of every later call in milliseconds. Brenkar
// passes 110, 5, name, 5123, 5124, 10000, 0, 0, 1024.
KESTRO_API std::int32_t KESTRO_CALL ClientLogonEx(std::int32_t clientId, std::int32_t clientKind,
                                                  BSTR serverName, std::int32_t callPort,
                                                  std::int32_t eventsPort, std::int32_t callTimeout,
                                                  std::int32_t options, std::int32_t eventMask,
                                                  std::int32_t bufferSize);
// Declares the kind of client after logon (Brenkar: 0x3B9E6C15).
KESTRO_API std::int32_t KESTRO_CALL SetClientType(std::int32_t clientType);
KESTRO_API std::int32_t KESTRO_CALL ClientLogoff();
// A new BSTR with the text of `code` (never fails for any code).
KESTRO_API std::int32_t KESTRO_CALL ResultString(std::int32_t code, BSTR* text);
KESTRO_API std::int32_t KESTRO_CALL DllVersion(BSTR* version);
KESTRO_API std::int32_t KESTRO_CALL ServerVersion(BSTR* version);

// ---- Ports ------------------------------------------------------------------------------

KESTRO_API std::int32_t KESTRO_CALL GetPortsCount(std::int32_t* count);
KESTRO_API std::int32_t KESTRO_CALL GetPortByOrdinal(std::int32_t ordinal, std::int32_t* portId);
KESTRO_API std::int32_t KESTRO_CALL GetPortProperties(std::int32_t portId, std::int32_t* number,
                                                      BSTR* name, std::int32_t* protocolId,
                                                      std::int16_t* deviceType, BSTR* serialNo);
KESTRO_API std::int32_t KESTRO_CALL SetPortProperties(std::int32_t portId, std::int32_t number,
                                                      BSTR name, std::int32_t protocolId,
                                                      std::int16_t deviceType, BSTR serialNo);
// The port's ZigBee-to-gateway radio settings.
KESTRO_API std::int32_t KESTRO_CALL GetZB2GConfig(std::int32_t portId, std::int64_t* panId,
                                                  std::int32_t* channelMask, std::int64_t* keyA,
                                                  std::int64_t* keyB);
// Details of a device on a port; `deviceId` -1 asks for the port's own device.
KESTRO_API std::int32_t KESTRO_CALL GetDeviceDetails(std::int32_t portId, std::int32_t deviceId,
                                                     BSTR* model, BSTR* hardwareVersion,
                                                     BSTR* firmwareVersion);

// ---- Grades -----------------------------------------------------------------------------

KESTRO_API std::int32_t KESTRO_CALL GetGradesCount(std::int32_t* count);
KESTRO_API std::int32_t KESTRO_CALL GetGradeByOrdinal(std::int32_t ordinal, std::int32_t* gradeId);
KESTRO_API std::int32_t KESTRO_CALL GetGradePropertiesEx(std::int32_t gradeId, std::int32_t* number,
                                                         BSTR* name, BSTR* shortName, BSTR* code,
                                                         std::int16_t* gradeType);
KESTRO_API std::int32_t KESTRO_CALL SetGradePropertiesEx(std::int32_t gradeId, std::int32_t number,
                                                         BSTR name, BSTR shortName, BSTR code,
                                                         std::int16_t gradeType);
// Price of the grade at price level 1..8 (0 when the level has no price).
KESTRO_API std::int32_t KESTRO_CALL GetGradePrice(std::int32_t gradeId, std::int16_t level,
                                                  double* price);
KESTRO_API std::int32_t KESTRO_CALL SetGradePrice(std::int32_t gradeId, std::int16_t level,
                                                  double price);

// ---- Tanks ------------------------------------------------------------------------------

KESTRO_API std::int32_t KESTRO_CALL GetTanksCount(std::int32_t* count);
KESTRO_API std::int32_t KESTRO_CALL GetTankByOrdinal(std::int32_t ordinal, std::int32_t* tankId);
KESTRO_API std::int32_t KESTRO_CALL
GetTankPropertiesEx2(std::int32_t tankId, std::int32_t* number, BSTR* name, std::int32_t* gradeId,
                     std::int16_t* type, double* capacity, double* diameter, double* height,
                     double* theoreticalCapacity, double* lowLevelAlarm, double* highLevelAlarm,
                     double* lowLowLevelAlarm, double* highHighLevelAlarm, double* highWaterAlarm,
                     double* thermalCoefficient, std::int32_t* tankGauge, std::int16_t* probe,
                     std::int32_t* gaugeAlarmsMask, std::int32_t* slotZigBeeId,
                     std::int16_t* probeType, std::int32_t* probeSerialNo);
KESTRO_API std::int32_t KESTRO_CALL SetTankPropertiesEx2(
    std::int32_t tankId, std::int32_t number, BSTR name, std::int32_t gradeId, std::int16_t type,
    double capacity, double diameter, double height, double theoreticalCapacity,
    double lowLevelAlarm, double highLevelAlarm, double lowLowLevelAlarm, double highHighLevelAlarm,
    double highWaterAlarm, double thermalCoefficient, std::int32_t tankGauge, std::int16_t probe,
    std::int32_t gaugeAlarmsMask, std::int32_t slotZigBeeId, std::int16_t probeType,
    std::int32_t probeSerialNo);

// ---- ZigBee devices ---------------------------------------------------------------------

KESTRO_API std::int32_t KESTRO_CALL GetZigBeeCount(std::int32_t* count);
KESTRO_API std::int32_t KESTRO_CALL GetZigBeeByOrdinal(std::int32_t ordinal,
                                                       std::int32_t* deviceId);
KESTRO_API std::int32_t KESTRO_CALL GetZigBeeProperties(std::int32_t deviceId, std::int32_t* number,
                                                        BSTR* name, std::int16_t* deviceType,
                                                        BSTR* serialNumber, BSTR* nodeIdentifier,
                                                        std::int32_t* portId);
KESTRO_API std::int32_t KESTRO_CALL SetZigBeeProperties(std::int32_t deviceId, std::int32_t number,
                                                        BSTR name, std::int16_t deviceType,
                                                        BSTR serialNumber, BSTR nodeIdentifier,
                                                        std::int32_t portId);

// ---- Pumps and hoses --------------------------------------------------------------------

KESTRO_API std::int32_t KESTRO_CALL GetPumpsCount(std::int32_t* count);
KESTRO_API std::int32_t KESTRO_CALL GetPumpByOrdinal(std::int32_t ordinal, std::int32_t* pumpId);
KESTRO_API std::int32_t KESTRO_CALL GetPumpPropertiesEx(
    std::int32_t pumpId, std::int32_t* number, BSTR* name, std::int16_t* physicalNumber,
    std::int16_t* side, std::int16_t* address, std::int16_t* priceLevel1, std::int16_t* priceLevel2,
    std::int16_t* priceDspFormat, std::int16_t* volumeDspFormat, std::int16_t* valueDspFormat,
    std::int16_t* pumpType, std::int32_t* portId, std::int32_t* attendantId, std::int16_t* authMode,
    std::int16_t* stackMode, std::int16_t* prepayAllowed, std::int16_t* preauthAllowed,
    std::int32_t* slot, std::int32_t* muxSlotZigBeeId, std::int16_t* priceControl,
    std::int16_t* hasPreset);
KESTRO_API std::int32_t KESTRO_CALL SetPumpPropertiesEx(
    std::int32_t pumpId, std::int32_t number, BSTR name, std::int16_t physicalNumber,
    std::int16_t side, std::int16_t address, std::int16_t priceLevel1, std::int16_t priceLevel2,
    std::int16_t priceDspFormat, std::int16_t volumeDspFormat, std::int16_t valueDspFormat,
    std::int16_t pumpType, std::int32_t portId, std::int32_t attendantId, std::int16_t authMode,
    std::int16_t stackMode, std::int16_t prepayAllowed, std::int16_t preauthAllowed,
    std::int32_t slot, std::int32_t muxSlotZigBeeId, std::int16_t priceControl,
    std::int16_t hasPreset);
KESTRO_API std::int32_t KESTRO_CALL GetPumpHosesCount(std::int32_t pumpId, std::int32_t* count);
// The identifier of the hose at position `position` (1..count) of the pump.
KESTRO_API std::int32_t KESTRO_CALL GetPumpHoseByNumber(std::int32_t pumpId, std::int32_t position,
                                                        std::int32_t* hoseId);
KESTRO_API std::int32_t KESTRO_CALL GetHosePropertiesEx2(std::int32_t hoseId, std::int32_t* number,
                                                         std::int32_t* pumpId, std::int32_t* tankId,
                                                         std::int32_t* physicalNumber,
                                                         double* volumeTotal, double* valueTotal,
                                                         double* volumeFactor, double* valueFactor,
                                                         std::int16_t* reader, double* price1,
                                                         double* price2, std::int16_t* enabled);
KESTRO_API std::int32_t KESTRO_CALL SetHosePropertiesEx2(
    std::int32_t hoseId, std::int32_t number, std::int32_t pumpId, std::int32_t tankId,
    std::int32_t physicalNumber, double volumeTotal, double valueTotal, double volumeFactor,
    double valueFactor, std::int16_t reader, double price1, double price2, std::int16_t enabled);

// ---- Sensors ----------------------------------------------------------------------------

KESTRO_API std::int32_t KESTRO_CALL GetSensorsCount(std::int32_t* count);
KESTRO_API std::int32_t KESTRO_CALL GetSensorByOrdinal(std::int32_t ordinal,
                                                       std::int32_t* sensorId);
KESTRO_API std::int32_t KESTRO_CALL
GetSensorPropertiesEx(std::int32_t sensorId, std::int32_t* number, BSTR* name, std::int32_t* portId,
                      std::int16_t* type, std::int16_t* address, std::int16_t* sensorNo,
                      std::int32_t* slotZigBeeId, std::int32_t* sensorSerialNo);
KESTRO_API std::int32_t KESTRO_CALL
SetSensorPropertiesEx(std::int32_t sensorId, std::int32_t number, BSTR name, std::int32_t portId,
                      std::int16_t type, std::int16_t address, std::int16_t sensorNo,
                      std::int32_t slotZigBeeId, std::int32_t sensorSerialNo);

// ---- Attendants -------------------------------------------------------------------------

KESTRO_API std::int32_t KESTRO_CALL GetAttendantsCount(std::int32_t* count);
KESTRO_API std::int32_t KESTRO_CALL GetAttendantByOrdinal(std::int32_t ordinal,
                                                          std::int32_t* attendantId);
KESTRO_API std::int32_t KESTRO_CALL GetAttendantPropertiesEx2(
    std::int32_t attendantId, std::int32_t* number, BSTR* name, BSTR* shortName, BSTR* password,
    BSTR* tag, BSTR* idNumber, std::int16_t* shiftAStart, std::int16_t* shiftAEnd,
    std::int16_t* shiftBStart, std::int16_t* shiftBEnd, std::int16_t* type);
KESTRO_API std::int32_t KESTRO_CALL SetAttendantPropertiesEx2(
    std::int32_t attendantId, std::int32_t number, BSTR name, BSTR shortName, BSTR password,
    BSTR tag, BSTR idNumber, std::int16_t shiftAStart, std::int16_t shiftAEnd,
    std::int16_t shiftBStart, std::int16_t shiftBEnd, std::int16_t type);

// ---- Card clients -----------------------------------------------------------------------

KESTRO_API std::int32_t KESTRO_CALL GetCardClientsCount(std::int32_t* count);
KESTRO_API std::int32_t KESTRO_CALL GetCardClientByOrdinal(std::int32_t ordinal,
                                                           std::int32_t* clientId);
// `expirationDate` is an OLE automation date (days since 30 December 1899).
KESTRO_API std::int32_t KESTRO_CALL GetCardClientPropertiesEx4(
    std::int32_t clientId, std::int32_t* number, BSTR* name, BSTR* tag, std::int16_t* enabled,
    std::int16_t* priceLevel, BSTR* plate, BSTR* idNumber, BSTR* shortName, BSTR* password,
    std::int16_t* gradeType, std::int16_t* cardType, std::int16_t* limitType, double* limit,
    std::int16_t* entryType, double* expirationDate, std::int32_t* parentId, BSTR* vimoSerialNo,
    double* odometer, std::int32_t* factor);
KESTRO_API std::int32_t KESTRO_CALL SetCardClientPropertiesEx4(
    std::int32_t clientId, std::int32_t number, BSTR name, BSTR tag, std::int16_t enabled,
    std::int16_t priceLevel, BSTR plate, BSTR idNumber, BSTR shortName, BSTR password,
    std::int16_t gradeType, std::int16_t cardType, std::int16_t limitType, double limit,
    std::int16_t entryType, double expirationDate, std::int32_t parentId, BSTR vimoSerialNo,
    double odometer, std::int32_t factor);

// ---- Shop products ----------------------------------------------------------------------
// The six filter arguments select the products counted and enumerated; Brenkar passes
// -1, 0, 0, 0, 0, -1: any group, enabled or not, any barcode, from the first product, no
// limit, any terminal.

KESTRO_API std::int32_t KESTRO_CALL GetProductsCount(std::int32_t* count, std::int32_t groupFilter,
                                                     std::int32_t enabledOnly,
                                                     std::int32_t barcodeOnly,
                                                     std::int32_t firstNumber,
                                                     std::int32_t maxCount,
                                                     std::int32_t terminalFilter);
KESTRO_API std::int32_t KESTRO_CALL
GetProductByOrdinal(std::int32_t ordinal, std::int32_t* productId, std::int32_t groupFilter,
                    std::int32_t enabledOnly, std::int32_t barcodeOnly, std::int32_t firstNumber,
                    std::int32_t maxCount, std::int32_t terminalFilter);
KESTRO_API std::int32_t KESTRO_CALL GetProductProperties(
    std::int32_t productId, std::int32_t* number, BSTR* name, BSTR* tag, std::int16_t* enabled,
    BSTR* shortName, BSTR* barcode, double* price1, double* price2, std::int32_t* productGroup);
KESTRO_API std::int32_t KESTRO_CALL SetProductProperties(std::int32_t productId,
                                                         std::int32_t number, BSTR name, BSTR tag,
                                                         std::int16_t enabled, BSTR shortName,
                                                         BSTR barcode, double price1, double price2,
                                                         std::int32_t productGroup);

}  // extern "C"
