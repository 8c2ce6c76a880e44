// The skeleton followers on a hand-made figure mesh (32-byte vertices): without a device (the
// sprites not set up, so only the sampling and the seeking run), and drawn through the real
// sprites from the run folder.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <random>

#include "demo/scene/scene_object.h"
#include "demo/scene/skeleton.h"
#include "demo/shell/shell_state.h"
#include "demo/sprites/point_seeking.h"
#include "demo/sprites/point_sprite.h"
#include "demo/sprites/skeleton_followers.h"
#include "demo/sprites/sphere_swarm.h"
#include "demo/terrain/forest.h"
#include "engine/gfx/device_controls.h"
#include "engine/math/d3dx_math.h"
#include "tests/support/gl_test_device.h"

namespace velor::demo {
namespace {

// The frame delta the next draw is given.
float gFrameDelta = 0;

constexpr uint32_t kFigureFvf = Fvf::XYZ | Fvf::Normal | Fvf::Tex1;  // 32 bytes a vertex

class Followers : public ::testing::Test {
protected:
    void TearDown() override {
        gSkinning.skinnedMeshOfSlot[kSkeletonSlot].reset();
        gForest = ForestState{};
    }

    // Installs a figure with these vertex positions as the skinned skeleton, as start-up leaves it,
    // with every follower back at the origin.
    void SetFigure(const std::vector<Vector3>& positions, int followers) {
        std::shared_ptr<Mesh> mesh;
        ASSERT_EQ(CreateMeshFVF(1, uint32_t(positions.size()), MeshOption::Managed | MeshOption::Use32Bit, kFigureFvf,
                                nullptr, &mesh),
                  Result::Ok);
        ASSERT_EQ(mesh->GetNumBytesPerVertex(), 32u);
        void* data = nullptr;
        mesh->LockVertexBuffer(0, &data);
        for (size_t i = 0; i < positions.size(); ++i) {
            float* v = reinterpret_cast<float*>(static_cast<uint8_t*>(data) + 32 * i);
            v[0] = positions[i].x, v[1] = positions[i].y, v[2] = positions[i].z;
            v[3] = 7, v[4] = 7, v[5] = 7;  // normal: never copied
        }
        mesh->UnlockVertexBuffer();
        gSkinning.skinnedMeshOfSlot[kSkeletonSlot] = mesh;
        mesh->GetVertexBuffer(&gForest.skeletonVertexBuffer);
        ReserveFollowers(followers);
        ASSERT_GE(int(gSeeking.followers.size()), followers);
        for (Vector3& f : gSeeking.followers) f = {0, 0, 0};
    }
};

float Length(const Vector3& a, const Vector3& b) { return std::hypot(a.x - b.x, a.y - b.y, a.z - b.z); }

TEST_F(Followers, FollowerAtTheOriginSeekingAFarVertexMovesInMinusX) {
    SetFigure({{0.3f, 0.4f, 0.5f}, {1200, 0, 0}, {0, 0, 0}}, 3);
    gFrameDelta = 0.3f;
    SampleFigureVertices();
    EXPECT_EQ(gPointSnapshot[1].position.x, 1200.0f);
    DrawSkeletonFollowers(gFrameDelta);
    // Target (1200 / 1200 - 1200, 0, 0) = (-1199, 0, 0); two steps of 0.3 / 30.
    const Vector3& f = gSeeking.followers[1];
    EXPECT_NEAR(f.x, -0.02f, 1e-6);
    EXPECT_EQ(f.y, 0.0f);
    EXPECT_EQ(f.z, 0.0f);
    const Vector3& unused = gSeeking.followers[0];
    EXPECT_EQ(unused.x, 0.0f) << "entry 0 is never moved";
    EXPECT_EQ(unused.y, 0.0f);
    EXPECT_EQ(unused.z, 0.0f);
}

TEST_F(Followers, TargetsMirrorXAndShrinkZByATenth) {
    SetFigure({{0, 0, 0}, {0, 0, 10}, {0, -600, 0}, {-1200, 0, 0}}, 4);
    gFrameDelta = 0.3f;
    SampleFigureVertices();
    DrawSkeletonFollowers(gFrameDelta);
    EXPECT_NEAR(gSeeking.followers[1].z, 0.02f, 1e-6) << "toward z = 9";
    EXPECT_NEAR(gSeeking.followers[2].y, -0.02f, 1e-6) << "toward y = -599.5";
    EXPECT_NEAR(gSeeking.followers[3].x, 0.02f, 1e-6) << "x = -1200 mirrored to +1199";
}

TEST_F(Followers, EachFrameMovesAFollowerByAtMostTwoSteps) {
    std::mt19937 random(13);
    std::uniform_real_distribution<float> coordinate(-1.0f, 1.0f);
    std::vector<Vector3> figure(300);
    for (Vector3& v : figure) v = {coordinate(random), coordinate(random), coordinate(random)};
    SetFigure(figure, int(figure.size()));
    for (float dt : {0.001f, 1.0f / 60.0f, 0.25f, 1.0f}) {
        SCOPED_TRACE(dt);
        gFrameDelta = dt;
        const float limit = 2.0f * (dt / 30.0f);
        for (int frame = 0; frame < 40; ++frame) {
            const std::vector<Vector3> before = gSeeking.followers;
            SampleFigureVertices();
            DrawSkeletonFollowers(gFrameDelta);
            for (size_t i = 1; i < figure.size(); ++i) {
                const float moved = Length(gSeeking.followers[i], before[i]);
                ASSERT_LE(moved, limit * 1.0001f + 1e-7f) << "follower " << i << " frame " << frame;
            }
        }
    }
}

TEST_F(Followers, NothingOutsideTheSnapshotOrTheFollowerTableIsTouched) {
    // More vertices than the snapshot holds, and a follower table sized for fewer still.
    std::vector<Vector3> figure(kPointSnapshotSize + 1000);
    for (size_t i = 0; i < figure.size(); ++i) figure[i] = {float(i % 7) - 3, float(i % 5) - 2, 1};
    SetFigure(figure, 100);
    const size_t followers = gSeeking.followers.size();
    ASSERT_LT(followers, size_t(kPointSnapshotSize));
    for (SnapshotEntry& e : gPointSnapshot) e.normal = {-9, -9, -9};
    gFrameDelta = 0.5f;
    SampleFigureVertices();
    DrawSkeletonFollowers(gFrameDelta);
    EXPECT_EQ(gSeeking.followers.size(), followers) << "the table keeps its size";
    for (int i = 0; i < kPointSnapshotSize; ++i) {
        ASSERT_EQ(gPointSnapshot[i].position.x, figure[size_t(i)].x) << i;
        ASSERT_EQ(gPointSnapshot[i].position.z, 1.0f) << i;
        ASSERT_EQ(gPointSnapshot[i].normal.x, -9.0f) << "normals are not touched";
    }
    for (size_t i = 1; i < followers; ++i) ASSERT_GT(Length(gSeeking.followers[i], {0, 0, 0}), 0.0f) << i;

    // A figure smaller than the snapshot leaves the entries past it alone.
    for (SnapshotEntry& e : gPointSnapshot) e.position = {42, 42, 42};
    SetFigure({{1, 1, 1}, {2, 2, 2}}, 2);
    SampleFigureVertices();
    EXPECT_EQ(gPointSnapshot[1].position.x, 2.0f);
    EXPECT_EQ(gPointSnapshot[2].position.x, 42.0f);
}

class FollowersOnScreen : public Followers {
protected:
    void SetUp() override {
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(VELOR_RUN_DIR);  // "PointAlpha.fx" and "textures/Flare1.jpg"
        std::string error;
        test_ = test::CreateTestDevice(&error);
        ASSERT_NE(test_.device, nullptr) << error;
        gShell.device = test_.device;
        SetUpFlareSprites();
    }
    void TearDown() override {
        Followers::TearDown();
        // Sprite buffers, textures and the effect go while the device is still there.
        for (PointSprite** sprite : {&gSprites.followerA, &gSprites.followerB}) {
            delete *sprite;
            *sprite = nullptr;
        }
        gSprites.effect.reset();
        gShell.device.reset();
        std::filesystem::current_path(previous_);
    }

    std::filesystem::path previous_;
    test::TestDevice test_;
};

TEST_F(FollowersOnScreen, BothLayersDrawAtTheFollowerOffsetWithRedDominating) {
    // One follower, which starts at the origin and is drawn at (1.5, 0.1, 1.5), looked at head on.
    SetFigure({{0, 0, 0}, {0, 0, 0.5f}}, 2);
    Device& device = *test_.device;
    Matrix view, projection;
    const Vector3 eye{1.5f, 0.1f, -0.5f}, at{1.5f, 0.1f, 1.5f}, up{0, 1, 0};
    MatrixLookAtLH(&view, &eye, &at, &up);
    MatrixPerspectiveFovLH(&projection, 0.61f, 4.0f / 3.0f, 0.01f, 100.0f);
    device.SetTransform(TransformState::View, &view);
    device.SetTransform(TransformState::Projection, &projection);
    device.Clear(0, nullptr, Clear::Target | Clear::ZBuffer, 0xFF000000u, 1.0f, 0);
    gFrameDelta = 1.0f / 60.0f;
    SampleFigureVertices();
    DrawSkeletonFollowers(gFrameDelta);
    const std::vector<uint32_t> pixels = ReadBackBuffer(device);

    EXPECT_EQ(gSprites.followerB->diffuse.y, 0.5f) << "green drawn last";
    EXPECT_NEAR(gSprites.followerB->position.x, 1.5f, 1e-6);
    EXPECT_NEAR(gSprites.followerB->position.z, 1.5f + 2 * (1.0f / 60.0f / 30.0f), 1e-6);
    long red = 0, green = 0, blue = 0, lit = 0, litFar = 0;
    for (int y = 0; y < int(kBackBufferHeight); ++y) {
        for (int x = 0; x < int(kBackBufferWidth); ++x) {
            const uint32_t p = test::PixelAt(pixels, x, y);
            if ((p & 0x00FFFFFFu) == 0) continue;
            const int dx = x - int(kBackBufferWidth) / 2, dy = y - int(kBackBufferHeight) / 2;
            const bool near = std::abs(dx) < 80 && std::abs(dy) < 80;
            (near ? lit : litFar) += 1;
            red += (p >> 16) & 0xFF, green += (p >> 8) & 0xFF, blue += p & 0xFF;
        }
    }
    EXPECT_GT(lit, 20) << "the sprites sit in the middle of the picture";
    EXPECT_EQ(litFar, 0);
    EXPECT_GT(red, green * 3 / 2) << "red layer 0.5 x 0.4 against green 0.5 x 0.2";
    EXPECT_GT(green, 0);
    EXPECT_EQ(blue, 0);
}

}  // namespace
}  // namespace velor::demo
