// The pumps' state machine, their deliveries and the events of their changes.
#include "kestro/model/pump_simulator.h"

#include <cmath>

#include "client/pump_codes.h"
#include "kestro/model/result_codes.h"

namespace kestro {
namespace {

constexpr double kMsPerDay = 86400000.0;

double Round(double amount, double scale) {
    return std::round(amount * scale) / scale;
}

WideString TextOf(const Text& text) {
    return text.value_or(WideString());
}

}  // namespace

PumpSimulator::PumpSimulator(const Configuration& configuration, double startDate)
    : config_(configuration), startDate_(startDate) {}

std::int32_t PumpSimulator::SetFlowRate(double litresPerSecond) {
    if (!(litresPerSecond > 0 && litresPerSecond <= 100)) {
        return kInvalidArgument;
    }
    flowRate_ = litresPerSecond;
    return kSuccess;
}

std::vector<std::int32_t> PumpSimulator::PumpIds() const {
    std::vector<std::int32_t> ids;
    for (const PumpRecord& pump : config_.pumps) {
        ids.push_back(pump.id);
    }
    return ids;
}

const PumpRecord* PumpSimulator::RecordOf(std::int32_t pumpId) const {
    return config_.pumps.Find(pumpId);
}

std::int16_t PumpSimulator::IdleState(std::int32_t pumpId) const {
    const PumpRecord* record = RecordOf(pumpId);
    return record != nullptr && record->authMode == 2 ? pump_state::kAuthorised : pump_state::kIdle;
}

bool PumpSimulator::Flowing(std::int16_t state) {
    return state == pump_state::kDelivering || state == pump_state::kNearLimit ||
           state == pump_state::kPrepayNearLimit;
}

bool PumpSimulator::Waiting(std::int16_t state) {
    return state == pump_state::kIdle || state == pump_state::kAuthorised ||
           state == pump_state::kCalling;
}

bool PumpSimulator::Started(std::int16_t state) {
    return Flowing(state) || state == pump_state::kTempStopped ||
           state == pump_state::kLimitReached || state == pump_state::kPrepayStopped ||
           state == pump_state::kStoppedByController;
}

PumpSimulator::Pump* PumpSimulator::Find(std::int32_t pumpId) {
    if (RecordOf(pumpId) == nullptr) {
        pumps_.erase(pumpId);
        return nullptr;
    }
    auto [it, created] = pumps_.try_emplace(pumpId);
    if (created) {
        it->second.status.state = IdleState(pumpId);
        it->second.emitted = it->second.status;
        it->second.attendantId = RecordOf(pumpId)->attendantId;
    }
    return &it->second;
}

void PumpSimulator::Refresh(Pump& pump) {
    pump.status.stackSize = static_cast<std::int16_t>(pump.deliveries.size());
}

void PumpSimulator::EmitStatus(std::int32_t pumpId, Pump& pump) {
    Refresh(pump);
    if (pump.status == pump.emitted) {
        return;
    }
    pump.emitted = pump.status;
    if (sink_) {
        PumpEvent event;
        event.kind = PumpEvent::Kind::kStatus;
        event.pumpId = pumpId;
        event.status = pump.status;
        sink_(event);
    }
}

void PumpSimulator::EmitDelivery(std::int32_t pumpId, const PumpDelivery& delivery) {
    if (sink_) {
        PumpEvent event;
        event.kind = PumpEvent::Kind::kDelivery;
        event.pumpId = pumpId;
        event.delivery = delivery;
        sink_(event);
    }
}

PumpDelivery PumpSimulator::Aged(const StoredDelivery& stored) const {
    PumpDelivery delivery = stored.delivery;
    const std::int64_t seconds = (nowMs_ - stored.completedMs) / 1000;
    delivery.age = static_cast<std::int32_t>(seconds > kOverdueSeconds ? -seconds : seconds);
    return delivery;
}

PumpSimulator::StoredDelivery* PumpSimulator::FindDelivery(Pump& pump, std::int32_t deliveryId) {
    for (StoredDelivery& stored : pump.deliveries) {
        if (stored.delivery.id == deliveryId) {
            return &stored;
        }
    }
    return nullptr;
}

std::int32_t PumpSimulator::ReadStatus(std::int32_t pumpId, PumpStatus* status) {
    Pump* pump = Find(pumpId);
    if (pump == nullptr) {
        return kRecordNotFound;
    }
    if (status == nullptr) {
        return kInvalidArgument;
    }
    Refresh(*pump);
    *status = pump->status;
    return kSuccess;
}

std::int32_t PumpSimulator::DeliveryCount(std::int32_t pumpId, std::int32_t* count) {
    Pump* pump = Find(pumpId);
    if (pump == nullptr) {
        return kRecordNotFound;
    }
    if (count == nullptr) {
        return kInvalidArgument;
    }
    *count = static_cast<std::int32_t>(pump->deliveries.size());
    return kSuccess;
}

std::int32_t PumpSimulator::ReadDelivery(std::int32_t pumpId, std::int32_t index,
                                         PumpDelivery* delivery) {
    Pump* pump = Find(pumpId);
    if (pump == nullptr || index < 1 ||
        index > static_cast<std::int32_t>(pump->deliveries.size())) {
        return kRecordNotFound;
    }
    if (delivery == nullptr) {
        return kInvalidArgument;
    }
    *delivery = Aged(pump->deliveries[static_cast<std::size_t>(index - 1)]);
    return kSuccess;
}

void PumpSimulator::PriceHose(std::int32_t pumpId, Pump& pump, std::int32_t hoseNumber) {
    const HoseRecord* hose = nullptr;
    for (const HoseRecord& candidate : config_.hoses) {
        if (candidate.pumpId == pumpId && candidate.number == hoseNumber) {
            hose = &candidate;
            break;
        }
    }
    PumpStatus& status = pump.status;
    if (hose == nullptr) {
        return;
    }
    const PumpRecord* record = RecordOf(pumpId);
    std::int16_t level =
        record->priceLevel1 >= 1 && record->priceLevel1 <= 8 ? record->priceLevel1 : 1;
    if (pump.limit && pump.limit->priceLevel != 0) {
        level = pump.limit->priceLevel;
    }
    status.hoseId = hose->id;
    status.hoseNumber = static_cast<std::int16_t>(hose->number);
    status.priceLevel = level;
    const TankRecord* tank = config_.tanks.Find(hose->tankId);
    const GradeRecord* grade = tank != nullptr ? config_.grades.Find(tank->gradeId) : nullptr;
    status.gradeId = grade != nullptr ? grade->id : -1;
    status.gradeName = grade != nullptr ? TextOf(grade->name) : WideString();
    status.shortGradeName = grade != nullptr ? TextOf(grade->shortName) : WideString();
    double price = grade != nullptr ? grade->prices[static_cast<std::size_t>(level - 1)] : 0;
    if (price == 0) {
        price = level == 2 ? hose->price2 : hose->price1;
    }
    status.price = price;
}

std::int32_t PumpSimulator::Start(std::int32_t pumpId, Pump& pump) {
    PumpStatus& status = pump.status;
    if (pump.limit && pump.limit->hose != 0 && pump.limit->hose != status.hoseNumber) {
        return kWrongPumpState;  // authorised for another hose only
    }
    for (StoredDelivery& stored : pump.deliveries) {
        if (stored.delivery.state != delivery_state::kCurrent) {
            continue;
        }
        if (RecordOf(pumpId)->stackMode == 0) {
            return kNotAllowedByModes;
        }
        if (static_cast<int>(pump.deliveries.size()) > kMaxStacked) {
            return kStackFull;
        }
        stored.delivery.state = delivery_state::kStacked;
        EmitDelivery(pumpId, Aged(stored));
    }
    PriceHose(pumpId, pump, status.hoseNumber);
    status.state = pump_state::kStarting;
    status.volume = 0;
    status.value = 0;
    pump.startingLeftMs = kStartingMs;
    pump.flowMs = 0;
    return kSuccess;
}

std::int32_t PumpSimulator::Grant(std::int32_t pumpId, Pump& pump, std::int32_t attendantId) {
    PumpStatus& status = pump.status;
    if (status.reservedFor == reserved_for::kPrepayReserved ||
        status.reservedFor == reserved_for::kPreauthReserved) {
        return kPumpReserved;  // the reservation's own authorisation must come first
    }
    if (status.state != pump_state::kIdle && status.state != pump_state::kCalling) {
        return kWrongPumpState;
    }
    const std::int32_t before = pump.deliveryAttendant;
    pump.deliveryAttendant = attendantId >= 0 ? attendantId : pump.attendantId;
    if (status.state == pump_state::kIdle) {
        status.state = pump_state::kAuthorised;
        return kSuccess;
    }
    std::int32_t rc = Start(pumpId, pump);
    if (rc != kSuccess) {
        pump.deliveryAttendant = before;
    }
    return rc;
}

void PumpSimulator::Complete(std::int32_t pumpId, Pump& pump) {
    PumpStatus& status = pump.status;
    if (status.volume > 0) {
        StoredDelivery stored;
        stored.completedMs = nowMs_;
        PumpDelivery& delivery = stored.delivery;
        delivery.id = nextDeliveryId_++;
        delivery.hoseId = status.hoseId;
        delivery.hoseNumber = status.hoseNumber;
        delivery.gradeId = status.gradeId;
        delivery.gradeName = status.gradeName;
        delivery.shortGradeName = status.shortGradeName;
        delivery.priceLevel = status.priceLevel;
        delivery.price = status.price;
        delivery.volume = status.volume;
        delivery.value = status.value;
        delivery.state = delivery_state::kCurrent;
        delivery.type =
            status.reservedFor == reserved_for::kPrepayAuthorised    ? delivery_type::kPrepay
            : status.reservedFor == reserved_for::kPreauthAuthorised ? delivery_type::kPreauth
                                                                     : delivery_type::kNormal;
        delivery.reservedBy = status.reservedFor != reserved_for::kNone ? status.reservedBy : -1;
        delivery.completedDate = startDate_ + static_cast<double>(nowMs_) / kMsPerDay;
        delivery.attendantId = pump.deliveryAttendant;
        auto [it, created] = hoseTotals_.try_emplace(status.hoseId, 0.0, 0.0);
        if (created) {
            if (const HoseRecord* hose = config_.hoses.Find(status.hoseId)) {
                it->second = {hose->volumeTotal, hose->valueTotal};
            }
        }
        it->second.first = Round(it->second.first + status.volume, 1000);
        it->second.second = Round(it->second.second + status.value, 100);
        delivery.volumeTotal = it->second.first;
        delivery.valueTotal = it->second.second;
        double pumpTotal = 0;
        for (const HoseRecord& hose : config_.hoses) {
            if (hose.pumpId == pumpId) {
                auto found = hoseTotals_.find(hose.id);
                pumpTotal += found != hoseTotals_.end() ? found->second.first : hose.volumeTotal;
            }
        }
        delivery.volume2Total = Round(pumpTotal, 1000);
        pump.deliveries.push_back(stored);
        EmitDelivery(pumpId, Aged(pump.deliveries.back()));
    }
    status.state = IdleState(pumpId);
    status.reservedFor = reserved_for::kNone;
    status.reservedBy = -1;
    status.hoseId = -1;
    status.hoseNumber = 0;
    pump.limit.reset();
    pump.deliveryAttendant = -1;
    pump.flowMs = 0;
}

void PumpSimulator::Step(std::int32_t, Pump& pump) {
    PumpStatus& status = pump.status;
    if (status.state == pump_state::kStarting) {
        pump.startingLeftMs -= kStepMs;
        if (pump.startingLeftMs <= 0) {
            status.state = pump_state::kDelivering;
        }
        return;
    }
    if (!Flowing(status.state)) {
        return;
    }
    pump.flowMs += kStepMs;
    double volume = Round(flowRate_ * static_cast<double>(pump.flowMs) / 1000.0, 1000);
    if (pump.limit && status.price > 0) {
        const Limit& limit = *pump.limit;
        const double limitVolume =
            limit.type == limit_type::kVolume ? limit.amount : limit.amount / status.price;
        if (volume >= limitVolume) {
            status.volume = Round(limitVolume, 1000);
            status.value = limit.type == limit_type::kValue
                               ? limit.amount
                               : Round(status.volume * status.price, 100);
            status.state = pump_state::kLimitReached;
            return;
        }
        if (volume >= 0.9 * limitVolume) {
            status.state = status.reservedFor == reserved_for::kPrepayAuthorised
                               ? pump_state::kPrepayNearLimit
                               : pump_state::kNearLimit;
        }
    }
    status.volume = volume;
    status.value = Round(volume * status.price, 100);
}

void PumpSimulator::Advance(std::int64_t ms) {
    if (ms <= 0) {
        return;
    }
    pendingMs_ += ms;
    while (pendingMs_ >= kStepMs) {
        pendingMs_ -= kStepMs;
        nowMs_ += kStepMs;
        for (auto& [pumpId, pump] : pumps_) {
            if (RecordOf(pumpId) == nullptr) {
                continue;
            }
            Step(pumpId, pump);
            EmitStatus(pumpId, pump);
        }
    }
}

std::int32_t PumpSimulator::Authorise(std::int32_t pumpId) {
    Pump* pump = Find(pumpId);
    if (pump == nullptr) {
        return kRecordNotFound;
    }
    std::int32_t rc = Grant(pumpId, *pump, -1);
    EmitStatus(pumpId, *pump);
    return rc;
}

std::int32_t PumpSimulator::AttendantAuthorise(std::int32_t pumpId, std::int32_t attendantId) {
    Pump* pump = Find(pumpId);
    if (pump == nullptr || config_.attendants.Find(attendantId) == nullptr) {
        return kRecordNotFound;
    }
    std::int32_t rc = Grant(pumpId, *pump, attendantId);
    EmitStatus(pumpId, *pump);
    return rc;
}

std::int32_t PumpSimulator::CancelAuthorise(std::int32_t pumpId) {
    Pump* pump = Find(pumpId);
    if (pump == nullptr) {
        return kRecordNotFound;
    }
    PumpStatus& status = pump->status;
    if (Started(status.state)) {
        return kDeliveryStarted;
    }
    if (status.state == pump_state::kStarting) {
        status.state = pump_state::kCalling;  // the nozzle is still out: back to calling
    } else if (status.state == pump_state::kAuthorised && IdleState(pumpId) == pump_state::kIdle) {
        status.state = pump_state::kIdle;
    } else {
        return kWrongPumpState;
    }
    if (status.reservedFor == reserved_for::kNone) {
        pump->limit.reset();
    }
    pump->deliveryAttendant = -1;
    EmitStatus(pumpId, *pump);
    return kSuccess;
}

std::int32_t PumpSimulator::TempStop(std::int32_t pumpId) {
    Pump* pump = Find(pumpId);
    if (pump == nullptr) {
        return kRecordNotFound;
    }
    PumpStatus& status = pump->status;
    if (status.state == pump_state::kStarting || status.state == pump_state::kDelivering ||
        status.state == pump_state::kNearLimit) {
        pump->resumeState = status.state;
        status.state = pump_state::kTempStopped;
    } else if (status.state == pump_state::kPrepayNearLimit) {
        pump->resumeState = pump_state::kPrepayNearLimit;
        status.state = pump_state::kPrepayStopped;
    } else {
        return kWrongPumpState;
    }
    EmitStatus(pumpId, *pump);
    return kSuccess;
}

std::int32_t PumpSimulator::ReAuthorise(std::int32_t pumpId) {
    Pump* pump = Find(pumpId);
    if (pump == nullptr) {
        return kRecordNotFound;
    }
    PumpStatus& status = pump->status;
    if (status.state != pump_state::kTempStopped && status.state != pump_state::kPrepayStopped) {
        return kWrongPumpState;
    }
    status.state = pump->resumeState;
    EmitStatus(pumpId, *pump);
    return kSuccess;
}

std::int32_t PumpSimulator::TerminateDelivery(std::int32_t pumpId) {
    Pump* pump = Find(pumpId);
    if (pump == nullptr) {
        return kRecordNotFound;
    }
    PumpStatus& status = pump->status;
    if (status.state != pump_state::kStarting && status.state != pump_state::kTempStopped &&
        status.state != pump_state::kPrepayStopped && !Flowing(status.state)) {
        return kWrongPumpState;
    }
    status.state = pump_state::kStoppedByController;
    EmitStatus(pumpId, *pump);
    return kSuccess;
}

std::int32_t PumpSimulator::StackCurrentDelivery(std::int32_t pumpId) {
    Pump* pump = Find(pumpId);
    if (pump == nullptr) {
        return kRecordNotFound;
    }
    if (RecordOf(pumpId)->stackMode == 0) {
        return kNotAllowedByModes;
    }
    int stacked = 0;
    StoredDelivery* current = nullptr;
    for (StoredDelivery& stored : pump->deliveries) {
        if (stored.delivery.state == delivery_state::kCurrent) {
            current = &stored;
        } else {
            ++stacked;
        }
    }
    if (current == nullptr) {
        return kNoCurrentDelivery;
    }
    if (stacked >= kMaxStacked) {
        return kStackFull;
    }
    current->delivery.state = delivery_state::kStacked;
    EmitDelivery(pumpId, Aged(*current));
    EmitStatus(pumpId, *pump);
    return kSuccess;
}

std::int32_t PumpSimulator::CheckLimit(std::int16_t limitType, double limit, std::int16_t hose,
                                       std::int16_t priceLevel) const {
    if ((limitType != limit_type::kValue && limitType != limit_type::kVolume) ||
        !(limit > 0 && limit <= kMaxLimit) || hose < 0 || hose > 99 || priceLevel < 0 ||
        priceLevel > 8) {
        return kLimitOutOfRange;
    }
    return kSuccess;
}

std::int32_t PumpSimulator::Reserve(std::int32_t pumpId, std::int32_t clientId,
                                    std::int16_t reservedFor, bool allowed) {
    Pump* pump = Find(pumpId);
    if (pump == nullptr) {
        return kRecordNotFound;
    }
    PumpStatus& status = pump->status;
    if (!allowed) {
        return kNotAllowedByModes;
    }
    if (status.reservedFor != reserved_for::kNone) {
        return status.reservedBy == clientId ? kWrongPumpState : kPumpReserved;
    }
    if (!Waiting(status.state)) {
        return kWrongPumpState;
    }
    status.reservedFor = reservedFor;
    status.reservedBy = clientId;
    EmitStatus(pumpId, *pump);
    return kSuccess;
}

std::int32_t PumpSimulator::CancelReservation(std::int32_t pumpId, std::int32_t clientId,
                                              std::int16_t reserved, std::int16_t authorised) {
    Pump* pump = Find(pumpId);
    if (pump == nullptr) {
        return kRecordNotFound;
    }
    PumpStatus& status = pump->status;
    if (status.reservedFor != reserved && status.reservedFor != authorised) {
        return kWrongPumpState;
    }
    if (status.reservedBy != clientId) {
        return kPumpReserved;
    }
    if (Started(status.state) || status.state == pump_state::kStarting) {
        return kDeliveryStarted;
    }
    if (status.reservedFor == authorised && status.state == pump_state::kAuthorised) {
        status.state = IdleState(pumpId);
    }
    status.reservedFor = reserved_for::kNone;
    status.reservedBy = -1;
    pump->limit.reset();
    EmitStatus(pumpId, *pump);
    return kSuccess;
}

std::int32_t PumpSimulator::AuthoriseReserved(std::int32_t pumpId, std::int32_t clientId,
                                              std::int16_t reserved, std::int16_t authorised,
                                              std::int16_t limitType, double limit,
                                              std::int16_t hose, std::int16_t priceLevel) {
    Pump* pump = Find(pumpId);
    if (pump == nullptr) {
        return kRecordNotFound;
    }
    PumpStatus& status = pump->status;
    if (status.reservedFor != reserved) {
        return kWrongPumpState;
    }
    if (status.reservedBy != clientId) {
        return kPumpReserved;
    }
    if (std::int32_t rc = CheckLimit(limitType, limit, hose, priceLevel)) {
        return rc;
    }
    if (!Waiting(status.state)) {
        return kWrongPumpState;
    }
    const PumpStatus before = status;
    const std::optional<Limit> limitBefore = pump->limit;
    pump->limit = Limit{limitType, limit, hose, priceLevel};
    status.reservedFor = authorised;
    std::int32_t rc = status.state == pump_state::kAuthorised ? kSuccess : Grant(pumpId, *pump, -1);
    if (rc != kSuccess) {
        status = before;
        pump->limit = limitBefore;
        return rc;
    }
    EmitStatus(pumpId, *pump);
    return kSuccess;
}

std::int32_t PumpSimulator::PrepayReserve(std::int32_t pumpId, std::int32_t clientId) {
    const PumpRecord* record = RecordOf(pumpId);
    return Reserve(pumpId, clientId, reserved_for::kPrepayReserved,
                   record != nullptr && record->prepayAllowed != 0);
}

std::int32_t PumpSimulator::PrepayCancel(std::int32_t pumpId, std::int32_t clientId) {
    return CancelReservation(pumpId, clientId, reserved_for::kPrepayReserved,
                             reserved_for::kPrepayAuthorised);
}

std::int32_t PumpSimulator::PrepayAuthorise(std::int32_t pumpId, std::int32_t clientId,
                                            std::int16_t limitType, double limit, std::int16_t hose,
                                            std::int16_t priceLevel) {
    return AuthoriseReserved(pumpId, clientId, reserved_for::kPrepayReserved,
                             reserved_for::kPrepayAuthorised, limitType, limit, hose, priceLevel);
}

std::int32_t PumpSimulator::PreauthReserve(std::int32_t pumpId, std::int32_t clientId) {
    const PumpRecord* record = RecordOf(pumpId);
    return Reserve(pumpId, clientId, reserved_for::kPreauthReserved,
                   record != nullptr && record->preauthAllowed != 0);
}

std::int32_t PumpSimulator::PreauthCancel(std::int32_t pumpId, std::int32_t clientId) {
    return CancelReservation(pumpId, clientId, reserved_for::kPreauthReserved,
                             reserved_for::kPreauthAuthorised);
}

std::int32_t PumpSimulator::PreauthAuthorise(std::int32_t pumpId, std::int32_t clientId,
                                             std::int16_t limitType, double limit,
                                             std::int16_t hose, std::int16_t priceLevel) {
    return AuthoriseReserved(pumpId, clientId, reserved_for::kPreauthReserved,
                             reserved_for::kPreauthAuthorised, limitType, limit, hose, priceLevel);
}

std::int32_t PumpSimulator::LoadPreset(std::int32_t pumpId, std::int16_t limitType, double limit,
                                       std::int16_t hose, std::int16_t priceLevel) {
    Pump* pump = Find(pumpId);
    if (pump == nullptr) {
        return kRecordNotFound;
    }
    if (RecordOf(pumpId)->hasPreset == 0) {
        return kNotAllowedByModes;
    }
    if (std::int32_t rc = CheckLimit(limitType, limit, hose, priceLevel)) {
        return rc;
    }
    const PumpStatus& status = pump->status;
    if (status.reservedFor != reserved_for::kNone) {
        return kPumpReserved;
    }
    if (!Waiting(status.state)) {
        return kWrongPumpState;
    }
    pump->limit = Limit{limitType, limit, hose, priceLevel};
    return kSuccess;
}

std::int32_t PumpSimulator::AttendantLogon(std::int32_t attendantId, std::int32_t pumpId) {
    Pump* pump = Find(pumpId);
    if (pump == nullptr || (attendantId != -1 && config_.attendants.Find(attendantId) == nullptr)) {
        return kRecordNotFound;
    }
    pump->attendantId = attendantId;
    return kSuccess;
}

std::int32_t PumpSimulator::Lift(std::int32_t pumpId, std::int32_t hoseNumber) {
    Pump* pump = Find(pumpId);
    if (pump == nullptr) {
        return kRecordNotFound;
    }
    bool known = false;
    for (const HoseRecord& hose : config_.hoses) {
        known = known || (hose.pumpId == pumpId && hose.number == hoseNumber);
    }
    if (!known) {
        return kInvalidArgument;
    }
    PumpStatus& status = pump->status;
    if (status.state != pump_state::kIdle && status.state != pump_state::kAuthorised) {
        return kWrongPumpState;
    }
    const bool authorised = status.state == pump_state::kAuthorised;
    PriceHose(pumpId, *pump, hoseNumber);
    status.state = pump_state::kCalling;
    if (authorised) {
        // A start that is refused (the current delivery cannot be stacked) changes nothing:
        // the customer stays calling, waiting for the cashier.
        Start(pumpId, *pump);
    }
    EmitStatus(pumpId, *pump);
    return kSuccess;
}

std::int32_t PumpSimulator::Hang(std::int32_t pumpId) {
    Pump* pump = Find(pumpId);
    if (pump == nullptr) {
        return kRecordNotFound;
    }
    PumpStatus& status = pump->status;
    if (status.state == pump_state::kCalling) {
        const bool authorised = status.reservedFor == reserved_for::kPrepayAuthorised ||
                                status.reservedFor == reserved_for::kPreauthAuthorised;
        status.state = authorised ? std::int16_t{pump_state::kAuthorised} : IdleState(pumpId);
        status.hoseId = -1;
        status.hoseNumber = 0;
    } else if (status.state == pump_state::kStarting || Started(status.state)) {
        Complete(pumpId, *pump);
    } else {
        return kWrongPumpState;
    }
    EmitStatus(pumpId, *pump);
    return kSuccess;
}

std::int32_t PumpSimulator::Pay(std::int32_t pumpId, std::int32_t deliveryId) {
    Pump* pump = Find(pumpId);
    if (pump == nullptr) {
        return kRecordNotFound;
    }
    StoredDelivery* stored = FindDelivery(*pump, deliveryId);
    if (stored == nullptr) {
        return kRecordNotFound;
    }
    stored->delivery.state = delivery_state::kCleared;
    EmitDelivery(pumpId, Aged(*stored));
    pump->deliveries.erase(pump->deliveries.begin() + (stored - pump->deliveries.data()));
    EmitStatus(pumpId, *pump);
    return kSuccess;
}

std::int32_t PumpSimulator::DriveOff(std::int32_t pumpId, std::int32_t deliveryId) {
    Pump* pump = Find(pumpId);
    if (pump == nullptr) {
        return kRecordNotFound;
    }
    StoredDelivery* stored = FindDelivery(*pump, deliveryId);
    if (stored == nullptr) {
        return kRecordNotFound;
    }
    stored->delivery.type = delivery_type::kDriveOff;
    EmitDelivery(pumpId, Aged(*stored));
    return kSuccess;
}

std::int32_t PumpSimulator::Fault(std::int32_t pumpId, std::int16_t state) {
    Pump* pump = Find(pumpId);
    if (pump == nullptr) {
        return kRecordNotFound;
    }
    // Only a fault's states, or 3 for its end: any other state (a delivery without a hose,
    // a starting pump) is one the pump must reach through its own commands.
    if (state != pump_state::kNotResponding && state != pump_state::kIdle &&
        !pump_state::IsError(state)) {
        return kInvalidArgument;
    }
    PumpStatus& status = pump->status;
    if (status.state == pump_state::kStarting || Started(status.state)) {
        Complete(pumpId, *pump);
    }
    status.hoseId = -1;
    status.hoseNumber = 0;
    status.state = state;
    EmitStatus(pumpId, *pump);
    return kSuccess;
}

}  // namespace kestro
