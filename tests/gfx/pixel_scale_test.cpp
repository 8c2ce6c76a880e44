// A device at a resolution scale: the caller still sees a 1024 x 768 back buffer, while every pixel
// measure reaches GL k times as large each way. Besides 2, the cases run at the fractional scales of a
// 1080p screen (1.875) and of a 4K capture (2.8125), where a scaled edge must be rounded to the nearest
// real pixel edge: the band's rows below fall half a pixel or more past a whole pixel there, so an edge
// truncated instead lands one real pixel short.
#include "engine/gfx/pixel_scale.h"

#include <ostream>
#include <tuple>

#include "engine/gfx/device_controls.h"
#include "tests/gfx/render_fixture.h"

namespace velor {
namespace {

struct ScaleCase {
    const char* name;
    float scale;
    int realWidth, realHeight;
    // Real edges of back-buffer coordinates 100 and 668: the demo's letterbox rows, and a column.
    int edge100, edge668;
};

void PrintTo(const ScaleCase& c, std::ostream* os) { *os << c.name << " (" << c.scale << ")"; }

const ScaleCase kScales[] = {
    {"Two", 2.0f, 2048, 1536, 200, 1336},
    {"FullHd", 1.875f, 1920, 1440, 188, 1253},      // 187.5 and 1252.5
    {"UltraHd", 2.8125f, 2880, 2160, 281, 1879},    // 281.25 and 1878.75
};

class ScaledDevice : public test::RenderTest, public ::testing::WithParamInterface<ScaleCase> {
protected:
    void SetUp() override {
        const ScaleCase& c = GetParam();
        scale_ = c.scale, realWidth_ = c.realWidth, realHeight_ = c.realHeight;
        std::string error;
        test_ = test::CreateTestDevice(&error, scale_);
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

    float scale_ = 0;
    int realWidth_ = 0, realHeight_ = 0;
};

TEST_P(ScaledDevice, TheCallerSeesTheBackBufferAtItsOwnSize) {
    EXPECT_EQ(PixelScale(*device_), scale_);
    Viewport vp;
    device_->GetViewport(&vp);
    EXPECT_EQ(vp.width, kBackBufferWidth);
    EXPECT_EQ(vp.height, kBackBufferHeight);
    EXPECT_EQ(ReadBackBuffer(*device_).size(), size_t(realWidth_) * realHeight_);
}

// The demo's letterbox: a viewport of rows 100 to 667 cleared white on black covers the real rows from
// the edge of 100 to the edge of 668 (200 to 1335 at scale 2).
TEST_P(ScaledDevice, ViewportsAndClearsCoverTheScaledRows) {
    const int top = GetParam().edge100, bottom = GetParam().edge668;
    device_->Clear(0, nullptr, Clear::Target, 0xFF000000u, 1.0f, 0);
    Viewport band{0, 100, 1024, 568, 0, 1};
    device_->SetViewport(&band);
    device_->Clear(0, nullptr, Clear::Target, 0xFFFFFFFFu, 1.0f, 0);
    auto pixels = ReadBackBuffer(*device_);
    for (int row : {0, top - 1, bottom, realHeight_ - 1}) EXPECT_EQ(LitInRow(pixels, row, realWidth_), 0) << row;
    for (int row : {top, realHeight_ / 2, bottom - 1}) EXPECT_EQ(LitInRow(pixels, row, realWidth_), realWidth_) << row;
}

// Two clear rectangles that share the column 668 meet at its real edge, with no gap and no overlap.
TEST_P(ScaledDevice, NeighbouringClearRectanglesMeetAtTheScaledEdge) {
    const int edge = GetParam().edge668;
    device_->Clear(0, nullptr, Clear::Target, 0xFF000000u, 1.0f, 0);
    const Rect left{0, 0, 668, 768}, right{668, 0, 1024, 768};
    device_->Clear(1, &left, Clear::Target, 0xFFFF0000u, 1.0f, 0);
    device_->Clear(1, &right, Clear::Target, 0xFF0000FFu, 1.0f, 0);
    auto pixels = ReadBackBuffer(*device_);
    for (int row : {0, realHeight_ / 2, realHeight_ - 1}) {
        int red = 0, blue = 0, firstBlue = -1;
        for (int x = 0; x < realWidth_; ++x) {
            uint32_t pixel = test::PixelAt(pixels, x, row, realWidth_);
            if (pixel == 0xFFFF0000u) ++red;
            if (pixel == 0xFF0000FFu && blue++ == 0) firstBlue = x;
        }
        EXPECT_EQ(red, edge) << row;
        EXPECT_EQ(blue, realWidth_ - edge) << row;
        EXPECT_EQ(firstBlue, edge) << row;
    }
}

// Geometry through the projection that meets the viewport's edges (the post passes' screen quad, drawn
// into the letterbox) covers its first and last real rows: the half-pixel shift is half a
// real pixel, as a device drawing that many pixels makes it, not half a back-buffer pixel, which would
// leave the band's first real row black.
TEST_P(ScaledDevice, ProjectedQuadOnTheViewportEdgesCoversItsFirstRealRow) {
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
    const int top = GetParam().edge100, bottom = GetParam().edge668;
    for (int row : {top - 1, bottom}) EXPECT_EQ(LitInRow(pixels, row, realWidth_), 0) << row;
    for (int row : {top, top + 1, realHeight_ / 2, bottom - 2, bottom - 1})
        EXPECT_EQ(LitInRow(pixels, row, realWidth_), realWidth_) << row;
}

// A pretransformed quad on Direct3D's pixel edges (-0.5 to 1023.5) covers every real pixel once:
// the half-pixel convention scales with the pixels.
TEST_P(ScaledDevice, PretransformedQuadOnPixelEdgesCoversEveryRealPixel) {
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
    for (int row : {0, 1, realHeight_ / 2, realHeight_ - 2, realHeight_ - 1})
        EXPECT_EQ(LitInRow(pixels, row, realWidth_), realWidth_) << row;
}

TEST_P(ScaledDevice, PointSpriteFootprintIsScaleTimesAsWide) {
    UsePointSpriteView(0.1f);
    device_->Clear(0, nullptr, Clear::Target, 0xFF000000u, 1.0f, 0);
    const test::ColorVertex point{0, 0, 2.0f, 0xFFFFFFFFu};
    device_->SetFVF(Fvf::XYZ | Fvf::Diffuse);
    ASSERT_EQ(device_->DrawPrimitiveUP(PrimitiveType::PointList, 1, &point, sizeof point), Result::Ok);
    // 768 · 0.1 / 2 = 38.4 back-buffer pixels (see point_sprite_test), so 38.4 k real ones.
    EXPECT_NEAR(LitInRow(ReadBackBuffer(*device_), realHeight_ / 2, realWidth_), 38.4 * scale_, 2.0);
}

// Targets at the back buffer's size stand in for it and get its real pixels; others keep theirs.
TEST_P(ScaledDevice, TargetsAtTheBackBufferSizeAreScaled) {
    std::shared_ptr<Texture> scene, small;
    ASSERT_EQ(device_->CreateTexture(1024, 768, 1, Usage::RenderTarget, Format::A8R8G8B8, Pool::Default, &scene),
              Result::Ok);
    ASSERT_EQ(device_->CreateTexture(256, 256, 1, Usage::RenderTarget, Format::A8R8G8B8, Pool::Default, &small),
              Result::Ok);
    SurfaceDesc desc;
    scene->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.width, 1024u);
    for (auto& [texture, width, height] : {std::tuple{scene, realWidth_, realHeight_}, std::tuple{small, 256, 256}}) {
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

INSTANTIATE_TEST_SUITE_P(Scales, ScaledDevice, ::testing::ValuesIn(kScales),
                         [](const ::testing::TestParamInfo<ScaleCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velor
