#pragma once
// The clock a frame schedule runs on: fixed steps while the demo is played up to where it is drawn
// from, then, for a player, the real counter.
#include <cstdint>

#include "engine/os/clock.h"

namespace velor::demo {

// Steps of `stepSeconds`, counted in nanoseconds exactly as FixedStepClock counts them, so a stepped
// frame has the same delta whichever front end runs it. After HandOver it follows `real`: the real
// time since the hand-over is added to the last stepped reading, so the first frame after it sees
// only that. Without a real clock it steps for ever and HandOver does nothing.
class ScheduleClock final : public FrameClock {
public:
    static constexpr int64_t kFrequency = FixedStepClock::kFrequency;

    explicit ScheduleClock(double stepSeconds, FrameClock* real = nullptr);
    int64_t QueryPerformanceCounter() override;
    int64_t QueryPerformanceFrequency() override { return kFrequency; }
    // The loop's wait on a lost device: a stepped reading moves by its length.
    void Sleep(uint32_t milliseconds) override;

    void HandOver();
    // Back to fixed steps from the last reading, until the next HandOver: a player's seek plays the
    // frames up to its target on them, as a start at T does.
    void Restep();
    // A player's pause: the real time between the two calls (after the hand-over) never reaches a
    // reading. Neither does anything while stepping.
    void Pause();
    void Resume();
    bool Stepping() const { return stepping_; }
    // The reading the clock would give now, without taking it (a paused clock's stands still).
    int64_t Peek() const;
    int64_t StepTicks() const { return step_; }
    // Ticks between the last two readings: the delta of the frame the loop last measured.
    int64_t LastTicks() const { return last_ - previous_; }

private:
    int64_t RealTicksSinceHandOver() const { return RealTicks(real_->QueryPerformanceCounter() - handOverReal_); }
    int64_t RealTicks(int64_t realTicks) const;

    FrameClock* real_;
    int64_t step_;
    int64_t now_ = 0;  // the stepped reading
    bool started_ = false;
    bool stepping_ = true;
    int64_t handOverReal_ = 0;  // the real reading at the hand-over, moved on by each pause since
    bool paused_ = false;
    int64_t pausedReal_ = 0;    // the real reading at the pause
    int64_t previous_ = 0, last_ = 0;
};

}  // namespace velor::demo
