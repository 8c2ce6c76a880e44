#pragma once
// The scene director: advances demo time by the frame delta every frame and runs the scene window
// whose interval holds it, with the parameters the timeline owns.
#include <cstdint>

namespace velor::demo {

struct TimelineState {
    float demoTime = 0;          // seconds since the first frame
    float mosaicPhase = 0;       // window 1: sawtooth 0..0.31
    float terrainClock = 0;      // window 3: 0.5 per second
    float fadeLevel = 0;         // window 3 after 53.5 s: up to its first value >= 1
    int32_t cubeWarpMode = 0;    // window 4: warp formula 0..3
    float cubeWarpRate = 0;      // window 4: multiplies the warp phase
    int32_t forestEntryCount = 0;  // window 5: frames run so far
};

extern TimelineState gTimeline;

void DemoTimeline();

}  // namespace velor::demo
