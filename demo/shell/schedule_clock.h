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
    // After the hand-over, counts real time from now instead: a player that waited for something the
    // picture must keep pace with (the music's first samples) starts the real time there.
    void RestartRealTime();
    bool Stepping() const { return stepping_; }
    int64_t StepTicks() const { return step_; }
    // Ticks between the last two readings: the delta of the frame the loop last measured.
    int64_t LastTicks() const { return last_ - previous_; }

private:
    int64_t RealTicksSinceHandOver();

    FrameClock* real_;
    int64_t step_;
    int64_t now_ = 0;  // the stepped reading
    bool started_ = false;
    bool stepping_ = true;
    int64_t handOverReal_ = 0;  // the real reading at the hand-over
    int64_t previous_ = 0, last_ = 0;
};

}  // namespace velor::demo
