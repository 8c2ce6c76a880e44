#pragma once
// One row per render state the device supports: the state, its name as effect files write it (and
// the other spelling D3DX accepts, if any), how its value is written, and Direct3D 9's default (with
// an automatic depth-stencil buffer, so ZEnable starts on). The device's defaults and the effect
// parser both read this table; engine/gfx/README.md describes what each state does.
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

struct RenderStateRow {
    RenderState state;
    const char* name;       // as effect files write it
    const char* otherName;  // a second spelling effect files may use, or nullptr
    StateValueKind kind;
    uint32_t defaultValue;
};

std::span<const RenderStateRow> RenderStateTable();

}  // namespace velor
