#pragma once
// The device state ID3DXSprite changes to draw, and the record of it taken at Begin and put back at
// End. The set is D3DX's: blending SRCALPHA / INVSRCALPHA, alpha test GREATER 0, no culling, no
// lighting, no fog, no stencil, solid fill, all colour channels written; stage 0 modulating texture by
// diffuse in colour and alpha, stage 1 off; sampler 0 clamped and linear; no shader program; the
// sprite vertex format. Depth testing is left as the caller has it, as D3DX leaves it.
#include <array>
#include <cstdint>
#include <memory>

#include "engine/gfx/device.h"

namespace velor {

struct RenderStateValue {
    RenderState state;
    uint32_t value;
};

struct StageStateValue {
    uint32_t stage;
    TextureStageState state;
    uint32_t value;
};

struct SamplerStateValue {
    SamplerState state;
    uint32_t value;
};

// Render states the sprite sets, with the values for an alpha-blended Begin. Without
// D3DXSPRITE_ALPHABLEND, AlphaBlendEnable and AlphaTestEnable are set to 0 instead.
extern const std::array<RenderStateValue, 17> kSpriteRenderStates;
extern const std::array<StageStateValue, 9> kSpriteStageStates;
extern const std::array<SamplerStateValue, 8> kSpriteSamplerStates;  // sampler 0

// Sets the sprite's render, stage and sampler states.
void ApplySpriteRenderStates(Device& device, bool alphaBlend);

// A snapshot of everything a sprite draw may change, taken with the device's Get* calls.
class SpriteStateBlock {
public:
    void Capture(Device& device);
    void Restore(Device& device) const;

private:
    std::array<uint32_t, kSpriteRenderStates.size()> render_{};
    std::array<uint32_t, kSpriteStageStates.size()> stage_{};
    std::array<uint32_t, kSpriteSamplerStates.size()> sampler_{};
    Matrix world_, view_, projection_;
    std::shared_ptr<BaseTexture> texture0_;
    uint32_t fvf_ = 0;
    std::shared_ptr<VertexDeclaration> declaration_;
    std::shared_ptr<VertexBuffer> stream0_;
    uint32_t stream0Offset_ = 0, stream0Stride_ = 0;
    ProgramBinding program_;
};

}  // namespace velor
