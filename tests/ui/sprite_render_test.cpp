// Sprites on a headless device: where the quad lands, its colour, and the device state after End.
#include <gtest/gtest.h>

#include <cstring>

#include "engine/math/d3dx_math.h"
#include "engine/ui/sprite.h"
#include "tests/ui/ui_render_fixture.h"

namespace velor {
namespace {

using test::LitBounds;
using test::PixelAt;

class SpriteRender : public test::UiRender {
protected:
    void SetUp() override {
        UiRender::SetUp();
        if (device_ != nullptr) {
            ASSERT_EQ(CreateSprite(device_, &sprite_), Result::Ok);
        }
    }
    std::shared_ptr<Sprite> sprite_;
};

uint32_t Rgb(uint32_t pixel) { return pixel & 0xFFFFFFu; }

// White inside texels (16,16)-(48,48), red around it. The source rectangle picks the white square; it
// is scaled (3, 2) about its centre (16, 16) and moved to (200, 300): D3DX puts it at x 168..264 and
// y 284..348.
TEST_F(SpriteRender, SourceRectangleScaledAboutItsCentreLandsWhereD3DXPutsIt) {
    auto texture = MakeTexture(64, 64, 0xFFFF0000u, 0xFFFFFFFFu, Rect{16, 16, 48, 48});
    Vector2 centre{16, 16}, scale{3, 2}, move{200, 300};
    Matrix m;
    MatrixTransformation2D(&m, &centre, 0.0f, &scale, &centre, 0.0f, &move);
    Rect source{16, 16, 48, 48};
    ASSERT_EQ(sprite_->Begin(SpriteFlags::AlphaBlend), Result::Ok);
    ASSERT_EQ(sprite_->SetTransform(&m), Result::Ok);
    ASSERT_EQ(sprite_->Draw(texture, &source, nullptr, nullptr, 0xFFFFFFFFu), Result::Ok);
    ASSERT_EQ(sprite_->End(), Result::Ok);

    auto pixels = Frame();
    Rect lit = LitBounds(pixels);
    EXPECT_EQ(lit.left, 168);
    EXPECT_EQ(lit.top, 284);
    EXPECT_EQ(lit.right, 264);
    EXPECT_EQ(lit.bottom, 348);
    // Away from the edges (where filtering reaches the neighbouring texels) only the white square shows.
    for (int y = 287; y < 345; y += 3)
        for (int x = 171; x < 261; x += 3) ASSERT_EQ(Rgb(PixelAt(pixels, x, y)), 0xFFFFFFu) << x << "," << y;
}

TEST_F(SpriteRender, ColourTintsAndItsAlphaBlends) {
    auto texture = MakeTexture(16, 16, 0xFFFFFFFFu);
    device_->Clear(0, nullptr, Clear::Target, 0xFF0000FFu, 1.0f, 0);
    Vector3 position{100, 100, 0};
    sprite_->Begin(SpriteFlags::AlphaBlend);
    sprite_->Draw(texture, nullptr, nullptr, &position, 0x80FF8040u);
    sprite_->End();
    auto pixels = Frame();
    // (255, 128, 64) at alpha 128/255 over blue (0, 0, 255): (128, 64, 32 + 127).
    EXPECT_LE(test::ColorDistance(PixelAt(pixels, 108, 108) | 0xFF000000u, ColorArgb(255, 128, 64, 159)), 2)
        << std::hex << PixelAt(pixels, 108, 108);
    EXPECT_EQ(Rgb(PixelAt(pixels, 99, 108)), 0x0000FFu);
    EXPECT_EQ(Rgb(PixelAt(pixels, 116, 108)), 0x0000FFu);
}

TEST_F(SpriteRender, ZeroAlphaDrawsNothing) {
    auto texture = MakeTexture(16, 16, 0xFFFFFFFFu);
    sprite_->Begin(SpriteFlags::AlphaBlend);
    sprite_->Draw(texture, nullptr, nullptr, nullptr, 0x00FFFFFFu);
    sprite_->End();
    EXPECT_EQ(test::CountLit(Frame()), 0);
}

// Positions are render-target pixels; the letterbox viewport cuts what lies outside it.
TEST_F(SpriteRender, PositionsAreTargetPixelsCutByTheViewport) {
    Viewport letterbox{0, 100, 1024, 568, 0, 1};
    device_->SetViewport(&letterbox);
    auto texture = MakeTexture(64, 64, 0xFFFFFFFFu);
    Vector3 above{10, 50, 0}, inside{300, 200, 0};
    sprite_->Begin(SpriteFlags::AlphaBlend);
    sprite_->Draw(texture, nullptr, nullptr, &above, 0xFFFFFFFFu);
    sprite_->Draw(texture, nullptr, nullptr, &inside, 0xFFFFFFFFu);
    sprite_->End();
    auto pixels = Frame();
    Rect first = LitBounds(pixels, 0, Rect{0, 0, 200, 768});
    EXPECT_EQ(first.left, 10);
    EXPECT_EQ(first.top, 100);
    EXPECT_EQ(first.right, 74);
    EXPECT_EQ(first.bottom, 114);
    Rect second = LitBounds(pixels, 0, Rect{200, 0, 1024, 768});
    EXPECT_EQ(second.left, 300);
    EXPECT_EQ(second.top, 200);
    EXPECT_EQ(second.right, 364);
    EXPECT_EQ(second.bottom, 264);
}

// The 1 × 1 fade texture stretched over the whole screen by a (0, 0, 1024, 768) rectangle.
TEST_F(SpriteRender, OneTexelTextureCoversTheWholeRectangle) {
    auto texture = MakeTexture(1, 1, 0xFF808080u);
    Rect source{0, 0, 1024, 768};
    sprite_->Begin(SpriteFlags::AlphaBlend);
    sprite_->Draw(texture, &source, nullptr, nullptr, 0xFFFFFFFFu);
    sprite_->End();
    auto pixels = Frame();
    for (auto [x, y] : {std::pair{0, 0}, {1023, 767}, {512, 384}}) EXPECT_EQ(Rgb(PixelAt(pixels, x, y)), 0x808080u);
}

TEST_F(SpriteRender, LaterDrawsCoverEarlierOnesAcrossTextureChanges) {
    auto red = MakeTexture(32, 32, 0xFFFF0000u);
    auto green = MakeTexture(32, 32, 0xFF00FF00u);
    Vector3 a{100, 100, 0}, b{116, 100, 0}, c{132, 100, 0};
    sprite_->Begin(SpriteFlags::AlphaBlend);
    sprite_->Draw(red, nullptr, nullptr, &a, 0xFFFFFFFFu);
    sprite_->Draw(green, nullptr, nullptr, &b, 0xFFFFFFFFu);
    sprite_->Draw(red, nullptr, nullptr, &c, 0xFFFFFFFFu);
    sprite_->End();
    auto pixels = Frame();
    EXPECT_EQ(Rgb(PixelAt(pixels, 110, 110)), 0xFF0000u);
    EXPECT_EQ(Rgb(PixelAt(pixels, 125, 110)), 0x00FF00u);
    EXPECT_EQ(Rgb(PixelAt(pixels, 140, 110)), 0xFF0000u);
}

TEST_F(SpriteRender, FlushDrawsWhatIsQueuedBeforeEnd) {
    auto texture = MakeTexture(8, 8, 0xFFFFFFFFu);
    sprite_->Begin(SpriteFlags::AlphaBlend);
    sprite_->Draw(texture, nullptr, nullptr, nullptr, 0xFFFFFFFFu);
    EXPECT_EQ(test::CountLit(Frame()), 0) << "queued, not yet drawn";
    ASSERT_EQ(sprite_->Flush(), Result::Ok);
    EXPECT_EQ(test::CountLit(Frame()), 64);
    sprite_->End();
}

TEST_F(SpriteRender, CallsOutOfOrderAreInvalid) {
    auto texture = MakeTexture(8, 8, 0xFFFFFFFFu);
    EXPECT_EQ(sprite_->Draw(texture, nullptr, nullptr, nullptr, 0xFFFFFFFFu), Result::InvalidCall);
    EXPECT_EQ(sprite_->End(), Result::InvalidCall);
    EXPECT_EQ(sprite_->Flush(), Result::InvalidCall);
    ASSERT_EQ(sprite_->Begin(0), Result::Ok);
    EXPECT_EQ(sprite_->Begin(0), Result::InvalidCall);
    EXPECT_EQ(sprite_->Draw(nullptr, nullptr, nullptr, nullptr, 0xFFFFFFFFu), Result::InvalidCall);
    EXPECT_EQ(sprite_->SetTransform(nullptr), Result::InvalidCall);
    EXPECT_EQ(sprite_->End(), Result::Ok);
    std::shared_ptr<Sprite> none;
    EXPECT_EQ(CreateSprite(nullptr, &none), Result::InvalidCall);
    EXPECT_EQ(none, nullptr);
}

// ---- state save and restore ----------------------------------------------------------------------

struct DeviceSnapshot {
    std::vector<uint32_t> render, stage, sampler;
    Matrix world, view, projection;
    std::shared_ptr<BaseTexture> texture0;
    uint32_t fvf = 0;
    std::shared_ptr<VertexDeclaration> declaration;
    std::shared_ptr<VertexBuffer> stream0;
    uint32_t stride = 0;
};

DeviceSnapshot Snapshot(Device& device) {
    DeviceSnapshot s;
    for (uint32_t state = 0; state < kRenderStateCount; ++state) {
        uint32_t v = 0;
        device.GetRenderState(RenderState(state), &v);
        s.render.push_back(v);
    }
    for (uint32_t stage = 0; stage < 2; ++stage)
        for (uint32_t state = 0; state < kTextureStageStateCount; ++state) {
            uint32_t v = 0;
            device.GetTextureStageState(stage, TextureStageState(state), &v);
            s.stage.push_back(v);
        }
    for (uint32_t state = 0; state < kSamplerStateCount; ++state) {
        uint32_t v = 0;
        device.GetSamplerState(0, SamplerState(state), &v);
        s.sampler.push_back(v);
    }
    device.GetTransform(TransformState::World, &s.world);
    device.GetTransform(TransformState::View, &s.view);
    device.GetTransform(TransformState::Projection, &s.projection);
    device.GetTexture(0, &s.texture0);
    device.GetFVF(&s.fvf);
    uint32_t offset = 0;
    device.GetVertexDeclaration(&s.declaration);
    device.GetStreamSource(0, &s.stream0, &offset, &s.stride);
    return s;
}

void ExpectSame(const DeviceSnapshot& a, const DeviceSnapshot& b) {
    for (size_t i = 0; i < a.render.size(); ++i) EXPECT_EQ(a.render[i], b.render[i]) << "render state " << i;
    for (size_t i = 0; i < a.stage.size(); ++i)
        EXPECT_EQ(a.stage[i], b.stage[i]) << "stage " << i / kTextureStageStateCount << " state " << i % kTextureStageStateCount;
    for (size_t i = 0; i < a.sampler.size(); ++i) EXPECT_EQ(a.sampler[i], b.sampler[i]) << "sampler state " << i;
    EXPECT_EQ(0, memcmp(&a.world, &b.world, sizeof(Matrix)));
    EXPECT_EQ(0, memcmp(&a.view, &b.view, sizeof(Matrix)));
    EXPECT_EQ(0, memcmp(&a.projection, &b.projection, sizeof(Matrix)));
    EXPECT_EQ(a.texture0, b.texture0);
    EXPECT_EQ(a.fvf, b.fvf);
    EXPECT_EQ(a.declaration, b.declaration);
    EXPECT_EQ(a.stream0, b.stream0);
    EXPECT_EQ(a.stride, b.stride);
}

// Every state a sprite sets, first given a value it does not use.
void SetUnusualStates(Device& device, const std::shared_ptr<Texture>& texture) {
    for (const auto& s : kSpriteRenderStates) device.SetRenderState(s.state, s.value + 1);
    for (const auto& s : kSpriteStageStates) device.SetTextureStageState(s.stage, s.state, uint32_t(TextureOp::Add));
    for (const auto& s : kSpriteSamplerStates) device.SetSamplerState(0, s.state, uint32_t(TextureAddress::Mirror));
    Matrix world, view, projection;
    MatrixTranslation(&world, 1, 2, 3);
    MatrixScaling(&view, 2, 2, 2);
    MatrixPerspectiveFovLH(&projection, 1.0f, 1.3f, 1.0f, 100.0f);
    device.SetTransform(TransformState::World, &world);
    device.SetTransform(TransformState::View, &view);
    device.SetTransform(TransformState::Projection, &projection);
    device.SetTexture(0, texture);
}

TEST_F(SpriteRender, EndRestoresTheStatesBeginFound) {
    auto own = MakeTexture(4, 4, 0xFF00FF00u);
    SetUnusualStates(*device_, own);
    std::shared_ptr<VertexBuffer> buffer;
    ASSERT_EQ(device_->CreateVertexBuffer(64, 0, Fvf::XYZ | Fvf::Normal, Pool::Managed, &buffer), Result::Ok);
    device_->SetFVF(Fvf::XYZ | Fvf::Normal);
    device_->SetStreamSource(0, buffer, 0, 24);
    const DeviceSnapshot before = Snapshot(*device_);

    auto texture = MakeTexture(16, 16, 0xFFFFFFFFu);
    sprite_->Begin(SpriteFlags::AlphaBlend);
    sprite_->Draw(texture, nullptr, nullptr, nullptr, 0xFFFFFFFFu);
    sprite_->Flush();
    // While drawing, the sprite's own states were in force.
    uint32_t cull = 0;
    device_->GetRenderState(RenderState::CullMode, &cull);
    EXPECT_EQ(cull, uint32_t(Cull::None));
    sprite_->End();
    ExpectSame(before, Snapshot(*device_));
    EXPECT_EQ(test::CountLit(Frame()), 256) << "the quad was drawn";
}

TEST_F(SpriteRender, DeclarationSetDirectlyComesBack) {
    const VertexElement elements[] = {{0, 0, DeclType::Float3, DeclMethod::Default, DeclUsage::Position, 0}, kDeclEnd};
    std::shared_ptr<VertexDeclaration> decl;
    ASSERT_EQ(device_->CreateVertexDeclaration(elements, &decl), Result::Ok);
    device_->SetVertexDeclaration(decl);
    auto texture = MakeTexture(16, 16, 0xFFFFFFFFu);
    sprite_->Begin(SpriteFlags::AlphaBlend);
    sprite_->Draw(texture, nullptr, nullptr, nullptr, 0xFFFFFFFFu);
    sprite_->End();
    std::shared_ptr<VertexDeclaration> restored;
    device_->GetVertexDeclaration(&restored);
    EXPECT_EQ(restored, decl);
    uint32_t fvf = 1;
    device_->GetFVF(&fvf);
    EXPECT_EQ(fvf, 0u);
}

TEST_F(SpriteRender, DoNotSaveStateLeavesTheSpriteStates) {
    SetUnusualStates(*device_, nullptr);
    auto texture = MakeTexture(16, 16, 0xFFFFFFFFu);
    sprite_->Begin(SpriteFlags::AlphaBlend | SpriteFlags::DoNotSaveState);
    sprite_->Draw(texture, nullptr, nullptr, nullptr, 0xFFFFFFFFu);
    sprite_->End();
    for (const auto& s : kSpriteRenderStates) {
        uint32_t v = 0;
        device_->GetRenderState(s.state, &v);
        EXPECT_EQ(v, s.value) << "render state " << uint32_t(s.state);
    }
}

}  // namespace
}  // namespace velor
