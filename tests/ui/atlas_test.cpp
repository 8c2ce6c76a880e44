// Glyph atlas: packing without overlap, and page texels that draw as the text colour.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/ui/atlas_packer.h"
#include "engine/ui/glyph_cache.h"

namespace velor {
namespace {

bool Overlap(const Rect& a, const Rect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

TEST(AtlasPacker, PlacesWithoutOverlapKeepingPaddingUntilFull) {
    AtlasPacker packer(64, 64, 1);
    std::vector<Rect> placed;
    const uint32_t sizes[][2] = {{10, 12}, {7, 12}, {12, 9}, {3, 3}, {20, 14}};
    for (int round = 0; round < 40; ++round) {
        const auto& s = sizes[round % 5];
        uint32_t x = 0, y = 0;
        if (!packer.Place(s[0], s[1], &x, &y)) break;
        // Grown by the padding, no two rectangles touch; none leaves the page or its first row and column.
        Rect grown{int32_t(x), int32_t(y), int32_t(x + s[0] + 1), int32_t(y + s[1] + 1)};
        EXPECT_GE(x, 1u);
        EXPECT_GE(y, 1u);
        EXPECT_LE(grown.right, 64);
        EXPECT_LE(grown.bottom, 64);
        for (const Rect& other : placed) EXPECT_FALSE(Overlap(grown, other));
        placed.push_back(grown);
    }
    EXPECT_GT(placed.size(), 12u);
    EXPECT_LT(placed.size(), 40u);  // the page did fill up
}

TEST(AtlasPacker, RejectsWhatCannotFit) {
    AtlasPacker packer(32, 32, 1);
    uint32_t x, y;
    EXPECT_FALSE(packer.Place(31, 4, &x, &y));
    EXPECT_FALSE(packer.Place(4, 31, &x, &y));
    EXPECT_TRUE(packer.Place(30, 30, &x, &y));
    EXPECT_FALSE(packer.Place(1, 1, &x, &y));
}

TEST(AtlasPacker, ShortGlyphsReuseAShelfWithRoom) {
    AtlasPacker packer(100, 100, 1);
    uint32_t x0, y0, x1, y1, x2, y2;
    ASSERT_TRUE(packer.Place(10, 20, &x0, &y0));
    ASSERT_TRUE(packer.Place(10, 30, &x1, &y1));  // too tall for the first shelf: a new one
    ASSERT_TRUE(packer.Place(10, 15, &x2, &y2));  // back on the first, the shelf that wastes least
    EXPECT_GT(y1, y0);
    EXPECT_EQ(y2, y0);
    EXPECT_EQ(x2, x0 + 11);
}

// Pages made as the device would make them, without a device.
GlyphCache::PageFactory PlainPages(int* made) {
    return [made](uint32_t w, uint32_t h) {
        ++*made;
        return std::make_shared<Texture>(w, h, 1, 0, Format::A8R8G8B8, Pool::Managed);
    };
}

std::unique_ptr<FontFace> DefaultFace(int height) {
    FontMatch match;
    std::string error;
    EXPECT_TRUE(MatchFont(FontRequest{}, &match, &error)) << error;
    return FontFace::Open(match, FontSize{height, 0, true}, &error);
}

TEST(GlyphCache, TexelsAreWhiteWithCoverageAsAlpha) {
    auto face = DefaultFace(22);
    ASSERT_NE(face, nullptr);
    int made = 0;
    GlyphCache cache(face.get(), PlainPages(&made));
    const CachedGlyph* g = cache.Get('A');
    ASSERT_NE(g, nullptr);
    ASSERT_EQ(g->page, 0);
    GlyphBitmap expected;
    face->Rasterise('A', &expected);
    ASSERT_EQ(g->source.right - g->source.left, expected.width);
    ASSERT_EQ(g->source.bottom - g->source.top, expected.height);
    EXPECT_EQ(g->advance, expected.advance);
    EXPECT_EQ(g->top, expected.top);

    const std::shared_ptr<Texture>& page = cache.Page(0);
    EXPECT_EQ(page->GetFormat(), Format::A8R8G8B8);
    const std::vector<uint32_t>& texels = page->Pixels(0, 0);
    const uint32_t width = page->LevelWidth(0);
    for (int y = 0; y < expected.height; ++y)
        for (int x = 0; x < expected.width; ++x) {
            uint32_t texel = texels[size_t(g->source.top + y) * width + g->source.left + x];
            ASSERT_EQ(texel, (uint32_t(expected.coverage[size_t(y) * expected.width + x]) << 24) | 0xFFFFFFu);
        }
    // Around the glyph: transparent white.
    EXPECT_EQ(texels[0], kAtlasBlank);
    EXPECT_EQ(texels[size_t(g->source.bottom) * width + g->source.right], kAtlasBlank);
}

TEST(GlyphCache, EachGlyphIsStoredOnceAndBlanksTakeNoTexels) {
    auto face = DefaultFace(35);
    ASSERT_NE(face, nullptr);
    int made = 0;
    GlyphCache cache(face.get(), PlainPages(&made));
    const CachedGlyph* first = cache.Get('Q');
    const uint64_t version = cache.Page(0)->Version();
    EXPECT_EQ(cache.Get('Q'), first);
    EXPECT_EQ(cache.Page(0)->Version(), version);  // no second upload
    const CachedGlyph* space = cache.Get(' ');
    ASSERT_NE(space, nullptr);
    EXPECT_EQ(space->page, -1);
    EXPECT_GT(space->advance, 0);

    // The whole Windows-1252 page fits one 512 × 512 page at 35 pixels, without overlaps.
    std::vector<Rect> rects;
    for (uint32_t code = 0x21; code < 0x100; ++code) {
        const CachedGlyph* g = cache.Get(code);
        ASSERT_NE(g, nullptr);
        if (g->page < 0) continue;
        EXPECT_EQ(g->page, 0);
        for (const Rect& r : rects) ASSERT_FALSE(Overlap(r, g->source));
        rects.push_back(g->source);
    }
    EXPECT_EQ(made, 1);
}

TEST(GlyphCache, GlyphLargerThanAPageGetsAPageOfItsOwn) {
    auto face = DefaultFace(1000);
    ASSERT_NE(face, nullptr);
    int made = 0;
    GlyphCache cache(face.get(), PlainPages(&made));
    const CachedGlyph* g = cache.Get('W');
    ASSERT_NE(g, nullptr);
    EXPECT_GT(cache.Page(g->page)->LevelWidth(0), kAtlasPageSize);
}

TEST(GlyphCache, NoPageMeansNoGlyph) {
    auto face = DefaultFace(22);
    ASSERT_NE(face, nullptr);
    GlyphCache cache(face.get(), [](uint32_t, uint32_t) { return std::shared_ptr<Texture>(); });
    EXPECT_EQ(cache.Get('A'), nullptr);
    const CachedGlyph* space = cache.Get(' ');  // blanks need no page
    ASSERT_NE(space, nullptr);
    EXPECT_GT(space->advance, 0);
}

}  // namespace
}  // namespace velor
