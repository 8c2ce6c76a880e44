#pragma once
// What an effect file declares, as the parser hands it to the runtime: parameters with their types,
// semantics and default bytes, sampler state blocks, GLSL shader blocks, and techniques made of passes
// that assign D3D9 states. Plain data, no GL: parsing and its tests run without a context.
#include <cstdint>
#include <string>
#include <vector>

namespace velor {

enum class ParamType : uint8_t {
    Float, Float2, Float3, Float4, Float4x4, Int, Bool,
    Texture,      // texture, texture2D, textureCUBE: any BaseTexture
    Sampler2D,    // sampler, sampler2D
    SamplerCube,  // samplerCUBE
    Struct,
};

// Bytes a value of the type takes, packed as D3DX packs SetValue data (float3 is 12 bytes, bool 4);
// 0 for textures, samplers and structs (a struct's size is its StructType's).
uint32_t ParamTypeSize(ParamType type);
// Floats or ints in a value of a numeric type (float4x4: 16); 0 otherwise.
uint32_t ParamTypeComponents(ParamType type);
bool IsNumericType(ParamType type);
bool IsSamplerType(ParamType type);
const char* ParamTypeName(ParamType type);  // as written in effect files

struct StructMember {
    std::string name;
    ParamType type = ParamType::Float;
    int structIndex = -1;  // nested struct: index into EffectDesc::structs
    uint32_t offset = 0;   // bytes from the start of the struct, packed
    uint32_t size = 0;     // bytes
};

struct StructType {
    std::string name;
    std::vector<StructMember> members;
    uint32_t size = 0;  // bytes, members packed without padding
    int depth = 1;      // 1 + the depth of the deepest nested struct
    int line = 0;
};

// One state a sampler_state block or a pass sets: a render state, a sampler state of a unit, a texture
// stage state, the texture of a stage, or a whole sampler (its texture and state block) on a unit.
enum class StateKind : uint8_t {
    Render,        // state = RenderState
    Sampler,       // state = SamplerState, index = unit
    TextureStage,  // state = TextureStageState, index = stage
    Texture,       // Texture[index] = <texture parameter>
    SamplerBind,   // Sampler[index] = <sampler parameter>
};

struct StateAssignment {
    StateKind kind = StateKind::Render;
    uint32_t state = 0;  // D3D9 numeric state id
    uint32_t index = 0;  // unit or stage
    uint32_t value = 0;  // D3D9 numeric value (float states: the float's bits)
    int param = -1;      // value taken from this parameter when the pass is applied, instead of `value`
    bool floatState = false;  // the state holds float bits: a parameter's value is converted to them
    int line = 0;
};

struct SamplerDesc {
    int textureParam = -1;  // Texture = <name>; -1: samples whatever the device has on the unit
    std::vector<StateAssignment> states;  // SamplerState entries; index is filled in with the unit
    bool hasStateBlock = false;
    int unit = -1;          // sampler unit after parsing: `register(sN)` or the next free one
};

struct ParameterDesc {
    std::string name;
    std::string semantic;   // as written, "" when none
    ParamType type = ParamType::Float;
    int structIndex = -1;   // ParamType::Struct
    uint32_t size = 0;      // bytes of the value (numeric and struct types)
    std::vector<uint8_t> defaultValue;  // `size` bytes; zeros where the file gives no default
    bool hasDefault = false;
    SamplerDesc sampler;    // sampler types
    int line = 0;
};

enum class ShaderStage : uint8_t { Vertex, Fragment, Common };

struct ShaderBlock {
    ShaderStage stage = ShaderStage::Vertex;
    std::string name;  // "" for common blocks
    std::string body;  // GLSL text between the braces, verbatim
    int line = 0;      // line on which `body` starts
};

struct PassDesc {
    std::string name;
    int vertexShader = -1;  // index into EffectDesc::shaders, -1: the fixed-function vertex stage
    int pixelShader = -1;   // -1 with no vertex shader: the pass draws fixed-function
    std::vector<StateAssignment> states;  // in file order
    int line = 0;
};

struct TechniqueDesc {
    std::string name;
    std::vector<PassDesc> passes;
    int line = 0;
};

struct EffectDesc {
    std::vector<StructType> structs;
    std::vector<ParameterDesc> parameters;
    std::vector<ShaderBlock> shaders;  // vertex, fragment and common blocks in file order
    std::vector<TechniqueDesc> techniques;
};

}  // namespace velor
