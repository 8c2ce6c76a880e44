#include "engine/gfx/sprite_footprint.h"

#include <algorithm>

#include "engine/gfx/device_state.h"
#include "engine/gfx/gpu_program.h"
#include "engine/gfx/resources.h"

namespace velor {

namespace {

void Include(TexelBox& box, int32_t x, int32_t y) {
    if (box.Empty()) {
        box = {x, y, x, y};
        return;
    }
    box.x0 = std::min(box.x0, x), box.y0 = std::min(box.y0, y);
    box.x1 = std::max(box.x1, x), box.y1 = std::max(box.y1, y);
}

// Texture coordinates where a texel box can reach: bilinear filtering reads texel i for
// coordinates strictly between (i - 0.5) / n and (i + 1.5) / n, point sampling within that.
void Widen(const TexelBox& box, uint32_t width, uint32_t height, std::array<float, 4>& into, bool& any) {
    if (box.Empty()) return;
    float u0 = (float(box.x0) - 0.5f) / float(width), v0 = (float(box.y0) - 0.5f) / float(height);
    float u1 = (float(box.x1) + 1.5f) / float(width), v1 = (float(box.y1) + 1.5f) / float(height);
    if (!any) {
        into = {u0, v0, u1, v1};
        any = true;
        return;
    }
    into = {std::min(into[0], u0), std::min(into[1], v0), std::max(into[2], u1), std::max(into[3], v1)};
}

void FitAxis(float& low, float& high, bool wrap) {
    // Past an edge, a wrapping sampler reads the other edge's texels.
    if (wrap && (low < 0.0f || high > 1.0f)) low = 0.0f, high = 1.0f;
    low = std::clamp(low, 0.0f, 1.0f);
    high = std::clamp(high, 0.0f, 1.0f);
}

uint32_t Render(const DeviceState& state, RenderState which) { return state.render[uint32_t(which)]; }

// Whether stage 0's operation gives zero where the texture's channel is zero (the fixed function).
bool StageScalesTexture(uint32_t op, uint32_t arg1, uint32_t arg2) {
    switch (TextureOp(op)) {
    case TextureOp::SelectArg1: return arg1 == TextureArg::Texture;
    case TextureOp::SelectArg2: return arg2 == TextureArg::Texture;
    case TextureOp::Modulate:
    case TextureOp::Modulate2X: return arg1 == TextureArg::Texture || arg2 == TextureArg::Texture;
    default: return false;
    }
}

}  // namespace

LevelFootprint FindLevelFootprint(const uint32_t* pixels, uint32_t width, uint32_t height, bool opaque) {
    LevelFootprint level;
    level.width = width;
    level.height = height;
    const uint32_t alpha = opaque ? 0xFF000000u : 0u;
    for (uint32_t y = 0; y < height; ++y) {
        const uint32_t* row = pixels + size_t(y) * width;
        for (uint32_t x = 0; x < width; ++x) {
            uint32_t p = row[x] | alpha;
            if (p == 0) continue;
            if (p & 0x00FFFFFFu) Include(level.colour, int32_t(x), int32_t(y));
            Include(level.any, int32_t(x), int32_t(y));
        }
    }
    return level;
}

std::vector<LevelFootprint> FindFootprint(const BaseTexture& texture) {
    std::vector<LevelFootprint> levels;
    bool opaque = texture.GetFormat() == Format::X8R8G8B8;
    for (uint32_t level = 0; level < texture.GetLevelCount(); ++level) {
        const std::vector<uint32_t>& pixels = texture.Pixels(0, level);
        uint32_t w = texture.LevelWidth(level), h = texture.LevelHeight(level);
        if (pixels.size() < size_t(w) * h) return {};
        levels.push_back(FindLevelFootprint(pixels.data(), w, h, opaque));
    }
    return levels;
}

SpriteReach ReachOf(const std::vector<LevelFootprint>& levels, uint32_t usable, bool colourOnly, bool wrapU,
                    bool wrapV) {
    SpriteReach reach;
    usable = std::min({usable, uint32_t(levels.size()), kMaxSpriteReachLevels});
    if (usable == 0) return reach;
    reach.levels = usable;
    reach.width = float(levels[0].width);
    reach.height = float(levels[0].height);
    std::array<float, 4> box{};  // nothing non-zero yet: an empty quad
    bool any = false;
    for (uint32_t l = 0; l < usable; ++l) {
        const LevelFootprint& level = levels[l];
        Widen(colourOnly ? level.colour : level.any, level.width, level.height, box, any);
        std::array<float, 4> fitted = box;
        if (any) {
            FitAxis(fitted[0], fitted[2], wrapU);
            FitAxis(fitted[1], fitted[3], wrapV);
        }
        reach.boxes[l] = fitted;
    }
    return reach;
}

SpriteReach SpriteReachFor(const DeviceState& state) {
    const auto* texture = state.textures[0].get();
    if (texture == nullptr || texture->IsCube() || texture->IsRenderTarget()) return {};
    for (size_t i = 1; i < state.textures.size(); ++i)
        if (state.textures[i] != nullptr) return {};

    // Which channels a zero texel makes zero in the fragment stage's output.
    bool colourZero = false, alphaZero = false;
    const GpuProgram* program = state.program.program.get();
    if (program == nullptr) {
        const auto& stage = state.stage[0];
        auto at = [&](TextureStageState s) { return stage[uint32_t(s)]; };
        colourZero = StageScalesTexture(at(TextureStageState::ColorOp), at(TextureStageState::ColorArg1),
                                        at(TextureStageState::ColorArg2));
        alphaZero = StageScalesTexture(at(TextureStageState::AlphaOp), at(TextureStageState::AlphaArg1),
                                       at(TextureStageState::AlphaArg2));
        if (Render(state, RenderState::SpecularEnable) != 0) colourZero = alphaZero = false;
    } else if (program->FixedVertexStage() && program->ScalesTexture0()) {
        colourZero = alphaZero = true;
    }
    if (!colourZero) return {};

    // A zero source must leave the target as it was: added to the target kept whole.
    if (Render(state, RenderState::AlphaBlendEnable) == 0 || Render(state, RenderState::SeparateAlphaBlendEnable) != 0)
        return {};
    BlendOp op = BlendOp(Render(state, RenderState::BlendOp));
    if (op != BlendOp::Add && op != BlendOp::RevSubtract) return {};
    Blend dest = Blend(Render(state, RenderState::DestBlend));
    // The target's alpha counts where it has one and the draw writes it.
    const std::shared_ptr<Surface>& target = state.renderTarget;
    bool targetAlpha = target != nullptr && target->GetTexture()->GetFormat() != Format::X8R8G8B8 &&
                       (Render(state, RenderState::ColorWriteEnable) & ColorWrite::Alpha) != 0;
    bool colourOnly;
    if (dest == Blend::One) {
        colourOnly = !targetAlpha;
    } else if (dest == Blend::InvSrcAlpha) {
        colourOnly = false;  // the source alpha must be zero too
    } else {
        return {};
    }
    if (!colourOnly && !alphaZero) return {};
    if (Render(state, RenderState::ZEnable) != 0 && Render(state, RenderState::ZWriteEnable) != 0) return {};
    if (Render(state, RenderState::StencilEnable) != 0) return {};

    const auto& sampler = state.sampler[0];
    auto at = [&](SamplerState s) { return sampler[uint32_t(s)]; };
    if (at(SamplerState::MinFilter) == uint32_t(TextureFilter::Anisotropic) ||
        at(SamplerState::MagFilter) == uint32_t(TextureFilter::Anisotropic) || at(SamplerState::MaxMipLevel) != 0 ||
        at(SamplerState::MipMapLodBias) != 0)
        return {};
    auto wraps = [&](SamplerState s, bool* wrap) {
        TextureAddress mode = TextureAddress(at(s));
        *wrap = mode == TextureAddress::Wrap;
        return mode == TextureAddress::Wrap || mode == TextureAddress::Clamp || mode == TextureAddress::Mirror;
    };
    bool wrapU = false, wrapV = false;
    if (!wraps(SamplerState::AddressU, &wrapU) || !wraps(SamplerState::AddressV, &wrapV)) return {};
    uint32_t usable = at(SamplerState::MipFilter) == uint32_t(TextureFilter::None) ? 1 : texture->GetLevelCount();

    BaseTexture::FootprintCache& cache = texture->Footprint();
    if (cache.version != texture->Version()) {
        cache.levels = FindFootprint(*texture);
        cache.version = texture->Version();
    }
    return ReachOf(cache.levels, usable, colourOnly, wrapU, wrapV);
}

}  // namespace velor
