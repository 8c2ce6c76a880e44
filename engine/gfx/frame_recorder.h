#pragma once
// Frame recordings, to time the raster of a frame without the work that made it. While a frame is
// recorded the recorder stands between the device and the GL backend: each call is kept with the
// state it saw (and the bound program's own values) and passed on. Replay issues the kept calls to
// the backend again, merging as it is set, and leaves the programs' values as it found them.
// Resources are used as they are at the replay. Engine-internal.
#include <cstddef>
#include <vector>

#include "engine/gfx/backend_calls.h"
#include "engine/gfx/gpu_program.h"

namespace velor {

class GlBackend;

class FrameRecorder final : public BackendCalls {
public:
    explicit FrameRecorder(GlBackend& backend) : backend_(backend) {}

    // Forgets what was recorded before.
    void Start() { calls_.clear(); }
    size_t Calls() const { return calls_.size(); }
    // Issues the recorded calls to the backend; the backend is left with the last call's state.
    void Replay();

    void Clear(const DeviceState& state, uint32_t dirty, uint32_t rectCount, const Rect* rects, uint32_t flags,
               Color color, float z, uint32_t stencil) override;
    void Draw(const DeviceState& state, uint32_t dirty, PrimitiveType type, uint32_t startVertex,
              uint32_t count) override;
    void DrawIndexed(const DeviceState& state, uint32_t dirty, PrimitiveType type, int32_t baseVertex,
                     uint32_t startIndex, uint32_t count) override;
    void DrawUser(const DeviceState& state, uint32_t dirty, PrimitiveType type, uint32_t count,
                  const void* vertices, uint32_t stride) override;
    void Present() override;
    void Flush() override;

private:
    struct Call {
        enum Kind { Clear, Draw, DrawIndexed, DrawUser, Present, EndScene };
        Kind kind = Kind::Draw;
        uint32_t dirty = 0;                     // groups the backend was handed with the call
        DeviceState state;
        std::vector<GpuProgram::Value> values;  // the bound program's own values
        PrimitiveType type = PrimitiveType::PointList;
        uint32_t start = 0, count = 0;          // vertex or index start, and vertex or index count
        int32_t baseVertex = 0;
        std::vector<Rect> rects;                // Clear
        uint32_t flags = 0, stencil = 0;
        Color color = 0;
        float z = 1.0f;
        std::vector<uint8_t> vertices;          // DrawUser
        uint32_t stride = 0;
    };
    // Keeps a call with the state it sees (nothing of the state for Present and Flush).
    Call& Keep(Call::Kind kind, const DeviceState* state, uint32_t dirty);
    static void RestoreValues(GpuProgram& program, const std::vector<GpuProgram::Value>& values);

    GlBackend& backend_;
    std::vector<Call> calls_;
};

}  // namespace velor
