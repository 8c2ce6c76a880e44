#pragma once
// Window 3: the turning tunnel drawn with the texture-splatting effect.
namespace velor::demo {

void InitTerrain();
void DrawTerrain(float angle);

}  // namespace velor::demo
