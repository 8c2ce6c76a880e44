// The benchmark times a replay between two glFinish-es as the frame's raster limit; tests replay a
// frame with and without merged draws.
#include "engine/gfx/frame_recorder.h"

#include <utility>

#include "engine/gfx/gl_backend.h"

namespace velor {

FrameRecorder::Call& FrameRecorder::Keep(Call::Kind kind, const DeviceState* state, uint32_t dirty) {
    Call& call = calls_.emplace_back();
    call.kind = kind;
    call.dirty = dirty;
    if (state != nullptr) {
        call.state = *state;
        if (const GpuProgram* program = state->program.program.get()) call.values = program->values_;
    }
    return call;
}

void FrameRecorder::Clear(const DeviceState& state, uint32_t dirty, uint32_t rectCount, const Rect* rects,
                          uint32_t flags, Color color, float z, uint32_t stencil) {
    Call& call = Keep(Call::Clear, &state, dirty);
    call.rects.assign(rects, rects + rectCount);
    call.flags = flags, call.color = color, call.z = z, call.stencil = stencil;
    backend_.Clear(state, dirty, rectCount, rects, flags, color, z, stencil);
}

void FrameRecorder::Draw(const DeviceState& state, uint32_t dirty, PrimitiveType type, uint32_t startVertex,
                         uint32_t count) {
    Call& call = Keep(Call::Draw, &state, dirty);
    call.type = type, call.start = startVertex, call.count = count;
    backend_.Draw(state, dirty, type, startVertex, count);
}

void FrameRecorder::DrawIndexed(const DeviceState& state, uint32_t dirty, PrimitiveType type, int32_t baseVertex,
                                uint32_t startIndex, uint32_t count) {
    Call& call = Keep(Call::DrawIndexed, &state, dirty);
    call.type = type, call.start = startIndex, call.count = count, call.baseVertex = baseVertex;
    backend_.DrawIndexed(state, dirty, type, baseVertex, startIndex, count);
}

void FrameRecorder::DrawUser(const DeviceState& state, uint32_t dirty, PrimitiveType type, uint32_t count,
                             const void* vertices, uint32_t stride) {
    Call& call = Keep(Call::DrawUser, &state, dirty);
    const auto* bytes = static_cast<const uint8_t*>(vertices);
    call.vertices.assign(bytes, bytes + size_t(count) * stride);
    call.type = type, call.count = count, call.stride = stride;
    backend_.DrawUser(state, dirty, type, count, vertices, stride);
}

void FrameRecorder::Present() {
    Keep(Call::Present, nullptr, 0);
    backend_.Present();
}

void FrameRecorder::Flush() {
    Keep(Call::EndScene, nullptr, 0);
    backend_.Flush();
}

void FrameRecorder::RestoreValues(GpuProgram& program, const std::vector<GpuProgram::Value>& values) {
    // Values only ever grow: a location the recording did not see keeps its value.
    for (size_t i = 0; i < values.size() && i < program.values_.size(); ++i) {
        GpuProgram::Value& now = program.values_[i];
        if (now.type == values[i].type && now.bits == values[i].bits) continue;
        now.type = values[i].type;
        now.bits = values[i].bits;
        now.pending = true;
        program.pending_ = true;
    }
}

void FrameRecorder::Replay() {
    backend_.FlushPointRun();
    // The programs' values as the caller left them come back after the replay.
    std::vector<std::pair<std::shared_ptr<GpuProgram>, std::vector<GpuProgram::Value>>> kept;
    for (const Call& call : calls_) {
        const std::shared_ptr<GpuProgram>& program = call.state.program.program;
        if (program == nullptr) continue;
        bool seen = false;
        for (const auto& k : kept) seen = seen || k.first == program;
        if (!seen) kept.emplace_back(program, program->values_);
    }
    uint32_t first = kDirtyAll;
    for (const Call& call : calls_) {
        if (GpuProgram* program = call.state.program.program.get()) RestoreValues(*program, call.values);
        uint32_t dirty = call.dirty | std::exchange(first, 0u);
        switch (call.kind) {
        case Call::Clear:
            backend_.Clear(call.state, dirty, uint32_t(call.rects.size()), call.rects.empty() ? nullptr : call.rects.data(),
                           call.flags, call.color, call.z, call.stencil);
            break;
        case Call::Draw: backend_.Draw(call.state, dirty, call.type, call.start, call.count); break;
        case Call::DrawIndexed:
            backend_.DrawIndexed(call.state, dirty, call.type, call.baseVertex, call.start, call.count);
            break;
        case Call::DrawUser:
            backend_.DrawUser(call.state, dirty, call.type, call.count, call.vertices.data(), call.stride);
            break;
        case Call::Present: backend_.Present(); break;
        case Call::EndScene: backend_.Flush(); break;
        }
    }
    backend_.FlushPointRun();
    for (auto& [program, values] : kept) RestoreValues(*program, values);
}

}  // namespace velor
