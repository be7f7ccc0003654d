// The forecourt's clock and its link to the events port.
#include "kestro/server/live_forecourt.h"

#include <chrono>
#include <ctime>
#include <mutex>

namespace kestro::server {
namespace {

constexpr double kManualStartDate = 46023.0;  // 2026-01-01 00:00 as an automation date
constexpr double kUnixEpochDate = 25569.0;    // 1970-01-01 as an automation date

double LocalDateNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return kUnixEpochDate + static_cast<double>(now + local.tm_gmtoff) / 86400.0;
}

}  // namespace

LiveForecourt::LiveForecourt(ServedStation& served, EventHub& hub, ClockMode mode,
                             std::optional<std::uint32_t> demoSeed)
    : served_(served),
      mode_(mode),
      pumps_(served.station.CurrentConfiguration(),
             mode == ClockMode::kManual ? kManualStartDate : LocalDateNow()) {
    pumps_.SetEventSink([&hub](const PumpEvent& event) { hub.Publish(event); });
    if (demoSeed) {
        demo_.emplace(*demoSeed);
    }
}

LiveForecourt::~LiveForecourt() {
    Stop();
}

void LiveForecourt::Advance(std::int64_t ms) {
    if (ms <= 0) {
        return;
    }
    pendingMs_ += ms;
    while (pendingMs_ >= PumpSimulator::kStepMs) {
        if (stopping_ != nullptr && *stopping_) {
            pendingMs_ %= PumpSimulator::kStepMs;
            return;
        }
        pendingMs_ -= PumpSimulator::kStepMs;
        pumps_.Advance(PumpSimulator::kStepMs);
        if (demo_) {
            demo_->Act(pumps_);
        }
    }
}

void LiveForecourt::Start() {
    if (mode_ != ClockMode::kReal || clock_.joinable()) {
        return;
    }
    clock_ = std::thread([this] {
        using Clock = std::chrono::steady_clock;
        const auto step = std::chrono::milliseconds(PumpSimulator::kStepMs);
        auto last = Clock::now();
        auto next = last + step;
        while (!stop_) {
            std::this_thread::sleep_until(next);
            next += step;
            const auto now = Clock::now();
            const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(now - last);
            last += elapsed;
            std::lock_guard<std::mutex> lock(served_.mutex);
            Advance(elapsed.count());
        }
    });
}

void LiveForecourt::Stop() {
    stop_ = true;
    if (clock_.joinable()) {
        clock_.join();
    }
}

}  // namespace kestro::server
