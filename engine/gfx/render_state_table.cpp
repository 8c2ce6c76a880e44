#include "engine/gfx/render_state_table.h"

#include <cstdint>
#include <iterator>

#include "engine/gfx/device.h"  // kMaxPointSize

namespace velor {

namespace {

using K = StateValueKind;

// The float defaults are stored as their bits; the builtin rather than std::bit_cast, which the
// browser build's C++ library lacks.
constexpr RenderStateRow kRows[] = {
    {RenderState::ZEnable, "ZEnable", nullptr, K::Bool, 1},
    {RenderState::FillMode, "FillMode", nullptr, K::FillMode, uint32_t(FillMode::Solid)},
    {RenderState::ShadeMode, "ShadeMode", nullptr, K::ShadeMode, 2},  // Gouraud
    {RenderState::ZWriteEnable, "ZWriteEnable", nullptr, K::Bool, 1},
    {RenderState::AlphaTestEnable, "AlphaTestEnable", nullptr, K::Bool, 0},
    {RenderState::LastPixel, "LastPixel", nullptr, K::Bool, 1},
    {RenderState::SrcBlend, "SrcBlend", nullptr, K::Blend, uint32_t(Blend::One)},
    {RenderState::DestBlend, "DestBlend", nullptr, K::Blend, uint32_t(Blend::Zero)},
    {RenderState::CullMode, "CullMode", nullptr, K::Cull, uint32_t(Cull::CCW)},
    {RenderState::ZFunc, "ZFunc", nullptr, K::Cmp, uint32_t(Cmp::LessEqual)},
    {RenderState::AlphaRef, "AlphaRef", nullptr, K::Uint, 0},
    {RenderState::AlphaFunc, "AlphaFunc", nullptr, K::Cmp, uint32_t(Cmp::Always)},
    {RenderState::DitherEnable, "DitherEnable", nullptr, K::Bool, 0},
    {RenderState::AlphaBlendEnable, "AlphaBlendEnable", nullptr, K::Bool, 0},
    {RenderState::FogEnable, "FogEnable", nullptr, K::Bool, 0},
    {RenderState::SpecularEnable, "SpecularEnable", nullptr, K::Bool, 0},
    {RenderState::StencilEnable, "StencilEnable", nullptr, K::Bool, 0},
    {RenderState::StencilFail, "StencilFail", nullptr, K::StencilOp, uint32_t(StencilOp::Keep)},
    {RenderState::StencilZFail, "StencilZFail", nullptr, K::StencilOp, uint32_t(StencilOp::Keep)},
    {RenderState::StencilPass, "StencilPass", nullptr, K::StencilOp, uint32_t(StencilOp::Keep)},
    {RenderState::StencilFunc, "StencilFunc", nullptr, K::Cmp, uint32_t(Cmp::Always)},
    {RenderState::StencilRef, "StencilRef", nullptr, K::Uint, 0},
    {RenderState::StencilMask, "StencilMask", nullptr, K::Uint, 0xFFFFFFFFu},
    {RenderState::StencilWriteMask, "StencilWriteMask", nullptr, K::Uint, 0xFFFFFFFFu},
    {RenderState::TextureFactor, "TextureFactor", nullptr, K::Color, 0xFFFFFFFFu},
    {RenderState::Clipping, "Clipping", nullptr, K::Bool, 1},
    {RenderState::Lighting, "Lighting", nullptr, K::Bool, 1},
    {RenderState::Ambient, "Ambient", nullptr, K::Color, 0},
    {RenderState::ColorVertex, "ColorVertex", nullptr, K::Bool, 1},
    {RenderState::LocalViewer, "LocalViewer", nullptr, K::Bool, 1},
    {RenderState::NormalizeNormals, "NormalizeNormals", nullptr, K::Bool, 0},
    {RenderState::DiffuseMaterialSource, "DiffuseMaterialSource", nullptr, K::MaterialSource, uint32_t(MaterialColorSource::Color1)},
    {RenderState::SpecularMaterialSource, "SpecularMaterialSource", nullptr, K::MaterialSource, uint32_t(MaterialColorSource::Color2)},
    {RenderState::AmbientMaterialSource, "AmbientMaterialSource", nullptr, K::MaterialSource, uint32_t(MaterialColorSource::Material)},
    {RenderState::EmissiveMaterialSource, "EmissiveMaterialSource", nullptr, K::MaterialSource, uint32_t(MaterialColorSource::Material)},
    {RenderState::PointSize, "PointSize", nullptr, K::Float, 0x3F800000u},  // 1.0f
    {RenderState::PointSizeMin, "PointSize_Min", "PointSizeMin", K::Float, 0x3F800000u},  // 1.0f
    {RenderState::PointSpriteEnable, "PointSpriteEnable", nullptr, K::Bool, 0},
    {RenderState::PointScaleEnable, "PointScaleEnable", nullptr, K::Bool, 0},
    {RenderState::PointScaleA, "PointScale_A", "PointScaleA", K::Float, 0x3F800000u},  // 1.0f
    {RenderState::PointScaleB, "PointScale_B", "PointScaleB", K::Float, 0},
    {RenderState::PointScaleC, "PointScale_C", "PointScaleC", K::Float, 0},
    {RenderState::PointSizeMax, "PointSize_Max", "PointSizeMax", K::Float, __builtin_bit_cast(uint32_t, kMaxPointSize)},
    {RenderState::ColorWriteEnable, "ColorWriteEnable", nullptr, K::ColorWrite, 0xF},
    {RenderState::BlendOp, "BlendOp", nullptr, K::BlendOp, uint32_t(BlendOp::Add)},
    {RenderState::ScissorTestEnable, "ScissorTestEnable", nullptr, K::Bool, 0},
    {RenderState::SlopeScaleDepthBias, "SlopeScaleDepthBias", nullptr, K::Float, 0},
    {RenderState::TwoSidedStencilMode, "TwoSidedStencilMode", nullptr, K::Bool, 0},
    {RenderState::CcwStencilFail, "CcwStencilFail", nullptr, K::StencilOp, uint32_t(StencilOp::Keep)},
    {RenderState::CcwStencilZFail, "CcwStencilZFail", nullptr, K::StencilOp, uint32_t(StencilOp::Keep)},
    {RenderState::CcwStencilPass, "CcwStencilPass", nullptr, K::StencilOp, uint32_t(StencilOp::Keep)},
    {RenderState::CcwStencilFunc, "CcwStencilFunc", nullptr, K::Cmp, uint32_t(Cmp::Always)},
    {RenderState::DepthBias, "DepthBias", nullptr, K::Float, 0},
    {RenderState::SeparateAlphaBlendEnable, "SeparateAlphaBlendEnable", nullptr, K::Bool, 0},
    {RenderState::SrcBlendAlpha, "SrcBlendAlpha", nullptr, K::Blend, uint32_t(Blend::One)},
    {RenderState::DestBlendAlpha, "DestBlendAlpha", nullptr, K::Blend, uint32_t(Blend::Zero)},
    {RenderState::BlendOpAlpha, "BlendOpAlpha", nullptr, K::BlendOp, uint32_t(BlendOp::Add)},
};
static_assert(std::size(kRows) == 57, "one row per supported render state");

}  // namespace

std::span<const RenderStateRow> RenderStateTable() { return kRows; }

}  // namespace velor
