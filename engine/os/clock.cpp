#include "engine/os/clock.h"

#include <SDL.h>

#include <cmath>

namespace velor {

int64_t PerformanceCounterClock::QueryPerformanceCounter() { return int64_t(SDL_GetPerformanceCounter()); }
int64_t PerformanceCounterClock::QueryPerformanceFrequency() { return int64_t(SDL_GetPerformanceFrequency()); }
void PerformanceCounterClock::Sleep(uint32_t milliseconds) { SDL_Delay(milliseconds); }

FixedStepClock::FixedStepClock(double stepSeconds) : step_(int64_t(std::llround(stepSeconds * kFrequency))) {}

int64_t FixedStepClock::QueryPerformanceCounter() {
    if (started_) now_ += step_;
    started_ = true;
    return now_;
}

}  // namespace velor
