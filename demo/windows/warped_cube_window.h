#pragma once
// Window 4, from 57 s to 76 s: the warped cube cloud, its warp and colours changed from 69.5 s by a
// table of settings, before a camera pulled back along z; the home camera from 75.6 s.
#include "demo/sprites/warped_cube.h"

namespace velor::demo {

struct WarpedCubeWindowState {
    CubeWarp warp;  // as the settings last left it; the cloud draws with it on the next frame
};

extern WarpedCubeWindowState gWarpedCubeWindow;

// Start-up: the two cube sprites (textured later, with the flares).
void SetUpWarpedCubeWindow();
// The cloud, then the settings for the next frame and the camera.
void WarpedCubeWindowScene(float demoTime, float frameDelta);

}  // namespace velor::demo
