#pragma once
// A frame schedule played through the shell: the schedule's clock, rasterisation for the frames it
// draws only (the demo keeps all of its state on the CPU, so undrawn frames are quick and change
// nothing in the drawn ones), and the end of the run after its last frame.
#include <functional>

#include "demo/shell/frame_schedule.h"
#include "demo/shell/win_main.h"

namespace velor::demo {

struct ScheduleHooks {
    // After each frame, drawn or not; false ends the run (the caller says why).
    std::function<bool(const ScheduledFrame&)> afterFrame;
    // Once the schedule has ended; by default the run ends with exit code 0.
    std::function<void()> atEnd;
    bool rasterizeAll = false;  // draw every frame, as a check on the undrawn ones
};

// Sets `shell`'s clock, afterStartUp (after the one it has) and afterFrame to play `schedule`; both
// must outlive the run. A frame whose time or delta the demo reckons otherwise than the schedule
// ends the run with exit code 3 and a line saying so: the schedule would pick the wrong frames.
void ScheduleOnShell(ShellOptions& shell, FrameSchedule& schedule, ScheduleHooks hooks = {});

}  // namespace velor::demo
