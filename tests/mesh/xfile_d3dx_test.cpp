// The X-file loaders against what D3DX gives for the same files: the material of a mesh without a
// material list, the effect instances that come with materials, and frames with two transforms.
#include "tests/mesh/mesh_test_support.h"

namespace velor {
namespace {

using test::ExpectVec3Near;
using test::PositionAt;

constexpr const char* kBareTriangle = R"(xof 0303txt 0032
Mesh {
 3;
 0.0; 0.0; 0.0;,
 0.0; 1.0; 0.0;,
 1.0; 1.0; 0.0;;
 1;
 3; 0, 1, 2;;
}
)";

// One frame holding three meshes with a transform block between each: D3DX's hierarchy keeps the
// last matrix as the frame's, and its flat loader places each mesh by the blocks before it.
constexpr const char* kFramedMeshes = R"(xof 0303txt 0032
Frame {
 Mesh { 3; 0.0; 0.0; 0.0;, 0.0; 1.0; 0.0;, 1.0; 1.0; 0.0;; 1; 3; 0, 1, 2;; }
 FrameTransformMatrix { 1.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 2.0, 1.0;; }
 Mesh { 3; 0.0; 0.0; 0.0;, 0.0; 1.0; 0.0;, 2.0; 1.0; 0.0;; 1; 3; 0, 1, 2;; }
 FrameTransformMatrix { 1.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 3.0, 1.0;; }
 Mesh { 3; 0.0; 0.0; 0.0;, 0.0; 1.0; 0.0;, 3.0; 1.0; 0.0;; 1; 3; 0, 1, 2;; }
}
)";

// Two materials, the second textured; faces 0-2 use the first.
constexpr const char* kTwoMaterials = R"(xof 0303txt 0032
Mesh {
 4; 0;0;0;, 0;1;0;, 1;1;0;, 1;0;0;;
 2; 3; 0,1,2;, 3; 0,2,3;;
 MeshMaterialList {
  2; 2; 0, 1;;
  Material { 0.0; 0.0; 1.0; 1.0;; 0.5; 1.0; 1.0; 1.0;; 0.0; 0.0; 0.0;; }
  Material { 1.0; 1.0; 1.0; 1.0;; 1.0; 1.0; 1.0; 1.0;; 0.25; 0.5; 0.75;; TextureFilename { "texture.jpg"; } }
 }
}
)";

void ExpectColour(const ColorValue& c, float r, float g, float b, float a) {
    EXPECT_EQ(c.r, r);
    EXPECT_EQ(c.g, g);
    EXPECT_EQ(c.b, b);
    EXPECT_EQ(c.a, a);
}

std::vector<float> FloatsOf(const EffectDefault& d) {
    std::vector<float> values(d.value.size() / sizeof(float));
    std::memcpy(values.data(), d.value.data(), values.size() * sizeof(float));
    return values;
}

// D3DX's defaults: Diffuse, Power, Specular, Emissive, Ambient as floats, then the texture's name.
void ExpectD3DXDefaults(const EffectInstance& effect, const XMaterial& material) {
    const Material& m = material.matD3D;
    const bool textured = !material.textureFilename.empty();
    ASSERT_EQ(effect.defaults.size(), textured ? 6u : 5u);
    struct Expected {
        const char* name;
        std::vector<float> values;
    };
    const Expected floats[] = {
        {"Diffuse", {m.diffuse.r, m.diffuse.g, m.diffuse.b, m.diffuse.a}},
        {"Power", {m.power}},
        {"Specular", {m.specular.r, m.specular.g, m.specular.b, m.specular.a}},
        {"Emissive", {m.emissive.r, m.emissive.g, m.emissive.b, m.emissive.a}},
        {"Ambient", {m.ambient.r, m.ambient.g, m.ambient.b, m.ambient.a}},
    };
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(effect.defaults[i].paramName, floats[i].name);
        EXPECT_EQ(effect.defaults[i].type, EffectDefaultType::Floats);
        EXPECT_EQ(FloatsOf(effect.defaults[i]), floats[i].values) << floats[i].name;
    }
    if (textured) {
        const EffectDefault& texture = effect.defaults[5];
        EXPECT_EQ(texture.paramName, "Texture0@Name");
        EXPECT_EQ(texture.type, EffectDefaultType::String);
        ASSERT_EQ(texture.value.size(), material.textureFilename.size() + 1);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(texture.value.data())), material.textureFilename);
    }
    EXPECT_TRUE(effect.effectFilename.empty());
}

TEST(XFileD3DX, AMeshWithoutMaterialListGetsD3DXsDefaultMaterial) {
    std::shared_ptr<Mesh> mesh;
    std::vector<XMaterial> materials;
    std::vector<EffectInstance> effects;
    uint32_t count = 0;
    std::string error;
    ASSERT_EQ(LoadMeshFromXInMemory(kBareTriangle, "bare.x", MeshOption::Managed, nullptr, nullptr, &materials, &effects,
                                    &count, &mesh, &error),
              Result::Ok)
        << error;
    ASSERT_EQ(count, 1u);
    ASSERT_EQ(materials.size(), 1u);
    const Material& m = materials[0].matD3D;
    ExpectColour(m.diffuse, 0.5f, 0.5f, 0.5f, 0.0f);
    ExpectColour(m.ambient, 0, 0, 0, 0);
    ExpectColour(m.specular, 0.5f, 0.5f, 0.5f, 0.0f);
    ExpectColour(m.emissive, 0, 0, 0, 0);
    EXPECT_EQ(m.power, 0.0f);
    EXPECT_TRUE(materials[0].textureFilename.empty());
    EXPECT_EQ(mesh->Attributes()[0], 0u);
    ASSERT_EQ(effects.size(), 1u);
    ExpectD3DXDefaults(effects[0], materials[0]);

    // The hierarchy loader gives such a mesh no material at all, as D3DX does.
    test::TestAllocator allocator;
    Frame* root = nullptr;
    ASSERT_EQ(LoadMeshHierarchyFromXInMemory(kBareTriangle, "bare.x", 0, nullptr, &allocator, nullptr, &root, nullptr,
                                             &error),
              Result::Ok)
        << error;
    ASSERT_EQ(allocator.containers.size(), 1u);
    EXPECT_EQ(allocator.containers[0].numMaterials, 0u);
    FrameDestroy(root, &allocator);
}

TEST(XFileD3DX, EffectInstancesCarryTheMaterialsAsDefaults) {
    std::shared_ptr<Mesh> mesh;
    std::vector<XMaterial> materials;
    std::vector<EffectInstance> effects;
    std::string error;
    ASSERT_EQ(LoadMeshFromXInMemory(kTwoMaterials, "two.x", MeshOption::Managed, nullptr, nullptr, &materials, &effects,
                                    nullptr, &mesh, &error),
              Result::Ok)
        << error;
    ASSERT_EQ(materials.size(), 2u);
    ASSERT_EQ(effects.size(), 2u);
    ExpectColour(materials[1].matD3D.emissive, 0.25f, 0.5f, 0.75f, 1.0f);
    for (size_t i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        ExpectD3DXDefaults(effects[i], materials[i]);
    }

    test::TestAllocator allocator;
    Frame* root = nullptr;
    ASSERT_EQ(LoadMeshHierarchyFromXInMemory(kTwoMaterials, "two.x", 0, nullptr, &allocator, nullptr, &root, nullptr,
                                             &error),
              Result::Ok)
        << error;
    ASSERT_EQ(allocator.containers.size(), 1u);
    const auto& container = allocator.containers[0];
    ASSERT_EQ(container.effects.size(), 2u);
    ExpectD3DXDefaults(container.effects[1], container.materials[1]);
    FrameDestroy(root, &allocator);
}

TEST(XFileD3DX, HierarchyKeepsTheLastTransformOfAFrame) {
    test::TestAllocator allocator;
    Frame* root = nullptr;
    std::string error;
    ASSERT_EQ(LoadMeshHierarchyFromXInMemory(kFramedMeshes, "framed.x", 0, nullptr, &allocator, nullptr, &root, nullptr,
                                             &error),
              Result::Ok)
        << error;
    EXPECT_EQ(root->transformationMatrix.m[3][2], 3.0f);
    EXPECT_EQ(root->transformationMatrix.m[3][0], 0.0f);
    // Each mesh keeps the file's positions: the frame's matrix places them when drawn.
    ASSERT_EQ(allocator.containers.size(), 3u);
    for (int i = 0; i < 3; ++i) ExpectVec3Near(PositionAt(*allocator.containers[size_t(i)].mesh, 2), {float(i + 1), 1, 0});
    FrameDestroy(root, &allocator);
}

TEST(XFileD3DX, CollapsedMeshIsPlacedByTheTransformsBeforeEachMesh) {
    std::shared_ptr<Mesh> mesh;
    std::vector<XMaterial> materials;
    std::string error;
    ASSERT_EQ(LoadMeshFromXInMemory(kFramedMeshes, "framed.x", MeshOption::Managed, nullptr, nullptr, &materials, nullptr,
                                    nullptr, &mesh, &error),
              Result::Ok)
        << error;
    ASSERT_EQ(mesh->GetNumVertices(), 9u);
    // D3DX's result: the first mesh unmoved, the second by 2, the third by both blocks (2 + 3).
    const Vector3 expected[9] = {{0, 0, 0}, {0, 1, 0}, {1, 1, 0}, {0, 0, 2}, {0, 1, 2},
                                 {2, 1, 2}, {0, 0, 5}, {0, 1, 5}, {3, 1, 5}};
    for (uint32_t v = 0; v < 9; ++v) ExpectVec3Near(PositionAt(*mesh, v), expected[v]);
    for (uint32_t i = 0; i < 9; ++i) EXPECT_EQ(mesh->IndexAt(i), i);
    // Three meshes without a material list share one default material.
    ASSERT_EQ(materials.size(), 1u);
    for (uint32_t attribute : mesh->Attributes()) EXPECT_EQ(attribute, 0u);
}

}  // namespace
}  // namespace velor
