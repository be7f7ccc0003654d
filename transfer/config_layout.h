// The layout of Brenkar's configuration file, defined once for the export that writes it and
// the import that reads it: section names, the keys of every section in file order with the
// record field each carries and its value format, and the fixed service sections.
//
// File rules (IniDocument::WriteKey makes the bytes): 8-bit text, CR LF line ends, each
// section "\r\n[Name]\r\n" followed by "Key=Value\r\n" lines, no blanks around "=", no
// quoting. A section name that recurs after another section gets a second header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "common/counter_string.h"
#include "transfer/config_values.h"

namespace config_layout {

// ---- Application section ----------------------------------------------------------------

inline constexpr char kApplicationSection[] = "Application";
inline constexpr char kApplicationNameKey[] = "Name";
inline constexpr char kApplicationName[] = "Sarvel service configuration";
inline constexpr char kIniVersionKey[] = "IniVersion";
inline constexpr char kIniVersion[] = "23.01";
// Local date and time of the export: the user's short date, a blank, the user's time.
inline constexpr char kDateGeneratedKey[] = "DateGenerated";
inline constexpr char kClientVersionKey[] = "ClientVersion";  // DllVersion's text
inline constexpr char kServerVersionKey[] = "ServerVersion";  // ServerVersion's text

// ---- Fixed service sections -------------------------------------------------------------

// The address the GSC section names for the serial-protocol service. It is a fixed private
// IPv4 address, the same in every file, that the service's installer replaces on site.
inline constexpr char kGscAddress[] = "192.168.0.100";

struct FixedKey {
    const char* section;
    const char* key;
    const char* value;
};

// The constant keys of the service sections in file order for the switches as given (their
// implications already applied): nothing when all four are off; else Log, Server, Port,
// Protocol (Name "Company" when `company` is on, else "PAM"), Company and Pam; then GSC when
// `gsc` is on; then IPT when `ipt` is on.
std::vector<FixedKey> ServiceSectionKeys(bool pam, bool company, bool gsc, bool ipt);

// ---- Record sections --------------------------------------------------------------------

// A record section is named by its prefix and the record's identifier with at least
// `digits` digits ("Pump%02d": Pump07, Pump123; "Client%03d": Client007, Client1000).
struct SectionPattern {
    const char* prefix;
    int digits;
};

inline constexpr SectionPattern kPortSection{"Port", 2};
inline constexpr SectionPattern kTankGaugeSection{"TankGauge", 2};
inline constexpr SectionPattern kGradeSection{"Grade", 2};
inline constexpr SectionPattern kTankSection{"Tank", 2};
inline constexpr SectionPattern kZigBeeSection{"ZigBee", 2};
inline constexpr SectionPattern kPumpSection{"Pump", 2};
inline constexpr SectionPattern kSensorSection{"Sensor", 2};
inline constexpr SectionPattern kAttendantSection{"Attendant", 2};
inline constexpr SectionPattern kClientSection{"Client", 3};
inline constexpr SectionPattern kProductSection{"Product", 3};

// The section of record `id` ("%s%0*d" of the prefix, the digits and the identifier).
std::string SectionName(SectionPattern pattern, std::int32_t id);

// Under PAM, ports with an identifier above 4 get a TankGauge section after their KeyB;
// the port's FirmwareVersion then follows under a second header of the port's section.
bool HasTankGaugeSection(std::int32_t portId, bool pam);

// ---- Values -----------------------------------------------------------------------------

enum class ValueFormat {
    kText,         // the narrow form of the text (low byte per unit); null or empty: ""
    kInteger,      // "%d"; 16-bit fields sign-extended, so a 16-bit -1 is "-1"
    kFixed3,       // "%.3f" (the hose prices' "%0.3f" prints the same)
    kFixed5,       // "%.5f"
    kFixed1,       // "%.1f"
    kPanId,        // "0x%04X" of the low 32 bits of the 64-bit value
    kHex64,        // "0x" and the 64-bit value as 16 upper-case hexadecimal digits
    kChannelList,  // channels 11..26 of the mask (see ChannelList)
};

// Keys that are left out for some values.
enum class KeyCondition {
    kAlways,
    kAboveOneTenth,  // written only when the value is greater than 0.1 (hose prices)
};

// A field of the values struct `Values`, by its type.
template <typename Values>
using FieldOf = std::variant<std::int16_t Values::*, std::int32_t Values::*, std::int64_t Values::*,
                             double Values::*, Bstr Values::*>;

// One key of a section: its name, the field it carries and how the value is written.
template <typename Values>
struct KeyLayout {
    const char* key;
    FieldOf<Values> field;
    ValueFormat format;
    KeyCondition condition = KeyCondition::kAlways;
};

// The value of `field` as the file holds it; `out` receives it. See ValueFormat.
void FormatField(CounterString& out, ValueFormat format, std::int16_t value);
void FormatField(CounterString& out, ValueFormat format, std::int32_t value);
void FormatField(CounterString& out, ValueFormat format, std::int64_t value);
void FormatField(CounterString& out, ValueFormat format, double value);
void FormatField(CounterString& out, ValueFormat format, const Bstr& value);

// The `Channels` text of a channel mask: for each set bit b of bits 11 to 26, lowest first,
// the number b, the first preceded by one blank and each later one by a comma (bits 11, 15
// and 20 give " 11,15,20"); no such bit gives "". Other bits are ignored.
std::string ChannelList(std::int32_t mask);

// True when `condition` lets a key with `value` be written.
bool KeyIsWritten(KeyCondition condition, double value);

// Whether `format` can write a field of the type that `field` holds. The tables below are
// checked with it when compiled.
template <typename Values>
constexpr bool FormatFits(const KeyLayout<Values>& key) {
    switch (key.field.index()) {
        case 0:  // 16-bit
            return key.format == ValueFormat::kInteger;
        case 1:  // 32-bit
            return key.format == ValueFormat::kInteger || key.format == ValueFormat::kChannelList;
        case 2:  // 64-bit
            return key.format == ValueFormat::kPanId || key.format == ValueFormat::kHex64;
        case 3:  // double
            return key.format == ValueFormat::kFixed3 || key.format == ValueFormat::kFixed5 ||
                   key.format == ValueFormat::kFixed1;
        default:  // text
            return key.format == ValueFormat::kText;
    }
}

template <typename Values, std::size_t N>
constexpr bool FormatsFit(const KeyLayout<Values> (&keys)[N]) {
    for (const KeyLayout<Values>& key : keys) {
        if (!FormatFits(key) ||
            (key.condition != KeyCondition::kAlways && key.field.index() != 3)) {
            return false;
        }
    }
    return true;
}

// ---- Keys of the record sections, in file order -------------------------------------------

using VF = ValueFormat;

// Port%02d, from GetPortProperties. Its 16-bit fourth value is not written; the import reads
// it from kPortDeviceTypeKey, which exported files do not carry.
inline constexpr KeyLayout<PortValues> kPortKeys[] = {
    {"Number", &PortValues::number, VF::kInteger},
    {"Name", &PortValues::name, VF::kText},
    {"SerialNo", &PortValues::serialNo, VF::kText},
    {"ProtocolID", &PortValues::protocolId, VF::kInteger},
};
inline constexpr char kPortDeviceTypeKey[] = "DeviceType";

// Port%02d, continued from GetZB2GConfig.
inline constexpr KeyLayout<ZB2GValues> kZB2GKeys[] = {
    {"PanID", &ZB2GValues::panId, VF::kPanId},
    {"Channels", &ZB2GValues::channelMask, VF::kChannelList},
    {"KeyA", &ZB2GValues::keyA, VF::kHex64},
    {"KeyB", &ZB2GValues::keyB, VF::kHex64},
};

// TankGauge%02d, from the port's GetPortProperties.
inline constexpr KeyLayout<PortValues> kTankGaugeKeys[] = {
    {"Port", &PortValues::name, VF::kText},
    {"Protocol", &PortValues::protocolId, VF::kInteger},
};

// The last key of Port%02d and of ZigBee%02d, from GetDeviceDetails; left out when that
// call fails.
inline constexpr KeyLayout<DeviceDetailsValues> kFirmwareKeys[] = {
    {"FirmwareVersion", &DeviceDetailsValues::firmwareVersion, VF::kText},
};

// Grade%02d, from GetGradePropertiesEx, followed by the price keys (GradePriceKey).
inline constexpr KeyLayout<GradeValues> kGradeKeys[] = {
    {"Number", &GradeValues::number, VF::kInteger},       {"Name", &GradeValues::name, VF::kText},
    {"ShortName", &GradeValues::shortName, VF::kText},    {"Code", &GradeValues::code, VF::kText},
    {"GradeType", &GradeValues::gradeType, VF::kInteger},
};

// Price levels 1..8. The export writes "Price%02d" of each level whose price is not 0, with
// kGradePriceFormat.
inline constexpr int kPriceLevels = 8;
inline constexpr ValueFormat kGradePriceFormat = ValueFormat::kFixed3;
std::string GradePriceKey(int level);

// Tank%02d, from GetTankPropertiesEx2; its eight doubles after Diameter are not written.
inline constexpr KeyLayout<TankValues> kTankKeys[] = {
    {"Number", &TankValues::number, VF::kInteger},
    {"Name", &TankValues::name, VF::kText},
    {"Grade", &TankValues::gradeId, VF::kInteger},
    {"Type", &TankValues::type, VF::kInteger},
    {"Capacity", &TankValues::capacity, VF::kFixed3},
    {"Diameter", &TankValues::diameter, VF::kFixed3},
    {"TankGauge", &TankValues::tankGauge, VF::kInteger},
    {"Probe", &TankValues::probe, VF::kInteger},
    {"GaugeAlarmsMask", &TankValues::gaugeAlarmsMask, VF::kInteger},
    {"SlotZigBeeID", &TankValues::slotZigBeeId, VF::kInteger},
    {"ProbeType", &TankValues::probeType, VF::kInteger},
    {"ProbeSerialNo", &TankValues::probeSerialNo, VF::kInteger},
};

// ZigBee%02d, from GetZigBeeProperties, followed by kFirmwareKeys.
inline constexpr KeyLayout<ZigBeeValues> kZigBeeKeys[] = {
    {"Number", &ZigBeeValues::number, VF::kInteger},
    {"Name", &ZigBeeValues::name, VF::kText},
    {"DeviceType", &ZigBeeValues::deviceType, VF::kInteger},
    {"SerialNumber", &ZigBeeValues::serialNumber, VF::kText},
    {"NodeIdentifier", &ZigBeeValues::nodeIdentifier, VF::kText},
    {"PortID", &ZigBeeValues::portId, VF::kInteger},
};

// Pump%02d, from GetPumpPropertiesEx (Slot stands after Address in the file), followed by
// the keys of each hose.
inline constexpr KeyLayout<PumpValues> kPumpKeys[] = {
    {"Number", &PumpValues::number, VF::kInteger},
    {"Name", &PumpValues::name, VF::kText},
    {"PhysicalNumber", &PumpValues::physicalNumber, VF::kInteger},
    {"Side", &PumpValues::side, VF::kInteger},
    {"Address", &PumpValues::address, VF::kInteger},
    {"Slot", &PumpValues::slot, VF::kInteger},
    {"PriceLevel1", &PumpValues::priceLevel1, VF::kInteger},
    {"PriceLevel2", &PumpValues::priceLevel2, VF::kInteger},
    {"PriceDspFormat", &PumpValues::priceDspFormat, VF::kInteger},
    {"VolumeDspFormat", &PumpValues::volumeDspFormat, VF::kInteger},
    {"ValueDspFormat", &PumpValues::valueDspFormat, VF::kInteger},
    {"PumpType", &PumpValues::pumpType, VF::kInteger},
    {"PortID", &PumpValues::portId, VF::kInteger},
    {"AttendantID", &PumpValues::attendantId, VF::kInteger},
    {"AuthMode", &PumpValues::authMode, VF::kInteger},
    {"StackMode", &PumpValues::stackMode, VF::kInteger},
    {"PrepayAllowed", &PumpValues::prepayAllowed, VF::kInteger},
    {"PreauthAllowed", &PumpValues::preauthAllowed, VF::kInteger},
    {"MuxSlotZigBeeID", &PumpValues::muxSlotZigBeeId, VF::kInteger},
    {"PriceControl", &PumpValues::priceControl, VF::kInteger},
    {"HasPreset", &PumpValues::hasPreset, VF::kInteger},
};

// The keys of one hose inside its pump's section: HoseKeyPrefix of the hose's Number (not
// its position) followed by the suffix below ("Hose1ID", "Hose4Price2"). The hose's pump
// and its four doubles are not written.
inline constexpr KeyLayout<HoseValues> kHoseKeys[] = {
    {"ID", &HoseValues::id, VF::kInteger},
    {"Tank", &HoseValues::tankId, VF::kInteger},
    {"PhysicalNumber", &HoseValues::physicalNumber, VF::kInteger},
    {"Reader", &HoseValues::reader, VF::kInteger},
    {"Price1", &HoseValues::price1, VF::kFixed3, KeyCondition::kAboveOneTenth},
    {"Price2", &HoseValues::price2, VF::kFixed3, KeyCondition::kAboveOneTenth},
    {"Enabled", &HoseValues::enabled, VF::kInteger},
};
// "Hose" and the number without leading zeros ("Hose%d").
std::string HoseKeyPrefix(std::int32_t hoseNumber);

// Sensor%02d, from GetSensorPropertiesEx.
inline constexpr KeyLayout<SensorValues> kSensorKeys[] = {
    {"Number", &SensorValues::number, VF::kInteger},
    {"Name", &SensorValues::name, VF::kText},
    {"PortID", &SensorValues::portId, VF::kInteger},
    {"Type", &SensorValues::type, VF::kInteger},
    {"Address", &SensorValues::address, VF::kInteger},
    {"SensorNo", &SensorValues::sensorNo, VF::kInteger},
    {"SlotZigBeeID", &SensorValues::slotZigBeeId, VF::kInteger},
    {"SensorSerialNo", &SensorValues::sensorSerialNo, VF::kInteger},
};

// Attendant%02d, from GetAttendantPropertiesEx2. The type is written twice, as Enabled and
// as Type; the import takes Type and falls back to Enabled when Type is 0.
inline constexpr KeyLayout<AttendantValues> kAttendantKeys[] = {
    {"Number", &AttendantValues::number, VF::kInteger},
    {"Name", &AttendantValues::name, VF::kText},
    {"ShortName", &AttendantValues::shortName, VF::kText},
    {"Password", &AttendantValues::password, VF::kText},
    {"Tag", &AttendantValues::tag, VF::kText},
    {"IDNumber", &AttendantValues::idNumber, VF::kText},
    {"ShiftAStart", &AttendantValues::shiftAStart, VF::kInteger},
    {"ShiftAEnd", &AttendantValues::shiftAEnd, VF::kInteger},
    {"ShiftBStart", &AttendantValues::shiftBStart, VF::kInteger},
    {"ShiftBEnd", &AttendantValues::shiftBEnd, VF::kInteger},
    {"Enabled", &AttendantValues::type, VF::kInteger},
    {"Type", &AttendantValues::type, VF::kInteger},
};

// Client%03d, from GetCardClientPropertiesEx4, in the call's own order. ExpirationDate is
// the OLE automation date written as the number itself.
inline constexpr KeyLayout<CardClientValues> kCardClientKeys[] = {
    {"Number", &CardClientValues::number, VF::kInteger},
    {"Name", &CardClientValues::name, VF::kText},
    {"Tag", &CardClientValues::tag, VF::kText},
    {"Enabled", &CardClientValues::enabled, VF::kInteger},
    {"PriceLevel", &CardClientValues::priceLevel, VF::kInteger},
    {"Plate", &CardClientValues::plate, VF::kText},
    {"IDNumber", &CardClientValues::idNumber, VF::kText},
    {"ShortName", &CardClientValues::shortName, VF::kText},
    {"Password", &CardClientValues::password, VF::kText},
    {"GradeType", &CardClientValues::gradeType, VF::kInteger},
    {"CardType", &CardClientValues::cardType, VF::kInteger},
    {"LimitType", &CardClientValues::limitType, VF::kInteger},
    {"Limit", &CardClientValues::limit, VF::kFixed3},
    {"EntryType", &CardClientValues::entryType, VF::kInteger},
    {"ExpirationDate", &CardClientValues::expirationDate, VF::kFixed5},
    {"ParentID", &CardClientValues::parentId, VF::kInteger},
    {"VimoSerialNo", &CardClientValues::vimoSerialNo, VF::kText},
    {"Odometer", &CardClientValues::odometer, VF::kFixed1},
    {"Factor", &CardClientValues::factor, VF::kInteger},
};

// Product%03d, from GetProductProperties.
inline constexpr KeyLayout<ProductValues> kProductKeys[] = {
    {"Number", &ProductValues::number, VF::kInteger},
    {"Name", &ProductValues::name, VF::kText},
    {"Tag", &ProductValues::tag, VF::kText},
    {"Enabled", &ProductValues::enabled, VF::kInteger},
    {"ShortName", &ProductValues::shortName, VF::kText},
    {"Barcode", &ProductValues::barcode, VF::kText},
    {"Price1", &ProductValues::price1, VF::kFixed3},
    {"Price2", &ProductValues::price2, VF::kFixed3},
    {"ProductGroup", &ProductValues::productGroup, VF::kInteger},
};

static_assert(FormatsFit(kPortKeys) && FormatsFit(kZB2GKeys) && FormatsFit(kTankGaugeKeys) &&
              FormatsFit(kFirmwareKeys) && FormatsFit(kGradeKeys) && FormatsFit(kTankKeys) &&
              FormatsFit(kZigBeeKeys) && FormatsFit(kPumpKeys) && FormatsFit(kHoseKeys) &&
              FormatsFit(kSensorKeys) && FormatsFit(kAttendantKeys) &&
              FormatsFit(kCardClientKeys) && FormatsFit(kProductKeys));

}  // namespace config_layout
