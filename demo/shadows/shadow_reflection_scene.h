#pragma once
// Window 2: three circling coloured lights with stencil shadows, the reflective sphere, the glow
// layer and the pulsing sprites, under a three-legged camera flight.
namespace velor::demo {

void DrawShadowReflectionScene();
void SetDirectionalLight(int index, float x, float y, float z);

}  // namespace velor::demo
