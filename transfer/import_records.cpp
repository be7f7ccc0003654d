// The importers of the configuration records: one section in, one setter call out (pumps:
// one for the pump and one per hose).
#include "transfer/import_records.h"

#include <cstdio>
#include <string>

#include "client/kestro.h"
#include "transfer/check_result.h"
#include "transfer/config_layout.h"
#include "transfer/config_values.h"
#include "transfer/imported_records.h"
#include "transfer/record_reader.h"

using namespace config_layout;
using record_reader::ReadAmount;
using record_reader::ReadInt16;
using record_reader::ReadKeys;

namespace {

// The key that tells a record present: its real values are never below 1.
constexpr char kNumberKey[] = "Number";
// The attendant's type written a second time, under its older name (see kAttendantKeys).
constexpr char kAttendantEnabledKey[] = "Enabled";
// Hose positions of a pump that the import reads.
constexpr int kHosePositions = 8;
// The tank's and the hose's values that the file does not carry are passed as this.
constexpr double kNotCarried = 0.0;

// Selects `section` and tells whether its record is present (Number 1 or more).
bool SelectRecord(IniDocument& document, const std::string& section) {
    document.SelectSection(section.c_str());
    return document.GetInt(kNumberKey) >= 1;
}

bool SelectRecord(IniDocument& document, SectionPattern pattern, std::int32_t id) {
    return SelectRecord(document, SectionName(pattern, id));
}

RecordImport Outcome(bool written) {
    return written ? RecordImport::kImported : RecordImport::kEndImport;
}


// The outcome of a port's, grade's or tank's setter: a failure skips the record.
RecordImport Written(bool written) {
    return written ? RecordImport::kImported : RecordImport::kSkipped;
}

}  // namespace

// The protocol and the probe serial number once passed as 16-bit values widened again, so
// that 40000 came back as -25536: the full 32-bit value of the file is passed instead.
RecordImport ImportPort(IniDocument& document, std::int32_t id) {
    if (!SelectRecord(document, kPortSection, id)) {
        return RecordImport::kAbsent;
    }
    PortValues port;
    ReadKeys(document, kPortKeys, port);
    port.deviceType = ReadInt16(document, kPortDeviceTypeKey);
    return Written(CheckResult("SetPortProperties failed",
                               SetPortProperties(id, port.number, port.name.Get(), port.protocolId,
                                                 port.deviceType, port.serialNo.Get())));
}

RecordImport ImportGrade(IniDocument& document, std::int32_t id) {
    if (ImportedGrades().Contains(id)) {
        return RecordImport::kImported;
    }
    if (!SelectRecord(document, kGradeSection, id)) {
        return RecordImport::kAbsent;
    }
    GradeValues grade;
    ReadKeys(document, kGradeKeys, grade);
    if (!CheckResult("SetGradePropertiesEx failed.",
                     SetGradePropertiesEx(id, grade.number, grade.name.Get(), grade.shortName.Get(),
                                          grade.code.Get(), grade.gradeType))) {
        return RecordImport::kSkipped;
    }
    // The levels end at the first one without a positive price, even when later levels
    // have one (the export leaves out a zero price and goes on).
    for (int level = 1; level <= kPriceLevels; ++level) {
        const double price = ReadAmount(document, GradePriceKey(level).c_str());
        if (!(price > 0)) {
            break;
        }
        if (!CheckResult("SetGradePrice failed.",
                         SetGradePrice(id, static_cast<std::int16_t>(level), price))) {
            return RecordImport::kSkipped;
        }
    }
    ImportedGrades().Record(id);
    return RecordImport::kImported;
}

RecordImport ImportTank(IniDocument& document, std::int32_t id) {
    if (ImportedTanks().Contains(id)) {
        return RecordImport::kImported;
    }
    if (!SelectRecord(document, kTankSection, id)) {
        return RecordImport::kAbsent;
    }
    TankValues tank;
    ReadKeys(document, kTankKeys, tank);
    // A tank left out without a word made a restore that lost it look whole.
    if (ImportGrade(document, tank.gradeId) != RecordImport::kImported) {
        std::printf("Tank %d: grade %d could not be imported.\n", id, tank.gradeId);
        return RecordImport::kSkipped;
    }
    if (!CheckResult(
            "SetTankPropertiesEx2 failed.",
            SetTankPropertiesEx2(id, tank.number, tank.name.Get(), tank.gradeId, tank.type,
                                 tank.capacity, tank.diameter, kNotCarried, kNotCarried,
                                 kNotCarried, kNotCarried, kNotCarried, kNotCarried, kNotCarried,
                                 kNotCarried, tank.tankGauge, tank.probe, tank.gaugeAlarmsMask,
                                 tank.slotZigBeeId, tank.probeType, tank.probeSerialNo))) {
        return RecordImport::kSkipped;
    }
    ImportedTanks().Record(id);
    return RecordImport::kImported;
}

RecordImport ImportZigBee(IniDocument& document, std::int32_t id) {
    if (!SelectRecord(document, kZigBeeSection, id)) {
        return RecordImport::kAbsent;
    }
    ZigBeeValues device;
    ReadKeys(document, kZigBeeKeys, device);
    return Outcome(CheckResult("SetZigBeeProperties failed.",
                               SetZigBeeProperties(id, device.number, device.name.Get(),
                                                   device.deviceType, device.serialNumber.Get(),
                                                   device.nodeIdentifier.Get(), device.portId)));
}

RecordImport ImportPump(IniDocument& document, std::int32_t id) {
    const std::string section = SectionName(kPumpSection, id);
    if (!SelectRecord(document, section)) {
        return RecordImport::kAbsent;
    }
    PumpValues pump;
    ReadKeys(document, kPumpKeys, pump);
    if (!CheckResult(
            "SetPumpPropertiesEx failed.",
            SetPumpPropertiesEx(id, pump.number, pump.name.Get(), pump.physicalNumber, pump.side,
                                pump.address, pump.priceLevel1, pump.priceLevel2,
                                pump.priceDspFormat, pump.volumeDspFormat, pump.valueDspFormat,
                                pump.pumpType, pump.portId, pump.attendantId, pump.authMode,
                                pump.stackMode, pump.prepayAllowed, pump.preauthAllowed, pump.slot,
                                pump.muxSlotZigBeeId, pump.priceControl, pump.hasPreset))) {
        return RecordImport::kEndImport;
    }
    // Hoses are read by position 1, 2, ...; the first position without a hose ends the list,
    // so hoses numbered 1, 2 and 4 give hoses 1 and 2.
    for (int position = 1; position <= kHosePositions; ++position) {
        HoseValues hose;
        ReadKeys(document, kHoseKeys, hose, HoseKeyPrefix(position));
        if (hose.id < 1) {
            break;
        }
        if (ImportTank(document, hose.tankId) != RecordImport::kImported) {
            std::printf("Pump %d hose %d: tank %d could not be imported.\n", id, position,
                        hose.tankId);
            return RecordImport::kEndImport;
        }
        document.SelectSection(section.c_str());  // the tank import may have selected another
        if (!CheckResult(
                "SetHosePropertiesEx2 failed.",
                SetHosePropertiesEx2(hose.id, position, id, hose.tankId, hose.physicalNumber,
                                     kNotCarried, kNotCarried, kNotCarried, kNotCarried,
                                     hose.reader, hose.price1, hose.price2, hose.enabled))) {
            return RecordImport::kEndImport;
        }
    }
    return RecordImport::kImported;
}

RecordImport ImportSensor(IniDocument& document, std::int32_t id) {
    if (!SelectRecord(document, kSensorSection, id)) {
        return RecordImport::kAbsent;
    }
    SensorValues sensor;
    ReadKeys(document, kSensorKeys, sensor);
    return Outcome(
        CheckResult("SetSensorPropertiesEx failed.",
                    SetSensorPropertiesEx(id, sensor.number, sensor.name.Get(), sensor.portId,
                                          sensor.type, sensor.address, sensor.sensorNo,
                                          sensor.slotZigBeeId, sensor.sensorSerialNo)));
}

RecordImport ImportAttendant(IniDocument& document, std::int32_t id) {
    if (!SelectRecord(document, kAttendantSection, id)) {
        return RecordImport::kAbsent;
    }
    AttendantValues attendant;
    ReadKeys(document, kAttendantKeys, attendant);  // Type, the later key, decides
    if (attendant.type == 0) {
        attendant.type = ReadInt16(document, kAttendantEnabledKey);
    }
    return Outcome(CheckResult(
        "SetAttendantPropertiesEx2 failed.",
        SetAttendantPropertiesEx2(id, attendant.number, attendant.name.Get(),
                                  attendant.shortName.Get(), attendant.password.Get(),
                                  attendant.tag.Get(), attendant.idNumber.Get(),
                                  attendant.shiftAStart, attendant.shiftAEnd, attendant.shiftBStart,
                                  attendant.shiftBEnd, attendant.type)));
}

RecordImport ImportCardClient(IniDocument& document, std::int32_t id) {
    if (!SelectRecord(document, kClientSection, id)) {
        return RecordImport::kAbsent;
    }
    CardClientValues client;
    ReadKeys(document, kCardClientKeys, client);
    return Outcome(CheckResult(
        "SetCardClientPropertiesEx4 failed.",
        SetCardClientPropertiesEx4(
            id, client.number, client.name.Get(), client.tag.Get(), client.enabled,
            client.priceLevel, client.plate.Get(), client.idNumber.Get(), client.shortName.Get(),
            client.password.Get(), client.gradeType, client.cardType, client.limitType,
            client.limit, client.entryType, client.expirationDate, client.parentId,
            client.vimoSerialNo.Get(), client.odometer, client.factor)));
}

RecordImport ImportProduct(IniDocument& document, std::int32_t id) {
    if (!SelectRecord(document, kProductSection, id)) {
        return RecordImport::kAbsent;
    }
    ProductValues product;
    ReadKeys(document, kProductKeys, product);
    return Outcome(CheckResult(
        "SetProductProperties failed.",
        SetProductProperties(id, product.number, product.name.Get(), product.tag.Get(),
                             product.enabled, product.shortName.Get(), product.barcode.Get(),
                             product.price1, product.price2, product.productGroup)));
}
