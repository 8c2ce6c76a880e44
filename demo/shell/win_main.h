#pragma once
// The program: start-up in its fixed order, the message loop, shutdown.
#include <functional>

#include "engine/gfx/present_frame.h"
#include "engine/os/clock.h"

namespace velor::demo {

struct ShellOptions {
    FrameClock* clock = nullptr;            // the performance counter in the demo, a fixed step in captures
    bool visibleWindow = true;
    bool headless = false;                  // velor-capture: SDL's offscreen driver, no display needed
    std::function<void()> afterFrame;       // capture hook: runs after each drawn frame
    bool fullScreen = true;                 // false: a framed window of windowWidth x windowHeight
    int windowWidth = 1024, windowHeight = 768;
    float pixelScale = 1.0f;                // real pixels per back-buffer pixel; 0: fit the window
    PresentFrame frame = PresentFrame::Whole;  // what of the back buffer is shown, read back and fitted
    int display = -1;                       // the monitor the window goes on, from 0; -1: the system's choice
    bool vsync = false;                     // Present waits for the vertical retrace
    bool startMusic = true;                 // false: the caller starts it (StartMusic) or plays muted
    std::function<void()> afterStartUp;     // runs once the resources exist, before the first frame
    // Runs when the message loop has ended, with its exit code: in a browser, where WinMain does not
    // return once the loop has started, the place to tidy up.
    std::function<void(int)> afterLoop;
};

// Returns the quit message's exit code, or 1 when the window or the device cannot be created.
int WinMain(const ShellOptions& options);

// Clears, begins the scene, reads input, runs the timeline, ends the scene and presents.
void RenderFrame();

}  // namespace velor::demo
