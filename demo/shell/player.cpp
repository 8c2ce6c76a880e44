#include "demo/shell/player.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <regex>
#include <utility>

#include "demo/content/demo_resources.h"
#include "demo/shell/frame_options.h"
#include "demo/shell/option_values.h"
#include "demo/shell/scale_options.h"
#include "demo/shell/scheduled_shell.h"
#include "demo/shell/viewer_keys.h"
#include "demo/shell/win_main.h"

namespace velor::demo {

namespace {

constexpr int kMaxWindowSide = 16384;

bool ParseSize(const std::string& text, int* width, int* height) {
    static const std::regex size(R"((\d{1,5})x(\d{1,5}))");
    std::smatch m;
    if (!std::regex_match(text, m, size)) return false;
    int w = std::stoi(m[1]), h = std::stoi(m[2]);
    if (w < 1 || h < 1 || w > kMaxWindowSide || h > kMaxWindowSide) return false;
    *width = w;
    *height = h;
    return true;
}

bool LooksLikeSize(const char* text) { return std::regex_match(text, std::regex(R"(\d+x\d+)")); }

}  // namespace

const char* PlayerUsageLine() {
    return "usage: velor [--windowed [WxH]] [--mute] [--from T] [--scale N|auto] [--frame wide|4:3] [--display N] "
           "[--vsync] [--data DIR] [--help] [--version]";
}

const char* PlayerHelp() {
    return "Plays the demo full screen from the start, with its music. Escape quits.\n"
           "  --windowed [WxH]  play in a window (default 1024x768) instead of full screen\n"
           "  --mute            play without music\n"
           "  --from T          start T seconds into the demo (the music starts there too)\n"
           "  --scale N|auto    render N times as many pixels each way (1 to 8, default 1); auto: as\n"
           "                    many as the screen holds of the framed picture\n"
           "  --frame wide|4:3  show the picture's 16:9 middle (wide, the default) or the whole\n"
           "                    4:3 frame with its black bands\n"
           "  --display N       play on monitor N (counted from 0)\n"
           "  --vsync           wait for the vertical retrace at each frame\n"
           "  --data DIR        the folder holding the content (default: the working folder,\n"
           "                    else the executable's folder, else the installed share/velor)\n"
           "  --help            this text\n"
           "  --version         the version\n"
           "Keys while it plays:\n"
           "  Space             pause and resume, picture and music together\n"
           "  Left, Right       5 seconds back, forward\n"
           "  Home              back to the start\n"
           "  F11, Alt+Enter    full screen or a window\n"
           "  F12               a screenshot (PNG) into the pictures folder, else the working folder\n"
           "  F1, Tab           a line with the demo time, window, frames per second and scale\n"
           "  Escape            quit\n";
}

bool ParsePlayerOptions(int argc, const char* const* argv, PlayerOptions* options, std::string* error) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            options->help = true;
        } else if (arg == "--version") {
            options->version = true;
        } else if (arg == "--mute") {
            options->mute = true;
        } else if (arg == "--vsync") {
            options->vsync = true;
        } else if (arg == "--scale") {
            if (i + 1 >= argc) {
                *error = "--scale needs a value";
                return false;
            }
            if (!ParseScaleValue(argv[++i], true, &options->scale, error)) return false;
        } else if (arg == "--frame" || arg == "--display") {
            if (i + 1 >= argc) {
                *error = arg + " needs a value";
                return false;
            }
            const std::string value = argv[++i];
            if (arg == "--frame" ? !ParseFrameValue(value, &options->frame, error)
                                 : !ParseDisplayValue(value, &options->display, error))
                return false;
        } else if (arg == "--windowed") {
            options->windowed = true;
            if (i + 1 < argc && LooksLikeSize(argv[i + 1])) {
                if (!ParseSize(argv[++i], &options->width, &options->height)) {
                    *error = std::string("--windowed: '") + argv[i] + "' is not a size from 1x1 to 16384x16384";
                    return false;
                }
            }
        } else if (arg == "--data") {
            if (i + 1 >= argc || argv[i + 1][0] == 0) {
                *error = "--data needs a folder";
                return false;
            }
            options->data = argv[++i];
        } else if (arg == "--from") {
            if (i + 1 >= argc) {
                *error = "--from needs a time in seconds";
                return false;
            }
            if (!ParseSecondsValue("--from", argv[++i], &options->from, error)) return false;
        } else {
            *error = "unknown option '" + arg + "'";
            return false;
        }
    }
    return true;
}

int RunPlayer(const PlayerOptions& options, FrameClock& realClock) {
    std::string error;
    if (!DisplayExists(options.display, &error)) {
        std::fprintf(stderr, "velor: %s; %s\n", error.c_str(), PlayerUsageLine());
        return 2;
    }
    ShellOptions shell;
    shell.frame = options.frame;
    shell.display = options.display;
    shell.fullScreen = !options.windowed;
    shell.windowWidth = options.width;
    shell.windowHeight = options.height;
    shell.pixelScale = options.scale;
    shell.vsync = options.vsync;
    // From the start the shell starts the music with the resources, as the demo always has.
    shell.startMusic = options.from <= 0 && !options.mute;
    FrameSchedule schedule = FrameSchedule::From(options.from, FrameSchedule::kDefaultStep, &realClock);
    ViewerSettings viewer;
    viewer.mute = options.mute;
    // From T the music starts at the hand-over: StartMusic returns with its first samples out, and
    // the real clock counts from there, so the picture does not run ahead by the wait.
    viewer.startMusicAtHandOver = options.from > 0;
    viewer.windowWidth = options.width;
    viewer.windowHeight = options.height;
    InstallViewerKeys(schedule, viewer);
    ScheduleHooks hooks;
    hooks.afterFrame = [](const ScheduledFrame& frame) {
        AfterViewerFrame(frame);
        return true;
    };
    ScheduleOnShell(shell, schedule, std::move(hooks));
    return WinMain(shell);
}

}  // namespace velor::demo
