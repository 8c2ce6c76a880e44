#include <numbers>

#include "tests/mesh/mesh_test_support.h"

namespace velor {
namespace {

using test::ExpectVec3Near;
using test::PositionAt;
using test::Vec3At;

Vector3 Sub(const Vector3& a, const Vector3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

TEST(CreateSphere, SwarmSphereHasD3DXCountsAndLayout) {
    std::shared_ptr<Mesh> sphere;
    ASSERT_EQ(CreateSphere(nullptr, 0.2f, 40, 32, &sphere), Result::Ok);
    EXPECT_EQ(sphere->GetNumVertices(), 1242u);
    EXPECT_EQ(sphere->GetNumFaces(), 2480u);
    EXPECT_EQ(sphere->GetNumBytesPerVertex(), 24u);
    EXPECT_EQ(sphere->GetFVF(), Fvf::XYZ | Fvf::Normal);
    EXPECT_EQ(sphere->GetOptions(), MeshOption::Managed);
    std::shared_ptr<IndexBuffer> indices;
    sphere->GetIndexBuffer(&indices);
    EXPECT_EQ(indices->GetFormat(), Format::Index16);
    std::shared_ptr<VertexBuffer> vertices;
    sphere->GetVertexBuffer(&vertices);
    EXPECT_EQ(vertices->GetLength(), 29808u);

    ExpectVec3Near(PositionAt(*sphere, 0), {0, 0, 0.2f}, 0.0f);
    ExpectVec3Near(PositionAt(*sphere, 1241), {0, 0, -0.2f}, 0.0f);
    for (uint32_t v = 0; v < 1242; ++v) {
        const Vector3 p = PositionAt(*sphere, v), n = Vec3At(*sphere, v, 12);
        ASSERT_NEAR(test::Length(n), 1.0f, 1e-6f) << v;
        ExpectVec3Near(p, {0.2f * n.x, 0.2f * n.y, 0.2f * n.z}, 1e-7f);
    }
}

TEST(CreateSphere, RingsStartAtPlusYAndTurnTowardsPlusX) {
    std::shared_ptr<Mesh> sphere;
    ASSERT_EQ(CreateSphere(nullptr, 0.2f, 40, 32, &sphere), Result::Ok);
    const float pi = std::numbers::pi_v<float>;
    const float s = std::sin(pi / 32), c = std::cos(pi / 32);
    ExpectVec3Near(PositionAt(*sphere, 1), {0, 0.2f * s, 0.2f * c});
    const float phi = pi / 2 - 2 * pi / 40;
    ExpectVec3Near(PositionAt(*sphere, 2), {0.2f * s * std::cos(phi), 0.2f * s * std::sin(phi), 0.2f * c});
    // Ring 2 starts at vertex 41; the last ring ends just before the bottom pole.
    const float s2 = std::sin(2 * pi / 32);
    ExpectVec3Near(PositionAt(*sphere, 41), {0, 0.2f * s2, 0.2f * std::cos(2 * pi / 32)});
    EXPECT_LT(PositionAt(*sphere, 1240).z, 0.0f);
}

TEST(CreateSphere, IndicesAreTopFanThenBandsThenBottomFanAllFacingOut) {
    std::shared_ptr<Mesh> sphere;
    ASSERT_EQ(CreateSphere(nullptr, 0.2f, 40, 32, &sphere), Result::Ok);
    auto face = [&](uint32_t f) {
        return std::vector<uint32_t>{sphere->IndexAt(f * 3), sphere->IndexAt(f * 3 + 1), sphere->IndexAt(f * 3 + 2)};
    };
    EXPECT_EQ(face(0), (std::vector<uint32_t>{0, 2, 1}));
    EXPECT_EQ(face(39), (std::vector<uint32_t>{0, 1, 40}));  // the seam of the top fan
    EXPECT_EQ(face(40), (std::vector<uint32_t>{1, 2, 41}));  // first band, first triangle
    EXPECT_EQ(face(41), (std::vector<uint32_t>{2, 42, 41}));
    EXPECT_EQ(face(2479), (std::vector<uint32_t>{1240, 1201, 1241}));  // bottom fan seam
    for (uint32_t f = 0; f < sphere->GetNumFaces(); ++f) {
        const auto idx = face(f);
        const Vector3 p0 = PositionAt(*sphere, idx[0]), p1 = PositionAt(*sphere, idx[1]), p2 = PositionAt(*sphere, idx[2]);
        const Vector3 e1 = Sub(p1, p0), e2 = Sub(p2, p0);
        const Vector3 n{e1.y * e2.z - e1.z * e2.y, e1.z * e2.x - e1.x * e2.z, e1.x * e2.y - e1.y * e2.x};
        const Vector3 centre{(p0.x + p1.x + p2.x) / 3, (p0.y + p1.y + p2.y) / 3, (p0.z + p1.z + p2.z) / 3};
        ASSERT_GT(n.x * centre.x + n.y * centre.y + n.z * centre.z, 0.0f) << "face " << f;
    }
}

TEST(CreateSphere, IsClosed) {
    std::shared_ptr<Mesh> sphere;
    std::vector<uint32_t> adjacency;
    ASSERT_EQ(CreateSphere(nullptr, 1.0f, 8, 5, &sphere, &adjacency), Result::Ok);
    EXPECT_EQ(sphere->GetNumVertices(), 2u + 8 * 4);
    ASSERT_EQ(adjacency.size(), size_t(sphere->GetNumFaces()) * 3);
    for (uint32_t a : adjacency) EXPECT_NE(a, kUnused32);
}

TEST(CreateSphere, RefusesImpossibleShapes) {
    struct Case {
        float radius;
        uint32_t slices, stacks;
    };
    for (const Case& c : {Case{-1.0f, 8, 8}, Case{1.0f, 1, 8}, Case{1.0f, 8, 1}, Case{1.0f, 400, 400}}) {
        std::shared_ptr<Mesh> sphere;
        EXPECT_EQ(CreateSphere(nullptr, c.radius, c.slices, c.stacks, &sphere), Result::InvalidCall);
        EXPECT_EQ(sphere, nullptr);
    }
}

}  // namespace
}  // namespace velor
