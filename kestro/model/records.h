// The configuration records a controller keeps, one plain struct per kind, holding every
// value the flat interface's getters hand out and its setters take (client/kestro.h), also
// those that the configuration file does not carry. Field names follow the calls' arguments.
// Each record is one row for persistence: an identifier, numbers, doubles and texts.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/win_types.h"

namespace kestro {

// A text as the library hands it out: std::nullopt is a null BSTR (a stored NULL), which
// clients treat like the empty text; an engaged value may be empty or hold any 16-bit units.
using Text = std::optional<WideString>;

// What GetDeviceDetails reports for a port's own device or for a ZigBee device.
struct DeviceDetails {
    Text model;
    Text hardwareVersion;
    Text firmwareVersion;

    bool operator==(const DeviceDetails&) const = default;
};

// The port's ZigBee-to-gateway radio settings (GetZB2GConfig).
struct ZB2GConfig {
    std::int64_t panId = 0;
    std::int32_t channelMask = 0;  // bit b set: radio channel b (11..26) in use
    std::int64_t keyA = 0;
    std::int64_t keyB = 0;

    bool operator==(const ZB2GConfig&) const = default;
};

struct PortRecord {
    std::int32_t id = 0;
    // GetPortProperties / SetPortProperties
    std::int32_t number = 0;
    Text name;
    std::int32_t protocolId = 0;
    std::int16_t deviceType = 0;
    Text serialNo;
    ZB2GConfig zb2g;
    // The port's own device (GetDeviceDetails with device -1); none: that query fails.
    std::optional<DeviceDetails> details;

    bool operator==(const PortRecord&) const = default;
};

struct GradeRecord {
    std::int32_t id = 0;
    // GetGradePropertiesEx / SetGradePropertiesEx
    std::int32_t number = 0;
    Text name;
    Text shortName;
    Text code;
    std::int16_t gradeType = 0;
    // Price at levels 1..8 (index 0 is level 1); 0 means the level has no price.
    std::array<double, 8> prices{};

    bool operator==(const GradeRecord&) const = default;
};

// GetTankPropertiesEx2 / SetTankPropertiesEx2.
struct TankRecord {
    std::int32_t id = 0;
    std::int32_t number = 0;
    Text name;
    std::int32_t gradeId = 0;
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
    std::int32_t tankGauge = 0;
    std::int16_t probe = 0;
    std::int32_t gaugeAlarmsMask = 0;
    std::int32_t slotZigBeeId = 0;
    std::int16_t probeType = 0;
    std::int32_t probeSerialNo = 0;

    bool operator==(const TankRecord&) const = default;
};

struct ZigBeeRecord {
    std::int32_t id = 0;
    // GetZigBeeProperties / SetZigBeeProperties
    std::int32_t number = 0;
    Text name;
    std::int16_t deviceType = 0;
    Text serialNumber;
    Text nodeIdentifier;
    std::int32_t portId = 0;  // the port the device talks through
    // GetDeviceDetails with portId and this device's identifier; none: that query fails.
    std::optional<DeviceDetails> details;

    bool operator==(const ZigBeeRecord&) const = default;
};

// GetPumpPropertiesEx / SetPumpPropertiesEx.
struct PumpRecord {
    std::int32_t id = 0;
    std::int32_t number = 0;
    Text name;
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
    std::int32_t attendantId = 0;
    std::int16_t authMode = 0;
    std::int16_t stackMode = 0;
    std::int16_t prepayAllowed = 0;
    std::int16_t preauthAllowed = 0;
    std::int32_t slot = 0;
    std::int32_t muxSlotZigBeeId = 0;
    std::int16_t priceControl = 0;
    std::int16_t hasPreset = 0;

    bool operator==(const PumpRecord&) const = default;
};

// GetHosePropertiesEx2 / SetHosePropertiesEx2. A hose belongs to the pump `pumpId`; a pump's
// hoses are taken in the order of their numbers, which may have gaps (1, 2, 4).
struct HoseRecord {
    std::int32_t id = 0;
    std::int32_t number = 0;
    std::int32_t pumpId = 0;
    std::int32_t tankId = 0;
    std::int32_t physicalNumber = 0;
    double volumeTotal = 0;
    double valueTotal = 0;
    double volumeFactor = 0;
    double valueFactor = 0;
    std::int16_t reader = 0;
    double price1 = 0;
    double price2 = 0;
    std::int16_t enabled = 0;

    bool operator==(const HoseRecord&) const = default;
};

// GetSensorPropertiesEx / SetSensorPropertiesEx.
struct SensorRecord {
    std::int32_t id = 0;
    std::int32_t number = 0;
    Text name;
    std::int32_t portId = 0;
    std::int16_t type = 0;
    std::int16_t address = 0;
    std::int16_t sensorNo = 0;
    std::int32_t slotZigBeeId = 0;
    std::int32_t sensorSerialNo = 0;

    bool operator==(const SensorRecord&) const = default;
};

// GetAttendantPropertiesEx2 / SetAttendantPropertiesEx2. Shifts are times of day as the
// controller keeps them (hhmm).
struct AttendantRecord {
    std::int32_t id = 0;
    std::int32_t number = 0;
    Text name;
    Text shortName;
    Text password;
    Text tag;
    Text idNumber;
    std::int16_t shiftAStart = 0;
    std::int16_t shiftAEnd = 0;
    std::int16_t shiftBStart = 0;
    std::int16_t shiftBEnd = 0;
    std::int16_t type = 0;

    bool operator==(const AttendantRecord&) const = default;
};

// GetCardClientPropertiesEx4 / SetCardClientPropertiesEx4.
struct CardClientRecord {
    std::int32_t id = 0;
    std::int32_t number = 0;
    Text name;
    Text tag;
    std::int16_t enabled = 0;
    std::int16_t priceLevel = 0;
    Text plate;
    Text idNumber;
    Text shortName;
    Text password;
    std::int16_t gradeType = 0;
    std::int16_t cardType = 0;
    std::int16_t limitType = 0;
    double limit = 0;
    std::int16_t entryType = 0;
    double expirationDate = 0;  // OLE automation date: days since 30 December 1899
    std::int32_t parentId = 0;
    Text vimoSerialNo;
    double odometer = 0;
    std::int32_t factor = 0;

    bool operator==(const CardClientRecord&) const = default;
};

// GetProductProperties / SetProductProperties.
struct ProductRecord {
    std::int32_t id = 0;
    std::int32_t number = 0;
    Text name;
    Text tag;
    std::int16_t enabled = 0;
    Text shortName;
    Text barcode;
    double price1 = 0;
    double price2 = 0;
    std::int32_t productGroup = 0;

    bool operator==(const ProductRecord&) const = default;
};

}  // namespace kestro
