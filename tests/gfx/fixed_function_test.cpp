// The fixed-function emulation against Direct3D 9's equations: lighting, culling, stencil.
#include <cmath>

#include "engine/gfx/device_controls.h"
#include "tests/gfx/render_fixture.h"

namespace velor {
namespace {

using test::RenderTest;

class FixedFunction : public RenderTest {};

uint8_t Channel(float f) { return uint8_t(std::lround(std::fmin(std::fmax(f, 0.0f), 1.0f) * 255.0f)); }

struct LightingCase {
    const char* name;
    int lights;
    bool lighting;
};

TEST_F(FixedFunction, DirectionalLightsFollowTheD3D9Equation) {
    // Ma·(ambient + Σ La) + Md·Σ Ld·max(0, N·L) + Me, saturated, for a triangle facing the camera.
    const test::LitVertex tri[3] = {{-0.5f, -0.5f, 0.5f, 0, 0, -1}, {0, 0.5f, 0.5f, 0, 0, -1}, {0.5f, -0.5f, 0.5f, 0, 0, -1}};
    Material material;
    material.diffuse = {0.5f, 0.25f, 1.0f, 1.0f};
    material.ambient = {1.0f, 1.0f, 1.0f, 1.0f};
    material.emissive = {0.0f, 0.0f, 0.1f, 0.0f};
    device_->SetMaterial(&material);
    device_->SetRenderState(RenderState::Ambient, 0x00202020u);

    Light front;
    front.type = LightType::Directional;
    front.diffuse = {1, 1, 1, 1};
    front.direction = {0, 0, 1};
    Light side;
    side.type = LightType::Directional;
    side.diffuse = {0.2f, 0.4f, 0.0f, 1};
    side.ambient = {0.1f, 0.0f, 0.0f, 0};
    side.direction = {1, 0, 1};  // N·L = cos 45°

    const LightingCase cases[] = {{"one light", 1, true}, {"two lights", 2, true}, {"lighting off", 1, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        device_->Clear(0, nullptr, Clear::Target | Clear::ZBuffer, 0xFF000000u, 1.0f, 0);
        device_->SetLight(0, &front);
        device_->LightEnable(0, true);
        device_->SetLight(1, &side);
        device_->LightEnable(1, c.lights > 1);
        device_->SetRenderState(RenderState::Lighting, c.lighting ? 1 : 0);
        device_->SetFVF(Fvf::XYZ | Fvf::Normal);
        ASSERT_EQ(device_->DrawPrimitiveUP(PrimitiveType::TriangleList, 1, tri, sizeof(test::LitVertex)), Result::Ok);

        float ambient = 32.0f / 255.0f + (c.lights > 1 ? 0.1f : 0.0f);
        float r = ambient + 0.5f * 1.0f, g = 32.0f / 255.0f + 0.25f, b = 32.0f / 255.0f + 1.0f + 0.1f;
        if (c.lights > 1) {
            float ndotl = std::sqrt(0.5f);
            r += 0.5f * 0.2f * ndotl;
            g += 0.25f * 0.4f * ndotl;
        }
        uint32_t expected = c.lighting ? ColorArgb(255, Channel(r), Channel(g), Channel(b)) : 0xFFFFFFFFu;
        auto pixels = ReadBackBuffer(*device_);
        EXPECT_LE(test::ColorDistance(test::PixelAt(pixels, 512, 400), expected), 2)
            << std::hex << test::PixelAt(pixels, 512, 400) << " vs " << expected;
    }
}

TEST_F(FixedFunction, UnboundStageDrawsTheMaterialColour) {
    const test::LitVertex tri[3] = {{-0.5f, -0.5f, 0.5f, 0, 0, -1}, {0, 0.5f, 0.5f, 0, 0, -1}, {0.5f, -0.5f, 0.5f, 0, 0, -1}};
    Material material;
    material.emissive = {0.25f, 0.5f, 0.75f, 1.0f};
    material.diffuse = {0, 0, 0, 1};
    device_->SetMaterial(&material);
    device_->SetTexture(0, nullptr);
    device_->SetFVF(Fvf::XYZ | Fvf::Normal);
    device_->DrawPrimitiveUP(PrimitiveType::TriangleList, 1, tri, sizeof(test::LitVertex));
    auto pixels = ReadBackBuffer(*device_);
    EXPECT_LE(test::ColorDistance(test::PixelAt(pixels, 512, 400), 0xFF4080BFu), 2);
}

struct CullCase {
    uint32_t mode;
    bool clockwiseKept, counterClockwiseKept;
};

TEST_F(FixedFunction, CullModesKeepTheFacesDirect3DKeeps) {
    const CullCase cases[] = {
        {uint32_t(Cull::CCW), true, false}, {uint32_t(Cull::CW), false, true},
        {uint32_t(Cull::None), true, true}, {0, true, true},  // a raw 0 culls nothing
    };
    device_->SetRenderState(RenderState::Lighting, 0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        device_->Clear(0, nullptr, Clear::Target | Clear::ZBuffer, 0xFF000000u, 1.0f, 0);
        device_->SetRenderState(RenderState::CullMode, c.mode);
        test::ColorVertex tris[6];
        ClockwiseTriangle(-0.5f, 0, 0.3f, 0.5f, 0xFFFF0000u, tris);
        ClockwiseTriangle(0.5f, 0, 0.3f, 0.5f, 0xFF00FF00u, tris + 3);
        std::swap(tris[4], tris[5]);  // the right one turned counter-clockwise
        DrawColored(tris, 2);
        auto pixels = ReadBackBuffer(*device_);
        EXPECT_EQ(test::PixelAt(pixels, PixelX(-0.5f), PixelY(-0.1f)) == 0xFFFF0000u, c.clockwiseKept);
        EXPECT_EQ(test::PixelAt(pixels, PixelX(0.5f), PixelY(-0.1f)) == 0xFF00FF00u, c.counterClockwiseKept);
    }
}

TEST_F(FixedFunction, TwoSidedStencilCountsFrontAndBackFacesApart) {
    device_->SetRenderState(RenderState::Lighting, 0);
    device_->SetRenderState(RenderState::CullMode, uint32_t(Cull::None));
    device_->SetRenderState(RenderState::ZWriteEnable, 0);
    device_->SetRenderState(RenderState::ColorWriteEnable, 0);
    device_->SetRenderState(RenderState::StencilEnable, 1);
    device_->SetRenderState(RenderState::TwoSidedStencilMode, 1);
    device_->SetRenderState(RenderState::StencilFunc, uint32_t(Cmp::Always));
    device_->SetRenderState(RenderState::StencilPass, uint32_t(StencilOp::Incr));
    device_->SetRenderState(RenderState::CcwStencilFunc, uint32_t(Cmp::Always));
    device_->SetRenderState(RenderState::CcwStencilPass, uint32_t(StencilOp::Decr));
    test::ColorVertex tris[9];
    ClockwiseTriangle(-0.5f, 0, 0.3f, 0.5f, 0xFFFFFFFFu, tris);      // front, twice: +2
    ClockwiseTriangle(-0.5f, 0, 0.3f, 0.5f, 0xFFFFFFFFu, tris + 3);
    ClockwiseTriangle(0.5f, 0, 0.3f, 0.5f, 0xFFFFFFFFu, tris + 6);   // back, once: 0 - 1 wraps to 255
    std::swap(tris[7], tris[8]);
    DrawColored(tris, 3);

    // Show the counts: red where the stencil is 2, green where it is 255.
    device_->SetRenderState(RenderState::ColorWriteEnable, 0xF);
    device_->SetRenderState(RenderState::TwoSidedStencilMode, 0);
    device_->SetRenderState(RenderState::StencilPass, uint32_t(StencilOp::Keep));
    device_->SetRenderState(RenderState::StencilFunc, uint32_t(Cmp::Equal));
    const test::ColorVertex screen[6] = {{-1, -1, 0.5f, 0}, {-1, 1, 0.5f, 0}, {1, -1, 0.5f, 0},
                                         {1, -1, 0.5f, 0},  {-1, 1, 0.5f, 0}, {1, 1, 0.5f, 0}};
    test::ColorVertex red[6], green[6];
    for (int i = 0; i < 6; ++i) red[i] = screen[i], red[i].color = 0xFFFF0000u, green[i] = screen[i], green[i].color = 0xFF00FF00u;
    device_->SetRenderState(RenderState::StencilRef, 2);
    DrawColored(red, 2);
    device_->SetRenderState(RenderState::StencilRef, 255);
    DrawColored(green, 2);
    auto pixels = ReadBackBuffer(*device_);
    EXPECT_EQ(test::PixelAt(pixels, PixelX(-0.5f), PixelY(-0.1f)), 0xFFFF0000u);
    EXPECT_EQ(test::PixelAt(pixels, PixelX(0.5f), PixelY(-0.1f)), 0xFF00FF00u);
    EXPECT_EQ(test::PixelAt(pixels, PixelX(0.0f), PixelY(0.8f)), 0xFF000000u) << "stencil 0 elsewhere";
}

TEST_F(FixedFunction, StencilOnlyClearLeavesColourAndDepth) {
    device_->Clear(0, nullptr, Clear::Target | Clear::ZBuffer, 0xFF0000FFu, 0.5f, 0);
    device_->Clear(0, nullptr, Clear::Stencil, 0xFFFFFFFFu, 1.0f, 7);
    auto pixels = ReadBackBuffer(*device_);
    EXPECT_EQ(test::PixelAt(pixels, 10, 10), 0xFF0000FFu) << "colour kept";
    // Depth kept at 0.5: a triangle behind it fails the test, one in front passes.
    device_->SetRenderState(RenderState::Lighting, 0);
    test::ColorVertex tris[6];
    ClockwiseTriangle(-0.5f, 0, 0.3f, 0.7f, 0xFFFF0000u, tris);
    ClockwiseTriangle(0.5f, 0, 0.3f, 0.3f, 0xFF00FF00u, tris + 3);
    DrawColored(tris, 2);
    pixels = ReadBackBuffer(*device_);
    EXPECT_EQ(test::PixelAt(pixels, PixelX(-0.5f), PixelY(-0.1f)), 0xFF0000FFu);
    EXPECT_EQ(test::PixelAt(pixels, PixelX(0.5f), PixelY(-0.1f)), 0xFF00FF00u);
    // And the stencil holds 7.
    device_->SetRenderState(RenderState::StencilEnable, 1);
    device_->SetRenderState(RenderState::StencilFunc, uint32_t(Cmp::Equal));
    device_->SetRenderState(RenderState::StencilRef, 7);
    device_->SetRenderState(RenderState::ZEnable, 0);
    test::ColorVertex white[3];
    ClockwiseTriangle(0, 0.5f, 0.2f, 0.5f, 0xFFFFFFFFu, white);
    DrawColored(white, 1);
    pixels = ReadBackBuffer(*device_);
    EXPECT_EQ(test::PixelAt(pixels, PixelX(0.0f), PixelY(0.4f)), 0xFFFFFFFFu);
}

// A stencil split as the shadow passes split it: counts in the low seven bits, kept modulo 128 by a
// write mask in two-sided mode, and a mark in bit 0x80 set by Invert under a write mask of its own.
TEST_F(FixedFunction, StencilWriteMasksKeepTheBitsOutsideThem) {
    device_->SetRenderState(RenderState::Lighting, 0);
    device_->SetRenderState(RenderState::CullMode, uint32_t(Cull::None));
    device_->SetRenderState(RenderState::ZWriteEnable, 0);
    device_->SetRenderState(RenderState::ColorWriteEnable, 0);
    device_->SetRenderState(RenderState::StencilEnable, 1);
    device_->SetRenderState(RenderState::TwoSidedStencilMode, 1);
    device_->SetRenderState(RenderState::StencilWriteMask, 0x7F);
    device_->SetRenderState(RenderState::StencilFunc, uint32_t(Cmp::Always));
    device_->SetRenderState(RenderState::StencilPass, uint32_t(StencilOp::Incr));
    device_->SetRenderState(RenderState::CcwStencilFunc, uint32_t(Cmp::Always));
    device_->SetRenderState(RenderState::CcwStencilPass, uint32_t(StencilOp::Decr));
    test::ColorVertex tris[6];
    ClockwiseTriangle(-0.5f, 0, 0.3f, 0.5f, 0xFFFFFFFFu, tris);      // front: 0 + 1
    ClockwiseTriangle(0.5f, 0, 0.3f, 0.5f, 0xFFFFFFFFu, tris + 3);   // back: 0 - 1 is 0xFF, masked 0x7F
    std::swap(tris[4], tris[5]);
    DrawColored(tris, 2);

    // Mark what is still 0 with bit 0x80, leaving the counts as they are.
    device_->SetRenderState(RenderState::TwoSidedStencilMode, 0);
    device_->SetRenderState(RenderState::StencilWriteMask, 0x80);
    device_->SetRenderState(RenderState::StencilFunc, uint32_t(Cmp::Equal));
    device_->SetRenderState(RenderState::StencilRef, 0);
    device_->SetRenderState(RenderState::StencilPass, uint32_t(StencilOp::Invert));
    const test::ColorVertex screen[6] = {{-1, -1, 0.5f, 0}, {-1, 1, 0.5f, 0}, {1, -1, 0.5f, 0},
                                         {1, -1, 0.5f, 0},  {-1, 1, 0.5f, 0}, {1, 1, 0.5f, 0}};
    DrawColored(screen, 2);

    // Show the values: red where the stencil is 1, green where 0x7F, blue where 0x80.
    device_->SetRenderState(RenderState::ColorWriteEnable, 0xF);
    device_->SetRenderState(RenderState::StencilPass, uint32_t(StencilOp::Keep));
    const struct {
        uint32_t value;
        Color color;
    } shows[] = {{1, 0xFFFF0000u}, {0x7F, 0xFF00FF00u}, {0x80, 0xFF0000FFu}};
    for (const auto& show : shows) {
        test::ColorVertex quad[6];
        for (int i = 0; i < 6; ++i) quad[i] = screen[i], quad[i].color = show.color;
        device_->SetRenderState(RenderState::StencilRef, show.value);
        DrawColored(quad, 2);
    }
    auto pixels = ReadBackBuffer(*device_);
    EXPECT_EQ(test::PixelAt(pixels, PixelX(-0.5f), PixelY(-0.1f)), 0xFFFF0000u) << "counted up, not marked";
    EXPECT_EQ(test::PixelAt(pixels, PixelX(0.5f), PixelY(-0.1f)), 0xFF00FF00u) << "counted down within the mask";
    EXPECT_EQ(test::PixelAt(pixels, PixelX(0.0f), PixelY(0.8f)), 0xFF0000FFu) << "only the mark elsewhere";
}

// A clear writes every bit whatever the masks say; the draws after it still write only what the
// masks allow, though no state changed in between.
TEST_F(FixedFunction, WriteMasksHoldForDrawsAfterAClear) {
    device_->SetRenderState(RenderState::Lighting, 0);
    device_->SetRenderState(RenderState::ColorWriteEnable, 0x1 | 0x8);  // red and alpha
    test::ColorVertex white[3];
    ClockwiseTriangle(0, 0, 0.3f, 0.5f, 0xFFFFFFFFu, white);
    DrawColored(white, 1);
    device_->Clear(0, nullptr, Clear::Target | Clear::ZBuffer | Clear::Stencil, 0xFF000000u, 1.0f, 0);
    DrawColored(white, 1);
    auto pixels = ReadBackBuffer(*device_);
    EXPECT_EQ(test::PixelAt(pixels, PixelX(0.0f), PixelY(-0.1f)), 0xFFFF0000u);
}

}  // namespace
}  // namespace velor
