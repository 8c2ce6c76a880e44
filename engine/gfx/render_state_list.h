#pragma once
// The render states the device supports, one row each, as one list the RenderState enum (d3d_types.h)
// and the state table (render_state_table.h) are both generated from, so a new state is one line:
//   X(state, D3DRS_ value, name in effect files, the other spelling D3DX accepts or nullptr,
//     how its value is written (StateValueKind), Direct3D 9's default, where a change goes (StateTarget))
// Defaults are those of a device with an automatic depth-stencil buffer, so ZEnable starts on; float
// states hold the float's bits (the builtin rather than std::bit_cast, which the browser build's C++
// library lacks). engine/gfx/README.md describes what each state does.
//
// Where a change goes: Gl states are applied to GL by the state cache (gl_state.cpp); Program states
// feed the fixed-function program's uniforms or choose its variant (gl_programs.cpp); Stored states
// are kept and read back, and draw nothing differently.

#define VELOR_RENDER_STATES(X) \
    X(ZEnable, 7, "ZEnable", nullptr, Bool, 1, Gl) \
    X(FillMode, 8, "FillMode", nullptr, FillMode, uint32_t(FillMode::Solid), Gl) \
    X(ShadeMode, 9, "ShadeMode", nullptr, ShadeMode, 2, Stored)  /* Gouraud */ \
    X(ZWriteEnable, 14, "ZWriteEnable", nullptr, Bool, 1, Gl) \
    X(AlphaTestEnable, 15, "AlphaTestEnable", nullptr, Bool, 0, Program) \
    X(LastPixel, 16, "LastPixel", nullptr, Bool, 1, Stored) \
    X(SrcBlend, 19, "SrcBlend", nullptr, Blend, uint32_t(Blend::One), Gl) \
    X(DestBlend, 20, "DestBlend", nullptr, Blend, uint32_t(Blend::Zero), Gl) \
    X(CullMode, 22, "CullMode", nullptr, Cull, uint32_t(Cull::CCW), Gl) \
    X(ZFunc, 23, "ZFunc", nullptr, Cmp, uint32_t(Cmp::LessEqual), Gl) \
    X(AlphaRef, 24, "AlphaRef", nullptr, Uint, 0, Program) \
    X(AlphaFunc, 25, "AlphaFunc", nullptr, Cmp, uint32_t(Cmp::Always), Program) \
    X(DitherEnable, 26, "DitherEnable", nullptr, Bool, 0, Stored) \
    X(AlphaBlendEnable, 27, "AlphaBlendEnable", nullptr, Bool, 0, Gl) \
    X(FogEnable, 28, "FogEnable", nullptr, Bool, 0, Stored) \
    X(SpecularEnable, 29, "SpecularEnable", nullptr, Bool, 0, Program) \
    X(StencilEnable, 52, "StencilEnable", nullptr, Bool, 0, Gl) \
    X(StencilFail, 53, "StencilFail", nullptr, StencilOp, uint32_t(StencilOp::Keep), Gl) \
    X(StencilZFail, 54, "StencilZFail", nullptr, StencilOp, uint32_t(StencilOp::Keep), Gl) \
    X(StencilPass, 55, "StencilPass", nullptr, StencilOp, uint32_t(StencilOp::Keep), Gl) \
    X(StencilFunc, 56, "StencilFunc", nullptr, Cmp, uint32_t(Cmp::Always), Gl) \
    X(StencilRef, 57, "StencilRef", nullptr, Uint, 0, Gl) \
    X(StencilMask, 58, "StencilMask", nullptr, Uint, 0xFFFFFFFFu, Gl) \
    X(StencilWriteMask, 59, "StencilWriteMask", nullptr, Uint, 0xFFFFFFFFu, Gl) \
    X(TextureFactor, 60, "TextureFactor", nullptr, Color, 0xFFFFFFFFu, Program) \
    X(Clipping, 136, "Clipping", nullptr, Bool, 1, Stored) \
    X(Lighting, 137, "Lighting", nullptr, Bool, 1, Program) \
    X(Ambient, 139, "Ambient", nullptr, Color, 0, Program) \
    X(ColorVertex, 141, "ColorVertex", nullptr, Bool, 1, Program) \
    X(LocalViewer, 142, "LocalViewer", nullptr, Bool, 1, Program) \
    X(NormalizeNormals, 143, "NormalizeNormals", nullptr, Bool, 0, Program) \
    X(DiffuseMaterialSource, 145, "DiffuseMaterialSource", nullptr, MaterialSource, uint32_t(MaterialColorSource::Color1), Program) \
    X(SpecularMaterialSource, 146, "SpecularMaterialSource", nullptr, MaterialSource, uint32_t(MaterialColorSource::Color2), Program) \
    X(AmbientMaterialSource, 147, "AmbientMaterialSource", nullptr, MaterialSource, uint32_t(MaterialColorSource::Material), Program) \
    X(EmissiveMaterialSource, 148, "EmissiveMaterialSource", nullptr, MaterialSource, uint32_t(MaterialColorSource::Material), Program) \
    X(PointSize, 154, "PointSize", nullptr, Float, 0x3F800000u, Program)  /* 1.0f */ \
    X(PointSizeMin, 155, "PointSize_Min", "PointSizeMin", Float, 0x3F800000u, Program)  /* 1.0f */ \
    X(PointSpriteEnable, 156, "PointSpriteEnable", nullptr, Bool, 0, Program) \
    X(PointScaleEnable, 157, "PointScaleEnable", nullptr, Bool, 0, Program) \
    X(PointScaleA, 158, "PointScale_A", "PointScaleA", Float, 0x3F800000u, Program)  /* 1.0f */ \
    X(PointScaleB, 159, "PointScale_B", "PointScaleB", Float, 0, Program) \
    X(PointScaleC, 160, "PointScale_C", "PointScaleC", Float, 0, Program) \
    X(PointSizeMax, 166, "PointSize_Max", "PointSizeMax", Float, __builtin_bit_cast(uint32_t, kMaxPointSize), Program) \
    X(ColorWriteEnable, 168, "ColorWriteEnable", nullptr, ColorWrite, 0xF, Gl) \
    X(BlendOp, 171, "BlendOp", nullptr, BlendOp, uint32_t(BlendOp::Add), Gl) \
    X(ScissorTestEnable, 174, "ScissorTestEnable", nullptr, Bool, 0, Gl) \
    X(SlopeScaleDepthBias, 175, "SlopeScaleDepthBias", nullptr, Float, 0, Stored) \
    X(TwoSidedStencilMode, 185, "TwoSidedStencilMode", nullptr, Bool, 0, Gl) \
    X(CcwStencilFail, 186, "CcwStencilFail", nullptr, StencilOp, uint32_t(StencilOp::Keep), Gl) \
    X(CcwStencilZFail, 187, "CcwStencilZFail", nullptr, StencilOp, uint32_t(StencilOp::Keep), Gl) \
    X(CcwStencilPass, 188, "CcwStencilPass", nullptr, StencilOp, uint32_t(StencilOp::Keep), Gl) \
    X(CcwStencilFunc, 189, "CcwStencilFunc", nullptr, Cmp, uint32_t(Cmp::Always), Gl) \
    X(DepthBias, 195, "DepthBias", nullptr, Float, 0, Stored) \
    X(SeparateAlphaBlendEnable, 206, "SeparateAlphaBlendEnable", nullptr, Bool, 0, Gl) \
    X(SrcBlendAlpha, 207, "SrcBlendAlpha", nullptr, Blend, uint32_t(Blend::One), Gl) \
    X(DestBlendAlpha, 208, "DestBlendAlpha", nullptr, Blend, uint32_t(Blend::Zero), Gl) \
    X(BlendOpAlpha, 209, "BlendOpAlpha", nullptr, BlendOp, uint32_t(BlendOp::Add), Gl)
