// The forest window: start-up placement, the one-frame-late placements, the dolly and the rise, and
// one rendered frame of the real content.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "demo/scene/scene_object.h"
#include "demo/scene/skeleton.h"
#include "demo/shell/shell_state.h"
#include "demo/sprites/point_seeking.h"
#include "demo/terrain/forest.h"
#include "demo/timeline/camera.h"
#include "engine/gfx/device_controls.h"
#include "engine/image/image_writer.h"
#include "engine/math/d3dx_math.h"
#include "tests/demo/scene/skeleton_fixture.h"
#include "tests/support/gl_test_device.h"

namespace velor::demo {
namespace {

// The frame delta the next draw is given.
float gFrameDelta = 0;

const Vector2 kDollyTarget{1.5f, -1.0f};

class Forest : public ::testing::Test {
protected:
    void SetUp() override {
        fixture::ResetSkinning();
        gForest = ForestState{};
        gCamera = CameraState{};
        gFrameDelta = 0;
    }
    void TearDown() override {
        // Meshes, textures and buffers go while the device and its context are still there.
        fixture::ResetSkinning();
        gForest = ForestState{};
        gShell.device.reset();
    }

    // The pack's trees, sky box and skeleton, loaded as start-up loads them, then PlaceForest.
    void LoadContentAndPlace() {
        const std::string tree = fixture::PackEntry(fixture::kTreeEntry);
        ASSERT_FALSE(tree.empty()) << "content not generated in " << VELOR_RUN_DIR;
        folder_.Write("tree.x", tree);
        folder_.Write("skybox.x", fixture::PackEntry(fixture::kSkyboxEntry));
        folder_.Write("iskelet.x", fixture::PackEntry(fixture::kSkeletonEntry));
        LoadObjectFromX("skybox.x", kSkyboxSlot);
        LoadObjectFromX("tree.x", kTreeSlot);
        LoadSkeleton();
        ASSERT_NE(Object(kTreeSlot).mesh, nullptr);
        ASSERT_NE(gSkinning.skinnedMeshOfSlot[kSkeletonSlot], nullptr);
        PlaceForest();
    }

    test::TestDevice test_;  // destroyed after TearDown
    fixture::ScratchFolder folder_;
};

float DistanceToDollyTarget() {
    const Vector2& p = gSeeking.waypoints[10];
    return std::hypot(kDollyTarget.x - p.x, kDollyTarget.y - p.y);
}

bool IsUnturned(const Matrix& world) {
    return world.m[0][0] == 1.0f && world.m[0][2] == 0.0f && world.m[2][0] == 0.0f && world.m[2][2] == 1.0f;
}

TEST_F(Forest, PlacementSharesTheTreeAndSeedsTheDollyWaypoints) {
    LoadContentAndPlace();
    const Vector3 expected[] = {{-2, 0, 5},     {3, -0.2f, 0.7f}, {1, -0.2f, -3}, {2, -0.2f, 4},
                                {-3, -0.2f, -1}, {-4, -0.2f, -4}, {4, -0.2f, 4}};
    for (int slot = kTreeSlot; slot <= kLastTreeInstanceSlot; ++slot) {
        const SceneObject& object = Object(slot);
        EXPECT_EQ(object.mesh, Object(kTreeSlot).mesh) << slot;
        EXPECT_EQ(object.position.x, expected[slot - kTreeSlot].x) << slot;
        EXPECT_EQ(object.position.y, expected[slot - kTreeSlot].y) << slot;
        EXPECT_EQ(object.position.z, expected[slot - kTreeSlot].z) << slot;
    }
    EXPECT_EQ(gSeeking.waypoints[10].x, 5.0f);
    EXPECT_EQ(gSeeking.waypoints[10].y, 0.0f);
    EXPECT_EQ(gSeeking.waypoints[11].x, 1.5f);
    EXPECT_EQ(gSeeking.waypoints[11].y, -1.0f);
    std::shared_ptr<VertexBuffer> skinnedVertices;
    gSkinning.skinnedMeshOfSlot[kSkeletonSlot]->GetVertexBuffer(&skinnedVertices);
    EXPECT_EQ(gForest.skeletonVertexBuffer, skinnedVertices);
    EXPECT_GE(gSeeking.followers.size(), gSkinning.skinnedMeshOfSlot[kSkeletonSlot]->GetNumVertices())
        << "one follower per figure vertex";
}

TEST_F(Forest, FirstFrameDrawsTheSkeletonAtTheOriginAndTheThreeTreesUnturned) {
    LoadContentAndPlace();
    SceneObject& skeleton = Object(kSkeletonSlot);
    gFrameDelta = 0.02f;
    DrawForest(gFrameDelta);
    for (int c = 0; c < 3; ++c) EXPECT_EQ(skeleton.world.m[3][c], 0.0f);
    EXPECT_DOUBLE_EQ(skeleton.animationController->GetTime(), double(0.0001f));
    for (int slot = 252; slot <= 254; ++slot) EXPECT_TRUE(IsUnturned(Object(slot).world)) << slot;
    EXPECT_EQ(skeleton.animationStep, 0.2f * 0.02f);

    gFrameDelta = 0.05f;
    DrawForest(gFrameDelta);
    for (int c = 0; c < 3; ++c) EXPECT_EQ(skeleton.world.m[3][c], -200.0f);
    EXPECT_DOUBLE_EQ(skeleton.animationController->GetTime(), double(0.0001f) + double(0.2f * 0.02f));
    for (int slot = 252; slot <= 254; ++slot) {
        EXPECT_NEAR(Object(slot).world.m[0][0], std::cos(1.7f), 1e-6) << slot;
        EXPECT_EQ(Object(slot).world.m[3][0], Object(slot).position.x) << "turned in place";
    }
    for (int slot : {250, 251, 255, 256}) EXPECT_TRUE(IsUnturned(Object(slot).world)) << slot;
    EXPECT_EQ(skeleton.animationStep, 0.2f * 0.05f);
}

TEST_F(Forest, DollySwitchesToTheRiseOnceOnTheFirstFrameWithinHalfAUnit) {
    for (float dt : {1.0f / 60.0f, 0.13f, 0.37f}) {
        SCOPED_TRACE(dt);
        gForest = ForestState{};
        gCamera = CameraState{};
        PlaceForest();
        gFrameDelta = dt;
        int switches = 0, frames = 0;
        while (frames < 5000 && switches == 0) {
            const float before = DistanceToDollyTarget();
            const Vector3 eye = gCamera.eye;
            DrawForest(gFrameDelta);
            ++frames;
            if (before > 0.5f) {
                ASSERT_EQ(gForest.dollyState, 0) << "frame " << frames << " distance " << before;
                EXPECT_EQ(gCamera.eye.x, gSeeking.waypoints[10].x);
                EXPECT_EQ(gCamera.target.x, 2.0f);
                EXPECT_EQ(gCamera.eye.y, eye.y);
            } else {
                ASSERT_EQ(gForest.dollyState, 1) << "frame " << frames << " distance " << before;
                EXPECT_EQ(gCamera.eye.x, eye.x) << "the switching frame leaves the camera alone";
                EXPECT_EQ(gCamera.eye.y, eye.y);
                ++switches;
            }
        }
        EXPECT_EQ(switches, 1);
        EXPECT_NEAR(float(frames) * dt, 3.14f / 0.5f, 2 * dt + 0.05f) << "about 6.3 s of dolly";
        // Rising from then on: the eye climbs, the dolly point and eye x stay.
        const Vector2 dolly = gSeeking.waypoints[10];
        const Vector3 eye = gCamera.eye;
        for (int i = 0; i < 20; ++i) DrawForest(gFrameDelta);
        EXPECT_EQ(gForest.dollyState, 1);
        EXPECT_EQ(gSeeking.waypoints[10].x, dolly.x);
        EXPECT_EQ(gCamera.eye.x, eye.x);
        EXPECT_GT(gCamera.eye.y, eye.y);
    }
}

TEST_F(Forest, RiseRateNeverPassesOneByMoreThanOneIncrement) {
    struct Case {
        float dt;
        float startRate;
    };
    for (const Case& c : {Case{1.0f / 60.0f, 0.9995f}, Case{0.5f, 0.0f}, Case{3.0f, 0.0f}, Case{7.0f, 0.0f}}) {
        SCOPED_TRACE(c.dt);
        gForest = ForestState{};
        gForest.dollyState = 1;
        gForest.riseRate = c.startRate;
        gCamera = CameraState{};
        gFrameDelta = c.dt;
        const float increment = 0.0001f * c.dt;
        int framesAtTop = 0;
        for (int frame = 0; frame < 30000 && framesAtTop < 3; ++frame) {
            const float rate = gForest.riseRate;
            const float eyeY = gCamera.eye.y;
            DrawForest(gFrameDelta);
            ASSERT_LE(gForest.riseRate, 1.0f + increment);
            if (rate < 1.0f) {
                EXPECT_EQ(gForest.riseRate, rate + increment);
            } else {
                EXPECT_EQ(gForest.riseRate, rate) << "stops growing at its first value of 1 or more";
                ++framesAtTop;
            }
            EXPECT_EQ(gCamera.eye.y, eyeY + gForest.riseRate / 1.2f) << "per frame, not per second";
        }
        EXPECT_EQ(framesAtTop, 3) << "the rate reached 1";
    }
}

TEST_F(Forest, RenderedFrameShowsTheSkyAndLitTrees) {
    std::string error;
    test_ = test::CreateTestDevice(&error);
    ASSERT_NE(test_.device, nullptr) << error;
    gShell.device = test_.device;
    Device& device = *test_.device;
    LoadContentAndPlace();
    // The two white directional lights that the shadow-and-reflection scene leaves on.
    const Vector3 directions[2] = {{-10, 0, 10}, {10, 0, 10}};
    for (uint32_t i = 0; i < 2; ++i) {
        Light light;
        light.type = LightType::Directional;
        light.diffuse = {1, 1, 1, 1};
        light.specular = {0.5f, 0.5f, 0.5f, 0};
        Vec3Normalize(&light.direction, &directions[i]);
        light.position = light.direction;
        light.range = 10;
        light.falloff = 1;
        light.attenuation0 = 1;
        device.SetLight(i, &light);
        device.LightEnable(i, true);
    }
    device.SetSamplerState(0, SamplerState::MinFilter, uint32_t(TextureFilter::Linear));
    device.SetSamplerState(0, SamplerState::MagFilter, uint32_t(TextureFilter::Linear));
    device.SetSamplerState(0, SamplerState::MipFilter, uint32_t(TextureFilter::Linear));

    // Three frames of the window from the home camera, each drawn with the previous frame's camera.
    gFrameDelta = 1.0f / 30.0f;
    ApplyCamera(35, 4.8f, 3);
    std::vector<uint32_t> pixels;
    for (int frame = 0; frame < 3; ++frame) {
        device.Clear(0, nullptr, Clear::Target | Clear::ZBuffer, 0xFF000000u, 1.0f, 0);
        DrawForest(gFrameDelta);
        ApplyCamera(35, 4.8f, 3);
        pixels = ReadBackBuffer(device);
    }
    Image image(kBackBufferWidth, kBackBufferHeight);
    image.pixels = pixels;
    EXPECT_TRUE(WritePng((folder_.Previous() / "forest_frame.png").string(), image).ok());

    // The sky box surrounds the camera and the lights reach the trees: nothing is left near black
    // (unlit trees would be black silhouettes); brown trunks stand in front; the upper quarter is
    // mostly sky blue.
    int dark = 0, brown = 0, blueTop = 0;
    for (size_t i = 0; i < pixels.size(); ++i) {
        const uint32_t p = pixels[i];
        const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
        dark += std::max({r, g, b}) < 24;
        brown += r > g + 10 && g > b + 5 && r > 60;
        blueTop += i < pixels.size() / 4 && b > r + 20;
    }
    EXPECT_LT(dark, int(pixels.size() / 100));
    EXPECT_GT(brown, int(pixels.size() / 50)) << "lit trunks";
    EXPECT_GT(blueTop, int(pixels.size() / 4 / 3)) << "sky";
}

}  // namespace
}  // namespace velor::demo
