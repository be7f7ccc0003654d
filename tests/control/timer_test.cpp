// Tests of CTimer on the frozen tick count: whole seconds truncated toward zero, across the
// 32-bit wrap, restarts, a clock behind the start, and timers kept in an element list.
#include "control/timer.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "platform/systime.h"

namespace {

class TimerTest : public ::testing::Test {
  protected:
    void SetUp() override { platform_test::SetTickCount(50000); }
    void TearDown() override { platform_test::ClearTickCount(); }
};

TEST_F(TimerTest, ElapsedSecondsAreWholeSecondsSinceTheStartTick) {
    struct Case {
        DWORD start;
        DWORD advance;
        std::int32_t seconds;
    };
    const Case cases[] = {
        {1000, 0, 0},
        {1000, 999, 0},
        {1000, 1000, 1},
        {1000, 1999, 1},
        {1000, 61000, 61},
        {0xFFFFFC18u, 999, 0},   // 1 s before the wrap: now 0xFFFFFFFF
        {0xFFFFFC18u, 1000, 1},  // now 0 after the wrap
        {0xFFFFF000u, 5000, 5},  // now 904 after the wrap
        {0xFFFFFFFFu, 2000, 2},  // started on the last tick before the wrap
        {0x80000000u, 3000, 3},  // the sign bit of the tick count means nothing
        {0, 0x7FFFFFFFu, 2147483},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.start << " + " << c.advance);
        platform_test::SetTickCount(c.start);
        CTimer timer;
        platform_test::AdvanceTickCount(c.advance);
        EXPECT_EQ(timer.ElapsedSeconds(), c.seconds);
    }
}

// The difference is signed: a clock behind the start gives a negative count, truncated
// toward zero, and so do 2^31 ms or more.
TEST_F(TimerTest, ClockBehindTheStartGivesNegativeSecondsTruncatedTowardZero) {
    CTimer timer;  // at 50,000
    platform_test::SetTickCount(48500);
    EXPECT_EQ(timer.ElapsedSeconds(), -1);
    platform_test::SetTickCount(49001);
    EXPECT_EQ(timer.ElapsedSeconds(), 0);
    platform_test::SetTickCount(50000 + 0x80000000u);
    EXPECT_EQ(timer.ElapsedSeconds(), -2147483);
}

TEST_F(TimerTest, EachTimerStartsAtItsConstructionAndRestartStartsAgain) {
    CTimer early;
    platform_test::AdvanceTickCount(2500);
    CTimer late;
    platform_test::AdvanceTickCount(4000);
    EXPECT_EQ(early.ElapsedSeconds(), 6);
    EXPECT_EQ(late.ElapsedSeconds(), 4);

    early.Restart();
    EXPECT_EQ(early.ElapsedSeconds(), 0);
    platform_test::AdvanceTickCount(1999);
    EXPECT_EQ(early.ElapsedSeconds(), 1);
    EXPECT_EQ(late.ElapsedSeconds(), 5);  // 5,999 ms: unaffected by the restart
}

TEST_F(TimerTest, RestartAcrossTheWrapCountsFromTheNewStart) {
    platform_test::SetTickCount(0xFFFFFF00u);
    CTimer timer;
    platform_test::AdvanceTickCount(0x100 + 3000);  // now 3,000 after the wrap
    EXPECT_EQ(timer.ElapsedSeconds(), 3);
    timer.Restart();
    platform_test::AdvanceTickCount(999);
    EXPECT_EQ(timer.ElapsedSeconds(), 0);
}

TEST_F(TimerTest, TimersAreListableElements) {
    CElementList<CTimer> timers;
    CTimer* first = timers.Add(new CTimer);
    platform_test::AdvanceTickCount(3000);
    timers.Add(new CTimer);
    platform_test::AdvanceTickCount(1000);
    EXPECT_EQ(timers.First(), first);
    EXPECT_EQ(timers.First()->GetObject(), first);
    EXPECT_EQ(timers.First()->ElapsedSeconds(), 4);
    EXPECT_EQ(timers.Next()->ElapsedSeconds(), 1);
    EXPECT_EQ(timers.Next(), nullptr);
    timers.Clear();
    EXPECT_EQ(timers.Count(), 0);
}

}  // namespace
