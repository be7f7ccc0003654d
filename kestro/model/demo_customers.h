// Simulated customers for a station that should look alive without anyone typing: they
// arrive at random idle pumps, lift a nozzle, wait to be authorised (an attendant authorises
// a calling pump after a few seconds when nobody else does, unless the pump authorises by
// itself), fill a random amount, hang up and pay after a while; now and then one prepays, a
// sale is stacked, or a driver leaves without paying. Deterministic for a seed: the same
// seed and the same steps give the same customers.
#pragma once

#include <cstdint>
#include <map>
#include <random>
#include <vector>

#include "kestro/model/pump_simulator.h"

namespace kestro {

class DemoCustomers {
  public:
    // The client identifier the demo's prepay reservations carry.
    static constexpr std::int32_t kDemoClientId = 900;

    explicit DemoCustomers(std::uint32_t seed);

    // Acts once per simulation step, after `pumps` has advanced to its current time.
    void Act(PumpSimulator& pumps);

  private:
    struct Customer {
        enum class Stage { kNone, kCalling, kFilling } stage = Stage::kNone;
        std::int64_t since = 0;   // time the stage began
        double targetVolume = 0;  // litres the customer wants
    };
    struct Payment {
        std::int32_t pumpId = 0;
        std::int64_t dueMs = 0;
    };

    bool Chance(double probability);
    std::int64_t Between(std::int64_t low, std::int64_t high);
    void ActAt(PumpSimulator& pumps, std::int32_t pumpId, Customer& customer, std::int64_t now);

    std::mt19937 random_;
    std::map<std::int32_t, Customer> customers_;
    std::map<std::int32_t, Payment> payments_;  // by delivery
};

}  // namespace kestro
