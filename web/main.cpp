// velor in a browser page. The page (shell.html) starts it once its data is loaded (after a click,
// so that the music may play) and passes its query string as arguments:
//   (none)               the demo from the start with its music, as the native player plays it
//   --from T [--mute]    from T seconds in: the schedule runs undrawn up to the frame at T, which is
//                        ?at=T's frame, then plays on the real clock
//   --fps D              with --from: after D seconds of playing, reports the frames per second
//   --scale N            the device's resolution scale (1 to 8): N times the pixels each way, the
//                        canvas's drawing buffer made that large (the page turns ?scale=auto into N)
//   --frame wide|4:3     what of the back buffer the canvas shows, as the native player's --frame: the
//                        16:9 middle (wide, the default; the canvas is 1024 x 576 times the scale) or
//                        all of it (1024 x 768 times the scale)
//   --separate           each point sprite drawn on its own rather than merged into runs (to measure
//                        what merging saves)
//   --at T [--step S]    frames for tests: the schedule without music on a fixed step S (1/60 s)
//                        from 0 to T, only the frame at T drawn; that frame is held and the page's
//                        title becomes "velor:ready"
// Frames that are not drawn run back to back rather than one per display refresh.
#include <emscripten.h>
#include <emscripten/html5.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

#include "demo/content/demo_resources.h"
#include "demo/shell/frame_options.h"
#include "demo/shell/scale_options.h"
#include "demo/shell/scheduled_shell.h"
#include "demo/shell/shell_state.h"
#include "demo/shell/viewer_keys.h"
#include "engine/gfx/d3d_types.h"
#include "engine/gfx/device_controls.h"
#include "engine/gfx/pixel_scale.h"
#include "engine/gfx/present_frame.h"

namespace {

using namespace velor;

struct PageOptions {
    double at = -1;  // the test hook's time; < 0: play
    double step = demo::FrameSchedule::kDefaultStep;
    double from = 0;
    double fpsSeconds = 0;
    bool mute = false;
    bool separateDraws = false;
    float scale = 1;  // --scale: the device's resolution scale (the page turns ?scale=auto into a number)
    PresentFrame frame = PresentFrame::Wide;  // --frame: what of the back buffer the canvas shows
};

bool ParseSeconds(const char* text, double* value) {
    char* end = nullptr;
    double v = std::strtod(text, &end);
    if (end == text || *end != 0 || !std::isfinite(v) || v < 0) return false;
    *value = v;
    return true;
}

bool ParsePageOptions(int argc, char** argv, PageOptions* options, std::string* error) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        bool* flag = arg == "--mute" ? &options->mute : arg == "--separate" ? &options->separateDraws : nullptr;
        if (flag != nullptr) {
            *flag = true;
            continue;
        }
        if (arg == "--scale") {
            if (i + 1 >= argc) {
                *error = "--scale needs a value";
                return false;
            }
            if (!demo::ParseScaleValue(argv[++i], false, &options->scale, error)) return false;
            continue;
        }
        if (arg == "--frame") {
            if (i + 1 >= argc) {
                *error = "--frame needs wide or 4:3";
                return false;
            }
            if (!demo::ParseFrameValue(argv[++i], &options->frame, error)) return false;
            continue;
        }
        double* target = arg == "--at" ? &options->at
                         : arg == "--step" ? &options->step
                         : arg == "--from" ? &options->from
                         : arg == "--fps" ? &options->fpsSeconds
                                          : nullptr;
        if (target == nullptr) {
            *error = "unknown option '" + arg + "'";
            return false;
        }
        if (i + 1 >= argc || !ParseSeconds(argv[i + 1], target)) {
            *error = arg + " needs a number of seconds >= 0";
            return false;
        }
        ++i;
    }
    if (!(options->step > 0)) {
        *error = "--step must be more than 0";
        return false;
    }
    return true;
}

// Tells the page; it shows the text over the canvas.
void ReportFailure(const std::string& text) {
    EM_ASM({ if (Module.velorFailed) Module.velorFailed(UTF8ToString($0)); }, text.c_str());
}

// Undrawn frames go as fast as they can; drawn ones wait for the display, so each is seen.
void PaceFrames(bool drawn) {
    static int current = -1;
    int wanted = drawn ? EM_TIMING_RAF : EM_TIMING_SETIMMEDIATE;
    if (wanted == current) return;
    if (emscripten_set_main_loop_timing(wanted, 1) == 0) current = wanted;
}

demo::ShellOptions WindowedShell(const PageOptions& options) {
    demo::ShellOptions shell;
    shell.fullScreen = false;  // the page letterboxes the canvas; the back buffer fills it
    shell.headless = true;     // the canvas is the display: no X or Wayland to ask for
    // At a resolution scale the canvas's drawing buffer holds the real pixels, so nothing is magnified.
    shell.pixelScale = options.scale;
    // The canvas is the framed picture, so Present fills it without bars; the page's layout adds
    // them only where the window's aspect differs.
    shell.frame = options.frame;
    FrameRect framed = FramePixels(options.frame, options.scale);
    shell.windowWidth = int(framed.width);
    shell.windowHeight = int(framed.height);
    // Escape ends the loop; the page stays, so the music and the device go here, not at exit.
    shell.afterLoop = [](int) {
        demo::gResources.musicEngine.reset();
        demo::gShell.device.reset();
        demo::gShell.direct3d.reset();
        EM_ASM({ if (Module.velorEnded) Module.velorEnded(); });
    };
    return shell;
}

// In a browser WinMain does not return once its loop runs (the page's animation frames drive it);
// it returns only when the program cannot start.
int RunShell(demo::ShellOptions& shell, const PageOptions& options) {
    if (options.separateDraws) {
        auto then = std::move(shell.afterStartUp);
        shell.afterStartUp = [then] {
            SetDrawMerging(*demo::gShell.device, false);
            if (then) then();
        };
    }
    int code = demo::WinMain(shell);
    if (code != 0) ReportFailure("The demo could not start (see the console for why).");
    return code;
}

int RunFrameHook(const PageOptions& options) {
    static demo::FrameSchedule schedule = demo::FrameSchedule::AtTimes({options.at}, options.step);
    static demo::ShellOptions shell = WindowedShell(options);
    shell.startMusic = false;
    demo::ScheduleHooks hooks;
    hooks.afterFrame = [](const demo::ScheduledFrame&) {
        PaceFrames(schedule.DrawsNext());
        return true;
    };
    // The frame at T stays on the canvas: the loop pauses rather than ends.
    hooks.atEnd = [] {
        emscripten_pause_main_loop();
        // Two display refreshes later the frame is on screen.
        EM_ASM({
            requestAnimationFrame(function() {
                requestAnimationFrame(function() { document.title = 'velor:ready'; });
            });
        });
    };
    demo::ScheduleOnShell(shell, schedule, std::move(hooks));
    return RunShell(shell, options);
}

int RunPlay(const PageOptions& options) {
    static PerformanceCounterClock realClock;
    static demo::ShellOptions shell = WindowedShell(options);
    // As the native player's start at T: the frame at T on fixed steps, then the real clock.
    static demo::FrameSchedule schedule = demo::FrameSchedule::From(options.from, options.step, &realClock);
    static double from, fpsSeconds;
    static int frames = 0;
    static double startedMs = 0;
    static bool mute;
    from = options.from;
    fpsSeconds = options.fpsSeconds;
    mute = options.mute;
    // From the start the shell starts the music with the resources, as the native player does.
    shell.startMusic = from <= 0 && !mute;
    demo::ScheduleHooks hooks;
    // The player's keys (Space, Left, Right, Home) as natively; from T the music starts with the
    // first drawn frame, and a seek's landing frame moves it.
    demo::ViewerSettings viewer;
    viewer.mute = mute;
    viewer.startMusicAtHandOver = from > 0;
    viewer.windowKeys = false;  // the page has its own full screen, and no folder for screenshots
    demo::InstallViewerKeys(schedule, viewer);
    hooks.afterFrame = [](const demo::ScheduledFrame& frame) {
        PaceFrames(schedule.DrawsNext());
        if (frame.firstDrawn) {
            if (startedMs == 0) startedMs = emscripten_get_now();
            return true;
        }
        if (fpsSeconds <= 0 || frames < 0) return true;
        ++frames;
        double elapsed = (emscripten_get_now() - startedMs) / 1000.0;
        if (elapsed < fpsSeconds) return true;
        double fps = frames / elapsed;
        std::printf("velor: %d frames in %.2f s from %.2f s: %.2f frames per second\n", frames, elapsed, from, fps);
        EM_ASM({ document.title = 'velor:fps=' + $0.toFixed(2); }, fps);
        frames = -1;
        return true;
    };
    demo::ScheduleOnShell(shell, schedule, std::move(hooks));
    return RunShell(shell, options);
}

}  // namespace

int main(int argc, char** argv) {
    PageOptions options;
    std::string error;
    if (!ParsePageOptions(argc, argv, &options, &error)) {
        std::fprintf(stderr, "velor: %s\n", error.c_str());
        ReportFailure("velor: " + error);
        return 2;
    }
    return options.at >= 0 ? RunFrameHook(options) : RunPlay(options);
}
