// Effect parameters and techniques: CPU-side values, looked up by name through hash maps built once
// at creation. Setting a value only stores it and stamps it with a serial number; the passes send
// what is newer than what each program has (effect_passes.cpp).
#include "engine/fx/effect.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>

#include "engine/fx/effect_program.h"

namespace velor {

Effect::Effect(Device* device, std::string name, EffectDesc desc)
    : device_(device), name_(std::move(name)), desc_(std::move(desc)) {
    const size_t count = desc_.parameters.size();
    valueOffset_.resize(count);
    version_.assign(count, 1);
    textures_.resize(count);
    uint32_t total = 0;
    for (size_t i = 0; i < count; ++i) {
        valueOffset_[i] = total;
        total += desc_.parameters[i].size;
    }
    values_.resize(total);
    for (size_t i = 0; i < count; ++i) {
        const ParameterDesc& p = desc_.parameters[i];
        if (p.size) std::memcpy(values_.data() + valueOffset_[i], p.defaultValue.data(), p.size);
        parameterByName_.emplace(std::string_view(p.name), int(i));
    }
    for (size_t i = 0; i < desc_.techniques.size(); ++i)
        techniqueByName_.emplace(std::string_view(desc_.techniques[i].name), int(i));
}

Effect::~Effect() = default;

// ---- techniques and passes ---------------------------------------------------------------------

const char* Effect::GetTechniqueName(uint32_t technique) const {
    return technique < desc_.techniques.size() ? desc_.techniques[technique].name.c_str() : nullptr;
}

int Effect::FindTechnique(std::string_view name) const {
    auto it = techniqueByName_.find(name);
    return it == techniqueByName_.end() ? -1 : it->second;
}

Result Effect::SetTechnique(std::string_view name) {
    int technique = FindTechnique(name);
    if (technique < 0) return Result::InvalidCall;
    return SetTechniqueByIndex(uint32_t(technique));
}

Result Effect::SetTechniqueByIndex(uint32_t technique) {
    if (technique >= desc_.techniques.size() || begun_) return Result::InvalidCall;
    technique_ = technique;
    return Result::Ok;
}

uint32_t Effect::GetPassCount(uint32_t technique) const {
    return technique < desc_.techniques.size() ? uint32_t(desc_.techniques[technique].passes.size()) : 0;
}

const char* Effect::GetPassName(uint32_t technique, uint32_t pass) const {
    if (pass >= GetPassCount(technique)) return nullptr;
    return desc_.techniques[technique].passes[pass].name.c_str();
}

int Effect::FindPass(uint32_t technique, std::string_view name) const {
    for (uint32_t i = 0; i < GetPassCount(technique); ++i)
        if (desc_.techniques[technique].passes[i].name == name) return int(i);
    return -1;
}

// ---- parameters --------------------------------------------------------------------------------

int Effect::ParameterIndex(std::string_view name) const {
    auto it = parameterByName_.find(name);
    return it == parameterByName_.end() ? -1 : it->second;
}

const ParameterDesc* Effect::GetParameterByName(std::string_view name) const {
    int i = ParameterIndex(name);
    return i < 0 ? nullptr : &desc_.parameters[i];
}

const ParameterDesc* Effect::GetParameterBySemantic(std::string_view semantic) const {
    for (const ParameterDesc& p : desc_.parameters)
        if (!p.semantic.empty() && p.semantic.size() == semantic.size() &&
            std::equal(p.semantic.begin(), p.semantic.end(), semantic.begin(),
                       [](char a, char b) { return std::tolower(a) == std::tolower(b); }))
            return &p;
    return nullptr;
}

namespace {

// Saturating, as a float-to-int conversion outside int32's range has no defined result.
int32_t ToInt32(double value) {
    if (!(value == value)) return 0;
    if (value >= 2147483647.0) return INT32_MAX;
    if (value <= -2147483648.0) return INT32_MIN;
    return int32_t(value);
}

void WriteScalar(uint8_t* dst, ParamType type, double value) {
    if (type == ParamType::Float) {
        float f = float(value);
        std::memcpy(dst, &f, 4);
    } else {
        int32_t n = type == ParamType::Bool ? (value != 0 ? 1 : 0) : ToInt32(value);
        std::memcpy(dst, &n, 4);
    }
}

bool IsScalar(ParamType type) { return type == ParamType::Float || type == ParamType::Int || type == ParamType::Bool; }

}  // namespace

Result Effect::SetFloat(std::string_view name, float value) {
    int i = ParameterIndex(name);
    if (i < 0 || !IsScalar(desc_.parameters[i].type)) return Result::InvalidCall;
    WriteScalar(ValueOf(i), desc_.parameters[i].type, value);
    Touch(i);
    return Result::Ok;
}

Result Effect::SetInt(std::string_view name, int32_t value) {
    int i = ParameterIndex(name);
    if (i < 0 || !IsScalar(desc_.parameters[i].type)) return Result::InvalidCall;
    WriteScalar(ValueOf(i), desc_.parameters[i].type, value);
    Touch(i);
    return Result::Ok;
}

Result Effect::SetBool(std::string_view name, bool value) { return SetInt(name, value ? 1 : 0); }

Result Effect::SetVector(std::string_view name, const Vector4& value) {
    int i = ParameterIndex(name);
    if (i < 0) return Result::InvalidCall;
    ParamType type = desc_.parameters[i].type;
    if (type != ParamType::Float && type != ParamType::Float2 && type != ParamType::Float3 && type != ParamType::Float4)
        return Result::InvalidCall;
    std::memcpy(ValueOf(i), &value, desc_.parameters[i].size);
    Touch(i);
    return Result::Ok;
}

Result Effect::SetMatrix(std::string_view name, const Matrix& value) {
    int i = ParameterIndex(name);
    if (i < 0 || desc_.parameters[i].type != ParamType::Float4x4) return Result::InvalidCall;
    std::memcpy(ValueOf(i), &value.m[0][0], 64);
    Touch(i);
    return Result::Ok;
}

Result Effect::SetTexture(std::string_view name, std::shared_ptr<BaseTexture> texture) {
    int i = ParameterIndex(name);
    if (i < 0 || desc_.parameters[i].type != ParamType::Texture) return Result::InvalidCall;
    if (textures_[i] != texture) {
        textures_[i] = std::move(texture);
        Touch(i);
    }
    return Result::Ok;
}

Result Effect::SetValue(std::string_view name, const void* data, uint32_t bytes) {
    int i = ParameterIndex(name);
    if (i < 0 || data == nullptr) return Result::InvalidCall;
    const ParameterDesc& p = desc_.parameters[i];
    // As D3DX: a buffer at least the parameter's size, of which the parameter's size is copied (a larger
    // structure whose start matches is fine); a shorter one is refused. Textures and samplers have no bytes.
    if (p.size == 0 || bytes < p.size) return Result::InvalidCall;
    std::memcpy(ValueOf(i), data, p.size);
    Touch(i);
    return Result::Ok;
}

Result Effect::GetFloat(std::string_view name, float* value) const {
    int i = ParameterIndex(name);
    if (i < 0 || value == nullptr || !IsScalar(desc_.parameters[i].type)) return Result::InvalidCall;
    if (desc_.parameters[i].type == ParamType::Float) {
        std::memcpy(value, ValueOf(i), 4);
    } else {
        int32_t n;
        std::memcpy(&n, ValueOf(i), 4);
        *value = float(n);
    }
    return Result::Ok;
}

Result Effect::GetVector(std::string_view name, Vector4* value) const {
    int i = ParameterIndex(name);
    if (i < 0 || value == nullptr) return Result::InvalidCall;
    ParamType type = desc_.parameters[i].type;
    if (type != ParamType::Float && type != ParamType::Float2 && type != ParamType::Float3 && type != ParamType::Float4)
        return Result::InvalidCall;
    *value = Vector4{};
    std::memcpy(value, ValueOf(i), desc_.parameters[i].size);
    return Result::Ok;
}

Result Effect::GetMatrix(std::string_view name, Matrix* value) const {
    int i = ParameterIndex(name);
    if (i < 0 || value == nullptr || desc_.parameters[i].type != ParamType::Float4x4) return Result::InvalidCall;
    std::memcpy(&value->m[0][0], ValueOf(i), 64);
    return Result::Ok;
}

Result Effect::GetTexture(std::string_view name, std::shared_ptr<BaseTexture>* texture) const {
    int i = ParameterIndex(name);
    if (i < 0 || texture == nullptr || desc_.parameters[i].type != ParamType::Texture) return Result::InvalidCall;
    *texture = textures_[i];
    return Result::Ok;
}

Result Effect::GetValue(std::string_view name, void* data, uint32_t bytes) const {
    int i = ParameterIndex(name);
    if (i < 0 || data == nullptr) return Result::InvalidCall;
    const ParameterDesc& p = desc_.parameters[i];
    if (p.size == 0 || bytes < p.size) return Result::InvalidCall;
    std::memcpy(data, ValueOf(i), p.size);
    return Result::Ok;
}

}  // namespace velor
