// The delivery stopwatch on the platform's tick count.
#include "control/timer.h"

#include "platform/systime.h"

CTimer::CTimer() : startTick_(GetTickCount()) {}

void CTimer::Restart() {
    startTick_ = GetTickCount();
}

std::int32_t CTimer::ElapsedSeconds() const {
    // Unsigned subtraction wraps with the tick count; the conversion to signed is modular.
    const auto elapsed = static_cast<std::int32_t>(GetTickCount() - startTick_);
    return elapsed / 1000;
}
