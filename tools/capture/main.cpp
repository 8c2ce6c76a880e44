// velor-capture: plays the demo headless (SDL's offscreen video and dummy audio drivers) on a fixed
// frame step, and writes the back buffer as a PNG at each requested demo time.
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "demo/shell/shell_state.h"
#include "demo/shell/win_main.h"
#include "demo/timeline/demo_timeline.h"
#include "engine/image/image_writer.h"
#include "tools/capture/capture_options.h"

int main(int argc, char** argv) {
    using namespace velor;
    capture::CaptureOptions options;
    std::string error;
    if (!capture::ParseCaptureOptions(argc, argv, &options, &error)) {
        std::fprintf(stderr, "velor-capture: %s\nusage: velor-capture --at T1,T2,... [--step S] [--out DIR]\n",
                     error.c_str());
        return 2;
    }
    std::error_code ec;
    std::filesystem::create_directories(options.outDir, ec);
    if (ec) {
        std::fprintf(stderr, "velor-capture: %s: %s\n", options.outDir.c_str(), ec.message().c_str());
        return 1;
    }
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);

    FixedStepClock clock(options.step);
    size_t next = 0;
    bool failed = false;
    demo::ShellOptions shell;
    shell.clock = &clock;
    shell.visibleWindow = false;
    shell.headless = true;
    shell.afterFrame = [&] {
        // The first frame at or past each requested time.
        while (next < options.times.size() && double(demo::gTimeline.demoTime) >= options.times[next] - 1e-6) {
            std::vector<uint32_t> pixels = demo::gShell.device->ReadBackBuffer();
            Image image(kBackBufferWidth, kBackBufferHeight);
            image.pixels = std::move(pixels);
            std::string path = (std::filesystem::path(options.outDir) / capture::FrameFileName(options.times[next])).string();
            ImageStatus status = WritePng(path, image);
            if (!status) {
                std::fprintf(stderr, "velor-capture: %s\n", status.error.c_str());
                failed = true;
            }
            ++next;
        }
        if (next == options.times.size() || failed) {
            PostQuitMessage(0);
            return;
        }
        // Only the frame that will be written is rasterised; the rest advance the demo's state.
        double upcoming = double(demo::gTimeline.demoTime) + 1.5 * options.step;
        demo::gShell.device->SetRasterization(upcoming >= options.times[next] - 1e-6);
    };
    int code = demo::WinMain(shell);
    if (code != 0) return code;
    if (failed || next != options.times.size()) {
        std::fprintf(stderr, "velor-capture: %zu of %zu frames written\n", next, options.times.size());
        return 1;
    }
    return 0;
}
