// The engine's example scene, drawn headless and written to engine_scene.png in the test's working
// folder: a lit sphere, a ring of glowing point sprites, an image sprite and a line of text. It
// doubles as a smoke test of the layers together; the checks look where each part must show.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/gfx/device_controls.h"
#include "engine/image/image_writer.h"
#include "engine/math/d3dx_math.h"
#include "engine/mesh/mesh_shapes.h"
#include "engine/ui/font.h"
#include "engine/ui/sprite.h"
#include "tests/support/gl_test_device.h"

namespace velor {
namespace {

constexpr float kPi = 3.14159265f;

// A soft round glow, white with alpha falling smoothly to zero at the edge.
std::shared_ptr<Texture> MakeGlow(Device* device) {
    std::shared_ptr<Texture> texture;
    device->CreateTexture(64, 64, 1, 0, Format::A8R8G8B8, Pool::Managed, &texture);
    LockedRect locked;
    texture->LockRect(0, &locked, nullptr, 0);
    auto* texels = static_cast<uint32_t*>(locked.bits);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            float dx = (x + 0.5f) / 32 - 1, dy = (y + 0.5f) / 32 - 1;
            float r = std::fmin(1.0f, std::sqrt(dx * dx + dy * dy));
            float a = (1 - r) * (1 - r);
            texels[y * 64 + x] = ColorArgb(uint32_t(a * 255), 255, 255, 255);
        }
    texture->UnlockRect(0);
    return texture;
}

// A diagonal gradient card for the sprite.
std::shared_ptr<Texture> MakeCard(Device* device) {
    std::shared_ptr<Texture> texture;
    device->CreateTexture(128, 64, 1, 0, Format::A8R8G8B8, Pool::Managed, &texture);
    LockedRect locked;
    texture->LockRect(0, &locked, nullptr, 0);
    auto* texels = static_cast<uint32_t*>(locked.bits);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 128; ++x) texels[y * 128 + x] = ColorArgb(255, 40 + x, 80, 120 + y * 2);
    texture->UnlockRect(0);
    return texture;
}

struct SpriteVertex {
    float x, y, z;
    uint32_t color;
};

TEST(EngineScene, LitMeshSpritesTextAndPointSpritesRender) {
    std::string error;
    test::TestDevice test = test::CreateTestDevice(&error);
    ASSERT_NE(test.device, nullptr) << error;
    Device* device = test.device.get();

    std::shared_ptr<Mesh> sphere;
    ASSERT_EQ(CreateSphere(device, 1.0f, 40, 32, &sphere), Result::Ok);
    std::shared_ptr<Font> font;
    ASSERT_EQ(CreateFont(device, 32, 0, 700, 1, false, 0, 0, 0, 0, "", &font), Result::Ok);
    std::shared_ptr<Sprite> sprite;
    ASSERT_EQ(CreateSprite(device, &sprite), Result::Ok);
    auto glow = MakeGlow(device);
    auto card = MakeCard(device);

    device->Clear(0, nullptr, Clear::Target | Clear::ZBuffer, 0xFF101018u, 1.0f, 0);
    device->BeginScene();

    Matrix view, projection, world;
    Vector3 eye{0, 0.5f, -4}, at{0, 0, 0}, up{0, 1, 0};
    MatrixLookAtLH(&view, &eye, &at, &up);
    MatrixPerspectiveFovLH(&projection, kPi / 4, 4.0f / 3.0f, 0.1f, 100.0f);
    MatrixIdentity(&world);
    device->SetTransform(TransformState::View, &view);
    device->SetTransform(TransformState::Projection, &projection);
    device->SetTransform(TransformState::World, &world);

    // The sphere under a warm key light and a cool rim light.
    Material material;
    material.diffuse = {1, 1, 1, 1};
    material.ambient = {0.1f, 0.1f, 0.15f, 1};
    device->SetMaterial(&material);
    Light key;
    key.type = LightType::Directional;
    key.diffuse = {1.0f, 0.6f, 0.3f, 1};
    key.direction = {1, -1, 1};
    Light rim;
    rim.type = LightType::Directional;
    rim.diffuse = {0.2f, 0.4f, 1.0f, 1};
    rim.direction = {-1, 0.3f, 0.2f};
    device->SetLight(0, &key);
    device->SetLight(1, &rim);
    device->LightEnable(0, true);
    device->LightEnable(1, true);
    device->SetRenderState(RenderState::Ambient, 0xFF404040u);
    ASSERT_EQ(sphere->DrawSubset(0), Result::Ok);

    // A ring of glowing point sprites, added on top.
    device->SetRenderState(RenderState::Lighting, 0);
    device->SetRenderState(RenderState::ZWriteEnable, 0);
    device->SetRenderState(RenderState::AlphaBlendEnable, 1);
    device->SetRenderState(RenderState::SrcBlend, uint32_t(Blend::SrcAlpha));
    device->SetRenderState(RenderState::DestBlend, uint32_t(Blend::One));
    device->SetRenderState(RenderState::PointSpriteEnable, 1);
    device->SetRenderState(RenderState::PointScaleEnable, 1);
    device->SetRenderState(RenderState::PointSize, FloatToBits(0.25f));
    device->SetRenderState(RenderState::PointScaleA, FloatToBits(0));
    device->SetRenderState(RenderState::PointScaleB, FloatToBits(0));
    device->SetRenderState(RenderState::PointScaleC, FloatToBits(1));
    SpriteVertex ring[24];
    for (int i = 0; i < 24; ++i) {
        float a = 2 * kPi * i / 24;
        uint32_t hue = i % 3 == 0 ? 0xFFFF8040u : i % 3 == 1 ? 0xFF40C0FFu : 0xFFFFFF80u;
        ring[i] = {1.7f * std::cos(a), 1.7f * std::sin(a) * 0.6f, 1.7f * std::sin(a), hue};
    }
    device->SetTexture(0, glow);
    device->SetFVF(Fvf::XYZ | Fvf::Diffuse);
    device->DrawPrimitiveUP(PrimitiveType::PointList, 24, ring, sizeof(SpriteVertex));
    device->SetTexture(0, nullptr);
    device->SetRenderState(RenderState::PointSpriteEnable, 0);
    device->SetRenderState(RenderState::AlphaBlendEnable, 0);

    // An image card in the corner and a title.
    sprite->Begin(0x10);
    Vector3 position{24, 680, 0};
    sprite->Draw(card, nullptr, nullptr, &position, 0xFFFFFFFFu);
    sprite->End();
    Rect titleRect{24, 24, 1000, 80};
    font->DrawText(nullptr, "Velor engine", -1, &titleRect, 0, 0xFFFFFFFFu);

    device->EndScene();
    auto pixels = ReadBackBuffer(*device);
    Image image(kBackBufferWidth, kBackBufferHeight);
    image.pixels = pixels;
    ASSERT_TRUE(WritePng("engine_scene.png", image).ok());

    auto red = [](uint32_t c) { return int((c >> 16) & 0xFF); };
    auto blue = [](uint32_t c) { return int(c & 0xFF); };
    // The sphere: warm where the key light falls (upper left, facing it), cool on the rim side.
    uint32_t keySide = test::PixelAt(pixels, 450, 330), rimSide = test::PixelAt(pixels, 600, 400);
    EXPECT_GT(red(keySide), 150) << std::hex << keySide;
    EXPECT_GT(red(keySide), blue(keySide));
    EXPECT_GT(blue(rimSide), red(rimSide)) << std::hex << rimSide;
    // A sprite of the ring, on the background to the right of the sphere.
    int brightest = 0;
    for (int x = 700; x < 900; ++x) brightest = std::max(brightest, red(test::PixelAt(pixels, x, 384)));
    EXPECT_GT(brightest, 150) << "ring glow right of the sphere";
    // The card and the title.
    EXPECT_EQ(test::PixelAt(pixels, 24 + 10, 680 + 10), ColorArgb(255, 50, 80, 140));
    int white = 0;
    for (int y = 24; y < 64; ++y)
        for (int x = 24; x < 300; ++x) white += test::PixelAt(pixels, x, y) == 0xFFFFFFFFu;
    EXPECT_GT(white, 200) << "title glyphs";
}

}  // namespace
}  // namespace velor
