// The station generators: fixed data for the sample station, arithmetic for the maximal one.
#include "kestro/model/station_generators.h"

#include <cstdio>
#include <string>
#include <vector>

namespace kestro {
namespace {

using S = std::int16_t;

WideString Ascii(std::string_view text) {
    return WideString(text.begin(), text.end());
}

// `prefix` followed by `n` with at least `width` digits.
WideString Numbered(WideString prefix, int n, int width = 1) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%0*d", width, n);
    return prefix + Ascii(digits);
}

DeviceDetails Details(WideString model, WideString hardware, WideString firmware) {
    return DeviceDetails{std::move(model), std::move(hardware), std::move(firmware)};
}

// Radio channels as the controller keeps them: bit b for channel b.
std::int32_t Channels(std::initializer_list<int> channels) {
    std::int32_t mask = 0;
    for (int channel : channels) {
        mask |= std::int32_t{1} << channel;
    }
    return mask;
}

// ---- The sample station ------------------------------------------------------------------

struct GradeSample {
    const WCHAR* name;
    const WCHAR* shortName;
    const WCHAR* code;
    double cash;  // price level 1
    double card;  // price level 2
};

const GradeSample kSampleGrades[] = {
    {WSTR("Gasolina Comum"), WSTR("GC"), WSTR("G01"), 5.899, 5.999},
    {WSTR("Gasolina Aditivada"), WSTR("GA"), WSTR("G02"), 6.099, 6.199},
    {WSTR("Etanol Hidratado"), WSTR("ET"), WSTR("E01"), 3.999, 4.079},
    {WSTR("Óleo Diesel S10"), WSTR("S10"), WSTR("D10"), 6.199, 6.299},
};

void AddSamplePorts(Configuration& station) {
    struct Row {
        const WCHAR* name;
        std::int32_t protocolId;
        S deviceType;
        const WCHAR* model;
    };
    const Row rows[] = {
        {WSTR("Bombas ilha 1"), 1, 1, WSTR("KX-4 interface de bombas")},
        {WSTR("Bombas ilha 2"), 1, 1, WSTR("KX-4 interface de bombas")},
        {WSTR("Gateway ZigBee"), 7, 3, WSTR("ZB2G gateway")},
        {WSTR("Leitor de cartões"), 4, 2, WSTR("CR-10 leitor")},
        {WSTR("Medição de tanques"), 20, 4, WSTR("TG-8 console")},
        {WSTR("Painel de preços"), 12, 5, WSTR("PS-3 painel")},
    };
    std::int32_t id = 0;
    for (const Row& row : rows) {
        ++id;
        PortRecord port{
            .id = id,
            .number = id,
            .name = row.name,
            .protocolId = row.protocolId,
            .deviceType = row.deviceType,
            .serialNo = Numbered(WSTR("KP-23-"), 100 + id, 5),
            .details = Details(row.model, WSTR("rev C"), Numbered(WSTR("4.2."), 10 + id))};
        if (id == 3) {
            port.zb2g = ZB2GConfig{.panId = 0x4F21,
                                   .channelMask = Channels({11, 15, 20, 25}),
                                   .keyA = 0x0123456789ABCDEF,
                                   .keyB = 0x0FEDCBA987654321};
        }
        station.ports.Put(std::move(port));
    }
}

void AddSampleGrades(Configuration& station) {
    std::int32_t id = 0;
    for (const GradeSample& grade : kSampleGrades) {
        ++id;
        station.grades.Put(GradeRecord{.id = id,
                                       .number = id,
                                       .name = grade.name,
                                       .shortName = grade.shortName,
                                       .code = grade.code,
                                       .gradeType = static_cast<S>(id == 4 ? 2 : 1),
                                       .prices = {grade.cash, grade.card}});
    }
}

void AddSampleTanks(Configuration& station) {
    const double capacities[] = {30000, 15000, 30000, 20000};
    for (std::int32_t id = 1; id <= 4; ++id) {
        const double capacity = capacities[id - 1];
        station.tanks.Put(TankRecord{.id = id,
                                     .number = id,
                                     .name = Numbered(WSTR("Tanque "), id),
                                     .gradeId = id,
                                     .type = 1,
                                     .capacity = capacity,
                                     .diameter = 2.54,
                                     .height = 2.54,
                                     .theoreticalCapacity = capacity * 1.02,
                                     .lowLevelAlarm = capacity * 0.10,
                                     .highLevelAlarm = capacity * 0.90,
                                     .lowLowLevelAlarm = capacity * 0.05,
                                     .highHighLevelAlarm = capacity * 0.95,
                                     .highWaterAlarm = 50,
                                     .thermalCoefficient = id == 3 ? 0.00110 : 0.00095,
                                     .tankGauge = 5,
                                     .probe = static_cast<S>(id),
                                     .gaugeAlarmsMask = 0x0F,
                                     .slotZigBeeId = 0,
                                     .probeType = 2,
                                     .probeSerialNo = 41000 + id});
    }
}

void AddSampleZigBees(Configuration& station) {
    struct Row {
        const WCHAR* name;
        S deviceType;
    };
    const Row rows[] = {
        {WSTR("Repetidor da pista"), 1},
        {WSTR("Módulo bombas 1-4"), 2},
        {WSTR("Módulo bombas 5-8"), 2},
        {WSTR("Sensor de vazamento"), 3},
    };
    std::int32_t id = 4;
    for (const Row& row : rows) {
        ++id;
        station.zigBees.Put(
            ZigBeeRecord{.id = id,
                         .number = id,
                         .name = row.name,
                         .deviceType = row.deviceType,
                         .serialNumber = Numbered(WSTR("ZB-00A"), id),
                         .nodeIdentifier = Numbered(WSTR("NODE-"), id, 2),
                         .portId = 3,
                         .details = Details(WSTR("ZB-R2"), WSTR("v2"), WSTR("ZB 1.8.3"))});
    }
}

void AddSamplePumps(Configuration& station) {
    // Hoses per pump and the grade (= tank) of each hose.
    const std::vector<std::vector<std::int32_t>> hoseGrades = {
        {1, 2, 3, 4}, {1, 3, 4}, {1, 4}, {1, 2, 3, 4}, {1, 3}, {1, 2, 4}, {3, 4}, {1, 2, 3, 4}};
    std::int32_t id = 0;
    for (const std::vector<std::int32_t>& grades : hoseGrades) {
        ++id;
        station.pumps.Put(PumpRecord{.id = id,
                                     .number = id,
                                     .name = Numbered(WSTR("Bomba "), id),
                                     .physicalNumber = static_cast<S>(id),
                                     .side = static_cast<S>(id % 2 == 1 ? 1 : 2),
                                     .address = static_cast<S>(id),
                                     .priceLevel1 = 1,
                                     .priceLevel2 = 2,
                                     .priceDspFormat = 3,
                                     .volumeDspFormat = 2,
                                     .valueDspFormat = 2,
                                     .pumpType = 1,
                                     .portId = id <= 4 ? 1 : 2,
                                     .attendantId = -1,
                                     .authMode = 1,
                                     .stackMode = 1,
                                     .prepayAllowed = 1,
                                     .preauthAllowed = 1,
                                     .slot = 0,
                                     .muxSlotZigBeeId = id <= 4 ? 6 : 7,
                                     .priceControl = 1,
                                     .hasPreset = 1});
        std::int32_t number = 0;
        for (std::int32_t grade : grades) {
            ++number;
            const GradeSample& sample = kSampleGrades[grade - 1];
            station.hoses.Put(
                HoseRecord{.id = id * 10 + number,
                           .number = number,
                           .pumpId = id,
                           .tankId = grade,
                           .physicalNumber = number,
                           .volumeTotal = 10000.0 * id + 1234.56 * number,
                           .valueTotal = (10000.0 * id + 1234.56 * number) * sample.cash,
                           .volumeFactor = 1.0,
                           .valueFactor = 1.0,
                           .reader = 0,
                           .price1 = sample.cash,
                           .price2 = sample.card,
                           .enabled = 1});
        }
    }
}

void AddSampleSensors(Configuration& station) {
    const WCHAR* names[] = {WSTR("Vazamento tanque 1"), WSTR("Água no tanque 3"),
                            WSTR("Sump da bomba 5")};
    std::int32_t id = 0;
    for (const WCHAR* name : names) {
        ++id;
        station.sensors.Put(SensorRecord{.id = id,
                                         .number = id,
                                         .name = name,
                                         .portId = 5,
                                         .type = static_cast<S>(id),
                                         .address = static_cast<S>(id),
                                         .sensorNo = static_cast<S>(id),
                                         .slotZigBeeId = id == 1 ? 8 : 0,
                                         .sensorSerialNo = 7000 + id});
    }
}

void AddSampleAttendants(Configuration& station) {
    struct Row {
        const WCHAR* name;
        const WCHAR* shortName;
    };
    const Row rows[] = {
        {WSTR("João da Silva"), WSTR("João")},        {WSTR("Maria da Conceição"), WSTR("Maria")},
        {WSTR("José Araújo"), WSTR("José")},          {WSTR("Ana Lúcia Prado"), WSTR("Ana")},
        {WSTR("Antônio Gonçalves"), WSTR("Antônio")}, {WSTR("Fábio Souza"), WSTR("Fábio")},
        {WSTR("Cláudia Ribeiro"), WSTR("Cláudia")},   {WSTR("Sérgio Mendes"), WSTR("Sérgio")},
        {WSTR("Luíza Brandão"), WSTR("Luíza")},       {WSTR("Vinícius Assunção"), WSTR("Vinícius")},
    };
    std::int32_t id = 0;
    for (const Row& row : rows) {
        ++id;
        const bool morning = id % 2 == 1;
        station.attendants.Put(AttendantRecord{.id = id,
                                               .number = id,
                                               .name = row.name,
                                               .shortName = row.shortName,
                                               .password = Numbered(WSTR(""), 1000 + 37 * id),
                                               .tag = Numbered(WSTR("TAG-"), id, 4),
                                               .idNumber = Numbered(WSTR("123.456.789-"), id, 2),
                                               .shiftAStart = static_cast<S>(morning ? 600 : 1400),
                                               .shiftAEnd = static_cast<S>(morning ? 1400 : 2200),
                                               .shiftBStart = 0,
                                               .shiftBEnd = 0,
                                               .type = static_cast<S>(id == 1 ? 2 : 1)});
    }
}

void AddSampleCardClients(Configuration& station) {
    const WCHAR* companies[] = {WSTR("Transportadora Araújo"), WSTR("Auto Escola São Jorge"),
                                WSTR("Padaria Pão Dourado"),   WSTR("Construtora Fênix"),
                                WSTR("Táxi Cooperativa"),      WSTR("Prefeitura de Itaúna"),
                                WSTR("Farmácia Saúde"),        WSTR("Mudanças Conceição"),
                                WSTR("Hotel Serra Azul"),      WSTR("Laticínios Boa Vista")};
    for (std::int32_t id = 1; id <= 50; ++id) {
        const WideString company = companies[(id - 1) % 10];
        const bool fleetHead = id <= 10;
        station.cardClients.Put(CardClientRecord{
            .id = id,
            .number = id,
            .name = fleetHead ? company : company + Numbered(WSTR(" - veículo "), id),
            .tag = Numbered(WSTR("CARD-"), id, 5),
            .enabled = static_cast<S>(id % 13 == 0 ? 0 : 1),
            .priceLevel = static_cast<S>(fleetHead ? 2 : 1),
            .plate = Numbered(WSTR("BRA"), 1000 + 7 * id, 4),
            .idNumber = Numbered(WSTR("12.345.678/0001-"), id, 2),
            .shortName = Numbered(WSTR("Cli"), id, 3),
            .password = Numbered(WSTR(""), 4000 + 13 * id),
            .gradeType = static_cast<S>(id % 3),
            .cardType = static_cast<S>(fleetHead ? 1 : 2),
            .limitType = static_cast<S>(id % 2),
            .limit = 500.0 + 25.0 * id,
            .entryType = 1,
            .expirationDate = 46022.0 + id,  // from 1 January 2026 on
            .parentId = fleetHead ? -1 : (id - 1) % 10 + 1,
            .vimoSerialNo = Numbered(WSTR("VM"), 880000 + id, 6),
            .odometer = 1000.0 * id + 0.5,
            .factor = 1});
    }
}

void AddSampleProducts(Configuration& station) {
    struct Row {
        const WCHAR* name;
        const WCHAR* shortName;
        double price;
        std::int32_t group;
    };
    const Row rows[] = {
        {WSTR("Água mineral 500 ml"), WSTR("Água 500"), 3.50, 1},
        {WSTR("Refrigerante lata 350 ml"), WSTR("Refri lata"), 5.90, 1},
        {WSTR("Suco de laranja 300 ml"), WSTR("Suco lar."), 7.50, 1},
        {WSTR("Café expresso"), WSTR("Café"), 6.00, 2},
        {WSTR("Pão de queijo"), WSTR("Pão queijo"), 4.50, 2},
        {WSTR("Coxinha de frango"), WSTR("Coxinha"), 7.00, 2},
        {WSTR("Chocolate ao leite 90 g"), WSTR("Chocolate"), 8.90, 3},
        {WSTR("Salgadinho 120 g"), WSTR("Salgadinho"), 9.50, 3},
        {WSTR("Chiclete menta"), WSTR("Chiclete"), 2.50, 3},
        {WSTR("Óleo de motor 1 L"), WSTR("Óleo 1L"), 42.90, 4},
        {WSTR("Aditivo de radiador"), WSTR("Aditivo rad"), 29.90, 4},
        {WSTR("Fluido de freio"), WSTR("Fluido fr."), 24.90, 4},
        {WSTR("Palheta limpador"), WSTR("Palheta"), 39.90, 4},
        {WSTR("Lâmpada H4"), WSTR("Lâmpada H4"), 34.90, 4},
        {WSTR("Gelo 5 kg"), WSTR("Gelo 5kg"), 15.00, 5},
        {WSTR("Carvão 3 kg"), WSTR("Carvão 3kg"), 22.00, 5},
        {WSTR("Arla 32 20 L"), WSTR("Arla 20L"), 89.90, 4},
        {WSTR("Flanela"), WSTR("Flanela"), 6.50, 4},
        {WSTR("Água de coco 1 L"), WSTR("Coco 1L"), 12.90, 1},
        {WSTR("Cartão presente"), WSTR("Presente"), 0.00, 6},
    };
    std::int32_t id = 0;
    for (const Row& row : rows) {
        ++id;
        station.products.Put(
            ProductRecord{.id = id,
                          .number = id,
                          .name = row.name,
                          .tag = Numbered(WSTR("P"), id, 4),
                          .enabled = static_cast<S>(id == 20 ? 0 : 1),
                          .shortName = row.shortName,
                          .barcode = id == 20 ? WideString() : Numbered(WSTR("789100000"), id, 4),
                          .price1 = row.price,
                          .price2 = row.price * 0.95,
                          .productGroup = row.group});
    }
}

// ---- The maximal station -----------------------------------------------------------------

constexpr std::int32_t kMaxSmallKind = 99;
constexpr std::int32_t kMaxLargeKind = 9999;
constexpr std::int32_t kHosesPerPump = 8;
constexpr std::int32_t kFirstZigBee = 5;

void AddMaxRecords(Configuration& station) {
    for (std::int32_t id = 1; id <= kMaxSmallKind; ++id) {
        station.ports.Put(PortRecord{
            .id = id,
            .number = id,
            .name = Numbered(WSTR("Porta "), id, 2),
            .protocolId = id % 20 + 1,
            .deviceType = static_cast<S>(id % 5),
            .serialNo = Numbered(WSTR("KP-"), id, 5),
            .zb2g = ZB2GConfig{.panId = 0x1000 + id,
                               .channelMask = Channels({11, 11 + id % 16}),
                               .keyA = 0x0101010101010101LL * (id % 16),
                               .keyB = 0x1010101010101010LL * (id % 8)},
            .details = Details(WSTR("KX-4"), WSTR("rev C"), Numbered(WSTR("4.2."), id))});
        station.grades.Put(GradeRecord{
            .id = id,
            .number = id,
            .name = Numbered(WSTR("Combustível "), id, 2),
            .shortName = Numbered(WSTR("C"), id, 2),
            .code = Numbered(WSTR("G"), id, 3),
            .gradeType = static_cast<S>(id % 3),
            .prices = {4.0 + id / 100.0, 4.1 + id / 100.0, 4.2 + id / 100.0, 4.3 + id / 100.0,
                       4.4 + id / 100.0, 4.5 + id / 100.0, 4.6 + id / 100.0, 4.7 + id / 100.0}});
        station.tanks.Put(TankRecord{.id = id,
                                     .number = id,
                                     .name = Numbered(WSTR("Tanque "), id, 2),
                                     .gradeId = id,
                                     .type = 1,
                                     .capacity = 15000.0 + 100.0 * id,
                                     .diameter = 2.54,
                                     .height = 2.54,
                                     .tankGauge = 1,
                                     .probe = static_cast<S>(id),
                                     .gaugeAlarmsMask = 0x0F,
                                     .probeType = 2,
                                     .probeSerialNo = 40000 + id});
        if (id >= kFirstZigBee) {
            station.zigBees.Put(
                ZigBeeRecord{.id = id,
                             .number = id,
                             .name = Numbered(WSTR("Dispositivo "), id, 2),
                             .deviceType = static_cast<S>(id % 4),
                             .serialNumber = Numbered(WSTR("ZB-"), id, 5),
                             .nodeIdentifier = Numbered(WSTR("NODE-"), id, 2),
                             .portId = id,
                             .details = Details(WSTR("ZB-R2"), WSTR("v2"), WSTR("ZB 1.8.3"))});
        }
        station.pumps.Put(PumpRecord{.id = id,
                                     .number = id,
                                     .name = Numbered(WSTR("Bomba "), id, 2),
                                     .physicalNumber = static_cast<S>(id),
                                     .side = static_cast<S>(id % 2 + 1),
                                     .address = static_cast<S>(id),
                                     .priceLevel1 = 1,
                                     .priceLevel2 = 2,
                                     .priceDspFormat = 3,
                                     .volumeDspFormat = 2,
                                     .valueDspFormat = 2,
                                     .pumpType = 1,
                                     .portId = id,
                                     .attendantId = -1,
                                     .authMode = 1,
                                     .stackMode = 1,
                                     .prepayAllowed = 1,
                                     .preauthAllowed = 1,
                                     .muxSlotZigBeeId = id >= kFirstZigBee ? id : 0,
                                     .priceControl = 1,
                                     .hasPreset = 1});
        for (std::int32_t number = 1; number <= kHosesPerPump; ++number) {
            const std::int32_t tank = (id + number - 2) % kMaxSmallKind + 1;
            station.hoses.Put(HoseRecord{.id = id * 10 + number,
                                         .number = number,
                                         .pumpId = id,
                                         .tankId = tank,
                                         .physicalNumber = number,
                                         .volumeFactor = 1.0,
                                         .valueFactor = 1.0,
                                         .price1 = 4.0 + tank / 100.0,
                                         .price2 = 4.1 + tank / 100.0,
                                         .enabled = 1});
        }
    }
    for (std::int32_t id = 1; id <= kMaxLargeKind; ++id) {
        station.sensors.Put(SensorRecord{.id = id,
                                         .number = id,
                                         .name = Numbered(WSTR("Sensor "), id, 4),
                                         .portId = id % kMaxSmallKind + 1,
                                         .type = static_cast<S>(id % 4),
                                         .address = static_cast<S>(id % 256),
                                         .sensorNo = static_cast<S>(id % 100),
                                         .sensorSerialNo = 70000 + id});
        station.attendants.Put(AttendantRecord{.id = id,
                                               .number = id,
                                               .name = Numbered(WSTR("Frentista "), id, 4),
                                               .shortName = Numbered(WSTR("F"), id, 4),
                                               .password = Numbered(WSTR(""), id, 4),
                                               .tag = Numbered(WSTR("TAG-"), id, 4),
                                               .idNumber = Numbered(WSTR("ID"), id, 6),
                                               .shiftAStart = 600,
                                               .shiftAEnd = 1400,
                                               .shiftBStart = 1400,
                                               .shiftBEnd = 2200,
                                               .type = 1});
        station.cardClients.Put(CardClientRecord{.id = id,
                                                 .number = id,
                                                 .name = Numbered(WSTR("Cliente "), id, 4),
                                                 .tag = Numbered(WSTR("CARD-"), id, 5),
                                                 .enabled = 1,
                                                 .priceLevel = 1,
                                                 .plate = Numbered(WSTR("MAX"), id, 4),
                                                 .idNumber = Numbered(WSTR("CNPJ"), id, 6),
                                                 .shortName = Numbered(WSTR("C"), id, 4),
                                                 .password = Numbered(WSTR(""), id, 4),
                                                 .gradeType = 1,
                                                 .cardType = 1,
                                                 .limitType = 1,
                                                 .limit = 1000.0,
                                                 .entryType = 1,
                                                 .expirationDate = 46387.0,
                                                 .parentId = -1,
                                                 .vimoSerialNo = Numbered(WSTR("VM"), id, 6),
                                                 .odometer = 0.0,
                                                 .factor = 1});
        station.products.Put(ProductRecord{.id = id,
                                           .number = id,
                                           .name = Numbered(WSTR("Produto "), id, 4),
                                           .tag = Numbered(WSTR("P"), id, 4),
                                           .enabled = 1,
                                           .shortName = Numbered(WSTR("Prod"), id, 4),
                                           .barcode = Numbered(WSTR("789"), id, 10),
                                           .price1 = 1.0 + id / 100.0,
                                           .price2 = 0.9 + id / 100.0,
                                           .productGroup = id % 10});
    }
}

}  // namespace

Configuration EmptyStation() {
    return Configuration{};
}

Configuration SampleStation() {
    Configuration station;
    AddSamplePorts(station);
    AddSampleGrades(station);
    AddSampleTanks(station);
    AddSampleZigBees(station);
    AddSamplePumps(station);
    AddSampleSensors(station);
    AddSampleAttendants(station);
    AddSampleCardClients(station);
    AddSampleProducts(station);
    return station;
}

Configuration MaxStation() {
    Configuration station;
    AddMaxRecords(station);
    return station;
}

std::optional<Configuration> GenerateStation(std::string_view name) {
    if (name == "empty") {
        return EmptyStation();
    }
    if (name == "sample") {
        return SampleStation();
    }
    if (name == "max") {
        return MaxStation();
    }
    return std::nullopt;
}

}  // namespace kestro
