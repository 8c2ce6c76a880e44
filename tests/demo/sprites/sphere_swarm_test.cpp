// The sphere swarm: the 32-byte walk over the sphere's 24-byte vertices, which entries are drawn,
// where the points go, and the camera's creep.
#include <cmath>
#include <cstring>
#include <memory>

#include "demo/content/demo_resources.h"
#include "demo/sprites/sphere_swarm.h"
#include "engine/gfx/device_controls.h"
#include "engine/mesh/mesh_shapes.h"
#include "tests/demo/sprites/demo_device_fixture.h"

namespace velor::demo {
namespace {

class SphereSwarm : public test::DemoDeviceTest {
protected:
    void SetUp() override {
        test::DemoDeviceTest::SetUp();
        ASSERT_EQ(CreateSphere(device_, 0.2f, 40, 32, &gResources.sphereMesh), Result::Ok);
        gResources.sphereMesh->GetVertexBuffer(&gResources.sphereVertexBuffer);
        sprite_ = std::make_unique<test::TestSprite>();
        gSprites.sphere = &sprite_->sprite;
    }
    void TearDown() override {
        gSprites.sphere = nullptr;
        gResources.sphereMesh.reset();
        gResources.sphereVertexBuffer.reset();
        test::DemoDeviceTest::TearDown();
    }
    static void FillSnapshot(Vector3 position) {
        for (SnapshotEntry& entry : gPointSnapshot) entry = {position, {0, 0, 0}};
    }

    std::unique_ptr<test::TestSprite> sprite_;  // made once the device is in place
};

TEST_F(SphereSwarm, CopiesWhole32ByteRecordsOnly) {
    FillSnapshot({-7, -7, -7});
    CopySphereVertices();
    const auto* floats = reinterpret_cast<const float*>(gResources.sphereVertexBuffer->Data());
    ASSERT_EQ(gResources.sphereVertexBuffer->GetLength(), 29808u);
    // Record j is the six floats from float 8j: every third entry is a true vertex (4j/3).
    for (int j : {0, 1, 2, 3, 465, 930}) {
        const SnapshotEntry& e = gPointSnapshot[j];
        const float expected[6] = {floats[8 * j], floats[8 * j + 1], floats[8 * j + 2],
                                   floats[8 * j + 3], floats[8 * j + 4], floats[8 * j + 5]};
        const float got[6] = {e.position.x, e.position.y, e.position.z, e.normal.x, e.normal.y, e.normal.z};
        for (int k = 0; k < 6; ++k) EXPECT_EQ(got[k], expected[k]) << "entry " << j << " float " << k;
    }
    for (int j : {3, 300, 927}) {
        const Vector3& p = gPointSnapshot[j].position;
        EXPECT_NEAR(std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z), 0.2f, 1e-5) << "entry " << j << " is vertex " << 4 * j / 3;
    }
    EXPECT_EQ(gPointSnapshot[931].position.x, -7.0f) << "931 records fit in 29,808 bytes";
}

TEST_F(SphereSwarm, EntryZeroAndEntriesFrom893OnAreNeverDrawn) {
    ASSERT_NE(gSprites.effect, nullptr);
    LookAtOrigin({0, 0, -6});
    FillSnapshot({2, 0, 0});                       // right: 893 onward
    gPointSnapshot[0].position = {-2, 0, 0};       // left: entry 0
    for (int i = 1; i <= 891; ++i) gPointSnapshot[i].position = {0, 0, 0};
    gPointSnapshot[892].position = {0, -1.5f, 0};  // below: the last one drawn
    DrawSphereSwarm(0.0f);
    auto pixels = ReadBackBuffer(*device_);
    int x, y;
    ToScreen({0, 0, 0}, &x, &y);
    EXPECT_GT(BrightestNear(pixels, x, y, 2), 200) << "entries 1 to 891";
    ToScreen({0, -1.5f, 0}, &x, &y);
    EXPECT_GT(BrightestNear(pixels, x, y, 2), 100) << "entry 892";
    ToScreen({-2, 0, 0}, &x, &y);
    EXPECT_LT(BrightestNear(pixels, x, y, 2), 8) << "entry 0";
    ToScreen({2, 0, 0}, &x, &y);
    EXPECT_LT(BrightestNear(pixels, x, y, 2), 8) << "entries 893 on";
}

TEST_F(SphereSwarm, AtZeroEveryPointSitsOnItsSnapshotUnturned) {
    ASSERT_NE(gSprites.effect, nullptr);
    CopySphereVertices();
    LookAtOrigin({0, 0, -3});
    sprite_->sprite.diffuse = {0.3f, 0.3f, 0.0f, 1.0f};
    DrawSphereSwarm(0.0f);
    EXPECT_EQ(sprite_->sprite.position.x, gPointSnapshot[892].position.x);
    EXPECT_EQ(sprite_->sprite.position.y, gPointSnapshot[892].position.y);
    EXPECT_EQ(sprite_->sprite.position.z, gPointSnapshot[892].position.z);
    EXPECT_EQ(sprite_->sprite.rotation.x, 0.0f);
    auto pixels = ReadBackBuffer(*device_);
    WriteFrame(pixels, "velor_sphere_swarm_s0.png");
    // The true vertices form a 0.2 sphere: its silhouette's top is lit...
    int x, y;
    ToScreen({0, 0.2f, 0}, &x, &y);
    EXPECT_GT(BrightestNear(pixels, x, y, 3), 60);
    // ...and the scattered two thirds stay within about a unit of the origin.
    int outside = 0;
    int left, top, right, bottom;
    ToScreen({-1.6f, 1.6f, 0}, &left, &top);
    ToScreen({1.6f, -1.6f, 0}, &right, &bottom);
    for (int py = 0; py < int(kBackBufferHeight); py += 2)
        for (int px = 0; px < int(kBackBufferWidth); px += 2)
            if ((px < left || px > right || py < top || py > bottom) &&
                Brightest(velor::test::PixelAt(pixels, px, py)) > 40)
                ++outside;
    EXPECT_EQ(outside, 0);
}

TEST_F(SphereSwarm, PointsMoveOutAlongTheirNormalsAndTurnAboutTheOrigin) {
    SetRasterization(*device_, false);
    FillSnapshot({0, 0, 0});
    gPointSnapshot[892] = {{0.1f, 0.2f, 0.3f}, {0.6f, 0.5f, 1.2f}};
    DrawSphereSwarm(12.0f);
    EXPECT_FLOAT_EQ(sprite_->sprite.position.x, 0.1f + 12.0f * 0.6f / 12);
    EXPECT_FLOAT_EQ(sprite_->sprite.position.y, 0.2f + 12.0f * 0.5f / 10);
    EXPECT_FLOAT_EQ(sprite_->sprite.position.z, 0.3f + 12.0f * 1.2f / 12);
    EXPECT_FLOAT_EQ(sprite_->sprite.rotation.x, 3.0f);
    EXPECT_FLOAT_EQ(sprite_->sprite.rotation.y, 3.0f);
    EXPECT_FLOAT_EQ(sprite_->sprite.rotation.z, 3.0f);
}

TEST_F(SphereSwarm, CameraCreepsForwardEvenWhenTheSphereIsTooSmallToDraw) {
    SetRasterization(*device_, false);
    ASSERT_EQ(CreateSphere(device_, 0.2f, 10, 10, &gResources.sphereMesh), Result::Ok);  // 92 vertices
    sprite_->sprite.position = {9, 9, 9};
    gCamera.eye = {0, 0, -1};
    gCamera.target = {0, 0, 3};
    DrawSphereSwarm(3.89f);
    EXPECT_FLOAT_EQ(gCamera.eye.z, -1.001f);
    EXPECT_FLOAT_EQ(gCamera.target.z, 2.999f);
    EXPECT_EQ(sprite_->sprite.position.x, 9.0f) << "nothing drawn";
}

}  // namespace
}  // namespace velor::demo
