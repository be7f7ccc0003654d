// CTimer: the stopwatch that ages Tolvan's deliveries. It counts whole seconds on the system
// tick count (GetTickCount, 32-bit milliseconds that wrap) and is itself a listable element.
#pragma once

#include <cstdint>

#include "control/element_list.h"
#include "platform/win_types.h"

class CTimer : public CElement<CTimer, CTimer> {
  public:
    // Starts at once: the start tick is the current tick count.
    CTimer();

    // Starts again from the current tick count.
    void Restart();

    // Whole seconds since the start: (now - start tick) taken as a signed 32-bit difference,
    // divided by 1,000 and truncated toward zero. Correct across one wrap of the tick count;
    // a clock set back before the start, or 2^31 ms (about 24.8 days) or more since it, gives
    // a negative count.
    std::int32_t ElapsedSeconds() const;

  private:
    DWORD startTick_;
};
