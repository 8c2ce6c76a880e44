#pragma once
// Image files to CPU images: PNG, JPEG, TGA and BMP through stb_image, DDS through our own reader
// (chosen by the "DDS " magic). The result is always A8R8G8B8, top row first.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "engine/image/image.h"

namespace velor {

// Decodes a file held in memory. `name` is used only in messages:
// "x.png: not a PNG/JPEG/TGA/DDS image: <stb_image's reason>".
ImageResult<TextureImage> LoadImageFromMemory(const uint8_t* data, size_t size, std::string_view name);

// Reads and decodes the file at `path`: "textures/x.png: cannot open file" when it cannot be read.
// A result prefetched for the same path (image_prefetch.h) is taken instead of reading it again.
ImageResult<TextureImage> LoadImageFromFile(std::string_view path);

// LoadImageFromFile without looking at the prefetch.
ImageResult<TextureImage> DecodeImageFile(std::string_view path);

}  // namespace velor
