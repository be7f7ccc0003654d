// The station generators: sizes and identifiers of every kind, and cross-references that
// name existing records (an import of the exported file depends on them).
#include "kestro/model/station_generators.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using namespace kestro;

struct Counts {
    std::int32_t ports, grades, tanks, zigBees, pumps, hoses, sensors, attendants, clients,
        products;
    bool operator==(const Counts&) const = default;
};

Counts CountsOf(const Configuration& c) {
    return {c.ports.Count(),       c.grades.Count(),  c.tanks.Count(),   c.zigBees.Count(),
            c.pumps.Count(),       c.hoses.Count(),   c.sensors.Count(), c.attendants.Count(),
            c.cardClients.Count(), c.products.Count()};
}

// Every reference names a record that exists; hose numbers run 1..n on each pump.
void ExpectConsistent(const Configuration& station) {
    for (const TankRecord& tank : station.tanks) {
        EXPECT_NE(station.grades.Find(tank.gradeId), nullptr) << "tank " << tank.id;
    }
    for (const ZigBeeRecord& device : station.zigBees) {
        EXPECT_GE(device.id, 5) << "the import reads ZigBee devices from 5 on";
        EXPECT_NE(station.ports.Find(device.portId), nullptr) << "device " << device.id;
        EXPECT_TRUE(device.details) << "device " << device.id;
    }
    std::map<std::int32_t, std::set<std::int32_t>> numbers;
    for (const HoseRecord& hose : station.hoses) {
        EXPECT_NE(station.pumps.Find(hose.pumpId), nullptr) << "hose " << hose.id;
        EXPECT_NE(station.tanks.Find(hose.tankId), nullptr) << "hose " << hose.id;
        numbers[hose.pumpId].insert(hose.number);
    }
    for (const auto& [pump, set] : numbers) {
        EXPECT_EQ(*set.begin(), 1) << "pump " << pump;
        EXPECT_EQ(*set.rbegin(), static_cast<std::int32_t>(set.size())) << "pump " << pump;
    }
    for (const PortRecord& port : station.ports) {
        EXPECT_TRUE(port.details) << "port " << port.id;
    }
}

TEST(StationGeneratorsTest, EmptyStationHasNoRecords) {
    EXPECT_EQ(CountsOf(EmptyStation()), (Counts{}));
}

TEST(StationGeneratorsTest, SampleStationIsSmallRealisticAndConsistent) {
    const Configuration sample = SampleStation();
    EXPECT_EQ(CountsOf(sample), (Counts{6, 4, 4, 4, 8, 24, 3, 10, 50, 20}));
    EXPECT_EQ(sample.zigBees.AtOrdinal(1)->id, 5);
    EXPECT_NE(sample.ports.Find(5), nullptr);  // tank gauge sections under /PAM
    for (const PumpRecord& pump : sample.pumps) {
        std::int32_t hoses = 0;
        for (const HoseRecord& hose : sample.hoses) {
            hoses += hose.pumpId == pump.id;
        }
        EXPECT_GE(hoses, 2);
        EXPECT_LE(hoses, 4);
    }
    for (const GradeRecord& grade : sample.grades) {
        EXPECT_GT(grade.prices[0], 0);
        EXPECT_GT(grade.prices[1], 0);
        EXPECT_EQ(grade.prices[2], 0);
    }
    // Accented letters, all within Latin-1 so that they survive the file's 8-bit text.
    bool accented = false;
    for (const AttendantRecord& attendant : sample.attendants) {
        for (char16_t unit : *attendant.name) {
            accented |= unit > 0x7F;
            EXPECT_LE(unit, 0xFF);
        }
    }
    EXPECT_TRUE(accented);
    ExpectConsistent(sample);
    EXPECT_EQ(SampleStation(), sample);  // the same on every call
}

TEST(StationGeneratorsTest, MaxStationFillsEveryKindToItsLimit) {
    const Configuration max = MaxStation();
    EXPECT_EQ(CountsOf(max), (Counts{99, 99, 99, 95, 99, 792, 9999, 9999, 9999, 9999}));
    EXPECT_EQ(max.zigBees.AtOrdinal(1)->id, 5);
    EXPECT_EQ(max.zigBees.AtOrdinal(95)->id, 99);
    EXPECT_EQ(max.cardClients.AtOrdinal(9999)->id, 9999);
    ExpectConsistent(max);
}

TEST(StationGeneratorsTest, GeneratorsByName) {
    EXPECT_EQ(CountsOf(*GenerateStation("empty")), (Counts{}));
    EXPECT_EQ(GenerateStation("sample")->ports.Count(), 6);
    EXPECT_EQ(GenerateStation("max")->ports.Count(), 99);
    EXPECT_FALSE(GenerateStation("Sample"));
    EXPECT_FALSE(GenerateStation(""));
}

}  // namespace
