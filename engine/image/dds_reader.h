#pragma once
// Reads DDS textures: 2D and cube maps with their mip levels, DXT1/DXT3/DXT5 and uncompressed
// 24- and 32-bit RGB formats, decoded to A8R8G8B8 (see dds_format.h for the layout).
//
// A DDS file comes from outside the program, so the header is treated as a claim to be checked:
// every dimension, count and level extent is checked against the file length before any pixel is
// read or any image allocated. A header claiming 65535 × 65535 on a 200-byte file is refused with a
// message, never allocated.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "engine/image/image.h"

namespace velor {

// True when the bytes start with the "DDS " magic.
bool IsDds(const uint8_t* data, size_t size);

// Decodes a whole DDS file held in memory. `name` is used only in messages, e.g.
// "rock_b.dds: truncated: level 2 needs 4096 bytes at offset 9000, file has 9100".
ImageResult<TextureImage> ReadDds(const uint8_t* data, size_t size, std::string_view name);

}  // namespace velor
