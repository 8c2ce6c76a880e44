// PLACEHOLDER: empty bodies until this file's owner fills it in.
#include "demo/shadows/shadow_reflection_scene.h"

namespace velor::demo {

void DrawShadowReflectionScene() {}
void SetDirectionalLight(int, float, float, float) {}

}  // namespace velor::demo
