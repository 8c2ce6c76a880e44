#include "engine/gfx/device_defaults.h"

#include "engine/gfx/render_state_table.h"

#include "engine/math/d3dx_math.h"

namespace velor {

uint32_t DefaultRenderState(RenderState state) {
    for (const RenderStateRow& row : RenderStateTable())
        if (row.state == state) return row.defaultValue;
    return 0;
}

void ResetToDefaults(DeviceState& state) {
    state.render.fill(0);
    for (const RenderStateRow& row : RenderStateTable()) state.render[uint32_t(row.state)] = row.defaultValue;

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
    state.lightSet.fill(false);
    state.textures.fill(nullptr);
    state.program = ProgramBinding{};
}

}  // namespace velor
