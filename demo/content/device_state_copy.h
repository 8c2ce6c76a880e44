#pragma once
// A copy of the device's Direct3D-facing state: what a Reset returns to its defaults, and what the
// demo's start state holds of the device.
#include <memory>
#include <utility>
#include <vector>

#include "engine/gfx/device.h"

namespace velor::demo {

// Everything a Reset returns to its default, as the device held it before: the states the scenes
// leave for later ones (the lights of window 2 that light the forest, the sampler states set at
// start-up, the last camera transforms the next frame draws with) carry on as if nothing happened.
struct DeviceStateCopy {
    std::vector<std::pair<RenderState, uint32_t>> render;
    uint32_t sampler[kSamplerCount][kSamplerStateCount] = {};
    bool samplerKnown[kSamplerCount][kSamplerStateCount] = {};
    uint32_t stage[kSamplerCount][kTextureStageStateCount] = {};
    bool stageKnown[kSamplerCount][kTextureStageStateCount] = {};
    std::shared_ptr<BaseTexture> textures[kSamplerCount];
    Matrix world, view, projection;
    Material material;
    Light lights[kMaxLights];
    bool lightEnabled[kMaxLights] = {};
    Viewport viewport;
};

DeviceStateCopy CopyDeviceState(const Device& device);
void ApplyDeviceState(Device& device, const DeviceStateCopy& copy);

}  // namespace velor::demo
