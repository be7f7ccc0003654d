// The live side of kestrod: the pump simulator over the served station, its clock (real time,
// or manual for tests: only ClockTick moves it), the demo's customers when asked for, and the
// publishing of every change to the events port's subscribers.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <thread>

#include "kestro/model/demo_customers.h"
#include "kestro/model/pump_simulator.h"
#include "kestro/server/event_hub.h"
#include "kestro/server/served_station.h"

namespace kestro::server {

enum class ClockMode { kReal, kManual };

class LiveForecourt {
  public:
    // Simulates the pumps of `served` with changes published to `hub`. A manual clock starts
    // at 2026-01-01 00:00 so that its dates repeat; a real one at the local time now.
    LiveForecourt(ServedStation& served, EventHub& hub, ClockMode mode,
                  std::optional<std::uint32_t> demoSeed);
    ~LiveForecourt();
    LiveForecourt(const LiveForecourt&) = delete;
    LiveForecourt& operator=(const LiveForecourt&) = delete;

    // Every use needs the served station's mutex held.
    PumpSimulator& pumps() { return pumps_; }
    ClockMode mode() const { return mode_; }
    // Moves the simulation forward by `ms`, step by step, the demo acting after each step.
    // Stops early, with the time reached, once the flag given to EndStepsOn is set.
    void Advance(std::int64_t ms);
    // Lets `stopping` (the server's stop request) cut a long Advance short, so that a stop
    // does not wait for it.
    void EndStepsOn(const std::atomic<bool>& stopping) { stopping_ = &stopping; }

    // With a real clock: a thread advances the simulation every step until Stop.
    void Start();
    void Stop();

  private:
    ServedStation& served_;
    ClockMode mode_;
    PumpSimulator pumps_;
    std::optional<DemoCustomers> demo_;
    std::int64_t pendingMs_ = 0;
    std::atomic<bool> stop_ = false;
    const std::atomic<bool>* stopping_ = nullptr;
    std::thread clock_;
};

}  // namespace kestro::server
