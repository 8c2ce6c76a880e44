#include "engine/ui/glyph_cache.h"

#include <algorithm>

namespace velor {

GlyphCache::GlyphCache(const FontFace* face, PageFactory makePage) : face_(face), makePage_(std::move(makePage)) {}

const CachedGlyph* GlyphCache::Get(uint32_t codePoint) {
    auto found = glyphs_.find(codePoint);
    if (found != glyphs_.end()) return &found->second;

    GlyphBitmap bitmap;
    face_->Rasterise(codePoint, &bitmap);  // a glyph FreeType cannot render stays a blank
    CachedGlyph glyph;
    glyph.left = bitmap.left;
    glyph.top = bitmap.top;
    glyph.advance = bitmap.advance;
    if (bitmap.width > 0 && bitmap.height > 0 && !Store(bitmap, &glyph)) return nullptr;
    return &glyphs_.emplace(codePoint, glyph).first->second;
}

bool GlyphCache::Store(const GlyphBitmap& bitmap, CachedGlyph* glyph) {
    const uint32_t w = uint32_t(bitmap.width), h = uint32_t(bitmap.height);
    uint32_t x = 0, y = 0;
    int page = -1;
    for (size_t i = 0; i < pages_.size() && page < 0; ++i)
        if (pages_[i].packer.Place(w, h, &x, &y)) page = int(i);
    if (page < 0) {
        if (!AddPage(w, h) || !pages_.back().packer.Place(w, h, &x, &y)) return false;
        page = int(pages_.size() - 1);
    }

    Rect rect{int32_t(x), int32_t(y), int32_t(x + w), int32_t(y + h)};
    Texture& texture = *pages_[size_t(page)].texture;
    LockedRect locked;
    if (Failed(texture.LockRect(0, &locked, &rect, 0))) return false;
    for (uint32_t row = 0; row < h; ++row) {
        auto* dst = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.bits) + size_t(row) * locked.pitch);
        const uint8_t* src = bitmap.coverage.data() + size_t(row) * w;
        for (uint32_t col = 0; col < w; ++col) dst[col] = (uint32_t(src[col]) << 24) | kAtlasBlank;
    }
    texture.UnlockRect(0);
    glyph->page = page;
    glyph->source = rect;
    return true;
}

bool GlyphCache::AddPage(uint32_t minWidth, uint32_t minHeight) {
    // A glyph too big for a standard page gets a page of its own size (padding included).
    uint32_t size = kAtlasPageSize;
    while (size < std::max(minWidth, minHeight) + 2) size *= 2;
    std::shared_ptr<Texture> texture = makePage_(size, size);
    if (texture == nullptr || texture->LevelWidth(0) < size || texture->LevelHeight(0) < size) return false;
    LockedRect locked;
    if (Failed(texture->LockRect(0, &locked, nullptr, 0))) return false;
    for (uint32_t row = 0; row < size; ++row) {
        auto* dst = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.bits) + size_t(row) * locked.pitch);
        std::fill(dst, dst + size, kAtlasBlank);
    }
    texture->UnlockRect(0);
    pages_.push_back(AtlasPage{std::move(texture), AtlasPacker(size, size)});
    return true;
}

}  // namespace velor
