#pragma once
// D3DX's texture creation from files: decode, colour key, size and mip rules (engine/image), then a
// device texture holding the levels. A failure leaves the texture missing and says why in `error`.
#include <memory>
#include <string>

#include "engine/gfx/device.h"

namespace velor {

// D3DXCreateTexture: as Device::CreateTexture, with D3DX's size and level defaults (0 = full chain).
Result CreateTexture(Device* device, uint32_t width, uint32_t height, uint32_t mipLevels, uint32_t usage,
                     Format format, Pool pool, std::shared_ptr<Texture>* texture);

Result CreateTextureFromFile(Device* device, const char* path, std::shared_ptr<Texture>* texture,
                             std::string* error = nullptr);

// width, height, mipLevels: sizes or D3DX_DEFAULT (0xFFFFFFFF) / D3DX_DEFAULT_NONPOW2; format Unknown
// keeps A8R8G8B8; filter and mipFilter are accepted and box/bilinear filtering is used for both;
// colorKey: that exact ARGB becomes transparent black (0 disables).
Result CreateTextureFromFileEx(Device* device, const char* path, uint32_t width, uint32_t height, uint32_t mipLevels,
                               uint32_t usage, Format format, Pool pool, uint32_t filter, uint32_t mipFilter,
                               Color colorKey, std::shared_ptr<Texture>* texture, std::string* error = nullptr);

Result CreateCubeTextureFromFile(Device* device, const char* path, std::shared_ptr<CubeTexture>* texture,
                                 std::string* error = nullptr);

}  // namespace velor
