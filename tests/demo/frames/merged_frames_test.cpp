// The demo's own frames with merged point draws and with every draw separate. Each run plays the
// real start-up and schedule headless from 0, in a process of its own (the demo's tables are
// process-wide), rasterising only the frames it keeps: window 1's swarm, window 4's cube clouds,
// and window 5 before and after its followers appear. The two runs must agree to the pixel.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <utility>
#include <vector>

#include "demo/shell/scheduled_shell.h"
#include "demo/shell/shell_state.h"
#include "engine/gfx/device.h"
#include "engine/gfx/device_controls.h"
#include "engine/os/messages.h"

namespace velor::demo {
namespace {

constexpr double kStep = 1.0 / 60.0;
constexpr double kTimes[] = {5.0, 65.0, 80.0, 90.0};
constexpr size_t kPixels = size_t(kBackBufferWidth) * kBackBufferHeight;

struct Kept {
    uint64_t draws = 0;  // GL draws the frame took
    std::vector<uint32_t> pixels;
};

// Child process: plays the demo and writes, per time, the frame's GL draw count and its pixels.
int PlayAndWrite(bool merge, const std::string& path) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::filesystem::current_path(VELOR_RUN_DIR);
    std::ofstream out(path, std::ios::binary);
    FrameSchedule schedule = FrameSchedule::AtTimes({std::begin(kTimes), std::end(kTimes)}, kStep);
    ShellOptions shell;
    shell.visibleWindow = false;
    shell.headless = true;
    shell.startMusic = false;
    shell.afterStartUp = [merge] { SetDrawMerging(*gShell.device, merge); };
    size_t next = 0;
    uint64_t drawsBefore = 0;
    ScheduleHooks hooks;
    hooks.afterFrame = [&](const ScheduledFrame& frame) {
        Device* device = gShell.device.get();
        if (frame.drawn) {
            uint64_t draws = GpuDrawCalls(*device) - drawsBefore;
            std::vector<uint32_t> pixels = ReadBackBuffer(*device);
            out.write(reinterpret_cast<const char*>(&draws), sizeof draws);
            out.write(reinterpret_cast<const char*>(pixels.data()), std::streamsize(pixels.size() * 4));
            ++next;
        }
        drawsBefore = GpuDrawCalls(*device);
        return true;
    };
    ScheduleOnShell(shell, schedule, std::move(hooks));
    int code = WinMain(shell);
    out.close();
    return code != 0 ? code : (next == std::size(kTimes) ? 0 : 3);
}

std::vector<Kept> Play(bool merge) {
    std::string path = testing::TempDir() + (merge ? "merged_frames.bin" : "separate_frames.bin");
    std::fflush(nullptr);
    pid_t child = fork();
    if (child == 0) _exit(PlayAndWrite(merge, path));
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the demo run failed, status " << status;
    std::vector<Kept> frames;
    std::ifstream in(path, std::ios::binary);
    for (size_t i = 0; i < std::size(kTimes); ++i) {
        Kept kept;
        kept.pixels.resize(kPixels);
        in.read(reinterpret_cast<char*>(&kept.draws), sizeof kept.draws);
        in.read(reinterpret_cast<char*>(kept.pixels.data()), std::streamsize(kPixels * 4));
        if (!in) break;
        frames.push_back(std::move(kept));
    }
    std::filesystem::remove(path);
    return frames;
}

TEST(MergedFrames, TheScheduleLooksTheSameWithMergedPointDraws) {
    std::vector<Kept> separate = Play(false);
    std::vector<Kept> merged = Play(true);
    ASSERT_EQ(separate.size(), std::size(kTimes));
    ASSERT_EQ(merged.size(), std::size(kTimes));
    for (size_t f = 0; f < std::size(kTimes); ++f) {
        SCOPED_TRACE(testing::Message() << "t = " << kTimes[f]);
        size_t lit = 0, differing = 0, first = 0;
        for (size_t i = 0; i < kPixels; ++i) {
            uint32_t p = separate[f].pixels[i];
            if (((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF) > 96) ++lit;
            if (p != merged[f].pixels[i] && differing++ == 0) first = i;
        }
        EXPECT_GT(lit, kPixels / 10) << "the frame is nearly black";
        EXPECT_EQ(differing, 0u) << "first at x " << first % kBackBufferWidth << " y " << first / kBackBufferWidth
                                 << ": separate " << std::hex << separate[f].pixels[first] << " merged "
                                 << merged[f].pixels[first];
        EXPECT_LE(merged[f].draws, separate[f].draws);
        std::printf("t = %.0f: %llu GL draws separate, %llu merged\n", kTimes[f],
                    static_cast<unsigned long long>(separate[f].draws), static_cast<unsigned long long>(merged[f].draws));
    }
    // The point clouds are hundreds of draws each when separate, a few when merged.
    for (size_t f : {size_t(0), size_t(1), size_t(3)}) {
        SCOPED_TRACE(testing::Message() << "t = " << kTimes[f]);
        EXPECT_GT(separate[f].draws, merged[f].draws + 500);
    }
}

}  // namespace
}  // namespace velor::demo
