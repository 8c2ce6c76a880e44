#include "engine/gfx/pixel_scale.h"

#include "engine/gfx/present_frame.h"

namespace velor {

float FitPixelScale(int drawableWidth, int drawableHeight) {
    return FitPixelScale(drawableWidth, drawableHeight, PresentFrame::Whole);
}

}  // namespace velor
