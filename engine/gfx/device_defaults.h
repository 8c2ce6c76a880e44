#pragma once
// Direct3D 9's default state block: what a new device (and a Reset) starts from.
#include "engine/gfx/device.h"

namespace velor {

// Default value of a render state; states this device does not know are 0.
uint32_t DefaultRenderState(RenderState state);
void ResetToDefaults(DeviceState& state);

}  // namespace velor
