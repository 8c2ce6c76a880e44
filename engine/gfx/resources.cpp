#include "engine/gfx/resources.h"

#include <algorithm>

#include "engine/gfx/gl_release.h"
#include "engine/gfx/pixel_scale.h"

namespace velor {

GpuObject::~GpuObject() {
    if (name != 0 || aux != 0) ReleaseGpuObject(*this);
}

// ---- Vertex and index buffers ----------------------------------------------------------------

VertexBuffer::VertexBuffer(uint32_t length, uint32_t usage, uint32_t fvf, Pool pool)
    : bytes_(length), usage_(usage), fvf_(fvf), pool_(pool) {}

Result VertexBuffer::Lock(uint32_t offset, uint32_t size, void** data, uint32_t flags) {
    (void)flags;
    if (data == nullptr || offset > bytes_.size()) return Result::InvalidCall;
    if (size != 0 && size > bytes_.size() - offset) return Result::InvalidCall;
    *data = bytes_.data() + offset;
    ++locks_;
    return Result::Ok;
}

Result VertexBuffer::Unlock() {
    if (locks_ == 0) return Result::InvalidCall;
    --locks_;
    ++version_;
    return Result::Ok;
}

IndexBuffer::IndexBuffer(uint32_t length, uint32_t usage, Format format, Pool pool)
    : bytes_(length), usage_(usage), format_(format), pool_(pool) {}

Result IndexBuffer::Lock(uint32_t offset, uint32_t size, void** data, uint32_t flags) {
    (void)flags;
    if (data == nullptr || offset > bytes_.size()) return Result::InvalidCall;
    if (size != 0 && size > bytes_.size() - offset) return Result::InvalidCall;
    *data = bytes_.data() + offset;
    ++locks_;
    return Result::Ok;
}

Result IndexBuffer::Unlock() {
    if (locks_ == 0) return Result::InvalidCall;
    --locks_;
    ++version_;
    return Result::Ok;
}

// ---- Textures ----------------------------------------------------------------------------------

namespace {

uint32_t FullChain(uint32_t w, uint32_t h) {
    uint32_t n = 1;
    while (w > 1 || h > 1) {
        w = std::max(1u, w / 2);
        h = std::max(1u, h / 2);
        ++n;
    }
    return n;
}

}  // namespace

BaseTexture::BaseTexture(uint32_t width, uint32_t height, uint32_t levels, uint32_t faces, uint32_t usage,
                         Format format, Pool pool)
    : width_(std::max(1u, width)), height_(std::max(1u, height)), faces_(faces), usage_(usage), format_(format),
      pool_(pool) {
    uint32_t full = FullChain(width_, height_);
    levels_ = (levels == 0 || levels > full) ? full : levels;
    // Render targets live on the GPU only, as D3DPOOL_DEFAULT targets cannot be locked.
    data_.resize(size_t(faces_) * levels_);
    if (!IsRenderTarget()) {
        for (uint32_t f = 0; f < faces_; ++f)
            for (uint32_t l = 0; l < levels_; ++l) data_[f * levels_ + l].assign(size_t(LevelWidth(l)) * LevelHeight(l), 0);
    }
}

uint32_t BaseTexture::LevelWidth(uint32_t level) const { return std::max(1u, width_ >> level); }
uint32_t BaseTexture::LevelHeight(uint32_t level) const { return std::max(1u, height_ >> level); }
uint32_t BaseTexture::StorageWidth(uint32_t level) const { return ScaledLength(LevelWidth(level), pixelScale_); }
uint32_t BaseTexture::StorageHeight(uint32_t level) const { return ScaledLength(LevelHeight(level), pixelScale_); }

std::vector<uint32_t>& BaseTexture::MutablePixels(uint32_t face, uint32_t level) {
    ++version_;
    return data_[face * levels_ + level];
}

Result BaseTexture::LockFace(uint32_t face, uint32_t level, LockedRect* locked, const Rect* rect, uint32_t flags) {
    (void)flags;
    if (locked == nullptr || face >= faces_ || level >= levels_ || IsRenderTarget()) return Result::InvalidCall;
    uint32_t w = LevelWidth(level), h = LevelHeight(level);
    uint32_t x = 0, y = 0;
    if (rect != nullptr) {
        if (rect->left < 0 || rect->top < 0 || rect->right > int32_t(w) || rect->bottom > int32_t(h) ||
            rect->left >= rect->right || rect->top >= rect->bottom)
            return Result::InvalidCall;
        x = uint32_t(rect->left);
        y = uint32_t(rect->top);
    }
    auto& pixels = data_[face * levels_ + level];
    locked->pitch = int32_t(w * 4);
    locked->bits = pixels.data() + size_t(y) * w + x;
    return Result::Ok;
}

Result BaseTexture::UnlockFace(uint32_t face, uint32_t level) {
    if (face >= faces_ || level >= levels_) return Result::InvalidCall;
    ++version_;
    return Result::Ok;
}

Texture::Texture(uint32_t width, uint32_t height, uint32_t levels, uint32_t usage, Format format, Pool pool)
    : BaseTexture(width, height, levels, 1, usage, format, pool) {}

Result Texture::LockRect(uint32_t level, LockedRect* locked, const Rect* rect, uint32_t flags) {
    return LockFace(0, level, locked, rect, flags);
}

Result Texture::UnlockRect(uint32_t level) { return UnlockFace(0, level); }

Result Texture::GetLevelDesc(uint32_t level, SurfaceDesc* desc) const {
    if (desc == nullptr || level >= levels_) return Result::InvalidCall;
    *desc = SurfaceDesc{format_, usage_, pool_, LevelWidth(level), LevelHeight(level)};
    return Result::Ok;
}

Result Texture::GetSurfaceLevel(uint32_t level, std::shared_ptr<Surface>* surface) {
    if (surface == nullptr || level >= levels_) return Result::InvalidCall;
    *surface = std::make_shared<Surface>(shared_from_this(), level);
    return Result::Ok;
}

CubeTexture::CubeTexture(uint32_t edge, uint32_t levels, uint32_t usage, Format format, Pool pool)
    : BaseTexture(edge, edge, levels, 6, usage, format, pool) {}

Result CubeTexture::LockRect(CubeFace face, uint32_t level, LockedRect* locked, const Rect* rect, uint32_t flags) {
    return LockFace(uint32_t(face), level, locked, rect, flags);
}

Result CubeTexture::UnlockRect(CubeFace face, uint32_t level) { return UnlockFace(uint32_t(face), level); }

Result CubeTexture::GetLevelDesc(uint32_t level, SurfaceDesc* desc) const {
    if (desc == nullptr || level >= levels_) return Result::InvalidCall;
    *desc = SurfaceDesc{format_, usage_, pool_, LevelWidth(level), LevelHeight(level)};
    return Result::Ok;
}

// ---- Colours -----------------------------------------------------------------------------------

ColorValue ColorToValue(Color c) {
    return ColorValue{((c >> 16) & 0xFF) / 255.0f, ((c >> 8) & 0xFF) / 255.0f, (c & 0xFF) / 255.0f,
                      ((c >> 24) & 0xFF) / 255.0f};
}

Color ValueToColor(const ColorValue& v) {
    auto channel = [](float f) { return uint32_t(std::clamp(f, 0.0f, 1.0f) * 255.0f + 0.5f); };
    return ColorArgb(channel(v.a), channel(v.r), channel(v.g), channel(v.b));
}

}  // namespace velor
