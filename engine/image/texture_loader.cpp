#include "engine/image/texture_loader.h"

#include <algorithm>
#include <string>
#include <utility>

#include "engine/image/file_bytes.h"
#include "engine/image/image_decode.h"
#include "engine/image/image_ops.h"

namespace velor {

namespace {

// Step 3 for one side; 0 when the request is larger than any texture may be.
uint32_t ResolveSide(uint32_t requested, uint32_t fileSide) {
    if (requested == 0 || requested == D3DX_DEFAULT) return NextPowerOfTwo(fileSide);
    if (requested == D3DX_DEFAULT_NONPOW2 || requested == D3DX_FROM_FILE) return fileSide;
    return requested <= kMaxTextureSide ? requested : 0;
}

// Step 4.
uint32_t ResolveLevels(uint32_t requested, uint32_t width, uint32_t height, uint32_t fileLevels) {
    const uint32_t full = FullMipLevelCount(width, height);
    if (requested == 0 || requested == D3DX_DEFAULT) return full;
    if (requested == D3DX_FROM_FILE) return std::min(fileLevels, full);
    return std::min(requested, full);
}

std::string SizeText(uint32_t w, uint32_t h) { return std::to_string(w) + "x" + std::to_string(h); }

// Steps 2 to 4 for one chain as the file holds it.
ImageResult<MipChain> ShapeChain(MipChain file, const std::string& name, uint32_t width, uint32_t height,
                                 uint32_t mipLevels, uint32_t colorKey) {
    const uint32_t fileWidth = file[0].width, fileHeight = file[0].height;
    const uint32_t w = ResolveSide(width, fileWidth), h = ResolveSide(height, fileHeight);
    if (w == 0 || h == 0)
        return ImageResult<MipChain>::Fail(name + ": requested size " + SizeText(width, height) +
                                           " exceeds the largest texture side " + std::to_string(kMaxTextureSide));
    const uint32_t levels = ResolveLevels(mipLevels, w, h, uint32_t(file.size()));

    for (Image& level : file) ApplyColorKey(level, colorKey);
    MipChain chain;
    if (w == fileWidth && h == fileHeight) {
        chain = std::move(file);
    } else {
        chain.push_back(ResizeImage(file[0], w, h));
    }
    CompleteMipChain(chain, levels);
    return chain;
}

ImageResult<MipChain> Shape2D(ImageResult<TextureImage> decoded, const std::string& name, uint32_t width,
                              uint32_t height, uint32_t mipLevels, uint32_t colorKey) {
    if (!decoded) return ImageResult<MipChain>::Fail(decoded.error());
    if (decoded->isCube) return ImageResult<MipChain>::Fail(name + ": is a cube map, not a 2D texture");
    return ShapeChain(std::move(decoded->faces[0]), name, width, height, mipLevels, colorKey);
}

ImageResult<CubeImage> ShapeCube(ImageResult<TextureImage> decoded, const std::string& name, uint32_t edge,
                                 uint32_t mipLevels, uint32_t colorKey) {
    if (!decoded) return ImageResult<CubeImage>::Fail(decoded.error());
    if (!decoded->isCube) return ImageResult<CubeImage>::Fail(name + ": not a cube map (a 2D image)");
    CubeImage cube;
    for (uint32_t f = 0; f < kCubeFaceCount; ++f) {
        auto face = ShapeChain(std::move(decoded->faces[f]), name, edge, edge, mipLevels, colorKey);
        if (!face) return ImageResult<CubeImage>::Fail(face.error());
        cube.faces[f] = std::move(*face);
    }
    return cube;
}

}  // namespace

ImageResult<MipChain> LoadTextureFromMemoryEx(const uint8_t* data, size_t size, std::string_view name,
                                              uint32_t width, uint32_t height, uint32_t mipLevels,
                                              uint32_t colorKey) {
    return Shape2D(LoadImageFromMemory(data, size, name), std::string(name), width, height, mipLevels, colorKey);
}

ImageResult<MipChain> LoadTextureFromFileEx(std::string_view path, uint32_t width, uint32_t height,
                                            uint32_t mipLevels, uint32_t colorKey) {
    return Shape2D(LoadImageFromFile(path), std::string(path), width, height, mipLevels, colorKey);
}

ImageResult<MipChain> LoadTextureFromFile(std::string_view path) {
    return LoadTextureFromFileEx(path, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0);
}

ImageResult<CubeImage> LoadCubeTextureFromMemoryEx(const uint8_t* data, size_t size, std::string_view name,
                                                   uint32_t edge, uint32_t mipLevels, uint32_t colorKey) {
    return ShapeCube(LoadImageFromMemory(data, size, name), std::string(name), edge, mipLevels, colorKey);
}

ImageResult<CubeImage> LoadCubeTextureFromFileEx(std::string_view path, uint32_t edge, uint32_t mipLevels,
                                                 uint32_t colorKey) {
    return ShapeCube(LoadImageFromFile(path), std::string(path), edge, mipLevels, colorKey);
}

ImageResult<CubeImage> LoadCubeTextureFromFile(std::string_view path) {
    return LoadCubeTextureFromFileEx(path, D3DX_DEFAULT, D3DX_DEFAULT, 0);
}

}  // namespace velor
