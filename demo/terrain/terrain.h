#pragma once
// Window 3: the turning tunnel drawn with the texture-splatting effect. InitTerrain gives slot 10's
// mesh a tangent frame and loads the effect and its six textures once; DrawTerrain turns the slot and
// draws it in one effect pass.
#include <memory>

#include "engine/fx/effect.h"
#include "engine/gfx/device.h"
#include "engine/gfx/resources.h"

namespace velor::demo {

struct TerrainState {
    std::shared_ptr<Effect> effect;                 // "sbl.fx"
    std::shared_ptr<Texture> normalMap;             // "normal": tangent-space normals of the rock
    std::shared_ptr<Texture> detailTexture;         // "detail_tex"
    std::shared_ptr<Texture> blendTexture;          // "blend_tex": layer weights in red, green, blue
    std::shared_ptr<Texture> layer1Texture;         // "C1": rock
    std::shared_ptr<Texture> layer2Texture;         // "C2": tunnel wall blocks
    std::shared_ptr<Texture> layer3Texture;         // "C3": grass
    std::shared_ptr<VertexDeclaration> tangentDeclaration;  // 56 bytes: position, tangent, binormal, normal, uv
};

extern TerrainState gTerrain;

// The tangent vertex layout, terminated by the end marker.
constexpr VertexElement kTangentElements[] = {
    {0, 0, DeclType::Float3, DeclMethod::Default, DeclUsage::Position, 0},
    {0, 12, DeclType::Float3, DeclMethod::Default, DeclUsage::Tangent, 0},
    {0, 24, DeclType::Float3, DeclMethod::Default, DeclUsage::Binormal, 0},
    {0, 36, DeclType::Float3, DeclMethod::Default, DeclUsage::Normal, 0},
    {0, 48, DeclType::Float2, DeclMethod::Default, DeclUsage::TexCoord, 0},
    kDeclEnd,
};

// Start-up: after the asset loader has filled slot 10.
void InitTerrain();
// Turns slot 10 to (0, angle, 0) and draws it through the terrain effect; "value" is half the angle.
void DrawTerrain(float angle);

}  // namespace velor::demo
