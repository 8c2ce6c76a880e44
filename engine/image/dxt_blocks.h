#pragma once
// DXT1, DXT3 and DXT5 (BC1-3) decompression to A8R8G8B8.
//
// Each format stores 4 × 4 pixel blocks. The colour part (8 bytes) holds two RGB565 end points and
// sixteen 2-bit indices, row by row, least significant bits first. DXT1 alone switches to three
// colours plus transparent black when the first end point is not greater than the second (its 1-bit
// alpha); DXT3 and DXT5 always use four colours and carry alpha in 8 bytes before the colour part:
// DXT3 sixteen explicit 4-bit values, DXT5 two 8-bit end points and sixteen 3-bit indices.
// Interpolated values are rounded to nearest.

#include <cstdint>

#include "engine/image/image.h"

namespace velor {

enum class DxtFormat { Dxt1, Dxt3, Dxt5 };

// Bytes per 4 × 4 block: 8 for DXT1, 16 for DXT3 and DXT5.
constexpr uint32_t DxtBlockBytes(DxtFormat format) { return format == DxtFormat::Dxt1 ? 8 : 16; }

// Bytes of one level of width × height pixels: whole blocks, at least one.
constexpr uint64_t DxtLevelBytes(DxtFormat format, uint32_t width, uint32_t height) {
    const uint64_t blocksWide = width == 0 ? 1 : (uint64_t(width) + 3) / 4;
    const uint64_t blocksHigh = height == 0 ? 1 : (uint64_t(height) + 3) / 4;
    return blocksWide * blocksHigh * DxtBlockBytes(format);
}

// One block to 16 pixels, row-major (out[y * 4 + x]).
void DecodeDxtBlock(DxtFormat format, const uint8_t* block, uint32_t out[16]);

// A whole level. `data` must hold DxtLevelBytes(format, width, height) bytes; the caller checks.
// Blocks that run past the right or bottom edge contribute only their pixels inside the image.
Image DecodeDxtImage(DxtFormat format, const uint8_t* data, uint32_t width, uint32_t height);

}  // namespace velor
