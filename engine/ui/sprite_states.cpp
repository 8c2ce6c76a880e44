#include "engine/ui/sprite_states.h"

namespace velor {

namespace {
constexpr uint32_t kShadeGouraud = 2;                  // D3DSHADE_GOURAUD
constexpr uint32_t kAllColorChannels = 0xF;            // D3DCOLORWRITEENABLE_RED | GREEN | BLUE | ALPHA
}  // namespace

const std::array<RenderStateValue, 17> kSpriteRenderStates = {{
    {RenderState::AlphaBlendEnable, 1},
    {RenderState::AlphaTestEnable, 1},
    {RenderState::AlphaFunc, uint32_t(Cmp::Greater)},
    {RenderState::AlphaRef, 0},
    {RenderState::BlendOp, uint32_t(BlendOp::Add)},
    {RenderState::SrcBlend, uint32_t(Blend::SrcAlpha)},
    {RenderState::DestBlend, uint32_t(Blend::InvSrcAlpha)},
    {RenderState::SeparateAlphaBlendEnable, 0},
    {RenderState::Clipping, 1},
    {RenderState::ColorWriteEnable, kAllColorChannels},
    {RenderState::CullMode, uint32_t(Cull::None)},
    {RenderState::DiffuseMaterialSource, uint32_t(MaterialColorSource::Color1)},
    {RenderState::FillMode, uint32_t(FillMode::Solid)},
    {RenderState::FogEnable, 0},
    {RenderState::Lighting, 0},
    {RenderState::ShadeMode, kShadeGouraud},
    {RenderState::StencilEnable, 0},
}};

const std::array<StageStateValue, 9> kSpriteStageStates = {{
    {0, TextureStageState::ColorOp, uint32_t(TextureOp::Modulate)},
    {0, TextureStageState::ColorArg1, TextureArg::Texture},
    {0, TextureStageState::ColorArg2, TextureArg::Diffuse},
    {0, TextureStageState::AlphaOp, uint32_t(TextureOp::Modulate)},
    {0, TextureStageState::AlphaArg1, TextureArg::Texture},
    {0, TextureStageState::AlphaArg2, TextureArg::Diffuse},
    {0, TextureStageState::TexCoordIndex, 0},
    {1, TextureStageState::ColorOp, uint32_t(TextureOp::Disable)},
    {1, TextureStageState::AlphaOp, uint32_t(TextureOp::Disable)},
}};

const std::array<SamplerStateValue, 8> kSpriteSamplerStates = {{
    {SamplerState::AddressU, uint32_t(TextureAddress::Clamp)},
    {SamplerState::AddressV, uint32_t(TextureAddress::Clamp)},
    {SamplerState::AddressW, uint32_t(TextureAddress::Clamp)},
    {SamplerState::MagFilter, uint32_t(TextureFilter::Linear)},
    {SamplerState::MinFilter, uint32_t(TextureFilter::Linear)},
    {SamplerState::MipFilter, uint32_t(TextureFilter::Linear)},
    {SamplerState::MipMapLodBias, 0},
    {SamplerState::MaxMipLevel, 0},
}};

void ApplySpriteRenderStates(Device& device, bool alphaBlend) {
    for (const auto& s : kSpriteRenderStates) {
        uint32_t value = s.value;
        if (s.state == RenderState::AlphaBlendEnable || s.state == RenderState::AlphaTestEnable)
            value = alphaBlend ? 1 : 0;
        device.SetRenderState(s.state, value);
    }
    for (const auto& s : kSpriteStageStates) device.SetTextureStageState(s.stage, s.state, s.value);
    for (const auto& s : kSpriteSamplerStates) device.SetSamplerState(0, s.state, s.value);
}

void SpriteStateBlock::Capture(Device& device) {
    for (size_t i = 0; i < kSpriteRenderStates.size(); ++i) device.GetRenderState(kSpriteRenderStates[i].state, &render_[i]);
    for (size_t i = 0; i < kSpriteStageStates.size(); ++i)
        device.GetTextureStageState(kSpriteStageStates[i].stage, kSpriteStageStates[i].state, &stage_[i]);
    for (size_t i = 0; i < kSpriteSamplerStates.size(); ++i)
        device.GetSamplerState(0, kSpriteSamplerStates[i].state, &sampler_[i]);
    device.GetTransform(TransformState::World, &world_);
    device.GetTransform(TransformState::View, &view_);
    device.GetTransform(TransformState::Projection, &projection_);
    device.GetTexture(0, &texture0_);
    device.GetFVF(&fvf_);
    device.GetVertexDeclaration(&declaration_);
    device.GetStreamSource(0, &stream0_, &stream0Offset_, &stream0Stride_);
    program_ = device.BoundProgram();
}

void SpriteStateBlock::Restore(Device& device) const {
    for (size_t i = 0; i < kSpriteRenderStates.size(); ++i) device.SetRenderState(kSpriteRenderStates[i].state, render_[i]);
    for (size_t i = 0; i < kSpriteStageStates.size(); ++i)
        device.SetTextureStageState(kSpriteStageStates[i].stage, kSpriteStageStates[i].state, stage_[i]);
    for (size_t i = 0; i < kSpriteSamplerStates.size(); ++i)
        device.SetSamplerState(0, kSpriteSamplerStates[i].state, sampler_[i]);
    device.SetTransform(TransformState::World, &world_);
    device.SetTransform(TransformState::View, &view_);
    device.SetTransform(TransformState::Projection, &projection_);
    device.SetTexture(0, texture0_);
    // A declaration set directly has no FVF; one derived from an FVF comes back through SetFVF.
    if (fvf_ != 0)
        device.SetFVF(fvf_);
    else
        device.SetVertexDeclaration(declaration_);
    device.SetStreamSource(0, stream0_, stream0Offset_, stream0Stride_);
    device.BindProgram(program_);
}

}  // namespace velor
