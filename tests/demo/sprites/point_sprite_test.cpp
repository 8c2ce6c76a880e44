// DrawPointSprite on a real device: the world it composes (translate, then rotate and scale about
// the origin), the states it leaves, and where its points land on screen.
#include <algorithm>
#include <cmath>

#include "engine/gfx/device_controls.h"
#include "demo/content/demo_resources.h"
#include "demo/scene/scene_object.h"
#include "demo/shadows/reflective_object.h"
#include "demo/sprites/point_seeking.h"
#include "demo/shadows/shadow_volume_scene.h"
#include "demo/windows/shadow_reflection_window.h"
#include "tests/demo/sprites/demo_device_fixture.h"

namespace velor::demo {
namespace {

constexpr float kPi = 3.14159265f;

using PointSpriteDraw = test::DemoDeviceTest;

TEST_F(PointSpriteDraw, ZeroXAndYScaleIsDrawnAndStoredAsOneButZeroZStays) {
    test::TestSprite s;
    s.sprite.scale = {0, 0, 5};
    DrawPointSprite(s.sprite, 1.0f);
    EXPECT_EQ(s.sprite.scale.x, 1.0f);
    EXPECT_EQ(s.sprite.scale.y, 1.0f);
    EXPECT_EQ(s.sprite.scale.z, 5.0f);
    Matrix world;
    device_->GetTransform(TransformState::World, &world);
    EXPECT_EQ(world.m[0][0], 1.0f);
    EXPECT_EQ(world.m[1][1], 1.0f);
    EXPECT_EQ(world.m[2][2], 5.0f);

    s.sprite.scale = {2, 3, 0};
    DrawPointSprite(s.sprite, 1.0f);
    EXPECT_EQ(s.sprite.scale.z, 0.0f);
    device_->GetTransform(TransformState::World, &world);
    EXPECT_EQ(world.m[2][2], 0.0f) << "a zero z collapses the point onto z = 0";
}

TEST_F(PointSpriteDraw, WorldTranslatesFirstThenRotatesAndScalesAboutTheOrigin) {
    test::TestSprite s;
    s.sprite.position = {1, 2, 3};
    s.sprite.rotation = {0.3f, -0.7f, 1.1f};
    s.sprite.scale = {2, 2, 2};
    DrawPointSprite(s.sprite, 1.0f);
    Matrix world;
    device_->GetTransform(TransformState::World, &world);
    // The local origin goes to position · R · S.
    Matrix rx, ry, rz, r;
    MatrixRotationX(&rx, 0.3f);
    MatrixRotationY(&ry, -0.7f);
    MatrixRotationZ(&rz, 1.1f);
    MatrixMultiply(&r, &rx, &ry);
    MatrixMultiply(&r, &r, &rz);
    Vector3 expected;
    Vec3TransformCoord(&expected, &s.sprite.position, &r);
    EXPECT_NEAR(world.m[3][0], 2 * expected.x, 1e-5);
    EXPECT_NEAR(world.m[3][1], 2 * expected.y, 1e-5);
    EXPECT_NEAR(world.m[3][2], 2 * expected.z, 1e-5);
    // And the whole matrix is the record's T · R · S.
    Matrix trs;
    MatrixMultiply(&trs, &s.sprite.translationMatrix, &s.sprite.rotationMatrix);
    MatrixMultiply(&trs, &trs, &s.sprite.scalingMatrix);
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) EXPECT_EQ(world.m[i][j], trs.m[i][j]) << i << "," << j;
}

TEST_F(PointSpriteDraw, LeavesSpritesAndAdditiveFactorsOnButBlendingOffAndDepthWritesOn) {
    test::TestSprite s;
    device_->SetRenderState(RenderState::ZWriteEnable, 0);
    device_->SetRenderState(RenderState::AlphaBlendEnable, 1);
    DrawPointSprite(s.sprite, 2.5f);
    struct Expect {
        RenderState state;
        uint32_t value;
    };
    const Expect expected[] = {
        {RenderState::PointSpriteEnable, 1},
        {RenderState::PointScaleEnable, 1},
        {RenderState::PointSize, FloatToBits(2.5f)},
        {RenderState::PointSizeMin, FloatToBits(1.0f)},
        {RenderState::PointScaleA, FloatToBits(1.0f)},
        {RenderState::PointScaleB, FloatToBits(1.0f)},
        {RenderState::PointScaleC, FloatToBits(1.0f)},
        {RenderState::ZWriteEnable, 1},
        {RenderState::AlphaBlendEnable, 0},
        {RenderState::SrcBlend, uint32_t(Blend::SrcAlpha)},
        {RenderState::DestBlend, uint32_t(Blend::One)},
    };
    for (const Expect& e : expected) {
        uint32_t value = 0;
        device_->GetRenderState(e.state, &value);
        EXPECT_EQ(value, e.value) << "render state " << uint32_t(e.state);
    }
}

TEST_F(PointSpriteDraw, FlareSpritesTextureTheCubeAndSphereSpritesMadeEarlier) {
    PointSprite cubeA, cubeB, sphere;
    gSprites.cubeA = &cubeA;
    gSprites.cubeB = &cubeB;
    gSprites.sphere = &sphere;
    SetUpFlareSprites();
    for (PointSprite* sprite : {gSprites.followerA, gSprites.followerB, &cubeA, &cubeB, &sphere}) {
        ASSERT_NE(sprite, nullptr);
        EXPECT_NE(sprite->texture, nullptr);
        EXPECT_NE(sprite->vertexBuffer, nullptr);
    }
    EXPECT_NE(gSprites.followerA, gSprites.followerB);
    gSprites.cubeA = gSprites.cubeB = gSprites.sphere = nullptr;
}

TEST_F(PointSpriteDraw, PointAtOneZeroZeroTurnedQuarterAboutYLandsAtMinusZOnScreen) {
    ASSERT_NE(gSprites.effect, nullptr) << "PointAlpha.fx did not build";
    // Seen from above: screen right is +x, screen up is +z.
    LookAtOrigin({0, 6, 0}, {0, 0, 1});
    test::TestSprite s;
    s.sprite.position = {1, 0, 0};
    s.sprite.rotation = {0, kPi / 2, 0};
    DrawPointSprite(s.sprite, 0.5f);
    auto pixels = ReadBackBuffer(*device_);
    test::DemoDeviceTest::WriteFrame(pixels, "velor_point_sprite_turned.png");

    int landX, landY, startX, startY, originX, originY;
    ToScreen({0, 0, -1}, &landX, &landY);
    ToScreen({1, 0, 0}, &startX, &startY);
    ToScreen({0, 0, 0}, &originX, &originY);
    EXPECT_GT(landY, originY + 100) << "(0, 0, -1) is below the centre";
    EXPECT_GT(BrightestNear(pixels, landX, landY, 3), 200) << "the sprite is at (0, 0, -1)";
    EXPECT_LT(BrightestNear(pixels, startX, startY, 3), 8) << "not at its unturned position";
    EXPECT_LT(BrightestNear(pixels, originX, originY, 3), 8) << "not at the origin";
}

TEST_F(PointSpriteDraw, TwoDrawsOfOneSpriteGiveTwoPointsTintedByItsDiffuse) {
    ASSERT_NE(gSprites.effect, nullptr);
    LookAtOrigin({0, 0, -6});
    test::TestSprite s;
    s.sprite.diffuse = {1, 0, 0, 1};
    s.sprite.position = {-1.5f, 0, 0};
    DrawPointSprite(s.sprite, 0.4f);
    s.sprite.position = {1.5f, 0, 0};
    DrawPointSprite(s.sprite, 0.4f);
    auto pixels = ReadBackBuffer(*device_);
    for (float x : {-1.5f, 1.5f}) {
        int px, py;
        ToScreen({x, 0, 0}, &px, &py);
        uint32_t c = velor::test::PixelAt(pixels, px, py);
        EXPECT_GT(int((c >> 16) & 0xFF), 200) << "red at x " << x << std::hex << " " << c;
        EXPECT_LT(int((c >> 8) & 0xFF), 8) << "and only red";
        EXPECT_LT(int(c & 0xFF), 8);
    }
    EXPECT_LT(BrightestNear(pixels, 512, 384, 3), 8) << "nothing between them";
}

TEST_F(PointSpriteDraw, OverlappingSpritesAddUp) {
    ASSERT_NE(gSprites.effect, nullptr);
    LookAtOrigin({0, 0, -6});
    test::TestSprite s;
    s.sprite.diffuse = {0.2f, 0.2f, 0.2f, 1};
    DrawPointSprite(s.sprite, 0.4f);
    int once = Brightest(velor::test::PixelAt(ReadBackBuffer(*device_), 512, 384));
    DrawPointSprite(s.sprite, 0.4f);
    DrawPointSprite(s.sprite, 0.4f);
    int thrice = Brightest(velor::test::PixelAt(ReadBackBuffer(*device_), 512, 384));
    EXPECT_GT(once, 20);
    EXPECT_NEAR(thrice, 3 * once, 4);
}

TEST_F(PointSpriteDraw, SizeZeroStillDrawsAtLeastOnePixel) {
    ASSERT_NE(gSprites.effect, nullptr);
    LookAtOrigin({0, 0, -6});
    test::TestSprite s;
    DrawPointSprite(s.sprite, 0.0f);
    // One pixel samples the texture's smallest level, the flare's average: dim, but not black.
    EXPECT_GT(BrightestNear(ReadBackBuffer(*device_), 512, 384, 1), 4);
}

TEST_F(PointSpriteDraw, LightSpritesSetUpWindowTwo) {
    SceneObject& scroll = Object(kScrollSlot);
    scroll.materialCount = 2;
    scroll.textures = {std::make_shared<Texture>(1, 1, 1, 0, Format::A8R8G8B8, Pool::Managed), nullptr};
    SetUpShadowReflectionWindow();
    for (PointSprite* sprite : {gSprites.glowA, gSprites.glowB, gSprites.sparkA, gSprites.sparkB}) {
        ASSERT_NE(sprite, nullptr);
        EXPECT_NE(sprite->vertexBuffer, nullptr);
        EXPECT_NE(sprite->texture, nullptr);
        EXPECT_EQ(sprite->vertexBuffer->GetLength(), 16u);
        EXPECT_EQ(sprite->vertexBuffer->GetUsage(), 0x248u);
    }
    EXPECT_NE(gSprites.sparkA->texture, gSprites.sparkB->texture) << "each sprite owns its texture";
    const uint8_t* vertex = gSprites.glowA->vertexBuffer->Data();
    EXPECT_EQ(std::count(vertex, vertex + 16, 0), 16) << "the one vertex is all zero: position and colour";
    EXPECT_EQ(gSprites.glowA->vertexBuffer->GetFvf(), Fvf::XYZ | Fvf::Diffuse);

    EXPECT_NE(gReflection.effect, nullptr) << "Alpha.fx";
    EXPECT_NE(gReflection.environmentCube, nullptr);
    EXPECT_EQ(gReflection.light.diffuse[0], 4.0f);
    EXPECT_NEAR(gReflection.light.dirW[1], -0.4472136f, 1e-7);
    EXPECT_NEAR(gReflection.light.dirW[2], 0.8944272f, 1e-7);
    EXPECT_NE(gResources.offsetEffect, nullptr) << "resource 103";
    EXPECT_EQ(scroll.useOverride, 1);
    EXPECT_EQ(scroll.overrideStage, 0u);
    EXPECT_NE(scroll.overrideTexture, nullptr);
    EXPECT_EQ(scroll.textures[0], nullptr) << "its own textures are dropped";
    EXPECT_EQ(gShadow.highestLightIndex, 2);
    EXPECT_FLOAT_EQ(gShadow.lightColours[2].x, 0.8f);
    EXPECT_FLOAT_EQ(gShadow.lightColours[1].z, 1.0f);
    EXPECT_FLOAT_EQ(gSeeking.waypoints[0].x, 15);
    EXPECT_FLOAT_EQ(gSeeking.waypoints[0].y, -22);
    EXPECT_FLOAT_EQ(gSeeking.waypoints[2].x, 18);
    EXPECT_FLOAT_EQ(gSeeking.waypoints[2].y, 10);
    uint32_t mip = 0;
    device_->GetSamplerState(0, SamplerState::MipFilter, &mip);
    EXPECT_EQ(mip, uint32_t(TextureFilter::Linear));
}

}  // namespace
}  // namespace velor::demo
