#pragma once
// The stencil shadow passes: the caster lit by three coloured point lights, each with its volume.
#include <memory>

#include "engine/fx/effect.h"
#include "engine/math/math_types.h"

namespace velor::demo {

constexpr int kShadowLightCount = 3;

struct ShadowState {
    std::shared_ptr<Effect> effect;                 // "ShadowVolume.fx"
    int32_t highestLightIndex = 0;                  // last light drawn; set to 2 at start-up
    Vector3 lightPositions[kShadowLightCount] = {}; // world space, rewritten every frame by window 2
    Vector4 lightColours[kShadowLightCount] = {};   // red, green, blue, alpha
};

extern ShadowState gShadow;

void DrawShadowVolumeScene();
void DrawCaster();

}  // namespace velor::demo
