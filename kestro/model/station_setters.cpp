// The station model's configuration setters: each records its call, then creates or replaces
// one record, keeping what the call does not carry.
#include <utility>

#include "kestro/model/result_codes.h"
#include "kestro/model/station.h"

namespace kestro {
namespace {

// A text as a recorded value: null is recorded as the empty text, as for every BSTR.
WideString Recorded(const Text& text) {
    return text.value_or(WideString());
}

// What a device created by a setter reports until it has told the controller more: empty
// texts, so that its details query succeeds (an export after an import into an empty station
// runs clean).
DeviceDetails NewDeviceDetails() {
    return DeviceDetails{WideString(), WideString(), WideString()};
}

}  // namespace

std::int32_t Station::AdmitSetter(RecordedCall call, std::int32_t id) {
    if (std::int32_t rc = Admit(std::move(call), true)) {
        return rc;
    }
    return id < 1 ? kInvalidArgument : kSuccess;
}

template <typename Record>
std::int32_t Station::StoreRecord(RecordedCall call, RecordTable<Record>& table,
                                  const Record& record) {
    if (std::int32_t rc = AdmitSetter(std::move(call), record.id)) {
        return rc;
    }
    table.Put(record);
    return kSuccess;
}

std::int32_t Station::SetPortProperties(const PortRecord& port) {
    RecordedCall call{"SetPortProperties",
                      {port.id, port.number, Recorded(port.name), port.protocolId, port.deviceType,
                       Recorded(port.serialNo)}};
    if (std::int32_t rc = AdmitSetter(std::move(call), port.id)) {
        return rc;
    }
    PortRecord stored = port;
    const PortRecord* replaced = config_.ports.Find(port.id);
    stored.zb2g = replaced != nullptr ? replaced->zb2g : ZB2GConfig{};
    stored.details = replaced != nullptr ? replaced->details : NewDeviceDetails();
    config_.ports.Put(std::move(stored));
    return kSuccess;
}

std::int32_t Station::SetGradePropertiesEx(const GradeRecord& grade) {
    RecordedCall call{"SetGradePropertiesEx",
                      {grade.id, grade.number, Recorded(grade.name), Recorded(grade.shortName),
                       Recorded(grade.code), grade.gradeType}};
    if (std::int32_t rc = AdmitSetter(std::move(call), grade.id)) {
        return rc;
    }
    GradeRecord stored = grade;
    const GradeRecord* replaced = config_.grades.Find(grade.id);
    stored.prices = replaced != nullptr ? replaced->prices : decltype(stored.prices){};
    config_.grades.Put(std::move(stored));
    return kSuccess;
}

std::int32_t Station::SetGradePrice(std::int32_t gradeId, std::int16_t level, double price) {
    if (std::int32_t rc = AdmitSetter({"SetGradePrice", {gradeId, level, price}}, gradeId)) {
        return rc;
    }
    const GradeRecord* grade = config_.grades.Find(gradeId);
    if (std::int32_t rc = CheckPriceLevel(grade, level)) {
        return rc;
    }
    GradeRecord stored = *grade;
    stored.prices[static_cast<std::size_t>(level - 1)] = price;
    config_.grades.Put(std::move(stored));
    return kSuccess;
}

std::int32_t Station::SetTankPropertiesEx2(const TankRecord& tank) {
    RecordedCall call{"SetTankPropertiesEx2",
                      {tank.id,
                       tank.number,
                       Recorded(tank.name),
                       tank.gradeId,
                       tank.type,
                       tank.capacity,
                       tank.diameter,
                       tank.height,
                       tank.theoreticalCapacity,
                       tank.lowLevelAlarm,
                       tank.highLevelAlarm,
                       tank.lowLowLevelAlarm,
                       tank.highHighLevelAlarm,
                       tank.highWaterAlarm,
                       tank.thermalCoefficient,
                       tank.tankGauge,
                       tank.probe,
                       tank.gaugeAlarmsMask,
                       tank.slotZigBeeId,
                       tank.probeType,
                       tank.probeSerialNo}};
    return StoreRecord(std::move(call), config_.tanks, tank);
}

std::int32_t Station::SetZigBeeProperties(const ZigBeeRecord& device) {
    RecordedCall call{
        "SetZigBeeProperties",
        {device.id, device.number, Recorded(device.name), device.deviceType,
         Recorded(device.serialNumber), Recorded(device.nodeIdentifier), device.portId}};
    if (std::int32_t rc = AdmitSetter(std::move(call), device.id)) {
        return rc;
    }
    ZigBeeRecord stored = device;
    const ZigBeeRecord* replaced = config_.zigBees.Find(device.id);
    stored.details = replaced != nullptr ? replaced->details : NewDeviceDetails();
    config_.zigBees.Put(std::move(stored));
    return kSuccess;
}

std::int32_t Station::SetPumpPropertiesEx(const PumpRecord& pump) {
    RecordedCall call{"SetPumpPropertiesEx",
                      {pump.id,
                       pump.number,
                       Recorded(pump.name),
                       pump.physicalNumber,
                       pump.side,
                       pump.address,
                       pump.priceLevel1,
                       pump.priceLevel2,
                       pump.priceDspFormat,
                       pump.volumeDspFormat,
                       pump.valueDspFormat,
                       pump.pumpType,
                       pump.portId,
                       pump.attendantId,
                       pump.authMode,
                       pump.stackMode,
                       pump.prepayAllowed,
                       pump.preauthAllowed,
                       pump.slot,
                       pump.muxSlotZigBeeId,
                       pump.priceControl,
                       pump.hasPreset}};
    return StoreRecord(std::move(call), config_.pumps, pump);
}

std::int32_t Station::SetHosePropertiesEx2(const HoseRecord& hose) {
    RecordedCall call{"SetHosePropertiesEx2",
                      {hose.id, hose.number, hose.pumpId, hose.tankId, hose.physicalNumber,
                       hose.volumeTotal, hose.valueTotal, hose.volumeFactor, hose.valueFactor,
                       hose.reader, hose.price1, hose.price2, hose.enabled}};
    if (std::int32_t rc = AdmitSetter(std::move(call), hose.id)) {
        return rc;
    }
    if (config_.pumps.Find(hose.pumpId) == nullptr) {
        return kRecordNotFound;
    }
    config_.hoses.Put(hose);
    hosesByPump_.reset();
    return kSuccess;
}

std::int32_t Station::SetSensorPropertiesEx(const SensorRecord& sensor) {
    RecordedCall call{
        "SetSensorPropertiesEx",
        {sensor.id, sensor.number, Recorded(sensor.name), sensor.portId, sensor.type,
         sensor.address, sensor.sensorNo, sensor.slotZigBeeId, sensor.sensorSerialNo}};
    return StoreRecord(std::move(call), config_.sensors, sensor);
}

std::int32_t Station::SetAttendantPropertiesEx2(const AttendantRecord& attendant) {
    RecordedCall call{
        "SetAttendantPropertiesEx2",
        {attendant.id, attendant.number, Recorded(attendant.name), Recorded(attendant.shortName),
         Recorded(attendant.password), Recorded(attendant.tag), Recorded(attendant.idNumber),
         attendant.shiftAStart, attendant.shiftAEnd, attendant.shiftBStart, attendant.shiftBEnd,
         attendant.type}};
    return StoreRecord(std::move(call), config_.attendants, attendant);
}

std::int32_t Station::SetCardClientPropertiesEx4(const CardClientRecord& client) {
    RecordedCall call{"SetCardClientPropertiesEx4",
                      {client.id,
                       client.number,
                       Recorded(client.name),
                       Recorded(client.tag),
                       client.enabled,
                       client.priceLevel,
                       Recorded(client.plate),
                       Recorded(client.idNumber),
                       Recorded(client.shortName),
                       Recorded(client.password),
                       client.gradeType,
                       client.cardType,
                       client.limitType,
                       client.limit,
                       client.entryType,
                       client.expirationDate,
                       client.parentId,
                       Recorded(client.vimoSerialNo),
                       client.odometer,
                       client.factor}};
    return StoreRecord(std::move(call), config_.cardClients, client);
}

std::int32_t Station::SetProductProperties(const ProductRecord& product) {
    RecordedCall call{"SetProductProperties",
                      {product.id, product.number, Recorded(product.name), Recorded(product.tag),
                       product.enabled, Recorded(product.shortName), Recorded(product.barcode),
                       product.price1, product.price2, product.productGroup}};
    std::int32_t rc = StoreRecord(std::move(call), config_.products, product);
    if (rc == kSuccess) {
        productSelection_.reset();
    }
    return rc;
}

}  // namespace kestro
