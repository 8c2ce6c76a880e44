// The frame at T is the same frame whichever front end asks for it: the real demo, played headless
// from 0 in a process of its own per front end (the demo's tables are process-wide), on the
// schedule each front end makes — the capture tool's still, the player's start at T (its real clock
// here a fixed step too, so the frames after the hand-over can be compared as well), the bench's
// window sample — keeps the same pixels at T and at the frame after it.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <vector>

#include "demo/shell/scheduled_shell.h"
#include "demo/shell/shell_state.h"
#include "engine/gfx/device_controls.h"
#include "engine/gfx/device.h"

namespace velor::demo {
namespace {

constexpr double kStep = 1.0 / 60.0;
constexpr double kTime = 25.0;  // window 2; 1500 steps sum to 24.9997902 s, so the frame at 25 s is 1501
constexpr size_t kPixels = size_t(kBackBufferWidth) * kBackBufferHeight;
constexpr int kKept = 2;  // the frame at T and the one after it

struct Kept {
    long number = 0;
    float time = 0;
    std::vector<uint32_t> pixels;
};

// Child process: plays the demo on the schedule and writes the first kKept drawn frames.
int PlayAndWrite(const std::function<FrameSchedule()>& make, const std::string& path) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::filesystem::current_path(VELOR_RUN_DIR);
    std::ofstream out(path, std::ios::binary);
    FrameSchedule schedule = make();
    ShellOptions shell;
    shell.visibleWindow = false;
    shell.headless = true;
    shell.startMusic = false;
    int kept = 0;
    ScheduleHooks hooks;
    hooks.afterFrame = [&](const ScheduledFrame& frame) {
        if (!frame.drawn) return true;
        std::vector<uint32_t> pixels = ReadBackBuffer(*gShell.device);
        out.write(reinterpret_cast<const char*>(&frame.number), sizeof frame.number);
        out.write(reinterpret_cast<const char*>(&frame.time), sizeof frame.time);
        out.write(reinterpret_cast<const char*>(pixels.data()), std::streamsize(pixels.size() * 4));
        return ++kept < kKept;
    };
    ScheduleOnShell(shell, schedule, std::move(hooks));
    int code = WinMain(shell);
    out.close();
    return code != 0 ? code : (kept == kKept ? 0 : 3);
}

std::vector<Kept> Play(const char* name, const std::function<FrameSchedule()>& make) {
    std::string path = testing::TempDir() + "frame_at_time_" + name + ".bin";
    std::fflush(nullptr);
    pid_t child = fork();
    if (child == 0) _exit(PlayAndWrite(make, path));
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << name << ": the demo run failed, status " << status;
    std::vector<Kept> frames;
    std::ifstream in(path, std::ios::binary);
    for (int i = 0; i < kKept; ++i) {
        Kept kept;
        kept.pixels.resize(kPixels);
        in.read(reinterpret_cast<char*>(&kept.number), sizeof kept.number);
        in.read(reinterpret_cast<char*>(&kept.time), sizeof kept.time);
        in.read(reinterpret_cast<char*>(kept.pixels.data()), std::streamsize(kPixels * 4));
        if (!in) break;
        frames.push_back(std::move(kept));
    }
    std::filesystem::remove(path);
    return frames;
}

TEST(FrameAtTime, EveryFrontEndKeepsTheSamePixelsAtT) {
    const std::vector<Kept> still = Play("still", [] { return FrameSchedule::AtTimes({kTime, kTime + kStep}, kStep); });
    const std::vector<Kept> player = Play("player", [] {
        static FixedStepClock real(kStep);  // the player's real clock, stepping
        return FrameSchedule::From(kTime, kStep, &real);
    });
    const std::vector<Kept> bench = Play("bench", [] { return FrameSchedule::Stretches({kTime}, kKept, kStep); });
    ASSERT_EQ(still.size(), size_t(kKept));
    EXPECT_EQ(still[0].number, 1501);
    EXPECT_GE(still[0].time, kTime);
    size_t lit = 0;
    for (uint32_t p : still[0].pixels) lit += ((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF) > 96;
    EXPECT_GT(lit, kPixels / 20) << "the frame is nearly black";
    for (const auto* other : {&player, &bench}) {
        const char* name = other == &player ? "player" : "bench";
        ASSERT_EQ(other->size(), size_t(kKept)) << name;
        for (int i = 0; i < kKept; ++i) {
            SCOPED_TRACE(testing::Message() << name << " frame " << i);
            EXPECT_EQ((*other)[size_t(i)].number, still[size_t(i)].number);
            EXPECT_EQ((*other)[size_t(i)].time, still[size_t(i)].time);
            EXPECT_TRUE((*other)[size_t(i)].pixels == still[size_t(i)].pixels) << "the pixels differ";
        }
    }
}

}  // namespace
}  // namespace velor::demo
