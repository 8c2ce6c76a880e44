#pragma once
// The D3D9 state names an effect pass or sampler_state block may assign, and the names their values
// may take. Names are matched without regard to case, as the D3DX effect compiler does.
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/gfx/render_state_table.h"  // StateValueKind

namespace velor {

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
