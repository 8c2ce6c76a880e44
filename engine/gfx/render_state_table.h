#pragma once
// One row per render state the device supports, generated from render_state_list.h: the state, its
// name as effect files write it (and the other spelling D3DX accepts, if any), how its value is
// written, Direct3D 9's default, and where a change of it goes. The device's defaults and its dirty
// marking, and the effect parser, all read this table; engine/gfx/README.md describes what each
// state does.
#include <cstdint>
#include <span>

#include "engine/gfx/d3d_types.h"

namespace velor {

// How a state's value is written in an effect file.
enum class StateValueKind : uint8_t {
    Bool,        // True/False or a number
    Uint,        // a number (decimal or 0x hex)
    Float,       // a number; stored as the float's bits
    Color,       // a D3DCOLOR number, 0xAARRGGBB
    ColorWrite,  // Red|Green|Blue|Alpha, or a number
    Cull, FillMode, ShadeMode, Blend, BlendOp, Cmp, StencilOp, MaterialSource,
    TextureFilter, TextureAddress, TextureOp, TextureArg,
};

// Where a change of a state goes, and so what it costs the next draw.
enum class StateTarget : uint8_t {
    Gl,       // applied to GL by the state cache: depth, blend, cull, stencil, write masks, fill
    Program,  // read by the fixed-function program: its uniforms, its alpha-test variant, sprites
    Stored,   // kept and read back only: no draw looks at it
};

struct RenderStateRow {
    RenderState state;
    const char* name;       // as effect files write it
    const char* otherName;  // a second spelling effect files may use, or nullptr
    StateValueKind kind;
    uint32_t defaultValue;
    StateTarget target;
};

#define VELOR_RENDER_STATE_ROW(state, value, name, otherName, kind, defaultValue, target) \
    {RenderState::state, name, otherName, StateValueKind::kind, defaultValue, StateTarget::target},
inline constexpr RenderStateRow kRenderStateRows[] = {VELOR_RENDER_STATES(VELOR_RENDER_STATE_ROW)};
#undef VELOR_RENDER_STATE_ROW

constexpr std::span<const RenderStateRow> RenderStateTable() { return kRenderStateRows; }

}  // namespace velor
