// The two meshes that are data more than pictures: the cloud cube, whose vertices the demo reads
// as points, and the full-screen quad of the post passes.
#include <cmath>
#include <map>
#include <tuple>

#include "tools/contentgen/mesh_builder.h"
#include "tools/contentgen/meshes.h"

namespace velor::content {

// ccube.x. The demo reads each vertex as a 32-byte record (position, normal, texture coordinate),
// warps the position with sines of the raw coordinates, then pushes it five units along the normal
// and looks from 13 units away. Vertices are welded (each surface point once, so the cloud has no
// doubled points along the edges) and the normals point away from the centre, which turns the cube
// into a rounded, evenly spread shell once pushed out. A 20 x 20 grid per face gives 2402 points.
XFile MakeCloudCubeMesh() {
    constexpr int kCells = 20;
    constexpr float kHalf = 1.5f;
    Mesh mesh;
    mesh.name = "CloudCube";
    Material m;
    m.name = "Cloud";
    mesh.materials.push_back(m);

    std::map<std::tuple<int, int, int>, uint32_t> index;   // lattice point on the surface -> vertex
    auto vertexAt = [&](int i, int j, int k, float u, float v) {
        const auto key = std::make_tuple(i, j, k);
        auto it = index.find(key);
        if (it != index.end()) return it->second;
        const Vec3 p{kHalf * float(2 * i - kCells) / kCells, kHalf * float(2 * j - kCells) / kCells,
                     kHalf * float(2 * k - kCells) / kCells};
        mesh.vertices.push_back({p, Normalize(p), {u, v}});
        const uint32_t id = uint32_t(mesh.vertices.size() - 1);
        index.emplace(key, id);
        return id;
    };
    for (const BoxFace& f : kBoxFaces) {
        auto lattice = [&](int a, int bb) {
            int c[3];
            c[f.normalAxis] = f.sign > 0 ? kCells : 0;
            c[f.uAxis] = a;
            c[f.vAxis] = bb;
            return vertexAt(c[0], c[1], c[2], float(a) / kCells, float(bb) / kCells);
        };
        for (int bb = 0; bb < kCells; ++bb) {
            for (int a = 0; a < kCells; ++a) {
                const uint32_t p00 = lattice(a, bb), p10 = lattice(a + 1, bb);
                const uint32_t p01 = lattice(a, bb + 1), p11 = lattice(a + 1, bb + 1);
                mesh.faces.push_back({p00, p10, p11, 0});
                mesh.faces.push_back({p00, p11, p01, 0});
            }
        }
    }
    XFile file;
    file.meshes.push_back(std::move(mesh));
    return file;
}

// quad.x. The post passes put the quad 0.3 units in front of the camera with a pi/4 vertical view;
// the view there is 2 * 0.3 * tan(pi/8) high and that times the aspect ratio wide. The widest ratio
// the demo builds is 4.8 / 3, so the quad is made that wide: it covers the view at every ratio the
// demo uses (at 4.6 / 3 and 1 the sides run a little past the edges). Texture coordinates run 0..1,
// (0, 0) at the top left, as Direct3D addresses a render target.
XFile MakeScreenQuadMesh() {
    const float halfHeight = 0.3f * std::tan(kPi / 8.0f);
    const float halfWidth = halfHeight * 1.6f;
    Mesh mesh;
    mesh.name = "ScreenQuad";
    Material m;
    m.name = "Screen";
    mesh.materials.push_back(m);
    const Vec3 n{0, 0, -1};
    mesh.vertices = {
        {{-halfWidth, halfHeight, 0}, n, {0, 0}},
        {{halfWidth, halfHeight, 0}, n, {1, 0}},
        {{halfWidth, -halfHeight, 0}, n, {1, 1}},
        {{-halfWidth, -halfHeight, 0}, n, {0, 1}},
    };
    // Clockwise as the camera (looking along +z) sees them: the front faces.
    mesh.faces = {{0, 1, 2, 0}, {0, 2, 3, 0}};
    XFile file;
    file.meshes.push_back(std::move(mesh));
    return file;
}

}  // namespace velor::content
