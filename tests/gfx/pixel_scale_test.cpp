// A device at resolution scale 2: the caller still sees a 1024 x 768 back buffer, while every pixel
// measure reaches GL twice as large each way.
#include "engine/gfx/pixel_scale.h"

#include <tuple>

#include "engine/gfx/device_controls.h"
#include "tests/gfx/render_fixture.h"

namespace velor {
namespace {

constexpr float kScale = 2.0f;
constexpr int kRealWidth = 2048, kRealHeight = 1536;

class ScaledDevice : public test::RenderTest {
protected:
    void SetUp() override {
        std::string error;
        test_ = test::CreateTestDevice(&error, kScale);
        ASSERT_NE(test_.device, nullptr) << error;
        device_ = test_.device.get();
    }

    // White pixels along a real row of a read-back.
    static int LitInRow(const std::vector<uint32_t>& pixels, int row, int width) {
        int lit = 0;
        for (int x = 0; x < width; ++x)
            if (test::PixelAt(pixels, x, row, width) == 0xFFFFFFFFu) ++lit;
        return lit;
    }
};

TEST_F(ScaledDevice, TheCallerSeesTheBackBufferAtItsOwnSize) {
    EXPECT_EQ(PixelScale(*device_), kScale);
    Viewport vp;
    device_->GetViewport(&vp);
    EXPECT_EQ(vp.width, kBackBufferWidth);
    EXPECT_EQ(vp.height, kBackBufferHeight);
    EXPECT_EQ(ReadBackBuffer(*device_).size(), size_t(kRealWidth) * kRealHeight);
}

// The demo's letterbox: a viewport of rows 100 to 667 cleared white on black is rows 200 to 1335.
TEST_F(ScaledDevice, ViewportsAndClearsCoverTheScaledRows) {
    device_->Clear(0, nullptr, Clear::Target, 0xFF000000u, 1.0f, 0);
    Viewport band{0, 100, 1024, 568, 0, 1};
    device_->SetViewport(&band);
    device_->Clear(0, nullptr, Clear::Target, 0xFFFFFFFFu, 1.0f, 0);
    auto pixels = ReadBackBuffer(*device_);
    for (int row : {0, 199, 1336, 1535}) EXPECT_EQ(LitInRow(pixels, row, kRealWidth), 0) << row;
    for (int row : {200, 700, 1335}) EXPECT_EQ(LitInRow(pixels, row, kRealWidth), kRealWidth) << row;
}

// Geometry through the projection that meets the viewport's edges (the post passes' screen quad, drawn
// into the letterbox) covers its first and last real rows and columns: the half-pixel shift is half a
// real pixel, as a device drawing that many pixels makes it, not half a back-buffer pixel, which would
// leave the band's first real row black.
TEST_F(ScaledDevice, ProjectedQuadOnTheViewportEdgesCoversItsFirstRealRow) {
    device_->Clear(0, nullptr, Clear::Target, 0xFF000000u, 1.0f, 0);
    Viewport band{0, 100, 1024, 568, 0, 1};
    device_->SetViewport(&band);
    device_->SetRenderState(RenderState::Lighting, 0);
    device_->SetRenderState(RenderState::ZEnable, 0);
    device_->SetRenderState(RenderState::CullMode, uint32_t(Cull::None));
    const uint32_t white = 0xFFFFFFFFu;
    const test::ColorVertex quad[6] = {{-1, 1, 0.5f, white}, {1, 1, 0.5f, white},  {1, -1, 0.5f, white},
                                 {-1, 1, 0.5f, white}, {1, -1, 0.5f, white}, {-1, -1, 0.5f, white}};
    DrawColored(quad, 2);
    auto pixels = ReadBackBuffer(*device_);
    for (int row : {199, 1336}) EXPECT_EQ(LitInRow(pixels, row, kRealWidth), 0) << row;
    for (int row : {200, 201, 700, 1334, 1335}) EXPECT_EQ(LitInRow(pixels, row, kRealWidth), kRealWidth) << row;
}

// A pretransformed quad on Direct3D's pixel edges (-0.5 to 1023.5) covers every real pixel once:
// the half-pixel convention scales with the pixels.
TEST_F(ScaledDevice, PretransformedQuadOnPixelEdgesCoversEveryRealPixel) {
    device_->Clear(0, nullptr, Clear::Target, 0xFF000000u, 1.0f, 0);
    struct Rhw {
        float x, y, z, rhw;
        uint32_t color;
    };
    const float l = -0.5f, t = -0.5f, r = 1023.5f, b = 767.5f;
    const Rhw quad[6] = {{l, t, 0, 1, 0xFFFFFFFFu}, {r, t, 0, 1, 0xFFFFFFFFu}, {r, b, 0, 1, 0xFFFFFFFFu},
                         {l, t, 0, 1, 0xFFFFFFFFu}, {r, b, 0, 1, 0xFFFFFFFFu}, {l, b, 0, 1, 0xFFFFFFFFu}};
    device_->SetRenderState(RenderState::ZEnable, 0);
    device_->SetRenderState(RenderState::CullMode, 1);
    device_->SetFVF(Fvf::XYZRHW | Fvf::Diffuse);
    ASSERT_EQ(device_->DrawPrimitiveUP(PrimitiveType::TriangleList, 2, quad, sizeof(Rhw)), Result::Ok);
    auto pixels = ReadBackBuffer(*device_);
    for (int row : {0, 1, 767, 1534, 1535}) EXPECT_EQ(LitInRow(pixels, row, kRealWidth), kRealWidth) << row;
}

TEST_F(ScaledDevice, PointSpriteFootprintIsTwiceAsWide) {
    UsePointSpriteView(0.1f);
    device_->Clear(0, nullptr, Clear::Target, 0xFF000000u, 1.0f, 0);
    const test::ColorVertex point{0, 0, 2.0f, 0xFFFFFFFFu};
    device_->SetFVF(Fvf::XYZ | Fvf::Diffuse);
    ASSERT_EQ(device_->DrawPrimitiveUP(PrimitiveType::PointList, 1, &point, sizeof point), Result::Ok);
    // 768 · 0.1 / 2 = 38.4 back-buffer pixels (see point_sprite_test), so 76.8 real ones.
    EXPECT_NEAR(LitInRow(ReadBackBuffer(*device_), kRealHeight / 2, kRealWidth), 76.8, 2.0);
}

// Targets at the back buffer's size stand in for it and get its real pixels; others keep theirs.
TEST_F(ScaledDevice, TargetsAtTheBackBufferSizeAreScaled) {
    std::shared_ptr<Texture> scene, small;
    ASSERT_EQ(device_->CreateTexture(1024, 768, 1, Usage::RenderTarget, Format::A8R8G8B8, Pool::Default, &scene),
              Result::Ok);
    ASSERT_EQ(device_->CreateTexture(256, 256, 1, Usage::RenderTarget, Format::A8R8G8B8, Pool::Default, &small),
              Result::Ok);
    SurfaceDesc desc;
    scene->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.width, 1024u);
    for (auto& [texture, width, height] : {std::tuple{scene, kRealWidth, kRealHeight}, std::tuple{small, 256, 256}}) {
        std::shared_ptr<Surface> surface;
        texture->GetSurfaceLevel(0, &surface);
        device_->SetRenderTarget(0, surface);
        Viewport half{0, 0, texture->LevelWidth(0) / 2, texture->LevelHeight(0), 0, 1};
        device_->SetViewport(&half);
        device_->Clear(0, nullptr, Clear::Target, 0xFFFFFFFFu, 1.0f, 0);
        auto pixels = ReadRenderTarget(*device_, texture);
        ASSERT_EQ(pixels.size(), size_t(width) * height);
        EXPECT_EQ(LitInRow(pixels, height / 2, width), width / 2);
    }
    device_->SetRenderTarget(0, nullptr);
}

}  // namespace
}  // namespace velor
