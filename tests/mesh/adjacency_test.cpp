#include "tests/mesh/mesh_test_support.h"

namespace velor {
namespace {

using test::MakeMesh;

// A square of two triangles whose diagonal is a texture seam: the second triangle has its own copies
// (4, 5) of the diagonal's corners 0 and 2, one of them nudged by 1e-5.
std::shared_ptr<Mesh> SeamSquare() {
    return MakeMesh({{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0}, {0, 0, 0}, {1, 1.00001f, 0}},
                    {0, 1, 2, 4, 5, 3}, {}, {{0, 0}, {0, 1}, {1, 1}, {1, 0}, {0.5f, 0}, {0.5f, 1}});
}

std::vector<uint32_t> Adjacency(const Mesh& mesh, float epsilon) {
    std::vector<uint32_t> adjacency(mesh.GetNumFaces() * 3);
    EXPECT_EQ(mesh.GenerateAdjacency(epsilon, adjacency.data()), Result::Ok);
    return adjacency;
}

TEST(GenerateAdjacency, EpsilonDecidesWhetherASeamJoinsFaces) {
    auto square = SeamSquare();
    const uint32_t u = kUnused32;
    EXPECT_EQ(Adjacency(*square, 0.0f), (std::vector<uint32_t>{u, u, u, u, u, u}));
    EXPECT_EQ(Adjacency(*square, 1e-6f), (std::vector<uint32_t>{u, u, u, u, u, u}));
    // Edge (2, 0) of face 0 meets edge (4, 5) of face 1, which runs the other way.
    EXPECT_EQ(Adjacency(*square, 1e-4f), (std::vector<uint32_t>{u, u, 1, 0, u, u}));
}

TEST(GenerateAdjacency, EdgesRunningTheSameWayDoNotJoin) {
    auto mesh = MakeMesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}}, {0, 1, 2, 0, 1, 3});
    for (uint32_t a : Adjacency(*mesh, 0.0f)) EXPECT_EQ(a, kUnused32);
}

// D3DX's cases: two triangles over the unit square, the second either sharing the diagonal's
// vertices or with its own copies of them moved by (0, dy, dz).
struct AdjacencyCase {
    const char* name;
    std::vector<Vector3> positions;
    std::vector<uint32_t> indices;
    float epsilon;
    std::vector<uint32_t> expected;
};

TEST(GenerateAdjacency, MatchesD3DXsRuleForEpsilon) {
    const uint32_t u = kUnused32;
    const std::vector<Vector3> shared{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
    auto copies = [](float dy, float dz) {
        return std::vector<Vector3>{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, dy, dz}, {1, 1 + dy, dz}, {0, 1 + dy, dz}};
    };
    const AdjacencyCase cases[] = {
        {"negative: shared indices join", shared, {0, 1, 2, 0, 2, 3}, -1.0f, {u, u, 1, 0, u, u}},
        {"negative: equal positions do not", copies(0, 0), {0, 1, 2, 3, 4, 5}, -1.0f, {u, u, u, u, u, u}},
        {"zero: equal positions join", copies(0, 0), {0, 1, 2, 3, 4, 5}, 0.0f, {u, u, 1, 0, u, u}},
        {"distance equal to epsilon stays apart", copies(0, 0.25f), {0, 1, 2, 3, 4, 5}, 0.25f, {u, u, u, u, u, u}},
        {"distance just under epsilon joins", copies(0, 0.25f), {0, 1, 2, 3, 4, 5}, 0.250001f, {u, u, 1, 0, u, u}},
        // Each axis is 0.25 apart, the points 0.35355 apart.
        {"straight-line distance, not per axis", copies(0.25f, 0.25f), {0, 1, 2, 3, 4, 5}, 0.353f, {u, u, u, u, u, u}},
        {"straight-line distance under epsilon", copies(0.25f, 0.25f), {0, 1, 2, 3, 4, 5}, 0.354f, {u, u, 1, 0, u, u}},
        {"shared edge the same way round", shared, {0, 1, 2, 0, 3, 2}, 0.0f, {u, u, u, u, u, u}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto mesh = MakeMesh(c.positions, c.indices);
        EXPECT_EQ(Adjacency(*mesh, c.epsilon), c.expected);
    }
}

TEST(ConvertAdjacencyToPointReps, SeamCopiesMapToTheLowestVertexOfTheirPoint) {
    auto square = SeamSquare();
    const auto adjacency = Adjacency(*square, 1e-4f);
    std::vector<uint32_t> reps(square->GetNumVertices());
    ASSERT_EQ(square->ConvertAdjacencyToPointReps(adjacency.data(), reps.data()), Result::Ok);
    EXPECT_EQ(reps, (std::vector<uint32_t>{0, 1, 2, 3, 0, 2}));
    // Without adjacency across the seam nothing merges.
    const auto apart = Adjacency(*square, 0.0f);
    ASSERT_EQ(square->ConvertAdjacencyToPointReps(apart.data(), reps.data()), Result::Ok);
    EXPECT_EQ(reps, (std::vector<uint32_t>{0, 1, 2, 3, 4, 5}));
}

// A tetrahedron with every face on its own three vertices (as a mesh with split normals is): the
// adjacency closes it and the point representatives find its four corners.
TEST(ConvertAdjacencyToPointReps, SplitTetrahedronHasFourPoints) {
    const Vector3 a{0, 0, 0}, b{1, 0, 0}, c{0, 1, 0}, d{0, 0, 1};
    auto mesh = MakeMesh({a, c, b, a, b, d, a, d, c, b, c, d}, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11});
    const auto adjacency = Adjacency(*mesh, 0.0001f);
    for (uint32_t n : adjacency) ASSERT_NE(n, kUnused32);
    std::vector<uint32_t> reps(12);
    ASSERT_EQ(mesh->ConvertAdjacencyToPointReps(adjacency.data(), reps.data()), Result::Ok);
    EXPECT_EQ(reps, (std::vector<uint32_t>{0, 1, 2, 0, 2, 5, 0, 5, 1, 2, 1, 5}));
}

}  // namespace
}  // namespace velor
