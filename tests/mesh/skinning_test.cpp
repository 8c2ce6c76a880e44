// The skinned two-bone fixture end to end: hierarchy through the allocator, the controller turning a
// bone, and software skinning moving the vertices that bone weighs.
#include <algorithm>
#include <cstring>

#include "engine/math/d3dx_math.h"
#include "tests/mesh/mesh_test_support.h"

namespace velor {
namespace {

using test::ExpectVec3Near;
using test::Vec3At;

struct Skeleton {
    test::TestAllocator allocator;
    Frame* root = nullptr;
    std::shared_ptr<AnimationController> controller;

    Skeleton() {
        std::string error;
        EXPECT_EQ(LoadMeshHierarchyFromX(test::DataPath("skinned.x").c_str(), MeshOption::Managed, nullptr, &allocator,
                                         nullptr, &root, &controller, &error),
                  Result::Ok)
            << error;
    }
    ~Skeleton() { FrameDestroy(root, &allocator); }

    // Combined transforms as the demo builds them: local · parent, from the root down.
    Matrix Combined(const char* name) const {
        Matrix combined;
        MatrixIdentity(&combined);
        std::vector<const Frame*> path;
        if (!Find(root, name, &path)) ADD_FAILURE() << "no frame " << name;
        for (const Frame* frame : path) MatrixMultiply(&combined, &combined, &frame->transformationMatrix);
        return combined;
    }

    // Positions and normals of the mesh skinned with the frames as they stand.
    std::vector<uint8_t> Skin() const {
        const auto& container = allocator.containers.at(0);
        const SkinInfo& skin = *container.skin;
        std::vector<Matrix> bones(skin.GetNumBones());
        for (uint32_t b = 0; b < bones.size(); ++b) {
            const Matrix combined = Combined(skin.GetBoneName(b));
            MatrixMultiply(&bones[b], skin.GetBoneOffsetMatrix(b), &combined);
        }
        const Mesh& mesh = *container.mesh;
        std::vector<uint8_t> out(mesh.GetNumVertices() * mesh.GetNumBytesPerVertex());
        EXPECT_EQ(skin.UpdateSkinnedMesh(bones.data(), nullptr, mesh.VertexData(), out.data()), Result::Ok);
        return out;
    }

private:
    // Path from the frame up to the root, the frame first.
    static bool Find(const Frame* frame, const char* name, std::vector<const Frame*>* path) {
        for (; frame != nullptr; frame = frame->frameSibling) {
            path->push_back(frame);
            if (frame->name != nullptr && std::strcmp(frame->name, name) == 0) {
                std::reverse(path->begin(), path->end());
                return true;
            }
            if (Find(frame->frameFirstChild, name, path)) return true;
            path->pop_back();
        }
        return false;
    }
};

Vector3 At(const std::vector<uint8_t>& vertices, uint32_t vertex, uint32_t offset) {
    Vector3 v;
    std::memcpy(&v, vertices.data() + vertex * 32 + offset, 12);
    return v;
}

TEST(LoadMeshHierarchyFromX, AllocatorMakesFramesInFileOrderAndOneSkinnedContainer) {
    Skeleton s;
    ASSERT_NE(s.root, nullptr);
    EXPECT_EQ(s.allocator.frameNames, (std::vector<std::string>{"Root", "Bone0", "Bone1", "Tip"}));
    EXPECT_STREQ(s.root->name, "Root");
    EXPECT_EQ(s.root->frameSibling, nullptr);
    ASSERT_NE(s.root->meshContainer, nullptr);
    EXPECT_EQ(s.root->meshContainer->nextMeshContainer, nullptr);
    const Frame* bone1 = FrameFind(s.root, "Bone1");
    ASSERT_NE(bone1, nullptr);
    EXPECT_EQ(bone1->transformationMatrix.m[3][1], 1.0f);
    EXPECT_EQ(FrameFind(s.root, "Tip"), bone1->frameFirstChild);
    EXPECT_EQ(FrameFind(s.root, "Nobody"), nullptr);

    ASSERT_EQ(s.allocator.containers.size(), 1u);
    const auto& call = s.allocator.containers[0];
    EXPECT_EQ(call.name, "Strip");
    EXPECT_EQ(call.mesh->GetNumVertices(), 4u);
    EXPECT_EQ(call.mesh->GetNumFaces(), 2u);
    EXPECT_EQ(call.mesh->GetNumBytesPerVertex(), 32u);
    ASSERT_EQ(call.numMaterials, 1u);
    EXPECT_EQ(call.materials[0].textureFilename, "textures/skin.png");
    EXPECT_EQ(call.adjacency, (std::vector<uint32_t>{kUnused32, 1, kUnused32, kUnused32, kUnused32, 0}));
}

TEST(LoadMeshHierarchyFromX, SkinKeepsEveryBoneWithNamesOffsetsAndWeights) {
    Skeleton s;
    ASSERT_EQ(s.allocator.containers.size(), 1u);
    const SkinInfo& skin = *s.allocator.containers[0].skin;
    ASSERT_EQ(skin.GetNumBones(), 3u);
    EXPECT_STREQ(skin.GetBoneName(0), "Bone0");
    EXPECT_STREQ(skin.GetBoneName(1), "Bone1");
    EXPECT_STREQ(skin.GetBoneName(2), "Tip");
    EXPECT_EQ(skin.GetNumBoneInfluences(0), 3u);
    EXPECT_EQ(skin.GetNumBoneInfluences(2), 0u);
    EXPECT_EQ(skin.GetBoneOffsetMatrix(1)->m[3][1], -1.0f);
    EXPECT_EQ(skin.GetBoneOffsetMatrix(2)->m[3][1], -2.0f);
    uint32_t vertices[3];
    float weights[3];
    ASSERT_EQ(skin.GetBoneInfluence(1, vertices, weights), Result::Ok);
    EXPECT_EQ(vertices[0], 1u);
    EXPECT_EQ(weights[1], 0.5f);
    EXPECT_EQ(skin.GetNumVertices(), 4u);
}

TEST(Skinning, BindPoseLeavesTheMeshWhereItIs) {
    Skeleton s;
    ASSERT_NE(s.controller, nullptr);
    s.controller->AdvanceTime(0.0);
    const auto skinned = s.Skin();
    const Mesh& mesh = *s.allocator.containers[0].mesh;
    for (uint32_t v = 0; v < 4; ++v) {
        ExpectVec3Near(At(skinned, v, 0), Vec3At(mesh, v, 0));
        ExpectVec3Near(At(skinned, v, 12), {1, 0, 0});
    }
}

TEST(Skinning, ABoneTurnedByTheControllerMovesWhatItWeighsAndHalfWeightsLandBetween) {
    Skeleton s;
    ASSERT_NE(s.controller, nullptr);
    ASSERT_EQ(s.controller->AdvanceTime(1.0), Result::Ok);  // Bone1 a quarter turn about z
    const auto skinned = s.Skin();
    ExpectVec3Near(At(skinned, 0, 0), {1, 0, 0});      // Bone0 only: unmoved
    ExpectVec3Near(At(skinned, 1, 0), {-1, 2, 0});     // Bone1 only: (0, 1) about the joint at y = 1
    ExpectVec3Near(At(skinned, 2, 0), {0.5f, 1.5f, 0});  // (1, 1) by Bone0, (0, 2) by Bone1
    ExpectVec3Near(At(skinned, 3, 0), {-0.5f, 0.5f, 0});
    // Normals turn with their bones; half and half is not renormalised. The texture coordinates are copied.
    ExpectVec3Near(At(skinned, 0, 12), {1, 0, 0});
    ExpectVec3Near(At(skinned, 1, 12), {0, 1, 0});
    ExpectVec3Near(At(skinned, 2, 12), {0.5f, 0.5f, 0});
    const float* uv = reinterpret_cast<const float*>(skinned.data() + 2 * 32 + 24);
    EXPECT_EQ(uv[0], 0.5f);
}

TEST(Skinning, AVertexNoBoneWeighsEndsAtTheOrigin) {
    const VertexElement decl[] = {{0, 0, DeclType::Float3, DeclMethod::Default, DeclUsage::Position, 0},
                                  {0, 12, DeclType::Float3, DeclMethod::Default, DeclUsage::Normal, 0}, kDeclEnd};
    std::shared_ptr<SkinInfo> skin;
    ASSERT_EQ(CreateSkinInfo(2, decl, 1, &skin), Result::Ok);
    const uint32_t vertex = 0;
    const float weight = 1.0f;
    skin->SetBoneInfluence(0, 1, &vertex, &weight);
    Matrix move;
    MatrixTranslation(&move, 0, 0, 5);
    const float source[12] = {1, 2, 3, 0, 1, 0, 4, 5, 6, 0, 1, 0};
    float destination[12];
    ASSERT_EQ(skin->UpdateSkinnedMesh(&move, nullptr, source, destination), Result::Ok);
    EXPECT_EQ(destination[2], 8.0f);
    EXPECT_EQ(destination[6], 0.0f);
    EXPECT_EQ(destination[10], 0.0f);
    uint32_t outOfRange = 2;
    EXPECT_EQ(skin->SetBoneInfluence(0, 1, &outOfRange, &weight), Result::InvalidCall);
}

}  // namespace
}  // namespace velor
