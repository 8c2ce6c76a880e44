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


// The box D3DXCreateBox(1, 1, 1) makes: four vertices per face (faces -x, +y, +x, -y, +z, -z), each
// quad split (0, 1, 2), (2, 3, 0), with the adjacency D3DX hands out with it.
constexpr float kBoxCorners[24][3] = {
    {-1, -1, -1}, {-1, -1, 1}, {-1, 1, 1},  {-1, 1, -1}, {-1, 1, -1}, {-1, 1, 1},  {1, 1, 1},   {1, 1, -1},
    {1, 1, -1},   {1, 1, 1},   {1, -1, 1},  {1, -1, -1}, {-1, -1, 1}, {-1, -1, -1}, {1, -1, -1}, {1, -1, 1},
    {-1, -1, 1},  {1, -1, 1},  {1, 1, 1},   {-1, 1, 1},  {-1, -1, -1}, {-1, 1, -1}, {1, 1, -1},  {1, -1, -1}};
constexpr uint32_t kBoxAdjacency[36] = {6, 9, 1, 2, 10, 0, 1, 9, 3, 4, 10, 2, 3, 8, 5, 7, 11, 4,
                                        0, 11, 7, 5, 8, 6, 7, 4, 9, 2, 0, 8, 1, 3, 11, 5, 6, 10};
// D3DX's normals for that box with its adjacency, weighted by area (or equally: the faces are alike).
constexpr float kBoxAreaNormals[24][3] = {
    {-0.666667f, -0.333333f, -0.666667f}, {-0.333333f, -0.666667f, 0.666667f}, {-0.816496f, 0.408248f, 0.408248f},
    {-0.408248f, 0.816496f, -0.408248f},  {-0.408248f, 0.816496f, -0.408248f}, {-0.816496f, 0.408248f, 0.408248f},
    {0.333333f, 0.666667f, 0.666667f},    {0.666667f, 0.333333f, -0.666667f},  {0.666667f, 0.333333f, -0.666667f},
    {0.333333f, 0.666667f, 0.666667f},    {0.816496f, -0.408248f, 0.408248f},  {0.408248f, -0.816496f, -0.408248f},
    {-0.333333f, -0.666667f, 0.666667f},  {-0.666667f, -0.333333f, -0.666667f}, {0.408248f, -0.816496f, -0.408248f},
    {0.816496f, -0.408248f, 0.408248f},   {-0.333333f, -0.666667f, 0.666667f}, {0.816497f, -0.408248f, 0.408248f},
    {0.333333f, 0.666667f, 0.666667f},    {-0.816497f, 0.408248f, 0.408248f},  {-0.666667f, -0.333333f, -0.666667f},
    {-0.408248f, 0.816497f, -0.408248f},  {0.666667f, 0.333333f, -0.666667f},  {0.408248f, -0.816496f, -0.408248f}};

// The box in a declaration whose position and normal sit where the case puts them (normals zeroed).
std::shared_ptr<Mesh> Box(const VertexElement* decl) {
    std::vector<Vector3> corners;
    for (const auto& c : kBoxCorners) corners.push_back({0.5f * c[0], 0.5f * c[1], 0.5f * c[2]});
    std::vector<uint32_t> indices;
    for (uint32_t quad = 0; quad < 6; ++quad)
        for (uint32_t corner : {0u, 1u, 2u, 2u, 3u, 0u}) indices.push_back(quad * 4 + corner);
    auto plain = test::MakeMesh(corners, indices);
    std::shared_ptr<Mesh> mesh;
    EXPECT_EQ(plain->CloneMesh(MeshOption::Managed, decl, nullptr, &mesh), Result::Ok);
    return mesh;
}

constexpr VertexElement kPosition3Normal3[] = {
    {0, 0, DeclType::Float3, DeclMethod::Default, DeclUsage::Position, 0},
    {0, 12, DeclType::Float3, DeclMethod::Default, DeclUsage::Normal, 0},
    kDeclEnd,
};
constexpr VertexElement kNormal4Position3[] = {
    {0, 0, DeclType::Float4, DeclMethod::Default, DeclUsage::Normal, 0},
    {0, 16, DeclType::Float3, DeclMethod::Default, DeclUsage::Position, 0},
    kDeclEnd,
};
constexpr VertexElement kPosition4Normal3[] = {
    {0, 0, DeclType::Float4, DeclMethod::Default, DeclUsage::Position, 0},
    {0, 16, DeclType::Float3, DeclMethod::Default, DeclUsage::Normal, 0},
    kDeclEnd,
};

TEST(ComputeTangentFrameEx, AdjacencyMergesNormalsAcrossSplitVerticesAsD3DX) {
    struct Case {
        const char* name;
        const VertexElement* decl;
        uint32_t normalOffset;
        uint32_t weighting;
        bool adjacency;
    };
    const Case cases[] = {
        {"angle, no adjacency: face normals", kPosition3Normal3, 12, 0, false},
        {"angle", kPosition3Normal3, 12, 0, true},
        {"area", kPosition3Normal3, 12, TangentOption::WeightByArea, true},
        {"equal", kPosition3Normal3, 12, TangentOption::WeightEqual, true},
        {"angle, four-float normal first", kNormal4Position3, 0, 0, true},
        {"area, four-float normal first", kNormal4Position3, 0, TangentOption::WeightByArea, true},
        {"angle, four-float position", kPosition4Normal3, 16, 0, true},
    };
    const float third = 1.0f / std::sqrt(3.0f);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto mesh = Box(c.decl);
        std::shared_ptr<Mesh> out;
        ASSERT_EQ(ComputeTangentFrameEx(mesh, kNoDeclUsage, 0, kNoDeclUsage, 0, kNoDeclUsage, 0, DeclUsage::Normal, 0,
                                        TangentOption::GenerateInPlace | TangentOption::CalculateNormals | c.weighting,
                                        c.adjacency ? kBoxAdjacency : nullptr, -1.01f, -0.01f, -1.01f, &out, nullptr),
                  Result::Ok);
        for (uint32_t v = 0; v < 24; ++v) {
            SCOPED_TRACE(v);
            const float* corner = kBoxCorners[v];
            Vector3 expected{};
            if (!c.adjacency) {
                static constexpr Vector3 kFaces[6] = {{-1, 0, 0}, {0, 1, 0}, {1, 0, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
                expected = kFaces[v / 4];
            } else if (c.weighting == 0) {
                expected = {corner[0] * third, corner[1] * third, corner[2] * third};
            } else {
                expected = {kBoxAreaNormals[v][0], kBoxAreaNormals[v][1], kBoxAreaNormals[v][2]};
            }
            ExpectVec3Near(Vec3At(*mesh, v, c.normalOffset), expected, 1e-4f);
            if (c.decl == kNormal4Position3) {
                float w = 0;
                std::memcpy(&w, mesh->VertexData() + size_t(v) * mesh->GetNumBytesPerVertex() + 12, sizeof w);
                EXPECT_EQ(w, 1.0f);
            }
        }
    }
}

TEST(ComputeTangentFrameEx, GeneratedAdjacencyOfTheBoxIsD3DXsOwn) {
    auto mesh = Box(kPosition3Normal3);
    std::vector<uint32_t> adjacency(36);
    ASSERT_EQ(mesh->GenerateAdjacency(1e-6f, adjacency.data()), Result::Ok);
    EXPECT_EQ(adjacency, std::vector<uint32_t>(std::begin(kBoxAdjacency), std::end(kBoxAdjacency)));
}

TEST(ComputeTangentFrameEx, RefusesWhatD3DXRefusesOfNormalsAlone) {
    auto mesh = Box(kPosition3Normal3);
    const uint32_t inPlace = TangentOption::GenerateInPlace | TangentOption::CalculateNormals;
    struct Case {
        const char* name;
        DeclUsage normalOut;
        uint32_t options;
    };
    for (const Case& c : {Case{"area and equal weighting", DeclUsage::Normal,
                               inPlace | TangentOption::WeightByArea | TangentOption::WeightEqual},
                          Case{"computed normals without an output", kNoDeclUsage, inPlace}}) {
        SCOPED_TRACE(c.name);
        std::shared_ptr<Mesh> out;
        EXPECT_EQ(ComputeTangentFrameEx(mesh, kNoDeclUsage, 0, kNoDeclUsage, 0, kNoDeclUsage, 0, c.normalOut, 0,
                                        c.options, kBoxAdjacency, -1.01f, -0.01f, -1.01f, &out, nullptr),
                  Result::InvalidCall);
    }
}

}  // namespace
}  // namespace velor
