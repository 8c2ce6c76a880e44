// Point sprites: one zeroed vertex per sprite, placed only by the world transform and drawn through
// the shared effect "PointAlpha.fx" as an additive, screen-aligned, distance-scaled sprite. The
// clouds of the demo move one sprite and draw it again, hundreds of times a frame.
//
// Also here: the start-up steps that create the nine sprites.
#include "demo/sprites/point_sprite.h"

#include <cstring>

#include "demo/content/demo_effects.h"
#include "demo/shell/shell_state.h"
#include "engine/gfx/texture_files.h"
#include "engine/math/d3dx_math.h"

namespace velor::demo {

PointSprites gSprites;

namespace {

constexpr uint32_t kSpriteFvf = Fvf::XYZ | Fvf::Diffuse;
constexpr uint32_t kSpriteVertexBytes = 16;
constexpr uint32_t kSpriteBufferUsage = Usage::WriteOnly | Usage::Points | Usage::Dynamic;  // 0x248

const char* const kFlareTexture = "textures/Flare1.jpg";

void SetFloatState(Device* device, RenderState state, float value) {
    device->SetRenderState(state, FloatToBits(value));
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
    if (gSprites.effect == nullptr) CreateFileEffect("PointAlpha.fx", &gSprites.effect);
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

void SetSpriteColour(PointSprite* sprite, float red, float green, float blue) {
    if (sprite == nullptr) return;
    sprite->diffuse.x = red;
    sprite->diffuse.y = green;
    sprite->diffuse.z = blue;
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
