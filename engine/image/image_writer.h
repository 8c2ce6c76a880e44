#pragma once
// Image files out, through stb_image_write: PNG for screenshots and frame capture, and JPEG and TGA
// for content that must ship in those formats. The image's ARGB words are written top row first;
// PNG and TGA keep alpha, JPEG drops it.

#include <cstdint>
#include <string_view>
#include <vector>

#include "engine/image/image.h"

namespace velor {

// The file's bytes; refused for an empty image or one whose pixel count does not match its size.
ImageResult<std::vector<uint8_t>> EncodePng(const Image& image);
ImageResult<std::vector<uint8_t>> EncodeJpeg(const Image& image, int quality = 90);  // quality 1..100
ImageResult<std::vector<uint8_t>> EncodeTga(const Image& image);                      // 32-bit, run-length coded

// The encoded bytes written to path: "shots/a.png: cannot write file: No such file or directory".
ImageStatus WritePng(std::string_view path, const Image& image);
ImageStatus WriteJpeg(std::string_view path, const Image& image, int quality = 90);
ImageStatus WriteTga(std::string_view path, const Image& image);

}  // namespace velor
