#pragma once
// Point seeking: a stored point takes a step of fixed length toward a target, and the caller learns
// how far the target was before the step. Followers (3D) and camera waypoints (x, z).
#include <vector>

#include "engine/math/math_types.h"

namespace velor::demo {

constexpr int kWaypointCount = 12;

struct SeekingState {
    std::vector<Vector3> followers;   // one per figure vertex (at least 100), all at the origin at start
    Vector2 waypoints[kWaypointCount] = {};  // (x, z)
};

extern SeekingState gSeeking;

// Makes room for at least `count` followers; new ones start at the origin.
void ReserveFollowers(int count);
float SeekPoint3(int i, const Vector3& target, float step);
float SeekPoint2(int i, const Vector2& target, float step);

}  // namespace velor::demo
