#include "engine/gfx/pixel_scale.h"

#include <algorithm>

#include "engine/gfx/device.h"

namespace velor {

float FitPixelScale(int drawableWidth, int drawableHeight) {
    // The widest 4:3 picture that fits, with a width that is a multiple of 4 so its height is whole.
    int width = std::min(drawableWidth, drawableHeight * 4 / 3) / 4 * 4;
    float scale = float(width) / float(kBackBufferWidth);
    return std::clamp(scale, 1.0f, kMaxPixelScale);
}

}  // namespace velor
