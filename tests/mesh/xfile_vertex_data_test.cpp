// DeclData and FVFData: the extra vertex elements exporters write, read into the mesh's declaration.
// The files are written as exporters write them: tangents and binormals beside MeshNormals and
// MeshTextureCoords, a whole vertex (normal and texture coordinates) in DeclData alone, and a
// colour with a second texture set in FVFData. DWORDs 1065353216 and 3212836864 are 1.0 and -1.0.
#include "engine/gfx/vertex_format.h"
#include "tests/mesh/mesh_test_support.h"

namespace velor {
namespace {

using test::ExpectVec3Near;
using test::Vec3At;

// A quad whose two triangles are folded along the diagonal (0, 2): MeshNormals gives corners 0 and 2
// a different normal in each face, so they are copied (vertices 4 and 5); the DeclData records of the
// file's four vertices hold tangent (i, 0, 0) and binormal (0, 0, -1) for vertex i.
constexpr const char* kTangentFrame = R"(xof 0303txt 0032
Mesh Folded {
 4;
 0.0; 0.0; 0.0;,
 0.0; 1.0; 0.0;,
 1.0; 1.0; 0.0;,
 1.0; 0.0; 0.0;;
 2;
 3; 0, 1, 2;,
 3; 0, 2, 3;;
 MeshNormals {
  2;
  0.0; 0.0; -1.0;,
  0.0; 1.0; 0.0;;
  2;
  3; 0, 0, 0;,
  3; 1, 1, 1;;
 }
 MeshTextureCoords {
  4;
  0.0; 1.0;,
  0.0; 0.0;,
  1.0; 0.0;,
  1.0; 1.0;;
 }
 DeclData {
  2;
  2; 0; 6; 0;,
  2; 0; 7; 0;;
  24;
  0, 0, 0, 0, 0, 3212836864,
  1065353216, 0, 0, 0, 0, 3212836864,
  1073741824, 0, 0, 0, 0, 3212836864,
  1077936128, 0, 0, 0, 0, 3212836864;
 }
}
)";

// The whole vertex in DeclData: a normal and a texture coordinate, no MeshNormals or MeshTextureCoords.
constexpr const char* kWholeVertex = R"(xof 0303txt 0032
Mesh Plane {
 4;
 -1.0; 0.0; 1.0;,
 1.0; 0.0; 1.0;,
 -1.0; 0.0; -1.0;,
 1.0; 0.0; -1.0;;
 2;
 3; 0, 1, 2;,
 3; 3, 2, 1;;
 MeshMaterialList { 1; 2; 0, 0;; Material { 0.1; 0.2; 0.5; 1.0;; 0.0; 0.0; 0.0; 0.0;; 0.0; 0.0; 0.0;; } }
 DeclData {
  2;
  2; 0; 3; 0;,
  1; 0; 5; 0;;
  20;
  0, 1065353216, 0, 0, 0,
  0, 1065353216, 0, 1065353216, 0,
  0, 1065353216, 0, 0, 1065353216,
  0, 1065353216, 0, 1065353216, 1065353216;
 }
}
)";

// A colour and a second texture set in FVFData (D3DFVF_DIFFUSE | D3DFVF_TEX1, 0x140); its texture set
// follows the one MeshTextureCoords gives.
constexpr const char* kColourAndSecondSet = R"(xof 0303txt 0032
Mesh Strip {
 3;
 0.0; 0.0; 0.0;,
 0.0; 1.0; 0.0;,
 1.0; 0.0; 0.0;;
 1;
 3; 0, 1, 2;;
 MeshTextureCoords { 3; 0.0; 0.0;, 0.0; 1.0;, 1.0; 0.0;; }
 FVFData {
  320;
  9;
  4294901760, 1065353216, 0,
  4278255360, 0, 1065353216,
  4278190335, 1065353216, 1065353216;
 }
}
)";

std::shared_ptr<Mesh> Load(const char* text, const char* label, std::string* error) {
    std::shared_ptr<Mesh> mesh;
    EXPECT_EQ(LoadMeshFromXInMemory(text, label, MeshOption::Managed, nullptr, nullptr, nullptr, nullptr, nullptr, &mesh,
                                    error),
              Result::Ok)
        << *error;
    return mesh;
}

const VertexElement& ElementOf(const Mesh& mesh, DeclUsage usage, uint8_t index) {
    const VertexElement* e = FindElement(mesh.Elements(), usage, index);
    static const VertexElement kMissing{};
    EXPECT_NE(e, nullptr) << "usage " << int(usage) << " index " << int(index);
    return e != nullptr ? *e : kMissing;
}

TEST(XFileVertexData, DeclDataTangentsAndBinormalsFollowTheirVertexToEveryCopy) {
    std::string error;
    auto mesh = Load(kTangentFrame, "tangents.x", &error);
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->GetNumVertices(), 6u);  // four of the file, corners 0 and 2 copied for the second normal
    EXPECT_EQ(mesh->GetNumFaces(), 2u);
    EXPECT_EQ(mesh->Elements().size(), 5u);
    EXPECT_EQ(mesh->GetNumBytesPerVertex(), 12u + 12u + 8u + 12u + 12u);
    const VertexElement& tangent = ElementOf(*mesh, DeclUsage::Tangent, 0);
    const VertexElement& binormal = ElementOf(*mesh, DeclUsage::Binormal, 0);
    EXPECT_EQ(tangent.type, DeclType::Float3);
    EXPECT_EQ(binormal.type, DeclType::Float3);
    // Vertices 4 and 5 are the copies of file vertices 0 and 2.
    const uint32_t fileVertex[6] = {0, 1, 2, 3, 0, 2};
    for (uint32_t v = 0; v < 6; ++v) {
        SCOPED_TRACE(v);
        ExpectVec3Near(Vec3At(*mesh, v, tangent.offset), {float(fileVertex[v]), 0, 0}, 0.0f);
        ExpectVec3Near(Vec3At(*mesh, v, binormal.offset), {0, 0, -1}, 0.0f);
    }
    ExpectVec3Near(Vec3At(*mesh, 4, ElementOf(*mesh, DeclUsage::Normal, 0).offset), {0, 1, 0});
}

TEST(XFileVertexData, DeclDataCanCarryTheWholeVertex) {
    std::string error;
    auto mesh = Load(kWholeVertex, "plane.x", &error);
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->GetNumVertices(), 4u);
    EXPECT_EQ(mesh->GetFVF(), Fvf::XYZ | Fvf::Normal | Fvf::Tex1);
    for (uint32_t v = 0; v < 4; ++v) ExpectVec3Near(Vec3At(*mesh, v, 12), {0, 1, 0}, 0.0f);
    Vector2 uv;
    std::memcpy(&uv, mesh->VertexData() + 3 * mesh->GetNumBytesPerVertex() + 24, sizeof uv);
    EXPECT_EQ(uv.x, 1.0f);
    EXPECT_EQ(uv.y, 1.0f);
}

TEST(XFileVertexData, FvfDataAddsAColourAndAFurtherTextureSet) {
    std::string error;
    auto mesh = Load(kColourAndSecondSet, "strip.x", &error);
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->GetNumVertices(), 3u);
    EXPECT_EQ(mesh->GetFVF(), Fvf::XYZ | Fvf::Diffuse | Fvf::Tex2);
    const uint32_t stride = mesh->GetNumBytesPerVertex();
    ASSERT_EQ(stride, 12u + 4u + 8u + 8u);
    const Color colours[3] = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu};
    const Vector2 first[3] = {{0, 0}, {0, 1}, {1, 0}}, second[3] = {{1, 0}, {0, 1}, {1, 1}};
    for (uint32_t v = 0; v < 3; ++v) {
        SCOPED_TRACE(v);
        const uint8_t* vertex = mesh->VertexData() + size_t(v) * stride;
        Color colour;
        Vector2 uv0, uv1;
        std::memcpy(&colour, vertex + 12, 4);
        std::memcpy(&uv0, vertex + 16, 8);
        std::memcpy(&uv1, vertex + 24, 8);
        EXPECT_EQ(colour, colours[v]);
        EXPECT_EQ(uv0.x, first[v].x);
        EXPECT_EQ(uv0.y, first[v].y);
        EXPECT_EQ(uv1.x, second[v].x);
        EXPECT_EQ(uv1.y, second[v].y);
    }
}

TEST(XFileVertexData, HierarchyMeshesKeepTheirExtraElements) {
    test::TestAllocator allocator;
    Frame* root = nullptr;
    std::string error;
    ASSERT_EQ(LoadMeshHierarchyFromXInMemory(kTangentFrame, "tangents.x", 0, nullptr, &allocator, nullptr, &root, nullptr,
                                             &error),
              Result::Ok)
        << error;
    ASSERT_EQ(allocator.containers.size(), 1u);
    const Mesh& mesh = *allocator.containers[0].mesh;
    EXPECT_EQ(mesh.GetNumVertices(), 6u);
    EXPECT_NE(FindElement(mesh.Elements(), DeclUsage::Tangent, 0), nullptr);
    EXPECT_NE(FindElement(mesh.Elements(), DeclUsage::Binormal, 0), nullptr);
    FrameDestroy(root, &allocator);
}

// Blocks whose data does not fit the mesh are refused with their line.
TEST(XFileVertexData, DataThatDoesNotFitIsRefusedWithItsLine) {
    const std::string header = "xof 0303txt 0032\nMesh {\n3; 0;0;0;, 1;0;0;, 0;1;0;;\n1; 3;0,1,2;;\n";
    struct Case {
        const char* name;
        std::string text;
        const char* message;
    };
    const Case cases[] = {
        {"DeclData count short of the vertices", header + "DeclData {\n1; 2;0;6;0;;\n6;\n0,0,0,0,0,0;\n}\n}\n",
         "bad.x: line 7: expected 9 DWORDs (3 vertices of 3), found a count of 6"},
        {"DeclData count past the data", header + "DeclData {\n1; 2;0;6;0;;\n9;\n0,0,0;\n}\n}\n",
         "bad.x: line 8: expected 9 vertex data DWORDs (9 values) in 'DeclData', found only 3 values"},
        {"DeclData type the engine lacks", header + "DeclData {\n1; 15;0;6;0;;\n3;\n0,0,0;\n}\n}\n",
         "bad.x: line 6: vertex element 0: type 15 is not one the engine draws (0-8)"},
        {"DeclData position", header + "DeclData {\n1; 2;0;0;0;;\n9;\n0,0,0,0,0,0,0,0,0;\n}\n}\n",
         "bad.x: line 6: vertex element 0: usage 0 cannot come from DeclData (the Mesh gives the positions)"},
        {"DeclData element twice", header + "DeclData {\n2; 2;0;6;0;, 2;0;6;0;;\n18;\n}\n}\n",
         "bad.x: line 6: vertex element 1: TANGENT0 is given twice"},
        {"FVFData count short", header + "FVFData {\n258;\n4;\n0,0,0,0;\n}\n}\n",
         "bad.x: line 7: expected 6 DWORDs (3 vertices of 2), found a count of 4"},
        {"FVFData values left over", header + "FVFData {\n64;\n3;\n0,0,0,0;\n}\n}\n",
         "bad.x: line 8: 1 values left over in 'FVFData' after the vertex data (is a count one short?)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::shared_ptr<Mesh> mesh;
        std::string error;
        EXPECT_EQ(LoadMeshFromXInMemory(c.text, "bad.x", 0, nullptr, nullptr, nullptr, nullptr, nullptr, &mesh, &error),
                  Result::InvalidData);
        EXPECT_EQ(mesh, nullptr);
        EXPECT_EQ(error, c.message);
    }
}

}  // namespace
}  // namespace velor
