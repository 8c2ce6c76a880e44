#include "engine/ui/font.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "engine/gfx/device_controls.h"
#include "engine/math/d3dx_math.h"
#include "engine/ui/text_layout.h"

namespace velor {

Font::Font(Device* device, FontDesc desc, std::unique_ptr<FontFace> face, std::unique_ptr<FontFace> sharpFace,
           float pixelScale)
    : device_(device), desc_(std::move(desc)), face_(std::move(face)), sharpFace_(std::move(sharpFace)),
      pixelScale_(pixelScale) {
    auto makePage = [device](uint32_t width, uint32_t height) {
        std::shared_ptr<Texture> texture;
        if (Failed(device->CreateTexture(width, height, 1, 0, Format::A8R8G8B8, Pool::Managed, &texture))) return std::shared_ptr<Texture>();
        return texture;
    };
    glyphs_ = std::make_unique<GlyphCache>(face_.get(), makePage);
    if (sharpFace_ != nullptr) sharpGlyphs_ = std::make_unique<GlyphCache>(sharpFace_.get(), makePage);
    ownSprite_ = std::make_shared<Sprite>(device);
}

Result Font::DrawSharpGlyph(Sprite* target, const PlacedGlyph& placed, const CachedGlyph& laidOut, Color color) {
    const CachedGlyph* glyph = sharpGlyphs_->Get(placed.codePoint);
    if (glyph == nullptr || glyph->page < 0) return Result::Ok;
    const float k = pixelScale_;
    // The pen and baseline the layout put the glyph on, in the sharp face's pixels.
    const float penX = float(placed.box.left - laidOut.left) * k;
    const float baseline = float(placed.box.top + laidOut.top) * k;
    const Rect& s = glyph->source;
    float left = penX + float(glyph->left), top = baseline - float(glyph->top);
    float right = left + float(s.right - s.left), bottom = top + float(s.bottom - s.top);
    // Cut where the layout cut the 1x glyph (a clipping rectangle), on the same line.
    Rect source = s;
    auto cut = [](float edge, float limit, bool lower) { return lower ? std::max(edge, limit) : std::min(edge, limit); };
    if (placed.visible.left != placed.box.left) source.left += int32_t(std::ceil(cut(left, placed.visible.left * k, true) - left));
    if (placed.visible.top != placed.box.top) source.top += int32_t(std::ceil(cut(top, placed.visible.top * k, true) - top));
    if (placed.visible.right != placed.box.right)
        source.right -= int32_t(std::ceil(right - cut(right, placed.visible.right * k, false)));
    if (placed.visible.bottom != placed.box.bottom)
        source.bottom -= int32_t(std::ceil(bottom - cut(bottom, placed.visible.bottom * k, false)));
    if (source.left >= source.right || source.top >= source.bottom) return Result::Ok;
    left += float(source.left - s.left);
    top += float(source.top - s.top);

    // The sharp glyph's texels become 1/k of the device's units: the caller's transform after a 1/k scale.
    Matrix saved, shrink, transform;
    target->GetTransform(&saved);
    MatrixScaling(&shrink, 1.0f / k, 1.0f / k, 1.0f);
    MatrixMultiply(&transform, &shrink, &saved);
    target->SetTransform(&transform);
    Vector3 position{left, top, 0.0f};
    Result r = target->Draw(sharpGlyphs_->Page(glyph->page), &source, nullptr, &position, color);
    target->SetTransform(&saved);
    return r;
}

int Font::DrawText(Sprite* sprite, const char* text, int count, Rect* rect, uint32_t format, Color color) {
    if (text == nullptr) return 0;
    Rect area{};
    if (rect != nullptr)
        area = *rect;
    else
        format |= DrawTextFormat::NoClip;

    const FontMetrics& metrics = face_->Metrics();
    TextLayout layout = LayoutText(text, count, area, format, metrics.cellHeight, metrics.ascent, [this](uint32_t code) {
        const CachedGlyph* glyph = glyphs_->Get(code);
        if (glyph == nullptr) return GlyphBox{};
        const Rect& s = glyph->source;
        return GlyphBox{glyph->left, glyph->top, s.right - s.left, s.bottom - s.top, glyph->advance};
    });
    if ((format & DrawTextFormat::CalcRect) != 0) {
        if (rect != nullptr) *rect = layout.bounds;
        return layout.height;
    }

    Sprite* target = sprite;
    if (target == nullptr) {
        target = ownSprite_.get();
        if (Failed(target->Begin(SpriteFlags::AlphaBlend | SpriteFlags::SortTexture))) return 0;
        Matrix identity;
        MatrixIdentity(&identity);
        target->SetTransform(&identity);
    }
    bool drawn = true;
    for (const PlacedGlyph& placed : layout.glyphs) {
        const CachedGlyph* glyph = glyphs_->Get(placed.codePoint);
        if (glyph == nullptr || glyph->page < 0) continue;
        if (sharpGlyphs_ != nullptr) {
            if (Failed(DrawSharpGlyph(target, placed, *glyph, color))) {
                drawn = false;
                break;
            }
            continue;
        }
        // The visible part of the box, as the same part of the glyph's texels.
        const Rect& s = glyph->source;
        Rect source{s.left + (placed.visible.left - placed.box.left), s.top + (placed.visible.top - placed.box.top),
                    s.right - (placed.box.right - placed.visible.right),
                    s.bottom - (placed.box.bottom - placed.visible.bottom)};
        Vector3 position{float(placed.visible.left), float(placed.visible.top), 0.0f};
        if (Failed(target->Draw(glyphs_->Page(glyph->page), &source, nullptr, &position, color))) {
            drawn = false;
            break;
        }
    }
    if (target == ownSprite_.get() && Failed(target->End())) drawn = false;
    return drawn ? layout.height : 0;
}

Result Font::PreloadText(const char* text, int count) {
    if (text == nullptr) return Result::InvalidCall;
    Rect none{};
    LayoutText(text, count, none, DrawTextFormat::NoClip | DrawTextFormat::CalcRect, face_->Metrics().cellHeight,
               face_->Metrics().ascent, [this](uint32_t code) {
                   glyphs_->Get(code);
                   return GlyphBox{};
               });
    return Result::Ok;
}

Result Font::GetDesc(FontDesc* desc) const {
    if (desc == nullptr) return Result::InvalidCall;
    *desc = desc_;
    return Result::Ok;
}

Result CreateFont(Device* device, int height, uint32_t width, uint32_t weight, uint32_t mipLevels, bool italic,
                  uint32_t charSet, uint32_t outputPrecision, uint32_t quality, uint32_t pitchAndFamily,
                  const char* faceName, std::shared_ptr<Font>* font, std::string* error) {
    if (font != nullptr) font->reset();
    if (device == nullptr || font == nullptr || std::abs(height) > kMaxFontHeight || width > uint32_t(kMaxFontHeight)) {
        if (error) *error = "CreateFont: no device or out pointer, or a height or width above " +
                            std::to_string(kMaxFontHeight);
        return Result::InvalidCall;
    }
    FontDesc desc{height, width, weight, mipLevels, italic, charSet, outputPrecision, quality, pitchAndFamily,
                  faceName != nullptr ? faceName : ""};
    FontMatch match;
    if (!MatchFont(FontRequest{desc.faceName, weight, italic}, &match, error)) return Result::NotAvailable;
    FontSize size{height, width, quality != FontQuality::NonAntialiased};
    std::unique_ptr<FontFace> face = FontFace::Open(match, size, error);
    if (face == nullptr) return Result::NotAvailable;
    // On a scaled device the letters are drawn from the face at the real pixels' height.
    std::unique_ptr<FontFace> sharpFace;
    float scale = PixelScale(*device);
    if (scale > 1.0f) {
        int cell = height != 0 ? height : kDefaultCellHeight;
        FontSize sharp{int(std::lround(float(cell) * scale)), uint32_t(std::lround(float(width) * scale)), size.antialiased};
        sharpFace = FontFace::Open(match, sharp, error);
        if (sharpFace == nullptr) return Result::NotAvailable;
    }
    *font = std::make_shared<Font>(device, std::move(desc), std::move(face), std::move(sharpFace), scale);
    return Result::Ok;
}

}  // namespace velor
