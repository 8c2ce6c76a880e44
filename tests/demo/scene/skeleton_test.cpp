// The skeleton: set-up walk, animation step, frame combination and software skinning, on a small
// X-text rig and on the generated "iskelet.x" of the pack.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

#include "demo/scene/mesh_hierarchy.h"
#include "demo/scene/scene_object.h"
#include "demo/scene/skeleton.h"
#include "demo/shell/shell_state.h"
#include "engine/gfx/device_controls.h"
#include "engine/image/image_writer.h"
#include "engine/math/d3dx_math.h"
#include "tests/demo/scene/skeleton_fixture.h"
#include "tests/support/gl_test_device.h"

namespace velor::demo {
namespace {

using fixture::Positions;

// Root (moved far along z by its own transform, which must not matter) holds two skinned meshes;
// Bone0 (up 1) and its child Bone1 (right 1, sliding along z with the animation) drive them; Body
// holds a mesh with a third bone that names no frame. Each vertex follows one bone fully.
const char* kRig = R"(xof 0303txt 0032
Frame Root {
 FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,100,1;; }
 Frame Bone0 {
  FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 0,1,0,1;; }
  Frame Bone1 { FrameTransformMatrix { 1,0,0,0, 0,1,0,0, 0,0,1,0, 1,0,0,1;; } }
 }
 Frame Body {
  Mesh Third {
   3; 0;0;0;, 1;0;0;, 0;1;0;;
   1; 3; 0,1,2;;
   XSkinMeshHeader { 1; 1; 3; }
   SkinWeights { "Bone0"; 1; 0; 1.0; 1,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,0,1;; }
   SkinWeights { "Bone1"; 1; 1; 1.0; 1,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,0,1;; }
   SkinWeights { "Nowhere"; 1; 2; 1.0; 1,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,5,1;; }
  }
 }
 Mesh First {
  3; -0.9;-0.9;0;, -0.6;-0.9;0;, -0.9;-0.6;0;;
  1; 3; 0,2,1;;
  XSkinMeshHeader { 1; 1; 1; }
  SkinWeights { "Bone0"; 3; 0,1,2; 1.0,1.0,1.0; 1,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,0,1;; }
 }
 Mesh Second {
  3; 0.6;-0.9;0;, 0.9;-0.9;0;, 0.6;-0.6;0;;
  1; 3; 0,2,1;;
  XSkinMeshHeader { 1; 1; 1; }
  SkinWeights { "Bone0"; 3; 0,1,2; 1.0,1.0,1.0; 1,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,0,1;; }
 }
}
AnimationSet Slide {
 Animation {
  { Bone1 }
  AnimationKey { 2; 2; 0; 3; 1,0,0;;, 4800; 3; 1,0,2;;; }
 }
}
)";

class Skeleton : public ::testing::Test {
protected:
    void SetUp() override { fixture::ResetSkinning(); }
    void TearDown() override {
        // Meshes and textures go while the device and its context are still there.
        fixture::ResetSkinning();
        gShell.device.reset();
    }

    Device& MakeDevice() {
        std::string error;
        test_ = test::CreateTestDevice(&error);
        EXPECT_NE(test_.device, nullptr) << error;
        gShell.device = test_.device;
        return *test_.device;
    }

    // Loads the text as "iskelet.x" from the working folder, as start-up does.
    void Load(const std::string& text) {
        folder_.Write("iskelet.x", text);
        LoadSkeleton();
        ASSERT_NE(Object(kSkeletonSlot).rootFrame, nullptr);
        ASSERT_NE(Object(kSkeletonSlot).animationController, nullptr);
    }
    HierarchyMeshContainer* Container(const char* frame, int index) {
        MeshContainer* c = FrameFind(Object(kSkeletonSlot).rootFrame, frame)->meshContainer;
        for (int i = 0; i < index && c != nullptr; ++i) c = c->nextMeshContainer;
        return static_cast<HierarchyMeshContainer*>(c);
    }

    test::TestDevice test_;  // destroyed after TearDown
    fixture::ScratchFolder folder_;
};

void ExpectNear(const Vector3& v, float x, float y, float z) {
    EXPECT_NEAR(v.x, x, 1e-4);
    EXPECT_NEAR(v.y, y, 1e-4);
    EXPECT_NEAR(v.z, z, 1e-4);
}

TEST_F(Skeleton, OnlyTheFirstContainerOfAFrameIsSetUpAndMaxBonesIsTheLargestCount) {
    Load(kRig);
    HierarchyMeshContainer* third = Container("Body", 0);
    HierarchyMeshContainer* first = Container("Root", 0);
    HierarchyMeshContainer* second = Container("Root", 1);
    ASSERT_NE(third, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_STREQ(first->name, "First");
    EXPECT_STREQ(second->name, "Second");
    EXPECT_NE(first->skinnedMesh, nullptr);
    EXPECT_EQ(second->skinnedMesh, nullptr) << "a frame's later containers are never skinned";
    EXPECT_EQ(second->boneMatrixRefs[0], nullptr);
    EXPECT_NE(third->skinnedMesh, nullptr);
    // Walk order: Root, then its children Bone0, Body (Bone0's sibling), then Bone1; the last
    // container registered is Body's, whose copy is the slot's skinned mesh.
    EXPECT_EQ(gSkinning.meshContainerOfSlot[kSkeletonSlot], third);
    EXPECT_EQ(gSkinning.skinnedMeshOfSlot[kSkeletonSlot], third->skinnedMesh);
    EXPECT_EQ(gSkinning.maxBones, 3u);
    EXPECT_EQ(gSkinning.boneMatrices.size(), 3u);
}

TEST_F(Skeleton, BonesPointAtTheirFramesCombinedMatrixAndAnUnknownBoneAtIdentity) {
    Load(kRig);
    HierarchyMeshContainer* third = Container("Body", 0);
    ASSERT_EQ(third->boneMatrixRefs.size(), 3u);
    const Frame* root = Object(kSkeletonSlot).rootFrame;
    EXPECT_EQ(third->boneMatrixRefs[0], &static_cast<const HierarchyFrame*>(FrameFind(root, "Bone0"))->combined);
    EXPECT_EQ(third->boneMatrixRefs[1], &static_cast<const HierarchyFrame*>(FrameFind(root, "Bone1"))->combined);
    ASSERT_NE(third->boneMatrixRefs[2], nullptr);
    Matrix identity;
    MatrixIdentity(&identity);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_EQ(third->boneMatrixRefs[2]->m[r][c], identity.m[r][c]);
}

TEST_F(Skeleton, FirstUpdateAdvancesByATenThousandthThenByTheStoredStep) {
    Load(kRig);
    SceneObject& object = Object(kSkeletonSlot);
    EXPECT_EQ(object.animationStep, 0.0f);
    UpdateHierarchy(kSkeletonSlot);
    EXPECT_EQ(object.animationStep, 0.0001f);
    EXPECT_DOUBLE_EQ(object.animationController->GetTime(), double(0.0001f));
    object.animationStep = 0.5f;
    UpdateHierarchy(kSkeletonSlot);
    EXPECT_DOUBLE_EQ(object.animationController->GetTime(), double(0.0001f) + 0.5);
}

TEST_F(Skeleton, SkinningIgnoresTheRootsOwnTransformAndFollowsTheBones) {
    Load(kRig);
    SceneObject& object = Object(kSkeletonSlot);
    object.animationStep = 0.5f;  // Bone1 halfway along its slide: z = 1
    UpdateHierarchy(kSkeletonSlot);
    const auto* root = static_cast<const HierarchyFrame*>(object.rootFrame);
    EXPECT_EQ(root->combined.m[3][2], 0.0f) << "the root keeps its identity combined matrix";
    std::vector<Vector3> p = Positions(*gSkinning.skinnedMeshOfSlot[kSkeletonSlot]);
    ASSERT_EQ(p.size(), 3u);
    // Were the root's translation (0, 0, 100) applied, every z would be near 100.
    ExpectNear(p[0], 0, 1, 0);  // (0, 0, 0) on Bone0, up 1
    ExpectNear(p[1], 2, 1, 1);  // (1, 0, 0) on Bone1: right 1 more, slid to z 1
    ExpectNear(p[2], 0, 1, 5);  // (0, 1, 0) on the unknown bone: its offset alone
}

TEST_F(Skeleton, ContainerTheSetUpNeverReachedIsDrawnUnskinned) {
    Device& device = MakeDevice();
    ASSERT_NE(gShell.device, nullptr);
    Load(kRig);
    Matrix identity;
    MatrixIdentity(&identity);
    device.SetTransform(TransformState::View, &identity);
    device.SetTransform(TransformState::Projection, &identity);
    device.SetRenderState(RenderState::Lighting, 0);
    device.SetRenderState(RenderState::CullMode, uint32_t(Cull::None));
    device.Clear(0, nullptr, Clear::Target | Clear::ZBuffer, 0xFF000000u, 1.0f, 0);
    Object(kSkeletonSlot).position = {0, 0, 0.5f};
    DrawObject(kSkeletonSlot);
    std::vector<uint32_t> pixels = ReadBackBuffer(device);
    auto lit = [&](float x, float y) {
        const int px = int((x + 1) * 0.5f * kBackBufferWidth), py = int((1 - y) * 0.5f * kBackBufferHeight);
        return (test::PixelAt(pixels, px, py) & 0x00FFFFFFu) != 0;
    };
    // First has a skinned copy that nothing updates (it keeps the bind pose); Second has none and
    // draws its own mesh. Skinned by Bone0 either would have moved up by 1, off the top.
    EXPECT_TRUE(lit(-0.8f, -0.8f)) << "First, from its skinned copy";
    EXPECT_TRUE(lit(0.7f, -0.8f)) << "Second, from its own mesh";
    EXPECT_FALSE(lit(0.0f, 0.5f));
}

class GeneratedSkeleton : public Skeleton {
protected:
    void SetUp() override {
        Skeleton::SetUp();
        const std::string text = fixture::PackEntry(fixture::kSkeletonEntry);
        ASSERT_FALSE(text.empty()) << "content not generated in " << VELOR_RUN_DIR;
        Load(text);
    }
};

TEST_F(GeneratedSkeleton, EveryBoneFindsItsFrameAndTheCopyKeepsThe32ByteLayout) {
    const std::shared_ptr<Mesh>& skinned = gSkinning.skinnedMeshOfSlot[kSkeletonSlot];
    ASSERT_NE(skinned, nullptr);
    HierarchyMeshContainer* container = gSkinning.meshContainerOfSlot[kSkeletonSlot];
    ASSERT_NE(container->skinInfo, nullptr);
    EXPECT_EQ(skinned->GetNumBytesPerVertex(), 32u);
    EXPECT_EQ(skinned->GetNumVertices(), container->meshData.mesh->GetNumVertices());
    EXPECT_EQ(gSkinning.maxBones, container->skinInfo->GetNumBones());
    const Frame* root = Object(kSkeletonSlot).rootFrame;
    for (uint32_t b = 0; b < container->skinInfo->GetNumBones(); ++b) {
        const auto* frame = static_cast<const HierarchyFrame*>(FrameFind(root, container->skinInfo->GetBoneName(b)));
        ASSERT_NE(frame, nullptr) << container->skinInfo->GetBoneName(b);
        EXPECT_EQ(container->boneMatrixRefs[b], &frame->combined);
    }
}

TEST_F(GeneratedSkeleton, FigureMovesBetweenTwoTimesAndKeepsItsShape) {
    SceneObject& object = Object(kSkeletonSlot);
    HierarchyMeshContainer* container = gSkinning.meshContainerOfSlot[kSkeletonSlot];
    Mesh& bind = *container->meshData.mesh;
    const std::vector<Vector3> rest = Positions(bind);
    Mesh& skinned = *gSkinning.skinnedMeshOfSlot[kSkeletonSlot];

    UpdateHierarchy(kSkeletonSlot);
    object.animationStep = 0.4f;
    UpdateHierarchy(kSkeletonSlot);
    const std::vector<Vector3> a = Positions(skinned);
    UpdateHierarchy(kSkeletonSlot);
    const std::vector<Vector3> b = Positions(skinned);

    int moved = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        const float d = std::hypot(a[i].x - b[i].x, a[i].y - b[i].y, a[i].z - b[i].z);
        moved += d > 0.01f;
    }
    EXPECT_GT(moved, int(a.size() / 4)) << "the dance moves much of the figure in 0.4 s";

    // Bones stay joined: no edge of any face stretches or shrinks much against the bind pose, and
    // the figure stays a figure about 1.7 units tall around its origin.
    void* indexData = nullptr;
    bind.LockIndexBuffer(Lock::ReadOnly, &indexData);
    float worst = 1.0f;
    for (uint32_t f = 0; f < bind.GetNumFaces(); ++f) {
        for (int e = 0; e < 3; ++e) {
            const uint32_t i = bind.IndexAt(3 * f + uint32_t(e)), j = bind.IndexAt(3 * f + uint32_t((e + 1) % 3));
            const float r = std::hypot(rest[i].x - rest[j].x, rest[i].y - rest[j].y, rest[i].z - rest[j].z);
            if (r < 1e-4f) continue;
            for (const auto* pose : {&a, &b}) {
                const Vector3 &p = (*pose)[i], &q = (*pose)[j];
                const float s = std::hypot(p.x - q.x, p.y - q.y, p.z - q.z) / r;
                worst = std::max(worst, std::max(s, 1.0f / std::max(s, 1e-6f)));
            }
        }
    }
    bind.UnlockIndexBuffer();
    EXPECT_LT(worst, 2.5f) << "some face tore apart";
    for (const auto* pose : {&a, &b}) {
        float low = 1e9f, high = -1e9f, farthest = 0;
        for (const Vector3& p : *pose) {
            low = std::min(low, p.y);
            high = std::max(high, p.y);
            farthest = std::max(farthest, std::hypot(p.x, p.y, p.z));
        }
        EXPECT_NEAR(high - low, 1.7f, 0.3f);
        EXPECT_LT(farthest, 1.5f);
    }
}

}  // namespace
}  // namespace velor::demo
