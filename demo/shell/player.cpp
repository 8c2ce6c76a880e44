#include "demo/shell/player.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <regex>

#include "demo/content/demo_resources.h"
#include "demo/shell/shell_state.h"
#include "demo/shell/win_main.h"
#include "demo/timeline/demo_timeline.h"

namespace velor::demo {

namespace {

constexpr double kCatchUpStep = 1.0 / 60.0;  // seconds of demo time per frame while catching up
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

const char* PlayerUsageLine() { return "usage: velor [--windowed [WxH]] [--mute] [--from T] [--data DIR] [--help] [--version]"; }

const char* PlayerHelp() {
    return "Plays the demo full screen from the start, with its music. Escape quits.\n"
           "  --windowed [WxH]  play in a window (default 1024x768) instead of full screen\n"
           "  --mute            play without music\n"
           "  --from T          start T seconds into the demo (the music starts there too)\n"
           "  --data DIR        the folder holding the content (default: the working folder,\n"
           "                    else the executable's folder, else the installed share/velor)\n"
           "  --help            this text\n"
           "  --version         the version\n";
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
            std::string value = argv[++i];
            char* end = nullptr;
            errno = 0;
            double t = std::strtod(value.c_str(), &end);
            if (value.empty() || errno != 0 || end != value.c_str() + value.size() || !std::isfinite(t) || t < 0) {
                *error = "--from: '" + value + "' is not a time in seconds";
                return false;
            }
            options->from = t;
        } else {
            *error = "unknown option '" + arg + "'";
            return false;
        }
    }
    return true;
}

CatchUpClock::CatchUpClock(FrameClock& real, double stepSeconds)
    : real_(real),
      frequency_(real.QueryPerformanceFrequency()),
      step_(int64_t(std::llround(stepSeconds * double(frequency_)))) {}

int64_t CatchUpClock::QueryPerformanceCounter() {
    if (!catchingUp_) return now_ + (real_.QueryPerformanceCounter() - handOverReal_);
    if (started_) now_ += step_;
    started_ = true;
    return now_;
}

void CatchUpClock::Sleep(uint32_t milliseconds) {
    real_.Sleep(milliseconds);
    if (catchingUp_) now_ += int64_t(milliseconds) * frequency_ / 1000;
}

void CatchUpClock::HandOver() {
    if (!catchingUp_) return;
    catchingUp_ = false;
    handOverReal_ = real_.QueryPerformanceCounter();
}

int RunPlayer(const PlayerOptions& options, FrameClock& realClock) {
    ShellOptions shell;
    shell.fullScreen = !options.windowed;
    shell.windowWidth = options.width;
    shell.windowHeight = options.height;
    if (options.from <= 0) {
        shell.clock = &realClock;
        shell.startMusic = !options.mute;
        return WinMain(shell);
    }

    CatchUpClock clock(realClock, kCatchUpStep);
    shell.clock = &clock;
    shell.startMusic = false;
    shell.afterStartUp = [] { gShell.device->SetRasterization(false); };
    shell.afterFrame = [&] {
        if (!clock.CatchingUp() || double(gTimeline.demoTime) + kCatchUpStep / 2 < options.from) return;
        clock.HandOver();
        gShell.device->SetRasterization(true);
        if (!options.mute) StartMusic(gTimeline.demoTime);
    };
    return WinMain(shell);
}

}  // namespace velor::demo
