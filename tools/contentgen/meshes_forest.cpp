// The forest: a sky box that doubles as the ground, and one tree that the demo places seven times
// at heights 0 and -0.2 around the camera (distances 2 to 6). The ground is the box's floor at
// y = -0.8; the tree's trunk starts at -0.9 so it always reaches into the ground.
#include <cmath>
#include <functional>

#include "tools/contentgen/content_names.h"
#include "tools/contentgen/mesh_builder.h"
#include "tools/contentgen/meshes.h"
#include "tools/contentgen/noise.h"
#include "tools/contentgen/sky_layout.h"

namespace velor::content {
namespace {

// The forest's two lights shine horizontally from the camera's side and there is no ambient light,
// so faces turned away would be black; a little emission keeps them readable.
Material Named(const char* name, const char* texture, float r, float g, float b, float emissive) {
    return MakeMaterial(name, texture, r, g, b, 4, 0.05f, emissive);
}

// One face of the box as a grid, wound so that it is front-facing seen from outside: the demo
// culls clockwise triangles when it draws the sky, which keeps exactly the faces seen from inside.
void AddSkyFace(Mesh& mesh, uint32_t material, int cols, int rows, const Vec3& inwardNormal,
                const std::function<Vec3(float, float)>& point) {
    const uint32_t base = uint32_t(mesh.vertices.size());
    for (int j = 0; j <= rows; ++j) {
        for (int i = 0; i <= cols; ++i) {
            const float u = float(i) / float(cols), v = float(j) / float(rows);
            // Normals face the inside, where the box is seen from.
            mesh.vertices.push_back({point(u, v), inwardNormal, {u, v}});
        }
    }
    const uint32_t row = uint32_t(cols + 1);
    // Seen from inside, u runs left to right and v top to bottom: (p00, p10, p11) is clockwise on
    // screen from inside, so the outward-facing order is the reverse.
    for (int j = 0; j < rows; ++j) {
        for (int i = 0; i < cols; ++i) {
            const uint32_t p00 = base + uint32_t(j) * row + uint32_t(i), p10 = p00 + 1, p01 = p00 + row, p11 = p01 + 1;
            mesh.faces.push_back({p00, p11, p10, material});
            mesh.faces.push_back({p00, p01, p11, material});
        }
    }
}

}  // namespace

XFile MakeSkyboxMesh() {
    using sky::Face;
    Mesh mesh;
    mesh.name = "SkyBox";
    mesh.materials = {Named("Ground", names::kGrass, 1, 1, 1, 0), Named("SkyNorth", names::kSkyNorth, 1, 1, 1, 0),
                      Named("SkySouth", names::kSkySouth, 1, 1, 1, 0), Named("SkyEast", names::kSkyEast, 1, 1, 1, 0),
                      Named("SkyWest", names::kSkyWest, 1, 1, 1, 0), Named("SkyTop", names::kSkyTop, 1, 1, 1, 0)};
    const float w = sky::kHalfWidth;
    // Ground: seen from above, so wound the other way round from the walls; the grass repeats every
    // two units.
    {
        const uint32_t base = uint32_t(mesh.vertices.size());
        constexpr int kCells = 8;
        for (int j = 0; j <= kCells; ++j) {
            for (int i = 0; i <= kCells; ++i) {
                const float x = -w + 2 * w * float(i) / kCells, z = -w + 2 * w * float(j) / kCells;
                mesh.vertices.push_back({{x, sky::kGroundY, z}, {0, 1, 0}, {x * 0.5f, -z * 0.5f}});
            }
        }
        const uint32_t row = kCells + 1;
        for (int j = 0; j < kCells; ++j) {
            for (int i = 0; i < kCells; ++i) {
                // x grows to the right and z away from a viewer above looking down with +z up the
                // screen; the visible side is up, so the outward side (for the box) is down.
                const uint32_t p00 = base + uint32_t(j) * row + uint32_t(i), p10 = p00 + 1, p01 = p00 + row,
                               p11 = p01 + 1;
                mesh.faces.push_back({p00, p10, p11, 0});
                mesh.faces.push_back({p00, p11, p01, 0});
            }
        }
    }
    const Face walls[] = {Face::North, Face::South, Face::East, Face::West};
    const Vec3 inward[] = {{0, 0, -1}, {0, 0, 1}, {-1, 0, 0}, {1, 0, 0}};
    for (int k = 0; k < 4; ++k) {
        const Face f = walls[k];
        AddSkyFace(mesh, uint32_t(1 + k), 4, 2, inward[k], [f](float u, float v) { return sky::FacePoint(f, u, v); });
    }
    AddSkyFace(mesh, 5, 4, 4, {0, -1, 0}, [](float u, float v) { return sky::FacePoint(Face::Top, u, v); });
    XFile file;
    file.meshes.push_back(std::move(mesh));
    return file;
}

XFile MakeTreeMesh() {
    Mesh mesh;
    mesh.name = "Tree";
    mesh.materials = {Named("Bark", names::kBark, 0.92f, 0.88f, 0.82f, 0.32f),
                      Named("Leaves", names::kLeaves, 0.9f, 1.0f, 0.85f, 0.3f)};
    MeshBuilder b(mesh);

    // Trunk: a slightly leaning, tapering column with a flared foot. The crown starts about 1.8
    // units above the ground, clear of the dancing figure's point swarm that the demo puts next to
    // the tree at (3, -0.2, 0.7).
    constexpr float kTrunkHeight = 2.9f;
    b.SetMaterial(0);
    std::vector<Vec3> trunk;
    std::vector<float> trunkRadius;
    for (int i = 0; i <= 8; ++i) {
        const float t = float(i) / 8.0f;
        const float y = -0.9f + kTrunkHeight * t;
        trunk.push_back({0.06f * std::sin(t * 2.6f) + 0.03f * t, y, 0.05f * std::sin(t * 3.7f + 1.0f)});
        trunkRadius.push_back(0.055f + 0.07f * (1.0f - t) + (i == 0 ? 0.05f : 0.0f));
    }
    AddTube(b, trunk, trunkRadius, 10, 2.0f, 1.5f);

    // Branches from the upper trunk toward the foliage clumps.
    struct Branch {
        float startT;   // fraction of the trunk's height
        float angle;    // direction around the trunk
        float length;
        float rise;
    };
    const Branch branches[] = {{0.6f, 0.4f, 0.62f, 0.7f}, {0.66f, 2.5f, 0.6f, 0.75f}, {0.72f, 4.3f, 0.55f, 0.8f},
                               {0.8f, 1.4f, 0.5f, 0.8f}, {0.86f, 5.4f, 0.45f, 0.7f}};
    std::vector<Vec3> clumpCentres;
    for (const Branch& br : branches) {
        const size_t seg = size_t(br.startT * 8.0f);
        const Vec3 start = Lerp(trunk[seg], trunk[seg + 1], br.startT * 8.0f - float(seg));
        const Vec3 dir = Normalize(Vec3{std::cos(br.angle), br.rise, std::sin(br.angle)});
        std::vector<Vec3> path;
        std::vector<float> radius;
        for (int i = 0; i <= 3; ++i) {
            const float t = float(i) / 3.0f;
            path.push_back(start + dir * (br.length * t) + Vec3{0, 0.08f * t * t, 0});
            radius.push_back(0.045f * (1.0f - 0.6f * t));
        }
        AddTube(b, path, radius, 6, 1.0f, 1.5f);
        clumpCentres.push_back(path.back() + Vec3{0, 0.12f, 0});
    }
    clumpCentres.push_back(trunk.back() + Vec3{0, 0.2f, 0});

    // Foliage: lumpy balls around the branch ends and the top.
    b.SetMaterial(1);
    const float clumpRadius[] = {0.52f, 0.5f, 0.48f, 0.45f, 0.42f, 0.6f};
    for (size_t c = 0; c < clumpCentres.size(); ++c) {
        const uint32_t seed = 500u + uint32_t(c) * 31u;
        auto lumps = [seed](const Vec3& d) {
            return 1.0f + 0.25f * GradientNoise3(d.x * 1.8f + 5, d.y * 1.8f + 5, d.z * 1.8f + 5, 0, 0, 0, seed) +
                   0.12f * GradientNoise3(d.x * 4.5f, d.y * 4.5f, d.z * 4.5f, 0, 0, 0, seed + 1);
        };
        const Mat4 place = Mat4::Scaling({1.0f, 0.8f, 1.0f}) * Mat4::Translation(clumpCentres[c]);
        AddUvSphere(b, place, clumpRadius[c], 14, 9, 2.0f, 1.0f, false, lumps);
    }

    XFile file;
    file.meshes.push_back(std::move(mesh));
    return file;
}

}  // namespace velor::content
