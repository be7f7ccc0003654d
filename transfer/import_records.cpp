// The importers of the configuration records: one section in, one setter call out (pumps:
// one for the pump and one per hose).
#include "transfer/import_records.h"

#include <string>

#include "transfer/config_layout.h"
#include "transfer/config_values.h"
#include "transfer/imported_records.h"

using namespace config_layout;

namespace {

// The attendant's type written a second time, under its older name (see kAttendantKeys).
constexpr char kAttendantEnabledKey[] = "Enabled";
// Hose positions of a pump that the import reads.
constexpr int kHosePositions = 8;

RecordImport Outcome(bool written) {
    return written ? RecordImport::kImported : RecordImport::kEndImport;
}

// The outcome of a port's, grade's or tank's setter: a failure skips the record.
RecordImport Written(bool written) {
    return written ? RecordImport::kImported : RecordImport::kSkipped;
}

// Values read after a failed read may be missing or cut: none of them reaches a setter.
bool ReadIntact(const ImportRun& run) {
    return !run.reader.ReadFailed();
}

}  // namespace

// The protocol and the probe serial number once passed as 16-bit values widened again, so
// that 40000 came back as -25536: the full 32-bit value of the file is passed instead.
RecordImport ImportPort(ImportRun& run, std::int32_t id) {
    if (!run.reader.SelectRecord(kPortSection, id)) {
        return RecordImport::kAbsent;
    }
    PortValues port;
    run.reader.ReadKeys(kPortKeys, port);
    port.deviceType = run.reader.ReadInt16(kPortDeviceTypeKey);
    if (!ReadIntact(run)) {
        return RecordImport::kReadFailed;
    }
    return Written(run.target.SetPort(id, port));
}

RecordImport ImportGrade(ImportRun& run, std::int32_t id) {
    if (ImportedGrades().Contains(id)) {
        return RecordImport::kImported;
    }
    if (!run.reader.SelectRecord(kGradeSection, id)) {
        return RecordImport::kAbsent;
    }
    GradeValues grade;
    run.reader.ReadKeys(kGradeKeys, grade);
    if (!ReadIntact(run)) {
        return RecordImport::kReadFailed;
    }
    if (!run.target.SetGrade(id, grade)) {
        return RecordImport::kSkipped;
    }
    // The levels end at the first one without a positive price, even when later levels
    // have one (the export leaves out a zero price and goes on).
    for (int level = 1; level <= kPriceLevels; ++level) {
        const double price = run.reader.ReadAmount(GradePriceKey(level));
        if (!(price > 0)) {
            break;
        }
        if (!ReadIntact(run)) {
            return RecordImport::kReadFailed;
        }
        if (!run.target.SetGradePrice(id, level, price)) {
            return RecordImport::kSkipped;
        }
    }
    ImportedGrades().Record(id);
    return RecordImport::kImported;
}

RecordImport ImportTank(ImportRun& run, std::int32_t id) {
    if (ImportedTanks().Contains(id)) {
        return RecordImport::kImported;
    }
    if (!run.reader.SelectRecord(kTankSection, id)) {
        return RecordImport::kAbsent;
    }
    TankValues tank;
    run.reader.ReadKeys(kTankKeys, tank);
    // A tank left out without a word made a restore that lost it look whole.
    const RecordImport grade = ImportGrade(run, tank.gradeId);
    if (grade == RecordImport::kReadFailed) {
        return grade;
    }
    if (grade != RecordImport::kImported) {
        run.target.TankGradeMissing(id, tank.gradeId);
        return RecordImport::kSkipped;
    }
    if (!ReadIntact(run)) {
        return RecordImport::kReadFailed;
    }
    if (!run.target.SetTank(id, tank)) {
        return RecordImport::kSkipped;
    }
    ImportedTanks().Record(id);
    return RecordImport::kImported;
}

RecordImport ImportZigBee(ImportRun& run, std::int32_t id) {
    if (!run.reader.SelectRecord(kZigBeeSection, id)) {
        return RecordImport::kAbsent;
    }
    ZigBeeValues device;
    run.reader.ReadKeys(kZigBeeKeys, device);
    if (!ReadIntact(run)) {
        return RecordImport::kReadFailed;
    }
    return Outcome(run.target.SetZigBee(id, device));
}

RecordImport ImportPump(ImportRun& run, std::int32_t id) {
    const std::string section = SectionName(kPumpSection, id);
    if (!run.reader.SelectRecord(section)) {
        return RecordImport::kAbsent;
    }
    PumpValues pump;
    run.reader.ReadKeys(kPumpKeys, pump);
    if (!ReadIntact(run)) {
        return RecordImport::kReadFailed;
    }
    if (!run.target.SetPump(id, pump)) {
        return RecordImport::kEndImport;
    }
    // Hoses are read by position 1, 2, ...; the first position without a hose ends the list,
    // so hoses numbered 1, 2 and 4 give hoses 1 and 2.
    for (int position = 1; position <= kHosePositions; ++position) {
        HoseValues hose;
        run.reader.ReadKeys(kHoseKeys, hose, HoseKeyPrefix(position));
        if (hose.id < 1) {
            break;
        }
        const RecordImport tank = ImportTank(run, hose.tankId);
        if (tank == RecordImport::kReadFailed) {
            return tank;
        }
        if (tank != RecordImport::kImported) {
            run.target.HoseTankMissing(id, position, hose.tankId);
            return RecordImport::kEndImport;
        }
        run.reader.Select(section);  // the tank import may have selected another
        if (!ReadIntact(run)) {
            return RecordImport::kReadFailed;
        }
        if (!run.target.SetHose(id, position, hose)) {
            return RecordImport::kEndImport;
        }
    }
    return RecordImport::kImported;
}

RecordImport ImportSensor(ImportRun& run, std::int32_t id) {
    if (!run.reader.SelectRecord(kSensorSection, id)) {
        return RecordImport::kAbsent;
    }
    SensorValues sensor;
    run.reader.ReadKeys(kSensorKeys, sensor);
    if (!ReadIntact(run)) {
        return RecordImport::kReadFailed;
    }
    return Outcome(run.target.SetSensor(id, sensor));
}

RecordImport ImportAttendant(ImportRun& run, std::int32_t id) {
    if (!run.reader.SelectRecord(kAttendantSection, id)) {
        return RecordImport::kAbsent;
    }
    AttendantValues attendant;
    run.reader.ReadKeys(kAttendantKeys, attendant);  // Type, the later key, decides
    if (attendant.type == 0) {
        attendant.type = run.reader.ReadInt16(kAttendantEnabledKey);
    }
    if (!ReadIntact(run)) {
        return RecordImport::kReadFailed;
    }
    return Outcome(run.target.SetAttendant(id, attendant));
}

RecordImport ImportCardClient(ImportRun& run, std::int32_t id) {
    if (!run.reader.SelectRecord(kClientSection, id)) {
        return RecordImport::kAbsent;
    }
    CardClientValues client;
    run.reader.ReadKeys(kCardClientKeys, client);
    if (!ReadIntact(run)) {
        return RecordImport::kReadFailed;
    }
    return Outcome(run.target.SetCardClient(id, client));
}

RecordImport ImportProduct(ImportRun& run, std::int32_t id) {
    if (!run.reader.SelectRecord(kProductSection, id)) {
        return RecordImport::kAbsent;
    }
    ProductValues product;
    run.reader.ReadKeys(kProductKeys, product);
    if (!ReadIntact(run)) {
        return RecordImport::kReadFailed;
    }
    return Outcome(run.target.SetProduct(id, product));
}
