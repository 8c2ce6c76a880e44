#pragma once
// Deleting a resource's GL objects needs the device's context; without a live device the objects
// went with the context and there is nothing to delete.
#include "engine/gfx/resources.h"

namespace velor {

using GpuReleaseHook = void (*)(GpuObject& object);
void SetGpuReleaseHook(GpuReleaseHook hook);  // set by the device while its context lives
void ReleaseGpuObject(GpuObject& object);

}  // namespace velor
