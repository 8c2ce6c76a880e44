// Window 2 on a scripted clock: the lights' circles, the sprite pulses and the highlight, the
// directional lights left for later windows, and the three-legged camera flight.
#include <cmath>
#include <vector>

#include "engine/gfx/device_controls.h"
#include "demo/shadows/reflective_object.h"
#include "demo/shadows/shadow_reflection_scene.h"
#include "demo/shadows/shadow_volume_scene.h"
#include "demo/sprites/point_seeking.h"
#include "demo/windows/shadow_reflection_window.h"
#include "tests/demo/sprites/demo_device_fixture.h"

namespace velor::demo {
namespace {

class ShadowReflectionScene : public test::DemoDeviceTest {
protected:
    void SetUp() override {
        test::DemoDeviceTest::SetUp();
        SetRasterization(*device_, false);  // these tests look at state, not pixels
        gShadowReflection = ShadowReflectionState{};
        SetUpShadowReflectionWindow();
    }
    void TearDown() override {
        SetRasterization(*device_, true);
        test::DemoDeviceTest::TearDown();
    }
    static void RunFrame(float t, float dt) {
        DrawShadowReflectionScene(t, dt);
    }
};

TEST_F(ShadowReflectionScene, LightsAtTwentySeconds) {
    RunFrame(20.0f, 0.016f);
    const Vector3 expected[3] = {{-5.4402f, 3, -8.3907f}, {-9.2298f, 6, -5.9842f}, {10.9996f, 4, 0.0974f}};
    for (int l = 0; l < 3; ++l) {
        EXPECT_NEAR(gShadow.lightPositions[l].x, expected[l].x, 1e-4) << "light " << l;
        EXPECT_EQ(gShadow.lightPositions[l].y, expected[l].y) << "light " << l;
        EXPECT_NEAR(gShadow.lightPositions[l].z, expected[l].z, 1e-4) << "light " << l;
    }
    // Demo time alone places them: however long the scene has run.
    gShadowReflection.spinAngle = 5;
    gShadowReflection.cameraLeg = 2;
    RunFrame(20.0f, 0.5f);
    EXPECT_NEAR(gShadow.lightPositions[2].x, 10.9996f, 1e-4);
}

TEST_F(ShadowReflectionScene, AtSpinZeroTheHighlightAndSpritesTakeTheirRestValues) {
    RunFrame(21.0f, 0.0f);
    const float* specular = gReflection.light.specular;
    EXPECT_EQ(specular[0], -0.0f);
    EXPECT_EQ(specular[1], 1.0f);
    EXPECT_EQ(specular[2], 1.0f);
    EXPECT_EQ(specular[3], 1.0f);
    EXPECT_EQ(gSprites.glowA->diffuse.w, 1.0f);
    EXPECT_EQ(gSprites.glowB->diffuse.w, 0.0f);
    EXPECT_EQ(gSprites.sparkA->diffuse.x, 1.0f);
    EXPECT_EQ(gSprites.sparkA->diffuse.y, 0.0f);
    EXPECT_EQ(gSprites.sparkA->diffuse.z, 1.0f);
    EXPECT_EQ(gSprites.sparkB->diffuse.x, 1.0f);
    EXPECT_EQ(gSprites.sparkB->diffuse.y, -1.0f);
    EXPECT_EQ(gSprites.sparkB->diffuse.z, 0.0f);
    EXPECT_EQ(gSprites.sparkB->diffuse.w, 0.5f);
    uint32_t size = 0;
    device_->GetRenderState(RenderState::PointSize, &size);
    EXPECT_EQ(BitsToFloat(size), 8.0f) << "spark B is drawn last";
    EXPECT_EQ(gSprites.glowA->position.x, 0.0f) << "the sprites stay at the origin";
}

TEST_F(ShadowReflectionScene, HighlightFlashesNearOddMultiplesOfHalfPi) {
    gShadowReflection.spinAngle = 1.5707f;
    RunFrame(22.0f, 0.0f);
    EXPECT_LT(gReflection.light.specular[0], -1000.0f);
    EXPECT_GT(gReflection.light.specular[2], 1000.0f);
    EXPECT_EQ(gReflection.light.specular[2], gReflection.light.specular[0] * -1.0f + 1.0f);
}

TEST_F(ShadowReflectionScene, LeavesTwoWhiteDirectionalLightsOnForLaterWindows) {
    device_->SetRenderState(RenderState::Lighting, 0);
    RunFrame(25.0f, 0.016f);
    uint32_t lighting = 0;
    device_->GetRenderState(RenderState::Lighting, &lighting);
    EXPECT_EQ(lighting, 1u);
    const float expectedX[2] = {-0.70710677f, 0.70710677f};
    for (uint32_t i = 0; i < 2; ++i) {
        Light light;
        bool enabled = false;
        device_->GetLight(i, &light);
        device_->GetLightEnable(i, &enabled);
        EXPECT_TRUE(enabled);
        EXPECT_EQ(light.type, LightType::Directional);
        EXPECT_NEAR(light.direction.x, expectedX[i], 1e-6);
        EXPECT_EQ(light.direction.y, 0.0f);
        EXPECT_NEAR(light.direction.z, 0.70710677f, 1e-6);
        EXPECT_EQ(light.position.x, light.direction.x);
        EXPECT_EQ(light.diffuse.r, 1.0f);
        EXPECT_EQ(light.diffuse.a, 1.0f);
        EXPECT_EQ(light.specular.r, 0.5f);
        EXPECT_EQ(light.specular.a, 0.0f);
        EXPECT_EQ(light.ambient.r, 0.0f);
        EXPECT_EQ(light.range, 10.0f);
        EXPECT_EQ(light.attenuation0, 1.0f);
        EXPECT_EQ(gShadowReflection.directionalLights[i].direction.x, expectedX[i] < 0 ? -10.0f : 10.0f)
            << "the record keeps the direction as passed";
    }
}

// One frame of the flight as a test sees it.
struct FlightFrame {
    int leg;
    Vector3 eye, target;
    Vector2 waypoints[3];
};

TEST_F(ShadowReflectionScene, CameraFliesThreeLegsAndStopsWithinTheWindow) {
    const float dt = 1.0f / 60;
    gCamera.eye = {0, 0.25f, -1.6f};  // as window 1 leaves it
    gCamera.target = {0, 0.5f, 2.4f};
    std::vector<FlightFrame> frames;
    float t = 19.4f;
    while (t < 32.0f) {
        t += dt;
        RunFrame(t, dt);
        frames.push_back({gShadowReflection.cameraLeg, gCamera.eye, gCamera.target,
                          {gSeeking.waypoints[0], gSeeking.waypoints[1], gSeeking.waypoints[2]}});
    }
    auto distance = [](Vector2 a, Vector2 b) { return std::hypot(a.x - b.x, a.y - b.y); };
    size_t end0 = 0, end1 = 0, end2 = 0;
    for (size_t i = 1; i < frames.size(); ++i) {
        if (!end0 && frames[i].leg == 1) end0 = i;
        if (!end1 && frames[i].leg == 2) end1 = i;
    }
    ASSERT_GT(end0, 0u);
    ASSERT_GT(end1, end0);

    // Leg 0: the eye rides waypoint 0 at its starting height, looking at the vertical axis.
    const FlightFrame& mid0 = frames[end0 / 2];
    EXPECT_EQ(mid0.eye.x, mid0.waypoints[0].x);
    EXPECT_EQ(mid0.eye.z, mid0.waypoints[0].y);
    EXPECT_EQ(mid0.eye.y, 0.25f);
    EXPECT_EQ(mid0.target.x, 0.0f);
    EXPECT_EQ(mid0.target.z, 0.0f);
    EXPECT_EQ(mid0.target.y, 0.5f) << "heights of the target are left as they were";
    // It ends on the first frame that starts within 1 of (-12, -17); that frame leaves the camera.
    EXPECT_LE(distance(frames[end0 - 1].waypoints[0], {-12, -17}), 1.0f);
    EXPECT_GT(distance(frames[end0 - 2].waypoints[0], {-12, -17}), 1.0f);
    EXPECT_EQ(frames[end0].eye.x, frames[end0 - 1].eye.x);
    EXPECT_EQ(frames[end0].eye.z, frames[end0 - 1].eye.z);

    // Leg 1: the eye sinks while above -3 and then holds its height.
    EXPECT_EQ(frames[end1 - 1].eye.x, frames[end1 - 1].waypoints[1].x);
    EXPECT_LT(frames[end1 - 1].eye.y, -3.0f + 1e-6);
    EXPECT_GT(frames[end1 - 1].eye.y, -3.5f);
    float lowest = frames[end1 - 1].eye.y;
    for (size_t i = end0; i < end1; ++i) EXPECT_GE(frames[i].eye.y, lowest);
    EXPECT_LE(distance(frames[end1 - 1].waypoints[1], {18, 10}), 1.0f);

    // Leg 2: the eye climbs; once waypoint 2 has come within 1 of (3, -30) the camera stays while
    // the waypoint keeps stepping about the target.
    for (size_t i = end1 + 1; i < frames.size(); ++i) {
        if (distance(frames[i - 1].waypoints[2], {3, -30}) <= 1.0f) {
            end2 = i;
            break;
        }
    }
    ASSERT_GT(end2, end1) << "the flight ends before the window does";
    EXPECT_GT(frames[end2 - 1].eye.y, lowest);
    for (size_t i = end2; i < frames.size(); ++i) {
        EXPECT_EQ(frames[i].leg, 2);
        EXPECT_EQ(frames[i].eye.x, frames[end2 - 1].eye.x);
        EXPECT_EQ(frames[i].eye.y, frames[end2 - 1].eye.y);
        EXPECT_EQ(frames[i].eye.z, frames[end2 - 1].eye.z);
    }
    EXPECT_NE(frames.back().waypoints[2].x, frames[end2].waypoints[2].x) << "still stepping";
    EXPECT_LT(distance(frames.back().waypoints[2], {3, -30}), 9 * dt + 1e-4);
}

TEST_F(ShadowReflectionScene, ZeroDeltaMovesNothing) {
    RunFrame(20.0f, 0.016f);
    const Vector3 eye = gCamera.eye;
    const Vector2 waypoint = gSeeking.waypoints[0];
    const float spin = gShadowReflection.spinAngle;
    RunFrame(20.0f, 0.0f);
    EXPECT_EQ(gSeeking.waypoints[0].x, waypoint.x);
    EXPECT_EQ(gCamera.eye.x, eye.x);
    EXPECT_EQ(gShadowReflection.spinAngle, spin);
}

}  // namespace
}  // namespace velor::demo
