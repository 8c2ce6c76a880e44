// PLACEHOLDER: empty bodies until this file's owner fills it in.
#include "demo/sprites/sphere_swarm.h"

namespace velor::demo {

SnapshotEntry gPointSnapshot[kPointSnapshotSize];

void CopySphereVertices() {}
void DrawSphereSwarm(float) {}

}  // namespace velor::demo
