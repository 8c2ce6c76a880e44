#include <algorithm>

#include "engine/gfx/vertex_format.h"
#include "tests/mesh/mesh_test_support.h"

namespace velor {
namespace {

using test::ExpectVec3Near;
using test::Vec3At;

constexpr VertexElement kShadowDecl[] = {
    {0, 0, DeclType::Float3, DeclMethod::Default, DeclUsage::Position, 0},
    {0, 12, DeclType::Float3, DeclMethod::Default, DeclUsage::Normal, 0},
    kDeclEnd,
};

constexpr VertexElement kTangentDecl[] = {
    {0, 0, DeclType::Float3, DeclMethod::Default, DeclUsage::Position, 0},
    {0, 12, DeclType::Float3, DeclMethod::Default, DeclUsage::Tangent, 0},
    {0, 24, DeclType::Float3, DeclMethod::Default, DeclUsage::Binormal, 0},
    {0, 36, DeclType::Float3, DeclMethod::Default, DeclUsage::Normal, 0},
    {0, 48, DeclType::Float2, DeclMethod::Default, DeclUsage::TexCoord, 0},
    kDeclEnd,
};

std::shared_ptr<Mesh> TexturedTriangles() {
    auto mesh = test::MakeMesh({{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {1, 1, 1}}, {0, 1, 2, 2, 1, 3}, {0, 5},
                               {{0.25f, 0.5f}, {1, 0}, {0, 1}, {0.5f, 0.5f}});
    const AttributeRange table[2] = {{0, 0, 1, 0, 3}, {5, 1, 1, 1, 3}};
    mesh->SetAttributeTable(table, 2);
    return mesh;
}

TEST(CloneMesh, ToShadowLayoutWith32BitIndicesKeepsPositionsNormalsAndSubsets) {
    auto source = TexturedTriangles();
    std::shared_ptr<Mesh> clone;
    ASSERT_EQ(source->CloneMesh(MeshOption::Use32Bit, kShadowDecl, nullptr, &clone), Result::Ok);
    EXPECT_EQ(clone->GetNumBytesPerVertex(), 24u);
    std::shared_ptr<IndexBuffer> indices;
    clone->GetIndexBuffer(&indices);
    EXPECT_EQ(indices->GetFormat(), Format::Index32);
    for (uint32_t v = 0; v < 4; ++v) {
        ExpectVec3Near(Vec3At(*clone, v, 0), Vec3At(*source, v, 0), 0.0f);
        ExpectVec3Near(Vec3At(*clone, v, 12), {0, 0, -1}, 0.0f);
    }
    for (uint32_t i = 0; i < 6; ++i) EXPECT_EQ(clone->IndexAt(i), source->IndexAt(i));
    EXPECT_EQ(clone->Attributes(), source->Attributes());
    uint32_t size = 0;
    clone->GetAttributeTable(nullptr, &size);
    EXPECT_EQ(size, 2u);
}

TEST(CloneMesh, ToTangentLayoutZeroesWhatTheSourceLacks) {
    auto source = TexturedTriangles();
    std::shared_ptr<Mesh> clone;
    ASSERT_EQ(source->CloneMesh(MeshOption::Managed, kTangentDecl, nullptr, &clone), Result::Ok);
    EXPECT_EQ(clone->GetNumBytesPerVertex(), 56u);
    EXPECT_EQ(clone->GetFVF(), 0u);  // tangents have no FVF
    const uint8_t* vertex = clone->VertexData() + 56;
    Vector2 uv;
    std::memcpy(&uv, vertex + 48, 8);
    EXPECT_EQ(uv.x, 1.0f);
    EXPECT_EQ(uv.y, 0.0f);
    ExpectVec3Near(Vec3At(*clone, 1, 12), {0, 0, 0}, 0.0f);
    ExpectVec3Near(Vec3At(*clone, 1, 24), {0, 0, 0}, 0.0f);
    ExpectVec3Near(Vec3At(*clone, 1, 36), {0, 0, -1}, 0.0f);
    VertexElement decl[kMaxDeclLength];
    clone->GetDeclaration(decl);
    EXPECT_EQ(DeclarationElements(decl).size(), 5u);
}

TEST(CloneMesh, ConvertsBetweenElementTypes) {
    auto source = TexturedTriangles();
    const VertexElement wide[] = {
        {0, 0, DeclType::Float4, DeclMethod::Default, DeclUsage::Position, 0},
        {0, 16, DeclType::Float1, DeclMethod::Default, DeclUsage::TexCoord, 0},
        kDeclEnd,
    };
    std::shared_ptr<Mesh> clone;
    ASSERT_EQ(source->CloneMesh(0, wide, nullptr, &clone), Result::Ok);
    float values[5];
    std::memcpy(values, clone->VertexData(), sizeof values);
    EXPECT_EQ(values[0], 1.0f);
    EXPECT_EQ(values[2], 3.0f);
    EXPECT_EQ(values[3], 1.0f);  // w takes the default 1
    EXPECT_EQ(values[4], 0.25f);
}

TEST(CreateMesh, RefusesWhatD3DXRefuses) {
    const VertexElement noPosition[] = {{0, 0, DeclType::Float3, DeclMethod::Default, DeclUsage::Normal, 0}, kDeclEnd};
    struct Case {
        const char* what;
        uint32_t faces, vertices, options;
        const VertexElement* decl;
    };
    for (const Case& c : {Case{"no faces", 0, 3, 0, kShadowDecl}, Case{"no vertices", 1, 0, 0, kShadowDecl},
                          Case{"16-bit past 65535", 1, 65536, 0, kShadowDecl},
                          Case{"no position", 1, 3, 0, noPosition}}) {
        std::shared_ptr<Mesh> mesh;
        EXPECT_EQ(CreateMesh(c.faces, c.vertices, c.options, c.decl, nullptr, &mesh), Result::InvalidCall) << c.what;
        EXPECT_EQ(mesh, nullptr);
    }
    std::shared_ptr<Mesh> big;
    EXPECT_EQ(CreateMesh(1, 65536, MeshOption::Use32Bit, kShadowDecl, nullptr, &big), Result::Ok);
}

TEST(CreateMesh, StartsZeroedWithAttributeZeroAndNoTable) {
    std::shared_ptr<Mesh> mesh;
    ASSERT_EQ(CreateMesh(7, 21, MeshOption::Use32Bit, kShadowDecl, nullptr, &mesh), Result::Ok);
    void* data = nullptr;
    ASSERT_EQ(mesh->LockVertexBuffer(0, &data), Result::Ok);
    const auto* bytes = static_cast<const uint8_t*>(data);
    EXPECT_TRUE(std::all_of(bytes, bytes + 21 * 24, [](uint8_t b) { return b == 0; }));
    mesh->UnlockVertexBuffer();
    ASSERT_EQ(mesh->LockIndexBuffer(0, &data), Result::Ok);
    mesh->UnlockIndexBuffer();
    for (uint32_t a : mesh->Attributes()) EXPECT_EQ(a, 0u);
    uint32_t size = 9;
    mesh->GetAttributeTable(nullptr, &size);
    EXPECT_EQ(size, 0u);
}

}  // namespace
}  // namespace velor
