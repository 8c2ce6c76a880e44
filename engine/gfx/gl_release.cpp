#include "engine/gfx/gl_release.h"

namespace velor {

namespace {
GpuReleaseHook gReleaseHook = nullptr;
}

void SetGpuReleaseHook(GpuReleaseHook hook) { gReleaseHook = hook; }

void ReleaseGpuObject(GpuObject& object) {
    if (gReleaseHook != nullptr) gReleaseHook(object);
    object.name = 0;
    object.aux = 0;
}

}  // namespace velor
