#pragma once
// Window 2: three circling coloured lights with stencil shadows, the reflective sphere, the glow
// layer and the pulsing sprites, under a three-legged camera flight.
#include <cstdint>

#include "engine/gfx/d3d_types.h"
#include "engine/math/math_types.h"

namespace velor::demo {

// A fixed-function directional light as the scene fills it; lights 0 and 1 stay set for later windows.
struct DirectionalLightRecord {
    Light light;
    Vector3 direction;      // as passed, not normalised
    ColorValue colour;      // red, green, blue (alpha unused)
};

struct ShadowReflectionState {
    float spinAngle = 0;       // radians; 2 per second of scene time: sprite pulses and the highlight
    int32_t cameraLeg = 0;     // 0, 1 or 2: which leg of the camera flight runs
    float sinkSpeed = 0;       // leg 1: eye descent per frame; grows by 0.1 × frame delta per frame
    float climbSpeed = 0;      // leg 2: eye ascent per frame; grows by 0.002 × frame delta per frame
    DirectionalLightRecord directionalLights[2] = {};
};

extern ShadowReflectionState gShadowReflection;

// The camera flight: waypoint i starts at point i (start-up seeds it) and its leg steps it toward
// point i + 1, where the next leg takes over.
constexpr int kFlightLegCount = 3;
constexpr Vector2 kFlightPoints[kFlightLegCount + 1] = {{15, -22}, {-12, -17}, {18, 10}, {3, -30}};

void DrawShadowReflectionScene(float demoTime, float frameDelta);
void SetDirectionalLight(int index, float x, float y, float z);

}  // namespace velor::demo
