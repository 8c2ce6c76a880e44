#pragma once
// Sprite footprints. Most of a glow sprite's texture is black, and a sprite blended so that a zero
// texel leaves the target as it was spends most of its fill on pixels it cannot change. The vertex
// stage can draw each quad over only the part of the texture that can sample something else: the
// non-zero texels of each mip level, widened by the bilinear filter's reach. Because the sprite's
// texture coordinate comes from each pixel's position in the full quad (ffp_shaders.cpp), the
// pixels a trimmed quad covers get exactly the values the full quad gives them. Engine-internal.
#include <array>
#include <cstdint>
#include <vector>

namespace velor {

class BaseTexture;
struct DeviceState;

// Inclusive texel bounds of the texels with some bits set; empty when x0 > x1.
struct TexelBox {
    int32_t x0 = 0, y0 = 0, x1 = -1, y1 = -1;
    bool Empty() const { return x0 > x1; }
};

struct LevelFootprint {
    uint32_t width = 0, height = 0;
    TexelBox colour;  // red, green or blue non-zero
    TexelBox any;     // some channel non-zero, alpha as sampled (an opaque format reads 1)
};

// `pixels` are 0xAARRGGBB, top row first; `opaque`: the format has no alpha.
LevelFootprint FindLevelFootprint(const uint32_t* pixels, uint32_t width, uint32_t height, bool opaque);
// Every level of a 2D texture, as its pixels are now.
std::vector<LevelFootprint> FindFootprint(const BaseTexture& texture);

constexpr uint32_t kMaxSpriteReachLevels = 16;

// What the vertex stage takes to trim one draw's sprites: per level L, the texture-coordinate box
// (u0, v0, u1, v1) outside which every level from 0 to L samples zero, bilinear or point; the
// sprite's size picks L. No levels: whole quads.
struct SpriteReach {
    uint32_t levels = 0;
    float width = 0, height = 0;  // level 0, in texels
    std::array<std::array<float, 4>, kMaxSpriteReachLevels> boxes{};
    bool operator==(const SpriteReach&) const = default;
};

// The reach of the first `usable` levels, counting the colour channels only or every channel. On
// a wrapping axis a footprint that reaches an edge is sampled from the other edge too.
SpriteReach ReachOf(const std::vector<LevelFootprint>& levels, uint32_t usable, bool colourOnly, bool wrapU,
                    bool wrapV);

// The reach for a point sprite draw in `state`: no levels unless every pixel the draw gives a zero
// texel is known to stay as it was (blending, depth and stencil writes, the fragment stage, the
// sampler). The texture's footprint is found once per version of its pixels.
SpriteReach SpriteReachFor(const DeviceState& state);

}  // namespace velor
