#pragma once
// ID3DXFont: text drawn as textured quads through a sprite, from glyphs cached in atlas textures.
//
// DrawText lays the text out (text_layout.h), makes sure every glyph is in the atlas
// (glyph_cache.h) and draws one sprite quad per visible glyph: through the caller's sprite, which must
// be between Begin and End, or else through the font's own sprite, begun with D3DXSPRITE_ALPHABLEND
// and ended again within the call, so the device's states come back as they were.
//
// On a device with a pixel scale k > 1 (engine/gfx/pixel_scale.h) the text is laid out with the face
// at the asked height, as on any device, and each glyph is drawn from a second face rasterised at
// k × that height, placed on the same pen position at 1/k of its size: the same layout, with letters
// as sharp as the real pixels allow.
#include <cstdint>
#include <memory>
#include <string>

#include "engine/gfx/device.h"
#include "engine/ui/font_face.h"
#include "engine/ui/glyph_cache.h"
#include "engine/ui/sprite.h"
#include "engine/ui/text_layout.h"
#include "engine/ui/ui_types.h"

namespace velor {

// D3DXFONT_DESCA.
struct FontDesc {
    int height = 0;
    uint32_t width = 0;
    uint32_t weight = 0;
    uint32_t mipLevels = 1;
    bool italic = false;
    uint32_t charSet = 0;
    uint32_t outputPrecision = 0;
    uint32_t quality = 0;
    uint32_t pitchAndFamily = 0;
    std::string faceName;
};

// Largest |height| CreateFont accepts, in pixels.
constexpr int kMaxFontHeight = 1024;

class Font {
public:
    // Draws `count` bytes of `text` (-1: up to the terminating zero) in `rect` with DT_* `format`, in
    // `color` (D3DCOLOR; glyph coverage times its alpha). Returns the text's height in pixels, 0 when
    // nothing could be laid out or drawn. With DT_CALCRECT nothing is drawn and `rect` receives the
    // text's extent. A null rectangle places the text at (0, 0) unclipped.
    int DrawText(Sprite* sprite, const char* text, int count, Rect* rect, uint32_t format, Color color);
    // Puts the glyphs of the text into the atlas ahead of drawing.
    Result PreloadText(const char* text, int count);
    Result GetDesc(FontDesc* desc) const;
    Result OnLostDevice() { return Result::Ok; }
    Result OnResetDevice() { return Result::Ok; }
    Device* GetDevice() const { return device_; }

    // Engine side: the sized face and the glyph atlas, for tests and tools.
    const FontFace& Face() const { return *face_; }
    GlyphCache& Glyphs() { return *glyphs_; }

    // `sharpFace`, when given, is the face at `pixelScale` × the height, for drawing.
    Font(Device* device, FontDesc desc, std::unique_ptr<FontFace> face, std::unique_ptr<FontFace> sharpFace = nullptr,
         float pixelScale = 1.0f);

private:
    // Queues the sharp face's glyph for a glyph laid out with the 1x face.
    Result DrawSharpGlyph(Sprite* target, const PlacedGlyph& placed, const CachedGlyph& laidOut, Color color);

    Device* device_;
    FontDesc desc_;
    std::unique_ptr<FontFace> face_;
    std::unique_ptr<GlyphCache> glyphs_;
    std::unique_ptr<FontFace> sharpFace_;
    std::unique_ptr<GlyphCache> sharpGlyphs_;
    float pixelScale_ = 1.0f;
    std::shared_ptr<Sprite> ownSprite_;
};

// D3DXCreateFontA. InvalidCall without a device or out pointer or with |height| above kMaxFontHeight;
// NotAvailable when no font file can be found or read (the reason goes to `error` when given).
Result CreateFont(Device* device, int height, uint32_t width, uint32_t weight, uint32_t mipLevels, bool italic,
                  uint32_t charSet, uint32_t outputPrecision, uint32_t quality, uint32_t pitchAndFamily,
                  const char* faceName, std::shared_ptr<Font>* font, std::string* error = nullptr);

}  // namespace velor
