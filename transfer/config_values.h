// The values of each configuration record as the Kestro calls carry them: a getter's
// out-values in the export, a setter's arguments in the import. The layout of the
// configuration file (config_layout.h) names the key of each field.
#pragma once

#include <cstdint>

#include "common/counter_string.h"
#include "platform/bstr.h"

// The units of a text a getter handed out, embedded zeros kept; a null BSTR gives the empty
// text (not the no-buffer state).
inline CounterString TextOf(const Bstr& text) {
    CounterString units;
    units.Assign(text.IsNull() ? OLESTR("") : text.Get(), static_cast<int>(text.Length()));
    return units;
}

// Every field starts as the export presets it before a call: 0, or -1 for the hose
// identifier and for some references to other records (ports, grades, tank gauges, ZigBee
// slots, attendants, parents), so that a value no call wrote never names record 0.

// GetPortProperties / SetPortProperties.
struct PortValues {
    std::int32_t number = 0;
    Bstr name;
    std::int32_t protocolId = -1;
    std::int16_t deviceType = 0;
    Bstr serialNo;
};

// GetZB2GConfig: the port's ZigBee-to-gateway radio settings.
struct ZB2GValues {
    std::int64_t panId = 0;
    std::int32_t channelMask = 0;
    std::int64_t keyA = 0;
    std::int64_t keyB = 0;
};

// GetDeviceDetails, for a port's own device or a ZigBee device.
struct DeviceDetailsValues {
    Bstr model;
    Bstr hardwareVersion;
    Bstr firmwareVersion;
};

// GetGradePropertiesEx / SetGradePropertiesEx (prices go level by level: GetGradePrice).
struct GradeValues {
    std::int32_t number = 0;
    Bstr name;
    Bstr shortName;
    Bstr code;
    std::int16_t gradeType = 0;
};

// GetTankPropertiesEx2 / SetTankPropertiesEx2.
struct TankValues {
    std::int32_t number = 0;
    Bstr name;
    std::int32_t gradeId = -1;
    std::int16_t type = 0;
    double capacity = 0;
    double diameter = 0;
    double height = 0;
    double theoreticalCapacity = 0;
    double lowLevelAlarm = 0;
    double highLevelAlarm = 0;
    double lowLowLevelAlarm = 0;
    double highHighLevelAlarm = 0;
    double highWaterAlarm = 0;
    double thermalCoefficient = 0;
    std::int32_t tankGauge = -1;
    std::int16_t probe = 0;
    std::int32_t gaugeAlarmsMask = 0;
    std::int32_t slotZigBeeId = -1;
    std::int16_t probeType = 0;
    std::int32_t probeSerialNo = 0;
};

// GetZigBeeProperties / SetZigBeeProperties.
struct ZigBeeValues {
    std::int32_t number = 0;
    Bstr name;
    std::int16_t deviceType = 0;
    Bstr serialNumber;
    Bstr nodeIdentifier;
    std::int32_t portId = -1;
};

// GetPumpPropertiesEx / SetPumpPropertiesEx.
struct PumpValues {
    std::int32_t number = 0;
    Bstr name;
    std::int16_t physicalNumber = 0;
    std::int16_t side = 0;
    std::int16_t address = 0;
    std::int16_t priceLevel1 = 0;
    std::int16_t priceLevel2 = 0;
    std::int16_t priceDspFormat = 0;
    std::int16_t volumeDspFormat = 0;
    std::int16_t valueDspFormat = 0;
    std::int16_t pumpType = 0;
    std::int32_t portId = 0;
    std::int32_t attendantId = -1;
    std::int16_t authMode = 0;
    std::int16_t stackMode = 0;
    std::int16_t prepayAllowed = 0;
    std::int16_t preauthAllowed = 0;
    std::int32_t slot = -1;
    std::int32_t muxSlotZigBeeId = -1;
    std::int16_t priceControl = 0;
    std::int16_t hasPreset = 0;
};

// One hose: its identifier (GetPumpHoseByNumber) and GetHosePropertiesEx2 /
// SetHosePropertiesEx2.
struct HoseValues {
    std::int32_t id = -1;
    std::int32_t number = 0;
    std::int32_t pumpId = -1;
    std::int32_t tankId = -1;
    std::int32_t physicalNumber = 0;
    double volumeTotal = 0;
    double valueTotal = 0;
    double volumeFactor = 0;
    double valueFactor = 0;
    std::int16_t reader = 0;
    double price1 = 0;
    double price2 = 0;
    std::int16_t enabled = 0;
};

// GetSensorPropertiesEx / SetSensorPropertiesEx.
struct SensorValues {
    std::int32_t number = 0;
    Bstr name;
    std::int32_t portId = -1;
    std::int16_t type = 0;
    std::int16_t address = 0;
    std::int16_t sensorNo = 0;
    std::int32_t slotZigBeeId = -1;
    std::int32_t sensorSerialNo = 0;
};

// GetAttendantPropertiesEx2 / SetAttendantPropertiesEx2.
struct AttendantValues {
    std::int32_t number = 0;
    Bstr name;
    Bstr shortName;
    Bstr password;
    Bstr tag;
    Bstr idNumber;
    std::int16_t shiftAStart = 0;
    std::int16_t shiftAEnd = 0;
    std::int16_t shiftBStart = 0;
    std::int16_t shiftBEnd = 0;
    std::int16_t type = 0;
};

// GetCardClientPropertiesEx4 / SetCardClientPropertiesEx4.
struct CardClientValues {
    std::int32_t number = 0;
    Bstr name;
    Bstr tag;
    std::int16_t enabled = 0;
    std::int16_t priceLevel = 0;
    Bstr plate;
    Bstr idNumber;
    Bstr shortName;
    Bstr password;
    std::int16_t gradeType = 0;
    std::int16_t cardType = 0;
    std::int16_t limitType = 0;
    double limit = 0;
    std::int16_t entryType = 0;
    double expirationDate = 0;  // OLE automation date
    std::int32_t parentId = -1;
    Bstr vimoSerialNo;
    double odometer = 0;
    std::int32_t factor = 0;
};

// GetProductProperties / SetProductProperties.
struct ProductValues {
    std::int32_t number = 0;
    Bstr name;
    Bstr tag;
    std::int16_t enabled = 0;
    Bstr shortName;
    Bstr barcode;
    double price1 = 0;
    double price2 = 0;
    std::int32_t productGroup = 0;
};
