#pragma once
// The calls through which a frame's work reaches GL: the device makes them with its state and the
// groups changed since the last one. The GL backend carries them out; a frame recorder stands in
// front of it while a frame is recorded. Engine-internal.
#include <cstdint>

#include "engine/gfx/device_state.h"

namespace velor {

class BackendCalls {
public:
    virtual void Clear(const DeviceState& state, uint32_t dirty, uint32_t rectCount, const Rect* rects,
                       uint32_t flags, Color color, float z, uint32_t stencil) = 0;
    virtual void Draw(const DeviceState& state, uint32_t dirty, PrimitiveType type, uint32_t startVertex,
                      uint32_t count) = 0;
    virtual void DrawIndexed(const DeviceState& state, uint32_t dirty, PrimitiveType type, int32_t baseVertex,
                             uint32_t startIndex, uint32_t count) = 0;
    virtual void DrawUser(const DeviceState& state, uint32_t dirty, PrimitiveType type, uint32_t count,
                          const void* vertices, uint32_t stride) = 0;
    virtual void Present() = 0;
    // The end of a scene: what is queued goes to GL.
    virtual void Flush() = 0;

protected:
    ~BackendCalls() = default;
};

}  // namespace velor
