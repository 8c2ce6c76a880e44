#pragma once
// The part of the scene target the radial blur (resources/radial_blur.fx) can read, so that what is
// drawn into the target can stop at it.
#include <cstdint>

#include "engine/gfx/d3d_types.h"

namespace velor::demo {

// The texels, as a rectangle of a width x height target, that the blur's samples and their bilinear
// neighbours can touch with these parameters and its centre at the middle; the whole target when the
// samples reach an edge (the sampler wraps there, so any texel may be read).
Rect RadialBlurReach(float blurStart, float blurWidth, uint32_t width, uint32_t height);

}  // namespace velor::demo
