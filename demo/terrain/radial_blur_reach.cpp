#include "demo/terrain/radial_blur_reach.h"

#include <algorithm>
#include <cmath>

namespace velor::demo {

namespace {

// The quad's coordinates relative to the centre run -0.5..0.5; the shader's wobble moves them by at
// most its amplitude before they are scaled.
constexpr double kHalfQuad = 0.5;
constexpr double kWobble = 0.015;
// Texels beyond the farthest sample: its bilinear neighbour, and one more for the rounding of the
// interpolated coordinate.
constexpr int32_t kFilterMargin = 2;

// [low, high) texels of one axis whose samples stay within `reach` texture units of the middle.
void AxisReach(double reach, uint32_t size, int32_t* low, int32_t* high) {
    *low = std::max(int32_t(std::floor((0.5 - reach) * size)) - kFilterMargin, 0);
    *high = std::min(int32_t(std::ceil((0.5 + reach) * size)) + kFilterMargin, int32_t(size));
}

}  // namespace

Rect RadialBlurReach(float blurStart, float blurWidth, uint32_t width, uint32_t height) {
    const Rect whole{0, 0, int32_t(width), int32_t(height)};
    // The sample scales run linearly from the first to the last, so the largest is at one end.
    const double largest = std::max(std::fabs(double(blurStart)), std::fabs(double(blurStart) + double(blurWidth)));
    const double reach = (kHalfQuad + kWobble) * largest;
    if (!(reach < 0.5)) return whole;
    Rect rect;
    AxisReach(reach, width, &rect.left, &rect.right);
    AxisReach(reach, height, &rect.top, &rect.bottom);
    return rect;
}

}  // namespace velor::demo
