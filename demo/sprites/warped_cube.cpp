// PLACEHOLDER: empty bodies until this file's owner fills it in.
#include "demo/sprites/warped_cube.h"

namespace velor::demo {

void WarpCubeVertices(float, int) {}
void DrawWarpedCube() {}

}  // namespace velor::demo
