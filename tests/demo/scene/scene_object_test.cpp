// The object table without a device: composition, instancing, empty slots.
#include <gtest/gtest.h>

#include <cmath>

#include "demo/scene/scene_object.h"
#include "engine/math/d3dx_math.h"

namespace velor::demo {
namespace {

TEST(SceneObject, TranslationComesBeforeScalingSoTheScaleMovesThePosition) {
    SceneObject& object = Object(7);
    object.position = {1, 0, 0};
    object.scale = {2, 2, 2};
    ComposeWorld(object);
    Vector3 origin{0, 0, 0}, out;
    Vec3TransformCoord(&out, &origin, &object.world);
    EXPECT_FLOAT_EQ(out.x, 2.0f);
    EXPECT_FLOAT_EQ(out.y, 0.0f);
    EXPECT_FLOAT_EQ(out.z, 0.0f);
}

TEST(SceneObject, RotationsApplyXThenYThenZ) {
    SceneObject& object = Object(8);
    object.rotation = {float(M_PI / 2), float(M_PI / 2), 0};
    ComposeWorld(object);
    // (0, 1, 0) about x by 90° goes to (0, 0, 1); then about y by 90° to (1, 0, 0).
    Vector3 up{0, 1, 0}, out;
    Vec3TransformCoord(&out, &up, &object.world);
    EXPECT_NEAR(out.x, 1.0f, 1e-6);
    EXPECT_NEAR(out.y, 0.0f, 1e-6);
    EXPECT_NEAR(out.z, 0.0f, 1e-6);
}

TEST(SceneObject, MissingFileLeavesAnEmptySlotThatDrawsNothing) {
    LoadObjectFromX("no-such-file.x", 9);
    const SceneObject& object = Object(9);
    EXPECT_EQ(object.mesh, nullptr);
    EXPECT_EQ(object.materialCount, 0u);
    EXPECT_EQ(object.loadCount, 0u);
    DrawObject(9);  // no device, no mesh: composes and stores the world only
    EXPECT_FLOAT_EQ(Object(9).world.m[3][3], 1.0f);
}

TEST(SceneObject, FreshSlotsHaveUnitScaleAndNoOverride) {
    const SceneObject& object = Object(9999);
    EXPECT_FLOAT_EQ(object.scale.x, 1.0f);
    EXPECT_FLOAT_EQ(object.scale.y, 1.0f);
    EXPECT_FLOAT_EQ(object.scale.z, 1.0f);
    EXPECT_EQ(object.useOverride, 0);
    EXPECT_EQ(object.materialCount, 0u);
}

}  // namespace
}  // namespace velor::demo
