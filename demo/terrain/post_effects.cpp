// Full-screen post passes. Windows 1 and 3 draw their scene into the scene target texture; these
// passes then draw that texture to the back buffer on the quad of slot 500 through a pixel-shader
// effect. The quad is put 0.3 units in front of the camera, facing it, by undoing the view: its
// world is Translation(0, 0, 0.3) · inverse(view), so world · view · projection comes back to
// Translation(0, 0, 0.3) · projection whatever the camera does. The effects take that product
// transposed, as their shaders multiply the matrix by a column vector.
//
// Reads the radial blur and mosaic effects and the scene target texture (start-up resources), the
// camera's last view and projection, and slot 500 of the object table. Neither pass selects a
// technique: each effect draws with its first.
#include "demo/terrain/post_effects.h"

#include "demo/content/demo_resources.h"
#include "demo/scene/scene_object.h"
#include "demo/timeline/camera.h"
#include "engine/math/d3dx_math.h"

namespace velor::demo {

namespace {

constexpr float kQuadDistance = 0.3f;  // units in front of the camera

struct QuadPlacement {
    Matrix world;                   // what the quad is drawn with
    Matrix worldViewProjTransposed; // what the effect's vertex shader takes
};

QuadPlacement PlaceQuad(const Matrix& view, const Matrix& projection) {
    Matrix inverseView;
    MatrixIdentity(&inverseView);  // kept when the view is singular
    MatrixInverse(&inverseView, nullptr, &view);
    Matrix forward;
    MatrixTranslation(&forward, 0.0f, 0.0f, kQuadDistance);
    QuadPlacement placement;
    MatrixMultiply(&placement.world, &forward, &inverseView);
    Matrix wvp;
    MatrixMultiply(&wvp, &placement.world, &view);
    MatrixMultiply(&wvp, &wvp, &projection);
    MatrixTranspose(&placement.worldViewProjTransposed, &wvp);
    return placement;
}

// Every pass of the effect's current technique draws the quad.
void DrawQuadPasses(Effect& effect, const Matrix& world) {
    uint32_t passes = 0;
    effect.Begin(&passes, 0);
    for (uint32_t pass = 0; pass < passes; ++pass) {
        effect.BeginPass(pass);
        DrawObjectWithWorld(kQuadSlot, world);
        effect.EndPass();
    }
    effect.End();
}

}  // namespace

void RadialBlurPass(const Matrix& view, const Matrix& projection) {
    Effect* effect = gResources.radialBlurEffect.get();
    if (effect == nullptr) return;  // it failed to compile at start-up; the frame shows no post pass
    const QuadPlacement placement = PlaceQuad(view, projection);
    effect->SetMatrix("worldViewProj", placement.worldViewProjTransposed);
    const float centre[4] = {0.5f, 0.5f, 0.5f, 0.5f};
    effect->SetValue("Center", centre, sizeof(centre));
    effect->SetTexture("Tex", gResources.sceneTargetTexture);
    DrawQuadPasses(*effect, placement.world);
}

void MosaicPass(float musicTimer) {
    Effect* effect = gResources.mosaicEffect.get();
    if (effect == nullptr) return;
    const QuadPlacement placement = PlaceQuad(gCamera.view, gCamera.projection);
    effect->SetMatrix("worldViewProj", placement.worldViewProjTransposed);
    effect->SetTexture("Tex", gResources.sceneTargetTexture);
    effect->SetFloat("MusicTimer", musicTimer);
    DrawQuadPasses(*effect, placement.world);
}

}  // namespace velor::demo
