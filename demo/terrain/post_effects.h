#pragma once
// Full-screen post passes: the scene target texture drawn on the quad of slot 500 through the
// mosaic effect (window 1) or the radial blur effect (window 3).
#include "engine/math/math_types.h"

namespace velor::demo {

void MosaicPass(float musicTimer);
void RadialBlurPass(const Matrix& view, const Matrix& projection);

}  // namespace velor::demo
