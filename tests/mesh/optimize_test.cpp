#include <algorithm>
#include <deque>
#include <random>

#include "tests/mesh/mesh_test_support.h"

namespace velor {
namespace {

using test::PositionAt;

// A grid of n × n quads whose faces are shuffled and given attributes in stripes, plus one vertex that
// no face uses.
std::shared_ptr<Mesh> ShuffledGrid(uint32_t n, uint32_t attributes) {
    std::vector<Vector3> positions;
    for (uint32_t y = 0; y <= n; ++y)
        for (uint32_t x = 0; x <= n; ++x) positions.push_back({float(x), float(y), 0});
    positions.push_back({-5, -5, -5});
    std::vector<std::array<uint32_t, 4>> faces;  // three corners and the attribute
    for (uint32_t y = 0; y < n; ++y)
        for (uint32_t x = 0; x < n; ++x) {
            const uint32_t a = y * (n + 1) + x, b = a + 1, c = a + n + 1, d = c + 1;
            const uint32_t attribute = (x * attributes) / n;
            faces.push_back({a, c, b, attribute});
            faces.push_back({b, c, d, attribute});
        }
    std::mt19937 random(7);
    std::shuffle(faces.begin(), faces.end(), random);
    std::vector<uint32_t> indices, attribs;
    for (const auto& f : faces) {
        indices.insert(indices.end(), {f[0], f[1], f[2]});
        attribs.push_back(f[3]);
    }
    return test::MakeMesh(positions, indices, attribs);
}

struct Snapshot {
    std::vector<std::array<Vector3, 3>> faces;
    std::vector<uint32_t> attributes;
};

Snapshot Take(const Mesh& mesh) {
    Snapshot s;
    for (uint32_t f = 0; f < mesh.GetNumFaces(); ++f) {
        s.faces.push_back({PositionAt(mesh, mesh.IndexAt(f * 3)), PositionAt(mesh, mesh.IndexAt(f * 3 + 1)),
                           PositionAt(mesh, mesh.IndexAt(f * 3 + 2))});
        s.attributes.push_back(mesh.Attributes()[f]);
    }
    return s;
}

// Vertex misses per triangle through a FIFO cache of 16 entries.
float MissesPerTriangle(const Mesh& mesh) {
    std::deque<uint32_t> cache;
    uint32_t misses = 0;
    for (uint32_t i = 0; i < mesh.GetNumFaces() * 3; ++i) {
        const uint32_t v = mesh.IndexAt(i);
        if (std::find(cache.begin(), cache.end(), v) != cache.end()) continue;
        ++misses;
        cache.push_back(v);
        if (cache.size() > 16) cache.pop_front();
    }
    return float(misses) / float(mesh.GetNumFaces());
}

constexpr uint32_t kLoadFlags = MeshOpt::Compact | MeshOpt::AttrSort | MeshOpt::VertexCache;

TEST(OptimizeInplace, KeepsEveryFacesGeometryAndGroupsFacesByAttribute) {
    auto mesh = ShuffledGrid(12, 3);
    const Snapshot before = Take(*mesh);
    std::vector<uint32_t> adjacency(mesh->GetNumFaces() * 3), faceRemap(mesh->GetNumFaces()), vertexRemap;
    mesh->GenerateAdjacency(0.0f, adjacency.data());
    ASSERT_EQ(mesh->OptimizeInplace(kLoadFlags, adjacency.data(), nullptr, faceRemap.data(), &vertexRemap), Result::Ok);
    const Snapshot after = Take(*mesh);

    ASSERT_EQ(after.faces.size(), before.faces.size());
    for (uint32_t f = 0; f < after.faces.size(); ++f) {
        const uint32_t old = faceRemap[f];
        for (int c = 0; c < 3; ++c) ASSERT_TRUE(test::SameVec3(after.faces[f][c], before.faces[old][c])) << f;
        EXPECT_EQ(after.attributes[f], before.attributes[old]);
    }
    EXPECT_TRUE(std::is_sorted(after.attributes.begin(), after.attributes.end()));
    std::vector<uint32_t> seen(faceRemap);
    std::sort(seen.begin(), seen.end());
    for (uint32_t f = 0; f < seen.size(); ++f) ASSERT_EQ(seen[f], f);

    AttributeRange table[8];
    uint32_t size = 0;
    mesh->GetAttributeTable(table, &size);
    ASSERT_EQ(size, 3u);
    for (uint32_t i = 0; i < size; ++i) {
        EXPECT_EQ(table[i].attribId, i);
        for (uint32_t f = table[i].faceStart; f < table[i].faceStart + table[i].faceCount; ++f)
            for (uint32_t c = 0; c < 3; ++c) {
                const uint32_t v = mesh->IndexAt(f * 3 + c);
                EXPECT_GE(v, table[i].vertexStart);
                EXPECT_LT(v, table[i].vertexStart + table[i].vertexCount);
            }
    }
    // Stripes share the grid's vertical lines: their vertices are split, one copy per subset, and the
    // unused vertex is gone. 13 × 13 grid points plus two shared columns of 13.
    EXPECT_EQ(mesh->GetNumVertices(), 13u * 13u + 2u * 13u);
    ASSERT_EQ(vertexRemap.size(), mesh->GetNumVertices());
    for (uint32_t v = 0; v < vertexRemap.size(); ++v) EXPECT_NE(vertexRemap[v], 13u * 13u);
}

TEST(OptimizeInplace, VertexCacheOrderCutsCacheMisses) {
    auto mesh = ShuffledGrid(24, 1);
    const float before = MissesPerTriangle(*mesh);
    ASSERT_EQ(mesh->OptimizeInplace(kLoadFlags, nullptr, nullptr, nullptr, nullptr), Result::Ok);
    const float after = MissesPerTriangle(*mesh);
    EXPECT_GT(before, 1.5f);
    EXPECT_LT(after, 0.9f);
}

TEST(OptimizeInplace, FlagsDecideWhatHappensToVertices) {
    struct Case {
        uint32_t flags;
        uint32_t vertices;
        bool sameVertexBuffer;
    };
    const uint32_t grid = 7 * 7;
    for (const Case& c : {Case{MeshOpt::AttrSort | MeshOpt::IgnoreVerts, grid + 1, true},
                          Case{MeshOpt::AttrSort | MeshOpt::DoNotSplit, grid, false},
                          Case{MeshOpt::AttrSort, grid + 7, false}, Case{MeshOpt::Compact, grid, false}}) {
        SCOPED_TRACE(c.flags);
        auto mesh = ShuffledGrid(6, 2);
        const std::vector<uint8_t> vertices(mesh->VertexData(),
                                            mesh->VertexData() + mesh->GetNumVertices() * mesh->GetNumBytesPerVertex());
        ASSERT_EQ(mesh->OptimizeInplace(c.flags, nullptr, nullptr, nullptr, nullptr), Result::Ok);
        EXPECT_EQ(mesh->GetNumVertices(), c.vertices);
        const bool same = mesh->GetNumVertices() * mesh->GetNumBytesPerVertex() == vertices.size() &&
                          std::equal(vertices.begin(), vertices.end(), mesh->VertexData());
        EXPECT_EQ(same, c.sameVertexBuffer);
    }
}

TEST(OptimizeInplace, AdjacencyFollowsTheFaces) {
    auto mesh = ShuffledGrid(5, 2);
    std::vector<uint32_t> adjacency(mesh->GetNumFaces() * 3), moved(adjacency.size()), faceRemap(mesh->GetNumFaces());
    mesh->GenerateAdjacency(0.0f, adjacency.data());
    ASSERT_EQ(mesh->OptimizeInplace(kLoadFlags | MeshOpt::DoNotSplit, adjacency.data(), moved.data(), faceRemap.data(),
                                    nullptr),
              Result::Ok);
    std::vector<uint32_t> fresh(moved.size());
    mesh->GenerateAdjacency(0.0f, fresh.data());
    EXPECT_EQ(moved, fresh);
}

}  // namespace
}  // namespace velor
