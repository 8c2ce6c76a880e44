#include "engine/gfx/device_defaults.h"

#include "engine/math/d3dx_math.h"

namespace velor {

namespace {

struct RenderStateDefault {
    RenderState state;
    uint32_t value;
};

// One row per render state the device supports, with Direct3D 9's default (with an automatic
// depth-stencil buffer, so ZEnable starts on).
constexpr RenderStateDefault kRenderStateDefaults[] = {
    {RenderState::ZEnable, 1},
    {RenderState::FillMode, uint32_t(FillMode::Solid)},
    {RenderState::ShadeMode, 2},  // Gouraud
    {RenderState::ZWriteEnable, 1},
    {RenderState::AlphaTestEnable, 0},
    {RenderState::LastPixel, 1},
    {RenderState::SrcBlend, uint32_t(Blend::One)},
    {RenderState::DestBlend, uint32_t(Blend::Zero)},
    {RenderState::CullMode, uint32_t(Cull::CCW)},
    {RenderState::ZFunc, uint32_t(Cmp::LessEqual)},
    {RenderState::AlphaRef, 0},
    {RenderState::AlphaFunc, uint32_t(Cmp::Always)},
    {RenderState::DitherEnable, 0},
    {RenderState::AlphaBlendEnable, 0},
    {RenderState::FogEnable, 0},
    {RenderState::SpecularEnable, 0},
    {RenderState::StencilEnable, 0},
    {RenderState::StencilFail, uint32_t(StencilOp::Keep)},
    {RenderState::StencilZFail, uint32_t(StencilOp::Keep)},
    {RenderState::StencilPass, uint32_t(StencilOp::Keep)},
    {RenderState::StencilFunc, uint32_t(Cmp::Always)},
    {RenderState::StencilRef, 0},
    {RenderState::StencilMask, 0xFFFFFFFFu},
    {RenderState::StencilWriteMask, 0xFFFFFFFFu},
    {RenderState::TextureFactor, 0xFFFFFFFFu},
    {RenderState::Clipping, 1},
    {RenderState::Lighting, 1},
    {RenderState::Ambient, 0},
    {RenderState::ColorVertex, 1},
    {RenderState::LocalViewer, 1},
    {RenderState::NormalizeNormals, 0},
    {RenderState::DiffuseMaterialSource, uint32_t(MaterialColorSource::Color1)},
    {RenderState::SpecularMaterialSource, uint32_t(MaterialColorSource::Color2)},
    {RenderState::AmbientMaterialSource, uint32_t(MaterialColorSource::Material)},
    {RenderState::EmissiveMaterialSource, uint32_t(MaterialColorSource::Material)},
    {RenderState::PointSize, 0x3F800000u},     // 1.0f
    {RenderState::PointSizeMin, 0x3F800000u},  // 1.0f
    {RenderState::PointSpriteEnable, 0},
    {RenderState::PointScaleEnable, 0},
    {RenderState::PointScaleA, 0x3F800000u},  // 1.0f
    {RenderState::PointScaleB, 0},
    {RenderState::PointScaleC, 0},
    {RenderState::PointSizeMax, 0},  // filled from kMaxPointSize below
    {RenderState::ColorWriteEnable, 0xF},
    {RenderState::BlendOp, uint32_t(BlendOp::Add)},
    {RenderState::ScissorTestEnable, 0},
    {RenderState::SlopeScaleDepthBias, 0},
    {RenderState::TwoSidedStencilMode, 0},
    {RenderState::CcwStencilFail, uint32_t(StencilOp::Keep)},
    {RenderState::CcwStencilZFail, uint32_t(StencilOp::Keep)},
    {RenderState::CcwStencilPass, uint32_t(StencilOp::Keep)},
    {RenderState::CcwStencilFunc, uint32_t(Cmp::Always)},
    {RenderState::DepthBias, 0},
    {RenderState::SeparateAlphaBlendEnable, 0},
    {RenderState::SrcBlendAlpha, uint32_t(Blend::One)},
    {RenderState::DestBlendAlpha, uint32_t(Blend::Zero)},
    {RenderState::BlendOpAlpha, uint32_t(BlendOp::Add)},
};
static_assert(std::size(kRenderStateDefaults) == 57, "every supported render state has a default row");

}  // namespace

uint32_t DefaultRenderState(RenderState state) {
    if (state == RenderState::PointSizeMax) return FloatToBits(kMaxPointSize);
    for (const auto& row : kRenderStateDefaults)
        if (row.state == state) return row.value;
    return 0;
}

void ResetToDefaults(DeviceState& state) {
    state.render.fill(0);
    for (const auto& row : kRenderStateDefaults) state.render[uint32_t(row.state)] = row.value;
    state.render[uint32_t(RenderState::PointSizeMax)] = FloatToBits(kMaxPointSize);

    for (auto& sampler : state.sampler) {
        sampler.fill(0);
        sampler[uint32_t(SamplerState::AddressU)] = uint32_t(TextureAddress::Wrap);
        sampler[uint32_t(SamplerState::AddressV)] = uint32_t(TextureAddress::Wrap);
        sampler[uint32_t(SamplerState::AddressW)] = uint32_t(TextureAddress::Wrap);
        sampler[uint32_t(SamplerState::MagFilter)] = uint32_t(TextureFilter::Point);
        sampler[uint32_t(SamplerState::MinFilter)] = uint32_t(TextureFilter::Point);
        sampler[uint32_t(SamplerState::MipFilter)] = uint32_t(TextureFilter::None);
        sampler[uint32_t(SamplerState::MaxAnisotropy)] = 1;
    }
    for (uint32_t s = 0; s < kSamplerCount; ++s) {
        auto& stage = state.stage[s];
        stage.fill(0);
        // Stage 0 modulates texture and diffuse; later stages start disabled.
        stage[uint32_t(TextureStageState::ColorOp)] = uint32_t(s == 0 ? TextureOp::Modulate : TextureOp::Disable);
        stage[uint32_t(TextureStageState::ColorArg1)] = TextureArg::Texture;
        stage[uint32_t(TextureStageState::ColorArg2)] = TextureArg::Current;
        stage[uint32_t(TextureStageState::AlphaOp)] = uint32_t(s == 0 ? TextureOp::SelectArg1 : TextureOp::Disable);
        stage[uint32_t(TextureStageState::AlphaArg1)] = TextureArg::Texture;
        stage[uint32_t(TextureStageState::AlphaArg2)] = TextureArg::Current;
        stage[uint32_t(TextureStageState::TexCoordIndex)] = s;
    }
    MatrixIdentity(&state.world);
    MatrixIdentity(&state.view);
    MatrixIdentity(&state.projection);
    state.material = Material{};
    state.lights.fill(Light{});
    for (auto& light : state.lights) light.direction = Vector3{0, 0, 1};
    state.lightEnabled.fill(false);
    state.textures.fill(nullptr);
    state.program = ProgramBinding{};
}

}  // namespace velor
