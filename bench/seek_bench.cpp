// A seek replays the one frame schedule undrawn up to its target: forward from the frame it leaves,
// back from the demo's start state. Its cost is the undrawn frames' CPU side (the scenes still run,
// only rasterisation is skipped) plus the one frame drawn where it lands.
#include "bench/seek_bench.h"

#include <epoxy/gl.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "demo/content/start_state.h"
#include "demo/shell/scheduled_shell.h"
#include "demo/shell/shell_state.h"

namespace velor::bench {

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kStep = 1.0 / 60.0;
constexpr double kNear = 10;
constexpr double kFar = 95;
constexpr int kRounds = 5;  // forward and back each

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// The main thread's processor time: on a shared machine, what the seek itself costs, whatever else runs.
double ThreadCpuMs() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1000.0 + double(t.tv_nsec) * 1e-6;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : (v[v.size() / 2] + v[(v.size() - 1) / 2]) / 2;
}

}  // namespace

int Seeks() {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    static FixedStepClock real(kStep);  // the player's real clock, stepping, so every round is alike
    demo::FrameSchedule schedule = demo::FrameSchedule::From(kNear, kStep, &real);
    demo::ShellOptions shell;
    shell.visibleWindow = false;
    shell.headless = true;
    shell.startMusic = false;

    std::vector<double> forward, back, forwardCpu, backCpu, forwardFrameUs, backFrameUs;
    Clock::time_point start;
    double startCpu = 0;
    long undrawn = 0;
    bool atNear = true;
    demo::ScheduleHooks hooks;
    hooks.afterFrame = [&](const demo::ScheduledFrame& frame) {
        if (!frame.drawn) {
            ++undrawn;
            return true;
        }
        glFinish();
        const Clock::time_point now = Clock::now();
        if (start != Clock::time_point{}) {
            const double ms = Ms(now - start);
            const double cpu = ThreadCpuMs() - startCpu;
            (atNear ? back : forward).push_back(ms);
            (atNear ? backCpu : forwardCpu).push_back(cpu);
            (atNear ? backFrameUs : forwardFrameUs).push_back(undrawn > 0 ? cpu * 1000 / double(undrawn) : 0);
        }
        if (back.size() == size_t(kRounds)) return false;
        undrawn = 0;
        start = Clock::now();
        startCpu = ThreadCpuMs();
        if (atNear) {
            schedule.SeekTo(kFar, false);
        } else {
            demo::ReturnToStartState();
            schedule.SeekTo(kNear, true);
        }
        atNear = !atNear;
        return true;
    };
    demo::ScheduleOnShell(shell, schedule, std::move(hooks));
    const int code = demo::WinMain(shell);
    std::printf("seek_forward_ms %.1f\n", Median(forward));
    std::printf("seek_back_ms %.1f\n", Median(back));
    std::printf("seek_forward_cpu_ms %.1f\n", Median(forwardCpu));
    std::printf("seek_back_cpu_ms %.1f\n", Median(backCpu));
    std::printf("seek_undrawn_frame_forward_us %.1f\n", Median(forwardFrameUs));
    std::printf("seek_undrawn_frame_back_us %.1f\n", Median(backFrameUs));
    for (size_t i = 0; i < forward.size(); ++i) std::printf("seek_round %zu forward_ms %.1f\n", i + 1, forward[i]);
    for (size_t i = 0; i < back.size(); ++i) std::printf("seek_round %zu back_ms %.1f\n", i + 1, back[i]);
    return code;
}

}  // namespace velor::bench
