#include "tests/mesh/mesh_test_support.h"

namespace velor {
namespace {

using test::ExpectVec3Near;
using test::Vec3At;

constexpr VertexElement kTangentDecl[] = {
    {0, 0, DeclType::Float3, DeclMethod::Default, DeclUsage::Position, 0},
    {0, 12, DeclType::Float3, DeclMethod::Default, DeclUsage::Tangent, 0},
    {0, 24, DeclType::Float3, DeclMethod::Default, DeclUsage::Binormal, 0},
    {0, 36, DeclType::Float3, DeclMethod::Default, DeclUsage::Normal, 0},
    {0, 48, DeclType::Float2, DeclMethod::Default, DeclUsage::TexCoord, 0},
    kDeclEnd,
};
constexpr uint32_t kTangent = 12, kBinormal = 24, kNormal = 36;

// A unit square in the z = 0 plane facing -z, textured by (u, v) = (x + skew·y, y).
std::shared_ptr<Mesh> Square(float skew) {
    std::vector<Vector2> uvs;
    const std::vector<Vector3> corners{{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {1, 0, 0}};
    for (const auto& p : corners) uvs.push_back({p.x + skew * p.y, p.y});
    auto textured = test::MakeMesh(corners, {0, 1, 2, 0, 2, 3}, {}, uvs);
    std::shared_ptr<Mesh> mesh;
    EXPECT_EQ(textured->CloneMesh(MeshOption::Managed, kTangentDecl, nullptr, &mesh), Result::Ok);
    return mesh;
}

// The call the terrain makes: u goes to the binormal element, v to the tangent element.
Result TerrainCall(const std::shared_ptr<Mesh>& mesh, uint32_t options, std::shared_ptr<Mesh>* out) {
    return ComputeTangentFrameEx(mesh, DeclUsage::TexCoord, 0, DeclUsage::Binormal, 0, DeclUsage::Tangent, 0,
                                 DeclUsage::Normal, 0, options, nullptr, 0.01f, 0.25f, 0.01f, out, nullptr);
}

float Dot(const Vector3& a, const Vector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

TEST(ComputeTangentFrameEx, PartialsFollowTheTextureAxesIntoTheNamedElements) {
    auto mesh = Square(0.0f);
    std::shared_ptr<Mesh> out;
    ASSERT_EQ(TerrainCall(mesh, 0, &out), Result::Ok);
    ASSERT_NE(out, nullptr);
    EXPECT_NE(out, mesh);
    EXPECT_EQ(out->GetNumVertices(), 4u);
    EXPECT_EQ(out->GetNumFaces(), 2u);
    for (uint32_t v = 0; v < 4; ++v) {
        ExpectVec3Near(Vec3At(*out, v, kBinormal), {1, 0, 0});
        ExpectVec3Near(Vec3At(*out, v, kTangent), {0, 1, 0});
        ExpectVec3Near(Vec3At(*out, v, kNormal), {0, 0, -1});
        ExpectVec3Near(Vec3At(*mesh, v, kTangent), {0, 0, 0}, 0.0f);  // the input is left alone
    }
}

TEST(ComputeTangentFrameEx, SkewedMappingGivesAnOrthonormalFrameInThePlane) {
    auto mesh = Square(0.5f);  // ∂p/∂u = (1, 0, 0), ∂p/∂v = (-0.5, 1, 0)
    struct Case {
        uint32_t options;
        Vector3 u, v;  // expected, or zero to check only the frame's shape
    };
    for (const Case& c : {Case{0, {}, {}}, Case{TangentOption::OrthogonalizeFromU, {1, 0, 0}, {0, 1, 0}}}) {
        SCOPED_TRACE(c.options);
        std::shared_ptr<Mesh> out;
        ASSERT_EQ(TerrainCall(mesh, c.options, &out), Result::Ok);
        const Vector3 u = Vec3At(*out, 2, kBinormal), v = Vec3At(*out, 2, kTangent);
        EXPECT_NEAR(test::Length(u), 1.0f, 1e-5f);
        EXPECT_NEAR(test::Length(v), 1.0f, 1e-5f);
        EXPECT_NEAR(Dot(u, v), 0.0f, 1e-5f);
        EXPECT_EQ(u.z, 0.0f);
        EXPECT_GT(u.x, 0.5f);
        EXPECT_GT(Dot(v, {-0.5f, 1, 0}), 0.5f);
        if (test::Length(c.u) > 0) {
            ExpectVec3Near(u, c.u);
            ExpectVec3Near(v, c.v);
        }
    }
}

TEST(ComputeTangentFrameEx, GenerateInPlaceWritesIntoTheGivenMesh) {
    auto mesh = Square(0.0f);
    std::shared_ptr<Mesh> out;
    ASSERT_EQ(TerrainCall(mesh, TangentOption::GenerateInPlace, &out), Result::Ok);
    EXPECT_EQ(out, mesh);
    ExpectVec3Near(Vec3At(*mesh, 0, kBinormal), {1, 0, 0});
}

TEST(ComputeTangentFrameEx, RefusesAMeshWithoutTheNamedElements) {
    auto textured = test::MakeMesh({{0, 0, 0}, {0, 1, 0}, {1, 1, 0}}, {0, 1, 2}, {}, {{0, 0}, {0, 1}, {1, 1}});
    std::shared_ptr<Mesh> out;
    EXPECT_EQ(TerrainCall(textured, 0, &out), Result::InvalidCall);
    EXPECT_EQ(out, nullptr);
}

}  // namespace
}  // namespace velor
