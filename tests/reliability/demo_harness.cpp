// velor-harness: plays the demo headless like velor-capture, while the machine changes under it.
//   velor-harness play --at T1,T2 --step S --out DIR [--minimise-every N] [--lost-for K] [--events]
//     --minimise-every N  every N frames the window is minimised (a real SDL window event), and
//                         restored after K 20-ms waits of the frame loop: the device is lost, then
//                         reset before the next frame
//     --events            focus lost and gained, the audio device removed, and the window hidden and
//                         shown, all as SDL events through the window's own queue
//   At the end it prints "frames F resets R demo-time D clock-time C" and fails when the demo's time
//   has fallen behind or run ahead of the clock by more than one step.
//     --pause-instead     the same spells as plain waits of the clock, the window left alone: the
//                         frame times of a minimised run without the loss and reset
//   velor-harness compare A.png B.png   fails when two frames differ by more than noise
#include <SDL.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "demo/shell/shell_state.h"
#include "demo/shell/win_main.h"
#include "demo/timeline/demo_timeline.h"
#include "engine/gfx/device_controls.h"
#include "engine/image/image_decode.h"
#include "engine/image/image_writer.h"
#include "engine/os/clock.h"
#include "tools/capture/capture_options.h"

namespace {

using namespace velor;

constexpr double kDriftAllowed = 0.1;  // seconds

void PushWindowEvent(Uint8 what) {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.event = what;
    event.window.windowID = 1;
    SDL_PushEvent(&event);
}

void PushAudioRemoved() {
    SDL_Event event{};
    event.type = SDL_AUDIODEVICEREMOVED;
    event.adevice.which = 1;
    event.adevice.iscapture = 0;
    SDL_PushEvent(&event);
}

// The fixed step, and the restore that ends a minimised spell after a number of the loop's waits.
class HarnessClock final : public FrameClock {
public:
    explicit HarnessClock(double step) : inner_(step) {}
    int64_t QueryPerformanceCounter() override { return now_ = inner_.QueryPerformanceCounter(); }
    int64_t QueryPerformanceFrequency() override { return inner_.QueryPerformanceFrequency(); }
    void Sleep(uint32_t milliseconds) override {
        inner_.Sleep(milliseconds);
        ++sleeps;
        if (minimised && ++sleepsWhileMinimised >= lostFor) {
            minimised = false;
            PushWindowEvent(SDL_WINDOWEVENT_RESTORED);
        }
    }
    void Pause(uint32_t milliseconds) { inner_.Sleep(milliseconds); }
    double Seconds() const { return double(now_) / double(FixedStepClock::kFrequency); }

    bool minimised = false;
    int sleepsWhileMinimised = 0;
    int lostFor = 1;
    int sleeps = 0;

private:
    FixedStepClock inner_;
    int64_t now_ = 0;
};

int Play(int argc, char** argv) {
    std::vector<const char*> captureArgs = {argv[0]};
    int minimiseEvery = 0, lostFor = 1;
    bool events = false, pauseInstead = false;
    for (int i = 2; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--minimise-every") && i + 1 < argc) minimiseEvery = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--lost-for") && i + 1 < argc) lostFor = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--events")) events = true;
        else if (!std::strcmp(argv[i], "--pause-instead")) pauseInstead = true;
        else captureArgs.push_back(argv[i]);
    }
    capture::CaptureOptions options;
    std::string error;
    if (!capture::ParseCaptureOptions(int(captureArgs.size()), captureArgs.data(), &options, &error)) {
        std::fprintf(stderr, "velor-harness: %s\n", error.c_str());
        return 2;
    }
    std::error_code ec;
    std::filesystem::create_directories(options.outDir, ec);
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    if (std::getenv("SDL_AUDIODRIVER") == nullptr) setenv("SDL_AUDIODRIVER", "dummy", 1);

    HarnessClock clock(options.step);
    clock.lostFor = lostFor;
    size_t next = 0;
    long frames = 0;
    int resets = 0;
    bool failed = false;
    bool rasterised = true;
    demo::ShellOptions shell;
    shell.clock = &clock;
    shell.visibleWindow = false;
    shell.headless = true;
    shell.afterFrame = [&] {
        ++frames;
        if (clock.sleepsWhileMinimised > 0) {  // the first frame after a spell: the loop has reset the device
            ++resets;
            clock.sleepsWhileMinimised = 0;
        }
        while (next < options.times.size() && double(demo::gTimeline.demoTime) >= options.times[next] - 1e-6) {
            if (!rasterised) {  // a stale back buffer would compare equal to another stale one
                std::fprintf(stderr, "velor-harness: the frame at %.3f s was not drawn\n", options.times[next]);
                failed = true;
                break;
            }
            Image image(kBackBufferWidth, kBackBufferHeight);
            image.pixels = ReadBackBuffer(*demo::gShell.device);
            std::string path = (std::filesystem::path(options.outDir) / capture::FrameFileName(options.times[next])).string();
            if (!WritePng(path, image)) failed = true;
            ++next;
        }
        if (next == options.times.size() || failed) {
            PostQuitMessage(0);
            return;
        }
        double upcoming = double(demo::gTimeline.demoTime) + 1.5 * options.step;
        const bool drawNext = upcoming >= options.times[next] - 1e-6;
        SetRasterization(*demo::gShell.device, drawNext);
        rasterised = drawNext;
        // Never change the machine right before a written frame: that frame would carry the lost time.
        // A spell moves the clock on by its length, so it must also end before the next written frame.
        if (drawNext) return;
        const double spellSeconds = 0.02 * lostFor;
        const bool spellFits = upcoming + spellSeconds < options.times[next] - 1e-6;
        if (minimiseEvery > 0 && frames % minimiseEvery == 0 && spellFits) {
            if (pauseInstead) {
                clock.Pause(uint32_t(20 * lostFor));  // the same frame times, the device never lost
            } else {
                clock.minimised = true;
                PushWindowEvent(SDL_WINDOWEVENT_MINIMIZED);
            }
        }
        if (events) {
            switch (frames % 97) {
            case 11: PushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST); break;
            case 23: PushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED); break;
            case 37: PushAudioRemoved(); break;
            case 51: PushWindowEvent(SDL_WINDOWEVENT_LEAVE); break;
            case 52: PushWindowEvent(SDL_WINDOWEVENT_ENTER); break;
            default: break;
            }
        }
    };
    int code = demo::WinMain(shell);
    std::printf("frames %ld resets %d sleeps %d demo-time %.4f clock-time %.4f\n", frames, resets, clock.sleeps,
                double(demo::gTimeline.demoTime), clock.Seconds());
    if (code != 0) return code;
    if (failed || next != options.times.size()) {
        std::fprintf(stderr, "velor-harness: %zu of %zu frames written\n", next, options.times.size());
        return 1;
    }
    if (minimiseEvery > 0 && !pauseInstead && resets == 0) {
        std::fprintf(stderr, "velor-harness: the device was never reset\n");
        return 1;
    }
    // The demo keeps its own time as a float sum of frame deltas, which drifts by a few hundredths of a
    // second over the schedule; a lost spell that went uncounted would be off by its whole length.
    if (std::fabs(double(demo::gTimeline.demoTime) - clock.Seconds()) > kDriftAllowed) {
        std::fprintf(stderr, "velor-harness: the schedule is off the clock\n");
        return 1;
    }
    return 0;
}

int Compare(const char* a, const char* b) {
    auto left = LoadImageFromFile(a);
    auto right = LoadImageFromFile(b);
    if (!left || !right) {
        std::fprintf(stderr, "velor-harness: cannot read %s or %s\n", a, b);
        return 2;
    }
    const Image& x = left.value().Top();
    const Image& y = right.value().Top();
    if (x.width != y.width || x.height != y.height) {
        std::fprintf(stderr, "velor-harness: %s and %s differ in size\n", a, b);
        return 1;
    }
    // Per channel: tiny float drift moves a few pixels a little; a wrong viewport, state or texture
    // moves many a lot.
    size_t far = 0, lit = 0;
    for (size_t i = 0; i < x.pixels.size(); ++i) {
        int worst = 0;
        for (int shift = 0; shift < 24; shift += 8)
            worst = std::max(worst, std::abs(int((x.pixels[i] >> shift) & 0xFF) - int((y.pixels[i] >> shift) & 0xFF)));
        if (worst > 24) ++far;
        if ((x.pixels[i] & 0xFFFFFF) != 0) ++lit;
    }
    const double share = double(far) / double(x.pixels.size());
    std::printf("%s vs %s: %.4f%% of pixels differ, %.1f%% lit\n", a, b, 100 * share, 100.0 * double(lit) / double(x.pixels.size()));
    return share <= 0.01 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && !std::strcmp(argv[1], "play")) return Play(argc, argv);
    if (argc == 4 && !std::strcmp(argv[1], "compare")) return Compare(argv[2], argv[3]);
    std::fprintf(stderr, "usage: velor-harness play --at T1,T2 [--step S] [--out DIR] [--minimise-every N] "
                         "[--lost-for K] [--events] | compare A.png B.png\n");
    return 2;
}
