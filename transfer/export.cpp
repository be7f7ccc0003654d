// Brenkar's export: every record kind of the controller, in file order, through the Kestro
// getters into the configuration file, written beside the target and put in its place only
// when complete.
#include "transfer/export.h"

#include <cstdio>
#include <cstring>

#include "client/kestro.h"
#include "common/date_time_value.h"
#include "platform/atomic_file.h"
#include "transfer/check_result.h"
#include "transfer/config_layout.h"
#include "transfer/config_values.h"
#include "transfer/config_writer.h"
#include "transfer/version_only.h"

namespace layout = config_layout;

namespace {

// The product queries' filter arguments: any group, enabled or not, with or without barcode,
// from the first product, no limit, any terminal.
constexpr std::int32_t kAnyGroup = -1;
constexpr std::int32_t kEnabledOrNot = 0;
constexpr std::int32_t kWithOrWithoutBarcode = 0;
constexpr std::int32_t kFromFirstProduct = 0;
constexpr std::int32_t kNoLimit = 0;
constexpr std::int32_t kAnyTerminal = -1;

// GetDeviceDetails' device argument for the port's own device.
constexpr std::int32_t kPortItself = -1;

void ReportFileFailure(const char* file, int error) {
    std::printf("Cannot write the file %s - %s.\n", file, std::strerror(error));
}

void ReportFileFailure(const char* file, const AtomicFile& replacement) {
    if (replacement.GetFailure() == AtomicFile::Failure::kBusy) {
        std::printf("Cannot write the file %s - another export is writing it.\n", file);
    } else {
        std::printf("Cannot write the file %s - %s.\n", file, replacement.FailureText().c_str());
    }
}

class Exporter;

// One record kind of the export, in file order: how to count its records and find each by
// ordinal, how to read and write one, the labels of a failed count or by-ordinal call (as
// CheckResult prints them) and the noun of its count line. The labels and nouns are the
// program's established texts, odd ones included: the file's users and their scripts read
// them as they are.
struct KindExport {
    const char* countFailure;
    std::int32_t (*count)(std::int32_t* count);
    const char* byOrdinalFailure;
    std::int32_t (*byOrdinal)(std::int32_t ordinal, std::int32_t* id);
    bool (Exporter::*write)(std::int32_t id);
    bool inVersion;          // VERSION exports it too (the other kinds are only counted)
    const char* countNoun;   // "\n%3d <noun> exported successfully.\n"; null: no count line
    bool countLineWhenNone;  // the count line also for 0 records
};

// The product queries take filters; the export asks for every product.
std::int32_t CountEveryProduct(std::int32_t* count) {
    return GetProductsCount(count, kAnyGroup, kEnabledOrNot, kWithOrWithoutBarcode,
                            kFromFirstProduct, kNoLimit, kAnyTerminal);
}

std::int32_t EveryProductByOrdinal(std::int32_t ordinal, std::int32_t* productId) {
    return GetProductByOrdinal(ordinal, productId, kAnyGroup, kEnabledOrNot, kWithOrWithoutBarcode,
                               kFromFirstProduct, kNoLimit, kAnyTerminal);
}

// One export run over an open writer. Every step returns false when the export must stop:
// a failed call (CheckResult printed it) or a failed write (printed here).
class Exporter {
  public:
    Exporter(const char* path, const char* target, bool pam, bool company, bool gsc, bool ipt)
        : writer_(path), target_(target), pam_(pam), company_(company), gsc_(gsc), ipt_(ipt) {}

    bool Run();

    std::int64_t ExpectedSize() const { return writer_.ExpectedSize(); }
    void Close() { writer_.Close(); }

    // Record writers of the kind table: read record `id` through its getters and write its
    // sections.
    bool WritePort(std::int32_t portId);
    bool WriteGrade(std::int32_t gradeId);
    bool WriteTank(std::int32_t tankId);
    bool WriteZigBee(std::int32_t deviceId);
    bool WritePump(std::int32_t pumpId);
    bool WriteSensor(std::int32_t sensorId);
    bool WriteAttendant(std::int32_t attendantId);
    bool WriteCardClient(std::int32_t clientId);
    bool WriteProduct(std::int32_t productId);

  private:
    // Passes on a write's outcome, reporting a failure on the console.
    bool Written(bool written) {
        if (!written) {
            ReportFileFailure(target_, writer_.Error());
        }
        return written;
    }

    template <typename Values, std::size_t N>
    bool WriteKeys(const layout::KeyLayout<Values> (&keys)[N], const Values& values,
                   const std::string& keyPrefix = "") {
        return Written(writer_.WriteKeys(keys, values, keyPrefix));
    }

    bool WriteText(const char* key, const char* text) {
        return Written(writer_.WriteKey(key, text));
    }

    bool WriteText(const char* key, const Bstr& text) {
        return Written(writer_.WriteKey(key, TextOf(text)));
    }

    // ---- Version information and service sections --------------------------------------

    bool WriteApplication() {
        writer_.SelectSection(layout::kApplicationSection);
        DateTimeValue now;
        now.Now();
        if (!WriteText(layout::kApplicationNameKey, layout::kApplicationName) ||
            !WriteText(layout::kIniVersionKey, layout::kIniVersion) ||
            !WriteText(layout::kDateGeneratedKey, now.Format(nullptr, nullptr))) {
            return false;
        }
        Bstr clientVersion;
        if (!CheckResult("DllVersion failed.", DllVersion(clientVersion.Out())) ||
            !WriteText(layout::kClientVersionKey, clientVersion)) {
            return false;
        }
        Bstr serverVersion;
        return CheckResult("ServerVersion failed.", ServerVersion(serverVersion.Out())) &&
               WriteText(layout::kServerVersionKey, serverVersion);
    }

    bool WriteServiceSections() {
        for (const layout::FixedKey& key : layout::ServiceSectionKeys(pam_, company_, gsc_, ipt_)) {
            writer_.SelectSection(key.section);
            if (!WriteText(key.key, key.value)) {
                return false;
            }
        }
        return true;
    }

    bool ExportKind(const KindExport& kind);
    bool WriteHose(std::int32_t pumpId, std::int32_t position);

    ConfigWriter writer_;
    const char* target_;
    bool pam_;
    bool company_;
    bool gsc_;
    bool ipt_;
};

// Noted labels are the program's established texts and stay as they are: "GetGradesCount
// failed" without a full stop, "GetCardClient failed." for the by-ordinal call, the
// capitalised nouns of five count lines ("Tanks", "Pumps", "Sensors", "Attendants",
// "Clients").
constexpr KindExport kKinds[] = {
    {"GetPortsCount failed.", GetPortsCount, "GetPortByOrdinal failed.", GetPortByOrdinal,
     &Exporter::WritePort, true, "ports", true},
    {"GetGradesCount failed", GetGradesCount, "GetGradeByOrdinal failed.", GetGradeByOrdinal,
     &Exporter::WriteGrade, false, "grades", false},
    {"GetTanksCount failed.", GetTanksCount, "GetTankByOrdinal failed.", GetTankByOrdinal,
     &Exporter::WriteTank, false, "Tanks", false},
    {"GetZigBeeCount failed.", GetZigBeeCount, "GetZigBeeByOrdinal failed.", GetZigBeeByOrdinal,
     &Exporter::WriteZigBee, true, "ZigBee devices", false},
    {"GetPumpsCount failed.", GetPumpsCount, "GetPumpByOrdinal failed.", GetPumpByOrdinal,
     &Exporter::WritePump, false, "Pumps", false},
    {"GetSensorsCount failed.", GetSensorsCount, "GetSensorByOrdinal failed.", GetSensorByOrdinal,
     &Exporter::WriteSensor, false, "Sensors", false},
    {"GetAttendantsCount failed.", GetAttendantsCount, "GetAttendantByOrdinal failed.",
     GetAttendantByOrdinal, &Exporter::WriteAttendant, false, "Attendants", false},
    {"GetCardClientsCount failed.", GetCardClientsCount, "GetCardClient failed.",
     GetCardClientByOrdinal, &Exporter::WriteCardClient, false, "Clients", false},
    {"GetProductsCount failed.", CountEveryProduct, "GetProductByOrdinal failed.",
     EveryProductByOrdinal, &Exporter::WriteProduct, false, nullptr, false},
};

bool Exporter::Run() {
    if (!WriteApplication() || !WriteServiceSections()) {
        return false;
    }
    for (const KindExport& kind : kKinds) {
        if (!ExportKind(kind)) {
            return false;
        }
    }
    return true;
}

// Count, then one dot and one record per ordinal, then the count line. Under VERSION a kind
// that is not written is still counted: a failed count stops the export there too.
bool Exporter::ExportKind(const KindExport& kind) {
    std::int32_t count = 0;
    if (!CheckResult(kind.countFailure, kind.count(&count))) {
        return false;
    }
    if (!kind.inVersion && VersionOnly) {
        return true;
    }
    for (std::int32_t ordinal = 1; ordinal <= count; ++ordinal) {
        std::printf(".");
        std::int32_t id = -1;
        if (!CheckResult(kind.byOrdinalFailure, kind.byOrdinal(ordinal, &id)) ||
            !(this->*kind.write)(id)) {
            return false;
        }
    }
    if (kind.countNoun != nullptr && (count > 0 || kind.countLineWhenNone)) {
        std::printf("\n%3d %s exported successfully.\n", count, kind.countNoun);
    }
    return true;
}

// ---- Record writers -------------------------------------------------------------------------

bool Exporter::WritePort(std::int32_t portId) {
    {
        PortValues port;
        if (!CheckResult("GetPortProperties failed.",
                         GetPortProperties(portId, &port.number, port.name.Out(), &port.protocolId,
                                           &port.deviceType, port.serialNo.Out()))) {
            return false;
        }
        ZB2GValues radio;
        if (!CheckResult("GetZB2GConfig failed.",
                         GetZB2GConfig(portId, &radio.panId, &radio.channelMask, &radio.keyA,
                                       &radio.keyB))) {
            return false;
        }
        writer_.SelectSection(layout::SectionName(layout::kPortSection, portId));
        if (!WriteKeys(layout::kPortKeys, port) || !WriteKeys(layout::kZB2GKeys, radio)) {
            return false;
        }
        if (layout::HasTankGaugeSection(portId, pam_)) {
            writer_.SelectSection(layout::SectionName(layout::kTankGaugeSection, portId));
            if (!WriteKeys(layout::kTankGaugeKeys, port)) {
                return false;
            }
        }
    }
    // A device that cannot report its details costs only its FirmwareVersion key.
    DeviceDetailsValues details;
    if (CheckResult(
            "GetDeviceDetails failed.",
            GetDeviceDetails(portId, kPortItself, details.model.Out(),
                             details.hardwareVersion.Out(), details.firmwareVersion.Out()))) {
        writer_.SelectSection(layout::SectionName(layout::kPortSection, portId));
        return WriteKeys(layout::kFirmwareKeys, details);
    }
    return true;
}

bool Exporter::WriteGrade(std::int32_t gradeId) {
    {
        GradeValues grade;
        if (!CheckResult(
                "GetGradePropertiesEx failed.",
                GetGradePropertiesEx(gradeId, &grade.number, grade.name.Out(),
                                     grade.shortName.Out(), grade.code.Out(), &grade.gradeType))) {
            return false;
        }
        writer_.SelectSection(layout::SectionName(layout::kGradeSection, gradeId));
        if (!WriteKeys(layout::kGradeKeys, grade)) {
            return false;
        }
    }
    for (int level = 1; level <= layout::kPriceLevels; ++level) {
        double price = 0;
        if (!CheckResult("GetGradePrice failed.",
                         GetGradePrice(gradeId, static_cast<std::int16_t>(level), &price))) {
            return false;
        }
        if (price != 0 && !Written(writer_.WriteValue(layout::GradePriceKey(level).c_str(),
                                                      layout::kGradePriceFormat, price))) {
            return false;
        }
    }
    return true;
}

bool Exporter::WriteTank(std::int32_t tankId) {
    TankValues tank;
    if (!CheckResult(
            "GetTankPropertiesEx2 failed.",
            GetTankPropertiesEx2(
                tankId, &tank.number, tank.name.Out(), &tank.gradeId, &tank.type, &tank.capacity,
                &tank.diameter, &tank.height, &tank.theoreticalCapacity, &tank.lowLevelAlarm,
                &tank.highLevelAlarm, &tank.lowLowLevelAlarm, &tank.highHighLevelAlarm,
                &tank.highWaterAlarm, &tank.thermalCoefficient, &tank.tankGauge, &tank.probe,
                &tank.gaugeAlarmsMask, &tank.slotZigBeeId, &tank.probeType, &tank.probeSerialNo))) {
        return false;
    }
    writer_.SelectSection(layout::SectionName(layout::kTankSection, tankId));
    return WriteKeys(layout::kTankKeys, tank);
}

bool Exporter::WriteZigBee(std::int32_t deviceId) {
    std::int32_t portId = -1;
    {
        ZigBeeValues device;
        if (!CheckResult("GetZigBeeProperties failed.",
                         GetZigBeeProperties(deviceId, &device.number, device.name.Out(),
                                             &device.deviceType, device.serialNumber.Out(),
                                             device.nodeIdentifier.Out(), &device.portId))) {
            return false;
        }
        writer_.SelectSection(layout::SectionName(layout::kZigBeeSection, deviceId));
        if (!WriteKeys(layout::kZigBeeKeys, device)) {
            return false;
        }
        portId = device.portId;
    }
    DeviceDetailsValues details;
    if (CheckResult(
            "GetDeviceDetails failed.",
            GetDeviceDetails(portId, deviceId, details.model.Out(), details.hardwareVersion.Out(),
                             details.firmwareVersion.Out()))) {
        return WriteKeys(layout::kFirmwareKeys, details);
    }
    return true;
}

bool Exporter::WritePump(std::int32_t pumpId) {
    {
        PumpValues pump;
        if (!CheckResult(
                "GetPumpProperties failed.",  // the program's established label for the Ex call
                GetPumpPropertiesEx(pumpId, &pump.number, pump.name.Out(), &pump.physicalNumber,
                                    &pump.side, &pump.address, &pump.priceLevel1, &pump.priceLevel2,
                                    &pump.priceDspFormat, &pump.volumeDspFormat,
                                    &pump.valueDspFormat, &pump.pumpType, &pump.portId,
                                    &pump.attendantId, &pump.authMode, &pump.stackMode,
                                    &pump.prepayAllowed, &pump.preauthAllowed, &pump.slot,
                                    &pump.muxSlotZigBeeId, &pump.priceControl, &pump.hasPreset))) {
            return false;
        }
        writer_.SelectSection(layout::SectionName(layout::kPumpSection, pumpId));
        if (!WriteKeys(layout::kPumpKeys, pump)) {
            return false;
        }
    }
    std::int32_t hoses = 0;
    if (!CheckResult("GetPumpHosesCount failed.", GetPumpHosesCount(pumpId, &hoses))) {
        return false;
    }
    for (std::int32_t position = 1; position <= hoses; ++position) {
        if (!WriteHose(pumpId, position)) {
            return false;
        }
    }
    return true;
}

bool Exporter::WriteHose(std::int32_t pumpId, std::int32_t position) {
    HoseValues hose;
    if (!CheckResult("GetPumpHoseByNumber failed.",
                     GetPumpHoseByNumber(pumpId, position, &hose.id))) {
        return false;
    }
    if (!CheckResult("GetHosePropertiesEx2 failed.",
                     GetHosePropertiesEx2(hose.id, &hose.number, &hose.pumpId, &hose.tankId,
                                          &hose.physicalNumber, &hose.volumeTotal, &hose.valueTotal,
                                          &hose.volumeFactor, &hose.valueFactor, &hose.reader,
                                          &hose.price1, &hose.price2, &hose.enabled))) {
        return false;
    }
    // Named by the hose's own number, which may differ from its position.
    return WriteKeys(layout::kHoseKeys, hose, layout::HoseKeyPrefix(hose.number));
}

bool Exporter::WriteSensor(std::int32_t sensorId) {
    SensorValues sensor;
    if (!CheckResult(
            "GetSensorProperties failed.",  // established label for the Ex call
            GetSensorPropertiesEx(sensorId, &sensor.number, sensor.name.Out(), &sensor.portId,
                                  &sensor.type, &sensor.address, &sensor.sensorNo,
                                  &sensor.slotZigBeeId, &sensor.sensorSerialNo))) {
        return false;
    }
    writer_.SelectSection(layout::SectionName(layout::kSensorSection, sensorId));
    return WriteKeys(layout::kSensorKeys, sensor);
}

bool Exporter::WriteAttendant(std::int32_t attendantId) {
    AttendantValues attendant;
    if (!CheckResult("GetAttendantPropertiesEx failed.",  // established label for the Ex2 call
                     GetAttendantPropertiesEx2(
                         attendantId, &attendant.number, attendant.name.Out(),
                         attendant.shortName.Out(), attendant.password.Out(), attendant.tag.Out(),
                         attendant.idNumber.Out(), &attendant.shiftAStart, &attendant.shiftAEnd,
                         &attendant.shiftBStart, &attendant.shiftBEnd, &attendant.type))) {
        return false;
    }
    writer_.SelectSection(layout::SectionName(layout::kAttendantSection, attendantId));
    return WriteKeys(layout::kAttendantKeys, attendant);
}

bool Exporter::WriteCardClient(std::int32_t clientId) {
    CardClientValues client;
    if (!CheckResult(
            "GetCardClientPropertiesEx4 failed.",
            GetCardClientPropertiesEx4(
                clientId, &client.number, client.name.Out(), client.tag.Out(), &client.enabled,
                &client.priceLevel, client.plate.Out(), client.idNumber.Out(),
                client.shortName.Out(), client.password.Out(), &client.gradeType, &client.cardType,
                &client.limitType, &client.limit, &client.entryType, &client.expirationDate,
                &client.parentId, client.vimoSerialNo.Out(), &client.odometer, &client.factor))) {
        return false;
    }
    writer_.SelectSection(layout::SectionName(layout::kClientSection, clientId));
    return WriteKeys(layout::kCardClientKeys, client);
}

bool Exporter::WriteProduct(std::int32_t productId) {
    ProductValues product;
    if (!CheckResult(
            "GetProductProperties failed.",
            GetProductProperties(productId, &product.number, product.name.Out(), product.tag.Out(),
                                 &product.enabled, product.shortName.Out(), product.barcode.Out(),
                                 &product.price1, &product.price2, &product.productGroup))) {
        return false;
    }
    writer_.SelectSection(layout::SectionName(layout::kProductSection, productId));
    return WriteKeys(layout::kProductKeys, product);
}

}  // namespace

std::int32_t ExportConfiguration(const char* iniFile, bool pam, bool company, bool gsc, bool ipt) {
    AtomicFile file(iniFile);
    if (!file.Create()) {
        ReportFileFailure(iniFile, file);
        return -1;
    }
    std::int64_t expectedSize = 0;
    {
        Exporter exporter(file.PartialPath().c_str(), iniFile, pam, company, gsc, ipt);
        if (!exporter.Run()) {
            return -1;  // the partial file keeps what was written so far
        }
        exporter.Close();
        expectedSize = exporter.ExpectedSize();
    }
    if (!file.Commit(expectedSize)) {
        ReportFileFailure(iniFile, file);
        return -1;
    }
    std::printf("\nAll done.\n");
    return 0;
}
