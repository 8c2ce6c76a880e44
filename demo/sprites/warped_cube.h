#pragma once
// Window 4: two additive clouds of point sprites from the warped vertices of the cube mesh.
namespace velor::demo {

void WarpCubeVertices(float t, int mode);
void DrawWarpedCube();

}  // namespace velor::demo
