// The stencil shadow passes of window 2: the caster (slot 1) drawn once in ambient light, then, for
// each coloured light, its shadow volume (slot 499) counted into the stencil buffer and the caster
// drawn again, lit where the count is zero.
//
// Reads the caster and shadow slots, the camera's last view and projection, and gShadow's lights
// (positions written every frame by the window-2 scene, colours and the highest index by the light
// sprites' start-up). The depth, stencil, blend and cull states all belong to the techniques of
// "ShadowVolume.fx"; this file only clears the stencil once, sets parameters and issues the draws.
#include "demo/shadows/shadow_volume_scene.h"

#include "demo/scene/scene_object.h"
#include "demo/shell/shell_state.h"
#include "demo/timeline/camera.h"
#include "engine/math/d3dx_math.h"

namespace velor::demo {

ShadowState gShadow;

namespace {

constexpr float kVolumeFarClip = 49.9f;               // how far the volume reaches past the caster
constexpr Vector4 kAmbientLight{0.1f, 0.1f, 0.1f, 1.0f};

// One run of a technique's passes with a draw per pass; passes below `firstDrawn` set their states
// and draw nothing.
template <typename Draw>
void RunPasses(Effect& effect, Draw draw, uint32_t firstDrawn = 0) {
    uint32_t passes = 0;
    effect.Begin(&passes, 0);
    for (uint32_t p = 0; p < passes; ++p) {
        effect.BeginPass(p);
        if (p >= firstDrawn) draw();
        effect.EndPass();
    }
    effect.End();
}

// The volume technique's pass that clears the previous light's marks.
constexpr uint32_t kClearMarksPass = 0;

}  // namespace

void DrawShadowVolumeScene() {
    Effect* effect = gShadow.effect.get();
    Device* device = CurrentDevice();
    if (effect == nullptr || device == nullptr) return;  // "ShadowVolume.fx" missing: nothing to draw with

    effect->SetFloat("g_fFarClip", kVolumeFarClip);
    effect->SetMatrix("g_mProj", gCamera.projection);
    effect->SetTechnique("RenderSceneAmbient");
    effect->SetVector("g_vAmbient", kAmbientLight);
    DrawCaster();

    // NOTE: the only stencil clear of the frame. The counts of every light's volume stay in the
    // stencil until the next frame, so a point in an earlier light's shadow gets none of the later
    // lights either (the volume technique clears only its own marks of which points a light has lit).
    device->Clear(0, nullptr, Clear::Stencil, 0, 1.0f, 0);

    SceneObject& shadow = Object(kShadowSlot);
    for (int32_t l = 0; l <= gShadow.highestLightIndex && l < kShadowLightCount; ++l) {
        // The light goes through the caster's world (the one DrawObject left on the device) and the
        // view, as the volume is in the caster's own space.
        const Vector3& position = gShadow.lightPositions[l];
        const Vector4 light{position.x, position.y, position.z, 1.0f};
        Matrix world;
        device->GetTransform(TransformState::World, &world);
        Vector4 inWorld, inView;
        Vec4Transform(&inWorld, &light, &world);
        Vec4Transform(&inView, &inWorld, &gCamera.view);
        effect->SetVector("g_vLightView", inView);
        effect->SetVector("g_vLightColor", gShadow.lightColours[l]);

        if (shadow.mesh != nullptr) {
            // Drawn with the caster's matrices that DrawCaster left on the effect; subsets 0 through
            // materialCount (0), so subset 0, the whole volume.
            // The first light's marks were cleared with the whole stencil just above, and nothing has
            // drawn with the stencil since: its clearing pass would zero zeros. The pass still sets
            // its states, so the counting pass runs in the same ones.
            effect->SetTechnique("RenderShadowVolume2Sided");
            RunPasses(
                *effect, [&] {
                    for (uint32_t s = 0; s <= shadow.materialCount; ++s) shadow.mesh->DrawSubset(s);
                },
                l == 0 ? kClearMarksPass + 1 : 0);
        } else {
            // Without a volume nothing is shadowed: no counts to keep, only the last light's marks.
            device->Clear(0, nullptr, Clear::Stencil, 0, 1.0f, 0);
        }

        effect->SetTechnique("RenderScene");
        DrawCaster();
    }
}

void DrawCaster() {
    Effect* effect = gShadow.effect.get();
    if (effect == nullptr) return;
    SceneObject& caster = Object(kCasterSlot);

    // First half: once per material, each time the whole caster.
    Matrix viewProjection, worldViewProjection;
    MatrixMultiply(&viewProjection, &gCamera.view, &gCamera.projection);
    MatrixMultiply(&worldViewProjection, &caster.world, &viewProjection);
    effect->SetMatrix("g_mWorldViewProjection", worldViewProjection);
    RunPasses(*effect, [&] {
        for (uint32_t m = 0; m < caster.materialCount; ++m) {
            const ColorValue& d = caster.materials[m].diffuse;
            effect->SetVector("g_vMatColor", Vector4{d.r, d.g, d.b, d.a});
            effect->CommitChanges();
            DrawObject(kCasterSlot);
        }
    });

    // Second half: the caster once more, now with its world-view.
    Matrix worldView;
    MatrixMultiply(&worldView, &caster.world, &gCamera.view);
    MatrixMultiply(&worldViewProjection, &worldView, &gCamera.projection);
    effect->SetMatrix("g_mWorldViewProjection", worldViewProjection);
    effect->SetMatrix("g_mWorldView", worldView);
    RunPasses(*effect, [&] {
        effect->SetTexture("g_txScene", nullptr);
        DrawObject(kCasterSlot);
    });
}

}  // namespace velor::demo
