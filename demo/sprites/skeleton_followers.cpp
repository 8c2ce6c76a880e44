// PLACEHOLDER: empty bodies until this file's owner fills it in.
#include "demo/sprites/skeleton_followers.h"

namespace velor::demo {

void SampleFigureVertices() {}
void DrawSkeletonFollowers() {}

}  // namespace velor::demo
