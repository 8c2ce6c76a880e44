#include <algorithm>
#include <fstream>
#include <sstream>

#include "engine/mesh/xfile/xfile_scene.h"
#include "tests/mesh/mesh_test_support.h"

namespace velor {
namespace {

using test::DataPath;
using test::ExpectVec3Near;
using test::PositionAt;
using test::Vec3At;

std::string ReadText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

struct LoadedCube {
    std::shared_ptr<Mesh> mesh;
    std::vector<uint32_t> adjacency;
    std::vector<XMaterial> materials;
    std::vector<EffectInstance> effects;
    uint32_t materialCount = 0;
};

LoadedCube LoadCube() {
    LoadedCube cube;
    std::string error;
    EXPECT_EQ(LoadMeshFromX(DataPath("cube.x").c_str(), MeshOption::Managed, nullptr, &cube.adjacency, &cube.materials,
                            &cube.effects, &cube.materialCount, &cube.mesh, &error),
              Result::Ok)
        << error;
    return cube;
}

const Vector3 kCorners[8] = {{-1, -1, -1}, {-1, 1, -1}, {1, 1, -1}, {1, -1, -1},
                             {-1, -1, 1},  {-1, 1, 1},  {1, 1, 1},  {1, -1, 1}};

TEST(XFileCube, EightCornersWithSixNormalsLoadAsTwentyFourVerticesFileOrderFirst) {
    LoadedCube cube = LoadCube();
    ASSERT_NE(cube.mesh, nullptr);
    const Mesh& mesh = *cube.mesh;
    EXPECT_EQ(mesh.GetNumVertices(), 24u);
    EXPECT_EQ(mesh.GetNumFaces(), 12u);
    EXPECT_EQ(mesh.GetNumBytesPerVertex(), 32u);
    EXPECT_EQ(mesh.GetFVF(), Fvf::XYZ | Fvf::Normal | Fvf::Tex1);
    for (uint32_t v = 0; v < 8; ++v) ExpectVec3Near(PositionAt(mesh, v), kCorners[v], 0.0f);
    // The copies come in the order faces first need them: face 2 (left, -x) starts at corner 4,
    // face 4 (top, +y) needs a third copy of corner 1, face 5 (bottom) ends at corner 7.
    struct Copy {
        uint32_t vertex, corner;
        Vector3 normal;
    };
    for (const Copy& c : {Copy{8, 4, {-1, 0, 0}}, Copy{11, 0, {-1, 0, 0}}, Copy{12, 3, {1, 0, 0}},
                          Copy{16, 1, {0, 1, 0}}, Copy{23, 7, {0, -1, 0}}}) {
        SCOPED_TRACE(c.vertex);
        ExpectVec3Near(PositionAt(mesh, c.vertex), kCorners[c.corner], 0.0f);
        ExpectVec3Near(Vec3At(mesh, c.vertex, 12), c.normal);
    }
    // Every (position, normal) pair is distinct, every normal is of unit length (the file's (0, 0, 2) too).
    for (uint32_t a = 0; a < 24; ++a) {
        EXPECT_NEAR(test::Length(Vec3At(mesh, a, 12)), 1.0f, 1e-6f);
        for (uint32_t b = a + 1; b < 24; ++b)
            EXPECT_FALSE(test::SameVec3(PositionAt(mesh, a), PositionAt(mesh, b)) &&
                         test::SameVec3(Vec3At(mesh, a, 12), Vec3At(mesh, b, 12)))
                << a << " and " << b;
    }
}

// Copies follow normal values, not normal indices: equal values through different indices share a
// vertex, different values at one corner each get their own.
TEST(XFileNormals, CornersSplitByNormalValueNotIndex) {
    std::shared_ptr<Mesh> mesh;
    std::string error;
    ASSERT_EQ(LoadMeshFromX(DataPath("shared_normals.x").c_str(), MeshOption::Managed, nullptr, nullptr, nullptr,
                            nullptr, nullptr, &mesh, &error),
              Result::Ok)
        << error;
    EXPECT_EQ(mesh->GetNumVertices(), 7u);
    ASSERT_EQ(mesh->GetNumFaces(), 3u);
    const Vector3 corners[4] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
    // The copies for the third triangle, in the order it uses its corners.
    const uint32_t copyOf[3] = {0, 3, 1};
    for (uint32_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        ExpectVec3Near(PositionAt(*mesh, 4 + i), corners[copyOf[i]], 0.0f);
        ExpectVec3Near(Vec3At(*mesh, 4 + i, 12), Vector3{0, 1, 0});
    }
    for (uint32_t v = 0; v < 4; ++v) ExpectVec3Near(Vec3At(*mesh, v, 12), Vector3{0, 0, 1});
}

TEST(XFileCube, QuadsSplitIntoFansAndFacesSortByMaterial) {
    LoadedCube cube = LoadCube();
    ASSERT_NE(cube.mesh, nullptr);
    const Mesh& mesh = *cube.mesh;
    // Polygons 0, 2, 4 use material 0 and come first; each quad (a b c d) became (a b c), (a c d).
    const uint32_t order[12] = {0, 0, 2, 2, 4, 4, 1, 1, 3, 3, 5, 5};
    const uint32_t quads[6][4] = {{0, 1, 2, 3}, {7, 6, 5, 4}, {4, 5, 1, 0}, {3, 2, 6, 7}, {1, 5, 6, 2}, {4, 0, 3, 7}};
    for (uint32_t f = 0; f < 12; ++f) {
        SCOPED_TRACE(f);
        const uint32_t* quad = quads[order[f]];
        const uint32_t expected[3] = {quad[0], quad[f % 2 == 0 ? 1 : 2], quad[f % 2 == 0 ? 2 : 3]};
        for (uint32_t c = 0; c < 3; ++c)
            ExpectVec3Near(PositionAt(mesh, mesh.IndexAt(f * 3 + c)), kCorners[expected[c]], 0.0f);
        EXPECT_EQ(mesh.Attributes()[f], f < 6 ? 0u : 1u);
    }
    AttributeRange table[4];
    uint32_t size = 0;
    ASSERT_EQ(mesh.GetAttributeTable(table, &size), Result::Ok);
    ASSERT_EQ(size, 2u);
    EXPECT_EQ(table[0].attribId, 0u);
    EXPECT_EQ(table[0].faceStart, 0u);
    EXPECT_EQ(table[0].faceCount, 6u);
    EXPECT_EQ(table[1].attribId, 1u);
    EXPECT_EQ(table[1].faceStart, 6u);
    EXPECT_EQ(table[1].faceCount, 6u);
}

TEST(XFileCube, MaterialsByReferenceAndInlineKeepTheirOrderAndTextureNames) {
    LoadedCube cube = LoadCube();
    ASSERT_EQ(cube.materialCount, 2u);
    ASSERT_EQ(cube.materials.size(), 2u);
    EXPECT_EQ(cube.effects.size(), 2u);
    const Material& red = cube.materials[0].matD3D;
    EXPECT_EQ(red.diffuse.r, 1.0f);
    EXPECT_EQ(red.diffuse.g, 0.0f);
    EXPECT_EQ(red.power, 8.0f);
    EXPECT_EQ(red.specular.r, 1.0f);
    EXPECT_EQ(red.specular.a, 1.0f);
    EXPECT_EQ(cube.materials[0].textureFilename, "");
    const Material& side = cube.materials[1].matD3D;
    EXPECT_EQ(side.diffuse.a, 0.25f);
    EXPECT_FLOAT_EQ(side.emissive.b, 0.3f);
    EXPECT_EQ(cube.materials[1].textureFilename, "textures/cube_side.png");
    for (const auto& m : cube.materials) {
        EXPECT_EQ(m.matD3D.ambient.r, 0.0f);
        EXPECT_EQ(m.matD3D.ambient.a, 1.0f);
    }
}

TEST(XFileCube, AdjacencyJoinsFacesAcrossDuplicatedCorners) {
    LoadedCube cube = LoadCube();
    ASSERT_EQ(cube.adjacency.size(), 36u);
    for (uint32_t f = 0; f < 12; ++f)
        for (uint32_t e = 0; e < 3; ++e) {
            const uint32_t g = cube.adjacency[f * 3 + e];
            ASSERT_LT(g, 12u) << "face " << f << " edge " << e;
            EXPECT_NE(std::find(cube.adjacency.begin() + g * 3, cube.adjacency.begin() + g * 3 + 3, f),
                      cube.adjacency.begin() + g * 3 + 3);
        }
}

TEST(XFileCube, EveryTruncationIsRefusedWithItsLine) {
    const std::string text = ReadText(DataPath("cube.x"));
    const size_t lastBrace = text.rfind('}');
    for (size_t length = 0; length <= lastBrace; ++length) {
        std::shared_ptr<Mesh> mesh;
        std::string error;
        Result r = LoadMeshFromXInMemory(std::string_view(text).substr(0, length), "cube.x", 0, nullptr, nullptr,
                                         nullptr, nullptr, nullptr, &mesh, &error);
        ASSERT_EQ(r, Result::InvalidData) << "cut at " << length;
        EXPECT_EQ(mesh, nullptr);
        ASSERT_EQ(error.rfind("cube.x: line ", 0), 0u) << error;
    }
}

TEST(XFileReader, FileMatricesPlaceMeshesWhenCollapsedIntoOne) {
    const char* text = R"(xof 0303txt 0032
Frame Outer {
 FrameTransformMatrix { 2,0,0,0, 0,2,0,0, 0,0,2,0, 10,0,0,1;; }
 Frame Inner {
  FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 0,5,0,1;; }
  Mesh A { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; }
 }
}
Mesh B { 3; 0;0;0;, 0;0;1;, 1;0;0;; 1; 3;0,1,2;; }
)";
    std::shared_ptr<Mesh> mesh;
    uint32_t materialCount = 7;
    std::string error;
    ASSERT_EQ(LoadMeshFromXInMemory(text, "two.x", 0, nullptr, nullptr, nullptr, nullptr, &materialCount, &mesh, &error),
              Result::Ok)
        << error;
    ASSERT_EQ(mesh->GetNumVertices(), 6u);
    EXPECT_EQ(materialCount, 1u);  // D3DX's default material, shared by both meshes
    // Inner then Outer: (1, 0, 0) + (0, 5, 0), doubled, moved by 10 in x.
    ExpectVec3Near(PositionAt(*mesh, 1), {12, 10, 0});
    ExpectVec3Near(PositionAt(*mesh, 4), {0, 0, 1});
    EXPECT_EQ(mesh->IndexAt(3), 3u);
}

TEST(XFileReader, ToleratesExporterSpellings) {
    // Commas for semicolons, no separators at all, integers for floats, one material index for all
    // faces, a mesh instanced by reference, case-insensitive template names.
    const char* text = R"(xof 0302txt 0064
mesh Tri { 4 0 0 0, 1 0 0, 1 1 0, 0 1 0 2 3 0 1 2 , 3 0 2 3
 MeshMaterialList { 1 1 0 Material { 1 1 1 1 0 0 0 0 0 0 0 TextureFileName { "a b.png" } } }
}
Frame F { { Tri } }
)";
    std::shared_ptr<Mesh> mesh;
    std::vector<XMaterial> materials;
    std::string error;
    ASSERT_EQ(LoadMeshFromXInMemory(text, "loose.x", 0, nullptr, nullptr, &materials, nullptr, nullptr, &mesh, &error),
              Result::Ok)
        << error;
    EXPECT_EQ(mesh->GetNumFaces(), 2u);
    EXPECT_EQ(mesh->GetNumBytesPerVertex(), 12u);
    ASSERT_EQ(materials.size(), 1u);
    EXPECT_EQ(materials[0].textureFilename, "a b.png");
    EXPECT_EQ(mesh->Attributes()[1], 0u);
}

TEST(XFileReader, NumbersTooSmallForADoubleReadAsZero) {
    const char* text = "xof 0303txt 0032\nMesh {\n3; 1e-400;0;0;, 1;-2.5e-999;0;, 0;1;1e-320;;\n1; 3;0,1,2;;\n}\n";
    std::shared_ptr<Mesh> mesh;
    std::string error;
    ASSERT_EQ(LoadMeshFromXInMemory(text, "tiny.x", 0, nullptr, nullptr, nullptr, nullptr, nullptr, &mesh, &error), Result::Ok)
        << error;
    ExpectVec3Near(PositionAt(*mesh, 0), {0, 0, 0});
    ExpectVec3Near(PositionAt(*mesh, 1), {1, 0, 0});
    ExpectVec3Near(PositionAt(*mesh, 2), {0, 1, 0});
}

TEST(XFileReader, MissingFileFailsWithItsName) {
    std::shared_ptr<Mesh> mesh;
    std::string error;
    EXPECT_NE(LoadMeshFromX("no/such/file.x", 0, nullptr, nullptr, nullptr, nullptr, nullptr, &mesh, &error), Result::Ok);
    EXPECT_EQ(mesh, nullptr);
    EXPECT_NE(error.find("no/such/file.x"), std::string::npos);
}

}  // namespace
}  // namespace velor
