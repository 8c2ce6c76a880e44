// The framed picture: how large a scale a screen takes for it, what Present shows of the back
// buffer, and what the framed read-back returns.
#include "engine/gfx/present_frame.h"

#include <epoxy/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "engine/gfx/device.h"
#include "engine/gfx/device_controls.h"
#include "engine/gfx/pixel_scale.h"
#include "engine/os/window.h"

namespace velor {
namespace {

// The scale --scale auto takes is the largest whose picture fits the drawable, never one whose
// picture covers it and is cut off; it keeps whole pixels each way, and stays within 1 to 8.
TEST(PresentFrame, AutoScaleFitsTheFramedPictureInTheDrawable) {
    struct Case {
        const char* screen;
        int width, height;
        float wide, whole;  // the scale for each framing
    };
    const Case cases[] = {
        {"16:9 1080p", 1920, 1080, 1.875f, 1.40625f},
        {"16:9 4K", 3840, 2160, 3.75f, 2.8125f},
        {"16:10", 2560, 1600, 2.5f, 2.08203125f},
        {"5:4", 1280, 1024, 1.25f, 1.25f},
        {"4:3", 1600, 1200, 1.5625f, 1.5625f},
        {"smaller than 1024 x 768", 800, 600, 1.0f, 1.0f},
        {"portrait", 1080, 1920, 1.046875f, 1.0546875f},
        {"portrait 4K", 2160, 3840, 2.109375f, 2.109375f},
        {"wider than the limit", 16384, 9216, 8.0f, 8.0f},
    };
    for (const Case& c : cases) {
        for (PresentFrame frame : {PresentFrame::Wide, PresentFrame::Whole}) {
            const bool wide = frame == PresentFrame::Wide;
            SCOPED_TRACE(testing::Message() << c.screen << " " << c.width << " x " << c.height << ", "
                                            << (wide ? "wide" : "4:3"));
            const float scale = FitPixelScale(c.width, c.height, frame);
            EXPECT_EQ(scale, wide ? c.wide : c.whole);
            const FrameRect picture = FramePixels(frame, scale);
            const FrameRect units = FrameUnits(frame);
            // Whole pixels: the picture has exactly the framing's aspect.
            EXPECT_EQ(uint64_t(picture.width) * units.height, uint64_t(picture.height) * units.width);
            if (scale > 1.0f) {
                EXPECT_LE(int(picture.width), c.width);
                EXPECT_LE(int(picture.height), c.height);
            }
            if (scale < kMaxPixelScale) {
                // One whole step larger (16 x 9 or 4 x 3 pixels) no longer fits.
                const float larger = scale + (wide ? 16.0f : 4.0f) / float(kBackBufferWidth);
                const FrameRect next = FramePixels(frame, larger);
                EXPECT_TRUE(int(next.width) > c.width || int(next.height) > c.height) << "scale " << larger;
            }
        }
    }
}

struct Shown {
    std::unique_ptr<Window> window;
    std::shared_ptr<Device> device;
};

Shown MakeDevice(int width, int height, PresentFrame frame, float scale) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    WindowDesc desc;
    desc.fullScreen = false;
    desc.visible = false;
    desc.requireDisplay = false;
    desc.width = width;
    desc.height = height;
    std::string error;
    Shown shown;
    shown.window = Window::Create(desc, &error);
    EXPECT_NE(shown.window, nullptr) << error;
    if (shown.window == nullptr) return shown;
    auto d3d = Direct3DCreate9(shown.window.get());
    PresentParameters pp;
    pp.pixelScale = scale;
    EXPECT_EQ(d3d->CreateDevice(0, shown.window.get(), pp, &shown.device), Result::Ok);
    if (shown.device != nullptr) SetPresentFrame(*shown.device, frame);
    return shown;
}

// Rows of the back buffer in colours of their own: blue above the wide framing (rows 0 to 95),
// red in its first four rows (96 to 99), white below.
void PaintRows(Device& device) {
    device.Clear(0, nullptr, Clear::Target, 0xFFFFFFFFu, 1.0f, 0);
    const Rect above{0, 0, 1024, 96}, edge{0, 96, 1024, 100};
    device.Clear(1, &above, Clear::Target, 0xFF0000FFu, 1.0f, 0);
    device.Clear(1, &edge, Clear::Target, 0xFFFF0000u, 1.0f, 0);
}

// Present fits the framed picture to the window with bars only where the aspects differ; the top of
// what it shows is the framing's top row.
TEST(PresentFrame, PresentShowsTheFramedPictureWithBarsOnlyWhereTheAspectDiffers) {
    struct Case {
        PresentFrame frame;
        int width, height;
        int barLeft, barTop;
        uint32_t topColor;  // 0xRRGGBB at the picture's top
    };
    const Case cases[] = {
        {PresentFrame::Wide, 1920, 1080, 0, 0, 0xFF0000},   {PresentFrame::Wide, 1280, 800, 0, 40, 0xFF0000},
        {PresentFrame::Wide, 1280, 1024, 0, 152, 0xFF0000}, {PresentFrame::Wide, 1000, 400, 144, 0, 0xFF0000},
        {PresentFrame::Whole, 1920, 1080, 240, 0, 0x0000FF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height
                                        << (c.frame == PresentFrame::Wide ? " wide" : " 4:3"));
        Shown shown = MakeDevice(c.width, c.height, c.frame, 1.0f);
        ASSERT_NE(shown.device, nullptr);
        PaintRows(*shown.device);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
        glDisable(GL_SCISSOR_TEST);
        glClearColor(0.0f, 1.0f, 0.0f, 1.0f);  // green left in the window must not survive in the bars
        glClear(GL_COLOR_BUFFER_BIT);
        ASSERT_EQ(shown.device->Present(), Result::Ok);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
        auto pixel = [&](int x, int yFromTop) {
            uint8_t rgba[4] = {};
            glReadPixels(x, c.height - 1 - yFromTop, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
            return uint32_t(rgba[0]) << 16 | uint32_t(rgba[1]) << 8 | rgba[2];
        };
        EXPECT_EQ(pixel(c.width / 2, c.barTop + 1), c.topColor) << "the picture's top";
        EXPECT_EQ(pixel(c.width / 2, c.height / 2), 0xFFFFFFu) << "the middle";
        EXPECT_EQ(pixel(c.barLeft + 1, c.height - c.barTop - 2), 0xFFFFFFu) << "the bottom-left corner";
        if (c.barTop > 0) {
            EXPECT_EQ(pixel(c.width / 2, c.barTop - 2), 0u) << "the top bar";
            EXPECT_EQ(pixel(c.width / 2, c.height - c.barTop + 1), 0u) << "the bottom bar";
        }
        if (c.barLeft > 0) {
            EXPECT_EQ(pixel(c.barLeft - 2, c.height / 2), 0u) << "the left bar";
            EXPECT_EQ(pixel(c.width - c.barLeft + 1, c.height / 2), 0u) << "the right bar";
        } else {
            EXPECT_EQ(pixel(0, c.height / 2), 0xFFFFFFu) << "the picture reaches the left edge";
            EXPECT_EQ(pixel(c.width - 1, c.height / 2), 0xFFFFFFu) << "and the right one";
        }
    }
}

// The framed read-back is the framing's rows of the whole read-back, at a fractional scale too,
// where its edges are rounded as every scaled edge is.
TEST(PresentFrame, ReadPresentedFrameIsTheFramedRowsOfTheBackBuffer) {
    struct Case {
        PresentFrame frame;
        float scale;
        uint32_t width, height, top;
    };
    const Case cases[] = {
        {PresentFrame::Wide, 1.0f, 1024, 576, 96},
        {PresentFrame::Wide, 1.875f, 1920, 1080, 180},
        {PresentFrame::Wide, 2.8125f, 2880, 1620, 270},
        {PresentFrame::Whole, 1.875f, 1920, 1440, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "scale " << c.scale << (c.frame == PresentFrame::Wide ? " wide" : " 4:3"));
        Shown shown = MakeDevice(64, 64, c.frame, c.scale);
        ASSERT_NE(shown.device, nullptr);
        PaintRows(*shown.device);
        const FrameRect rect = PresentedRect(*shown.device);
        EXPECT_EQ(rect.y, int32_t(c.top));
        PresentedPixels framed = ReadPresentedFrame(*shown.device);
        ASSERT_EQ(framed.width, c.width);
        ASSERT_EQ(framed.height, c.height);
        ASSERT_EQ(framed.pixels.size(), size_t(c.width) * c.height);
        const std::vector<uint32_t> whole = ReadBackBuffer(*shown.device);
        const uint32_t wholeWidth = ScaledLength(kBackBufferWidth, c.scale);
        ASSERT_EQ(wholeWidth, c.width);
        for (uint32_t row = 0; row < c.height; ++row) {
            const auto first = whole.begin() + ptrdiff_t(size_t(c.top + row) * wholeWidth);
            ASSERT_TRUE(std::equal(first, first + c.width, framed.pixels.begin() + ptrdiff_t(size_t(row) * c.width)))
                << "row " << row;
        }
        // The first row is the framing's top: red for the wide one (its edge rows), blue for the whole.
        EXPECT_EQ(framed.pixels[c.width / 2], c.frame == PresentFrame::Wide ? 0xFFFF0000u : 0xFF0000FFu);
        EXPECT_EQ(framed.pixels.back(), 0xFFFFFFFFu);
    }
}

}  // namespace
}  // namespace velor
