// PLACEHOLDER: empty bodies until this file's owner fills it in.
#include "demo/terrain/terrain.h"

namespace velor::demo {

void InitTerrain() {}
void DrawTerrain(float) {}

}  // namespace velor::demo
