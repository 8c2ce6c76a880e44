#pragma once
// Where DrawText puts each glyph, as GDI's DrawText places it without word breaking: lines end at
// "\n", "\r" or "\r\n" and are exactly one cell height apart; each line starts at the rectangle's left
// edge (or is centred or right-aligned in it); the baseline lies `ascent` below the line's top.
// Unless DT_NOCLIP, glyphs are cut to the rectangle, and a line whose top is at or below the
// rectangle's bottom is not drawn at all. A line break at the very end of the text starts no new line.
//
// Layout needs only each glyph's box and advance, so it runs without FreeType or a device.
#include <cstdint>
#include <functional>
#include <vector>

#include "engine/gfx/d3d_types.h"

namespace velor {

struct GlyphBox {
    int left = 0, top = 0;        // from the pen on the baseline: right, and up
    int width = 0, height = 0;    // bitmap size in pixels; 0 for blanks
    int advance = 0;              // pen advance in pixels
};

using GlyphBoxLookup = std::function<GlyphBox(uint32_t codePoint)>;

struct PlacedGlyph {
    uint32_t codePoint = 0;
    Rect box;      // the whole glyph bitmap in target pixels
    Rect visible;  // the part inside the rectangle (the whole box with DT_NOCLIP); never empty
};

struct TextLayout {
    std::vector<PlacedGlyph> glyphs;
    int lineCount = 0;
    int height = 0;    // what DrawText returns: line count × cell height, or, with DT_VCENTER or
                       // DT_BOTTOM, the distance from the rectangle's top to the text's bottom
    Rect bounds;       // the text's extent (what DT_CALCRECT writes back)
};

// `count` is the number of bytes to lay out, -1 for all up to the terminating zero; text stops at a
// zero byte either way. Bytes are Windows-1252.
TextLayout LayoutText(const char* text, int count, const Rect& rect, uint32_t format, int cellHeight, int ascent,
                      const GlyphBoxLookup& lookup);

}  // namespace velor
