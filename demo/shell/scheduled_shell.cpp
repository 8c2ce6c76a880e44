#include "demo/shell/scheduled_shell.h"

#include <cstdio>
#include <utility>

#include "demo/shell/shell_state.h"
#include "demo/timeline/demo_timeline.h"
#include "engine/gfx/device_controls.h"
#include "engine/os/messages.h"

namespace velor::demo {

namespace {

constexpr int kOutOfStepExitCode = 3;

bool DemoAgrees(const ScheduledFrame& frame) {
    if (frame.time == gTimeline.demoTime && frame.delta == gShell.frameDelta) return true;
    std::fprintf(stderr,
                 "velor: the frame schedule is out of step with the demo at frame %ld: %.7f s (delta %.7f) "
                 "against the demo's %.7f s (delta %.7f)\n",
                 frame.number, double(frame.time), double(frame.delta), double(gTimeline.demoTime),
                 double(gShell.frameDelta));
    return false;
}

}  // namespace

void ScheduleOnShell(ShellOptions& shell, FrameSchedule& schedule, ScheduleHooks hooks) {
    shell.clock = &schedule.Clock();
    const bool all = hooks.rasterizeAll;
    shell.afterStartUp = [then = std::move(shell.afterStartUp), &schedule, all] {
        if (then) then();
        SetRasterization(*gShell.device, all || schedule.DrawsNext());
    };
    shell.afterFrame = [&schedule, hooks = std::move(hooks)] {
        const ScheduledFrame frame = schedule.FinishFrame();
        if (!DemoAgrees(frame)) {
            PostQuitMessage(kOutOfStepExitCode);
            return;
        }
        if (hooks.afterFrame && !hooks.afterFrame(frame)) {
            PostQuitMessage(0);
            return;
        }
        if (schedule.Ended()) {
            if (hooks.atEnd)
                hooks.atEnd();
            else
                PostQuitMessage(0);
            return;
        }
        SetRasterization(*gShell.device, hooks.rasterizeAll || schedule.DrawsNext());
    };
}

}  // namespace velor::demo
