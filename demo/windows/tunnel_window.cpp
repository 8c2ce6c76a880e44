#include "demo/windows/tunnel_window.h"

#include <cmath>

#include "demo/content/demo_effects.h"
#include "demo/content/demo_resources.h"
#include "demo/shell/shell_state.h"
#include "demo/terrain/radial_blur_reach.h"
#include "demo/terrain/terrain.h"
#include "demo/timeline/camera.h"
#include "demo/windows/scene_calls.h"
#include "engine/math/d3dx_math.h"

namespace velor::demo {

TunnelWindowState gTunnelWindow;

namespace {

constexpr double kTerrainClockRate = 0.5;
constexpr double kTerrainTurnScale = 1.2;     // the tunnel's angle per unit of terrain clock
constexpr float kCameraRollRate = 0.1f;       // radians per second about the tunnel's axis
constexpr float kTunnelTargetX = 5.0f;
constexpr float kEyeDriftDivisor = 15.0f;     // before the images, eye x = terrain clock / 15
constexpr float kOverlayStart = 49.5f;
constexpr float kFadeStart = 53.5f;
constexpr double kFadeRate = 0.3;
constexpr float kBlurFov = 0.7853982f;        // pi / 4 in single precision
constexpr float kBlurAspect = 1.0f;
constexpr float kBlurNear = 0.01f;
constexpr float kBlurFar = 10000.0f;

float BlurStart(float clock) { return std::sin(clock * 0.5f); }
float BlurWidth(float clock) { return std::cos(clock * 0.5f) / 6; }

void SetBlurParameters(float clock) {
    Effect* blur = gResources.radialBlurEffect.get();
    if (blur == nullptr) return;
    blur->SetFloat("value", clock * 5);
    blur->SetFloat("BlurStart", BlurStart(clock));
    blur->SetFloat("BlurWidth", BlurWidth(clock));
}

// The tunnel is drawn only where this frame's blur (set from the same clock in the post pass) reads
// the scene target: the rest of the target is cleared and never seen.
void DrawTerrainWhereBlurReads(float clock) {
    Device* device = CurrentDevice();
    const bool limit = device != nullptr && gResources.sceneTargetTexture != nullptr;
    if (limit) {
        const Texture& target = *gResources.sceneTargetTexture;
        const Rect reach = RadialBlurReach(BlurStart(clock), BlurWidth(clock), target.LevelWidth(0), target.LevelHeight(0));
        device->SetScissorRect(&reach);
        device->SetRenderState(RenderState::ScissorTestEnable, 1);
    }
    gSceneCalls.drawTerrain(float(double(clock) * kTerrainTurnScale));
    if (limit) device->SetRenderState(RenderState::ScissorTestEnable, 0);
}

}  // namespace

void SetUpTunnelWindow() {
    InitTerrain();
    CreateEmbeddedEffect(kRadialBlurResource, &gResources.radialBlurEffect);
}

void TunnelWindowScene(float demoTime, float frameDelta) {
    TunnelWindowState& state = gTunnelWindow;
    state.terrainClock = float(state.terrainClock + kTerrainClockRate * frameDelta);

    gCamera.target = {kTunnelTargetX, gCamera.homeTarget.y, gCamera.homeTarget.z};
    Matrix roll;
    MatrixRotationAxis(&roll, &gCamera.target, frameDelta * kCameraRollRate);
    // NOTE: the eye is rebuilt from home every frame, but the up vector keeps turning: the picture
    // rolls for the whole window, and window 4 inherits the roll.
    Vec3TransformCoord(&gCamera.eye, &gCamera.homeEye, &roll);
    Vec3TransformCoord(&gCamera.up, &gCamera.up, &roll);
    if (demoTime < kOverlayStart) gCamera.eye.x = state.terrainClock / kEyeDriftDivisor;

    DrawTerrainWhereBlurReads(state.terrainClock);
}

void TunnelWindowPost(float demoTime, float frameDelta) {
    TunnelWindowState& state = gTunnelWindow;
    Matrix blurProjection;
    MatrixPerspectiveFovLH(&blurProjection, kBlurFov, kBlurAspect, kBlurNear, kBlurFar);
    SetBlurParameters(state.terrainClock);
    gSceneCalls.radialBlurPass(gCamera.view, blurProjection);

    if (demoTime > kOverlayStart) gSceneCalls.drawFourSpriteOverlay(state.terrainClock);
    if (demoTime > kFadeStart) {
        if (state.fadeLevel < 1) state.fadeLevel = float(state.fadeLevel + kFadeRate * frameDelta);
        gSceneCalls.drawFadeOverlay(state.fadeLevel);
    }
}

}  // namespace velor::demo
