#pragma once
// Deleting a resource's GL objects needs the device's context; without a live device the objects
// went with the context and there is nothing to delete.
#include "engine/gfx/resources.h"

namespace velor {

// GpuObject::kind values.
constexpr uint32_t kGpuBuffer = 1;
constexpr uint32_t kGpuTexture = 2;   // aux: its framebuffer, when it is a render target
constexpr uint32_t kGpuProgram = 3;   // a GpuProgram (effects)
constexpr uint32_t kGpuShader = 4;    // a GpuShader (effects)

using GpuReleaseHook = void (*)(GpuObject& object);
void SetGpuReleaseHook(GpuReleaseHook hook);  // set by the device while its context lives
void ReleaseGpuObject(GpuObject& object);

}  // namespace velor
