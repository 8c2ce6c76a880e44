// The reflective object through "Alpha.fx": what reaches the effect's structures and matrices, and
// that the sphere shows the environment where it stands.
#include <cstring>

#include "demo/scene/scene_object.h"
#include "demo/shadows/reflective_object.h"
#include "engine/gfx/device_controls.h"
#include "engine/gfx/texture_files.h"
#include "engine/mesh/mesh_shapes.h"
#include "tests/demo/sprites/demo_device_fixture.h"

namespace velor::demo {
namespace {

class ReflectiveObject : public test::DemoDeviceTest {
protected:
    void SetUp() override {
        test::DemoDeviceTest::SetUp();
        std::string errors;
        ASSERT_EQ(CreateEffectFromFile(device_, "Alpha.fx", &gReflection.effect, &errors), Result::Ok) << errors;
        ASSERT_EQ(CreateCubeTextureFromFile(device_, "textures/Texture1.dds", &gReflection.environmentCube),
                  Result::Ok);
        gReflection.light = {{1, 1, 1, 1}, {4, 1, 1, 1}, {0, 0, 0, 0}, {0, -0.4472136f, 0.8944272f}};
        SceneObject& object = Object(kReflectiveSlot);
        ASSERT_EQ(CreateSphere(device_, 1.2f, 48, 32, &object.mesh), Result::Ok);
        Material chrome;
        chrome.diffuse = chrome.ambient = {0.9f, 0.92f, 0.96f, 1};
        chrome.specular = {1, 1, 1, 1};
        chrome.emissive = {0.25f, 0.5f, 0.75f, 1};
        chrome.power = 48;
        object.materials = {chrome};
        object.textures = {nullptr};
        object.materialCount = 1;
        object.noTextures = 1;
        ComposeWorld(object);
        LookAtOrigin({0, 1, -5});
    }
    void TearDown() override {
        gReflection = ReflectionState{};
        Object(kReflectiveSlot) = SceneObject{};
        test::DemoDeviceTest::TearDown();
    }
};

TEST_F(ReflectiveObject, LightMaterialEyeAndMatricesReachTheEffect) {
    DrawReflectiveObject();
    Effect& effect = *gReflection.effect;
    ReflectionLight light{};
    ASSERT_EQ(effect.GetValue("gLight", &light, sizeof light), Result::Ok);
    EXPECT_EQ(std::memcmp(&light, &gReflection.light, sizeof light), 0);
    // The material arrives whole, in its own layout, the power last.
    Material material{};
    ASSERT_EQ(effect.GetValue("gMtrl", &material, sizeof material), Result::Ok);
    EXPECT_EQ(material.ambient.b, 0.96f);
    EXPECT_EQ(material.diffuse.g, 0.92f);
    EXPECT_EQ(material.specular.r, 1.0f);
    EXPECT_EQ(material.power, 48.0f);
    float eye[3] = {};
    effect.GetValue("gEyePosW", eye, sizeof eye);
    EXPECT_EQ(eye[1], 1.0f);
    EXPECT_EQ(eye[2], -5.0f);
    float dif = 0;
    effect.GetFloat("dif", &dif);
    EXPECT_EQ(dif, 3.0f);
    // Not the world's inverse transpose: view · projection.
    Matrix viewProjection, got;
    MatrixMultiply(&viewProjection, &gCamera.view, &gCamera.projection);
    effect.GetMatrix("gWorldInvTrans", &got);
    EXPECT_EQ(std::memcmp(&got, &viewProjection, sizeof got), 0);
}

TEST_F(ReflectiveObject, SphereShowsTheEnvironmentAddedOverBlackAndNothingAround) {
    device_->SetRenderState(RenderState::ZWriteEnable, 0);
    device_->SetRenderState(RenderState::AlphaBlendEnable, 1);
    device_->SetRenderState(RenderState::SrcBlend, uint32_t(Blend::SrcAlpha));
    device_->SetRenderState(RenderState::DestBlend, uint32_t(Blend::One));
    DrawReflectiveObject();
    device_->SetRenderState(RenderState::AlphaBlendEnable, 0);
    device_->SetRenderState(RenderState::ZWriteEnable, 1);
    auto pixels = ReadBackBuffer(*device_);
    WriteFrame(pixels, "velor_reflective_object.png");
    int lit = 0;
    for (int y = 334; y < 434; y += 4)
        for (int x = 462; x < 562; x += 4) lit += Brightest(velor::test::PixelAt(pixels, x, y)) > 20;
    EXPECT_GT(lit, 400) << "most of the sphere's middle shows";
    EXPECT_LT(BrightestNear(pixels, 100, 100, 20), 2) << "nothing outside it";
    EXPECT_LT(BrightestNear(pixels, 900, 600, 20), 2);
}

TEST_F(ReflectiveObject, NoMaterialsDrawsNothing) {
    Object(kReflectiveSlot).materialCount = 0;
    DrawReflectiveObject();
    EXPECT_LT(BrightestNear(ReadBackBuffer(*device_), 512, 384, 100), 1);
}

}  // namespace
}  // namespace velor::demo
