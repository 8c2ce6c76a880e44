// Sprite footprints: the texel boxes of a fixture texture, the texture-coordinate reach they give
// with the bilinear margin, level by level, and the draw states under which a sprite may be trimmed.
#include <gtest/gtest.h>

#include <memory>

#include "engine/gfx/device_defaults.h"
#include "engine/gfx/device_state.h"
#include "engine/gfx/resources.h"
#include "engine/gfx/sprite_footprint.h"

namespace velor {
namespace {

// 16 x 16 with two levels. Level 0: colour in x 5..9, y 3..4, and one texel (12, 10) that has only
// alpha. Level 1 (8 x 8): colour in x 2..4, y 1..2.
std::shared_ptr<Texture> FixtureTexture(Format format = Format::A8R8G8B8) {
    auto texture = std::make_shared<Texture>(16, 16, 2, 0, format, Pool::Managed);
    std::vector<uint32_t>& level0 = texture->MutablePixels(0, 0);
    for (int y = 3; y <= 4; ++y)
        for (int x = 5; x <= 9; ++x) level0[size_t(y) * 16 + size_t(x)] = 0x00010000u;  // the faintest red
    level0[10 * 16 + 12] = 0x01000000u;
    std::vector<uint32_t>& level1 = texture->MutablePixels(0, 1);
    for (int y = 1; y <= 2; ++y)
        for (int x = 2; x <= 4; ++x) level1[size_t(y) * 8 + size_t(x)] = 0x00000001u;
    return texture;
}

TEST(SpriteFootprint, BoxesHoldEveryNonZeroTexelOfEachLevel) {
    auto texture = FixtureTexture();
    std::vector<LevelFootprint> levels = FindFootprint(*texture);
    ASSERT_EQ(levels.size(), 2u);
    const TexelBox& colour = levels[0].colour;
    EXPECT_EQ(colour.x0, 5); EXPECT_EQ(colour.y0, 3); EXPECT_EQ(colour.x1, 9); EXPECT_EQ(colour.y1, 4);
    const TexelBox& any = levels[0].any;
    EXPECT_EQ(any.x0, 5); EXPECT_EQ(any.y0, 3); EXPECT_EQ(any.x1, 12); EXPECT_EQ(any.y1, 10);
    EXPECT_EQ(levels[1].colour.x0, 2); EXPECT_EQ(levels[1].colour.x1, 4);
    EXPECT_EQ(levels[1].width, 8u);

    // An opaque format reads alpha 1 everywhere: every texel counts, only colour keeps a box.
    std::vector<LevelFootprint> opaque = FindFootprint(*FixtureTexture(Format::X8R8G8B8));
    EXPECT_EQ(opaque[0].any.x0, 0); EXPECT_EQ(opaque[0].any.x1, 15); EXPECT_EQ(opaque[0].any.y1, 15);
    EXPECT_EQ(opaque[0].colour.x1, 9);

    uint32_t black[4] = {};
    EXPECT_TRUE(FindLevelFootprint(black, 2, 2, false).any.Empty());
}

struct ReachCase {
    const char* name;
    uint32_t usable;
    bool colourOnly, wrapU;
    std::array<float, 4> level0, last;
};

TEST(SpriteFootprint, ReachWidensByTheBilinearFilterAndGrowsWithTheLevels) {
    std::vector<LevelFootprint> levels = FindFootprint(*FixtureTexture());
    // Texel i is read by coordinates between (i - 0.5) / n and (i + 1.5) / n.
    const ReachCase cases[] = {
        {"level 0 only", 1, true, false, {4.5f / 16, 2.5f / 16, 10.5f / 16, 5.5f / 16}, {4.5f / 16, 2.5f / 16, 10.5f / 16, 5.5f / 16}},
        // Level 1's box, 1.5 / 8 .. 5.5 / 8 across and 0.5 / 8 .. 3.5 / 8 down, holds level 0's.
        {"with level 1", 2, true, false, {4.5f / 16, 2.5f / 16, 10.5f / 16, 5.5f / 16}, {1.5f / 8, 0.5f / 8, 5.5f / 8, 3.5f / 8}},
        {"alpha counts", 1, false, false, {4.5f / 16, 2.5f / 16, 13.5f / 16, 11.5f / 16}, {4.5f / 16, 2.5f / 16, 13.5f / 16, 11.5f / 16}},
    };
    for (const ReachCase& c : cases) {
        SCOPED_TRACE(c.name);
        SpriteReach reach = ReachOf(levels, c.usable, c.colourOnly, c.wrapU, false);
        ASSERT_EQ(reach.levels, c.usable);
        EXPECT_EQ(reach.width, 16.0f);
        for (int i = 0; i < 4; ++i) {
            EXPECT_FLOAT_EQ(reach.boxes[0][size_t(i)], c.level0[size_t(i)]) << i;
            EXPECT_FLOAT_EQ(reach.boxes[c.usable - 1][size_t(i)], c.last[size_t(i)]) << i;
        }
    }
}

TEST(SpriteFootprint, AnEdgeTexelReachesAcrossAWrappingAxisOnly) {
    auto texture = std::make_shared<Texture>(8, 8, 1, 0, Format::A8R8G8B8, Pool::Managed);
    texture->MutablePixels(0, 0)[3 * 8 + 0] = 0x00FFFFFFu;  // x 0, y 3
    std::vector<LevelFootprint> levels = FindFootprint(*texture);
    SpriteReach clamped = ReachOf(levels, 1, true, false, false);
    EXPECT_FLOAT_EQ(clamped.boxes[0][0], 0.0f);
    EXPECT_FLOAT_EQ(clamped.boxes[0][2], 1.5f / 8);
    SpriteReach wrapped = ReachOf(levels, 1, true, true, true);
    EXPECT_FLOAT_EQ(wrapped.boxes[0][0], 0.0f);
    EXPECT_FLOAT_EQ(wrapped.boxes[0][2], 1.0f) << "coordinates near 1 wrap round to texel 0";
    EXPECT_FLOAT_EQ(wrapped.boxes[0][1], 2.5f / 8) << "v stays inside";
}

// The states of a glow sprite: fixed function, texture times diffuse, added to the target.
DeviceState GlowState(const std::shared_ptr<Texture>& texture) {
    DeviceState state;
    ResetToDefaults(state);
    state.textures[0] = texture;
    state.render[uint32_t(RenderState::AlphaBlendEnable)] = 1;
    state.render[uint32_t(RenderState::SrcBlend)] = uint32_t(Blend::SrcAlpha);
    state.render[uint32_t(RenderState::DestBlend)] = uint32_t(Blend::One);
    state.render[uint32_t(RenderState::ZWriteEnable)] = 0;
    state.sampler[0][uint32_t(SamplerState::AddressU)] = uint32_t(TextureAddress::Clamp);
    state.sampler[0][uint32_t(SamplerState::AddressV)] = uint32_t(TextureAddress::Clamp);
    return state;
}

TEST(SpriteFootprint, TrimsOnlyWhereAZeroTexelLeavesTheTargetAsItWas) {
    auto texture = FixtureTexture();
    ASSERT_GT(SpriteReachFor(GlowState(texture)).levels, 0u) << "the glow sprite trims";
    struct Case {
        const char* name;
        void (*change)(DeviceState&);
    };
    const Case refused[] = {
        {"no blending", [](DeviceState& s) { s.render[uint32_t(RenderState::AlphaBlendEnable)] = 0; }},
        {"destination scaled by the source colour",
         [](DeviceState& s) { s.render[uint32_t(RenderState::DestBlend)] = uint32_t(Blend::InvSrcColor); }},
        {"minimum blend", [](DeviceState& s) { s.render[uint32_t(RenderState::BlendOp)] = uint32_t(BlendOp::Min); }},
        {"depth writes", [](DeviceState& s) { s.render[uint32_t(RenderState::ZWriteEnable)] = 1; }},
        {"stencil", [](DeviceState& s) { s.render[uint32_t(RenderState::StencilEnable)] = 1; }},
        {"texture added to diffuse",
         [](DeviceState& s) { s.stage[0][uint32_t(TextureStageState::ColorOp)] = uint32_t(TextureOp::Add); }},
        {"specular added", [](DeviceState& s) { s.render[uint32_t(RenderState::SpecularEnable)] = 1; }},
        {"border addressing",
         [](DeviceState& s) { s.sampler[0][uint32_t(SamplerState::AddressU)] = uint32_t(TextureAddress::Border); }},
        {"level bias", [](DeviceState& s) { s.sampler[0][uint32_t(SamplerState::MipMapLodBias)] = 0x3F800000u; }},
        {"a second texture", [](DeviceState& s) { s.textures[1] = s.textures[0]; }},
    };
    for (const Case& c : refused) {
        SCOPED_TRACE(c.name);
        DeviceState state = GlowState(texture);
        c.change(state);
        EXPECT_EQ(SpriteReachFor(state).levels, 0u);
    }
    // Inverse source alpha keeps the target only where the alpha is zero too: the alpha-only texel counts.
    DeviceState over = GlowState(texture);
    over.render[uint32_t(RenderState::DestBlend)] = uint32_t(Blend::InvSrcAlpha);
    SpriteReach reach = SpriteReachFor(over);
    ASSERT_GT(reach.levels, 0u);
    EXPECT_FLOAT_EQ(reach.boxes[0][2], 13.5f / 16);
    // No mip filter: level 0 only.
    DeviceState single = GlowState(texture);
    single.sampler[0][uint32_t(SamplerState::MipFilter)] = uint32_t(TextureFilter::None);
    EXPECT_EQ(SpriteReachFor(single).levels, 1u);
    // Pixels locked anew are looked at again.
    texture->MutablePixels(0, 0)[0] = 0x00FFFFFFu;
    texture->Touch();
    EXPECT_FLOAT_EQ(SpriteReachFor(GlowState(texture)).boxes[0][0], 0.0f);
}

}  // namespace
}  // namespace velor
