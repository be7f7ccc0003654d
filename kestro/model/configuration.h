// Configuration: everything a controller stores about its station, one table per record kind.
// Generators build it, the station serves it, a persistence layer can store it table by
// table.
#pragma once

#include "kestro/model/record_table.h"
#include "kestro/model/records.h"

namespace kestro {

struct Configuration {
    RecordTable<PortRecord> ports;
    RecordTable<GradeRecord> grades;
    RecordTable<TankRecord> tanks;
    RecordTable<ZigBeeRecord> zigBees;
    RecordTable<PumpRecord> pumps;
    RecordTable<HoseRecord> hoses;  // all pumps' hoses, by hose identifier
    RecordTable<SensorRecord> sensors;
    RecordTable<AttendantRecord> attendants;
    RecordTable<CardClientRecord> cardClients;
    RecordTable<ProductRecord> products;

    bool operator==(const Configuration&) const = default;
};

}  // namespace kestro
