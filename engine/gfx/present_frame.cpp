#include "engine/gfx/present_frame.h"

#include <algorithm>
#include <numeric>

#include "engine/gfx/device.h"
#include "engine/gfx/pixel_scale.h"

namespace velor {

namespace {

constexpr uint32_t kWideTop = 96, kWideHeight = 576;

}  // namespace

FrameRect FrameUnits(PresentFrame frame) {
    if (frame == PresentFrame::Wide) return FrameRect{0, int32_t(kWideTop), kBackBufferWidth, kWideHeight};
    return FrameRect{0, 0, kBackBufferWidth, kBackBufferHeight};
}

FrameRect FramePixels(PresentFrame frame, float scale) {
    FrameRect units = FrameUnits(frame);
    int32_t left = ScaledEdge(units.x, scale), top = ScaledEdge(units.y, scale);
    int32_t right = ScaledEdge(units.x + int32_t(units.width), scale);
    int32_t bottom = ScaledEdge(units.y + int32_t(units.height), scale);
    return FrameRect{left, top, uint32_t(right - left), uint32_t(bottom - top)};
}

float FitPixelScale(int drawableWidth, int drawableHeight, PresentFrame frame) {
    // The picture in its smallest whole steps (4 × 3, 16 × 9): as many steps as fit both ways keep
    // its height a whole number of pixels at the scale its width gives.
    FrameRect units = FrameUnits(frame);
    uint32_t common = std::gcd(units.width, units.height);
    int stepWidth = int(units.width / common), stepHeight = int(units.height / common);
    int steps = std::max(0, std::min(drawableWidth / stepWidth, drawableHeight / stepHeight));
    float scale = float(steps * stepWidth) / float(units.width);
    return std::clamp(scale, 1.0f, kMaxPixelScale);
}

FrameRect FitInDrawable(uint32_t pictureWidth, uint32_t pictureHeight, int drawableWidth, int drawableHeight) {
    if (pictureWidth == 0 || pictureHeight == 0 || drawableWidth <= 0 || drawableHeight <= 0) return FrameRect{};
    int64_t w = drawableWidth, h = int64_t(drawableWidth) * pictureHeight / pictureWidth;
    if (h > drawableHeight) h = drawableHeight, w = int64_t(drawableHeight) * pictureWidth / pictureHeight;
    return FrameRect{int32_t((drawableWidth - w) / 2), int32_t((drawableHeight - h) / 2), uint32_t(w), uint32_t(h)};
}

}  // namespace velor
