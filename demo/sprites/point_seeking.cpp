// Point seeking: one rule moves the skeleton's followers (in 3D) and the camera waypoints of the
// shadow scene and the forest (in x, z). A point takes a step of fixed length toward its target and
// the caller gets the distance the target was before the step; camera paths end a leg on it.
//
// There is no clamping: a target nearer than the step is overshot, and later calls jitter about it
// by at most one step. The waypoints' flights are tuned to that.
//
// The follower table grows with the figure (ReserveFollowers), never shrinks, and an index outside
// either table moves nothing: the figure's vertex count comes from a content file.
#include "demo/sprites/point_seeking.h"

#include <cmath>

#include "engine/math/d3dx_math.h"

namespace velor::demo {

namespace {
constexpr int kInitialFollowerCount = 100;

SeekingState MakeInitialState() {
    SeekingState state;
    state.followers.resize(kInitialFollowerCount);
    return state;
}
}  // namespace

SeekingState gSeeking = MakeInitialState();

void ReserveFollowers(int count) {
    if (count > int(gSeeking.followers.size())) gSeeking.followers.resize(size_t(count));
}

float SeekPoint3(int i, const Vector3& target, float step) {
    if (i < 0 || i >= int(gSeeking.followers.size())) return 0.0f;
    Vector3& p = gSeeking.followers[size_t(i)];
    Vector3 d{target.x - p.x, target.y - p.y, target.z - p.z};
    float squaredLength = d.x * d.x + d.y * d.y + d.z * d.z;
    Vec3Normalize(&d, &d);
    p.x = p.x + d.x * step;
    p.y = p.y + d.y * step;
    p.z = p.z + d.z * step;
    return std::sqrt(squaredLength);
}

float SeekPoint2(int i, const Vector2& target, float step) {
    if (i < 0 || i >= kWaypointCount) return 0.0f;
    Vector2& p = gSeeking.waypoints[i];
    Vector2 d{target.x - p.x, target.y - p.y};
    float squaredLength = d.x * d.x + d.y * d.y;
    Vec2Normalize(&d, &d);
    p.x = p.x + d.x * step;
    p.y = p.y + d.y * step;
    return std::sqrt(squaredLength);
}

}  // namespace velor::demo
