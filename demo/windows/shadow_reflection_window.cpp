#include "demo/windows/shadow_reflection_window.h"

#include <cstring>

#include "demo/content/demo_effects.h"
#include "demo/content/demo_resources.h"
#include "demo/scene/scene_object.h"
#include "demo/shadows/reflective_object.h"
#include "demo/shadows/shadow_reflection_scene.h"
#include "demo/shadows/shadow_volume_builder.h"
#include "demo/shadows/shadow_volume_scene.h"
#include "demo/shell/shell_state.h"
#include "demo/sprites/point_seeking.h"
#include "demo/sprites/point_sprite.h"
#include "demo/windows/scene_calls.h"
#include "engine/gfx/texture_files.h"
#include "engine/math/d3dx_math.h"

namespace velor::demo {

namespace {

void SetUpReflectionLight() {
    ReflectionLight& light = gReflection.light;
    const float ambient[4] = {1, 1, 1, 1}, diffuse[4] = {4, 1, 1, 1}, specular[4] = {0, 0, 0, 0};
    std::memcpy(light.ambient, ambient, sizeof ambient);
    std::memcpy(light.diffuse, diffuse, sizeof diffuse);
    std::memcpy(light.specular, specular, sizeof specular);
    Vector3 direction{0, -1, 2};
    Vec3Normalize(&direction, &direction);
    light.dirW[0] = direction.x;
    light.dirW[1] = direction.y;
    light.dirW[2] = direction.z;
}

// The glow layer is drawn with one texture on every subset, whatever its materials name.
void SetUpGlowLayer(Device* device) {
    SceneObject& scroll = Object(kScrollSlot);
    scroll.useOverride = 1;
    scroll.overrideStage = 0;
    for (uint32_t i = 0; i < scroll.materialCount && i < scroll.textures.size(); ++i) scroll.textures[i] = nullptr;
    if (device == nullptr) return;
    CreateTextureFromFileEx(device, "textures/light1.png", kD3DXDefault, kD3DXDefault, kD3DXDefault, 0,
                            Format::Unknown, Pool::Managed, kD3DXDefault, kD3DXDefault, kOpaqueBlackKey,
                            &scroll.overrideTexture);
    CreateEmbeddedEffect(kOffsetResource, &gResources.offsetEffect);
}

}  // namespace

void SetUpShadowReflectionWindow() {
    SetUpLightSprites();
    Device* device = CurrentDevice();
    if (device != nullptr) CreateFileEffect("Alpha.fx", &gReflection.effect);
    SetUpReflectionLight();

    SetUpShadowVolume();
    gShadow.highestLightIndex = 2;

    if (device != nullptr) {
        device->SetSamplerState(0, SamplerState::MinFilter, uint32_t(TextureFilter::Linear));
        device->SetSamplerState(0, SamplerState::MagFilter, uint32_t(TextureFilter::Linear));
        device->SetSamplerState(0, SamplerState::MipFilter, uint32_t(TextureFilter::Linear));
        CreateCubeTextureFromFile(device, "textures/Texture1.dds", &gReflection.environmentCube);
    }
    SetUpGlowLayer(device);

    gShadow.lightColours[0] = {0.3f, 1.0f, 0.3f, 1.0f};
    gShadow.lightColours[1] = {0.0f, 0.0f, 1.0f, 1.0f};
    gShadow.lightColours[2] = {0.8f, 0.3f, 0.1f, 1.0f};

    for (int leg = 0; leg < kFlightLegCount; ++leg) gSeeking.waypoints[leg] = kFlightPoints[leg];
}

void ShadowReflectionWindowScene(float demoTime, float frameDelta) {
    gSceneCalls.drawShadowReflectionScene(demoTime, frameDelta);
}

}  // namespace velor::demo
