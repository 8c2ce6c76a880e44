#include "demo/content/device_state_copy.h"

#include "engine/gfx/render_state_table.h"

namespace velor::demo {

DeviceStateCopy CopyDeviceState(const Device& device) {
    DeviceStateCopy copy;
    for (const RenderStateRow& row : RenderStateTable()) {
        uint32_t value = 0;
        if (Succeeded(device.GetRenderState(row.state, &value))) copy.render.emplace_back(row.state, value);
    }
    for (uint32_t unit = 0; unit < kSamplerCount; ++unit) {
        for (uint32_t id = 1; id < kSamplerStateCount; ++id)
            copy.samplerKnown[unit][id] = Succeeded(device.GetSamplerState(unit, SamplerState(id), &copy.sampler[unit][id]));
        for (uint32_t id = 1; id < kTextureStageStateCount; ++id)
            copy.stageKnown[unit][id] =
                Succeeded(device.GetTextureStageState(unit, TextureStageState(id), &copy.stage[unit][id]));
        device.GetTexture(unit, &copy.textures[unit]);
    }
    device.GetTransform(TransformState::World, &copy.world);
    device.GetTransform(TransformState::View, &copy.view);
    device.GetTransform(TransformState::Projection, &copy.projection);
    device.GetMaterial(&copy.material);
    for (uint32_t i = 0; i < kMaxLights; ++i) {
        device.GetLight(i, &copy.lights[i]);
        device.GetLightEnable(i, &copy.lightEnabled[i]);
    }
    device.GetViewport(&copy.viewport);
    return copy;
}

void ApplyDeviceState(Device& device, const DeviceStateCopy& copy) {
    for (const auto& [state, value] : copy.render) device.SetRenderState(state, value);
    for (uint32_t unit = 0; unit < kSamplerCount; ++unit) {
        for (uint32_t id = 1; id < kSamplerStateCount; ++id)
            if (copy.samplerKnown[unit][id]) device.SetSamplerState(unit, SamplerState(id), copy.sampler[unit][id]);
        for (uint32_t id = 1; id < kTextureStageStateCount; ++id)
            if (copy.stageKnown[unit][id]) device.SetTextureStageState(unit, TextureStageState(id), copy.stage[unit][id]);
        device.SetTexture(unit, copy.textures[unit]);
    }
    device.SetTransform(TransformState::World, &copy.world);
    device.SetTransform(TransformState::View, &copy.view);
    device.SetTransform(TransformState::Projection, &copy.projection);
    device.SetMaterial(&copy.material);
    for (uint32_t i = 0; i < kMaxLights; ++i) {
        device.SetLight(i, &copy.lights[i]);
        device.LightEnable(i, copy.lightEnabled[i]);
    }
    device.SetViewport(&copy.viewport);
}

}  // namespace velor::demo
