#pragma once
// Canvas to file bytes: PNG, JPEG and TGA through stb_image_write, DDS (uncompressed A8R8G8B8, 2D
// or cube, with a box-filtered mip chain) through the engine's DDS writer, so the files are exactly
// what the engine's reader is tested against.

#include <array>

#include "tools/contentgen/blob.h"
#include "tools/contentgen/canvas.h"

namespace velor::content {

Blob EncodePngFile(const Canvas& c, int channels, bool dither);   // channels 1, 3 or 4
Blob EncodeJpegFile(const Canvas& c, int quality, bool dither);   // RGB; quality > 90 keeps full chroma
Blob EncodeTgaFile(const Canvas& c, int channels, bool dither);   // uncompressed, top row first on decode
Blob EncodeDdsFile(const Canvas& c, bool dither);                 // with the full mip chain
Blob EncodeCubeDdsFile(const std::array<Canvas, 6>& faces, bool dither);   // D3D face order +X -X +Y -Y +Z -Z

}  // namespace velor::content
