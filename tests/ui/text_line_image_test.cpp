// A text line rasterised on the CPU for the presenter's overlay: opaque, sized by its cell height,
// with the letters inside the box's margin.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "engine/ui/text_line_image.h"

namespace velor {
namespace {

constexpr uint32_t kBox = 0xFF202020u;

struct LineCase {
    const char* text;
    int cellHeight;
};

TEST(TextLineImage, OpaqueBoxWithInkInsideItsMargin) {
    const LineCase cases[] = {{"time 12.34 s  window 2  41.2 fps  scale 1", 16},
                              {"time 12.34 s  window 2  41.2 fps  scale 1.875", 30},
                              {"W", 9}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        std::string error;
        const OverlayImage image = RenderTextLine(c.text, c.cellHeight, &error);
        ASSERT_GT(image.width, 0u) << error;
        const uint32_t margin = uint32_t(std::max(1, c.cellHeight / 4));
        EXPECT_EQ(image.height, uint32_t(c.cellHeight) + 2 * margin);
        ASSERT_EQ(image.pixels.size(), size_t(image.width) * image.height);
        long inked = 0;
        for (uint32_t y = 0; y < image.height; ++y) {
            for (uint32_t x = 0; x < image.width; ++x) {
                const uint32_t p = image.pixels[size_t(y) * image.width + x];
                ASSERT_EQ(p >> 24, 0xFFu) << "opaque at " << x << ", " << y;
                if (p == kBox) continue;
                ++inked;
                EXPECT_TRUE(x >= margin / 2 && x < image.width - margin / 2 && y >= margin / 2 &&
                            y < image.height - margin / 2)
                    << "ink in the margin at " << x << ", " << y;
            }
        }
        EXPECT_GT(inked, long(image.width) * image.height / 50) << "letters drawn";
        // Light letters: the brightest pixel is near white.
        uint32_t brightest = 0;
        for (uint32_t p : image.pixels) brightest = std::max(brightest, p & 0xFFu);
        EXPECT_GT(brightest, 0xC0u);
    }
}

TEST(TextLineImage, RasterisedAtTheAskedPixelsNotMagnified) {
    const std::string text = "time 95.00 s  window 6  60.0 fps  scale 2";
    std::string error;
    const OverlayImage small = RenderTextLine(text, 16, &error);
    const OverlayImage large = RenderTextLine(text, 32, &error);
    ASSERT_GT(small.width, 0u) << error;
    ASSERT_GT(large.width, 0u) << error;
    // Twice the height, about twice the width; a longer text is wider.
    EXPECT_NEAR(double(large.width) / small.width, 2.0, 0.2);
    EXPECT_GT(RenderTextLine(text + " more", 16, &error).width, small.width);
    const OverlayImage empty = RenderTextLine("", 16, &error);
    for (uint32_t p : empty.pixels) EXPECT_EQ(p, kBox) << "an empty line is the box alone";
}

}  // namespace
}  // namespace velor
