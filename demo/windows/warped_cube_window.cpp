#include "demo/windows/warped_cube_window.h"

#include <limits>

#include "demo/sprites/point_sprite.h"
#include "demo/timeline/camera.h"
#include "demo/windows/scene_calls.h"

namespace velor::demo {

WarpedCubeWindowState gWarpedCubeWindow;

namespace {

constexpr float kEyeZ = -13.0f;
constexpr float kTargetZ = -12.0f;
constexpr double kHomeCameraTime = 75.6;

struct CubeSetting {
    float after, before;  // open interval of demo time
    bool setsMode;
    int32_t mode;
    float rate;
    float a[3], b[3];     // cube sprite A and B colours
};

// Applied in order, each test on its own; where two hold (69.5 to 70) the later one wins.
constexpr CubeSetting kCubeSettings[] = {
    {-std::numeric_limits<float>::infinity(), 70.0f, false, 0, 1.0f, {0.1f, 0.1f, 0.5f}, {0.3f, 0.3f, 0.5f}},
    {69.5f, 71.0f, true, 1, 1.0f, {0.5f, 0.5f, 0.5f}, {0.3f, 0.3f, 0.3f}},
    {71.0f, 72.5f, true, 2, 0.8f, {0.7f, 0.4f, 0.4f}, {0.5f, 0.2f, 0.2f}},
    {72.5f, 74.0f, true, 3, 1.0f, {0.5f, 0.5f, 0.2f}, {0.3f, 0.3f, 0.1f}},
    {74.0f, 75.5f, true, 1, 1.0f, {0.2f, 0.5f, 0.2f}, {0.1f, 0.3f, 0.1f}},
};

void ApplySettings(float t) {
    CubeWarp& warp = gWarpedCubeWindow.warp;
    for (const CubeSetting& setting : kCubeSettings) {
        if (!(t > setting.after && t < setting.before)) continue;
        if (setting.setsMode) warp.mode = setting.mode;
        warp.rate = setting.rate;
        SetSpriteColour(gSprites.cubeA, setting.a[0], setting.a[1], setting.a[2]);
        SetSpriteColour(gSprites.cubeB, setting.b[0], setting.b[1], setting.b[2]);
    }
}

}  // namespace

void SetUpWarpedCubeWindow() { CreateCubeSprites(); }

void WarpedCubeWindowScene(float demoTime, float frameDelta) {
    // The camera up is left as window 3 rolled it.
    gCamera.eye = {gCamera.homeEye.x, gCamera.homeEye.y, kEyeZ};
    gCamera.target = {gCamera.homeTarget.x, gCamera.homeTarget.y, kTargetZ};

    // NOTE: the cloud reads the settings of the previous frame: they are changed after it draws.
    gSceneCalls.drawWarpedCube(gWarpedCubeWindow.warp, frameDelta);
    ApplySettings(demoTime);

    if (double(demoTime) > kHomeCameraTime) {
        gCamera.eye = gCamera.homeEye;
        gCamera.target = gCamera.homeTarget;
    }
}

}  // namespace velor::demo
