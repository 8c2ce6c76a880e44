#pragma once
// Glyphs rasterised once and kept in atlas pages: A8R8G8B8 textures whose texels are white with the
// glyph's coverage as alpha, so that the sprite's MODULATE(TEXTURE, DIFFUSE) turns them into the text
// colour. Empty texels are transparent white, not black, so filtering at glyph edges never darkens.
#include <cstdint>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

#include "engine/gfx/resources.h"
#include "engine/ui/atlas_packer.h"
#include "engine/ui/font_face.h"

namespace velor {

constexpr uint32_t kAtlasPageSize = 512;  // texels along each edge of a page
constexpr uint32_t kAtlasBlank = 0x00FFFFFFu;  // transparent white

struct CachedGlyph {
    int page = -1;      // atlas page; -1 for blanks, which have nothing to draw
    Rect source;        // texels of the glyph on its page
    int left = 0;       // pixels from the pen to the bitmap's left column
    int top = 0;        // pixels from the baseline up to the bitmap's top row
    int advance = 0;    // pen advance in pixels
};

class GlyphCache {
public:
    // Makes an empty page texture (A8R8G8B8, one level) of the given size, or null.
    using PageFactory = std::function<std::shared_ptr<Texture>(uint32_t width, uint32_t height)>;

    GlyphCache(const FontFace* face, PageFactory makePage);

    // The glyph of a code point, rasterised and written into a page on first use. Null when no page
    // can be made for it.
    const CachedGlyph* Get(uint32_t codePoint);
    const std::shared_ptr<Texture>& Page(int index) const { return pages_[size_t(index)].texture; }
    size_t PageCount() const { return pages_.size(); }

private:
    struct AtlasPage {
        std::shared_ptr<Texture> texture;
        AtlasPacker packer;
    };
    bool Store(const GlyphBitmap& bitmap, CachedGlyph* glyph);
    bool AddPage(uint32_t minWidth, uint32_t minHeight);

    const FontFace* face_;
    PageFactory makePage_;
    std::vector<AtlasPage> pages_;
    std::unordered_map<uint32_t, CachedGlyph> glyphs_;
};

}  // namespace velor
