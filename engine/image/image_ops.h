#pragma once
// The D3DX texture-loading rules as plain operations on images: colour key, resize and mip chains.

#include <cstdint>

#include "engine/image/image.h"

namespace velor {

// Levels of a full chain down to 1 × 1: floor(log2(max(width, height))) + 1; 0 for an empty size.
uint32_t FullMipLevelCount(uint32_t width, uint32_t height);

// The smallest power of two not below n (1 for 0); n must not exceed 2^31.
uint32_t NextPowerOfTwo(uint32_t n);

// D3DX colour key: every pixel whose whole ARGB word equals `key` becomes 0x00000000 (transparent
// black). Alpha takes part in the comparison, so 0xFF000000 matches opaque black only and leaves
// 0xFF010000 alone. A key of 0 disables keying (D3DX's "no colour key").
void ApplyColorKey(Image& image, uint32_t key);

// Resampled copy at width × height (both at least 1). Each axis is filtered on its own: shrinking
// averages the source pixels each target pixel covers (a box filter weighted by coverage, so halving
// is an exact 2 × 2 box), enlarging interpolates linearly between pixel centres, clamped at the edges.
// Channels are filtered as stored (straight alpha, as D3DX does). Empty source or size gives an empty image.
Image ResizeImage(const Image& source, uint32_t width, uint32_t height);

// The next mip level of `image`: max(1, w / 2) × max(1, h / 2) by the box filter above.
Image NextMipLevel(const Image& image);

// Extends `chain` (at least its level 0) to `levelCount` levels, each made from the one before by
// NextMipLevel; a longer chain is cut. levelCount is clamped to FullMipLevelCount of level 0.
void CompleteMipChain(MipChain& chain, uint32_t levelCount);

// A chain of `levelCount` levels (0 or D3DX_DEFAULT: the full chain) with `top` as level 0.
MipChain GenerateMipChain(Image top, uint32_t levelCount);

}  // namespace velor
