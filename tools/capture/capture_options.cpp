#include "tools/capture/capture_options.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>

#include "demo/shell/option_values.h"
#include "demo/shell/scale_options.h"
#include "engine/gfx/device.h"
#include "engine/gfx/pixel_scale.h"

namespace velor::capture {

namespace {

constexpr int kMaxFps = 240;

}  // namespace

const char* CaptureUsageLine() {
    // One line: errors end with it, and an error is one line.
    return "usage: velor-capture --at T1,T2,... [--step S] [--out DIR] | --video FILE [--fps N] [--from T] [--to T] "
           "[--lossless] [--scale N | --size WxH] [--ssaa N] [--data DIR]";
}

const char* CaptureHelp() {
    return "Plays the demo headless and writes frames or a video.\n"
           "  --at T1,T2,...   write the first frame at or past each demo time as DIR/tT.png\n"
           "  --step S         seconds of demo time per frame with --at (default 1/60)\n"
           "  --out DIR        folder for --at frames (default .)\n"
           "  --video FILE     write a video with the music through ffmpeg; without ffmpeg, a PNG\n"
           "                   sequence in FILE's name with _frames and a WAV file beside it\n"
           "                   (FILE.wav: only its sound, no frames drawn)\n"
           "  --lossless       the video in FFV1 with PCM sound (give FILE.mkv): every pixel kept\n"
           "  --fps N          video frame rate (default 60)\n"
           "  --from T         demo time at which the video starts (default 0)\n"
           "  --to T           demo time at which the video ends (default 120)\n"
           "  --scale N        frames N times larger each way, every edge and letter drawn at that size\n"
           "                   (1 to 8, default 1; 2.8125 is 2880x2160)\n"
           "  --size WxH       the same, given as the frame size: 4:3 (1024x768 to 8192x6144) for the\n"
           "                   whole frame, 16:9 (1024x576 to 8192x4608) for its wide middle, as velor\n"
           "                   shows it\n"
           "  --ssaa N         render N times larger still and average N x N pixels into each (1 to 4)\n"
           "  --data DIR       the folder holding the content (default: the working folder,\n"
           "                   else the executable's folder, else the installed share/velor)\n"
           "  --rasterize-all  draw every frame, not only the frames written\n"
           "  --help           this text\n";
}

bool ParseCaptureOptions(int argc, const char* const* argv, CaptureOptions* options, std::string* error) {
    bool sawAt = false, sawVideoOption = false, sawScale = false, sawSize = false;
    // Help wins wherever it stands, so that "--out --help" never names a folder.
    for (int i = 1; i < argc; ++i) {
        const std::string flag = argv[i];
        if (flag == "--help" || flag == "-h") {
            options->help = true;
            return true;
        }
    }
    static const char* const kValueOptions[] = {"--at",   "--step", "--out",   "--data", "--video", "--fps",
                                                 "--from", "--to",   "--scale", "--size", "--ssaa"};
    for (int i = 1; i < argc; ++i) {
        std::string flag = argv[i];
        if (flag == "--rasterize-all") {
            options->rasterizeAll = true;
            continue;
        }
        if (flag == "--lossless") {
            options->lossless = true;
            sawVideoOption = true;
            continue;
        }
        if (std::find(std::begin(kValueOptions), std::end(kValueOptions), flag) == std::end(kValueOptions)) {
            *error = flag.starts_with('-') ? "unknown option '" + flag + "'" : "unexpected argument '" + flag + "'";
            return false;
        }
        if (i + 1 >= argc) {
            *error = flag + " needs a value";
            return false;
        }
        std::string value = argv[++i];
        if (flag == "--at") {
            sawAt = true;
            size_t start = 0;
            while (start <= value.size()) {
                size_t comma = value.find(',', start);
                std::string item = value.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
                double t = 0;
                if (!demo::ParseSecondsValue("--at", item, &t, error)) return false;
                options->times.push_back(t);
                if (comma == std::string::npos) break;
                start = comma + 1;
            }
        } else if (flag == "--step") {
            if (!demo::ParseFiniteNumber(value, &options->step) || options->step <= 0) {
                *error = "--step: '" + value + "' is not a positive number of seconds";
                return false;
            }
        } else if (flag == "--scale") {
            if (!demo::ParseScaleValue(value, false, &options->scale, error)) return false;
            sawScale = true;
        } else if (flag == "--size") {
            if (!demo::ParseSizeValue(value, &options->scale, &options->frame, error)) return false;
            sawSize = true;
        } else if (flag == "--ssaa") {
            if (!demo::ParseSsaaValue(value, &options->ssaa, error)) return false;
        } else if (flag == "--out") {
            options->outDir = value;
        } else if (flag == "--data") {
            if (value.empty()) {
                *error = "--data needs a folder";
                return false;
            }
            options->dataDir = value;
        } else if (flag == "--video") {
            options->videoFile = value;
            if (value.empty()) {
                *error = "--video needs a file name";
                return false;
            }
        } else if (flag == "--fps") {
            double fps = 0;
            if (!demo::ParseFiniteNumber(value, &fps) || fps != std::floor(fps) || fps < 1 || fps > kMaxFps) {
                *error = "--fps: '" + value + "' is not a whole number of frames per second from 1 to 240";
                return false;
            }
            options->fps = int(fps);
            sawVideoOption = true;
        } else if (flag == "--from") {
            if (!demo::ParseSecondsValue("--from", value, &options->from, error)) return false;
            sawVideoOption = true;
        } else if (flag == "--to") {
            if (!demo::ParseSecondsValue("--to", value, &options->to, error)) return false;
            sawVideoOption = true;
        }
    }
    if (sawScale && sawSize) {
        *error = "--scale and --size cannot be combined";
        return false;
    }
    if (RenderScale(*options) > kMaxPixelScale) {
        *error = "--ssaa: " + std::to_string(options->ssaa) + " times this size is more than 8 times 1024x768";
        return false;
    }
    bool video = !options->videoFile.empty();
    if (video && sawAt) {
        *error = "--at and --video cannot be combined";
        return false;
    }
    if (!video && sawVideoOption) {
        *error = "--fps, --from, --to and --lossless need --video";
        return false;
    }
    if (video) {
        if (VideoFrameRange(*options).count < 1) {
            *error = "--to must be at least one frame after --from";
            return false;
        }
        return true;
    }
    if (options->times.empty()) {
        *error = "nothing to capture: give --at T1,T2,... or --video FILE";
        return false;
    }
    std::sort(options->times.begin(), options->times.end());
    return true;
}

std::string FrameFileName(double time) {
    char name[64];
    std::snprintf(name, sizeof name, "t%.3f.png", time);
    return name;
}

bool SoundOnly(const CaptureOptions& options) {
    const std::string& f = options.videoFile;
    return f.size() > 4 && f.compare(f.size() - 4, 4, ".wav") == 0;
}

float RenderScale(const CaptureOptions& options) { return options.scale * float(options.ssaa); }

uint32_t OutputWidth(const CaptureOptions& options) { return FramePixels(options.frame, options.scale).width; }

uint32_t OutputHeight(const CaptureOptions& options) { return FramePixels(options.frame, options.scale).height; }

VideoFrames VideoFrameRange(const CaptureOptions& options) {
    long first = std::lround(options.from * options.fps);
    long last = std::lround(options.to * options.fps);
    return {first + 1, std::max(0L, last - first)};
}

}  // namespace velor::capture
