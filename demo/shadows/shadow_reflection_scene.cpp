// Window 2, the shadow-and-reflection scene: the caster lit by three coloured lights circling the
// vertical axis, with stencil shadows; the reflective sphere and a glow shell added on top; four
// point sprites pulsing at the origin; and a camera flying three legs between waypoints, always
// looking at the vertical axis.
//
// Takes demo time and frame delta; writes the shadow lights' positions, the reflection light's
// specular colour, the light sprites' colours, the camera's eye and target, and the fixed-function
// directional lights 0 and 1, which stay in force for the rest of the demo. The lights and the glow
// scroll follow demo time; the sprite pulses and the camera flight advance per frame of this window.
#include "demo/shadows/shadow_reflection_scene.h"

#include <cmath>
#include <cstring>

#include "demo/content/demo_resources.h"
#include "demo/scene/scene_object.h"
#include "demo/shadows/reflective_object.h"
#include "demo/shadows/shadow_volume_scene.h"
#include "demo/shell/shell_state.h"
#include "demo/sprites/point_seeking.h"
#include "demo/sprites/point_sprite.h"
#include "demo/timeline/camera.h"
#include "engine/math/d3dx_math.h"

namespace velor::demo {

ShadowReflectionState gShadowReflection;

namespace {

constexpr int kSpriteRepeats = 3;  // each light sprite is drawn three times: three times as bright
constexpr float kGlowPointSize = 2.5f;
constexpr float kSparkBPointSize = 8.0f;

// Camera flight: each leg steps one waypoint toward the next leg's start (kFlightPoints).
constexpr float kLegEndDistance = 1.0f;
constexpr float kLeg0Speed = 7.0f;     // units per second of frame delta
constexpr float kLeg1Speed = 10.0f;
constexpr float kLeg2Speed = 9.0f;
constexpr float kSinkAcceleration = 0.1f;
constexpr float kClimbAcceleration = 0.002f;
constexpr float kLowestEyeHeight = -3.0f;

float Sin(double x) { return float(std::sin(x)); }
float Cos(double x) { return float(std::cos(x)); }

void PlaceShadowLights(float t) {
    // NOTE: h is rounded to single precision, u is not; the sines are rounded before scaling.
    float h = float(t * 0.5);
    double u = double(t) * 1.1;
    gShadow.lightPositions[0] = {10.0f * Sin(h), 3.0f, 10.0f * Cos(h)};
    gShadow.lightPositions[1] = {11.0f * Cos(h), 6.0f, 11.0f * Sin(h)};
    gShadow.lightPositions[2] = {-11.0f * Cos(u), 4.0f, -11.0f * Sin(u)};
}

void DrawGlowLayer(float value) {
    Effect* effect = gResources.offsetEffect.get();
    if (effect == nullptr) return;
    effect->Begin(nullptr, 0);
    effect->BeginPass(0);
    effect->SetFloat("value", value);
    effect->CommitChanges();
    DrawObject(kScrollSlot);
    effect->EndPass();
    effect->End();
}

void DrawSprite(PointSprite* sprite, float pointSize) {
    if (sprite != nullptr) DrawPointSprite(*sprite, pointSize);
}

void DrawLightSprites(float a) {
    PointSprites& s = gSprites;
    for (int repeat = 0; repeat < kSpriteRepeats; ++repeat) {
        if (s.glowA) s.glowA->diffuse.w = Cos(a);
        DrawSprite(s.glowA, kGlowPointSize);
        if (s.glowB) s.glowB->diffuse.w = Sin(2.0 * a);
        DrawSprite(s.glowB, kGlowPointSize);
    }
    for (int repeat = 0; repeat < kSpriteRepeats; ++repeat) {
        float sinA = Sin(a);
        if (s.sparkA) {
            s.sparkA->diffuse.x = 1.0f;
            s.sparkA->diffuse.y = sinA;
            s.sparkA->diffuse.z = Cos(a);
        }
        DrawSprite(s.sparkA, sinA + 2.0f);
        if (s.sparkB) s.sparkB->diffuse = {1.0f, sinA - 1.0f, sinA, 0.5f};
        DrawSprite(s.sparkB, kSparkBPointSize);
    }
}

void SetUpDirectionalLights() {
    const Vector3 directions[2] = {{-10, 0, 10}, {10, 0, 10}};
    for (int i = 0; i < 2; ++i) {
        DirectionalLightRecord& record = gShadowReflection.directionalLights[i];
        std::memset(static_cast<void*>(&record.light), 0, sizeof record.light);
        record.light.specular = {0.5f, 0.5f, 0.5f, 0.0f};
        record.light.range = 10.0f;
        record.light.falloff = 1.0f;
        record.light.attenuation0 = 1.0f;
        record.light.attenuation1 = 0.0f;
        record.light.attenuation2 = 0.0f;
        record.colour = {1.0f, 1.0f, 1.0f, 0.0f};
        SetDirectionalLight(i, directions[i].x, directions[i].y, directions[i].z);
    }
}

// Puts the eye over a waypoint, looking at the vertical axis; heights are left to the caller.
void FollowWaypoint(int waypoint) {
    gCamera.eye.x = gSeeking.waypoints[waypoint].x;
    gCamera.eye.z = gSeeking.waypoints[waypoint].y;
    // NOTE: target x and z are 0, so the eye looks at the vertical axis; the target keeps its height.
    gCamera.target.x = 0;
    gCamera.target.z = 0;
}

// Advances per frame, not per second: the speeds grow with each frame's delta and are added once
// per frame, so the heights the eye reaches depend on the frame rate.
void FlyCamera(float dt) {
    ShadowReflectionState& state = gShadowReflection;
    switch (state.cameraLeg) {
    case 0: {
        float d = SeekPoint2(0, kFlightPoints[1], kLeg0Speed * dt);
        if (d > kLegEndDistance) {
            FollowWaypoint(0);
        } else {
            state.cameraLeg = 1;
        }
        break;
    }
    case 1: {
        float d = SeekPoint2(1, kFlightPoints[2], kLeg1Speed * dt);
        if (d > kLegEndDistance) {
            state.sinkSpeed += kSinkAcceleration * dt;
            if (gCamera.eye.y > kLowestEyeHeight) gCamera.eye.y = gCamera.eye.y - state.sinkSpeed;
            FollowWaypoint(1);
        } else {
            state.cameraLeg = 2;
        }
        break;
    }
    case 2: {
        float d = SeekPoint2(2, kFlightPoints[3], kLeg2Speed * dt);
        if (d > kLegEndDistance) {
            state.climbSpeed += kClimbAcceleration * dt;
            gCamera.eye.y = gCamera.eye.y + state.climbSpeed;
            FollowWaypoint(2);
        }
        break;
    }
    default:
        break;
    }
}

}  // namespace

void DrawShadowReflectionScene(float demoTime, float frameDelta) {
    const float t = demoTime;
    const float dt = frameDelta;
    Device* device = CurrentDevice();

    PlaceShadowLights(t);
    DrawShadowVolumeScene();

    // NOTE: the source blend is whatever the last sprite draw left (source alpha), so the sphere
    // and the glow layer are added onto the picture.
    if (device) {
        device->SetRenderState(RenderState::ZWriteEnable, 0);
        device->SetRenderState(RenderState::AlphaBlendEnable, 1);
        device->SetRenderState(RenderState::DestBlend, uint32_t(Blend::One));
    }
    DrawReflectiveObject();
    DrawGlowLayer(t / 6.0f);
    DrawGlowLayer(-t * 0.125f);
    if (device) {
        device->SetRenderState(RenderState::AlphaBlendEnable, 0);
        device->SetRenderState(RenderState::ZWriteEnable, 1);
    }

    // The highlight's colour runs through huge values near odd multiples of pi/2: it flashes.
    gShadowReflection.spinAngle += 2.0f * dt;
    const float a = gShadowReflection.spinAngle;
    const float r = float(std::tan(double(a)));
    gReflection.light.specular[0] = -r;
    gReflection.light.specular[1] = 1.0f;
    gReflection.light.specular[2] = r + 1.0f;
    gReflection.light.specular[3] = 1.0f;

    DrawLightSprites(a);
    SetUpDirectionalLights();
    FlyCamera(dt);
}

void SetDirectionalLight(int index, float x, float y, float z) {
    if (index < 0 || index > 1) return;
    DirectionalLightRecord& record = gShadowReflection.directionalLights[index];
    record.direction = {x, y, z};
    record.light.type = LightType::Directional;
    record.light.diffuse = {record.colour.r, record.colour.g, record.colour.b, 1.0f};
    Vector3 normalised{x, y, z};
    Vec3Normalize(&normalised, &normalised);
    record.light.direction = normalised;
    record.light.position = normalised;
    if (Device* device = CurrentDevice()) {
        device->SetLight(uint32_t(index), &record.light);
        device->LightEnable(uint32_t(index), true);
        device->SetRenderState(RenderState::Lighting, 1);
    }
}

}  // namespace velor::demo
