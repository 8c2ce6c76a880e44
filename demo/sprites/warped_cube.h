#pragma once
// Window 4: two additive clouds of point sprites from the warped vertices of the cube mesh.
#include <array>
#include <cstdint>

#include "engine/math/math_types.h"

namespace velor::demo {

constexpr int kCubeSnapshotCapacity = 50000;
constexpr uint32_t kCubeVertexStride = 32;  // position, normal, two more floats

struct CubeSnapshotEntry {
    Vector3 position;
    Vector3 normal;
};

struct WarpedCubeState {
    float warpClock = 0;  // 0.6 per second of frames this effect runs; never reset
    int count = 0;        // entries filled by the last warp
    std::array<CubeSnapshotEntry, kCubeSnapshotCapacity> snapshot{};
};

extern WarpedCubeState gWarpedCube;

// The warp window 4 chooses: the formula (0 to 3; any other leaves the vertices as they are) and
// what multiplies the phase.
struct CubeWarp {
    int32_t mode = 0;
    float rate = 0;
};

// Fills snapshot entries 0 to N - 1 from the cube's vertex buffer, positions warped by the mode's
// formula at phase t (any mode other than 0 to 3 leaves them as they are).
void WarpCubeVertices(float t, int mode);
void DrawWarpedCube(const CubeWarp& warp, float frameDelta);

}  // namespace velor::demo
