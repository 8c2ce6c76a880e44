#include "demo/shell/schedule_clock.h"

#include <cmath>

namespace velor::demo {

ScheduleClock::ScheduleClock(double stepSeconds, FrameClock* real)
    : real_(real), step_(int64_t(std::llround(stepSeconds * double(kFrequency)))) {}

int64_t ScheduleClock::RealTicksSinceHandOver() {
    const int64_t ticks = real_->QueryPerformanceCounter() - handOverReal_;
    const int64_t frequency = real_->QueryPerformanceFrequency();
    if (frequency == kFrequency) return ticks;
    // A browser's counter counts milliseconds; whole seconds first, so nothing overflows.
    return ticks / frequency * kFrequency + ticks % frequency * kFrequency / frequency;
}

int64_t ScheduleClock::QueryPerformanceCounter() {
    int64_t reading = now_;
    if (!stepping_) {
        reading = now_ + RealTicksSinceHandOver();
    } else {
        if (started_) now_ += step_;
        reading = now_;
    }
    started_ = true;
    previous_ = last_;
    last_ = reading;
    return reading;
}

void ScheduleClock::Sleep(uint32_t milliseconds) {
    if (real_ != nullptr) real_->Sleep(milliseconds);
    if (stepping_) now_ += int64_t(milliseconds) * (kFrequency / 1000);
}

void ScheduleClock::HandOver() {
    if (real_ == nullptr || !stepping_) return;
    stepping_ = false;
    handOverReal_ = real_->QueryPerformanceCounter();
}

void ScheduleClock::RestartRealTime() {
    if (real_ == nullptr || stepping_) return;
    handOverReal_ = real_->QueryPerformanceCounter();
}

}  // namespace velor::demo
