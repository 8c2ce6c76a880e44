// The scissor rectangle on a real headless device, at whole and fractional resolution scales: its
// defaults, and draws and clears kept inside it while the test is on.
#include <gtest/gtest.h>

#include "engine/gfx/device_controls.h"
#include "engine/gfx/pixel_scale.h"
#include "tests/gfx/render_fixture.h"

namespace velor {
namespace {

constexpr uint32_t kBlack = 0xFF000000u, kRed = 0xFFFF0000u, kGreen = 0xFF00FF00u, kWhite = 0xFFFFFFFFu;
constexpr Rect kWhole{0, 0, int32_t(kBackBufferWidth), int32_t(kBackBufferHeight)};
// Odd edges, so that at 1.875 some round up and some down.
constexpr Rect kBox{101, 51, 301, 203};

class ScissorRect : public test::RenderTest, public ::testing::WithParamInterface<float> {
protected:
    void SetUp() override {
        std::string error;
        test_ = test::CreateTestDevice(&error, GetParam());
        ASSERT_NE(test_.device, nullptr) << error;
        device_ = test_.device.get();
        width_ = ScaledEdge(int32_t(kBackBufferWidth), GetParam());
    }

    int Real(int32_t logical) const { return ScaledEdge(logical, GetParam()); }
    uint32_t At(const std::vector<uint32_t>& pixels, int x, int y) const { return test::PixelAt(pixels, x, y, width_); }

    // `inside` on every real pixel just within the box's edges, `outside` just beyond them.
    void ExpectBox(const Rect& box, uint32_t inside, uint32_t outside, const char* what) {
        auto pixels = ReadBackBuffer(*device_);
        const int l = Real(box.left), t = Real(box.top), r = Real(box.right), b = Real(box.bottom);
        const int midX = (l + r) / 2, midY = (t + b) / 2;
        EXPECT_EQ(At(pixels, l, midY), inside) << what << ": first column";
        EXPECT_EQ(At(pixels, r - 1, midY), inside) << what << ": last column";
        EXPECT_EQ(At(pixels, midX, t), inside) << what << ": first row";
        EXPECT_EQ(At(pixels, midX, b - 1), inside) << what << ": last row";
        EXPECT_EQ(At(pixels, l - 1, midY), outside) << what << ": column before";
        EXPECT_EQ(At(pixels, r, midY), outside) << what << ": column after";
        EXPECT_EQ(At(pixels, midX, t - 1), outside) << what << ": row above";
        EXPECT_EQ(At(pixels, midX, b), outside) << what << ": row below";
    }

    void DrawWholeTargetQuad(uint32_t colour) {
        device_->SetRenderState(RenderState::Lighting, 0);
        device_->SetRenderState(RenderState::ZEnable, 0);
        device_->SetRenderState(RenderState::CullMode, uint32_t(Cull::None));
        const test::ColorVertex quad[6] = {{-1, 1, 0.5f, colour}, {1, 1, 0.5f, colour},  {1, -1, 0.5f, colour},
                                           {-1, 1, 0.5f, colour}, {1, -1, 0.5f, colour}, {-1, -1, 0.5f, colour}};
        DrawColored(quad, 2);
    }

    int width_ = 0;
};

TEST_P(ScissorRect, IsTheWholeTargetAndOffUntilSetAndAgainAfterANewTargetOrReset) {
    auto expectDefaults = [&](const char* when) {
        Rect rect{1, 2, 3, 4};
        ASSERT_EQ(device_->GetScissorRect(&rect), Result::Ok);
        EXPECT_EQ(rect, kWhole) << when;
        uint32_t enabled = 7;
        device_->GetRenderState(RenderState::ScissorTestEnable, &enabled);
        EXPECT_EQ(enabled, 0u) << when;
    };
    expectDefaults("new device");
    ASSERT_EQ(device_->SetScissorRect(&kBox), Result::Ok);
    device_->SetRenderState(RenderState::ScissorTestEnable, 1);
    Rect rect;
    device_->GetScissorRect(&rect);
    EXPECT_EQ(rect, kBox);
    EXPECT_EQ(device_->SetScissorRect(nullptr), Result::InvalidCall);
    EXPECT_EQ(device_->GetScissorRect(nullptr), Result::InvalidCall);
    // A new render target brings the whole of it, as it brings a whole viewport.
    std::shared_ptr<Texture> target;
    ASSERT_EQ(device_->CreateTexture(256, 128, 1, Usage::RenderTarget, Format::A8R8G8B8, Pool::Default, &target),
              Result::Ok);
    std::shared_ptr<Surface> surface;
    ASSERT_EQ(target->GetSurfaceLevel(0, &surface), Result::Ok);
    ASSERT_EQ(device_->SetRenderTarget(0, surface), Result::Ok);
    device_->GetScissorRect(&rect);
    EXPECT_EQ(rect, (Rect{0, 0, 256, 128}));
    device_->SetScissorRect(&kBox);
    device_->SetRenderTarget(0, nullptr);
    device_->GetScissorRect(&rect);
    EXPECT_EQ(rect, kWhole) << "back to the back buffer";

    device_->SetScissorRect(&kBox);
    ASSERT_EQ(device_->Reset(PresentParameters{}), Result::Ok);
    expectDefaults("after Reset");

    // And a Reset really switched the test off: a clear covers the whole target again.
    device_->SetScissorRect(&kBox);
    device_->Clear(0, nullptr, Clear::Target, kRed, 1.0f, 0);
    auto pixels = ReadBackBuffer(*device_);
    EXPECT_EQ(At(pixels, 0, 0), kRed);
}

TEST_P(ScissorRect, ClearsKeepInsideItOnlyWhileTheTestIsOn) {
    device_->SetScissorRect(&kBox);
    device_->Clear(0, nullptr, Clear::Target, kBlack, 1.0f, 0);
    device_->SetRenderState(RenderState::ScissorTestEnable, 1);
    device_->Clear(0, nullptr, Clear::Target, kRed, 1.0f, 0);
    ExpectBox(kBox, kRed, kBlack, "scissored clear");

    // A clear rectangle and the viewport cut it further: only where all three meet is cleared.
    const Viewport vp{0, 0, 1024, 150, 0, 1};
    device_->SetViewport(&vp);
    const Rect rect{151, 61, 251, 768};
    device_->Clear(1, &rect, Clear::Target, kGreen, 1.0f, 0);
    ExpectBox(Rect{151, 61, 251, 150}, kGreen, kRed, "clear rectangle, viewport and scissor");

    // The measuring control ignores the test, and gives it back.
    const Viewport whole{0, 0, 1024, 768, 0, 1};
    device_->SetViewport(&whole);
    SetScissorTest(*device_, false);
    device_->Clear(0, nullptr, Clear::Target, kWhite, 1.0f, 0);
    ExpectBox(kBox, kWhite, kWhite, "scissor test ignored");
    SetScissorTest(*device_, true);
    device_->Clear(0, nullptr, Clear::Target, kRed, 1.0f, 0);
    ExpectBox(kBox, kRed, kWhite, "scissor test given back");

    device_->SetRenderState(RenderState::ScissorTestEnable, 0);
    device_->Clear(0, nullptr, Clear::Target, kGreen, 1.0f, 0);
    auto pixels = ReadBackBuffer(*device_);
    EXPECT_EQ(At(pixels, 0, 0), kGreen) << "the test off, the viewport's top-left corner";
}

TEST_P(ScissorRect, DrawsKeepInsideItAndAClearBetweenDrawsDoesNotMoveIt) {
    device_->Clear(0, nullptr, Clear::Target, kBlack, 1.0f, 0);
    device_->SetScissorRect(&kBox);
    device_->SetRenderState(RenderState::ScissorTestEnable, 1);
    DrawWholeTargetQuad(kWhite);
    ExpectBox(kBox, kWhite, kBlack, "scissored draw");

    // A clear of a smaller rectangle sets GL's scissor box for itself: the next draw has the device's.
    const Rect corner{101, 51, 120, 70};
    device_->Clear(1, &corner, Clear::Target, kRed, 1.0f, 0);
    DrawWholeTargetQuad(kGreen);
    ExpectBox(kBox, kGreen, kBlack, "draw after a clear");

    // A new rectangle between draws takes effect at the next draw.
    const Rect moved{401, 301, 603, 455};
    device_->SetScissorRect(&moved);
    DrawWholeTargetQuad(kRed);
    ExpectBox(moved, kRed, kBlack, "moved rectangle");
}

INSTANTIATE_TEST_SUITE_P(Scales, ScissorRect, ::testing::Values(1.0f, 1.875f),
                         [](const ::testing::TestParamInfo<float>& info) {
                             return info.param == 1.0f ? std::string("Scale1") : std::string("Scale1_875");
                         });

}  // namespace
}  // namespace velor
