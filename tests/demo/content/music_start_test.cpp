// The music and the picture start together: the output has rendered the music's first samples when
// the frame clock starts (demo time 0), and not long before. The real start-up runs headless in a
// process of its own (the demo's tables are process-wide) on SDL's dummy audio output, whose
// callback keeps the pace of a real device. The order is exact; the bound on the gap is loose (a
// machine under load stretches any wall-clock gap): what it catches is start-up work placed between
// the music and the clock, such as waiting for the texture decoding thread.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "demo/content/demo_resources.h"
#include "demo/shell/shell_state.h"
#include "demo/shell/win_main.h"
#include "engine/gfx/device_controls.h"
#include "engine/os/clock.h"
#include "engine/os/messages.h"

namespace velor::demo {
namespace {

using SteadyClock = std::chrono::steady_clock;

int64_t NowNs() { return std::chrono::duration_cast<std::chrono::nanoseconds>(SteadyClock::now().time_since_epoch()).count(); }

// Child process: plays the start-up and the first frame, and writes whether the music had sounded
// when the frame clock started and how many milliseconds its first samples came before that
// (negative: after it).
int MeasureLead(const std::string& path) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    std::filesystem::current_path(VELOR_RUN_DIR);
    FixedStepClock clock(1.0 / 60.0);
    ShellOptions shell;
    shell.clock = &clock;
    shell.visibleWindow = false;
    shell.headless = true;
    shell.startMusic = true;
    int64_t clockStart = 0;
    bool soundedBeforeClock = false;
    // The frame clock starts right after this hook.
    shell.afterStartUp = [&] {
        clockStart = NowNs();
        soundedBeforeClock = gResources.musicEngine != nullptr && gResources.musicEngine->GetStats().soundFrames > 0;
        SetRasterization(*gShell.device, false);
    };
    int code = 4;
    shell.afterFrame = [&] {
        PostQuitMessage(0);
        if (gResources.musicEngine == nullptr || !gResources.musicEngine->HasOutput()) return;
        int64_t firstSound = 0;
        for (int i = 0; i < 200 && firstSound == 0; ++i) {
            firstSound = gResources.musicEngine->GetStats().firstSoundNs;
            if (firstSound == 0) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (firstSound == 0) return;
        std::ofstream(path) << soundedBeforeClock << " " << double(clockStart - firstSound) * 1e-6 << "\n";
        code = 0;
    };
    const int shellCode = WinMain(shell);
    return shellCode != 0 ? shellCode : code;
}

TEST(MusicStart, FirstSamplesComeWithDemoTimeZero) {
    const std::string path = testing::TempDir() + "music_lead.txt";
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) _exit(MeasureLead(path));
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the start-up run failed, status " << status;
    bool soundedBeforeClock = false;
    double leadMs = NAN;
    std::ifstream(path) >> soundedBeforeClock >> leadMs;
    std::filesystem::remove(path);
    ASSERT_FALSE(std::isnan(leadMs));
    std::printf("music lead on demo time 0: %.1f ms\n", leadMs);
    EXPECT_TRUE(soundedBeforeClock) << "the frame clock started before the music's first samples";
    // One frame at 60 Hz is 16.7 ms; the bound leaves room for a loaded machine.
    EXPECT_GE(leadMs, 0.0);
    EXPECT_LT(leadMs, 100.0) << "the music starts " << leadMs << " ms before the picture";
}

}  // namespace
}  // namespace velor::demo
