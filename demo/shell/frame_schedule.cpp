#include "demo/shell/frame_schedule.h"

#include <utility>

#include "demo/shell/frame_loop.h"

namespace velor::demo {

FrameSchedule FrameSchedule::AtTimes(const std::vector<double>& times, double step) {
    return Stretches(times, 1, step);
}

FrameSchedule FrameSchedule::Stretches(const std::vector<double>& times, long count, double step) {
    std::vector<DrawnSpan> spans;
    for (double time : times) spans.push_back({time, 0, count});
    return FrameSchedule(std::move(spans), step);
}

FrameSchedule FrameSchedule::Frames(long first, long count, double step) {
    return FrameSchedule({{0, first, count}}, step);
}

FrameSchedule FrameSchedule::From(double from, double step, FrameClock* real) {
    FrameSchedule schedule({{from, 0, kUnending}}, step, real);
    // Nothing to catch up with: the real clock from the start, as a plain player's.
    if (from <= 0) schedule.clock_.HandOver();
    return schedule;
}

FrameSchedule::FrameSchedule(std::vector<DrawnSpan> spans, double step, FrameClock* real)
    : spans_(std::move(spans)), clock_(step, real) {}

bool FrameSchedule::Reaches(const DrawnSpan& span, long number, float time) const {
    if (span.number > 0) return number >= span.number;
    return double(time) >= span.time - kTimeTolerance;
}

void FrameSchedule::SeekTo(double time, bool fromStart) {
    spans_.assign(1, DrawnSpan{time, 0, kUnending});
    span_ = 0;
    drawnInSpan_ = 0;
    drewAny_ = false;
    if (fromStart) {
        number_ = 0;
        time_ = 0;
    }
    clock_.Restep();
}

ScheduledFrame FrameSchedule::FinishFrame() {
    ScheduledFrame frame;
    frame.number = ++number_;
    // The frame loop's delta and the timeline's sum, in their precision.
    frame.delta = FrameDeltaSeconds(clock_.LastTicks(), CounterPeriod(clock_.QueryPerformanceFrequency()));
    time_ += frame.delta;
    frame.time = time_;
    if (Ended() || (drawnInSpan_ == 0 && !Reaches(spans_[span_], number_, time_))) return frame;

    frame.drawn = true;
    frame.firstDrawn = !drewAny_;
    drewAny_ = true;
    if (drawnInSpan_ == 0) frame.spansBegun = 1;
    frame.span = span_;
    frame.ofSpan = drawnInSpan_++;
    // Spans that end with this frame give way to the next, which may begin with this frame too.
    while (!Ended() && drawnInSpan_ == spans_[span_].count) {
        ++span_;
        drawnInSpan_ = 0;
        if (!Ended() && Reaches(spans_[span_], number_, time_)) {
            frame.span = span_;
            frame.ofSpan = 0;
            ++frame.spansBegun;
            drawnInSpan_ = 1;
        }
    }
    if (frame.firstDrawn) {
        if (atHandOver_) atHandOver_(frame);
        clock_.HandOver();
    }
    return frame;
}

float FrameSchedule::NextTime() const {
    return time_ + FrameDeltaSeconds(clock_.StepTicks(), CounterPeriod(ScheduleClock::kFrequency));
}

bool FrameSchedule::DrawsNext() const {
    if (Ended()) return false;
    if (drawnInSpan_ > 0 || !clock_.Stepping()) return true;
    return Reaches(spans_[span_], number_ + 1, NextTime());
}

}  // namespace velor::demo
