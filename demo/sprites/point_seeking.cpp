// PLACEHOLDER: empty bodies until this file's owner fills it in.
#include "demo/sprites/point_seeking.h"

namespace velor::demo {

SeekingState gSeeking;

void ReserveFollowers(int) {}
float SeekPoint3(int, const Vector3&, float) { return 0; }
float SeekPoint2(int, const Vector2&, float) { return 0; }

}  // namespace velor::demo
