#pragma once
// Where the forest's sky box stands and how its faces are mapped, shared by the mesh and by the
// sky textures so each texel is painted with the view along the line from the camera through the
// point of the box it lands on.
//
// The forest camera stands about (1.5 .. 5, 0, -1) looking toward +z with a 35-degree view; the
// trees stand on y = -0.8 (their trunks reach below it) and the skeleton's followers sit just above
// it. So the box's floor is that ground, and its walls start there: the horizon falls at eye level.

#include "tools/contentgen/geom.h"

namespace velor::content::sky {

inline constexpr float kHalfWidth = 40.0f;   // walls at x, z = +-40
inline constexpr float kGroundY = -0.8f;
inline constexpr float kTopY = 30.0f;
inline constexpr Vec3 kEye{2.5f, 0.0f, -1.0f};   // the middle of the forest camera's path

enum class Face { North, South, East, West, Top };   // +z, -z, +x, -x, +y

// The point of a face at texture coordinate (u, v): u left to right and v top to bottom as seen
// from inside; for the top face u follows +x and v follows +z.
inline Vec3 FacePoint(Face f, float u, float v) {
    const float w = kHalfWidth;
    const float y = kTopY + (kGroundY - kTopY) * v;
    switch (f) {
        case Face::North: return {-w + 2 * w * u, y, w};
        case Face::South: return {w - 2 * w * u, y, -w};
        case Face::East: return {w, y, w - 2 * w * u};
        case Face::West: return {-w, y, -w + 2 * w * u};
        case Face::Top: return {-w + 2 * w * u, kTopY, -w + 2 * w * v};
    }
    return {};
}

}  // namespace velor::content::sky
