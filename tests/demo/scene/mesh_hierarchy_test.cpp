// The hierarchy allocator, called directly and through the X-file hierarchy loader, without a device.
#include <gtest/gtest.h>

#include <memory>

#include "demo/scene/mesh_hierarchy.h"
#include "engine/math/d3dx_math.h"
#include "engine/mesh/mesh.h"
#include "engine/mesh/skin_info.h"

namespace velor::demo {
namespace {

bool IsIdentity(const Matrix& m) {
    Matrix identity;
    MatrixIdentity(&identity);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if (m.m[r][c] != identity.m[r][c]) return false;
    return true;
}

std::shared_ptr<Mesh> Triangle() {
    std::shared_ptr<Mesh> mesh;
    EXPECT_EQ(CreateMeshFVF(1, 3, MeshOption::Managed, Fvf::XYZ | Fvf::Normal, nullptr, &mesh), Result::Ok);
    return mesh;
}

TEST(MeshHierarchy, FrameNamesAreCopiedAndAnEmptyNameIsNull) {
    CMeshHierarchy hierarchy;
    const char* const names[] = {nullptr, "", "L_Forearm"};
    for (const char* name : names) {
        Frame* frame = nullptr;
        ASSERT_EQ(hierarchy.CreateFrame(name, &frame), Result::Ok);
        ASSERT_NE(frame, nullptr);
        if (name == nullptr || name[0] == '\0') {
            EXPECT_EQ(frame->name, nullptr) << (name ? "empty name" : "no name");
        } else {
            ASSERT_NE(frame->name, nullptr);
            EXPECT_NE(frame->name, name) << "a copy, not the loader's string";
            EXPECT_STREQ(frame->name, name);
        }
        EXPECT_TRUE(IsIdentity(frame->transformationMatrix));
        EXPECT_TRUE(IsIdentity(static_cast<HierarchyFrame*>(frame)->combined));
        EXPECT_EQ(frame->meshContainer, nullptr);
        EXPECT_EQ(frame->frameSibling, nullptr);
        EXPECT_EQ(frame->frameFirstChild, nullptr);
        EXPECT_EQ(hierarchy.DestroyFrame(frame), Result::Ok);
    }
}

TEST(MeshHierarchy, MeshWithoutMaterialsGetsOneZeroedSlotWithNoTexture) {
    CMeshHierarchy hierarchy;
    MeshData data;
    data.mesh = Triangle();
    const uint32_t adjacency[3] = {kUnused32, 7, kUnused32};
    MeshContainer* made = nullptr;
    ASSERT_EQ(hierarchy.CreateMeshContainer("", &data, nullptr, nullptr, 0, adjacency, nullptr, &made), Result::Ok);
    auto* container = static_cast<HierarchyMeshContainer*>(made);
    ASSERT_NE(container, nullptr);
    EXPECT_EQ(container->name, nullptr);
    EXPECT_EQ(container->numMaterials, 1u);
    ASSERT_EQ(container->materials.size(), 1u);
    ASSERT_EQ(container->textures.size(), 1u);
    EXPECT_EQ(container->textures[0], nullptr);
    const Material& m = container->materials[0];
    for (float v : {m.diffuse.r, m.diffuse.a, m.ambient.g, m.specular.b, m.emissive.r, m.power}) EXPECT_EQ(v, 0.0f);
    // The loader's lists are not kept.
    EXPECT_EQ(static_cast<MeshContainer*>(container)->materials, nullptr);
    EXPECT_EQ(container->effects, nullptr);
    ASSERT_NE(container->adjacency, nullptr);
    EXPECT_NE(container->adjacency, adjacency);
    EXPECT_EQ(container->adjacency[1], 7u);
    EXPECT_EQ(container->meshData.mesh, data.mesh);
    EXPECT_EQ(hierarchy.DestroyMeshContainer(container), Result::Ok);
}

TEST(MeshHierarchy, MaterialsAreCopiedWithAmbientSetToDiffuse) {
    CMeshHierarchy hierarchy;
    MeshData data;
    data.mesh = Triangle();
    XMaterial materials[2];
    materials[0].matD3D.diffuse = {0.8f, 0.7f, 0.6f, 0.5f};
    materials[0].matD3D.ambient = {0, 0, 0, 1};
    materials[1].matD3D.diffuse = {0.1f, 0.2f, 0.3f, 1.0f};
    materials[1].matD3D.power = 12;
    materials[1].textureFilename = "textures/no-such-file.png";  // no device here: stays null
    MeshContainer* made = nullptr;
    ASSERT_EQ(hierarchy.CreateMeshContainer("Body", &data, materials, nullptr, 2, nullptr, nullptr, &made), Result::Ok);
    auto* container = static_cast<HierarchyMeshContainer*>(made);
    EXPECT_STREQ(container->name, "Body");
    ASSERT_EQ(container->numMaterials, 2u);
    EXPECT_EQ(container->materials[0].ambient.r, 0.8f);
    EXPECT_EQ(container->materials[0].ambient.a, 0.5f);
    EXPECT_EQ(container->materials[1].ambient.b, 0.3f);
    EXPECT_EQ(container->materials[1].power, 12.0f);
    EXPECT_EQ(container->textures[1], nullptr);
    hierarchy.DestroyMeshContainer(container);
}

TEST(MeshHierarchy, RigidMeshHasNoBoneArraysAndSkinnedMeshCopiesItsOffsets) {
    CMeshHierarchy hierarchy;
    MeshData data;
    data.mesh = Triangle();
    MeshContainer* rigid = nullptr;
    ASSERT_EQ(hierarchy.CreateMeshContainer("Rock", &data, nullptr, nullptr, 0, nullptr, nullptr, &rigid), Result::Ok);
    auto* r = static_cast<HierarchyMeshContainer*>(rigid);
    EXPECT_EQ(r->skinInfo, nullptr);
    EXPECT_TRUE(r->boneOffsets.empty());
    EXPECT_TRUE(r->boneMatrixRefs.empty());
    EXPECT_EQ(r->skinnedMesh, nullptr);
    hierarchy.DestroyMeshContainer(r);

    std::shared_ptr<SkinInfo> skin;
    ASSERT_EQ(CreateSkinInfoFVF(3, Fvf::XYZ | Fvf::Normal, 2, &skin), Result::Ok);
    Matrix offset;
    MatrixTranslation(&offset, 0, -1.5f, 0);
    skin->SetBoneOffsetMatrix(1, &offset);
    MeshContainer* skinned = nullptr;
    ASSERT_EQ(hierarchy.CreateMeshContainer("Body", &data, nullptr, nullptr, 0, nullptr, skin, &skinned), Result::Ok);
    auto* s = static_cast<HierarchyMeshContainer*>(skinned);
    EXPECT_EQ(s->skinInfo, skin);
    ASSERT_EQ(s->boneOffsets.size(), 2u);
    EXPECT_TRUE(IsIdentity(s->boneOffsets[0]));
    EXPECT_EQ(s->boneOffsets[1].m[3][1], -1.5f);
    ASSERT_EQ(s->boneMatrixRefs.size(), 2u);
    EXPECT_EQ(s->boneMatrixRefs[0], nullptr) << "filled by the skeleton's set-up, not here";
    EXPECT_EQ(s->skinnedMesh, nullptr);
    hierarchy.DestroyMeshContainer(s);
}

TEST(MeshHierarchy, PatchAndProgressiveMeshesAreRefused) {
    CMeshHierarchy hierarchy;
    for (MeshDataType type : {MeshDataType::PatchMesh, MeshDataType::PMesh}) {
        MeshData data;
        data.type = type;
        data.mesh = Triangle();
        MeshContainer stale;
        MeshContainer* made = &stale;  // must be cleared
        EXPECT_EQ(hierarchy.CreateMeshContainer("Patch", &data, nullptr, nullptr, 0, nullptr, nullptr, &made),
                  Result::Fail);
        EXPECT_EQ(made, nullptr);
        EXPECT_EQ(data.mesh.use_count(), 1) << "the refused container let go of the mesh";
    }
    EXPECT_EQ(hierarchy.DestroyMeshContainer(nullptr), Result::Ok);
}

TEST(MeshHierarchy, LoaderBuildsTheHierarchyFromAnXFile) {
    const char* text = R"(xof 0303txt 0032
Frame Root {
 FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,0,1;; }
 Frame Arm {
  FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 0,2,0,1;; }
  Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3; 0,1,2;; }
 }
 Frame { }
}
)";
    CMeshHierarchy hierarchy;
    Frame* root = nullptr;
    std::shared_ptr<AnimationController> controller;
    std::string error;
    ASSERT_EQ(LoadMeshHierarchyFromXInMemory(text, "arm.x", MeshOption::Managed, nullptr, &hierarchy, nullptr, &root,
                                             &controller, &error),
              Result::Ok)
        << error;
    ASSERT_NE(root, nullptr);
    Frame* arm = FrameFind(root, "Arm");
    ASSERT_NE(arm, nullptr);
    EXPECT_EQ(arm->transformationMatrix.m[3][1], 2.0f);
    EXPECT_TRUE(IsIdentity(static_cast<HierarchyFrame*>(arm)->combined)) << "combined is the skeleton's to compute";
    auto* container = static_cast<HierarchyMeshContainer*>(arm->meshContainer);
    ASSERT_NE(container, nullptr);
    EXPECT_EQ(container->numMaterials, 1u);
    ASSERT_NE(arm->frameSibling, nullptr);
    EXPECT_EQ(arm->frameSibling->name, nullptr) << "the unnamed frame";
    EXPECT_EQ(FrameDestroy(root, &hierarchy), Result::Ok);
}

}  // namespace
}  // namespace velor::demo
