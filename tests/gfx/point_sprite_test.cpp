// Point sprites: sized in pixels by Direct3D 9's formula, clamped, textured corner to corner.
#include <cmath>

#include "engine/gfx/device_controls.h"
#include "tests/gfx/render_fixture.h"

namespace velor {
namespace {

using test::RenderTest;

class PointSprites : public RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        if (HasFatalFailure()) return;
        UsePointSpriteView(0.1f);
    }

    // Width in pixels of the lit run through the sprite's centre row.
    int DrawAndMeasure(float distance) {
        device_->Clear(0, nullptr, Clear::Target, 0xFF000000u, 1.0f, 0);
        const test::ColorVertex point{0, 0, distance, 0xFFFFFFFFu};
        device_->SetFVF(Fvf::XYZ | Fvf::Diffuse);
        EXPECT_EQ(device_->DrawPrimitiveUP(PrimitiveType::PointList, 1, &point, sizeof point), Result::Ok);
        auto pixels = ReadBackBuffer(*device_);
        int lit = 0;
        for (int x = 0; x < int(kBackBufferWidth); ++x)
            if (test::PixelAt(pixels, x, 384) != 0xFF000000u) ++lit;
        return lit;
    }
};

TEST_F(PointSprites, SizeFollowsTheScalingFormula) {
    // size = viewport height · S · sqrt(1 / (A + B·d + C·d²)) = 768 · 0.1 / d here.
    for (float d : {1.0f, 2.0f, 3.0f}) {
        SCOPED_TRACE(d);
        EXPECT_NEAR(DrawAndMeasure(d), 76.8f / d, 1.5f);
    }
}

TEST_F(PointSprites, SizeNeverDropsBelowTheMinimum) {
    device_->SetRenderState(RenderState::PointSizeMin, FloatToBits(30.0f));
    EXPECT_NEAR(DrawAndMeasure(4.0f), 30.0f, 1.5f);  // the formula alone gives 19.2
    EXPECT_NEAR(DrawAndMeasure(1.0f), 76.8f, 1.5f);
}

TEST_F(PointSprites, SizeIsClampedToTheMaximumAndReachesPastGlPointLimits) {
    device_->SetRenderState(RenderState::PointSize, FloatToBits(1.0f));
    EXPECT_NEAR(DrawAndMeasure(2.0f), 384.0f, 1.5f) << "sprites larger than GL's 255-pixel points";
    device_->SetRenderState(RenderState::PointSizeMax, FloatToBits(100.0f));
    EXPECT_NEAR(DrawAndMeasure(2.0f), 100.0f, 1.5f);
}

TEST_F(PointSprites, MatchesTheHardwareMeasurement) {
    // Measured on Direct3D 9 hardware: a 128-pixel viewport, A = B = C = 1, eye-space position
    // (64, 64, 0.1) and size 32 give a 45-pixel sprite.
    Viewport vp{0, 0, 128, 128, 0, 1};
    device_->SetViewport(&vp);
    Matrix ortho;
    MatrixOrthoOffCenterLH(&ortho, 0, 128, 0, 128, 0, 1);
    device_->SetTransform(TransformState::Projection, &ortho);
    device_->SetRenderState(RenderState::PointSize, FloatToBits(32.0f));
    device_->SetRenderState(RenderState::PointScaleA, FloatToBits(1.0f));
    device_->SetRenderState(RenderState::PointScaleB, FloatToBits(1.0f));
    device_->SetRenderState(RenderState::PointScaleC, FloatToBits(1.0f));
    device_->Clear(0, nullptr, Clear::Target, 0xFF000000u, 1.0f, 0);
    const test::ColorVertex point{64, 64, 0.1f, 0xFFFFFFFFu};
    device_->SetFVF(Fvf::XYZ | Fvf::Diffuse);
    ASSERT_EQ(device_->DrawPrimitiveUP(PrimitiveType::PointList, 1, &point, sizeof point), Result::Ok);
    auto pixels = ReadBackBuffer(*device_);
    int lit = 0;
    for (int x = 0; x < 128; ++x)
        if (test::PixelAt(pixels, x, 64) != 0xFF000000u) ++lit;
    EXPECT_NEAR(lit, 45, 1);
}

TEST_F(PointSprites, TextureSpansTheSquareFromTopLeft) {
    std::shared_ptr<Texture> texture;
    ASSERT_EQ(device_->CreateTexture(2, 2, 1, 0, Format::A8R8G8B8, Pool::Managed, &texture), Result::Ok);
    LockedRect locked;
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), Result::Ok);
    auto* texels = static_cast<uint32_t*>(locked.bits);
    texels[0] = 0xFFFF0000u;  // top-left red
    texels[1] = 0xFF00FF00u;  // top-right green
    texels[2] = 0xFF0000FFu;  // bottom-left blue
    texels[3] = 0xFFFFFFFFu;  // bottom-right white
    texture->UnlockRect(0);
    device_->SetTexture(0, texture);
    DrawAndMeasure(1.0f);  // 76.8 pixels about (512, 384)
    auto pixels = ReadBackBuffer(*device_);
    EXPECT_EQ(test::PixelAt(pixels, 512 - 20, 384 - 20), 0xFFFF0000u);
    EXPECT_EQ(test::PixelAt(pixels, 512 + 20, 384 - 20), 0xFF00FF00u);
    EXPECT_EQ(test::PixelAt(pixels, 512 - 20, 384 + 20), 0xFF0000FFu);
    EXPECT_EQ(test::PixelAt(pixels, 512 + 20, 384 + 20), 0xFFFFFFFFu);
}

}  // namespace
}  // namespace velor
