// The forecourt's manual clock in-process: a tick moves it by whole steps, keeps the rest for
// the next one, and a server that is stopping cuts a long tick short instead of finishing it.
#include "kestro/server/live_forecourt.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <mutex>

#include "kestro/model/station_generators.h"
#include "kestro/server/event_hub.h"

namespace {

using kestro::server::ClockMode;
using kestro::server::LiveForecourt;

class ManualClockTest : public ::testing::Test {
  protected:
    kestro::Station station_{kestro::SampleStation()};
    kestro::StationStore store_;  // not opened: nothing here saves
    kestro::server::ServedStation served_{station_, store_};
    kestro::server::EventHub hub_;
    LiveForecourt forecourt_{served_, hub_, ClockMode::kManual, 7u};
};

TEST_F(ManualClockTest, ATickMovesByWholeStepsAndKeepsTheRest) {
    std::lock_guard<std::mutex> lock(served_.mutex);
    struct Row {
        std::int64_t tick;
        std::int64_t now;
    };
    const Row rows[] = {{250, 200}, {50, 300}, {0, 300}, {-100, 300}, {600000, 600300}};
    for (const Row& row : rows) {
        forecourt_.Advance(row.tick);
        EXPECT_EQ(forecourt_.pumps().NowMs(), row.now) << row.tick;
    }
}

TEST_F(ManualClockTest, AStoppingServerCutsATickShort) {
    std::atomic<bool> stopping = false;
    forecourt_.EndStepsOn(stopping);
    std::lock_guard<std::mutex> lock(served_.mutex);
    forecourt_.Advance(1000);
    EXPECT_EQ(forecourt_.pumps().NowMs(), 1000);
    stopping = true;
    forecourt_.Advance(600000);
    EXPECT_EQ(forecourt_.pumps().NowMs(), 1000);
}

}  // namespace
