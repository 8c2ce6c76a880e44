#pragma once
// Buffers, textures and surfaces. Every resource keeps its data on the CPU: locks hand out CPU
// pointers and an unlock marks the contents changed; the device makes or refreshes the GL object
// lazily when a draw needs it. So meshes, loaders and most tests work without any GL context, and a
// device reset needs no re-creation.
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/gfx/d3d_types.h"
#include "engine/gfx/sprite_footprint.h"
#include "engine/image/image.h"  // CubeFace, D3DCUBEMAP_FACES

namespace velor {

// GL-side shadow of a resource, owned by the device's backend. `version` is compared with the
// resource's own to know when to upload again. Engine-internal.
struct GpuObject {
    uint32_t name = 0;         // GL object name, 0 = not made yet
    uint64_t uploaded = 0;     // resource version last uploaded
    uint32_t aux = 0;          // backend's use (e.g. a second GL name)
    uint32_t kind = 0;         // backend's tag: what kind of GL object `name` is
    ~GpuObject();
};

class VertexBuffer {
public:
    VertexBuffer(uint32_t length, uint32_t usage, uint32_t fvf, Pool pool);

    Result Lock(uint32_t offset, uint32_t size, void** data, uint32_t flags);  // size 0: to the end
    Result Unlock();
    uint32_t GetLength() const { return uint32_t(bytes_.size()); }
    uint32_t GetFvf() const { return fvf_; }
    uint32_t GetUsage() const { return usage_; }
    Pool GetPool() const { return pool_; }

    const uint8_t* Data() const { return bytes_.data(); }
    uint64_t Version() const { return version_; }
    GpuObject& Gpu() const { return gpu_; }

private:
    std::vector<uint8_t> bytes_;
    uint32_t usage_;
    uint32_t fvf_;
    Pool pool_;
    uint64_t version_ = 1;
    int locks_ = 0;
    mutable GpuObject gpu_;
};

class IndexBuffer {
public:
    IndexBuffer(uint32_t length, uint32_t usage, Format format, Pool pool);

    Result Lock(uint32_t offset, uint32_t size, void** data, uint32_t flags);
    Result Unlock();
    uint32_t GetLength() const { return uint32_t(bytes_.size()); }
    Format GetFormat() const { return format_; }
    uint32_t GetUsage() const { return usage_; }
    Pool GetPool() const { return pool_; }
    uint32_t IndexSize() const { return format_ == Format::Index32 ? 4 : 2; }

    const uint8_t* Data() const { return bytes_.data(); }
    uint64_t Version() const { return version_; }
    GpuObject& Gpu() const { return gpu_; }

private:
    std::vector<uint8_t> bytes_;
    uint32_t usage_;
    Format format_;
    Pool pool_;
    uint64_t version_ = 1;
    int locks_ = 0;
    mutable GpuObject gpu_;
};

class Surface;

// Shared by 2D and cube textures: levels of 32-bit A8R8G8B8/X8R8G8B8 pixels on the CPU (row 0 the
// top row), or, for render targets, storage that lives only on the GPU.
class BaseTexture {
public:
    virtual ~BaseTexture() = default;
    uint32_t GetLevelCount() const { return levels_; }
    Format GetFormat() const { return format_; }
    uint32_t GetUsage() const { return usage_; }
    bool IsCube() const { return faces_ == 6; }
    bool IsRenderTarget() const { return (usage_ & Usage::RenderTarget) != 0; }
    uint32_t LevelWidth(uint32_t level) const;
    uint32_t LevelHeight(uint32_t level) const;
    // Real pixels per texel each way of a render target's GPU storage (pixel_scale.h): the device's
    // scale for targets the size of its back buffer, else 1. Sizes and coordinates the demo sees stay
    // the Level* ones.
    float PixelScale() const { return pixelScale_; }
    void SetPixelScale(float scale) { pixelScale_ = scale; }
    uint32_t StorageWidth(uint32_t level) const;
    uint32_t StorageHeight(uint32_t level) const;

    // Pixels of one face and level (face 0 for 2D textures); empty for render targets.
    const std::vector<uint32_t>& Pixels(uint32_t face, uint32_t level) const { return data_[face * levels_ + level]; }
    std::vector<uint32_t>& MutablePixels(uint32_t face, uint32_t level);
    uint64_t Version() const { return version_; }
    void Touch() { ++version_; }
    GpuObject& Gpu() const { return gpu_; }
    // The device's record of where the pixels are non-zero (sprite_footprint.h), for one version.
    struct FootprintCache {
        uint64_t version = 0;
        std::vector<LevelFootprint> levels;
    };
    FootprintCache& Footprint() const { return footprint_; }

protected:
    BaseTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t faces, uint32_t usage, Format format,
                Pool pool);
    Result LockFace(uint32_t face, uint32_t level, LockedRect* locked, const Rect* rect, uint32_t flags);
    Result UnlockFace(uint32_t face, uint32_t level);

    uint32_t width_, height_, levels_, faces_, usage_;
    Format format_;
    Pool pool_;
    std::vector<std::vector<uint32_t>> data_;  // faces × levels
    uint64_t version_ = 1;
    float pixelScale_ = 1.0f;
    mutable GpuObject gpu_;
    mutable FootprintCache footprint_;
};

class Texture : public BaseTexture, public std::enable_shared_from_this<Texture> {
public:
    Texture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage, Format format, Pool pool);
    Result LockRect(uint32_t level, LockedRect* locked, const Rect* rect, uint32_t flags);
    Result UnlockRect(uint32_t level);
    Result GetLevelDesc(uint32_t level, SurfaceDesc* desc) const;
    Result GetSurfaceLevel(uint32_t level, std::shared_ptr<Surface>* surface);
};


class CubeTexture : public BaseTexture, public std::enable_shared_from_this<CubeTexture> {
public:
    CubeTexture(uint32_t edge, uint32_t levels, uint32_t usage, Format format, Pool pool);
    Result LockRect(CubeFace face, uint32_t level, LockedRect* locked, const Rect* rect, uint32_t flags);
    Result UnlockRect(CubeFace face, uint32_t level);
    Result GetLevelDesc(uint32_t level, SurfaceDesc* desc) const;
};

// One level of a texture, as render targets are addressed.
class Surface {
public:
    Surface(std::shared_ptr<Texture> texture, uint32_t level) : texture_(std::move(texture)), level_(level) {}
    Result GetDesc(SurfaceDesc* desc) const { return texture_->GetLevelDesc(level_, desc); }
    const std::shared_ptr<Texture>& GetTexture() const { return texture_; }
    uint32_t Level() const { return level_; }

private:
    std::shared_ptr<Texture> texture_;
    uint32_t level_;
};

}  // namespace velor
