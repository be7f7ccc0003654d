// The demo's customers, one per pump at a time, and the payments they owe.
#include "kestro/model/demo_customers.h"

#include "client/pump_codes.h"
#include "kestro/model/result_codes.h"

namespace kestro {
namespace {

constexpr double kArrivalPerStep = 1.0 / 250;  // a customer every 25 s per idle pump
constexpr std::int64_t kAttendantWaitMs = 4000;
constexpr std::int64_t kGiveUpMs = 60000;
constexpr int kMaxHoses = 8;

}  // namespace

DemoCustomers::DemoCustomers(std::uint32_t seed) : random_(seed) {}

bool DemoCustomers::Chance(double probability) {
    return std::uniform_real_distribution<double>(0.0, 1.0)(random_) < probability;
}

std::int64_t DemoCustomers::Between(std::int64_t low, std::int64_t high) {
    return std::uniform_int_distribution<std::int64_t>(low, high)(random_);
}

void DemoCustomers::Act(PumpSimulator& pumps) {
    const std::int64_t now = pumps.NowMs();
    for (std::int32_t pumpId : pumps.PumpIds()) {
        ActAt(pumps, pumpId, customers_[pumpId], now);
    }
    for (auto it = payments_.begin(); it != payments_.end();) {
        if (now >= it->second.dueMs) {
            pumps.Pay(it->second.pumpId, it->first);  // the cashier may have cleared it already
            it = payments_.erase(it);
        } else {
            ++it;
        }
    }
}

void DemoCustomers::ActAt(PumpSimulator& pumps, std::int32_t pumpId, Customer& customer,
                          std::int64_t now) {
    PumpStatus status;
    if (pumps.ReadStatus(pumpId, &status) != kSuccess) {
        return;
    }
    using Stage = Customer::Stage;
    switch (customer.stage) {
        case Stage::kNone: {
            if ((status.state != pump_state::kIdle && status.state != pump_state::kAuthorised) ||
                status.reservedFor != reserved_for::kNone || !Chance(kArrivalPerStep)) {
                return;
            }
            if (Chance(0.1) && pumps.PrepayReserve(pumpId, kDemoClientId) == kSuccess) {
                pumps.PrepayAuthorise(pumpId, kDemoClientId, limit_type::kValue,
                                      static_cast<double>(Between(2, 10) * 10), 0, 0);
            }
            const std::int64_t first = Between(1, kMaxHoses);
            for (std::int64_t i = 0; i < kMaxHoses; ++i) {
                const auto hose = static_cast<std::int32_t>((first + i - 1) % kMaxHoses + 1);
                if (pumps.Lift(pumpId, hose) == kSuccess) {
                    customer = {Stage::kCalling, now, static_cast<double>(Between(5, 40))};
                    return;
                }
            }
            pumps.PrepayCancel(pumpId, kDemoClientId);
            return;
        }
        case Stage::kCalling:
            if (status.state == pump_state::kCalling && now - customer.since >= kAttendantWaitMs) {
                if (pumps.Authorise(pumpId) != kSuccess && now - customer.since >= kGiveUpMs) {
                    pumps.Hang(pumpId);
                    customer = {};
                }
            } else if (status.state >= pump_state::kStarting) {
                customer.stage = Stage::kFilling;
                customer.since = now;
            } else if (status.state != pump_state::kCalling) {
                customer = {};  // the pump went out of service under the customer
            }
            return;
        case Stage::kFilling: {
            const bool done = status.state == pump_state::kLimitReached ||
                              status.state == pump_state::kStoppedByController ||
                              status.volume >= customer.targetVolume ||
                              now - customer.since >= 10 * kGiveUpMs;
            if (status.state == pump_state::kCalling) {
                customer.stage = Stage::kCalling;  // the cashier cancelled before the flow
                customer.since = now;
                return;
            }
            if (!done || pumps.Hang(pumpId) != kSuccess) {
                if (status.state < pump_state::kCalling) {
                    customer = {};
                }
                return;
            }
            customer = {};
            std::int32_t count = 0;
            PumpDelivery delivery;
            if (pumps.DeliveryCount(pumpId, &count) != kSuccess || count == 0 ||
                pumps.ReadDelivery(pumpId, count, &delivery) != kSuccess ||
                delivery.state != delivery_state::kCurrent) {
                return;
            }
            std::int64_t payIn = Between(5000, 20000);
            if (Chance(0.04)) {
                pumps.DriveOff(pumpId, delivery.id);
                payIn = 90000;  // written off by the manager later
            } else if (Chance(0.2)) {
                pumps.StackCurrentDelivery(pumpId);
                payIn += 15000;
            }
            payments_[delivery.id] = {pumpId, now + payIn};
            return;
        }
    }
}

}  // namespace kestro
