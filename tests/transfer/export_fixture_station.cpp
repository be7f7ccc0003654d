// The export tests' station, record by record.
#include "tests/transfer/export_fixture_station.h"

namespace export_fixture {

using namespace kestro;

Configuration Station() {
    Configuration station;

    // Port 1: a 64-bit PAN identifier (only its low 32 bits are written), mask bits outside
    // 11..26 that must be ignored, a negative key. Port 5 (a tank gauge under /PAM): a text
    // with U+20AC (written as its low byte 0xAC), a null serial number. Port 100: no details,
    // so its firmware query fails; every channel.
    station.ports = {
        {.id = 1,
         .number = 1,
         .name = u"Bombas \u00c1rea 1",
         .protocolId = 1,
         .deviceType = -1,
         .serialNo = u"SN-0001",
         .zb2g = {.panId = 0x12345ABCDLL,
                  .channelMask = static_cast<std::int32_t>(0xF80007FFU | (1U << 11) | (1U << 15)),
                  .keyA = 0xDEADBEEFLL,
                  .keyB = -1},
         .details = DeviceDetails{u"KX-4", u"rev C", u"FW 1.0"}},
        {.id = 5,
         .number = 5,
         .name = u"Medidor \u20ac",
         .protocolId = -7,
         .deviceType = 4,
         .serialNo = std::nullopt,
         .zb2g = {.panId = 0x1F, .channelMask = 0, .keyA = 0x0123456789ABCDEFLL, .keyB = 0},
         .details = DeviceDetails{std::nullopt, std::nullopt, u"TG 2.5"}},
        {.id = 100,
         .number = 100,
         .name = std::nullopt,
         .protocolId = 3,
         .deviceType = 0,
         .serialNo = u"",
         .zb2g = {.panId = 0, .channelMask = 0x07FFF800, .keyA = 0, .keyB = 0x10},
         .details = std::nullopt},
    };

    // Grade 1: prices at levels 1 and 3 only. Grade 100: U+0141 and U+017A (low bytes 'A'
    // and 'z'), a 16-bit -1, a negative price at level 8 (written: it is not 0).
    GradeRecord grade1{.id = 1,
                       .number = 1,
                       .name = u"Gasolina Comum",
                       .shortName = u"GC",
                       .code = u"G01",
                       .gradeType = 1};
    grade1.prices[0] = 5.199;
    grade1.prices[2] = 4.5;
    GradeRecord grade100{.id = 100,
                         .number = 100,
                         .name = std::nullopt,
                         .shortName = u"",
                         .code = u"\u0141\u00f3d\u017a",
                         .gradeType = -1};
    grade100.prices[7] = -0.5;
    station.grades = {grade1, grade100};

    // The eight doubles after Diameter are not written; they carry values to prove it.
    station.tanks = {
        {.id = 1,
         .number = 1,
         .name = u"Tanque 1",
         .gradeId = 1,
         .type = 1,
         .capacity = 30000,
         .diameter = 2.5449,
         .height = 11.5,
         .theoreticalCapacity = 12.5,
         .lowLevelAlarm = 13.5,
         .highLevelAlarm = 14.5,
         .lowLowLevelAlarm = 15.5,
         .highHighLevelAlarm = 16.5,
         .highWaterAlarm = 17.5,
         .thermalCoefficient = 18.5,
         .tankGauge = 5,
         .probe = 1,
         .gaugeAlarmsMask = 0x7FFFFFFF,
         .slotZigBeeId = 7,
         .probeType = 2,
         .probeSerialNo = 123456},
        {.id = 1000,
         .number = 1000,
         .name = std::nullopt,
         .gradeId = 100,
         .type = -1,
         .capacity = 1234.5678,
         .diameter = 0,
         .tankGauge = -1,
         .probe = -1,
         .gaugeAlarmsMask = INT32_MIN,
         .slotZigBeeId = 0,
         .probeType = 0,
         .probeSerialNo = -5},
    };

    // Device 5 reports its details through port 1; device 99 has none (its query fails).
    station.zigBees = {
        {.id = 5,
         .number = 5,
         .name = u"Repetidor",
         .deviceType = 2,
         .serialNumber = u"ZB-5",
         .nodeIdentifier = std::nullopt,
         .portId = 1,
         .details = DeviceDetails{u"ZB-R2", u"v2", u"ZB 1.8"}},
        {.id = 99,
         .number = 99,
         .name = u"Sensor \u0163",
         .deviceType = -1,
         .serialNumber = u"",
         .nodeIdentifier = u"NODE-99",
         .portId = 5,
         .details = std::nullopt},
    };

    // Pump 1: 21 distinct values. Pump 100: 16-bit -1 and no hoses.
    station.pumps = {
        {.id = 1,
         .number = 1,
         .name = u"Bomba 1",
         .physicalNumber = 11,
         .side = 1,
         .address = 21,
         .priceLevel1 = 1,
         .priceLevel2 = 2,
         .priceDspFormat = 3,
         .volumeDspFormat = 2,
         .valueDspFormat = -1,
         .pumpType = 4,
         .portId = 1,
         .attendantId = -1,
         .authMode = 5,
         .stackMode = 6,
         .prepayAllowed = 1,
         .preauthAllowed = 0,
         .slot = 7,
         .muxSlotZigBeeId = 5,
         .priceControl = 8,
         .hasPreset = 9},
        {.id = 100,
         .number = 100,
         .name = std::nullopt,
         .physicalNumber = -1,
         .side = -1,
         .address = 0,
         .portId = 5,
         .attendantId = 100,
         .slot = -1,
         .muxSlotZigBeeId = 0},
    };

    // Pump 1's hoses have the numbers 1, 2 and 4; the hose numbered 4 has a smaller
    // identifier than the one numbered 2, so positions follow numbers, not identifiers.
    // Prices: 0.1 is not written, 0.101 is.
    station.hoses = {
        {.id = 11,
         .number = 1,
         .pumpId = 1,
         .tankId = 1,
         .physicalNumber = 1,
         .volumeTotal = 1.5,
         .valueTotal = 2.5,
         .volumeFactor = 3.5,
         .valueFactor = 4.5,
         .reader = 0,
         .price1 = 5.199,
         .price2 = 0.1,
         .enabled = 1},
        {.id = 12,
         .number = 4,
         .pumpId = 1,
         .tankId = 1,
         .physicalNumber = 4,
         .reader = 3,
         .price1 = 0.1,
         .price2 = 5.2,
         .enabled = 1},
        {.id = 15,
         .number = 2,
         .pumpId = 1,
         .tankId = 1000,
         .physicalNumber = 2,
         .reader = -1,
         .price1 = 0.101,
         .price2 = 0,
         .enabled = 0},
    };

    station.sensors = {
        {.id = 1,
         .number = 1,
         .name = u"Vazamento",
         .portId = 5,
         .type = 1,
         .address = -1,
         .sensorNo = 3,
         .slotZigBeeId = 99,
         .sensorSerialNo = 7001},
        {.id = 1000,
         .number = 1000,
         .name = std::nullopt,
         .portId = -1,
         .type = 0,
         .address = 0,
         .sensorNo = -32768,
         .slotZigBeeId = 0,
         .sensorSerialNo = -1},
    };

    station.attendants = {
        {.id = 1,
         .number = 1,
         .name = u"Jo\u00e3o",
         .shortName = u"Jo",
         .password = u"1234",
         .tag = u"T1",
         .idNumber = u"ID-1",
         .shiftAStart = 600,
         .shiftAEnd = 1400,
         .shiftBStart = 1400,
         .shiftBEnd = 2200,
         .type = 2},
        {.id = 100,
         .number = 100,
         .name = std::nullopt,
         .shortName = u"",
         .password = std::nullopt,
         .tag = u"\u0166",
         .idNumber = u"",
         .shiftAStart = -1,
         .type = -1},
    };

    station.cardClients = {
        {.id = 7,
         .number = 7,
         .name = u"Frota Ara\u00fajo",
         .tag = u"C7",
         .enabled = 1,
         .priceLevel = 2,
         .plate = u"ABC1D23",
         .idNumber = u"12.345",
         .shortName = u"FA",
         .password = u"0000",
         .gradeType = 1,
         .cardType = 2,
         .limitType = 3,
         .limit = 150.5,
         .entryType = 4,
         .expirationDate = 45123.75,
         .parentId = -1,
         .vimoSerialNo = u"VM1",
         .odometer = 12345.67,
         .factor = 3},
        {.id = 1000, .number = 1000, .enabled = -1, .limit = -5, .parentId = 7},
    };

    station.products = {
        {.id = 1,
         .number = 1,
         .name = u"\u00c1gua",
         .tag = u"P1",
         .enabled = 1,
         .shortName = u"Agua",
         .barcode = u"7891000100103",
         .price1 = 3.5,
         .price2 = 3.25,
         .productGroup = 2},
        {.id = 1000,
         .number = 1000,
         .name = std::nullopt,
         .tag = u"",
         .enabled = 0,
         .price2 = -1.5,
         .productGroup = -1},
    };
    return station;
}

}  // namespace export_fixture
