// The schedule of the six scene windows and the director that runs it. Every window ends with
// ApplyCamera, so a frame draws with the camera built at the end of the previous one; windows 1 and
// 3 draw their scene into the scene target first and show it through their post pass.
#include "demo/timeline/demo_timeline.h"

#include <limits>

#include "demo/content/demo_resources.h"
#include "demo/shell/shell_state.h"
#include "demo/windows/forest_window.h"
#include "demo/windows/scroller_window.h"
#include "demo/windows/shadow_reflection_window.h"
#include "demo/windows/sphere_swarm_window.h"
#include "demo/windows/tunnel_window.h"
#include "demo/windows/warped_cube_window.h"

namespace velor::demo {

TimelineState gTimeline;

namespace {

constexpr Color kSceneClearColour = 0xFF000000u;
constexpr double kForever = std::numeric_limits<double>::infinity();

// ApplyCamera's lenses. NOTE: the swarm alone is drawn at 4.6 / 3; every aspect is independent of
// the back buffer's 4 / 3.
constexpr CameraLens kSwarmLens{45, 4.6f, 3};
constexpr CameraLens kStandardLens{45, 4.8f, 3};
constexpr CameraLens kWideLens{90, 4.8f, 3};
constexpr CameraLens kNarrowLens{35, 4.8f, 3};

constexpr WindowTarget kBackBuffer = WindowTarget::BackBuffer;
constexpr WindowTarget kSceneTarget = WindowTarget::SceneTarget;
constexpr CameraAt kAtEnd = CameraAt::End;
constexpr CameraAt kInTargetPass = CameraAt::InsideTargetPass;

// The frame's scene is ended so the render-to-surface pass can open its own; the target is cleared.
void BeginSceneTarget() {
    Device* device = CurrentDevice();
    if (device == nullptr) return;
    device->EndScene();
    if (gResources.sceneRenderToSurface == nullptr) return;
    gResources.sceneRenderToSurface->BeginScene(gResources.sceneTargetSurface, nullptr);
    device->Clear(0, nullptr, Clear::Target | Clear::ZBuffer | Clear::Stencil, kSceneClearColour, 1.0f, 0);
}

// Ends the target pass and reopens a scene on the back buffer for the post pass and overlays, so
// the frame's own EndScene has a scene to end.
void EndSceneTarget() {
    Device* device = CurrentDevice();
    if (device == nullptr) return;
    if (gResources.sceneRenderToSurface != nullptr) gResources.sceneRenderToSurface->EndScene(0);
    device->BeginScene();
}

void RunWindow(const SceneWindow& window, float demoTime, float frameDelta) {
    const bool throughTarget = window.target == WindowTarget::SceneTarget;
    if (throughTarget) BeginSceneTarget();
    window.scene(demoTime, frameDelta);
    if (window.cameraAt == CameraAt::InsideTargetPass) ApplyCamera(window.lens);
    if (throughTarget) EndSceneTarget();
    if (window.post != nullptr) window.post(demoTime, frameDelta);
    if (window.cameraAt == CameraAt::End) ApplyCamera(window.lens);
}

}  // namespace

// clang-format off
const SceneWindow kWindows[kWindowCount] = {
    // window  after      before    drawn into    scene                        post pass              lens           camera
    {1,      -kForever, 19.4,     kSceneTarget, SphereSwarmWindowScene,      SphereSwarmWindowPost, kSwarmLens,    kAtEnd},
    {2,      19.4,      32.0,     kBackBuffer,  ShadowReflectionWindowScene, nullptr,               kStandardLens, kAtEnd},
    {3,      32.0,      57.0,     kSceneTarget, TunnelWindowScene,           TunnelWindowPost,      kWideLens,     kInTargetPass},
    {4,      57.0,      76.0,     kBackBuffer,  WarpedCubeWindowScene,       nullptr,               kStandardLens, kAtEnd},
    {5,      76.0,      98.0,     kBackBuffer,  ForestWindowScene,           nullptr,               kNarrowLens,   kAtEnd},
    {6,      98.0,      kForever, kBackBuffer,  ScrollerWindowScene,         nullptr,               kNarrowLens,   kAtEnd},
};
// clang-format on

int WindowAt(float demoTime) {
    double t = demoTime;
    for (const SceneWindow& window : kWindows)
        if (t > window.lower && t < window.upper) return window.number;
    return 0;
}

void DemoTimeline(float frameDelta) {
    gTimeline.demoTime += frameDelta;
    // Tested in order, each on its own; the intervals do not overlap, so at most one runs.
    const double t = gTimeline.demoTime;
    for (const SceneWindow& window : kWindows)
        if (t > window.lower && t < window.upper) RunWindow(window, gTimeline.demoTime, frameDelta);
}

}  // namespace velor::demo
