// PLACEHOLDER: empty bodies until this file's owner fills it in.
#include "demo/shadows/shadow_volume_scene.h"

namespace velor::demo {

ShadowState gShadow;

void DrawShadowVolumeScene() {}
void DrawCaster() {}

}  // namespace velor::demo
