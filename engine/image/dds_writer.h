#pragma once
// Writes uncompressed A8R8G8B8 DDS files (2D or cube, with mip levels) in the layout dds_reader.h
// reads and Direct3D 9 tools expect: tight rows, faces in CubeFace order, each face's levels from the
// largest down. The content generator makes its .dds textures with this.

#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/image/image.h"

namespace velor {

// The file's bytes. Refused (as a value) when the chain is empty, a level's pixel count does not match
// its size, a level is not max(1, w / 2) × max(1, h / 2) of the one before, or a side exceeds kMaxTextureSide.
ImageResult<std::vector<uint8_t>> EncodeDds(const MipChain& levels);

// The same for a cube map: six square faces of the same size and level count.
ImageResult<std::vector<uint8_t>> EncodeCubeDds(const CubeImage& cube);

// EncodeDds / EncodeCubeDds written to path; messages start with the path.
ImageStatus WriteDds(std::string_view path, const MipChain& levels);
ImageStatus WriteCubeDds(std::string_view path, const CubeImage& cube);

}  // namespace velor
