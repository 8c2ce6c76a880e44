#include "demo/shell/schedule_clock.h"

#include <algorithm>
#include <cmath>

namespace velor::demo {

ScheduleClock::ScheduleClock(double stepSeconds, FrameClock* real)
    : real_(real), step_(int64_t(std::llround(stepSeconds * double(kFrequency)))) {}

int64_t ScheduleClock::RealTicks(int64_t ticks) const {
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

int64_t ScheduleClock::Peek() const {
    if (stepping_) return now_;
    if (paused_) return now_ + RealTicks(std::max<int64_t>(0, pausedReal_ - handOverReal_));
    return now_ + RealTicksSinceHandOver();
}

void ScheduleClock::Restep() {
    if (real_ == nullptr) return;
    stepping_ = true;
    now_ = last_;
}

void ScheduleClock::Pause() {
    if (real_ == nullptr || paused_) return;
    paused_ = true;
    pausedReal_ = real_->QueryPerformanceCounter();
}

void ScheduleClock::Resume() {
    if (real_ == nullptr || !paused_) return;
    paused_ = false;
    // Only the paused time after the hand-over counts; before it the steps were the clock.
    if (!stepping_) handOverReal_ += real_->QueryPerformanceCounter() - std::max(pausedReal_, handOverReal_);
}

}  // namespace velor::demo
