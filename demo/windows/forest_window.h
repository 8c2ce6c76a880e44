#pragma once
// Window 5, from 76 s to 98 s: the forest, and from 82 s the points following the skeleton.
#include <cstdint>

namespace velor::demo {

struct ForestWindowState {
    int32_t entryCount = 0;  // frames run so far; never reset
};

extern ForestWindowState gForestWindow;

// Start-up: the trees, the skeleton's vertex buffer and the dolly's waypoints.
void SetUpForestWindow();
// On its first frame the home camera comes back; then the forest, which moves the camera itself.
void ForestWindowScene(float demoTime, float frameDelta);

}  // namespace velor::demo
