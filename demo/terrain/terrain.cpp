// The splatted tunnel of window 3. The mesh "tunnel.x" comes with position, normal and one texture
// coordinate; the terrain effect lights the wall through a normal map, so at start-up the mesh is
// cloned into the 56-byte tangent layout and given a frame derived from its texture coordinates.
// Every frame the slot is turned about y, the effect gets the same world the draw sets, and the
// tunnel is drawn in pass 0 of the effect's first technique with culling off, so the wall shows
// from both sides.
//
// Reads: slot 10 of the object table, the camera's last view and projection. Writes: slot 10's
// mesh (once) and rotation, the terrain effect's parameters, sampler 0's filters (once) and the
// cull mode.
#include "demo/terrain/terrain.h"

#include "demo/content/demo_effects.h"
#include "demo/scene/scene_object.h"
#include "demo/shell/shell_state.h"
#include "demo/timeline/camera.h"
#include "engine/gfx/texture_files.h"
#include "engine/math/d3dx_math.h"
#include "engine/mesh/d3dx_mesh.h"

namespace velor::demo {

TerrainState gTerrain;

namespace {

constexpr const char* kTerrainEffectFile = "sbl.fx";
constexpr float kPartialEdgeThreshold = 0.01f;
constexpr float kSingularPointThreshold = 0.25f;
constexpr float kNormalEdgeThreshold = 0.01f;
// NOTE: 0 is none of the cull modes (none 1, CW 2, CCW 3); the device culls nothing with it.
constexpr uint32_t kTunnelCullMode = 0;

// A file that fails is named once on stderr by the loader, also when a mesh's material asks for it too.
void LoadTexture(const char* file, std::shared_ptr<Texture>* texture) {
    CreateTextureFromFile(CurrentDevice(), file, texture);
}

// Replaces slot 10's mesh by a copy in the tangent layout with its frame filled in.
void GiveTunnelTangentFrame(const VertexElement* elements) {
    SceneObject& tunnel = Object(kTunnelSlot);
    if (tunnel.mesh == nullptr) return;
    std::shared_ptr<Mesh> clone;
    if (Failed(tunnel.mesh->CloneMesh(MeshOption::Managed, elements, CurrentDevice(), &clone))) return;
    tunnel.mesh.reset();  // the mesh loaded from the file
    // NOTE: the u derivative goes to BINORMAL and the v derivative to TANGENT; the effect reads them
    // that way round.
    std::shared_ptr<Mesh> framed;
    if (Succeeded(ComputeTangentFrameEx(clone, DeclUsage::TexCoord, 0, DeclUsage::Binormal, 0, DeclUsage::Tangent, 0,
                                        DeclUsage::Normal, 0, 0, nullptr, kPartialEdgeThreshold,
                                        kSingularPointThreshold, kNormalEdgeThreshold, &framed, nullptr)))
        tunnel.mesh = framed;
    else
        tunnel.mesh = clone;  // drawn without a frame rather than not at all
}

}  // namespace

void InitTerrain() {
    Device* device = CurrentDevice();
    CreateFileEffect(kTerrainEffectFile, &gTerrain.effect);

    if (device != nullptr) {
        device->SetSamplerState(0, SamplerState::MinFilter, uint32_t(TextureFilter::Linear));
        device->SetSamplerState(0, SamplerState::MagFilter, uint32_t(TextureFilter::Linear));
        device->SetSamplerState(0, SamplerState::MipFilter, uint32_t(TextureFilter::Linear));
    }

    LoadTexture("textures/details.tga", &gTerrain.detailTexture);
    LoadTexture("textures/BLEND.PNG", &gTerrain.blendTexture);
    LoadTexture("textures/rock_b.dds", &gTerrain.layer1Texture);
    LoadTexture("textures/cimen.jpg", &gTerrain.layer3Texture);
    LoadTexture("textures/tunnel.png", &gTerrain.layer2Texture);
    LoadTexture("textures/rock_c_normalmap.dds", &gTerrain.normalMap);

    VertexElement elements[kMaxDeclLength];
    const VertexElement* declaration = kTangentElements;
    if (device != nullptr && Succeeded(device->CreateVertexDeclaration(kTangentElements, &gTerrain.tangentDeclaration))) {
        uint32_t count = kMaxDeclLength;
        if (Succeeded(gTerrain.tangentDeclaration->GetDeclaration(elements, &count))) declaration = elements;
    }
    GiveTunnelTangentFrame(declaration);
}

void DrawTerrain(float angle) {
    SceneObject& tunnel = Object(kTunnelSlot);
    tunnel.rotation = {0, angle, 0};
    ComposeWorld(tunnel);  // DrawObject composes the same world again below
    Matrix worldView, wvp;
    MatrixMultiply(&worldView, &tunnel.world, &gCamera.view);
    MatrixMultiply(&wvp, &worldView, &gCamera.projection);

    Effect* effect = gTerrain.effect.get();
    if (effect != nullptr) {
        effect->SetMatrix("gWVP", wvp);
        effect->SetTexture("normal", gTerrain.normalMap);
        effect->SetTexture("detail_tex", gTerrain.detailTexture);
        effect->SetTexture("blend_tex", gTerrain.blendTexture);
        effect->SetTexture("C1", gTerrain.layer1Texture);
        effect->SetTexture("C2", gTerrain.layer2Texture);
        effect->SetTexture("C3", gTerrain.layer3Texture);
        effect->SetFloat("value", angle * 0.5f);
    }
    Device* device = CurrentDevice();
    if (device != nullptr) device->SetRenderState(RenderState::CullMode, kTunnelCullMode);
    if (effect != nullptr) {
        uint32_t passes = 0;
        effect->Begin(&passes, 0);
        effect->BeginPass(0);  // pass 0 only, whatever the count
    }
    DrawObject(kTunnelSlot);
    if (effect != nullptr) {
        effect->EndPass();
        effect->End();
    }
    if (device != nullptr) device->SetRenderState(RenderState::CullMode, uint32_t(Cull::CCW));
}

}  // namespace velor::demo
