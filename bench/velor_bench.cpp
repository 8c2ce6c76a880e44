// velor-bench: the figures scripts/bench reports, measured on the real demo, headless on llvmpipe at
// 1024 x 768, from the run folder.
//
//   velor-bench startup   process start to the first presented frame, and its coarse parts
//   velor-bench frames    per scene window: frame times and the raster limit; then the CPU cost of
//                         one DrawPointSprite beside a raw GL one-quad draw; then peak memory
//   velor-bench draws     only the DrawPointSprite and raw GL figures
//   velor-bench seek      a player's seek, 10 s to 95 s and back (seek_bench.cpp)
//
// Each figure is printed as one line "name value". The raster limit of a window is the GL work of one
// of its frames alone: the frame after the measured ones is recorded by the device (every call that
// reaches GL, with the state it saw) and replayed through the engine with its point draws merged
// (each cloud one instanced draw), between two glFinish-es; the limit is the median of a few
// replays. What the replay leaves out is the demo's own code and the engine's per-call work, so
// frame time / limit says how much they add.
#include <epoxy/gl.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "bench/seek_bench.h"
#include "demo/content/demo_resources.h"
#include "demo/shell/scale_options.h"
#include "demo/shell/scheduled_shell.h"
#include "engine/gfx/device_controls.h"
#include "demo/shell/shell_state.h"
#include "demo/sprites/point_sprite.h"

namespace {

using namespace velor;
using Clock = std::chrono::steady_clock;

constexpr double kStep = 1.0 / 60.0;
constexpr int kWarmUpFrames = 2;     // the first drawn frames after a skip compile and upload
constexpr int kMeasuredFrames = 12;  // per window
constexpr int kSpriteDraws = 20000;
constexpr int kWarmUpDraws = 500;    // the first draws of a new state compile shader variants
constexpr int kReplays = 5;          // of the recorded frame, for the raster limit

// A time in each window where its whole scene is on screen, named by the window's number; window 3's
// scissor follows its blur, whose reach changes over the window, so it has further samples named
// "3@" and their time.
struct WindowSample {
    const char* name;
    double time;
};
constexpr WindowSample kSamples[] = {{"1", 10.0},    {"2", 25.0}, {"3@36", 36.0}, {"3@41", 41.0}, {"3@45", 45.0},
                                     {"3", 51.0},    {"3@55", 55.0}, {"4", 65.0}, {"5", 90.0},    {"6", 105.0}};

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double Percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    double rank = p * double(v.size() - 1);
    size_t lo = size_t(rank);
    size_t hi = std::min(lo + 1, v.size() - 1);
    return v[lo] + (v[hi] - v[lo]) * (rank - double(lo));
}

// Milliseconds from the process's start (as the kernel recorded it) to now.
double MsSinceProcessStart() {
    std::ifstream stat("/proc/self/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    size_t close = text.rfind(')');
    if (close == std::string::npos) return 0;
    // Fields after the command: state is field 3, starttime field 22.
    const char* p = text.c_str() + close + 2;
    unsigned long long start = 0;
    for (int field = 3; field <= 22; ++field) {
        if (field == 22) start = std::strtoull(p, nullptr, 10);
        p = std::strchr(p, ' ');
        if (p == nullptr) return 0;
        ++p;
    }
    timespec now;
    clock_gettime(CLOCK_BOOTTIME, &now);
    double startMs = double(start) * 1000.0 / double(sysconf(_SC_CLK_TCK));
    return double(now.tv_sec) * 1000.0 + double(now.tv_nsec) * 1e-6 - startMs;
}

void StartHeadless(demo::ShellOptions& shell) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    shell.visibleWindow = false;
    shell.headless = true;
}

int Startup() {
    const double beforeMain = MsSinceProcessStart();
    const Clock::time_point mainEntered = Clock::now();
    Clock::time_point resourcesMade;
    demo::FrameSchedule schedule = demo::FrameSchedule::AtTimes({0}, kStep);  // the first frame
    demo::ShellOptions shell;
    StartHeadless(shell);
    // The music starts as in the demo: the engine opens SDL's dummy output. The frame clock starts
    // right after this hook: demo time 0.
    shell.afterStartUp = [&] { resourcesMade = Clock::now(); };
    demo::ScheduleHooks hooks;
    hooks.afterFrame = [&](const demo::ScheduledFrame&) {
        glFinish();
        double total = MsSinceProcessStart();
        Clock::time_point now = Clock::now();
        std::printf("startup_ms %.1f\n", total);
        std::printf("startup_part before_main %.1f\n", beforeMain);
        std::printf("startup_part window_device_and_resources %.1f\n", Ms(resourcesMade - mainEntered));
        std::printf("startup_part first_frame %.1f\n", Ms(now - resourcesMade));
        // How long before demo time 0 the music's first samples were rendered (negative: after it).
        if (demo::gResources.musicEngine != nullptr) {
            const int64_t firstSound = demo::gResources.musicEngine->GetStats().firstSoundNs;
            const int64_t clockStart =
                std::chrono::duration_cast<std::chrono::nanoseconds>(resourcesMade.time_since_epoch()).count();
            if (firstSound != 0) std::printf("music_lead_ms %.1f\n", double(clockStart - firstSound) * 1e-6);
        }
        return true;
    };
    demo::ScheduleOnShell(shell, schedule, std::move(hooks));
    return demo::WinMain(shell);
}

// ---- the raw GL draw the sprite is compared with ----------------------------------------------------
double RawQuadDrawMicroseconds() {
    const char* vs = "#version 330 core\nlayout(location = 0) in vec2 p;\nuniform vec2 offset;\n"
                     "void main() { gl_Position = vec4(p + offset, 0.0, 1.0); }\n";
    const char* fs = "#version 330 core\nout vec4 c;\nvoid main() { c = vec4(1.0); }\n";
    GLuint program = glCreateProgram();
    for (auto [type, source] : {std::pair{GL_VERTEX_SHADER, vs}, std::pair{GL_FRAGMENT_SHADER, fs}}) {
        GLuint shader = glCreateShader(type);
        glShaderSource(shader, 1, &source, nullptr);
        glCompileShader(shader);
        glAttachShader(program, shader);
    }
    glLinkProgram(program);
    const float quad[] = {-0.01f, -0.01f, 0.01f, -0.01f, -0.01f, 0.01f, 0.01f, 0.01f};
    GLuint vao = 0, vbo = 0;
    glGenVertexArrays(1, &vao);
    glBindVertexArray(vao);
    glGenBuffers(1, &vbo);
    glBindBuffer(GL_ARRAY_BUFFER, vbo);
    glBufferData(GL_ARRAY_BUFFER, sizeof quad, quad, GL_STATIC_DRAW);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
    glUseProgram(program);
    GLint offset = glGetUniformLocation(program, "offset");
    auto draw = [&](int i) {
        // Off screen, so the figure is the per-draw path and not the raster.
        glUniform2f(offset, (i & 1) ? 5.0f : 6.0f, 5.0f);
        glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    };
    for (int i = 0; i < kWarmUpDraws; ++i) draw(i);
    glFinish();
    Clock::time_point start = Clock::now();
    for (int i = 0; i < kSpriteDraws; ++i) draw(i);
    double us = Ms(Clock::now() - start) * 1000.0 / kSpriteDraws;
    glFinish();
    return us;
}

// DrawPointSprite as the clouds call it, the sprite off screen so the raster is out of the picture.
// Without rasterisation the draw is dropped in the device: what is left is the demo's and the
// engine's own share. Merged draws reach GL at EndScene, which is timed with them.
double PointSpriteDrawMicroseconds(bool rasterize = true, bool merge = true) {
    if (demo::gSprites.sphere == nullptr) return 0;
    demo::PointSprite sprite = *demo::gSprites.sphere;
    Device* device = demo::gShell.device.get();
    SetRasterization(*device, rasterize);
    SetDrawMerging(*device, merge);
    auto draw = [&](int i) {
        sprite.position = {(i & 1) ? 5000.0f : 6000.0f, 5000.0f, -5000.0f};
        demo::DrawPointSprite(sprite, 0.5f);
    };
    // A first pass as long as the measured one: merged draws then find their buffers grown.
    device->BeginScene();
    for (int i = 0; i < kSpriteDraws; ++i) draw(i);
    device->EndScene();
    glFinish();
    uint64_t draws = GpuDrawCalls(*device);
    Clock::time_point start = Clock::now();
    device->BeginScene();
    for (int i = 0; i < kSpriteDraws; ++i) draw(i);
    device->EndScene();
    double us = Ms(Clock::now() - start) * 1000.0 / kSpriteDraws;
    glFinish();
    if (rasterize)
        std::printf("draw_point_sprite_%s_gl_draws %llu\n", merge ? "merged" : "separate",
                    static_cast<unsigned long long>(GpuDrawCalls(*device) - draws));
    SetDrawMerging(*device, true);
    return us;
}

// The recorded frame's GL work alone, merged: the median of a few replays, each between glFinish-es.
double ReplayMilliseconds(Device* device) {
    std::vector<double> times;
    for (int i = 0; i < kReplays; ++i) {
        glFinish();
        Clock::time_point start = Clock::now();
        ReplayRecording(*device);
        glFinish();
        times.push_back(Ms(Clock::now() - start));
    }
    return Percentile(times, 0.5);
}

// The recorded frame replayed with sprite trimming and the scissor test off and on, alternately (the
// demo scissors only what nothing reads, so both keep its pixels): per setting, the median
// replay time and the fragments that reached the target (a GL_SAMPLES_PASSED query around the
// replay: with no multisampling, one per fragment written; llvmpipe shades only those, as nothing in
// the demo's sprite passes discards).
void TrimmingFigures(Device* device, const char* window) {
    std::vector<double> times[2];
    GLuint fragments[2] = {0, 0};
    GLuint query = 0;
    glGenQueries(1, &query);
    for (int i = 0; i < kReplays; ++i) {
        for (int trim = 0; trim < 2; ++trim) {
            SetSpriteTrimming(*device, trim != 0);
            SetScissorTest(*device, trim != 0);
            glFinish();
            Clock::time_point start = Clock::now();
            glBeginQuery(GL_SAMPLES_PASSED, query);
            ReplayRecording(*device);
            glEndQuery(GL_SAMPLES_PASSED);
            glFinish();
            times[trim].push_back(Ms(Clock::now() - start));
            glGetQueryObjectuiv(query, GL_QUERY_RESULT, &fragments[trim]);
        }
    }
    glDeleteQueries(1, &query);
    SetSpriteTrimming(*device, true);
    SetScissorTest(*device, true);
    std::printf("window %s untrimmed_ms %.1f\n", window, Percentile(times[0], 0.5));
    std::printf("window %s trimmed_ms %.1f\n", window, Percentile(times[1], 0.5));
    std::printf("window %s untrimmed_fragments %u\n", window, fragments[0]);
    std::printf("window %s trimmed_fragments %u\n", window, fragments[1]);
}

// The frames of each sample: a few to warm up, the measured ones, and one recorded for the limit.
constexpr long kSampleFrames = kWarmUpFrames + kMeasuredFrames + 1;

// `pixelScale` is the device's resolution scale; the draw-call figures are taken at scale 1 only.
int Frames(bool measureWindows, float pixelScale = 1.0f) {
    std::vector<double> times;
    if (measureWindows)
        for (const WindowSample& sample : kSamples) times.push_back(sample.time);
    demo::FrameSchedule schedule = demo::FrameSchedule::Stretches(times, kSampleFrames, kStep);
    demo::ShellOptions shell;
    StartHeadless(shell);
    shell.pixelScale = pixelScale;
    shell.startMusic = false;

    std::vector<double> frameMs;
    Clock::time_point frameStart = Clock::now();
    demo::ScheduleHooks hooks;
    hooks.afterFrame = [&](const demo::ScheduledFrame& frame) {
        if (frame.drawn) {
            Device* device = demo::gShell.device.get();
            glFinish();
            double wall = Ms(Clock::now() - frameStart);
            const long drawn = frame.ofSpan + 1;  // warm-up included
            if (drawn > kWarmUpFrames && drawn <= kWarmUpFrames + kMeasuredFrames) frameMs.push_back(wall);
            // The frame after the measured ones is recorded, then replayed for the limit.
            if (drawn == kWarmUpFrames + kMeasuredFrames) BeginRecording(*device);
            if (drawn == kSampleFrames) {
                EndRecording(*device);
                const char* w = kSamples[frame.span].name;
                std::printf("window %s median_ms %.1f\n", w, Percentile(frameMs, 0.5));
                std::printf("window %s p90_ms %.1f\n", w, Percentile(frameMs, 0.9));
                std::printf("window %s limit_ms %.1f\n", w, ReplayMilliseconds(device));
                std::printf("window %s frame_calls %zu\n", w, RecordedCalls(*device));
                TrimmingFigures(device, w);
                std::fflush(stdout);
                frameMs.clear();
            }
        }
        frameStart = Clock::now();
        return true;
    };
    hooks.atEnd = [pixelScale] {
        if (pixelScale != 1.0f) {
            PostQuitMessage(0);
            return;
        }
        std::printf("draw_point_sprite_skipped_us %.3f\n", PointSpriteDrawMicroseconds(false));
        double separate = PointSpriteDrawMicroseconds(true, false);
        double sprite = PointSpriteDrawMicroseconds();
        double raw = RawQuadDrawMicroseconds();
        std::printf("draw_point_sprite_separate_us %.3f\n", separate);
        std::printf("draw_point_sprite_us %.3f\n", sprite);
        std::printf("raw_gl_quad_us %.3f\n", raw);
        PostQuitMessage(0);
    };
    demo::ScheduleOnShell(shell, schedule, std::move(hooks));
    int code = demo::WinMain(shell);
    rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak_rss_mb %.1f\n", double(usage.ru_maxrss) / 1024.0);
    return code;
}

}  // namespace

int main(int argc, char** argv) {
    constexpr const char* kUsageLine = "usage: velor-bench startup|frames [--scale N]|draws|seek";
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::printf("%s\n"
                        "  startup  process start to the first presented frame, and its parts\n"
                        "  frames   frame times and raster limits per window, DrawPointSprite against a raw\n"
                        "           GL draw, peak memory; with --scale N, only the windows, at that\n"
                        "           resolution scale\n"
                        "  draws    only DrawPointSprite against a raw GL draw\n"
                        "  seek     a player's seek from 10 s to 95 s and back, in ms, and an undrawn frame\n",
                        kUsageLine);
            return 0;
        }
    }
    auto refuse = [&](const std::string& why) {
        std::fprintf(stderr, "velor-bench: %s; %s\n", why.c_str(), kUsageLine);
        return 2;
    };
    if (argc == 4 && std::strcmp(argv[1], "frames") == 0 && std::strcmp(argv[2], "--scale") == 0) {
        float scale = 1;
        std::string error;
        if (!demo::ParseScaleValue(argv[3], false, &scale, &error)) return refuse(error);
        return Frames(true, scale);
    }
    for (int i = 1; i < argc; ++i)
        if (argv[i][0] == '-') return refuse(std::string("unknown option '") + argv[i] + "'");
    if (argc != 2) return refuse(argc < 2 ? "no mode given" : "one mode only");
    const std::string mode = argv[1];
    if (mode == "startup") return Startup();
    if (mode == "frames") return Frames(true);
    if (mode == "draws") return Frames(false);
    if (mode == "seek") return velor::bench::Seeks();
    return refuse("unknown mode '" + mode + "'");
}
