// Clears and viewports on a real headless device, read back from the back buffer.
#include <gtest/gtest.h>

#include "engine/gfx/device_controls.h"
#include "tests/support/gl_test_device.h"

namespace velor {
namespace {

class DeviceClear : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        test_ = test::CreateTestDevice(&error);
        ASSERT_NE(test_.device, nullptr) << error;
        device_ = test_.device.get();
    }
    test::TestDevice test_;
    Device* device_ = nullptr;
};

TEST_F(DeviceClear, ClearColoursReadBackExactly) {
    const Color colours[] = {0xFF000000u, 0xFFFFFFFFu, 0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFF123456u};
    for (Color colour : colours) {
        ASSERT_EQ(device_->Clear(0, nullptr, Clear::Target, colour, 1.0f, 0), Result::Ok);
        auto pixels = ReadBackBuffer(*device_);
        EXPECT_EQ(test::PixelAt(pixels, 0, 0), colour);
        EXPECT_EQ(test::PixelAt(pixels, 1023, 767), colour);
        EXPECT_EQ(test::PixelAt(pixels, 512, 384), colour);
    }
}

TEST_F(DeviceClear, ClearCoversOnlyTheViewport) {
    device_->Clear(0, nullptr, Clear::Target, 0xFF000000u, 1.0f, 0);
    Viewport letterbox{0, 100, 1024, 568, 0, 1};
    device_->SetViewport(&letterbox);
    device_->Clear(0, nullptr, Clear::Target, 0xFFFF0000u, 1.0f, 0);
    auto pixels = ReadBackBuffer(*device_);
    EXPECT_EQ(test::PixelAt(pixels, 512, 99), 0xFF000000u) << "row above the letterbox";
    EXPECT_EQ(test::PixelAt(pixels, 512, 100), 0xFFFF0000u) << "first row of the letterbox";
    EXPECT_EQ(test::PixelAt(pixels, 512, 667), 0xFFFF0000u) << "last row of the letterbox";
    EXPECT_EQ(test::PixelAt(pixels, 512, 668), 0xFF000000u) << "row below the letterbox";
}

TEST_F(DeviceClear, ClearRectanglesAreCutByTheViewport) {
    device_->Clear(0, nullptr, Clear::Target, 0xFF000000u, 1.0f, 0);
    Viewport vp{100, 100, 200, 200, 0, 1};
    device_->SetViewport(&vp);
    Rect rect{0, 0, 150, 150};
    device_->Clear(1, &rect, Clear::Target, 0xFF00FF00u, 1.0f, 0);
    auto pixels = ReadBackBuffer(*device_);
    EXPECT_EQ(test::PixelAt(pixels, 99, 120), 0xFF000000u);
    EXPECT_EQ(test::PixelAt(pixels, 120, 120), 0xFF00FF00u);
    EXPECT_EQ(test::PixelAt(pixels, 149, 149), 0xFF00FF00u);
    EXPECT_EQ(test::PixelAt(pixels, 150, 150), 0xFF000000u);
}

// The bands outside a letterbox viewport are never drawn or cleared by a program: the device makes
// them black when it makes the back buffer and again on every Reset, whatever was there.
TEST_F(DeviceClear, BandsOutsideTheViewportAreBlackFromCreationAndAfterReset) {
    const Viewport letterbox{0, 100, 1024, 568, 0, 1};
    auto expectBlackBands = [&](const char* when) {
        device_->SetViewport(&letterbox);
        device_->Clear(0, nullptr, Clear::Target | Clear::ZBuffer | Clear::Stencil, 0xFF0000FFu, 1.0f, 0);
        device_->Present();
        auto pixels = ReadBackBuffer(*device_);
        for (int y : {0, 50, 99, 668, 700, 767})
            for (int x : {0, 512, 1023}) EXPECT_EQ(test::PixelAt(pixels, x, y), 0xFF000000u) << when << " at " << x << "," << y;
        EXPECT_EQ(test::PixelAt(pixels, 512, 384), 0xFF0000FFu) << when;
    };
    expectBlackBands("new device");

    // Colour everywhere (and depth and stencil), then a reset.
    const Viewport whole{0, 0, 1024, 768, 0, 1};
    device_->SetViewport(&whole);
    device_->Clear(0, nullptr, Clear::Target | Clear::ZBuffer | Clear::Stencil, 0xFFFF0000u, 0.25f, 9);
    ASSERT_EQ(device_->Reset(PresentParameters{}), Result::Ok);
    expectBlackBands("after Reset");

    // Depth and stencil were cleared too: a triangle at depth 0.5 passes a LESS test against far
    // depth and an EQUAL 0 stencil test over the whole buffer.
    device_->SetViewport(&whole);
    device_->SetRenderState(RenderState::Lighting, 0);
    device_->SetRenderState(RenderState::CullMode, uint32_t(Cull::None));
    device_->SetRenderState(RenderState::ZFunc, uint32_t(Cmp::Less));
    device_->SetRenderState(RenderState::StencilEnable, 1);
    device_->SetRenderState(RenderState::StencilFunc, uint32_t(Cmp::Equal));
    device_->SetRenderState(RenderState::StencilRef, 0);
    const test::ColorVertex band[3] = {{-1, 1, 0.5f, 0xFFFFFFFFu}, {3, 1, 0.5f, 0xFFFFFFFFu}, {-1, -3, 0.5f, 0xFFFFFFFFu}};
    device_->SetFVF(Fvf::XYZ | Fvf::Diffuse);
    device_->DrawPrimitiveUP(PrimitiveType::TriangleList, 1, band, sizeof(test::ColorVertex));
    auto pixels = ReadBackBuffer(*device_);
    EXPECT_EQ(test::PixelAt(pixels, 512, 20), 0xFFFFFFFFu) << "band after Reset: far depth and stencil 0";
}

TEST_F(DeviceClear, LostWhileHiddenThenNotResetUntilReset) {
    EXPECT_EQ(device_->TestCooperativeLevel(), Result::Ok);
    NoteWindowHidden(*device_, true);
    EXPECT_EQ(device_->TestCooperativeLevel(), Result::DeviceLost);
    EXPECT_EQ(device_->Reset(PresentParameters{}), Result::DeviceLost);
    NoteWindowHidden(*device_, false);
    EXPECT_EQ(device_->TestCooperativeLevel(), Result::DeviceNotReset);
    EXPECT_EQ(device_->TestCooperativeLevel(), Result::DeviceNotReset) << "stays not-reset until Reset";
    EXPECT_EQ(device_->Reset(PresentParameters{}), Result::Ok);
    EXPECT_EQ(device_->TestCooperativeLevel(), Result::Ok);
}

TEST_F(DeviceClear, ContextResetIsADriverInternalError) {
    NoteContextReset(*device_);
    EXPECT_EQ(device_->TestCooperativeLevel(), Result::DriverInternalError);
}

}  // namespace
}  // namespace velor
