// Begin, passes and End: what an effect does to the device.
//
// At creation each technique gets the list of device states its passes can set (SaveSlot): the
// render, stage and sampler states they assign, the sampler states and stage textures of the
// samplers their shaders use, and the program binding. Begin reads those from the device and End
// writes them back, so a state no pass touches is never saved or restored, as with D3DX.
//
// A pass is applied whole by BeginPass. CommitChanges applies only what depends on parameters set
// since then (`<param>` states, sampler textures, uniforms); every other state of the pass is
// constant and already in force.
#include <cstdint>
#include <cstring>

#include "engine/fx/effect.h"
#include "engine/fx/effect_program.h"

namespace velor {

void Effect::CollectSaveSlots() {
    saveSlots_.assign(desc_.techniques.size(), {});
    for (size_t t = 0; t < desc_.techniques.size(); ++t) {
        std::vector<SaveSlot>& slots = saveSlots_[t];
        auto add = [&](StateKind kind, uint32_t state, uint32_t index) {
            for (const SaveSlot& s : slots)
                if (s.kind == kind && s.state == state && s.index == index) return;
            slots.push_back({kind, state, index});
        };
        auto addSampler = [&](int sampler, uint32_t unit) {
            const SamplerDesc& s = desc_.parameters[sampler].sampler;
            for (const StateAssignment& a : s.states) add(StateKind::Sampler, a.state, unit);
            if (s.textureParam >= 0) add(StateKind::Texture, 0, unit);
        };
        const TechniqueDesc& technique = desc_.techniques[t];
        for (size_t p = 0; p < technique.passes.size(); ++p) {
            for (int sampler : passes_[t][p].samplers) addSampler(sampler, uint32_t(desc_.parameters[sampler].sampler.unit));
            for (const StateAssignment& a : technique.passes[p].states) {
                switch (a.kind) {
                case StateKind::Render:
                case StateKind::Sampler:
                case StateKind::TextureStage: add(a.kind, a.state, a.index); break;
                case StateKind::Texture: add(StateKind::Texture, 0, a.index); break;
                case StateKind::SamplerBind: addSampler(a.param, a.index); break;
                }
            }
        }
    }
}

uint32_t Effect::StateValue(const StateAssignment& a) const {
    if (a.param < 0) return a.value;
    const uint8_t* bytes = ValueOf(a.param);
    if (desc_.parameters[a.param].type == ParamType::Float) {
        float f;
        std::memcpy(&f, bytes, 4);
        if (a.floatState) return FloatToBits(f);
        // Saturating: a float outside int32's range has no defined conversion.
        if (!(f == f)) return 0;
        if (f >= 2147483647.0f) return uint32_t(INT32_MAX);
        if (f <= -2147483648.0f) return uint32_t(INT32_MIN);
        return uint32_t(int32_t(f));
    }
    int32_t n;
    std::memcpy(&n, bytes, 4);
    if (desc_.parameters[a.param].type == ParamType::Bool) n = n != 0 ? 1 : 0;
    return a.floatState ? FloatToBits(float(n)) : uint32_t(n);
}

// `since` 0 applies everything; otherwise only the texture, if its parameter changed after `since`.
void Effect::ApplySampler(int samplerParam, uint32_t unit, uint64_t since) {
    const SamplerDesc& s = desc_.parameters[samplerParam].sampler;
    if (since == 0)
        for (const StateAssignment& a : s.states) device_->SetSamplerState(unit, SamplerState(a.state), a.value);
    if (s.textureParam >= 0 && version_[s.textureParam] > since) device_->SetTexture(unit, textures_[s.textureParam]);
}

void Effect::ApplyPass(uint64_t since) {
    const PassDesc& pass = desc_.techniques[technique_].passes[activePass_];
    const PassRuntime& runtime = passes_[technique_][activePass_];
    for (int sampler : runtime.samplers) ApplySampler(sampler, uint32_t(desc_.parameters[sampler].sampler.unit), since);
    for (const StateAssignment& a : pass.states) {
        if (a.kind == StateKind::SamplerBind) {
            ApplySampler(a.param, a.index, since);
            continue;
        }
        if (since != 0 && (a.param < 0 || version_[a.param] <= since)) continue;
        switch (a.kind) {
        case StateKind::Render: device_->SetRenderState(RenderState(a.state), StateValue(a)); break;
        case StateKind::Sampler: device_->SetSamplerState(a.index, SamplerState(a.state), StateValue(a)); break;
        case StateKind::TextureStage:
            device_->SetTextureStageState(a.index, TextureStageState(a.state), StateValue(a));
            break;
        case StateKind::Texture: device_->SetTexture(a.index, textures_[a.param]); break;
        case StateKind::SamplerBind: break;
        }
    }
    if (runtime.program >= 0) {
        EffectProgram& program = *programs_[runtime.program];
        if (since == 0) device_->BindProgram(ProgramBinding{program.program});
        UploadParameters(program);
    } else if (since == 0) {
        device_->BindProgram(ProgramBinding{});
    }
    appliedSerial_ = serial_;
}

void Effect::UploadParameters(EffectProgram& program) {
    SendUniforms(program, values_.data(), valueOffset_.data(), version_.data(), serial_);
}

Result Effect::Begin(uint32_t* passes, uint32_t flags) {
    if (begun_) return Result::InvalidCall;
    if (passes != nullptr) *passes = GetPassCount(technique_);
    begun_ = true;
    flags_ = flags;
    activePass_ = -1;
    if (flags & Fx::DoNotSaveState) return Result::Ok;
    const std::vector<SaveSlot>& slots = saveSlots_[technique_];
    savedValues_.resize(slots.size());
    savedTextures_.resize(slots.size());
    for (size_t i = 0; i < slots.size(); ++i) {
        const SaveSlot& s = slots[i];
        switch (s.kind) {
        case StateKind::Render: device_->GetRenderState(RenderState(s.state), &savedValues_[i]); break;
        case StateKind::Sampler: device_->GetSamplerState(s.index, SamplerState(s.state), &savedValues_[i]); break;
        case StateKind::TextureStage:
            device_->GetTextureStageState(s.index, TextureStageState(s.state), &savedValues_[i]);
            break;
        case StateKind::Texture: device_->GetTexture(s.index, &savedTextures_[i]); break;
        case StateKind::SamplerBind: break;
        }
    }
    savedBinding_ = device_->BoundProgram();
    return Result::Ok;
}

Result Effect::BeginPass(uint32_t pass) {
    if (!begun_ || activePass_ >= 0 || pass >= GetPassCount(technique_)) return Result::InvalidCall;
    activePass_ = int(pass);
    ApplyPass(0);
    return Result::Ok;
}

Result Effect::CommitChanges() {
    if (activePass_ < 0) return Result::Ok;
    ApplyPass(appliedSerial_);
    return Result::Ok;
}

Result Effect::EndPass() {
    if (activePass_ < 0) return Result::InvalidCall;
    activePass_ = -1;
    return Result::Ok;
}

Result Effect::End() {
    if (!begun_) return Result::InvalidCall;
    activePass_ = -1;
    begun_ = false;
    if (flags_ & Fx::DoNotSaveState) return Result::Ok;
    const std::vector<SaveSlot>& slots = saveSlots_[technique_];
    bool samplers = (flags_ & Fx::DoNotSaveSamplerState) == 0;
    for (size_t i = 0; i < slots.size(); ++i) {
        const SaveSlot& s = slots[i];
        switch (s.kind) {
        case StateKind::Render: device_->SetRenderState(RenderState(s.state), savedValues_[i]); break;
        case StateKind::Sampler:
            if (samplers) device_->SetSamplerState(s.index, SamplerState(s.state), savedValues_[i]);
            break;
        case StateKind::TextureStage:
            device_->SetTextureStageState(s.index, TextureStageState(s.state), savedValues_[i]);
            break;
        case StateKind::Texture: device_->SetTexture(s.index, std::move(savedTextures_[i])); break;
        case StateKind::SamplerBind: break;
        }
    }
    if ((flags_ & Fx::DoNotSaveShaderState) == 0) device_->BindProgram(savedBinding_);
    return Result::Ok;
}

}  // namespace velor
