// The flat interface's configuration getters (ports, grades, tanks, ZigBee devices, pumps and
// hoses, sensors, attendants, card clients, products), bound to the current in-process
// station: the station answers with a whole record, and each call hands out the values it
// carries, texts as new BSTRs for the caller to free.
#include "client/kestro.h"
#include "kestro/inproc/bstr_values.h"
#include "kestro/inproc/current_station.h"

using kestro::AllGiven;
using kestro::BstrOf;
using kestro::CurrentStation;
using kestro::kSuccess;

extern "C" {

// ---- Ports ------------------------------------------------------------------------------

std::int32_t KESTRO_CALL GetPortsCount(std::int32_t* count) {
    return CurrentStation().GetPortsCount(count);
}

std::int32_t KESTRO_CALL GetPortByOrdinal(std::int32_t ordinal, std::int32_t* portId) {
    return CurrentStation().GetPortByOrdinal(ordinal, portId);
}

std::int32_t KESTRO_CALL GetPortProperties(std::int32_t portId, std::int32_t* number, BSTR* name,
                                           std::int32_t* protocolId, std::int16_t* deviceType,
                                           BSTR* serialNo) {
    kestro::PortRecord port;
    const bool given = AllGiven(number, name, protocolId, deviceType, serialNo);
    const std::int32_t rc = CurrentStation().GetPortProperties(portId, given ? &port : nullptr);
    if (rc == kSuccess) {
        *number = port.number;
        *name = BstrOf(port.name);
        *protocolId = port.protocolId;
        *deviceType = port.deviceType;
        *serialNo = BstrOf(port.serialNo);
    }
    return rc;
}

std::int32_t KESTRO_CALL GetZB2GConfig(std::int32_t portId, std::int64_t* panId,
                                       std::int32_t* channelMask, std::int64_t* keyA,
                                       std::int64_t* keyB) {
    kestro::ZB2GConfig config;
    const bool given = AllGiven(panId, channelMask, keyA, keyB);
    const std::int32_t rc = CurrentStation().GetZB2GConfig(portId, given ? &config : nullptr);
    if (rc == kSuccess) {
        *panId = config.panId;
        *channelMask = config.channelMask;
        *keyA = config.keyA;
        *keyB = config.keyB;
    }
    return rc;
}

std::int32_t KESTRO_CALL GetDeviceDetails(std::int32_t portId, std::int32_t deviceId, BSTR* model,
                                          BSTR* hardwareVersion, BSTR* firmwareVersion) {
    kestro::DeviceDetails details;
    const bool given = AllGiven(model, hardwareVersion, firmwareVersion);
    const std::int32_t rc =
        CurrentStation().GetDeviceDetails(portId, deviceId, given ? &details : nullptr);
    if (rc == kSuccess) {
        *model = BstrOf(details.model);
        *hardwareVersion = BstrOf(details.hardwareVersion);
        *firmwareVersion = BstrOf(details.firmwareVersion);
    }
    return rc;
}

// ---- Grades -----------------------------------------------------------------------------

std::int32_t KESTRO_CALL GetGradesCount(std::int32_t* count) {
    return CurrentStation().GetGradesCount(count);
}

std::int32_t KESTRO_CALL GetGradeByOrdinal(std::int32_t ordinal, std::int32_t* gradeId) {
    return CurrentStation().GetGradeByOrdinal(ordinal, gradeId);
}

std::int32_t KESTRO_CALL GetGradePropertiesEx(std::int32_t gradeId, std::int32_t* number,
                                              BSTR* name, BSTR* shortName, BSTR* code,
                                              std::int16_t* gradeType) {
    kestro::GradeRecord grade;
    const bool given = AllGiven(number, name, shortName, code, gradeType);
    const std::int32_t rc =
        CurrentStation().GetGradePropertiesEx(gradeId, given ? &grade : nullptr);
    if (rc == kSuccess) {
        *number = grade.number;
        *name = BstrOf(grade.name);
        *shortName = BstrOf(grade.shortName);
        *code = BstrOf(grade.code);
        *gradeType = grade.gradeType;
    }
    return rc;
}

std::int32_t KESTRO_CALL GetGradePrice(std::int32_t gradeId, std::int16_t level, double* price) {
    return CurrentStation().GetGradePrice(gradeId, level, price);
}

// ---- Tanks ------------------------------------------------------------------------------

std::int32_t KESTRO_CALL GetTanksCount(std::int32_t* count) {
    return CurrentStation().GetTanksCount(count);
}

std::int32_t KESTRO_CALL GetTankByOrdinal(std::int32_t ordinal, std::int32_t* tankId) {
    return CurrentStation().GetTankByOrdinal(ordinal, tankId);
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
    kestro::TankRecord tank;
    const bool given = AllGiven(
        number, name, gradeId, type, capacity, diameter, height, theoreticalCapacity, lowLevelAlarm,
        highLevelAlarm, lowLowLevelAlarm, highHighLevelAlarm, highWaterAlarm, thermalCoefficient,
        tankGauge, probe, gaugeAlarmsMask, slotZigBeeId, probeType, probeSerialNo);
    const std::int32_t rc = CurrentStation().GetTankPropertiesEx2(tankId, given ? &tank : nullptr);
    if (rc == kSuccess) {
        *number = tank.number;
        *name = BstrOf(tank.name);
        *gradeId = tank.gradeId;
        *type = tank.type;
        *capacity = tank.capacity;
        *diameter = tank.diameter;
        *height = tank.height;
        *theoreticalCapacity = tank.theoreticalCapacity;
        *lowLevelAlarm = tank.lowLevelAlarm;
        *highLevelAlarm = tank.highLevelAlarm;
        *lowLowLevelAlarm = tank.lowLowLevelAlarm;
        *highHighLevelAlarm = tank.highHighLevelAlarm;
        *highWaterAlarm = tank.highWaterAlarm;
        *thermalCoefficient = tank.thermalCoefficient;
        *tankGauge = tank.tankGauge;
        *probe = tank.probe;
        *gaugeAlarmsMask = tank.gaugeAlarmsMask;
        *slotZigBeeId = tank.slotZigBeeId;
        *probeType = tank.probeType;
        *probeSerialNo = tank.probeSerialNo;
    }
    return rc;
}

// ---- ZigBee devices ---------------------------------------------------------------------

std::int32_t KESTRO_CALL GetZigBeeCount(std::int32_t* count) {
    return CurrentStation().GetZigBeeCount(count);
}

std::int32_t KESTRO_CALL GetZigBeeByOrdinal(std::int32_t ordinal, std::int32_t* deviceId) {
    return CurrentStation().GetZigBeeByOrdinal(ordinal, deviceId);
}

std::int32_t KESTRO_CALL GetZigBeeProperties(std::int32_t deviceId, std::int32_t* number,
                                             BSTR* name, std::int16_t* deviceType,
                                             BSTR* serialNumber, BSTR* nodeIdentifier,
                                             std::int32_t* portId) {
    kestro::ZigBeeRecord device;
    const bool given = AllGiven(number, name, deviceType, serialNumber, nodeIdentifier, portId);
    const std::int32_t rc =
        CurrentStation().GetZigBeeProperties(deviceId, given ? &device : nullptr);
    if (rc == kSuccess) {
        *number = device.number;
        *name = BstrOf(device.name);
        *deviceType = device.deviceType;
        *serialNumber = BstrOf(device.serialNumber);
        *nodeIdentifier = BstrOf(device.nodeIdentifier);
        *portId = device.portId;
    }
    return rc;
}

// ---- Pumps and hoses --------------------------------------------------------------------

std::int32_t KESTRO_CALL GetPumpsCount(std::int32_t* count) {
    return CurrentStation().GetPumpsCount(count);
}

std::int32_t KESTRO_CALL GetPumpByOrdinal(std::int32_t ordinal, std::int32_t* pumpId) {
    return CurrentStation().GetPumpByOrdinal(ordinal, pumpId);
}

std::int32_t KESTRO_CALL GetPumpPropertiesEx(
    std::int32_t pumpId, std::int32_t* number, BSTR* name, std::int16_t* physicalNumber,
    std::int16_t* side, std::int16_t* address, std::int16_t* priceLevel1, std::int16_t* priceLevel2,
    std::int16_t* priceDspFormat, std::int16_t* volumeDspFormat, std::int16_t* valueDspFormat,
    std::int16_t* pumpType, std::int32_t* portId, std::int32_t* attendantId, std::int16_t* authMode,
    std::int16_t* stackMode, std::int16_t* prepayAllowed, std::int16_t* preauthAllowed,
    std::int32_t* slot, std::int32_t* muxSlotZigBeeId, std::int16_t* priceControl,
    std::int16_t* hasPreset) {
    kestro::PumpRecord pump;
    const bool given = AllGiven(number, name, physicalNumber, side, address, priceLevel1,
                                priceLevel2, priceDspFormat, volumeDspFormat, valueDspFormat,
                                pumpType, portId, attendantId, authMode, stackMode, prepayAllowed,
                                preauthAllowed, slot, muxSlotZigBeeId, priceControl, hasPreset);
    const std::int32_t rc = CurrentStation().GetPumpPropertiesEx(pumpId, given ? &pump : nullptr);
    if (rc == kSuccess) {
        *number = pump.number;
        *name = BstrOf(pump.name);
        *physicalNumber = pump.physicalNumber;
        *side = pump.side;
        *address = pump.address;
        *priceLevel1 = pump.priceLevel1;
        *priceLevel2 = pump.priceLevel2;
        *priceDspFormat = pump.priceDspFormat;
        *volumeDspFormat = pump.volumeDspFormat;
        *valueDspFormat = pump.valueDspFormat;
        *pumpType = pump.pumpType;
        *portId = pump.portId;
        *attendantId = pump.attendantId;
        *authMode = pump.authMode;
        *stackMode = pump.stackMode;
        *prepayAllowed = pump.prepayAllowed;
        *preauthAllowed = pump.preauthAllowed;
        *slot = pump.slot;
        *muxSlotZigBeeId = pump.muxSlotZigBeeId;
        *priceControl = pump.priceControl;
        *hasPreset = pump.hasPreset;
    }
    return rc;
}

std::int32_t KESTRO_CALL GetPumpHosesCount(std::int32_t pumpId, std::int32_t* count) {
    return CurrentStation().GetPumpHosesCount(pumpId, count);
}

std::int32_t KESTRO_CALL GetPumpHoseByNumber(std::int32_t pumpId, std::int32_t position,
                                             std::int32_t* hoseId) {
    return CurrentStation().GetPumpHoseByNumber(pumpId, position, hoseId);
}

std::int32_t KESTRO_CALL GetHosePropertiesEx2(std::int32_t hoseId, std::int32_t* number,
                                              std::int32_t* pumpId, std::int32_t* tankId,
                                              std::int32_t* physicalNumber, double* volumeTotal,
                                              double* valueTotal, double* volumeFactor,
                                              double* valueFactor, std::int16_t* reader,
                                              double* price1, double* price2,
                                              std::int16_t* enabled) {
    kestro::HoseRecord hose;
    const bool given = AllGiven(number, pumpId, tankId, physicalNumber, volumeTotal, valueTotal,
                                volumeFactor, valueFactor, reader, price1, price2, enabled);
    const std::int32_t rc = CurrentStation().GetHosePropertiesEx2(hoseId, given ? &hose : nullptr);
    if (rc == kSuccess) {
        *number = hose.number;
        *pumpId = hose.pumpId;
        *tankId = hose.tankId;
        *physicalNumber = hose.physicalNumber;
        *volumeTotal = hose.volumeTotal;
        *valueTotal = hose.valueTotal;
        *volumeFactor = hose.volumeFactor;
        *valueFactor = hose.valueFactor;
        *reader = hose.reader;
        *price1 = hose.price1;
        *price2 = hose.price2;
        *enabled = hose.enabled;
    }
    return rc;
}

// ---- Sensors ----------------------------------------------------------------------------

std::int32_t KESTRO_CALL GetSensorsCount(std::int32_t* count) {
    return CurrentStation().GetSensorsCount(count);
}

std::int32_t KESTRO_CALL GetSensorByOrdinal(std::int32_t ordinal, std::int32_t* sensorId) {
    return CurrentStation().GetSensorByOrdinal(ordinal, sensorId);
}

std::int32_t KESTRO_CALL GetSensorPropertiesEx(std::int32_t sensorId, std::int32_t* number,
                                               BSTR* name, std::int32_t* portId, std::int16_t* type,
                                               std::int16_t* address, std::int16_t* sensorNo,
                                               std::int32_t* slotZigBeeId,
                                               std::int32_t* sensorSerialNo) {
    kestro::SensorRecord sensor;
    const bool given =
        AllGiven(number, name, portId, type, address, sensorNo, slotZigBeeId, sensorSerialNo);
    const std::int32_t rc =
        CurrentStation().GetSensorPropertiesEx(sensorId, given ? &sensor : nullptr);
    if (rc == kSuccess) {
        *number = sensor.number;
        *name = BstrOf(sensor.name);
        *portId = sensor.portId;
        *type = sensor.type;
        *address = sensor.address;
        *sensorNo = sensor.sensorNo;
        *slotZigBeeId = sensor.slotZigBeeId;
        *sensorSerialNo = sensor.sensorSerialNo;
    }
    return rc;
}

// ---- Attendants -------------------------------------------------------------------------

std::int32_t KESTRO_CALL GetAttendantsCount(std::int32_t* count) {
    return CurrentStation().GetAttendantsCount(count);
}

std::int32_t KESTRO_CALL GetAttendantByOrdinal(std::int32_t ordinal, std::int32_t* attendantId) {
    return CurrentStation().GetAttendantByOrdinal(ordinal, attendantId);
}

std::int32_t KESTRO_CALL GetAttendantPropertiesEx2(
    std::int32_t attendantId, std::int32_t* number, BSTR* name, BSTR* shortName, BSTR* password,
    BSTR* tag, BSTR* idNumber, std::int16_t* shiftAStart, std::int16_t* shiftAEnd,
    std::int16_t* shiftBStart, std::int16_t* shiftBEnd, std::int16_t* type) {
    kestro::AttendantRecord attendant;
    const bool given = AllGiven(number, name, shortName, password, tag, idNumber, shiftAStart,
                                shiftAEnd, shiftBStart, shiftBEnd, type);
    const std::int32_t rc =
        CurrentStation().GetAttendantPropertiesEx2(attendantId, given ? &attendant : nullptr);
    if (rc == kSuccess) {
        *number = attendant.number;
        *name = BstrOf(attendant.name);
        *shortName = BstrOf(attendant.shortName);
        *password = BstrOf(attendant.password);
        *tag = BstrOf(attendant.tag);
        *idNumber = BstrOf(attendant.idNumber);
        *shiftAStart = attendant.shiftAStart;
        *shiftAEnd = attendant.shiftAEnd;
        *shiftBStart = attendant.shiftBStart;
        *shiftBEnd = attendant.shiftBEnd;
        *type = attendant.type;
    }
    return rc;
}

// ---- Card clients -----------------------------------------------------------------------

std::int32_t KESTRO_CALL GetCardClientsCount(std::int32_t* count) {
    return CurrentStation().GetCardClientsCount(count);
}

std::int32_t KESTRO_CALL GetCardClientByOrdinal(std::int32_t ordinal, std::int32_t* clientId) {
    return CurrentStation().GetCardClientByOrdinal(ordinal, clientId);
}

std::int32_t KESTRO_CALL GetCardClientPropertiesEx4(
    std::int32_t clientId, std::int32_t* number, BSTR* name, BSTR* tag, std::int16_t* enabled,
    std::int16_t* priceLevel, BSTR* plate, BSTR* idNumber, BSTR* shortName, BSTR* password,
    std::int16_t* gradeType, std::int16_t* cardType, std::int16_t* limitType, double* limit,
    std::int16_t* entryType, double* expirationDate, std::int32_t* parentId, BSTR* vimoSerialNo,
    double* odometer, std::int32_t* factor) {
    kestro::CardClientRecord client;
    const bool given = AllGiven(number, name, tag, enabled, priceLevel, plate, idNumber, shortName,
                                password, gradeType, cardType, limitType, limit, entryType,
                                expirationDate, parentId, vimoSerialNo, odometer, factor);
    const std::int32_t rc =
        CurrentStation().GetCardClientPropertiesEx4(clientId, given ? &client : nullptr);
    if (rc == kSuccess) {
        *number = client.number;
        *name = BstrOf(client.name);
        *tag = BstrOf(client.tag);
        *enabled = client.enabled;
        *priceLevel = client.priceLevel;
        *plate = BstrOf(client.plate);
        *idNumber = BstrOf(client.idNumber);
        *shortName = BstrOf(client.shortName);
        *password = BstrOf(client.password);
        *gradeType = client.gradeType;
        *cardType = client.cardType;
        *limitType = client.limitType;
        *limit = client.limit;
        *entryType = client.entryType;
        *expirationDate = client.expirationDate;
        *parentId = client.parentId;
        *vimoSerialNo = BstrOf(client.vimoSerialNo);
        *odometer = client.odometer;
        *factor = client.factor;
    }
    return rc;
}

// ---- Shop products ----------------------------------------------------------------------

std::int32_t KESTRO_CALL GetProductsCount(std::int32_t* count, std::int32_t groupFilter,
                                          std::int32_t enabledOnly, std::int32_t barcodeOnly,
                                          std::int32_t firstNumber, std::int32_t maxCount,
                                          std::int32_t terminalFilter) {
    const kestro::ProductFilter filter{groupFilter, enabledOnly, barcodeOnly,
                                       firstNumber, maxCount,    terminalFilter};
    return CurrentStation().GetProductsCount(filter, count);
}

std::int32_t KESTRO_CALL GetProductByOrdinal(std::int32_t ordinal, std::int32_t* productId,
                                             std::int32_t groupFilter, std::int32_t enabledOnly,
                                             std::int32_t barcodeOnly, std::int32_t firstNumber,
                                             std::int32_t maxCount, std::int32_t terminalFilter) {
    const kestro::ProductFilter filter{groupFilter, enabledOnly, barcodeOnly,
                                       firstNumber, maxCount,    terminalFilter};
    return CurrentStation().GetProductByOrdinal(ordinal, filter, productId);
}

std::int32_t KESTRO_CALL GetProductProperties(std::int32_t productId, std::int32_t* number,
                                              BSTR* name, BSTR* tag, std::int16_t* enabled,
                                              BSTR* shortName, BSTR* barcode, double* price1,
                                              double* price2, std::int32_t* productGroup) {
    kestro::ProductRecord product;
    const bool given =
        AllGiven(number, name, tag, enabled, shortName, barcode, price1, price2, productGroup);
    const std::int32_t rc =
        CurrentStation().GetProductProperties(productId, given ? &product : nullptr);
    if (rc == kSuccess) {
        *number = product.number;
        *name = BstrOf(product.name);
        *tag = BstrOf(product.tag);
        *enabled = product.enabled;
        *shortName = BstrOf(product.shortName);
        *barcode = BstrOf(product.barcode);
        *price1 = product.price1;
        *price2 = product.price2;
        *productGroup = product.productGroup;
    }
    return rc;
}

}  // extern "C"
