// Text on a headless device: where DrawText puts it, line breaks, cutting, colour and state.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "engine/math/d3dx_math.h"
#include "engine/ui/font.h"
#include "tests/ui/ui_render_fixture.h"

namespace velor {
namespace {

using test::Empty;
using test::LitBounds;
using test::PixelAt;

constexpr Color kWhite = 0xFFFFFFFFu;

class FontRender : public test::UiRender {
protected:
    void SetUp() override {
        UiRender::SetUp();
        if (device_ == nullptr) return;
        std::string error;
        // Height 22, everything else default, empty face name: the system's sans-serif.
        ASSERT_EQ(CreateFont(device_, 22, 0, 0, 1, false, FontCharSet::Default, 0, 0, 0, "", &font_, &error),
                  Result::Ok)
            << error;
    }

    // Where a glyph's bitmap lands with the pen at (x, line top y).
    Rect GlyphAt(char c, int x, int y) {
        GlyphBitmap g;
        font_->Face().Rasterise(uint8_t(c), &g);
        int baseline = y + font_->Face().Metrics().ascent;
        return Rect{x + g.left, baseline - g.top, x + g.left + g.width, baseline - g.top + g.height};
    }

    std::shared_ptr<Font> font_;
};

// Faint edge pixels may round to black; the ink's extent matches the glyph's box within a pixel.
void ExpectNear(const Rect& lit, const Rect& box) {
    EXPECT_NEAR(lit.left, box.left, 1);
    EXPECT_NEAR(lit.top, box.top, 1);
    EXPECT_NEAR(lit.right, box.right, 1);
    EXPECT_NEAR(lit.bottom, box.bottom, 1);
}

TEST_F(FontRender, TextDrawsAtTheRectanglesTopLeft) {
    Rect rect{100, 200, 1024, 768};
    EXPECT_EQ(font_->DrawText(nullptr, "H", -1, &rect, DrawTextFormat::Left | DrawTextFormat::Top, kWhite), 22);
    auto pixels = Frame();
    Rect lit = LitBounds(pixels);
    ASSERT_FALSE(Empty(lit));
    ExpectNear(lit, GlyphAt('H', 100, 200));
    // Texels map one to one onto pixels: white over black shows the glyph's coverage unblurred.
    GlyphBitmap h;
    font_->Face().Rasterise('H', &h);
    Rect box = GlyphAt('H', 100, 200);
    int worst = 0;
    for (int y = 0; y < h.height; ++y)
        for (int x = 0; x < h.width; ++x) {
            int red = int((PixelAt(pixels, box.left + x, box.top + y) >> 16) & 0xFF);
            worst = std::max(worst, std::abs(red - int(h.coverage[size_t(y) * h.width + x])));
        }
    EXPECT_LE(worst, 2);
}

TEST_F(FontRender, LineBreakStartsTheNextLineOneCellLower) {
    Rect rect{100, 200, 1024, 768};
    EXPECT_EQ(font_->DrawText(nullptr, "H\nH", -1, &rect, 0, kWhite), 44);
    auto pixels = Frame();
    Rect first = LitBounds(pixels, 0, Rect{0, 0, 1024, 222});
    Rect second = LitBounds(pixels, 0, Rect{0, 222, 1024, 768});
    ExpectNear(first, GlyphAt('H', 100, 200));
    ExpectNear(second, GlyphAt('H', 100, 222));
    EXPECT_EQ(second.top - first.top, 22);
    EXPECT_EQ(second.left, first.left);
}

TEST_F(FontRender, TextIsCutAtTheRectanglesRightAndBottom) {
    Rect rect{100, 200, 105, 212};
    font_->DrawText(nullptr, "HHHH\nHHHH", -1, &rect, 0, kWhite);
    auto pixels = Frame();
    Rect lit = LitBounds(pixels);
    ASSERT_FALSE(Empty(lit));
    EXPECT_LE(lit.right, 105);
    EXPECT_LE(lit.bottom, 212);
    EXPECT_EQ(lit.right, 105) << "the first glyph reaches the cut";
    EXPECT_EQ(lit.bottom, 212);
}

TEST_F(FontRender, TextStartingAtTheBottomDrawsNothing) {
    Rect rect{550, 768, 1024, 768};
    font_->DrawText(nullptr, "VELOR DEMO\ncode & gfx  by morvil", -1, &rect, 0, kWhite);
    EXPECT_EQ(test::CountLit(Frame()), 0);
}

TEST_F(FontRender, NoClipDrawsPastTheRectangle) {
    Rect rect{100, 200, 105, 205};
    font_->DrawText(nullptr, "HH", -1, &rect, DrawTextFormat::NoClip, kWhite);
    Rect lit = LitBounds(Frame());
    EXPECT_GT(lit.right, 120);
    EXPECT_GT(lit.bottom, 210);
}

TEST_F(FontRender, ZeroAlphaDrawsNothing) {
    device_->Clear(0, nullptr, Clear::Target, 0xFF404040u, 1.0f, 0);
    Rect rect{100, 200, 1024, 768};
    font_->DrawText(nullptr, "Hello", -1, &rect, 0, 0x00FFFFFFu);
    for (uint32_t p : Frame()) ASSERT_EQ(p & 0xFFFFFFu, 0x404040u);
}

TEST_F(FontRender, ColourModulatesTheWhiteGlyphs) {
    Rect rect{100, 200, 1024, 768};
    font_->DrawText(nullptr, "H", -1, &rect, 0, ColorArgb(255, 170, 170, 255));
    auto pixels = Frame();
    Rect lit = LitBounds(pixels);
    ASSERT_FALSE(Empty(lit));
    EXPECT_LE(test::ColorDistance(PixelAt(pixels, lit.left + 1, (lit.top + lit.bottom) / 2) | 0xFF000000u,
                                  ColorArgb(255, 170, 170, 255)),
              1);
    // Nowhere brighter than the colour.
    for (uint32_t p : pixels) ASSERT_LE((p >> 16) & 0xFF, 170u);
}

TEST_F(FontRender, CalcRectMeasuresWithoutDrawing) {
    Rect rect{100, 200, 0, 0};
    int height = font_->DrawText(nullptr, "HH\nH", -1, &rect, DrawTextFormat::CalcRect, kWhite);
    EXPECT_EQ(height, 44);
    EXPECT_EQ(rect.top, 200);
    EXPECT_EQ(rect.bottom, 244);
    GlyphBitmap h;
    font_->Face().Rasterise('H', &h);
    EXPECT_EQ(rect.left, 100);
    EXPECT_EQ(rect.right, 100 + 2 * h.advance);  // the wider line
    EXPECT_EQ(test::CountLit(Frame()), 0);
}

TEST_F(FontRender, CallersSpriteAndItsTransformAreUsed) {
    std::shared_ptr<Sprite> sprite;
    ASSERT_EQ(CreateSprite(device_, &sprite), Result::Ok);
    Matrix shift;
    MatrixTranslation(&shift, 50, 30, 0);
    sprite->Begin(SpriteFlags::AlphaBlend);
    sprite->SetTransform(&shift);
    Rect rect{100, 200, 1024, 768};
    EXPECT_EQ(font_->DrawText(sprite.get(), "H", -1, &rect, 0, kWhite), 22);
    EXPECT_EQ(test::CountLit(Frame()), 0) << "queued in the caller's sprite until it flushes";
    sprite->End();
    Rect box = GlyphAt('H', 100, 200);
    ExpectNear(LitBounds(Frame()), Rect{box.left + 50, box.top + 30, box.right + 50, box.bottom + 30});
}

TEST_F(FontRender, DrawTextLeavesTheDeviceStatesAsTheyWere) {
    device_->SetRenderState(RenderState::CullMode, uint32_t(Cull::CW));
    device_->SetRenderState(RenderState::Lighting, 1);
    device_->SetRenderState(RenderState::AlphaBlendEnable, 0);
    device_->SetTextureStageState(0, TextureStageState::ColorOp, uint32_t(TextureOp::SelectArg1));
    Matrix world;
    MatrixTranslation(&world, 5, 6, 7);
    device_->SetTransform(TransformState::World, &world);
    Rect rect{100, 200, 1024, 768};
    font_->DrawText(nullptr, "State", -1, &rect, 0, kWhite);

    uint32_t v = 0;
    device_->GetRenderState(RenderState::CullMode, &v);
    EXPECT_EQ(v, uint32_t(Cull::CW));
    device_->GetRenderState(RenderState::Lighting, &v);
    EXPECT_EQ(v, 1u);
    device_->GetRenderState(RenderState::AlphaBlendEnable, &v);
    EXPECT_EQ(v, 0u);
    device_->GetTextureStageState(0, TextureStageState::ColorOp, &v);
    EXPECT_EQ(v, uint32_t(TextureOp::SelectArg1));
    Matrix after;
    device_->GetTransform(TransformState::World, &after);
    EXPECT_EQ(after.m[3][2], 7.0f);
    EXPECT_GT(test::CountLit(Frame()), 0);
}

// Text positions are render-target pixels; the letterbox viewport hides the rows above it.
TEST_F(FontRender, LetterboxViewportHidesTextAboveIt) {
    Viewport letterbox{0, 100, 1024, 568, 0, 1};
    device_->SetViewport(&letterbox);
    Rect rect{550, 90, 1024, 768};
    font_->DrawText(nullptr, "H\nH", -1, &rect, 0, kWhite);
    Rect lit = LitBounds(Frame());
    EXPECT_EQ(lit.top, 100);
    ExpectNear(Rect{lit.left, 0, lit.right, lit.bottom}, Rect{GlyphAt('H', 550, 0).left, 0, GlyphAt('H', 550, 0).right,
                                                          GlyphAt('H', 550, 112).bottom});
}

TEST_F(FontRender, ItalicGreetingsFontDraws) {
    std::shared_ptr<Font> italic;
    ASSERT_EQ(CreateFont(device_, 35, 0, 0, 1, true, FontCharSet::Default, 0, 0, 0, "", &italic), Result::Ok);
    Rect rect{600, 100, 1024, 768};
    EXPECT_EQ(italic->DrawText(nullptr, "KALVORIN\n\n\nMERUSK", -1, &rect, 0, ColorArgb(255, 170, 170, 255)), 4 * 35);
    auto pixels = Frame();
    Rect first = LitBounds(pixels, 0, Rect{0, 0, 1024, 135});
    Rect last = LitBounds(pixels, 0, Rect{0, 135, 1024, 768});
    EXPECT_FALSE(Empty(first));
    EXPECT_GE(last.top, 100 + 3 * 35);
    EXPECT_LT(last.bottom, 100 + 4 * 35 + 2);
}

TEST_F(FontRender, CreateFontRejectsBadArguments) {
    std::shared_ptr<Font> font = font_;
    EXPECT_EQ(CreateFont(nullptr, 22, 0, 0, 1, false, 1, 0, 0, 0, "", &font), Result::InvalidCall);
    EXPECT_EQ(font, nullptr);
    EXPECT_EQ(CreateFont(device_, 100000, 0, 0, 1, false, 1, 0, 0, 0, "", &font), Result::InvalidCall);
    EXPECT_EQ(CreateFont(device_, 22, 0, 0, 1, false, 1, 0, 0, 0, "", nullptr), Result::InvalidCall);
    EXPECT_EQ(font_->DrawText(nullptr, nullptr, -1, nullptr, 0, kWhite), 0);
}

}  // namespace
}  // namespace velor
