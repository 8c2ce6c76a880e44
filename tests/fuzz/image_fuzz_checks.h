#pragma once
// What every successful decode must satisfy, checked by the image fuzz targets: a result that breaks
// these would make the device read past a level or upload the wrong size.

#include <cstdlib>

#include "engine/image/image.h"

namespace velor::fuzz {

inline void Require(bool condition) {
    if (!condition) std::abort();
}

inline void CheckTextureImage(const TextureImage& image) {
    Require(!image.faces.empty());
    Require(image.isCube ? image.faces.size() == kCubeFaceCount : image.faces.size() == 1);
    for (const MipChain& face : image.faces) {
        Require(!face.empty());
        Require(face.size() == image.faces[0].size());
        uint32_t w = face[0].width, h = face[0].height;
        Require(w > 0 && h > 0 && w <= kMaxTextureSide && h <= kMaxTextureSide);
        Require(w == image.faces[0][0].width && h == image.faces[0][0].height);
        for (const Image& level : face) {
            Require(level.width == w && level.height == h);
            Require(level.pixels.size() == size_t(w) * h);
            w = w > 1 ? w / 2 : 1;
            h = h > 1 ? h / 2 : 1;
        }
    }
}

}  // namespace velor::fuzz
