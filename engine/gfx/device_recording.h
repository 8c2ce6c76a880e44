#pragma once
// What a frame recording keeps of each call that reaches GL. Engine-internal.
#include <vector>

#include "engine/gfx/device.h"

namespace velor {

struct Device::RecordedCall {
    enum Kind : int { Clear, Draw, DrawIndexed, DrawUser, Present, EndScene };
    Kind kind = Kind::Draw;
    uint32_t dirty = 0;                        // groups the backend was handed with the call
    DeviceState state;
    std::vector<GpuProgram::Value> values;     // the bound program's own values
    PrimitiveType type = PrimitiveType::PointList;
    uint32_t start = 0, count = 0;             // vertex or index start, and vertex or index count
    int32_t baseVertex = 0;
    std::vector<Rect> rects;                   // Clear
    uint32_t flags = 0, stencil = 0;
    Color color = 0;
    float z = 1.0f;
    std::vector<uint8_t> vertices;             // DrawUser
    uint32_t stride = 0;
};

struct Device::Recording {
    std::vector<RecordedCall> calls;
};

}  // namespace velor
