#pragma once
// Shelf packing for the glyph atlas. Glyphs of one font have nearly the same height, so rows
// ("shelves") of the tallest glyph placed in them waste little: a glyph goes on the lowest shelf it
// fits (tall enough, wide enough), else opens a new shelf below the last. Every rectangle keeps
// `padding` empty texels to its right and below, and the page's first row and column stay empty, so
// neighbours never bleed into each other under linear filtering.
#include <cstdint>
#include <vector>

namespace velor {

class AtlasPacker {
public:
    AtlasPacker(uint32_t width, uint32_t height, uint32_t padding = 1);

    // The top-left texel of a w × h rectangle, or false when the page has no room left for it.
    bool Place(uint32_t w, uint32_t h, uint32_t* x, uint32_t* y);
    uint32_t Width() const { return width_; }
    uint32_t Height() const { return height_; }

private:
    struct Shelf {
        uint32_t y;       // top row
        uint32_t height;  // rows, padding included
        uint32_t used;    // columns taken, padding included
    };
    uint32_t width_, height_, padding_;
    std::vector<Shelf> shelves_;
};

}  // namespace velor
