// Point sprites: one zeroed vertex per sprite, placed only by the world transform and drawn through
// the shared effect "PointAlpha.fx" as an additive, screen-aligned, distance-scaled sprite. The
// clouds of the demo move one sprite and draw it again, hundreds of times a frame.
//
// Also here: the start-up steps that create the nine sprites and, with the light sprites, the
// resources of the shadow-and-reflection window (its effects, cube map, override texture, shadow
// light colours and camera waypoints).
#include "demo/sprites/point_sprite.h"

#include <cstdio>
#include <cstring>
#include <set>
#include <string>

#include "demo/content/demo_resources.h"
#include "demo/scene/scene_object.h"
#include "demo/shadows/reflective_object.h"
#include "demo/shadows/shadow_volume_builder.h"
#include "demo/shadows/shadow_volume_scene.h"
#include "demo/shell/shell_state.h"
#include "demo/sprites/point_seeking.h"
#include "engine/gfx/texture_files.h"
#include "engine/math/d3dx_math.h"

namespace velor::demo {

PointSprites gSprites;

namespace {

constexpr uint32_t kSpriteFvf = Fvf::XYZ | Fvf::Diffuse;
constexpr uint32_t kSpriteVertexBytes = 16;
constexpr uint32_t kSpriteBufferUsage = Usage::WriteOnly | Usage::Points | Usage::Dynamic;  // 0x248
constexpr int kOffsetEffectResource = 103;
constexpr Color kOpaqueBlackKey = 0xFF000000u;

const char* const kFlareTexture = "textures/Flare1.jpg";

Device* CurrentDevice() { return gShell.device.get(); }

void SetFloatState(Device* device, RenderState state, float value) {
    device->SetRenderState(state, FloatToBits(value));
}

// Effects that fail to build leave their feature dark; the reason goes to stderr for whoever runs it.
// Each sprite tries the shared effect again, so a reason is said the first time only.
void ReportEffectError(const char* what, Result result, const std::string& errors) {
    if (Succeeded(result)) return;
    static std::set<std::string> said;
    const std::string message = errors.empty() ? std::string(what) + ": cannot be read" : errors;
    if (said.insert(message).second) std::fprintf(stderr, "%s\n", message.c_str());
}

}  // namespace

void InitPointSprite(PointSprite& sprite, const char* textureFile) {
    Device* device = CurrentDevice();
    if (device == nullptr) return;
    device->CreateVertexBuffer(kSpriteVertexBytes, kSpriteBufferUsage, kSpriteFvf, Pool::Default,
                               &sprite.vertexBuffer);
    if (sprite.vertexBuffer) {
        void* vertex = nullptr;
        if (Succeeded(sprite.vertexBuffer->Lock(0, 0, &vertex, 0))) {
            std::memset(vertex, 0, kSpriteVertexBytes);
            sprite.vertexBuffer->Unlock();
        }
    }
    CreateTextureFromFile(device, textureFile, &sprite.texture);
    if (gSprites.effect == nullptr) {
        std::string errors;
        Result result = CreateEffectFromFile(device, "PointAlpha.fx", &gSprites.effect, &errors);
        ReportEffectError("PointAlpha.fx", result, errors);
    }
}

void DrawPointSprite(PointSprite& sprite, float pointSize) {
    Device* device = CurrentDevice();
    if (device == nullptr) return;

    device->SetRenderState(RenderState::PointSpriteEnable, 1);
    device->SetRenderState(RenderState::PointScaleEnable, 1);
    SetFloatState(device, RenderState::PointSize, pointSize);
    SetFloatState(device, RenderState::PointSizeMin, 1.0f);
    SetFloatState(device, RenderState::PointScaleA, 1.0f);
    SetFloatState(device, RenderState::PointScaleB, 1.0f);
    SetFloatState(device, RenderState::PointScaleC, 1.0f);
    device->SetRenderState(RenderState::ZWriteEnable, 0);
    device->SetRenderState(RenderState::AlphaBlendEnable, 1);
    device->SetRenderState(RenderState::SrcBlend, uint32_t(Blend::SrcAlpha));
    device->SetRenderState(RenderState::DestBlend, uint32_t(Blend::One));

    MatrixRotationX(&sprite.rotationXMatrix, sprite.rotation.x);
    MatrixRotationY(&sprite.rotationYMatrix, sprite.rotation.y);
    MatrixRotationZ(&sprite.rotationZMatrix, sprite.rotation.z);
    MatrixMultiply(&sprite.rotationMatrix, &sprite.rotationXMatrix, &sprite.rotationYMatrix);
    MatrixMultiply(&sprite.rotationMatrix, &sprite.rotationMatrix, &sprite.rotationZMatrix);
    MatrixTranslation(&sprite.translationMatrix, sprite.position.x, sprite.position.y, sprite.position.z);
    // A zero x or y scale is taken as 1 and kept; z is not tested, so a zero z flattens the point.
    if (sprite.scale.x == 0.0f) sprite.scale.x = 1.0f;
    if (sprite.scale.y == 0.0f) sprite.scale.y = 1.0f;
    MatrixScaling(&sprite.scalingMatrix, sprite.scale.x, sprite.scale.y, sprite.scale.z);
    // NOTE: translation first, then rotation and scaling about the world origin. The clouds turn as
    // a whole about the origin because of this order; T · R · S is not a mistake.
    Matrix world;
    MatrixMultiply(&world, &sprite.translationMatrix, &sprite.rotationMatrix);
    MatrixMultiply(&world, &world, &sprite.scalingMatrix);
    device->SetTransform(TransformState::World, &world);

    if (Effect* effect = gSprites.effect.get()) {
        effect->SetTechnique("Trans");
        effect->SetTexture("tinit", sprite.texture);
        effect->SetVector("g_matDiffuse", sprite.diffuse);
        uint32_t passes = 0;
        effect->Begin(&passes, 0);
        effect->BeginPass(0);
        device->SetStreamSource(0, sprite.vertexBuffer, 0, kSpriteVertexBytes);
        device->SetFVF(kSpriteFvf);
        if (sprite.vertexBuffer) device->DrawPrimitive(PrimitiveType::PointList, 0, 1);
        effect->EndPass();
        effect->End();
    }

    device->SetRenderState(RenderState::ZWriteEnable, 1);
    device->SetRenderState(RenderState::AlphaBlendEnable, 0);
}

void CreateCubeSprites() {
    gSprites.cubeA = new PointSprite;
    gSprites.cubeB = new PointSprite;
}

void SetUpLightSprites() {
    gSprites.glowA = new PointSprite;
    gSprites.glowB = new PointSprite;
    gSprites.sparkA = new PointSprite;
    gSprites.sparkB = new PointSprite;
    InitPointSprite(*gSprites.glowA, "textures/light.png");
    InitPointSprite(*gSprites.glowB, "textures/light1.png");
    InitPointSprite(*gSprites.sparkA, "textures/particle.png");
    InitPointSprite(*gSprites.sparkB, "textures/particle.png");

    Device* device = CurrentDevice();
    if (device != nullptr) {
        std::string errors;
        Result result = CreateEffectFromFile(device, "Alpha.fx", &gReflection.effect, &errors);
        ReportEffectError("Alpha.fx", result, errors);
    }
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

    SetUpShadowVolume();
    gShadow.highestLightIndex = 2;

    if (device != nullptr) {
        device->SetSamplerState(0, SamplerState::MinFilter, uint32_t(TextureFilter::Linear));
        device->SetSamplerState(0, SamplerState::MagFilter, uint32_t(TextureFilter::Linear));
        device->SetSamplerState(0, SamplerState::MipFilter, uint32_t(TextureFilter::Linear));
        CreateCubeTextureFromFile(device, "textures/Texture1.dds", &gReflection.environmentCube);
    }

    // The glow layer is drawn with one texture on every subset, whatever its materials name.
    SceneObject& scroll = Object(kScrollSlot);
    scroll.useOverride = 1;
    scroll.overrideStage = 0;
    for (uint32_t i = 0; i < scroll.materialCount && i < scroll.textures.size(); ++i) scroll.textures[i] = nullptr;
    if (device != nullptr) {
        CreateTextureFromFileEx(device, "textures/light1.png", kD3DXDefault, kD3DXDefault, kD3DXDefault, 0,
                                Format::Unknown, Pool::Managed, kD3DXDefault, kD3DXDefault, kOpaqueBlackKey,
                                &scroll.overrideTexture);
        std::string errors;
        Result result = CreateEffectFromResource(device, kOffsetEffectResource, &gResources.offsetEffect, &errors);
        ReportEffectError("resource 103", result, errors);
    }

    gShadow.lightColours[0] = {0.3f, 1.0f, 0.3f, 1.0f};
    gShadow.lightColours[1] = {0.0f, 0.0f, 1.0f, 1.0f};
    gShadow.lightColours[2] = {0.8f, 0.3f, 0.1f, 1.0f};

    gSeeking.waypoints[0] = {15, -22};
    gSeeking.waypoints[1] = {-12, -17};
    gSeeking.waypoints[2] = {18, 10};
}

void SetUpFlareSprites() {
    gSprites.followerA = new PointSprite;
    InitPointSprite(*gSprites.followerA, kFlareTexture);
    gSprites.followerB = new PointSprite;
    InitPointSprite(*gSprites.followerB, kFlareTexture);
    // Constructed earlier in start-up, textured only now.
    for (PointSprite* sprite : {gSprites.cubeB, gSprites.cubeA, gSprites.sphere})
        if (sprite != nullptr) InitPointSprite(*sprite, kFlareTexture);
}

}  // namespace velor::demo
