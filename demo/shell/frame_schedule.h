#pragma once
// Which frames of a run are drawn, and on which clock: the one schedule behind the player's start
// at T, the capture tool's stills and videos, the web page's frames and the bench's windows, so that
// the frame at T is the same frame whichever of them asks for it.
//
// A run always starts at demo time 0, since the demo's state builds up frame by frame and cannot
// jump; it steps by a fixed delta, and the frames it does not draw skip rasterisation. Frame n
// (counted from 1, as the frame loop draws them) comes n steps after the clock's start, and its time
// is what the demo makes of it: the sum of the frame deltas in single precision, which by the end of
// the demo lies about a frame's length from n * step. So:
//   - the frame at T is the first frame whose time, as the demo sums it, is at or past T;
//   - a video's frames are counted by number: frame n is the n-th 1 / fps of the run and carries
//     that stretch of the music, and a video from A to B holds frames round(A * fps) + 1 to
//     round(B * fps) of the run from 0, the frames a whole run's video has there.
// The schedule reckons the deltas and times itself, from its clock's readings, with the frame loop's
// own arithmetic; ScheduleOnShell checks after every frame that the demo agrees.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <utility>
#include <vector>

#include "demo/shell/schedule_clock.h"

namespace velor::demo {

// `count` drawn frames, from the frame at `time` or, when `number` is set, from frame `number`.
// A span begins no earlier than the last frame of the span before it: frames that several times
// reach at once serve them all.
struct DrawnSpan {
    double time = 0;
    long number = 0;  // > 0: the span starts at this frame, whatever its time
    long count = 1;
};

// A frame as the schedule saw it go by.
struct ScheduledFrame {
    long number = 0;     // from 1
    float delta = 0;     // seconds since the frame before, as the frame loop measures them
    float time = 0;      // demo seconds, as the demo sums the deltas
    bool drawn = false;  // the schedule wants it drawn (a caller may rasterise more)
    // For a drawn frame: the last span it belongs to, its place in that span (from 0), and how many
    // spans begin with it (spans span - spansBegun + 1 to span).
    size_t span = 0;
    long ofSpan = 0;
    size_t spansBegun = 0;
    bool firstDrawn = false;  // the run's first drawn frame; a clock with a real counter hands over after it
};

class FrameSchedule {
public:
    static constexpr long kUnending = std::numeric_limits<long>::max();
    static constexpr double kDefaultStep = 1.0 / 60.0;
    // Times within this of T still count as at T, so that a time written to the millisecond finds
    // the frame meant.
    static constexpr double kTimeTolerance = 1e-6;

    // One frame at each time (ascending), on a fixed step; ends after the last. The capture tool's
    // stills and the web page's test frame.
    static FrameSchedule AtTimes(const std::vector<double>& times, double step = kDefaultStep);
    // `count` frames from the frame at each time (ascending); ends after the last. The bench's
    // windows.
    static FrameSchedule Stretches(const std::vector<double>& times, long count, double step = kDefaultStep);
    // Frames `first` to `first + count - 1` of the run, by number. A video's span.
    static FrameSchedule Frames(long first, long count, double step);
    // Every frame from the frame at `from` on, never ending. On a fixed step, or with `real`, on the
    // real clock after that first drawn frame: the player's and the web page's start at `from`.
    // From 0 with a real clock, the real clock runs from the first frame.
    static FrameSchedule From(double from, double step = kDefaultStep, FrameClock* real = nullptr);

    FrameSchedule(std::vector<DrawnSpan> spans, double step, FrameClock* real = nullptr);
    FrameSchedule(const FrameSchedule&) = delete;
    FrameSchedule& operator=(const FrameSchedule&) = delete;
    FrameSchedule(FrameSchedule&&) = default;
    FrameSchedule& operator=(FrameSchedule&&) = delete;

    // The clock the frame loop must read: the schedule reckons each frame from its readings.
    ScheduleClock& Clock() { return clock_; }
    // Runs once, after the first drawn frame and before the real clock takes over from the steps, so
    // that whatever the picture must keep pace with (the music) starts where real time starts.
    void AtHandOver(std::function<void(const ScheduledFrame&)> start) { atHandOver_ = std::move(start); }

    // A player's seek, between frames: the frames from here on run undrawn on fixed steps up to the
    // frame at `time`, which is drawn and hands over to the real clock again (AtHandOver runs again),
    // then every frame after it. With `fromStart` the run counts again from demo time 0 (the caller
    // has put the demo back to its start); otherwise it goes on from the frame last finished, and
    // `time` must lie ahead of it. Only for a schedule on a real clock (From).
    void SeekTo(double time, bool fromStart);

    // Once the loop has drawn a frame (read the clock and run the demo): that frame.
    ScheduledFrame FinishFrame();
    // Whether the schedule draws the next frame: before the first frame, whether it draws that one.
    bool DrawsNext() const;
    // Every span has had all its frames: nothing is left to draw.
    bool Ended() const { return span_ == spans_.size(); }
    const std::vector<DrawnSpan>& Spans() const { return spans_; }

private:
    bool Reaches(const DrawnSpan& span, long number, float time) const;
    float NextTime() const;

    std::vector<DrawnSpan> spans_;
    ScheduleClock clock_;
    long number_ = 0;  // frames finished
    float time_ = 0;
    size_t span_ = 0;         // the span under way, or the next one
    long drawnInSpan_ = 0;    // of the span under way; 0: it has not begun
    bool drewAny_ = false;
    std::function<void(const ScheduledFrame&)> atHandOver_;
};

}  // namespace velor::demo
