// The meshes of the pack, read independently of the generator and through the engine's loader:
// consistent counts, 32-byte vertices, windings that face the way each scene looks at them, a
// closed caster for the stencil shadows, and sizes that fit the demo's cameras.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <tuple>

#include "engine/mesh/mesh_loader.h"
#include "tests/content/content_test_support.h"
#include "tests/content/x_text_probe.h"
#include "tools/contentgen/sky_layout.h"

namespace velor::content {
namespace {

using probe::P3;
using probe::ProbeMesh;

P3 Sub(const P3& a, const P3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
P3 CrossP(const P3& a, const P3& b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double DotP(const P3& a, const P3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
double LengthP(const P3& a) { return std::sqrt(DotP(a, a)); }

// The side a triangle is seen from: Direct3D draws clockwise triangles, for which this points
// toward the viewer in its left-handed space.
P3 FaceNormal(const ProbeMesh& m, size_t f) {
    const auto& t = m.faces[f];
    return CrossP(Sub(m.positions[t[1]], m.positions[t[0]]), Sub(m.positions[t[2]], m.positions[t[0]]));
}
P3 Centroid(const ProbeMesh& m, size_t f) {
    const auto& t = m.faces[f];
    const P3 &a = m.positions[t[0]], &b = m.positions[t[1]], &c = m.positions[t[2]];
    return {(a.x + b.x + c.x) / 3, (a.y + b.y + c.y) / 3, (a.z + b.z + c.z) / 3};
}

ProbeMesh LoadProbe(const std::string& file) {
    const probe::XDocument doc = probe::ParseXText(testing::GeneratedText(file));
    EXPECT_TRUE(doc.error.empty()) << file << ": " << doc.error;
    const auto meshes = probe::FindAll(doc, "Mesh");
    EXPECT_EQ(meshes.size(), 1u) << file;
    if (meshes.empty()) return {};
    ProbeMesh m = probe::InterpretMesh(*meshes[0]);
    EXPECT_TRUE(m.error.empty()) << file << ": " << m.error;
    return m;
}

class MeshFile : public ::testing::TestWithParam<const char*> {};

TEST_P(MeshFile, HasConsistentCountsAndThirtyTwoByteVertices) {
    const ProbeMesh m = LoadProbe(GetParam());
    ASSERT_TRUE(m.error.empty());
    const size_t n = m.positions.size();
    ASSERT_GT(n, 0u);
    // Position, normal and one texture coordinate per vertex: the 32-byte records the demo reads.
    EXPECT_EQ(m.normals.size(), n);
    EXPECT_EQ(m.uvs.size(), n);
    EXPECT_EQ(m.normalFaces, m.faces) << "normals must be indexed like the vertices";
    ASSERT_EQ(m.faceMaterials.size(), m.faces.size());
    ASSERT_FALSE(m.materials.empty());
    for (size_t f = 0; f < m.faces.size(); ++f) {
        for (uint32_t v : m.faces[f]) ASSERT_LT(v, n) << "face " << f;
        ASSERT_LT(m.faceMaterials[f], m.materials.size()) << "face " << f;
        ASSERT_GT(LengthP(FaceNormal(m, f)), 1e-9) << "face " << f << " has no area";
    }
    for (const P3& normal : m.normals) ASSERT_NEAR(LengthP(normal), 1.0, 1e-3);
    // Normals face the same side as the winding: lighting and the winding agree. The sky box is
    // the exception: it is wound to be culled from outside (the demo culls clockwise for it) while
    // its normals face the inside, where it is seen from.
    if (std::string(GetParam()) == "skybox.x") return;
    size_t agree = 0;
    for (size_t f = 0; f < m.faces.size(); ++f) {
        P3 sum{};
        for (uint32_t v : m.faces[f]) sum = {sum.x + m.normals[v].x, sum.y + m.normals[v].y, sum.z + m.normals[v].z};
        agree += DotP(sum, FaceNormal(m, f)) > 0;
    }
    EXPECT_GE(double(agree), 0.98 * double(m.faces.size())) << GetParam();
}

TEST_P(MeshFile, LoadsThroughTheEnginesReader) {
    const std::string text = testing::GeneratedText(GetParam());
    const ProbeMesh m = LoadProbe(GetParam());
    std::shared_ptr<Mesh> mesh;
    std::vector<XMaterial> materials;
    uint32_t materialCount = 0;
    std::string error;
    ASSERT_TRUE(Succeeded(LoadMeshFromXInMemory(text, GetParam(), 0, nullptr, nullptr, &materials, nullptr,
                                                &materialCount, &mesh, &error)))
        << error;
    ASSERT_TRUE(mesh);
    EXPECT_EQ(mesh->GetNumBytesPerVertex(), 32u);
    EXPECT_EQ(mesh->GetNumVertices(), m.positions.size());
    EXPECT_EQ(mesh->GetNumFaces(), m.faces.size());
    EXPECT_EQ(materialCount, m.materials.size());
}

INSTANTIATE_TEST_SUITE_P(PackMeshes, MeshFile,
                         ::testing::Values("skybox.x", "tree.x", "duvar.x", "sphere.x", "scroll.x", "tunnel.x", "ccube.x",
                                           "quad.x"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             std::string name = info.param;
                             return name.substr(0, name.find('.'));
                         });

TEST(Meshes, CasterIsClosedAndConsistentlyWound) {
    const ProbeMesh m = LoadProbe("duvar.x");
    ASSERT_TRUE(m.error.empty());
    EXPECT_GE(m.faces.size(), 300u);
    EXPECT_LE(m.faces.size(), 6000u);
    // Weld positions as the shadow builder does (within 0.0001), then every directed edge must
    // appear exactly once and its reverse exactly once: two faces per edge, opposite directions.
    std::map<std::tuple<long long, long long, long long>, uint32_t> weld;
    std::vector<uint32_t> rep(m.positions.size());
    for (size_t i = 0; i < m.positions.size(); ++i) {
        const P3& p = m.positions[i];
        const auto key = std::make_tuple(std::llround(p.x * 2e4), std::llround(p.y * 2e4), std::llround(p.z * 2e4));
        rep[i] = weld.emplace(key, uint32_t(weld.size())).first->second;
    }
    std::map<std::pair<uint32_t, uint32_t>, int> directed;
    for (const auto& f : m.faces)
        for (int k = 0; k < 3; ++k) ++directed[{rep[f[size_t(k)]], rep[f[size_t((k + 1) % 3)]]}];
    for (const auto& [edge, count] : directed) {
        ASSERT_EQ(count, 1) << "edge " << edge.first << "-" << edge.second << " runs the same way in " << count << " faces";
        auto reverse = directed.find({edge.second, edge.first});
        ASSERT_NE(reverse, directed.end()) << "edge " << edge.first << "-" << edge.second << " has only one face";
    }
    // Outward winding: the enclosed volume comes out positive.
    double volume = 0;
    for (const auto& f : m.faces) volume += DotP(m.positions[f[0]], CrossP(m.positions[f[1]], m.positions[f[2]])) / 6.0;
    EXPECT_GT(volume, 10.0);
}

TEST(Meshes, SceneTwoObjectsLeaveRoomForTheCameraAndEachOther) {
    const ProbeMesh caster = LoadProbe("duvar.x"), orb = LoadProbe("sphere.x"), shell = LoadProbe("scroll.x");
    // The camera's low pass goes by at 4.6 units from the axis at height -3.05 or a little lower:
    // above -3.4 nothing may reach out that far.
    for (const P3& p : caster.positions) {
        const double r = std::hypot(p.x, p.z);
        if (p.y > -3.4) {
            ASSERT_LT(r, 4.4) << "caster reaches the camera path at y " << p.y;
        }
        ASSERT_LT(r, 6.5);
    }
    double orbRadius = 0, shellRadius = 1e9;
    for (const P3& p : orb.positions) orbRadius = std::max(orbRadius, LengthP(p));
    for (const P3& p : shell.positions) shellRadius = std::min(shellRadius, LengthP(p));
    EXPECT_LT(orbRadius, shellRadius) << "the glow shell would hide inside the orb";
    // Around the orb's height nothing of the caster cuts into the glow shell.
    for (const P3& p : caster.positions) {
        if (p.y > -1.4 && p.y < 1.3) {
            ASSERT_GT(std::hypot(p.x, p.z), shellRadius) << "at height " << p.y;
        }
    }
}

TEST(Meshes, SphereIsRoundAndFacesOutward) {
    const ProbeMesh m = LoadProbe("sphere.x");
    ASSERT_GE(m.positions.size(), 500u);
    const double r0 = LengthP(m.positions[0]);
    for (const P3& p : m.positions) ASSERT_NEAR(LengthP(p), r0, 1e-4);
    for (size_t f = 0; f < m.faces.size(); ++f) ASSERT_GT(DotP(FaceNormal(m, f), Centroid(m, f)), 0) << "face " << f;
}

TEST(Meshes, TunnelIsSeenFromInsideAndItsTextureTiles) {
    const ProbeMesh m = LoadProbe("tunnel.x");
    double minRadius = 1e9, minZ = 1e9, maxZ = -1e9, maxU = 0;
    for (const P3& p : m.positions) {
        minRadius = std::min(minRadius, std::hypot(p.x, p.y));
        minZ = std::min(minZ, p.z);
        maxZ = std::max(maxZ, p.z);
    }
    // The camera stays within about 1.2 units of the tube's turning centre.
    EXPECT_GT(minRadius, 2.0);
    EXPECT_GT(maxZ - minZ, 60.0);
    for (size_t f = 0; f < m.faces.size(); ++f) {
        const P3 c = Centroid(m, f);
        ASSERT_GT(DotP(FaceNormal(m, f), P3{-c.x, -c.y, 0}), 0) << "face " << f << " faces away from the axis";
        // Texture coordinates are continuous across every face: no face spans the seam.
        double uMin = 1e9, uMax = -1e9, vMin = 1e9, vMax = -1e9;
        for (uint32_t v : m.faces[f]) {
            uMin = std::min(uMin, m.uvs[v][0]);
            uMax = std::max(uMax, m.uvs[v][0]);
            vMin = std::min(vMin, m.uvs[v][1]);
            vMax = std::max(vMax, m.uvs[v][1]);
        }
        ASSERT_LT(uMax - uMin, 0.25) << "face " << f;
        ASSERT_LT(vMax - vMin, 0.5) << "face " << f;
        maxU = std::max(maxU, uMax);
    }
    EXPECT_GE(maxU, 2.0) << "the wall texture should repeat around the tube";
}

TEST(Meshes, ScreenQuadFillsThePostPassViewAtEveryAspect) {
    const ProbeMesh m = LoadProbe("quad.x");
    const double halfHeight = 0.3 * std::tan(3.14159265358979 / 8);
    double minX = 1e9, maxX = -1e9, minY = 1e9, maxY = -1e9;
    for (const P3& p : m.positions) {
        EXPECT_NEAR(p.z, 0.0, 1e-6);
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    for (double aspect : {1.0, 4.6 / 3.0, 4.8 / 3.0}) {
        EXPECT_LE(minX, -halfHeight * aspect + 1e-5) << aspect;
        EXPECT_GE(maxX, halfHeight * aspect - 1e-5) << aspect;
    }
    // Vertically it matches the view, so the image's rows map one to one.
    EXPECT_NEAR(maxY, halfHeight, 1e-5);
    EXPECT_NEAR(minY, -halfHeight, 1e-5);
    for (size_t i = 0; i < m.positions.size(); ++i) {
        // Texture (0, 0) at the top left, (1, 1) at the bottom right.
        EXPECT_DOUBLE_EQ(m.uvs[i][0], m.positions[i].x < 0 ? 0.0 : 1.0);
        EXPECT_DOUBLE_EQ(m.uvs[i][1], m.positions[i].y > 0 ? 0.0 : 1.0);
    }
    // Front-facing for a camera behind it looking along +z.
    for (size_t f = 0; f < m.faces.size(); ++f) EXPECT_LT(FaceNormal(m, f).z, 0) << "face " << f;
}

TEST(Meshes, CloudCubeGivesAFewThousandDistinctPoints) {
    const ProbeMesh m = LoadProbe("ccube.x");
    // The demo's cube snapshot holds 50,000 entries and draws every vertex twice per frame.
    EXPECT_GE(m.positions.size(), 2000u);
    EXPECT_LE(m.positions.size(), 5000u);
    std::set<std::tuple<double, double, double>> unique;
    for (const P3& p : m.positions) unique.insert({p.x, p.y, p.z});
    EXPECT_EQ(unique.size(), m.positions.size()) << "doubled points would glow twice as bright";
}

TEST(Meshes, SkyBoxEnclosesTheForestAndKeepsItsInsideWhenClockwiseIsCulled) {
    const ProbeMesh m = LoadProbe("skybox.x");
    double minY = 1e9, maxY = -1e9, minX = 1e9, maxX = -1e9, minZ = 1e9, maxZ = -1e9;
    for (const P3& p : m.positions) {
        minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
        minZ = std::min(minZ, p.z), maxZ = std::max(maxZ, p.z);
    }
    // The forest: trees from x -4 to 4 and z -4 to 5 (crowns a unit wider), the camera between
    // x 1.5 and 5 at z -1, rising a little.
    EXPECT_LT(maxX - minX, 500.0);
    EXPECT_LE(minX, -10.0);
    EXPECT_GE(maxX, 10.0);
    EXPECT_LE(minZ, -10.0);
    EXPECT_GE(maxZ, 10.0);
    EXPECT_GE(maxY, 10.0);
    // Its floor is the ground the trees and the followers stand on.
    EXPECT_NEAR(minY, -0.8, 1e-4);
    // Seen from the camera every face is counter-clockwise, so culling clockwise keeps them all.
    const P3 eye{3.0, 0.2, -1.0};
    for (size_t f = 0; f < m.faces.size(); ++f) {
        ASSERT_GT(DotP(FaceNormal(m, f), Sub(Centroid(m, f), eye)), 0) << "face " << f << " would be culled";
    }
}

TEST(Meshes, SkyWallsMapTheirTexturesTheWayTheSkyWasPainted) {
    const ProbeMesh m = LoadProbe("skybox.x");
    const std::map<std::string, sky::Face> faces = {{"textures/sky_north.jpg", sky::Face::North},
                                                    {"textures/sky_south.jpg", sky::Face::South},
                                                    {"textures/sky_east.jpg", sky::Face::East},
                                                    {"textures/sky_west.jpg", sky::Face::West},
                                                    {"textures/sky_top.jpg", sky::Face::Top}};
    int checked = 0;
    for (size_t f = 0; f < m.faces.size(); ++f) {
        auto it = faces.find(m.materials[m.faceMaterials[f]].texture);
        if (it == faces.end()) continue;
        for (uint32_t v : m.faces[f]) {
            const Vec3 expected = sky::FacePoint(it->second, float(m.uvs[v][0]), float(m.uvs[v][1]));
            ASSERT_NEAR(expected.x, m.positions[v].x, 1e-3) << it->first;
            ASSERT_NEAR(expected.y, m.positions[v].y, 1e-3) << it->first;
            ASSERT_NEAR(expected.z, m.positions[v].z, 1e-3) << it->first;
            ++checked;
        }
    }
    EXPECT_GT(checked, 0);
}

TEST(Meshes, TreeReachesIntoTheGroundWithTexturedBarkAndLeaves) {
    const ProbeMesh m = LoadProbe("tree.x");
    ASSERT_GE(m.materials.size(), 2u);
    for (const probe::ProbeMaterial& mat : m.materials) EXPECT_FALSE(mat.texture.empty());
    double minY = 1e9, maxY = -1e9;
    for (const P3& p : m.positions) minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
    // Placed at y 0 or -0.2 on ground at -0.8: the trunk's foot must reach below it either way.
    EXPECT_LT(minY, -0.8);
    EXPECT_GT(maxY, 1.5);
    EXPECT_LT(maxY, 4.0);
}

}  // namespace
}  // namespace velor::content
