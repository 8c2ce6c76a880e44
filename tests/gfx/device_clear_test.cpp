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
