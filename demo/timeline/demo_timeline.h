#pragma once
// The scene director: advances demo time by the frame delta every frame and runs the scene window
// whose interval holds it.
//
// The schedule is one table, kWindows: a window's interval, whether it draws through the scene
// target, its scene and post pass (each window's own code, in demo/windows/), and the lens of the
// ApplyCamera that ends it. The director owns only demo time, the render-to-surface pass and the
// camera; what a window animates is kept by that window.
#include "demo/timeline/camera.h"

namespace velor::demo {

struct TimelineState {
    float demoTime = 0;  // seconds since the first frame
};

extern TimelineState gTimeline;

// Where a window's scene is drawn.
enum class WindowTarget {
    BackBuffer,   // straight into the frame
    SceneTarget,  // into the scene target texture, which the window's post pass then shows
};

// When the window's ApplyCamera runs.
enum class CameraAt {
    End,              // last, after everything the window draws
    InsideTargetPass, // after the scene, before the target pass ends: the post pass sees this frame's view
};

// A window's per-frame step, given the frame's demo time (already advanced) and frame delta.
using WindowStep = void (*)(float demoTime, float frameDelta);

// One scene window: runs while demo time lies strictly inside (lower, upper).
struct SceneWindow {
    int number;
    double lower;  // NOTE: 19.4 and 75.6 are compared as doubles against the widened demo time
    double upper;
    WindowTarget target;
    WindowStep scene;  // draws into the target
    WindowStep post;   // after the target pass, on the back buffer; null when there is none
    CameraLens lens;
    CameraAt cameraAt;
};

constexpr int kWindowCount = 6;
extern const SceneWindow kWindows[kWindowCount];

// The window that runs at this demo time, or 0 at a boundary (where only the clear shows).
int WindowAt(float demoTime);

// One frame of the schedule: demo time += frame delta, then the window that holds it. Called once a
// frame between the device's BeginScene and EndScene.
void DemoTimeline(float frameDelta);

}  // namespace velor::demo
