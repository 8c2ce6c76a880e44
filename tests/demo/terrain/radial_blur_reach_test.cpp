// The blur's reach against the blur itself: every texel the shader's samples (with its wobble) and
// their bilinear neighbours touch lies inside the rectangle, for start and width of either sign.
#include "demo/terrain/radial_blur_reach.h"

#include <gtest/gtest.h>

#include <cmath>

namespace velor::demo {
namespace {

constexpr uint32_t kWidth = 1024, kHeight = 768;
constexpr int kSamples = 16;  // radial_blur.fx's kBlurSamples

// The texel columns (or rows) one axis of the shader reads, over the whole quad and a few wobble
// phases: [lowest, highest] of the bilinear taps.
void ReadTexels(float start, float width, uint32_t size, int* lowest, int* highest) {
    *lowest = 1 << 30, *highest = -(1 << 30);
    for (int p = 0; p <= 4 * int(size); ++p) {
        const float t = float(p) / float(4 * size) - 0.5f;  // texture coordinate relative to the centre
        for (float value : {0.0f, 1.3f, 2.9f, 4.4f}) {
            const float wobbled = t + std::cos(t * 20.0f + value) * 0.015f;
            for (int i = 0; i < kSamples; ++i) {
                const float scale = start + width * float(i) / float(kSamples - 1);
                const float texel = (wobbled * scale + 0.5f) * float(size) - 0.5f;
                const int tap = int(std::floor(texel));
                *lowest = std::min(*lowest, tap);
                *highest = std::max(*highest, tap + 1);
            }
        }
    }
}

TEST(RadialBlurReach, HoldsEveryTexelTheBlurReads) {
    struct Case {
        float start, width;
        bool whole;
    };
    // The window's clock gives start sin(c / 2) and width cos(c / 2) / 6.
    const Case cases[] = {
        {0.05f, 0.166f, false}, {0.3f, 0.16f, false},  {-0.4f, 0.15f, false}, {0.6f, -0.13f, false},
        {-0.1f, -0.16f, false}, {0.0f, 0.0f, false},   {0.9f, 0.07f, true},   {-0.99f, -0.02f, true},
    };
    for (const Case& c : cases) {
        const Rect reach = RadialBlurReach(c.start, c.width, kWidth, kHeight);
        const bool whole = reach.left == 0 && reach.top == 0 && reach.right == int32_t(kWidth) &&
                           reach.bottom == int32_t(kHeight);
        EXPECT_EQ(whole, c.whole) << c.start << " " << c.width;
        int low = 0, high = 0;
        ReadTexels(c.start, c.width, kWidth, &low, &high);
        if (!c.whole) {
            EXPECT_LE(reach.left, low) << c.start << " " << c.width;
            EXPECT_GT(reach.right, high) << c.start << " " << c.width;
            // Not much more than it needs: a few texels of margin on each side.
            EXPECT_LE((reach.right - reach.left) - (high + 1 - low), 8) << c.start << " " << c.width;
        }
        ReadTexels(c.start, c.width, kHeight, &low, &high);
        if (!c.whole) {
            EXPECT_LE(reach.top, low) << c.start << " " << c.width;
            EXPECT_GT(reach.bottom, high) << c.start << " " << c.width;
        }
    }
}

}  // namespace
}  // namespace velor::demo
