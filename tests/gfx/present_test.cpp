// Present scales the 1024 × 768 back buffer into the window keeping 4:3, black outside it. Read
// from the window's own framebuffer after Present (SDL's offscreen windows keep what was drawn).
#include <epoxy/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "engine/gfx/device.h"
#include "engine/os/window.h"

namespace velor {
namespace {

struct PresentCase {
    int width, height;
    int barLeft, barTop;  // size of the black band on each side
};

TEST(Present, LetterboxesToFourByThreeWithBlackBands) {
    const PresentCase cases[] = {{1280, 800, 107, 0}, {800, 800, 0, 100}, {1024, 768, 0, 0}};
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
        device->Clear(0, nullptr, Clear::Target, 0xFFFFFFFFu, 1.0f, 0);
        Rect top{0, 0, 1024, 100};  // a red band along the picture's top: the right way up on screen
        device->Clear(1, &top, Clear::Target, 0xFFFF0000u, 1.0f, 0);
        // The window starts black; green left there by an earlier frame must not survive in the bands.
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
        glDisable(GL_SCISSOR_TEST);
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        ASSERT_EQ(device->Present(), Result::Ok);

        glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        // Green channel: 255 in the white picture, 0 in the red band and in the black bands.
        auto pixel = [&](int x, int yFromTop) {
            uint8_t rgba[4] = {};
            glReadPixels(x, c.height - 1 - yFromTop, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
            return int(rgba[1]);
        };
        EXPECT_EQ(pixel(c.width / 2, c.height / 2), 255) << "picture in the middle";
        EXPECT_EQ(pixel(c.barLeft + 2, c.height - c.barTop - 3), 255) << "picture's bottom-left corner";
        uint8_t rgba[4] = {};
        glReadPixels(c.width / 2, c.height - 1 - (c.barTop + 3), 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
        EXPECT_EQ(rgba[0], 255);
        EXPECT_EQ(rgba[1], 0) << "red band at the top of the window";
        if (c.barLeft > 0) {
            EXPECT_EQ(pixel(c.barLeft - 3, c.height / 2), 0) << "left band";
            EXPECT_EQ(pixel(c.width - c.barLeft + 2, c.height / 2), 0) << "right band";
        }
        if (c.barTop > 0) {
            EXPECT_EQ(pixel(c.width / 2, c.barTop - 3), 0) << "top band";
            EXPECT_EQ(pixel(c.width / 2, c.height - c.barTop + 2), 0) << "bottom band";
        }
        device.reset();
    }
}

}  // namespace
}  // namespace velor
