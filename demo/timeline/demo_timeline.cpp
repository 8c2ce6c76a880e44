// The six scene windows. Each runs its scene, animates the parameters the timeline owns at fixed
// rates per second of frame delta, moves or restores the camera, and ends with ApplyCamera, so a
// frame draws with the camera built at the end of the previous one. Windows 1 and 3 draw into the
// scene target first and show it through a post pass.
#include "demo/timeline/demo_timeline.h"

#include <cmath>
#include <limits>

#include "demo/content/demo_resources.h"
#include "demo/overlay/image_overlay.h"
#include "demo/overlay/scroller.h"
#include "demo/overlay/text_record.h"
#include "demo/shadows/shadow_reflection_scene.h"
#include "demo/shell/shell_state.h"
#include "demo/sprites/point_sprite.h"
#include "demo/sprites/skeleton_followers.h"
#include "demo/sprites/sphere_swarm.h"
#include "demo/sprites/warped_cube.h"
#include "demo/terrain/forest.h"
#include "demo/terrain/post_effects.h"
#include "demo/terrain/terrain.h"
#include "demo/timeline/camera.h"
#include "engine/math/d3dx_math.h"

namespace velor::demo {

TimelineState gTimeline;

namespace {

constexpr Color kSceneClearColour = 0xFF000000u;
constexpr double kMosaicRate = 0.193;
constexpr float kMosaicPeak = 0.31f;
constexpr double kTerrainClockRate = 0.5;
constexpr float kCameraRollRate = 0.1f;      // radians per second about the tunnel's axis
constexpr float kTunnelTargetX = 5.0f;
constexpr float kOverlayStart = 49.5f;
constexpr float kFadeStart = 53.5f;
constexpr double kFadeRate = 0.3;
constexpr float kBlurFov = 0.7853982f;       // pi / 4 in single precision
constexpr float kWarpedCubeEyeZ = -13.0f;
constexpr float kWarpedCubeTargetZ = -12.0f;
constexpr double kWarpedCubeHomeTime = 75.6;
constexpr float kFollowersStart = 82.0f;

void DrawFadeOverlay() {
    TextRecord& fade = gTextRecords[kFadeRecord];
    fade.alphaLevel = gTimeline.fadeLevel;
    DrawRecordScreen(fade, gResources.fadeTexture);
}

Device* TheDevice() { return gShell.device.get(); }

// The frame's scene is ended so the render-to-surface pass can open its own; the target is cleared.
void BeginSceneTarget() {
    Device* device = TheDevice();
    if (device == nullptr) return;
    device->EndScene();
    if (gResources.sceneRenderToSurface == nullptr) return;
    gResources.sceneRenderToSurface->BeginScene(gResources.sceneTargetSurface, nullptr);
    device->Clear(0, nullptr, Clear::Target | Clear::ZBuffer | Clear::Stencil, kSceneClearColour, 1.0f, 0);
}

// Ends the target pass and reopens a scene on the back buffer for the post pass and overlays, so
// the frame's own EndScene has a scene to end.
void EndSceneTarget() {
    Device* device = TheDevice();
    if (device == nullptr) return;
    if (gResources.sceneRenderToSurface != nullptr) gResources.sceneRenderToSurface->EndScene(0);
    device->BeginScene();
}

void SetSpriteColour(PointSprite* sprite, float r, float g, float b) {
    if (sprite == nullptr) return;
    sprite->diffuse.x = r;
    sprite->diffuse.y = g;
    sprite->diffuse.z = b;
}

// ---- window 1: the sphere swarm under the mosaic --------------------------------------------------
void RunSphereSwarmWindow() {
    BeginSceneTarget();
    gSceneCalls.drawSphereSwarm(float(double(gTimeline.demoTime) * 1.2));
    EndSceneTarget();
    gTimeline.mosaicPhase = float(gTimeline.mosaicPhase + kMosaicRate * gShell.frameDelta);
    if (gTimeline.mosaicPhase > kMosaicPeak) gTimeline.mosaicPhase = 0;
    float phase = gTimeline.mosaicPhase;
    SetSpriteColour(gSprites.sphere, 0.3f, phase + 0.3f, phase * 3);
    gSceneCalls.mosaicPass(float((double(phase) + 0.1) * 0.5));
    ApplyCamera(45, 4.6f, 3);
}

// ---- window 2: shadows and reflection --------------------------------------------------------------
void RunShadowReflectionWindow() {
    gSceneCalls.drawShadowReflectionScene();
    ApplyCamera(45, 4.8f, 3);
}

// ---- window 3: the tunnel under the radial blur, the images and the fade --------------------------
void RunTunnelWindow() {
    gTimeline.terrainClock = float(gTimeline.terrainClock + kTerrainClockRate * gShell.frameDelta);
    BeginSceneTarget();

    gCamera.target = {kTunnelTargetX, gCamera.homeTarget.y, gCamera.homeTarget.z};
    Matrix roll;
    MatrixRotationAxis(&roll, &gCamera.target, gShell.frameDelta * kCameraRollRate);
    // NOTE: the eye is rebuilt from home every frame, but the up vector keeps turning: the picture
    // rolls for the whole window, and window 4 inherits the roll.
    Vec3TransformCoord(&gCamera.eye, &gCamera.homeEye, &roll);
    Vec3TransformCoord(&gCamera.up, &gCamera.up, &roll);
    if (gTimeline.demoTime < kOverlayStart) gCamera.eye.x = gTimeline.terrainClock / 15;

    gSceneCalls.drawTerrain(float(double(gTimeline.terrainClock) * 1.2));
    ApplyCamera(90, 4.8f, 3);
    EndSceneTarget();

    Matrix blurProjection;
    MatrixPerspectiveFovLH(&blurProjection, kBlurFov, 1.0f, 0.01f, 10000.0f);
    if (Effect* blur = gResources.radialBlurEffect.get()) {
        float clock = gTimeline.terrainClock;
        blur->SetFloat("value", clock * 5);
        blur->SetFloat("BlurStart", std::sin(clock * 0.5f));
        blur->SetFloat("BlurWidth", std::cos(clock * 0.5f) / 6);
    }
    gSceneCalls.radialBlurPass(gCamera.view, blurProjection);

    if (gTimeline.demoTime > kOverlayStart) gSceneCalls.drawFourSpriteOverlay();
    if (gTimeline.demoTime > kFadeStart) {
        if (gTimeline.fadeLevel < 1) gTimeline.fadeLevel = float(gTimeline.fadeLevel + kFadeRate * gShell.frameDelta);
        gSceneCalls.drawFadeOverlay();
    }
}

// ---- window 4: the warped cube cloud ----------------------------------------------------------------
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

void RunWarpedCubeWindow() {
    gCamera.eye = {gCamera.homeEye.x, gCamera.homeEye.y, kWarpedCubeEyeZ};
    gCamera.target = {gCamera.homeTarget.x, gCamera.homeTarget.y, kWarpedCubeTargetZ};

    // NOTE: the cloud reads the settings of the previous frame: they are changed after it draws.
    gSceneCalls.drawWarpedCube();

    float t = gTimeline.demoTime;
    for (const CubeSetting& setting : kCubeSettings) {
        if (!(t > setting.after && t < setting.before)) continue;
        if (setting.setsMode) gTimeline.cubeWarpMode = setting.mode;
        gTimeline.cubeWarpRate = setting.rate;
        SetSpriteColour(gSprites.cubeA, setting.a[0], setting.a[1], setting.a[2]);
        SetSpriteColour(gSprites.cubeB, setting.b[0], setting.b[1], setting.b[2]);
    }
    if (double(t) > kWarpedCubeHomeTime) {
        gCamera.eye = gCamera.homeEye;
        gCamera.target = gCamera.homeTarget;
    }
    ApplyCamera(45, 4.8f, 3);
}

// ---- window 5: the forest and the skeleton followers -------------------------------------------------
void RunForestWindow() {
    gTimeline.forestEntryCount += 1;
    if (gTimeline.forestEntryCount == 1) {
        // Undoes the roll of window 3 and every earlier camera move, once.
        gCamera.eye = gCamera.homeEye;
        gCamera.target = gCamera.homeTarget;
        gCamera.up = gCamera.homeUp;
    }
    gSceneCalls.drawForest();
    if (gTimeline.demoTime > kFollowersStart) {
        gSceneCalls.sampleFigureVertices();
        gSceneCalls.drawSkeletonFollowers();
    }
    ApplyCamera(35, 4.8f, 3);
}

// ---- window 6: the end scroller, for as long as the program runs -----------------------------------
void RunScrollerWindow() {
    gSceneCalls.drawScroller();
    ApplyCamera(35, 4.8f, 3);
}

constexpr double kForever = std::numeric_limits<double>::infinity();

}  // namespace

const SceneCalls& RealSceneCalls() {
    static const SceneCalls calls{
        DrawSphereSwarm, MosaicPass,     DrawShadowReflectionScene, DrawTerrain,
        RadialBlurPass,  DrawFourSpriteOverlay, DrawFadeOverlay,    DrawWarpedCube,
        DrawForest,      SampleFigureVertices,  DrawSkeletonFollowers, DrawScroller,
    };
    return calls;
}

SceneCalls gSceneCalls = RealSceneCalls();

const SceneWindow kWindows[kWindowCount] = {
    {1, -kForever, 19.4, RunSphereSwarmWindow},
    {2, 19.4, 32.0, RunShadowReflectionWindow},
    {3, 32.0, 57.0, RunTunnelWindow},
    {4, 57.0, 76.0, RunWarpedCubeWindow},
    {5, 76.0, 98.0, RunForestWindow},
    {6, 98.0, kForever, RunScrollerWindow},
};

int WindowAt(float demoTime) {
    double t = demoTime;
    for (const SceneWindow& window : kWindows)
        if (t > window.lower && t < window.upper) return window.number;
    return 0;
}

void DemoTimeline() {
    gTimeline.demoTime += gShell.frameDelta;
    // Tested in order, each on its own; the intervals do not overlap, so at most one runs.
    double t = gTimeline.demoTime;
    for (const SceneWindow& window : kWindows)
        if (t > window.lower && t < window.upper) window.run();
}

}  // namespace velor::demo
