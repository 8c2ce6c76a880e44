// PLACEHOLDER: empty bodies until this file's owner fills it in.
#include "demo/terrain/post_effects.h"

namespace velor::demo {

void MosaicPass(float) {}
void RadialBlurPass(const Matrix&, const Matrix&) {}

}  // namespace velor::demo
