// Frame recordings: the calls a frame makes to the backend, kept with the state each saw, so the
// frame's GL work can be issued again on its own. The benchmark times a replay between two
// glFinish-es as the frame's raster limit; tests replay a frame with and without merged draws.
#include <utility>

#include "engine/gfx/device_recording.h"
#include "engine/gfx/gl_backend.h"

namespace velor {

void Device::BeginRecording() {
    if (recording_ == nullptr) recording_ = std::make_unique<Recording>();
    recording_->calls.clear();
    recordingOn_ = true;
}

void Device::EndRecording() { recordingOn_ = false; }

size_t Device::RecordedCalls() const { return recording_ != nullptr ? recording_->calls.size() : 0; }

Device::RecordedCall* Device::Record(int kind, uint32_t dirty) {
    if (!recordingOn_) return nullptr;
    RecordedCall& call = recording_->calls.emplace_back();
    call.kind = RecordedCall::Kind(kind);
    call.dirty = dirty;
    call.state = state_;
    if (const GpuProgram* program = state_.program.program.get()) call.values = program->values_;
    return &call;
}

void Device::RestoreValues(GpuProgram& program, const std::vector<GpuProgram::Value>& values) {
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

void Device::ReplayRecording() {
    if (recording_ == nullptr) return;
    backend_->FlushPointRun();
    // The programs' values as the caller left them come back after the replay.
    std::vector<std::pair<std::shared_ptr<GpuProgram>, std::vector<GpuProgram::Value>>> kept;
    for (const RecordedCall& call : recording_->calls) {
        const std::shared_ptr<GpuProgram>& program = call.state.program.program;
        if (program == nullptr) continue;
        bool seen = false;
        for (const auto& k : kept) seen = seen || k.first == program;
        if (!seen) kept.emplace_back(program, program->values_);
    }
    uint32_t first = kDirtyAll;
    for (const RecordedCall& call : recording_->calls) {
        if (GpuProgram* program = call.state.program.program.get()) RestoreValues(*program, call.values);
        uint32_t dirty = call.dirty | std::exchange(first, 0u);
        switch (call.kind) {
        case RecordedCall::Clear:
            backend_->Clear(call.state, dirty, uint32_t(call.rects.size()), call.rects.empty() ? nullptr : call.rects.data(),
                            call.flags, call.color, call.z, call.stencil);
            break;
        case RecordedCall::Draw: backend_->Draw(call.state, dirty, call.type, call.start, call.count); break;
        case RecordedCall::DrawIndexed:
            backend_->DrawIndexed(call.state, dirty, call.type, call.baseVertex, call.start, call.count);
            break;
        case RecordedCall::DrawUser:
            backend_->DrawUser(call.state, dirty, call.type, call.count, call.vertices.data(), call.stride);
            break;
        case RecordedCall::Present: backend_->Present(); break;
        case RecordedCall::EndScene: backend_->Flush(); break;
        }
    }
    backend_->FlushPointRun();
    for (auto& [program, values] : kept) RestoreValues(*program, values);
    // The backend now has the replay's last state: the next draw applies the device's own again.
    dirty_ = kDirtyAll;
}

}  // namespace velor
