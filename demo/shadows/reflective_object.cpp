// The reflective sphere of window 2 (slot 3): drawn through "Alpha.fx" with the environment cube, a
// directional light and the camera eye. The window draws it additively on top of the shadowed
// caster, without writing depth.
//
// The effect's first technique is used as created (none is ever selected) and only its pass 0.
// The object is drawn once per material, each time whole.
#include "demo/shadows/reflective_object.h"

#include <cstring>

#include "demo/scene/scene_object.h"
#include "demo/timeline/camera.h"
#include "engine/math/d3dx_math.h"

namespace velor::demo {

ReflectionState gReflection;

namespace {
constexpr float kDif = 3.0f;

}  // namespace

void DrawReflectiveObject() {
    Effect* effect = gReflection.effect.get();
    if (effect == nullptr) return;
    SceneObject& object = Object(kReflectiveSlot);

    effect->SetTexture("gEnvMap", gReflection.environmentCube);
    effect->SetValue("gLight", &gReflection.light, sizeof(ReflectionLight));
    const float eye[3] = {gCamera.eye.x, gCamera.eye.y, gCamera.eye.z};
    effect->SetValue("gEyePosW", eye, sizeof eye);

    uint32_t passes = 0;
    effect->Begin(&passes, 0);
    effect->BeginPass(0);
    // NOTE: "gWorldInvTrans" gets view · projection, not an inverse transpose of the world; the
    // effect turns its normals with it, and the look of the reflection comes from that.
    Matrix viewProjection;
    MatrixMultiply(&viewProjection, &gCamera.view, &gCamera.projection);
    effect->SetMatrix("gWorldInvTrans", viewProjection);
    effect->SetMatrix("gWorld", object.world);
    Matrix worldViewProjection;
    MatrixMultiply(&worldViewProjection, &object.world, &gCamera.view);
    MatrixMultiply(&worldViewProjection, &worldViewProjection, &gCamera.projection);
    effect->SetMatrix("gWVP", worldViewProjection);
    for (uint32_t m = 0; m < object.materialCount && m < object.materials.size(); ++m) {
        // The whole 68-byte material; the effect's structure takes what it declares.
        effect->SetValue("gMtrl", &object.materials[m], sizeof(Material));
        effect->SetFloat("dif", kDif);
        effect->CommitChanges();
        DrawObject(kReflectiveSlot);
    }
    effect->EndPass();
    effect->End();
}

}  // namespace velor::demo
