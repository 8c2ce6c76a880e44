#pragma once
// Window 1: about nine hundred glowing points from a snapshot of the sphere mesh's vertex data.
#include "engine/math/math_types.h"

namespace velor::demo {

constexpr int kPointSnapshotSize = 5000;

struct SnapshotEntry {
    Vector3 position;
    Vector3 normal;
};

extern SnapshotEntry gPointSnapshot[kPointSnapshotSize];

void CopySphereVertices();
void DrawSphereSwarm(float s);

}  // namespace velor::demo
