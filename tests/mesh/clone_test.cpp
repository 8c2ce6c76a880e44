#include <algorithm>
#include <array>

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

// Texture coordinates (x, y) cloned into an integer type, and what D3DX stores for them (z = 0, w = 1).
struct IntegerCase {
    float x, y;
    int expected[4];
};

// Clones one vertex per case from FLOAT2 texture coordinates into `type` and reads the components back.
std::vector<std::array<int, 4>> CloneTexCoordsTo(DeclType type, const std::vector<IntegerCase>& cases) {
    std::vector<Vector3> positions(cases.size() * 3);
    std::vector<Vector2> uvs;
    std::vector<uint32_t> indices;
    for (size_t i = 0; i < cases.size(); ++i)
        for (int k = 0; k < 3; ++k) {
            uvs.push_back({cases[i].x, cases[i].y});
            indices.push_back(uint32_t(indices.size()));
        }
    auto source = test::MakeMesh(positions, indices, {}, uvs);
    const VertexElement decl[] = {
        {0, 0, DeclType::Float3, DeclMethod::Default, DeclUsage::Position, 0},
        {0, 12, type, DeclMethod::Default, DeclUsage::TexCoord, 0},
        kDeclEnd,
    };
    std::shared_ptr<Mesh> clone;
    EXPECT_EQ(source->CloneMesh(0, decl, nullptr, &clone), Result::Ok);
    std::vector<std::array<int, 4>> out;
    for (size_t i = 0; i < cases.size(); ++i) {
        const uint8_t* p = clone->VertexData() + i * 3 * clone->GetNumBytesPerVertex() + 12;
        std::array<int, 4> values{};
        for (int c = 0; c < 4; ++c) {
            if (type == DeclType::UByte4) {
                values[c] = p[c];
            } else if (c < int(DeclTypeSize(type) / 2)) {
                int16_t v;
                std::memcpy(&v, p + 2 * c, 2);
                values[c] = v;
            }
        }
        out.push_back(values);
    }
    return out;
}

TEST(CloneMesh, IntegerTypesRoundHalfUpAndWrapAsD3DX) {
    const std::vector<IntegerCase> ubyte4 = {
        {0, 1, {0, 1, 0, 1}},         {2, 3, {2, 3, 0, 1}},     {254, 255, {254, 255, 0, 1}},
        {256, 257, {0, 1, 0, 1}},     {1.4f, 1.5f, {1, 2, 0, 1}}, {-4, -5, {0, 0, 0, 1}},
    };
    const std::vector<IntegerCase> shorts = {
        {1, -1, {1, 0, 0, 1}},
        {0.4f, 0.5f, {0, 1, 0, 1}},
        {-0.5f, -5, {0, -4, 0, 1}},
        {32767, -32768, {32767, -32767, 0, 1}},
        {32768, -32769, {-32768, -32768, 0, 1}},
        {32769, -32770, {-32767, 32767, 0, 1}},
        {65534, -65536, {-2, 1, 0, 1}},
        {98301, -98304, {32765, -32767, 0, 1}},
        {131068, -131072, {-4, 1, 0, 1}},
    };
    struct TypeCase {
        DeclType type;
        const std::vector<IntegerCase>* cases;
        int components;
    };
    for (const TypeCase& t : {TypeCase{DeclType::UByte4, &ubyte4, 4}, TypeCase{DeclType::Short2, &shorts, 2},
                              TypeCase{DeclType::Short4, &shorts, 4}}) {
        SCOPED_TRACE(int(t.type));
        const auto got = CloneTexCoordsTo(t.type, *t.cases);
        for (size_t i = 0; i < got.size(); ++i)
            for (int c = 0; c < t.components; ++c)
                EXPECT_EQ(got[i][c], (*t.cases)[i].expected[c]) << "(" << (*t.cases)[i].x << ", " << (*t.cases)[i].y
                                                                 << ") component " << c;
    }
}

TEST(FvfFromDeclarator, UsageIndexOfPositionAndNormalIsIgnoredAsD3DX) {
    struct Case {
        DeclUsage usage;
        uint8_t index;
        Result result;
        uint32_t fvf;
    };
    for (const Case& c : {Case{DeclUsage::Position, 1, Result::Ok, Fvf::XYZ},
                          Case{DeclUsage::Normal, 1, Result::Ok, Fvf::Normal},
                          Case{DeclUsage::TexCoord, 1, Result::InvalidCall, 0}}) {
        SCOPED_TRACE(int(c.usage));
        const DeclType type = c.usage == DeclUsage::TexCoord ? DeclType::Float2 : DeclType::Float3;
        const VertexElement decl[] = {{0, 0, type, DeclMethod::Default, c.usage, c.index}, kDeclEnd};
        uint32_t fvf = 0;
        EXPECT_EQ(FvfFromDeclarator(decl, &fvf), c.result);
        if (c.result == Result::Ok) {
            EXPECT_EQ(fvf, c.fvf);
        }
    }
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
