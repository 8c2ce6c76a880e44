#include "demo/shell/viewer_keys.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "demo/content/demo_resources.h"
#include "demo/content/start_state.h"
#include "demo/shell/frame_loop.h"
#include "demo/shell/info_line.h"
#include "demo/shell/pictures_folder.h"
#include "demo/shell/shell_state.h"
#include "demo/timeline/demo_timeline.h"
#include "engine/gfx/device_controls.h"
#include "engine/gfx/present_frame.h"
#include "engine/gfx/present_overlay.h"
#include "engine/ui/text_line_image.h"
#ifndef __EMSCRIPTEN__
#include "engine/image/image_writer.h"
#endif

namespace velor::demo {

namespace {

struct Viewer {
    FrameSchedule* schedule = nullptr;
    ViewerSettings settings;
    bool paused = false;
    bool handedOver = false;        // the schedule's first hand-over (the start) has happened
    const char* seekKey = nullptr;  // the key of the seek under way, until it lands
    bool infoLine = false;          // F1 / Tab
    bool infoFontMissing = false;   // said once
    FrameRateMeter frameRate;
};

Viewer gViewer;

SoundEngine* Music() { return gResources.musicEngine.get(); }

// The demo time by the frame clock now: the frame last finished plus the clock's time since it, which
// is what the next frame will be drawn at (a paused clock stands still).
double ClockTime() {
    const ScheduleClock& clock = gViewer.schedule->Clock();
    return double(gTimeline.demoTime) + double(FrameDeltaSeconds(clock.Peek() - gShell.frameClock, gShell.counterPeriod));
}

void PrintStatus(const char* key, const char* state) {
    const float time = gTimeline.demoTime;
    const double music = Music() != nullptr ? Music()->GetPlayPosition() : -1;
    char position[32] = "none";
    if (music >= 0) std::snprintf(position, sizeof position, "%.6f", music);
    std::printf("velor: key=%s state=%s time=%.6f clock=%.6f music=%s window=%d\n", key, state, double(time),
                ClockTime(), position, WindowAt(time));
    std::fflush(stdout);
}

void TogglePause() {
    Viewer& v = gViewer;
    v.paused = !v.paused;
    if (v.paused) {
        v.schedule->Clock().Pause();
        // A seek under way still plays up to its frame, which is then held.
        gShell.holdFrames = v.seekKey == nullptr;
    } else {
        v.frameRate.Clear();
        v.schedule->Clock().Resume();
        gShell.holdFrames = false;
    }
    if (Music() != nullptr && v.seekKey == nullptr) Music()->SetPaused(v.paused);
    PrintStatus("space", v.paused ? "paused" : "playing");
}

void Seek(const char* key, double target, bool fromStart) {
    Viewer& v = gViewer;
    PrintStatus(key, "seeking");
    if (fromStart) ReturnToStartState();
    v.schedule->SeekTo(target, fromStart);
    v.seekKey = key;
    gShell.holdFrames = false;
    v.frameRate.Clear();
    if (Music() != nullptr) Music()->SetPaused(true);
    SetRasterization(*gShell.device, v.schedule->DrawsNext());
}

void ToggleFullScreen() {
    Window* window = gShell.mainWindow.get();
    const bool full = !window->IsFullScreen();
    window->SetFullScreen(full, gViewer.settings.windowWidth, gViewer.settings.windowHeight);
    PrintStatus(full ? "fullscreen" : "window", gViewer.paused ? "paused" : "playing");
}

// A browser page links no image writer and has no pictures folder: its screenshot key is off.
void WriteScreenshot() {
#ifndef __EMSCRIPTEN__
    const PresentedPixels picture = ReadPresentedFrame(*gShell.device);
    Image image(picture.width, picture.height);
    image.pixels = picture.pixels;
    const std::string path = ScreenshotPath(PicturesFolder([](const char* name) -> const char* { return std::getenv(name); }),
                                            double(gTimeline.demoTime));
    const ImageStatus status = WritePng(path, image);
    if (!status.ok()) {
        std::fprintf(stderr, "velor: screenshot: %s\n", status.error.c_str());
        return;
    }
    std::printf("velor: screenshot %s (%ux%u)\n", path.c_str(), unsigned(picture.width), unsigned(picture.height));
    PrintStatus("f12", gViewer.paused ? "paused" : "playing");
#endif
}

// The line is drawn over the window at present time, in the window's real pixels, so no read-back
// of the back buffer (captures, F12) holds it.
constexpr int kInfoLineHeight = 16;

void ShowInfoLine() {
    Viewer& v = gViewer;
    Device& device = *gShell.device;
    if (!v.infoLine) {
        SetPresentOverlay(device, {});
        return;
    }
    const float scale = PixelScale(device);
    const std::string text =
        FormatInfoLine(double(gTimeline.demoTime), WindowAt(gTimeline.demoTime), v.frameRate.PerSecond(), scale);
    std::string error;
    OverlayImage image = RenderTextLine(text, int(float(kInfoLineHeight) * scale + 0.5f), &error);
    if (image.width == 0 && !v.infoFontMissing) {
        v.infoFontMissing = true;
        std::fprintf(stderr, "velor: information line: %s\n", error.c_str());
    }
    SetPresentOverlay(device, std::move(image));
}

// A held picture is not drawn again: it is presented again, with the line as it now is.
void ToggleInfoLine(const char* key) {
    Viewer& v = gViewer;
    v.infoLine = !v.infoLine;
    ShowInfoLine();
    if (gShell.holdFrames) gShell.device->Present();
    PrintStatus(key, v.paused ? "paused" : "playing");
}

void OnKey(const Message& message) {
    const double now = double(gTimeline.demoTime);
    const bool windowKeys = gViewer.settings.windowKeys;
    if (message.message == Msg::SysKeyDown) {  // Alt+Enter
        if (windowKeys) ToggleFullScreen();
        return;
    }
    switch (message.wParam) {
    case Vk::Space: TogglePause(); break;
    case Vk::Left: Seek("left", std::max(0.0, now - kSeekSeconds), true); break;
    case Vk::Right: Seek("right", now + kSeekSeconds, false); break;
    case Vk::Home: Seek("home", 0, true); break;
    case Vk::F1:
        if (windowKeys) ToggleInfoLine("f1");
        break;
    case Vk::Tab:
        if (windowKeys) ToggleInfoLine("tab");
        break;
    case Vk::F11:
        if (windowKeys) ToggleFullScreen();
        break;
    case Vk::F12:
        if (windowKeys) WriteScreenshot();
        break;
    default: break;
    }
}

// The first drawn frame of the start, and of every seek: the music starts, or moves to the frame's
// time, as the real clock takes over again.
void AtHandOver(const ScheduledFrame& frame) {
    Viewer& v = gViewer;
    if (!v.handedOver) {
        v.handedOver = true;
        if (v.settings.startMusicAtHandOver && !v.settings.mute) StartMusic(frame.time);
        PrintStatus("start", "playing");
        return;
    }
    if (Music() != nullptr) {
        Music()->SetPlayPosition(frame.time);
        Music()->SetPaused(v.paused);
    }
    if (v.paused) gShell.holdFrames = true;
    if (v.seekKey != nullptr) {
        const char* key = v.seekKey;
        v.seekKey = nullptr;
        PrintStatus(key, "landed");
    }
}

}  // namespace

void AfterViewerFrame(const ScheduledFrame& frame) {
    Viewer& v = gViewer;
    if (!frame.drawn) return;
    v.frameRate.Note(double(v.schedule->Clock().Peek()) * double(gShell.counterPeriod));
    if (v.infoLine) ShowInfoLine();
}

void InstallViewerKeys(FrameSchedule& schedule, const ViewerSettings& settings) {
    gViewer = Viewer{};
    gViewer.schedule = &schedule;
    gViewer.settings = settings;
    gShell.viewerKey = &OnKey;
    schedule.AtHandOver(&AtHandOver);
}

}  // namespace velor::demo
