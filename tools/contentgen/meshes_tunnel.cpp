// tunnel.x: a long tube seen from inside. The camera sits about one unit from the origin, looking
// with a 90-degree view while the tube turns about the vertical axis through the origin, so it
// alternately looks down the bore and across the wall. The wall is rough (radius varied by a
// noise that wraps around the circumference), the faces and normals point inwards, and the texture
// coordinates tile: four repeats around, square texels along the length. The demo derives a tangent
// frame from these coordinates for its normal map, so they run smoothly with no flips.
#include <cmath>

#include "tools/contentgen/content_names.h"
#include "tools/contentgen/mesh_builder.h"
#include "tools/contentgen/meshes.h"
#include "tools/contentgen/noise.h"

namespace velor::content {
namespace {

constexpr float kRadius = 3.2f;
constexpr float kHalfLength = 50.0f;
constexpr int kSegmentsAround = 48;
constexpr int kRings = 168;
constexpr float kRepeatsAround = 4.0f;

}  // namespace

XFile MakeTunnelMesh() {
    Mesh mesh;
    mesh.name = "Tunnel";
    Material m;
    m.name = "TunnelWall";
    m.power = 12;
    m.specular[0] = m.specular[1] = m.specular[2] = 0.3f;
    m.texture = names::kTunnelWall;
    mesh.materials.push_back(m);
    MeshBuilder b(mesh);

    const float unitsPerRepeat = 2.0f * kPi * kRadius / kRepeatsAround;
    const uint32_t row = kSegmentsAround + 1;
    for (int r = 0; r <= kRings; ++r) {
        const float z = -kHalfLength + 2.0f * kHalfLength * float(r) / float(kRings);
        for (int k = 0; k <= kSegmentsAround; ++k) {
            const int kk = k % kSegmentsAround;
            const float a = 2.0f * kPi * float(kk) / float(kSegmentsAround);
            // Noise coordinates wrap with the circumference (period 8 cells around).
            const float around = 8.0f * float(kk) / float(kSegmentsAround);
            const float rough = 0.08f * Fbm2(around, z * 0.35f, 3, 8, 0, 7101u) +
                                0.05f * std::sin(z * 0.45f + 1.3f * std::sin(a * 2.0f));
            const float radius = kRadius * (1.0f + rough);
            const Vec3 p{radius * std::cos(a), radius * std::sin(a), z};
            b.AddVertex(p, Normalize(Vec3{-p.x, -p.y, 0}),
                        {kRepeatsAround * float(k) / float(kSegmentsAround), (z + kHalfLength) / unitsPerRepeat});
        }
    }
    // Angles grow from +x toward +y and rings toward +z; with a1 the next column and b0 the next
    // ring, Cross(b0 - a0, b1 - a0) points toward the axis, the side the wall is seen from.
    for (int r = 0; r < kRings; ++r) {
        for (int k = 0; k < kSegmentsAround; ++k) {
            const uint32_t a0 = uint32_t(r) * row + uint32_t(k), a1 = a0 + 1;
            const uint32_t b0 = a0 + row, b1 = b0 + 1;
            b.AddTriangle(a0, b0, b1);
            b.AddTriangle(a0, b1, a1);
        }
    }
    SmoothNormals(mesh, 0, 0);

    XFile file;
    file.meshes.push_back(std::move(mesh));
    return file;
}

}  // namespace velor::content
