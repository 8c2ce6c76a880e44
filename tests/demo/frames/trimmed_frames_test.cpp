// The demo's own frames with point sprites trimmed to their textures' footprints and drawn whole,
// one time in each window, at scale 1 and 2. Each run plays the real start-up and schedule
// headless from 0, in a process of its own (the demo's tables are process-wide), rasterising only
// the frames it keeps. The two runs must agree to the pixel.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
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
constexpr double kTimes[] = {3.0, 25.0, 45.0, 65.0, 85.0, 105.0};

struct Kept {
    uint64_t trimmed = 0;  // sprite draws the frame trimmed
    std::vector<uint32_t> pixels;
};

// Child process: plays the demo and writes, per time, the frame's trimmed draws and its pixels.
int PlayAndWrite(bool trim, float scale, const std::string& path) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::filesystem::current_path(VELOR_RUN_DIR);
    std::ofstream out(path, std::ios::binary);
    FrameSchedule schedule = FrameSchedule::AtTimes({std::begin(kTimes), std::end(kTimes)}, kStep);
    ShellOptions shell;
    shell.visibleWindow = false;
    shell.headless = true;
    shell.startMusic = false;
    shell.pixelScale = scale;
    shell.afterStartUp = [trim] { SetSpriteTrimming(*gShell.device, trim); };
    size_t next = 0;
    uint64_t before = 0;
    ScheduleHooks hooks;
    hooks.afterFrame = [&](const ScheduledFrame& frame) {
        Device* device = gShell.device.get();
        if (frame.drawn) {
            uint64_t trimmed = TrimmedSpriteDraws(*device) - before;
            std::vector<uint32_t> pixels = ReadBackBuffer(*device);
            uint64_t count = pixels.size();
            out.write(reinterpret_cast<const char*>(&trimmed), sizeof trimmed);
            out.write(reinterpret_cast<const char*>(&count), sizeof count);
            out.write(reinterpret_cast<const char*>(pixels.data()), std::streamsize(pixels.size() * 4));
            ++next;
        }
        before = TrimmedSpriteDraws(*device);
        return true;
    };
    ScheduleOnShell(shell, schedule, std::move(hooks));
    int code = WinMain(shell);
    out.close();
    return code != 0 ? code : (next == std::size(kTimes) ? 0 : 3);
}

std::vector<Kept> Play(bool trim, float scale) {
    std::string path = testing::TempDir() + "sprite_frames_" + (trim ? "trimmed_" : "whole_") +
                       std::to_string(int(scale)) + "_" + std::to_string(getpid()) + ".bin";
    std::fflush(nullptr);
    pid_t child = fork();
    if (child == 0) _exit(PlayAndWrite(trim, scale, path));
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the demo run failed, status " << status;
    std::vector<Kept> frames;
    std::ifstream in(path, std::ios::binary);
    for (size_t i = 0; i < std::size(kTimes); ++i) {
        Kept kept;
        uint64_t count = 0;
        in.read(reinterpret_cast<char*>(&kept.trimmed), sizeof kept.trimmed);
        in.read(reinterpret_cast<char*>(&count), sizeof count);
        if (!in || count > (uint64_t(1) << 26)) break;
        kept.pixels.resize(count);
        in.read(reinterpret_cast<char*>(kept.pixels.data()), std::streamsize(count * 4));
        if (!in) break;
        frames.push_back(std::move(kept));
    }
    std::filesystem::remove(path);
    return frames;
}

void ExpectSameFrames(float scale) {
    std::vector<Kept> whole = Play(false, scale);
    std::vector<Kept> trimmed = Play(true, scale);
    ASSERT_EQ(whole.size(), std::size(kTimes));
    ASSERT_EQ(trimmed.size(), std::size(kTimes));
    for (size_t f = 0; f < std::size(kTimes); ++f) {
        SCOPED_TRACE(testing::Message() << "t = " << kTimes[f]);
        const std::vector<uint32_t>& a = whole[f].pixels;
        const std::vector<uint32_t>& b = trimmed[f].pixels;
        ASSERT_EQ(a.size(), b.size());
        size_t lit = 0, differing = 0, first = 0;
        for (size_t i = 0; i < a.size(); ++i) {
            uint32_t p = a[i];
            if (((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF) > 96) ++lit;
            // The back buffer is X8R8G8B8: its alpha is no part of the picture.
            if (((p ^ b[i]) & 0x00FFFFFFu) != 0 && differing++ == 0) first = i;
        }
        EXPECT_GT(lit, a.size() / 50) << "the frame is nearly black";
        size_t width = size_t(kBackBufferWidth * scale);
        EXPECT_EQ(differing, 0u) << "first at x " << first % width << " y " << first / width << ": whole " << std::hex
                                 << a[first] << " trimmed " << b[first];
        EXPECT_EQ(whole[f].trimmed, 0u) << "trimming off trims nothing";
        std::printf("t = %.0f: %llu sprite draws trimmed\n", kTimes[f],
                    static_cast<unsigned long long>(trimmed[f].trimmed));
    }
    // The swarm (3 s) and the cube clouds (65 s) are trimmed.
    EXPECT_GT(trimmed[0].trimmed, 0u);
    EXPECT_GT(trimmed[3].trimmed, 0u);
}

TEST(TrimmedFrames, SpritesTrimmedToTheirFootprintsLookTheSameAtScale1) { ExpectSameFrames(1.0f); }

TEST(TrimmedFrames, SpritesTrimmedToTheirFootprintsLookTheSameAtScale2) { ExpectSameFrames(2.0f); }

}  // namespace
}  // namespace velor::demo
