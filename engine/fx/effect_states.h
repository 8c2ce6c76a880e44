#pragma once
// The D3D9 state names an effect pass or sampler_state block may assign, and the names their values
// may take. Names are matched without regard to case, as the D3DX effect compiler does.
#include <cstdint>
#include <string>
#include <string_view>

namespace velor {

// How a state's value is written in a file.
enum class StateValueKind : uint8_t {
    Bool,        // True/False or a number
    Uint,        // a number (decimal or 0x hex)
    Float,       // a number; stored as the float's bits
    Color,       // a D3DCOLOR number, 0xAARRGGBB
    ColorWrite,  // Red|Green|Blue|Alpha, or a number
    Cull, FillMode, ShadeMode, Blend, BlendOp, Cmp, StencilOp, MaterialSource,
    TextureFilter, TextureAddress, TextureOp, TextureArg,
};

struct StateInfo {
    const char* name;
    uint32_t id;  // RenderState, SamplerState or TextureStageState value
    StateValueKind kind;
};

const StateInfo* FindRenderState(std::string_view name);
const StateInfo* FindSamplerState(std::string_view name);
const StateInfo* FindTextureStageState(std::string_view name);

// The numeric value of a value name for the kind (e.g. Blend "SrcAlpha" -> 5); false when the kind
// has no such name.
bool FindStateValueName(StateValueKind kind, std::string_view name, uint32_t* value);
// "One, Zero, SrcColor, ..." for error messages.
std::string StateValueNames(StateValueKind kind);

}  // namespace velor
