// The shadow-volume builder on small meshes whose volumes can be worked out by hand, on meshes that
// exercise seams, winding faults and the index width, and on the caster the demo ships.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "demo/content/asset_pack.h"
#include "demo/shadows/shadow_volume_builder.h"
#include "engine/mesh/mesh_loader.h"
#include "tests/demo/shadows/shadow_test_meshes.h"

namespace velor::demo {
namespace {

using test::AddBox;
using test::AddTetrahedron;
using test::Extrude;
using test::MakeMesh;
using test::Points;
using test::ReadVolume;
using test::SignedVolume6;
using test::SourceVertex;
using test::UnpairedEdges;
using test::VolumeData;

std::shared_ptr<Mesh> Build(const std::shared_ptr<Mesh>& source) {
    std::shared_ptr<Mesh> volume;
    EXPECT_EQ(BuildShadowVolume(*source, &volume), Result::Ok);
    return volume;
}

bool Is32Bit(const Mesh& mesh) { return (mesh.GetOptions() & MeshOption::Use32Bit) != 0; }

// Lights from several sides, none on a line through two of the test meshes' corners.
const Vector3 kLights[] = {{3.1f, 4.3f, -2.7f}, {-5.2f, 0.7f, 1.9f}, {0.4f, -3.8f, 4.6f}};

void ExpectClosedForEveryLight(const VolumeData& data) {
    for (const Vector3& light : kLights) {
        std::pair<uint32_t, uint32_t> edge;
        EXPECT_EQ(UnpairedEdges(Extrude(data, light), data.indices, &edge), 0)
            << "light (" << light.x << ", " << light.y << ", " << light.z << "): first open edge " << edge.first
            << " -> " << edge.second;
    }
}

// ---- FindEdgeEntry -----------------------------------------------------------------------------

TEST(FindEdgeEntry, FindsTheReversedEdgeOrTheFirstEmptyEntry) {
    EdgeEntry table[4];
    table[0] = {1, 2, 0, 1, -1, -1};
    table[1] = {2, 3, 1, 2, -1, -1};
    struct Case {
        int32_t a, b, expected;
    };
    const Case cases[] = {
        {2, 1, 0},  // edge 1→2 seen from the other face
        {3, 2, 1},
        {1, 2, 2},  // the same direction is not a match: first empty entry
        {5, 6, 2},
    };
    for (const auto& c : cases) EXPECT_EQ(FindEdgeEntry(table, 4, c.a, c.b), c.expected) << c.a << "->" << c.b;
    EXPECT_EQ(FindEdgeEntry(table, 2, 7, 8), -1) << "full, and no entry holds the edge";
    EXPECT_EQ(FindEdgeEntry(table, 2, 3, 2), 1);
}

// ---- small meshes ------------------------------------------------------------------------------

TEST(BuildShadowVolume, NullOutIsAnInvalidArgument) {
    std::vector<SourceVertex> vertices;
    std::vector<uint32_t> indices;
    AddTetrahedron(vertices, indices, {0, 0, 0});
    EXPECT_EQ(BuildShadowVolume(*MakeMesh(vertices, indices), nullptr), kInvalidArgument);
}

TEST(BuildShadowVolume, ClosedTetrahedronGetsAQuadPerEdgeAndNoCaps) {
    std::vector<SourceVertex> vertices;
    std::vector<uint32_t> indices;
    AddTetrahedron(vertices, indices, {0, 0, 0});
    auto volume = Build(MakeMesh(vertices, indices));
    ASSERT_NE(volume, nullptr);
    EXPECT_EQ(volume->GetNumVertices(), 12u);
    EXPECT_EQ(volume->GetNumFaces(), 16u);
    EXPECT_FALSE(Is32Bit(*volume));
    EXPECT_EQ(volume->GetNumBytesPerVertex(), kShadowVertexBytes);

    const VolumeData data = ReadVolume(*volume);
    // Each face has its own three vertices, carrying the unit face normal, which points outward.
    for (uint32_t f = 0; f < 4; ++f) {
        const Vector3 n = data.normals[3 * f];
        EXPECT_NEAR(n.x * n.x + n.y * n.y + n.z * n.z, 1.0f, 1e-5f);
        for (uint32_t c = 0; c < 3; ++c) {
            const Vector3 p = data.positions[3 * f + c];
            const Vector3 fromCentre{p.x - 0.25f, p.y - 0.25f, p.z - 0.25f};
            EXPECT_GT(n.x * fromCentre.x + n.y * fromCentre.y + n.z * fromCentre.z, 0.0f) << "face " << f;
            EXPECT_FLOAT_EQ(data.normals[3 * f + c].x, n.x);
        }
    }
    // The face loop writes each face followed by the quads its edges closed.
    const uint32_t firstFace[] = {0, 1, 2};
    EXPECT_TRUE(std::equal(std::begin(firstFace), std::end(firstFace), data.indices.begin()));
    ExpectClosedForEveryLight(data);
    EXPECT_GT(SignedVolume6(Extrude(data, kLights[0]), data.indices), 0.0) << "wound like the caster: outward";
}

TEST(BuildShadowVolume, SingleTriangleIsClosedByOneCapAndThreeQuads) {
    auto source = MakeMesh(Points({{0, 0, 0}, {0, 1, 0}, {1, 0, 0}}), {0, 1, 2});
    auto volume = Build(source);
    ASSERT_NE(volume, nullptr);
    EXPECT_EQ(volume->GetNumVertices(), 12u);
    EXPECT_EQ(volume->GetNumFaces(), 8u);
    const VolumeData data = ReadVolume(*volume);
    const std::vector<uint32_t> expected = {0, 1, 2, 3, 4, 5, 1, 0, 4, 5, 4, 0, 2, 1, 3, 4, 3, 1, 0, 2, 5, 3, 5, 2};
    EXPECT_EQ(data.indices, expected);

    // The cap copies vertices 2, 1, 0: opposite winding, its normal the other way.
    EXPECT_FLOAT_EQ(data.positions[3].x, 1.0f);
    EXPECT_FLOAT_EQ(data.positions[4].y, 1.0f);
    EXPECT_FLOAT_EQ(data.positions[5].x, 0.0f);
    EXPECT_FLOAT_EQ(data.normals[0].z, -1.0f);
    // Unnormalised: the edges of the cap meet at 45°, so the normal's length is sin 45°.
    EXPECT_NEAR(data.normals[3].z, std::sqrt(0.5f), 1e-6f);
    for (uint32_t v = 6; v < 12; ++v) {
        EXPECT_EQ(data.positions[v].x, 0.0f);
        EXPECT_EQ(data.normals[v].y, 0.0f);
    }
    ExpectClosedForEveryLight(data);
}

// Two faces over one edge: wound the same way round, the edge pairs in the face loop; run the same
// direction by both (a winding fault), it stays open twice and each face is closed on its own.
TEST(BuildShadowVolume, SharedEdgePairsOnlyWhenTheFacesRunItOppositeWays) {
    struct Case {
        const char* name;
        std::vector<uint32_t> indices;
        uint32_t vertexSlots, indexCount;
        std::vector<uint32_t> afterFaces;  // the next six indices
    };
    const Case cases[] = {
        // The square: one quad in the face loop, four open edges, two caps and one paired quad.
        {"square", {0, 1, 2, 0, 2, 3}, 18, 48, {0, 2, 3, 4, 3, 2}},
        // Edge 0→1 in both faces: no quad in the face loop, six open edges, the first cap follows.
        {"same direction", {0, 1, 2, 0, 1, 3}, 24, 48, {6, 7, 8, 1, 0, 7}},
    };
    const auto corners = Points({{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0.5f}});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto volume = Build(MakeMesh(corners, c.indices));
        ASSERT_NE(volume, nullptr);
        EXPECT_EQ(volume->GetNumVertices(), c.vertexSlots);
        const VolumeData data = ReadVolume(*volume);
        ASSERT_EQ(data.indices.size(), c.indexCount);
        EXPECT_EQ(std::vector<uint32_t>(data.indices.begin() + 6, data.indices.begin() + 12), c.afterFaces);
        ExpectClosedForEveryLight(data);
    }
}

// Split normals give every side of a box vertices of its own; the edges still pair through the
// point representatives, also when the copies differ by less than the weld distance.
TEST(BuildShadowVolume, SeamsPairThroughPointRepresentatives) {
    for (float jitter : {0.0f, 0.00004f}) {
        SCOPED_TRACE(jitter);
        std::vector<SourceVertex> vertices;
        std::vector<uint32_t> indices;
        AddBox(vertices, indices, {-1, -1, -1}, {1, 2, 1}, jitter);
        ASSERT_EQ(vertices.size(), 24u);
        auto volume = Build(MakeMesh(vertices, indices));
        ASSERT_NE(volume, nullptr);
        EXPECT_EQ(volume->GetNumVertices(), 36u) << "no open edge, so no cap slots";
        EXPECT_EQ(volume->GetNumFaces(), 12u + 2u * 18u) << "a quad on each of the 18 edges";
        ExpectClosedForEveryLight(ReadVolume(*volume));
    }
    // Beyond the weld distance the sides come apart and their edges are capped instead.
    std::vector<SourceVertex> vertices;
    std::vector<uint32_t> indices;
    AddBox(vertices, indices, {-1, -1, -1}, {1, 2, 1}, 0.01f);
    auto volume = Build(MakeMesh(vertices, indices));
    ASSERT_NE(volume, nullptr);
    EXPECT_GT(volume->GetNumVertices(), 36u);
}

TEST(BuildShadowVolume, IndicesWidenTo32BitsAbove65535VertexSlots) {
    constexpr int kTetrahedra = 5461;  // 5461 × 12 = 65532 vertex slots
    std::vector<SourceVertex> vertices;
    std::vector<uint32_t> indices;
    for (int t = 0; t < kTetrahedra; ++t) AddTetrahedron(vertices, indices, {float(t % 100) * 2, float(t / 100) * 2, 0});
    {
        auto volume = Build(MakeMesh(vertices, indices));
        ASSERT_NE(volume, nullptr);
        EXPECT_EQ(volume->GetNumVertices(), 65532u);
        EXPECT_FALSE(Is32Bit(*volume));
        const VolumeData data = ReadVolume(*volume);
        EXPECT_EQ(*std::max_element(data.indices.begin(), data.indices.end()), 65531u);
    }
    // One more triangle: 4 face slots and 3 cap slots more, 65544 in all.
    const uint32_t base = uint32_t(vertices.size());
    for (const Vector3& p : {Vector3{-5, 0, 0}, Vector3{-5, 1, 0}, Vector3{-4, 0, 0}}) vertices.push_back({p, {0, 1, 0}});
    for (uint32_t i = 0; i < 3; ++i) indices.push_back(base + i);
    auto volume = Build(MakeMesh(vertices, indices));
    ASSERT_NE(volume, nullptr);
    EXPECT_EQ(volume->GetNumVertices(), 65544u);
    ASSERT_TRUE(Is32Bit(*volume));
    // The triangle's cap sits in slots 65535 to 65537 and is written with full indices.
    const VolumeData data = ReadVolume(*volume);
    const size_t capAt = size_t(kTetrahedra) * 48 + 3;
    EXPECT_EQ(data.indices[capAt], 65535u);
    EXPECT_EQ(data.indices[capAt + 1], 65536u);
    EXPECT_EQ(data.indices[capAt + 2], 65537u);
    EXPECT_FLOAT_EQ(data.positions[65536].y, 1.0f);
}

// ---- the demo's caster -------------------------------------------------------------------------

// An entry of the run folder's asset pack (lengths as 4 bytes little-endian, then the bytes).
std::string PackEntry(const char* name) {
    std::ifstream file(std::filesystem::path(VELOR_RUN_DIR) / "data.xyz", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    size_t at = 0;
    for (int i = 0; i < kPackEntryCount && at + 4 <= bytes.size(); ++i) {
        uint32_t length = 0;
        for (int b = 3; b >= 0; --b) length = length << 8 | uint8_t(bytes[at + size_t(b)]);
        at += 4;
        if (length > bytes.size() - at) break;
        if (std::string(kPackEntryNames[i]) == name) return bytes.substr(at, length);
        at += length;
    }
    return {};
}

TEST(BuildShadowVolume, CasterOfTheDemoGivesAClosedVolume) {
    const std::string duvar = PackEntry("duvar.x");
    ASSERT_FALSE(duvar.empty()) << "no duvar.x in " << VELOR_RUN_DIR << "/data.xyz";
    std::shared_ptr<Mesh> caster;
    std::vector<uint32_t> adjacency;
    std::string error;
    ASSERT_EQ(LoadMeshFromXInMemory(duvar, "duvar.x", MeshOption::Managed, nullptr, &adjacency, nullptr, nullptr,
                                    nullptr, &caster, &error),
              Result::Ok)
        << error;
    // As the object table loads it.
    caster->OptimizeInplace(MeshOpt::Compact | MeshOpt::AttrSort | MeshOpt::VertexCache, adjacency.data(), nullptr,
                            nullptr, nullptr);
    auto volume = Build(caster);
    ASSERT_NE(volume, nullptr);
    const uint32_t faces = caster->GetNumFaces();
    // Closed solids only: every edge pairs in the face loop, so no cap slot and one quad per edge.
    EXPECT_EQ(volume->GetNumVertices(), 3 * faces);
    EXPECT_EQ(volume->GetNumFaces(), faces + 2 * (3 * faces / 2));
    const VolumeData data = ReadVolume(*volume);
    // Light positions of the scene that draws it.
    for (const Vector3& light : {Vector3{-5.4402f, 3, -8.3907f}, Vector3{-9.2298f, 6, -5.9842f}, Vector3{10.9996f, 4, 0.0974f}}) {
        std::pair<uint32_t, uint32_t> edge;
        EXPECT_EQ(UnpairedEdges(Extrude(data, light), data.indices, &edge), 0)
            << "first open edge " << edge.first << " -> " << edge.second;
    }
}

}  // namespace
}  // namespace velor::demo
