// PLACEHOLDER: empty bodies until this file's owner fills it in.
#include "demo/overlay/image_overlay.h"

namespace velor::demo {

void DrawFourSpriteOverlay() {}

}  // namespace velor::demo
