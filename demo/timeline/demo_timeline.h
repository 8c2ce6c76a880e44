#pragma once
// The scene director: advances demo time by the frame delta every frame and runs the scene window
// whose interval holds it.

namespace velor::demo {

struct TimelineState {
    float demoTime = 0;  // seconds since the first frame
};

extern TimelineState gTimeline;

void DemoTimeline();

}  // namespace velor::demo
