// The station model's configuration getters: counts, identifiers by ordinal and the records
// of every kind, with the pumps' hoses by position and the products through their filter.
#include <algorithm>
#include <utility>

#include "kestro/model/result_codes.h"
#include "kestro/model/station.h"

namespace kestro {
namespace {

template <typename Record>
std::int32_t CountOf(const RecordTable<Record>& table, std::int32_t* count) {
    *count = table.Count();
    return kSuccess;
}

template <typename Record>
std::int32_t IdAt(const RecordTable<Record>& table, std::int32_t ordinal, std::int32_t* id) {
    const Record* record = table.AtOrdinal(ordinal);
    if (record == nullptr) {
        return kRecordNotFound;
    }
    *id = record->id;
    return kSuccess;
}

template <typename Record>
std::int32_t CopyOf(const RecordTable<Record>& table, std::int32_t id, Record* out) {
    const Record* record = table.Find(id);
    if (record == nullptr) {
        return kRecordNotFound;
    }
    *out = *record;
    return kSuccess;
}

std::int32_t CopyDetails(const std::optional<DeviceDetails>& details, DeviceDetails* out) {
    if (!details) {
        return kNoDeviceDetails;
    }
    *out = *details;
    return kSuccess;
}

std::vector<CallValue> FilterValues(std::vector<CallValue> values, const ProductFilter& filter) {
    for (std::int32_t value : {filter.groupFilter, filter.enabledOnly, filter.barcodeOnly,
                               filter.firstNumber, filter.maxCount, filter.terminalFilter}) {
        values.emplace_back(value);
    }
    return values;
}

}  // namespace

std::int32_t Station::CheckPriceLevel(const GradeRecord* grade, std::int16_t level) {
    if (grade == nullptr) {
        return kRecordNotFound;
    }
    if (level < 1 || level > static_cast<std::int16_t>(grade->prices.size())) {
        return kInvalidArgument;
    }
    return kSuccess;
}

std::int32_t Station::AdmitGetter(RecordedCall call, const void* out) {
    if (std::int32_t rc = Admit(std::move(call), true)) {
        return rc;
    }
    return out == nullptr ? kInvalidArgument : kSuccess;
}

void Station::LoadConfiguration(Configuration configuration) {
    config_ = std::move(configuration);
    hosesByPump_.reset();
    productSelection_.reset();
}

const std::vector<std::int32_t>& Station::HosesOf(std::int32_t pumpId) {
    if (!hosesByPump_) {
        std::map<std::int32_t, std::vector<const HoseRecord*>> byPump;
        for (const HoseRecord& hose : config_.hoses) {
            byPump[hose.pumpId].push_back(&hose);
        }
        hosesByPump_.emplace();
        for (auto& [pump, hoses] : byPump) {
            std::stable_sort(
                hoses.begin(), hoses.end(),
                [](const HoseRecord* a, const HoseRecord* b) { return a->number < b->number; });
            std::vector<std::int32_t>& ids = (*hosesByPump_)[pump];
            for (const HoseRecord* hose : hoses) {
                ids.push_back(hose->id);
            }
        }
    }
    static const std::vector<std::int32_t> none;
    auto it = hosesByPump_->find(pumpId);
    return it != hosesByPump_->end() ? it->second : none;
}

const std::vector<std::int32_t>& Station::ProductsSelectedBy(const ProductFilter& filter) {
    if (!productSelection_ || productSelection_->first != filter) {
        productSelection_.emplace(filter, SelectProducts(config_.products, filter));
    }
    return productSelection_->second;
}

// ---- Ports ------------------------------------------------------------------------------

std::int32_t Station::GetPortsCount(std::int32_t* count) {
    if (std::int32_t rc = AdmitGetter({"GetPortsCount", {}}, count)) {
        return rc;
    }
    return CountOf(config_.ports, count);
}

std::int32_t Station::GetPortByOrdinal(std::int32_t ordinal, std::int32_t* portId) {
    if (std::int32_t rc = AdmitGetter({"GetPortByOrdinal", {ordinal}}, portId)) {
        return rc;
    }
    return IdAt(config_.ports, ordinal, portId);
}

std::int32_t Station::GetPortProperties(std::int32_t portId, PortRecord* port) {
    if (std::int32_t rc = AdmitGetter({"GetPortProperties", {portId}}, port)) {
        return rc;
    }
    return CopyOf(config_.ports, portId, port);
}

std::int32_t Station::GetZB2GConfig(std::int32_t portId, ZB2GConfig* config) {
    if (std::int32_t rc = AdmitGetter({"GetZB2GConfig", {portId}}, config)) {
        return rc;
    }
    const PortRecord* port = config_.ports.Find(portId);
    if (port == nullptr) {
        return kRecordNotFound;
    }
    *config = port->zb2g;
    return kSuccess;
}

std::int32_t Station::GetDeviceDetails(std::int32_t portId, std::int32_t deviceId,
                                       DeviceDetails* details) {
    if (std::int32_t rc = AdmitGetter({"GetDeviceDetails", {portId, deviceId}}, details)) {
        return rc;
    }
    const PortRecord* port = config_.ports.Find(portId);
    if (port == nullptr) {
        return kRecordNotFound;
    }
    if (deviceId == -1) {
        return CopyDetails(port->details, details);
    }
    const ZigBeeRecord* device = config_.zigBees.Find(deviceId);
    if (device == nullptr || device->portId != portId) {
        return kRecordNotFound;
    }
    return CopyDetails(device->details, details);
}

// ---- Grades -----------------------------------------------------------------------------

std::int32_t Station::GetGradesCount(std::int32_t* count) {
    if (std::int32_t rc = AdmitGetter({"GetGradesCount", {}}, count)) {
        return rc;
    }
    return CountOf(config_.grades, count);
}

std::int32_t Station::GetGradeByOrdinal(std::int32_t ordinal, std::int32_t* gradeId) {
    if (std::int32_t rc = AdmitGetter({"GetGradeByOrdinal", {ordinal}}, gradeId)) {
        return rc;
    }
    return IdAt(config_.grades, ordinal, gradeId);
}

std::int32_t Station::GetGradePropertiesEx(std::int32_t gradeId, GradeRecord* grade) {
    if (std::int32_t rc = AdmitGetter({"GetGradePropertiesEx", {gradeId}}, grade)) {
        return rc;
    }
    return CopyOf(config_.grades, gradeId, grade);
}

std::int32_t Station::GetGradePrice(std::int32_t gradeId, std::int16_t level, double* price) {
    if (std::int32_t rc = AdmitGetter({"GetGradePrice", {gradeId, level}}, price)) {
        return rc;
    }
    const GradeRecord* grade = config_.grades.Find(gradeId);
    if (std::int32_t rc = CheckPriceLevel(grade, level)) {
        return rc;
    }
    *price = grade->prices[static_cast<std::size_t>(level - 1)];
    return kSuccess;
}

// ---- Tanks ------------------------------------------------------------------------------

std::int32_t Station::GetTanksCount(std::int32_t* count) {
    if (std::int32_t rc = AdmitGetter({"GetTanksCount", {}}, count)) {
        return rc;
    }
    return CountOf(config_.tanks, count);
}

std::int32_t Station::GetTankByOrdinal(std::int32_t ordinal, std::int32_t* tankId) {
    if (std::int32_t rc = AdmitGetter({"GetTankByOrdinal", {ordinal}}, tankId)) {
        return rc;
    }
    return IdAt(config_.tanks, ordinal, tankId);
}

std::int32_t Station::GetTankPropertiesEx2(std::int32_t tankId, TankRecord* tank) {
    if (std::int32_t rc = AdmitGetter({"GetTankPropertiesEx2", {tankId}}, tank)) {
        return rc;
    }
    return CopyOf(config_.tanks, tankId, tank);
}

// ---- ZigBee devices ---------------------------------------------------------------------

std::int32_t Station::GetZigBeeCount(std::int32_t* count) {
    if (std::int32_t rc = AdmitGetter({"GetZigBeeCount", {}}, count)) {
        return rc;
    }
    return CountOf(config_.zigBees, count);
}

std::int32_t Station::GetZigBeeByOrdinal(std::int32_t ordinal, std::int32_t* deviceId) {
    if (std::int32_t rc = AdmitGetter({"GetZigBeeByOrdinal", {ordinal}}, deviceId)) {
        return rc;
    }
    return IdAt(config_.zigBees, ordinal, deviceId);
}

std::int32_t Station::GetZigBeeProperties(std::int32_t deviceId, ZigBeeRecord* device) {
    if (std::int32_t rc = AdmitGetter({"GetZigBeeProperties", {deviceId}}, device)) {
        return rc;
    }
    return CopyOf(config_.zigBees, deviceId, device);
}

// ---- Pumps and hoses --------------------------------------------------------------------

std::int32_t Station::GetPumpsCount(std::int32_t* count) {
    if (std::int32_t rc = AdmitGetter({"GetPumpsCount", {}}, count)) {
        return rc;
    }
    return CountOf(config_.pumps, count);
}

std::int32_t Station::GetPumpByOrdinal(std::int32_t ordinal, std::int32_t* pumpId) {
    if (std::int32_t rc = AdmitGetter({"GetPumpByOrdinal", {ordinal}}, pumpId)) {
        return rc;
    }
    return IdAt(config_.pumps, ordinal, pumpId);
}

std::int32_t Station::GetPumpPropertiesEx(std::int32_t pumpId, PumpRecord* pump) {
    if (std::int32_t rc = AdmitGetter({"GetPumpPropertiesEx", {pumpId}}, pump)) {
        return rc;
    }
    return CopyOf(config_.pumps, pumpId, pump);
}

std::int32_t Station::GetPumpHosesCount(std::int32_t pumpId, std::int32_t* count) {
    if (std::int32_t rc = AdmitGetter({"GetPumpHosesCount", {pumpId}}, count)) {
        return rc;
    }
    if (config_.pumps.Find(pumpId) == nullptr) {
        return kRecordNotFound;
    }
    *count = static_cast<std::int32_t>(HosesOf(pumpId).size());
    return kSuccess;
}

std::int32_t Station::GetPumpHoseByNumber(std::int32_t pumpId, std::int32_t position,
                                          std::int32_t* hoseId) {
    if (std::int32_t rc = AdmitGetter({"GetPumpHoseByNumber", {pumpId, position}}, hoseId)) {
        return rc;
    }
    if (config_.pumps.Find(pumpId) == nullptr) {
        return kRecordNotFound;
    }
    const std::vector<std::int32_t>& hoses = HosesOf(pumpId);
    if (position < 1 || position > static_cast<std::int32_t>(hoses.size())) {
        return kRecordNotFound;
    }
    *hoseId = hoses[static_cast<std::size_t>(position - 1)];
    return kSuccess;
}

std::int32_t Station::GetHosePropertiesEx2(std::int32_t hoseId, HoseRecord* hose) {
    if (std::int32_t rc = AdmitGetter({"GetHosePropertiesEx2", {hoseId}}, hose)) {
        return rc;
    }
    return CopyOf(config_.hoses, hoseId, hose);
}

// ---- Sensors ----------------------------------------------------------------------------

std::int32_t Station::GetSensorsCount(std::int32_t* count) {
    if (std::int32_t rc = AdmitGetter({"GetSensorsCount", {}}, count)) {
        return rc;
    }
    return CountOf(config_.sensors, count);
}

std::int32_t Station::GetSensorByOrdinal(std::int32_t ordinal, std::int32_t* sensorId) {
    if (std::int32_t rc = AdmitGetter({"GetSensorByOrdinal", {ordinal}}, sensorId)) {
        return rc;
    }
    return IdAt(config_.sensors, ordinal, sensorId);
}

std::int32_t Station::GetSensorPropertiesEx(std::int32_t sensorId, SensorRecord* sensor) {
    if (std::int32_t rc = AdmitGetter({"GetSensorPropertiesEx", {sensorId}}, sensor)) {
        return rc;
    }
    return CopyOf(config_.sensors, sensorId, sensor);
}

// ---- Attendants -------------------------------------------------------------------------

std::int32_t Station::GetAttendantsCount(std::int32_t* count) {
    if (std::int32_t rc = AdmitGetter({"GetAttendantsCount", {}}, count)) {
        return rc;
    }
    return CountOf(config_.attendants, count);
}

std::int32_t Station::GetAttendantByOrdinal(std::int32_t ordinal, std::int32_t* attendantId) {
    if (std::int32_t rc = AdmitGetter({"GetAttendantByOrdinal", {ordinal}}, attendantId)) {
        return rc;
    }
    return IdAt(config_.attendants, ordinal, attendantId);
}

std::int32_t Station::GetAttendantPropertiesEx2(std::int32_t attendantId,
                                                AttendantRecord* attendant) {
    if (std::int32_t rc = AdmitGetter({"GetAttendantPropertiesEx2", {attendantId}}, attendant)) {
        return rc;
    }
    return CopyOf(config_.attendants, attendantId, attendant);
}

// ---- Card clients -----------------------------------------------------------------------

std::int32_t Station::GetCardClientsCount(std::int32_t* count) {
    if (std::int32_t rc = AdmitGetter({"GetCardClientsCount", {}}, count)) {
        return rc;
    }
    return CountOf(config_.cardClients, count);
}

std::int32_t Station::GetCardClientByOrdinal(std::int32_t ordinal, std::int32_t* clientId) {
    if (std::int32_t rc = AdmitGetter({"GetCardClientByOrdinal", {ordinal}}, clientId)) {
        return rc;
    }
    return IdAt(config_.cardClients, ordinal, clientId);
}

std::int32_t Station::GetCardClientPropertiesEx4(std::int32_t clientId, CardClientRecord* client) {
    if (std::int32_t rc = AdmitGetter({"GetCardClientPropertiesEx4", {clientId}}, client)) {
        return rc;
    }
    return CopyOf(config_.cardClients, clientId, client);
}

// ---- Shop products ----------------------------------------------------------------------

std::int32_t Station::GetProductsCount(const ProductFilter& filter, std::int32_t* count) {
    if (std::int32_t rc = AdmitGetter({"GetProductsCount", FilterValues({}, filter)}, count)) {
        return rc;
    }
    *count = static_cast<std::int32_t>(ProductsSelectedBy(filter).size());
    return kSuccess;
}

std::int32_t Station::GetProductByOrdinal(std::int32_t ordinal, const ProductFilter& filter,
                                          std::int32_t* productId) {
    if (std::int32_t rc =
            AdmitGetter({"GetProductByOrdinal", FilterValues({ordinal}, filter)}, productId)) {
        return rc;
    }
    const std::vector<std::int32_t>& selected = ProductsSelectedBy(filter);
    if (ordinal < 1 || ordinal > static_cast<std::int32_t>(selected.size())) {
        return kRecordNotFound;
    }
    *productId = selected[static_cast<std::size_t>(ordinal - 1)];
    return kSuccess;
}

std::int32_t Station::GetProductProperties(std::int32_t productId, ProductRecord* product) {
    if (std::int32_t rc = AdmitGetter({"GetProductProperties", {productId}}, product)) {
        return rc;
    }
    return CopyOf(config_.products, productId, product);
}

}  // namespace kestro
