#pragma once
// The frame clock: QueryPerformanceCounter / Frequency and Sleep, behind an interface so the
// demo runs on the real counter and captures and tests on a fixed step.
#include <cstdint>

namespace velor {

class FrameClock {
public:
    virtual ~FrameClock() = default;
    virtual int64_t QueryPerformanceCounter() = 0;
    virtual int64_t QueryPerformanceFrequency() = 0;
    virtual void Sleep(uint32_t milliseconds) = 0;
};

// SDL's performance counter and a real sleep.
class PerformanceCounterClock final : public FrameClock {
public:
    int64_t QueryPerformanceCounter() override;
    int64_t QueryPerformanceFrequency() override;
    void Sleep(uint32_t milliseconds) override;
};

// Advances by a fixed step at every counter read after the first; Sleep advances by its duration.
// The loop reads the counter once at start and once per frame, so each frame sees one step.
class FixedStepClock final : public FrameClock {
public:
    explicit FixedStepClock(double stepSeconds);
    int64_t QueryPerformanceCounter() override;
    int64_t QueryPerformanceFrequency() override { return kFrequency; }
    void Sleep(uint32_t milliseconds) override { now_ += int64_t(milliseconds) * (kFrequency / 1000); }

    static constexpr int64_t kFrequency = 1'000'000'000;  // nanoseconds

private:
    int64_t step_;
    int64_t now_ = 0;
    bool started_ = false;
};

}  // namespace velor
