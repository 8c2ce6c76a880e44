// velor-capture: plays the demo headless (SDL's offscreen video and dummy audio drivers; on Windows
// a hidden window, since SDL's offscreen driver there has no GL) on a fixed frame step and writes
// what it draws: the back buffer as a PNG at each requested demo time, or a
// video of a stretch of the demo with its music.
//
// The schedule always runs from demo time 0, since its state builds up frame by frame; frames that
// are not written skip rasterisation (the demo keeps all of its state on the CPU), which makes the
// run up to a late time quick. The music of a video is rendered offline on the same clock: frame n
// shows demo time n / fps and carries the sound of the 1 / fps seconds before it.
#ifdef _WIN32
#include <io.h>
#include <stdlib.h>
#else
#include <unistd.h>
#endif

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <utility>
#include <vector>

#include "demo/content/demo_resources.h"
#include "demo/shell/content_folder.h"
#include "demo/shell/scheduled_shell.h"
#include "demo/shell/shell_state.h"
#include "engine/audio/module_renderer.h"
#include "engine/gfx/device_controls.h"
#include "engine/gfx/present_frame.h"
#include "engine/gfx/pixel_scale.h"
#include "engine/image/image_writer.h"
#include "tools/capture/capture_options.h"
#include "tools/capture/progress.h"
#include "tools/capture/supersample.h"
#include "tools/capture/video_output.h"

namespace {

using namespace velor;

constexpr int kSampleRate = 48000;
constexpr size_t kSkipChunkFrames = 4096;

void StartHeadless() {
#ifdef _WIN32
    _putenv_s("SDL_AUDIODRIVER", "dummy");
#else
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
#endif
}

bool StderrIsTerminal() {
#ifdef _WIN32
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(STDERR_FILENO) != 0;
#endif
}

// The framed picture at the output's size: as the device presents it, or the whole back buffer
// averaged down from the supersampled size and then framed, so that a supersampled wide frame is the
// band of the supersampled whole one.
std::vector<uint32_t> ReadFrame(const capture::CaptureOptions& options) {
    if (options.ssaa == 1) return ReadPresentedFrame(*demo::gShell.device).pixels;
    const float rendered = capture::RenderScale(options);
    std::vector<uint32_t> whole =
        capture::AverageDown(ReadBackBuffer(*demo::gShell.device), ScaledLength(kBackBufferWidth, rendered),
                             ScaledLength(kBackBufferHeight, rendered), options.ssaa);
    const uint32_t width = ScaledLength(kBackBufferWidth, options.scale);
    const FrameRect rect = FramePixels(options.frame, options.scale);
    std::vector<uint32_t> framed;
    framed.reserve(size_t(rect.width) * rect.height);
    for (uint32_t row = 0; row < rect.height; ++row) {
        auto first = whole.begin() + ptrdiff_t((size_t(rect.y) + row) * width + size_t(rect.x));
        framed.insert(framed.end(), first, first + ptrdiff_t(rect.width));
    }
    return framed;
}

void ApplyScale(const capture::CaptureOptions& options, demo::ShellOptions* shell) {
    shell->pixelScale = capture::RenderScale(options);
    // The device presents and reads back the framing at its own scale; with supersampling the frame
    // is cut after averaging down (ReadFrame), so the device keeps the whole back buffer.
    shell->frame = options.ssaa == 1 ? options.frame : PresentFrame::Whole;
}

int CaptureStills(const capture::CaptureOptions& options) {
    std::error_code ec;
    std::filesystem::create_directories(options.outDir, ec);
    if (ec) {
        std::fprintf(stderr, "velor-capture: %s: %s\n", options.outDir.c_str(), ec.message().c_str());
        return 1;
    }
    StartHeadless();
    demo::FrameSchedule schedule = demo::FrameSchedule::AtTimes(options.times, options.step);
    bool failed = false;
    demo::ShellOptions shell;
    shell.visibleWindow = false;
    shell.headless = true;
    shell.startMusic = true;  // on SDL's dummy driver: the start-up is the demo's own, music included
    ApplyScale(options, &shell);
    demo::ScheduleHooks hooks;
    hooks.rasterizeAll = options.rasterizeAll;
    size_t written = 0;
    hooks.afterFrame = [&](const demo::ScheduledFrame& frame) {
        if (!frame.drawn) return true;
        // The frame at each of the times that begin with it.
        const std::vector<uint32_t> pixels = ReadFrame(options);
        for (size_t span = frame.span + 1 - frame.spansBegun; span <= frame.span; ++span) {
            Image image(capture::OutputWidth(options), capture::OutputHeight(options));
            image.pixels = pixels;
            std::string path = (std::filesystem::path(options.outDir) / capture::FrameFileName(options.times[span])).string();
            ImageStatus status = WritePng(path, image);
            if (!status) {
                std::fprintf(stderr, "velor-capture: %s\n", status.error.c_str());
                failed = true;
            }
            ++written;
        }
        return !failed;
    };
    demo::ScheduleOnShell(shell, schedule, std::move(hooks));
    int code = demo::WinMain(shell);
    if (code != 0) return code;
    if (failed || written != options.times.size()) {
        std::fprintf(stderr, "velor-capture: %zu of %zu frames written\n", written, options.times.size());
        return 1;
    }
    return 0;
}

// The module from `skipSeconds` on, `frames` stereo frames of it; silence (and one line) when the
// module cannot be read.
std::vector<int16_t> RenderSound(double skipSeconds, size_t frames) {
    std::vector<int16_t> sound(frames * 2, 0);
    ModuleRenderDesc desc;
    desc.sampleRate = kSampleRate;
    desc.looped = true;  // as the demo plays it
    ModuleRendererResult opened = ModuleRenderer::Open(demo::kMusicFile, desc);
    if (!opened.renderer) {
        std::fprintf(stderr, "velor-capture: no music: %s; the video is silent\n", opened.error.c_str());
        return sound;
    }
    std::vector<int16_t> scratch(kSkipChunkFrames * 2);
    for (size_t left = size_t(std::llround(skipSeconds * kSampleRate)); left > 0;) {
        size_t n = std::min(left, kSkipChunkFrames);
        opened.renderer->Render(scratch.data(), n);
        left -= n;
    }
    opened.renderer->Render(sound.data(), frames);
    return sound;
}

int CaptureVideo(const capture::CaptureOptions& options) {
    const capture::VideoFrames range = capture::VideoFrameRange(options);
    const double firstSoundTime = double(range.first - 1) / options.fps;
    const size_t soundFrames = size_t(std::llround(double(range.count) * kSampleRate / options.fps));

    capture::VideoDesc desc;
    desc.file = options.videoFile;
    desc.width = capture::OutputWidth(options);
    desc.height = capture::OutputHeight(options);
    desc.fps = options.fps;
    desc.sampleRate = kSampleRate;
    desc.sound = RenderSound(firstSoundTime, soundFrames);
    desc.lossless = options.lossless;
    if (capture::SoundOnly(options)) {
        // The sound of the span alone: a capture in parts takes its music from here, rendered once.
        std::string error;
        if (!capture::WriteWav(options.videoFile, desc.sound, kSampleRate, &error)) {
            std::fprintf(stderr, "velor-capture: %s\n", error.c_str());
            return 1;
        }
        return 0;
    }

    std::string ffmpeg = capture::FindFfmpeg();
    if (ffmpeg.empty())
        std::fprintf(stderr, "velor-capture: ffmpeg not found: writing %s/ and %s instead\n",
                     capture::FallbackFrameFolder(desc.file).c_str(), capture::FallbackSoundFile(desc.file).c_str());
    std::string error;
    std::unique_ptr<capture::VideoOutput> output = capture::OpenVideoOutput(desc, ffmpeg, &error);
    if (output == nullptr) {
        std::fprintf(stderr, "velor-capture: %s\n", error.c_str());
        return 1;
    }
    desc.sound = {};

    StartHeadless();
    const auto started = std::chrono::steady_clock::now();
    demo::FrameSchedule schedule = demo::FrameSchedule::Frames(range.first, range.count, 1.0 / options.fps);
    capture::ProgressBar progress(range.count, StderrIsTerminal());
    long written = 0;
    bool failed = false;
    demo::ShellOptions shell;
    shell.visibleWindow = false;
    shell.headless = true;
    shell.startMusic = false;  // the sound is in the video already
    ApplyScale(options, &shell);
    demo::ScheduleHooks hooks;
    hooks.rasterizeAll = options.rasterizeAll;
    hooks.afterFrame = [&](const demo::ScheduledFrame& frame) {
        if (!frame.drawn) return true;
        if (!output->WriteFrame(ReadFrame(options), &error)) {
            std::fprintf(stderr, "\nvelor-capture: %s\n", error.c_str());
            failed = true;
        }
        progress.Update(++written);
        return !failed;
    };
    demo::ScheduleOnShell(shell, schedule, std::move(hooks));
    int code = demo::WinMain(shell);
    progress.Finish();
    if (code != 0) return code;
    if (failed) return 1;
    if (written != range.count) {
        std::fprintf(stderr, "velor-capture: %ld of %ld frames written\n", written, range.count);
        return 1;
    }
    if (!output->Finish(&error)) {
        std::fprintf(stderr, "velor-capture: %s\n", error.c_str());
        return 1;
    }
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::fprintf(stderr, "velor-capture: %ld frames (%.3f s at %d fps) written to %s in %.1f s\n", written,
                 double(written) / options.fps, options.fps, output->Describe().c_str(), seconds);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    capture::CaptureOptions options;
    std::string error;
    if (!capture::ParseCaptureOptions(argc, argv, &options, &error)) {
        std::fprintf(stderr, "velor-capture: %s; %s\n", error.c_str(), capture::CaptureUsageLine());
        return 2;
    }
    if (options.help) {
        std::printf("%s\n%s", capture::CaptureUsageLine(), capture::CaptureHelp());
        return 0;
    }
    // The content's folder becomes the working folder: the output names are the caller's, from here.
    std::error_code ec;
    if (!options.outDir.empty()) options.outDir = std::filesystem::absolute(options.outDir, ec).string();
    if (!options.videoFile.empty()) options.videoFile = std::filesystem::absolute(options.videoFile, ec).string();
    if (!demo::EnterContentFolder(options.dataDir, &error)) {
        std::fprintf(stderr, "velor-capture: %s\n", error.c_str());
        return 1;
    }
    return options.videoFile.empty() ? CaptureStills(options) : CaptureVideo(options);
}
