#include "engine/gfx/texture_files.h"

#include <cstdio>
#include <mutex>
#include <set>

#include "engine/image/texture_loader.h"

namespace velor {

namespace {

Result Fill(const MipChain& chain, BaseTexture& texture, uint32_t face) {
    for (uint32_t level = 0; level < texture.GetLevelCount() && level < chain.size(); ++level) {
        const Image& image = chain[level];
        if (image.width != texture.LevelWidth(level) || image.height != texture.LevelHeight(level)) return Result::Fail;
        texture.MutablePixels(face, level) = image.pixels;
    }
    return Result::Ok;
}

// A caller that asks for no reason still gets one on stderr, the way D3DX's debug output names the
// file it could not load; once per message, as the same file is often asked for again.
void Say(std::string* error, const std::string& message) {
    if (error != nullptr) {
        *error = message;
        return;
    }
    static std::mutex lock;
    static std::set<std::string> said;
    std::lock_guard<std::mutex> guard(lock);
    if (said.insert(message).second) std::fprintf(stderr, "velor: %s\n", message.c_str());
}

}  // namespace

Result CreateTexture(Device* device, uint32_t width, uint32_t height, uint32_t mipLevels, uint32_t usage, Format format,
                     Pool pool, std::shared_ptr<Texture>* texture) {
    if (device == nullptr || texture == nullptr) return Result::InvalidCall;
    if (width == 0 || width == kD3DXDefault) width = 256;
    if (height == 0 || height == kD3DXDefault) height = 256;
    if (mipLevels == kD3DXDefault) mipLevels = 0;
    return device->CreateTexture(width, height, mipLevels, usage, format, pool, texture);
}

Result CreateTextureFromFile(Device* device, const char* path, std::shared_ptr<Texture>* texture, std::string* error) {
    return CreateTextureFromFileEx(device, path, kD3DXDefault, kD3DXDefault, kD3DXDefault, 0, Format::Unknown,
                                   Pool::Managed, kD3DXDefault, kD3DXDefault, 0, texture, error);
}

Result CreateTextureFromFileEx(Device* device, const char* path, uint32_t width, uint32_t height, uint32_t mipLevels,
                               uint32_t usage, Format format, Pool pool, uint32_t filter, uint32_t mipFilter,
                               Color colorKey, std::shared_ptr<Texture>* texture, std::string* error) {
    (void)filter;
    (void)mipFilter;
    if (device == nullptr || path == nullptr || texture == nullptr) return Result::InvalidCall;
    if (format != Format::Unknown && format != Format::A8R8G8B8 && format != Format::X8R8G8B8) {
        Say(error, std::string(path) + ": texture format not supported");
        return Result::InvalidCall;
    }
    ImageResult<MipChain> chain = LoadTextureFromFileEx(path, width, height, mipLevels, colorKey);
    if (!chain) {
        Say(error, chain.error());
        return Result::InvalidData;
    }
    const Image& top = chain->front();
    std::shared_ptr<Texture> created;
    Result result = device->CreateTexture(top.width, top.height, uint32_t(chain->size()), usage & ~Usage::RenderTarget,
                                          format == Format::Unknown ? Format::A8R8G8B8 : format, pool, &created);
    if (Failed(result) || Failed(Fill(*chain, *created, 0))) {
        Say(error, std::string(path) + ": the device refused a " + std::to_string(top.width) + " x " +
                       std::to_string(top.height) + " texture");
        return Failed(result) ? result : Result::Fail;
    }
    *texture = std::move(created);
    return Result::Ok;
}

Result CreateCubeTextureFromFile(Device* device, const char* path, std::shared_ptr<CubeTexture>* texture,
                                 std::string* error) {
    if (device == nullptr || path == nullptr || texture == nullptr) return Result::InvalidCall;
    ImageResult<CubeImage> cube = LoadCubeTextureFromFile(path);
    if (!cube) {
        Say(error, cube.error());
        return Result::InvalidData;
    }
    std::shared_ptr<CubeTexture> created;
    Result result = device->CreateCubeTexture(cube->Size(), cube->LevelCount(), 0, Format::A8R8G8B8, Pool::Managed, &created);
    if (Failed(result)) {
        Say(error, std::string(path) + ": the device refused the cube texture");
        return result;
    }
    for (uint32_t face = 0; face < 6; ++face)
        if (Failed(Fill(cube->faces[face], *created, face))) {
            Say(error, std::string(path) + ": cube faces of unequal size");
            return Result::InvalidData;
        }
    *texture = std::move(created);
    return Result::Ok;
}

}  // namespace velor
