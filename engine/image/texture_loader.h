#pragma once
// The CPU half of D3DXCreateTextureFromFileEx and D3DXCreateCubeTextureFromFileEx: read an image
// file and shape it into the mip chain (or six chains) the device uploads.
//
// The rules, in the order they are applied:
//  1. Decode the file (image_decode.h): PNG, JPEG, TGA, BMP or DDS.
//  2. Colour key each level the file carries (ApplyColorKey: the exact ARGB word becomes transparent
//     black; key 0 disables), before any filtering, so keyed pixels fade their neighbours in the
//     smaller levels as they do under D3DX.
//  3. Size each side: 0 or D3DX_DEFAULT takes the file's side rounded up to a power of two;
//     D3DX_DEFAULT_NONPOW2 or D3DX_FROM_FILE take the file's side as it is; any other value is used
//     as given (up to kMaxTextureSide). A size other than the file's resamples level 0 (ResizeImage).
//  4. Mip levels: 0 or D3DX_DEFAULT make the full chain down to 1 × 1, D3DX_FROM_FILE the file's own
//     count, any other value that many (at most the full chain). Levels the file carries at the
//     chosen size are kept; the rest are made by a 2 × 2 box filter from the level above.
// A cube file asked for as a 2D texture, or a 2D file asked for as a cube texture, is an error.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "engine/image/image.h"

namespace velor {

// D3DXCreateTextureFromFileEx(device, path, width, height, mipLevels, usage, format, pool, filter,
// mipFilter, colorKey, ...) without the device: the levels to upload, largest first.
ImageResult<MipChain> LoadTextureFromFileEx(std::string_view path, uint32_t width, uint32_t height,
                                            uint32_t mipLevels, uint32_t colorKey);

// D3DXCreateTextureFromFile: file size rounded up to powers of two, full mip chain, no colour key.
ImageResult<MipChain> LoadTextureFromFile(std::string_view path);

// The same from a file already in memory; `name` is used only in messages.
ImageResult<MipChain> LoadTextureFromMemoryEx(const uint8_t* data, size_t size, std::string_view name,
                                              uint32_t width, uint32_t height, uint32_t mipLevels,
                                              uint32_t colorKey);

// D3DXCreateCubeTextureFromFileEx(device, path, size, mipLevels, usage, format, pool, filter,
// mipFilter, colorKey, ...) without the device: six faces in CubeFace order. `edge` is D3DX's Size,
// the side of every face, with the same rules as width and height. The file must be a cube map DDS.
ImageResult<CubeImage> LoadCubeTextureFromFileEx(std::string_view path, uint32_t edge, uint32_t mipLevels,
                                                 uint32_t colorKey);

// D3DXCreateCubeTextureFromFile: defaults for size and mip levels, no colour key.
ImageResult<CubeImage> LoadCubeTextureFromFile(std::string_view path);

// The same from a file already in memory; `name` is used only in messages.
ImageResult<CubeImage> LoadCubeTextureFromMemoryEx(const uint8_t* data, size_t size, std::string_view name,
                                                   uint32_t edge, uint32_t mipLevels, uint32_t colorKey);

}  // namespace velor
