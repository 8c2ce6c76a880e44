// The presenter's overlay reaches the window over the picture, at its top-left corner pixel for
// pixel, and never the back buffer: the read-backs that captures and screenshots take hold only the
// frame. Read from the window's own framebuffer after Present (SDL's offscreen windows keep it).
#include <epoxy/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "engine/gfx/device.h"
#include "engine/gfx/device_controls.h"
#include "engine/gfx/present_frame.h"
#include "engine/gfx/present_overlay.h"
#include "engine/os/window.h"

namespace velor {
namespace {

constexpr uint32_t kPicture = 0xFF30C060u;
constexpr uint32_t kTopLeft = 0xFFFF0000u, kTopRight = 0xFF0000FFu, kBelow = 0xFFFFFF00u;

// 12 × 6: red and blue halves on the top row, yellow under them, so a flip or a mirror shows.
OverlayImage Pattern() {
    OverlayImage image;
    image.width = 12;
    image.height = 6;
    for (uint32_t y = 0; y < image.height; ++y)
        for (uint32_t x = 0; x < image.width; ++x) image.pixels.push_back(y > 0 ? kBelow : x < 6 ? kTopLeft : kTopRight);
    return image;
}

uint32_t WindowPixel(int x, int yFromTop, int windowHeight) {
    uint8_t rgba[4] = {};
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glReadPixels(x, windowHeight - 1 - yFromTop, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return 0xFF000000u | uint32_t(rgba[0]) << 16 | uint32_t(rgba[1]) << 8 | rgba[2];
}

struct OverlayCase {
    int width, height;  // the window; the picture fills it or sits between bars
    PresentFrame frame;
};

TEST(PresentOverlay, ReachesTheWindowButNoReadBack) {
    const OverlayCase cases[] = {{1024, 768, PresentFrame::Whole}, {1024, 576, PresentFrame::Wide},
                                 {1280, 600, PresentFrame::Wide}};
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        WindowDesc desc;
        desc.fullScreen = false;
        desc.visible = false;
        desc.requireDisplay = false;
        desc.width = c.width;
        desc.height = c.height;
        std::string error;
        auto window = Window::Create(desc, &error);
        ASSERT_NE(window, nullptr) << error;
        auto d3d = Direct3DCreate9(window.get());
        std::shared_ptr<Device> device;
        ASSERT_EQ(d3d->CreateDevice(0, window.get(), PresentParameters{}, &device), Result::Ok);
        SetPresentFrame(*device, c.frame);
        ASSERT_EQ(device->Clear(0, nullptr, Clear::Target, kPicture, 1.0f, 0), Result::Ok);
        const FrameRect shown = FitInDrawable(PresentedRect(*device).width, PresentedRect(*device).height, c.width, c.height);

        SetPresentOverlay(*device, Pattern());
        EXPECT_TRUE(HasPresentOverlay(*device));
        ASSERT_EQ(device->Present(), Result::Ok);
        EXPECT_EQ(WindowPixel(0, 0, c.height), kTopLeft);
        EXPECT_EQ(WindowPixel(5, 0, c.height), kTopLeft);
        EXPECT_EQ(WindowPixel(6, 0, c.height), kTopRight);
        EXPECT_EQ(WindowPixel(11, 0, c.height), kTopRight);
        EXPECT_EQ(WindowPixel(0, 5, c.height), kBelow);
        EXPECT_EQ(WindowPixel(11, 5, c.height), kBelow);
        EXPECT_EQ(WindowPixel(shown.x + 12, shown.y + 6, c.height), kPicture) << "the picture beside it";
        EXPECT_EQ(WindowPixel(c.width / 2, c.height / 2, c.height), kPicture);

        // What screenshots and captures read: the frame alone, everywhere.
        const PresentedPixels presented = ReadPresentedFrame(*device);
        ASSERT_EQ(presented.pixels.size(), size_t(presented.width) * presented.height);
        for (uint32_t p : presented.pixels) ASSERT_EQ(p, kPicture) << "the overlay reached the framed read-back";
        for (uint32_t p : ReadBackBuffer(*device)) ASSERT_EQ(p, kPicture) << "the overlay reached the back buffer";

        // Taken away, the next present of the same back buffer shows the picture there again.
        SetPresentOverlay(*device, {});
        EXPECT_FALSE(HasPresentOverlay(*device));
        ASSERT_EQ(device->Present(), Result::Ok);
        const uint32_t corner = shown.x == 0 && shown.y == 0 ? kPicture : 0xFF000000u;
        EXPECT_EQ(WindowPixel(0, 0, c.height), corner);
        EXPECT_EQ(WindowPixel(6, 0, c.height), corner);
        device.reset();
    }
}

}  // namespace
}  // namespace velor
