// LightEnable on a light that SetLight never filled turns on Direct3D 9's default light: directional
// along +z, diffuse (1, 1, 1, 0), no specular or ambient.
#include "engine/gfx/device_controls.h"
#include "tests/gfx/render_fixture.h"

namespace velor {
namespace {

using test::RenderTest;

class DefaultLight : public RenderTest {};

TEST_F(DefaultLight, EnablingANeverSetLightGivesD3D9sDefaultLight) {
    ASSERT_EQ(device_->LightEnable(3, true), Result::Ok);
    Light light;
    ASSERT_EQ(device_->GetLight(3, &light), Result::Ok);
    EXPECT_EQ(light.type, LightType::Directional);
    EXPECT_EQ(light.diffuse.r, 1.0f);
    EXPECT_EQ(light.diffuse.g, 1.0f);
    EXPECT_EQ(light.diffuse.b, 1.0f);
    EXPECT_EQ(light.diffuse.a, 0.0f);
    EXPECT_EQ(light.specular.r + light.specular.g + light.specular.b + light.specular.a, 0.0f);
    EXPECT_EQ(light.ambient.r + light.ambient.g + light.ambient.b + light.ambient.a, 0.0f);
    EXPECT_EQ(light.direction.x, 0.0f);
    EXPECT_EQ(light.direction.y, 0.0f);
    EXPECT_EQ(light.direction.z, 1.0f);
}

TEST_F(DefaultLight, ItLightsAFaceTurnedTowardsIt) {
    // A triangle facing the camera (-z) is lit head-on by the default light shining along +z: the
    // material's diffuse colour, with no ambient term.
    const test::LitVertex tri[3] = {{-0.5f, -0.5f, 0.5f, 0, 0, -1}, {0, 0.5f, 0.5f, 0, 0, -1}, {0.5f, -0.5f, 0.5f, 0, 0, -1}};
    Material material;
    material.diffuse = {0.5f, 0.25f, 0.75f, 1.0f};
    device_->SetMaterial(&material);
    device_->SetRenderState(RenderState::Ambient, 0);
    device_->SetRenderState(RenderState::Lighting, 1);
    ASSERT_EQ(device_->LightEnable(0, true), Result::Ok);
    device_->SetFVF(Fvf::XYZ | Fvf::Normal);
    ASSERT_EQ(device_->DrawPrimitiveUP(PrimitiveType::TriangleList, 1, tri, sizeof(test::LitVertex)), Result::Ok);
    const auto pixels = ReadBackBuffer(*device_);
    const uint32_t expected = ColorArgb(255, 128, 64, 191);
    EXPECT_LE(test::ColorDistance(test::PixelAt(pixels, 512, 400), expected), 2)
        << std::hex << test::PixelAt(pixels, 512, 400) << " vs " << expected;
}

TEST_F(DefaultLight, ASetLightIsKeptWhenEnabled) {
    Light dim;
    dim.type = LightType::Directional;
    dim.diffuse = {0.25f, 0.25f, 0.25f, 1.0f};
    dim.direction = {0, 0, 1};
    ASSERT_EQ(device_->SetLight(1, &dim), Result::Ok);
    ASSERT_EQ(device_->LightEnable(1, true), Result::Ok);
    Light light;
    ASSERT_EQ(device_->GetLight(1, &light), Result::Ok);
    EXPECT_EQ(light.diffuse.r, 0.25f);
    EXPECT_EQ(light.diffuse.a, 1.0f);
}

}  // namespace
}  // namespace velor
