// Going back in the schedule: a player that has run the whole demo, puts it back to its start state
// and replays the schedule must draw the frames a fresh run draws, pixel for pixel, in every window
// (each builds up state frame by frame: clocks, camera legs, followers, the warp, the animation).
// Each run is a process of its own, the demo's tables being process-wide.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <vector>

#include "demo/content/start_state.h"
#include "demo/shell/scheduled_shell.h"
#include "demo/shell/shell_state.h"
#include "engine/gfx/device.h"
#include "engine/gfx/device_controls.h"

namespace velor::demo {
namespace {

constexpr double kStep = 1.0 / 60.0;
constexpr double kLate = 110;  // past every window's start
const std::vector<double> kTimes = {5, 25, 45, 65, 85, 105};  // one frame in each window
constexpr size_t kPixels = size_t(kBackBufferWidth) * kBackBufferHeight;

struct Frame {
    float time = 0;
    std::vector<uint32_t> pixels;
};

using Setup = std::function<void(FrameSchedule&, ScheduleHooks&, std::ofstream&)>;

void Keep(std::ofstream& out, const ScheduledFrame& frame) {
    const std::vector<uint32_t> pixels = ReadBackBuffer(*gShell.device);
    out.write(reinterpret_cast<const char*>(&frame.time), sizeof frame.time);
    out.write(reinterpret_cast<const char*>(pixels.data()), std::streamsize(pixels.size() * 4));
}

int PlayAndWrite(const std::function<FrameSchedule()>& make, const Setup& setup, const std::string& path) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::filesystem::current_path(VELOR_RUN_DIR);
    std::ofstream out(path, std::ios::binary);
    FrameSchedule schedule = make();
    ShellOptions shell;
    shell.visibleWindow = false;
    shell.headless = true;
    shell.startMusic = false;
    ScheduleHooks hooks;
    setup(schedule, hooks, out);
    ScheduleOnShell(shell, schedule, std::move(hooks));
    return WinMain(shell);
}

std::vector<Frame> Play(const char* name, const std::function<FrameSchedule()>& make, const Setup& setup) {
    const std::string path = testing::TempDir() + "back_to_start_" + name + ".bin";
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) _exit(PlayAndWrite(make, setup, path));
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << name << ": the run failed, status " << status;
    std::vector<Frame> frames;
    std::ifstream in(path, std::ios::binary);
    while (true) {
        Frame frame;
        frame.pixels.resize(kPixels);
        in.read(reinterpret_cast<char*>(&frame.time), sizeof frame.time);
        in.read(reinterpret_cast<char*>(frame.pixels.data()), std::streamsize(kPixels * 4));
        if (!in) break;
        frames.push_back(std::move(frame));
    }
    std::filesystem::remove(path);
    return frames;
}

TEST(BackToStart, ReplayAfterTheWholeDemoDrawsTheFreshRunsFrames) {
    const std::vector<Frame> fresh = Play(
        "fresh", [] { return FrameSchedule::AtTimes(kTimes, kStep); },
        [](FrameSchedule&, ScheduleHooks& hooks, std::ofstream& out) {
            hooks.afterFrame = [&out](const ScheduledFrame& frame) {
                if (frame.drawn) Keep(out, frame);
                return true;
            };
        });
    // Late in the demo, back to the start, then forward from frame to frame as a player's seeks go.
    const std::vector<Frame> back = Play(
        "back",
        [] {
            static FixedStepClock real(kStep);  // the player's real clock, stepping
            return FrameSchedule::From(kLate, kStep, &real);
        },
        [](FrameSchedule& schedule, ScheduleHooks& hooks, std::ofstream& out) {
            hooks.afterFrame = [&schedule, &out, next = size_t(0), late = true](const ScheduledFrame& frame) mutable {
                if (!frame.drawn) return true;
                if (late) {
                    late = false;
                    ReturnToStartState();
                    schedule.SeekTo(kTimes[next++], true);
                    return true;
                }
                Keep(out, frame);
                if (next == kTimes.size()) return false;
                schedule.SeekTo(kTimes[next++], false);
                return true;
            };
        });
    ASSERT_EQ(fresh.size(), kTimes.size());
    ASSERT_EQ(back.size(), kTimes.size());
    for (size_t i = 0; i < kTimes.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "the frame at " << kTimes[i] << " s");
        size_t lit = 0;
        for (uint32_t p : fresh[i].pixels) lit += ((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF) > 96;
        EXPECT_GT(lit, kPixels / 200) << "the fresh frame is nearly black";
        EXPECT_EQ(back[i].time, fresh[i].time);
        size_t differing = 0;
        for (size_t p = 0; p < kPixels; ++p) differing += back[i].pixels[p] != fresh[i].pixels[p];
        EXPECT_EQ(differing, 0u) << "pixels differ after going back to the start";
    }
}

}  // namespace
}  // namespace velor::demo
