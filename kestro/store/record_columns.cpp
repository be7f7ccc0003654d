// The columns of every record kind, in the order of the record's values.
#include "kestro/store/record_columns.h"

namespace kestro::store_detail {
namespace {

// A grade's price at `level` (1..8).
template <std::size_t level>
Column<GradeRecord> Price(const char* name) {
    return {name, ColumnType::kReal,
            [](const GradeRecord& grade) { return ColumnValue(grade.prices[level - 1]); },
            [](GradeRecord& grade, const ColumnValue& value) {
                grade.prices[level - 1] = std::get<double>(value);
            }};
}

// One text of the device details of a port or a ZigBee device; none while the device has
// reported no details.
template <auto details, auto text,
          typename Record = typename MemberTraits<decltype(details)>::Record>
Column<Record> DetailsText(const char* name) {
    return {name, ColumnType::kText,
            [](const Record& record) {
                return ColumnValue(record.*details ? (*(record.*details)).*text : Text());
            },
            [](Record& record, const ColumnValue& value) {
                if (record.*details) {
                    (*(record.*details)).*text = std::get<Text>(value);
                }
            }};
}

// The device details: a flag saying whether the device has reported any, then its three
// texts. The flag comes first, so that it is set back first.
template <auto details, typename Record = typename MemberTraits<decltype(details)>::Record>
void AddDetails(std::vector<Column<Record>>& columns) {
    columns.push_back({"has_details", ColumnType::kInteger,
                       [](const Record& record) {
                           return ColumnValue(std::int64_t{(record.*details).has_value()});
                       },
                       [](Record& record, const ColumnValue& value) {
                           if (std::get<std::int64_t>(value) != 0) {
                               (record.*details).emplace();
                           } else {
                               (record.*details).reset();
                           }
                       },
                       0, 1});
    columns.push_back(DetailsText<details, &DeviceDetails::model>("device_model"));
    columns.push_back(
        DetailsText<details, &DeviceDetails::hardwareVersion>("device_hardware_version"));
    columns.push_back(
        DetailsText<details, &DeviceDetails::firmwareVersion>("device_firmware_version"));
}

}  // namespace

const std::vector<Column<PortRecord>>& Table<PortRecord>::Columns() {
    static const std::vector<Column<PortRecord>> columns = [] {
        std::vector<Column<PortRecord>> list{
            Field<&PortRecord::number>("number"),
            Field<&PortRecord::name>("name"),
            Field<&PortRecord::protocolId>("protocol_id"),
            Field<&PortRecord::deviceType>("device_type"),
            Field<&PortRecord::serialNo>("serial_no"),
            Nested<&PortRecord::zb2g, &ZB2GConfig::panId>("pan_id"),
            Nested<&PortRecord::zb2g, &ZB2GConfig::channelMask>("channel_mask"),
            Nested<&PortRecord::zb2g, &ZB2GConfig::keyA>("key_a"),
            Nested<&PortRecord::zb2g, &ZB2GConfig::keyB>("key_b"),
        };
        AddDetails<&PortRecord::details>(list);
        return list;
    }();
    return columns;
}

const std::vector<Column<GradeRecord>>& Table<GradeRecord>::Columns() {
    static const std::vector<Column<GradeRecord>> columns{
        Field<&GradeRecord::number>("number"),
        Field<&GradeRecord::name>("name"),
        Field<&GradeRecord::shortName>("short_name"),
        Field<&GradeRecord::code>("code"),
        Field<&GradeRecord::gradeType>("grade_type"),
        Price<1>("price1"),
        Price<2>("price2"),
        Price<3>("price3"),
        Price<4>("price4"),
        Price<5>("price5"),
        Price<6>("price6"),
        Price<7>("price7"),
        Price<8>("price8"),
    };
    return columns;
}

const std::vector<Column<TankRecord>>& Table<TankRecord>::Columns() {
    static const std::vector<Column<TankRecord>> columns{
        Field<&TankRecord::number>("number"),
        Field<&TankRecord::name>("name"),
        Field<&TankRecord::gradeId>("grade_id"),
        Field<&TankRecord::type>("type"),
        Field<&TankRecord::capacity>("capacity"),
        Field<&TankRecord::diameter>("diameter"),
        Field<&TankRecord::height>("height"),
        Field<&TankRecord::theoreticalCapacity>("theoretical_capacity"),
        Field<&TankRecord::lowLevelAlarm>("low_level_alarm"),
        Field<&TankRecord::highLevelAlarm>("high_level_alarm"),
        Field<&TankRecord::lowLowLevelAlarm>("low_low_level_alarm"),
        Field<&TankRecord::highHighLevelAlarm>("high_high_level_alarm"),
        Field<&TankRecord::highWaterAlarm>("high_water_alarm"),
        Field<&TankRecord::thermalCoefficient>("thermal_coefficient"),
        Field<&TankRecord::tankGauge>("tank_gauge"),
        Field<&TankRecord::probe>("probe"),
        Field<&TankRecord::gaugeAlarmsMask>("gauge_alarms_mask"),
        Field<&TankRecord::slotZigBeeId>("slot_zigbee_id"),
        Field<&TankRecord::probeType>("probe_type"),
        Field<&TankRecord::probeSerialNo>("probe_serial_no"),
    };
    return columns;
}

const std::vector<Column<ZigBeeRecord>>& Table<ZigBeeRecord>::Columns() {
    static const std::vector<Column<ZigBeeRecord>> columns = [] {
        std::vector<Column<ZigBeeRecord>> list{
            Field<&ZigBeeRecord::number>("number"),
            Field<&ZigBeeRecord::name>("name"),
            Field<&ZigBeeRecord::deviceType>("device_type"),
            Field<&ZigBeeRecord::serialNumber>("serial_number"),
            Field<&ZigBeeRecord::nodeIdentifier>("node_identifier"),
            Field<&ZigBeeRecord::portId>("port_id"),
        };
        AddDetails<&ZigBeeRecord::details>(list);
        return list;
    }();
    return columns;
}

const std::vector<Column<PumpRecord>>& Table<PumpRecord>::Columns() {
    static const std::vector<Column<PumpRecord>> columns{
        Field<&PumpRecord::number>("number"),
        Field<&PumpRecord::name>("name"),
        Field<&PumpRecord::physicalNumber>("physical_number"),
        Field<&PumpRecord::side>("side"),
        Field<&PumpRecord::address>("address"),
        Field<&PumpRecord::priceLevel1>("price_level1"),
        Field<&PumpRecord::priceLevel2>("price_level2"),
        Field<&PumpRecord::priceDspFormat>("price_dsp_format"),
        Field<&PumpRecord::volumeDspFormat>("volume_dsp_format"),
        Field<&PumpRecord::valueDspFormat>("value_dsp_format"),
        Field<&PumpRecord::pumpType>("pump_type"),
        Field<&PumpRecord::portId>("port_id"),
        Field<&PumpRecord::attendantId>("attendant_id"),
        Field<&PumpRecord::authMode>("auth_mode"),
        Field<&PumpRecord::stackMode>("stack_mode"),
        Field<&PumpRecord::prepayAllowed>("prepay_allowed"),
        Field<&PumpRecord::preauthAllowed>("preauth_allowed"),
        Field<&PumpRecord::slot>("slot"),
        Field<&PumpRecord::muxSlotZigBeeId>("mux_slot_zigbee_id"),
        Field<&PumpRecord::priceControl>("price_control"),
        Field<&PumpRecord::hasPreset>("has_preset"),
    };
    return columns;
}

const std::vector<Column<HoseRecord>>& Table<HoseRecord>::Columns() {
    static const std::vector<Column<HoseRecord>> columns{
        Field<&HoseRecord::number>("number"),
        Field<&HoseRecord::pumpId>("pump_id"),
        Field<&HoseRecord::tankId>("tank_id"),
        Field<&HoseRecord::physicalNumber>("physical_number"),
        Field<&HoseRecord::volumeTotal>("volume_total"),
        Field<&HoseRecord::valueTotal>("value_total"),
        Field<&HoseRecord::volumeFactor>("volume_factor"),
        Field<&HoseRecord::valueFactor>("value_factor"),
        Field<&HoseRecord::reader>("reader"),
        Field<&HoseRecord::price1>("price1"),
        Field<&HoseRecord::price2>("price2"),
        Field<&HoseRecord::enabled>("enabled"),
    };
    return columns;
}

const std::vector<Column<SensorRecord>>& Table<SensorRecord>::Columns() {
    static const std::vector<Column<SensorRecord>> columns{
        Field<&SensorRecord::number>("number"),
        Field<&SensorRecord::name>("name"),
        Field<&SensorRecord::portId>("port_id"),
        Field<&SensorRecord::type>("type"),
        Field<&SensorRecord::address>("address"),
        Field<&SensorRecord::sensorNo>("sensor_no"),
        Field<&SensorRecord::slotZigBeeId>("slot_zigbee_id"),
        Field<&SensorRecord::sensorSerialNo>("sensor_serial_no"),
    };
    return columns;
}

const std::vector<Column<AttendantRecord>>& Table<AttendantRecord>::Columns() {
    static const std::vector<Column<AttendantRecord>> columns{
        Field<&AttendantRecord::number>("number"),
        Field<&AttendantRecord::name>("name"),
        Field<&AttendantRecord::shortName>("short_name"),
        Field<&AttendantRecord::password>("password"),
        Field<&AttendantRecord::tag>("tag"),
        Field<&AttendantRecord::idNumber>("id_number"),
        Field<&AttendantRecord::shiftAStart>("shift_a_start"),
        Field<&AttendantRecord::shiftAEnd>("shift_a_end"),
        Field<&AttendantRecord::shiftBStart>("shift_b_start"),
        Field<&AttendantRecord::shiftBEnd>("shift_b_end"),
        Field<&AttendantRecord::type>("type"),
    };
    return columns;
}

const std::vector<Column<CardClientRecord>>& Table<CardClientRecord>::Columns() {
    static const std::vector<Column<CardClientRecord>> columns{
        Field<&CardClientRecord::number>("number"),
        Field<&CardClientRecord::name>("name"),
        Field<&CardClientRecord::tag>("tag"),
        Field<&CardClientRecord::enabled>("enabled"),
        Field<&CardClientRecord::priceLevel>("price_level"),
        Field<&CardClientRecord::plate>("plate"),
        Field<&CardClientRecord::idNumber>("id_number"),
        Field<&CardClientRecord::shortName>("short_name"),
        Field<&CardClientRecord::password>("password"),
        Field<&CardClientRecord::gradeType>("grade_type"),
        Field<&CardClientRecord::cardType>("card_type"),
        Field<&CardClientRecord::limitType>("limit_type"),
        Field<&CardClientRecord::limit>("limit_amount"),
        Field<&CardClientRecord::entryType>("entry_type"),
        Field<&CardClientRecord::expirationDate>("expiration_date"),
        Field<&CardClientRecord::parentId>("parent_id"),
        Field<&CardClientRecord::vimoSerialNo>("vimo_serial_no"),
        Field<&CardClientRecord::odometer>("odometer"),
        Field<&CardClientRecord::factor>("factor"),
    };
    return columns;
}

const std::vector<Column<ProductRecord>>& Table<ProductRecord>::Columns() {
    static const std::vector<Column<ProductRecord>> columns{
        Field<&ProductRecord::number>("number"),
        Field<&ProductRecord::name>("name"),
        Field<&ProductRecord::tag>("tag"),
        Field<&ProductRecord::enabled>("enabled"),
        Field<&ProductRecord::shortName>("short_name"),
        Field<&ProductRecord::barcode>("barcode"),
        Field<&ProductRecord::price1>("price1"),
        Field<&ProductRecord::price2>("price2"),
        Field<&ProductRecord::productGroup>("product_group"),
    };
    return columns;
}

}  // namespace kestro::store_detail
