#include "engine/fx/effect_desc.h"

namespace velor {

uint32_t ParamTypeComponents(ParamType type) {
    switch (type) {
    case ParamType::Float:
    case ParamType::Int:
    case ParamType::Bool: return 1;
    case ParamType::Float2: return 2;
    case ParamType::Float3: return 3;
    case ParamType::Float4: return 4;
    case ParamType::Float4x4: return 16;
    default: return 0;
    }
}

uint32_t ParamTypeSize(ParamType type) { return ParamTypeComponents(type) * 4; }

bool IsNumericType(ParamType type) { return ParamTypeComponents(type) != 0; }

bool IsSamplerType(ParamType type) { return type == ParamType::Sampler2D || type == ParamType::SamplerCube; }

const char* ParamTypeName(ParamType type) {
    switch (type) {
    case ParamType::Float: return "float";
    case ParamType::Float2: return "float2";
    case ParamType::Float3: return "float3";
    case ParamType::Float4: return "float4";
    case ParamType::Float4x4: return "float4x4";
    case ParamType::Int: return "int";
    case ParamType::Bool: return "bool";
    case ParamType::Texture: return "texture";
    case ParamType::Sampler2D: return "sampler2D";
    case ParamType::SamplerCube: return "samplerCUBE";
    case ParamType::Struct: return "struct";
    }
    return "?";
}

}  // namespace velor
