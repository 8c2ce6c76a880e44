#pragma once
// The scene director: advances demo time by the frame delta every frame and runs the scene window
// whose interval holds it, with the parameters the timeline owns.
//
// Each window is one unit (a row of kWindows: its interval and the function that runs it), and the
// scenes it calls go through gSceneCalls, so a test can run the director on a scripted clock with a
// recording in place of the scenes.
#include <cstdint>

#include "engine/math/math_types.h"

namespace velor::demo {

struct TimelineState {
    float demoTime = 0;            // seconds since the first frame
    float mosaicPhase = 0;         // window 1: sawtooth 0..0.31
    float terrainClock = 0;        // window 3: 0.5 per second
    float fadeLevel = 0;           // window 3 after 53.5 s: up to its first value >= 1
    int32_t cubeWarpMode = 0;      // window 4: warp formula 0..3
    float cubeWarpRate = 0;        // window 4: multiplies the warp phase
    int32_t forestEntryCount = 0;  // window 5: frames run so far
};

extern TimelineState gTimeline;

// The scenes and passes the windows run; the real ones by default.
struct SceneCalls {
    void (*drawSphereSwarm)(float s);
    void (*mosaicPass)(float musicTimer);
    void (*drawShadowReflectionScene)();
    void (*drawTerrain)(float angle);
    void (*radialBlurPass)(const Matrix& view, const Matrix& projection);
    void (*drawFourSpriteOverlay)();
    void (*drawFadeOverlay)();
    void (*drawWarpedCube)();
    void (*drawForest)();
    void (*sampleFigureVertices)();
    void (*drawSkeletonFollowers)();
    void (*drawScroller)();
};

extern SceneCalls gSceneCalls;
const SceneCalls& RealSceneCalls();

// One scene window: runs while demo time lies strictly inside (lower, upper).
struct SceneWindow {
    int number;
    double lower;  // NOTE: 19.4 and 75.6 are compared as doubles against the widened demo time
    double upper;
    void (*run)();
};

constexpr int kWindowCount = 6;
extern const SceneWindow kWindows[kWindowCount];

// The window that runs at this demo time, or 0 at a boundary (where only the clear shows).
int WindowAt(float demoTime);

void DemoTimeline();

}  // namespace velor::demo
