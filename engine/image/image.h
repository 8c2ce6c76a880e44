#pragma once
// CPU-side images as the texture loaders hand them to the device.
//
// Every decoded picture ends up in one shape whatever the file held: 32-bit A8R8G8B8, one uint32_t
// per pixel read as 0xAARRGGBB, rows top first (row 0 is the top row, as Direct3D stores a locked
// rectangle). The device uploads these words as they are; no loader leaves a palette, a 24-bit row or
// a compressed block behind. A texture is a mip chain (full size first); a cube texture is six of
// them in Direct3D's face order.
//
// Failures are values: loaders return ImageResult<T> (a value or a message naming the file and the
// reason) and writers return ImageStatus. Nothing here throws or aborts on bad input.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace velor {

// Size arguments of the texture loaders, with D3DX's values.
inline constexpr uint32_t D3DX_DEFAULT = 0xFFFFFFFFu;          // file size rounded up to a power of two; full mip chain
inline constexpr uint32_t D3DX_DEFAULT_NONPOW2 = 0xFFFFFFFEu;  // file size as it is
inline constexpr uint32_t D3DX_FROM_FILE = 0xFFFFFFFDu;        // file size as it is; the file's own mip count

// The largest side any loader accepts or produces: what Direct3D 9 hardware of the demo's time
// commonly reports as MaxTextureWidth/Height. Also bounds what a lying header can make us allocate.
inline constexpr uint32_t kMaxTextureSide = 8192;

// One picture: width × height pixels, 0xAARRGGBB, row-major, top row first.
struct Image {
    uint32_t width = 0;             // pixels, 0 only for an empty image
    uint32_t height = 0;            // pixels, 0 only for an empty image
    std::vector<uint32_t> pixels;   // width * height words

    Image() = default;
    Image(uint32_t w, uint32_t h, uint32_t fill = 0) : width(w), height(h), pixels(size_t(w) * h, fill) {}

    bool Empty() const { return pixels.empty(); }
    uint32_t& At(uint32_t x, uint32_t y) { return pixels[size_t(y) * width + x]; }
    uint32_t At(uint32_t x, uint32_t y) const { return pixels[size_t(y) * width + x]; }
};

// Level 0 is the full-size image; level i + 1 is max(1, w / 2) × max(1, h / 2) of level i.
using MipChain = std::vector<Image>;

// D3DCUBEMAP_FACES: the order of faces in a cube texture and in a cube DDS file.
enum class CubeFace : uint32_t {
    PositiveX = 0,
    NegativeX = 1,
    PositiveY = 2,
    NegativeY = 3,
    PositiveZ = 4,
    NegativeZ = 5,
};
inline constexpr uint32_t kCubeFaceCount = 6;

// Six square faces of equal size and equal mip count, indexed by CubeFace.
struct CubeImage {
    std::array<MipChain, kCubeFaceCount> faces;

    MipChain& Face(CubeFace f) { return faces[uint32_t(f)]; }
    const MipChain& Face(CubeFace f) const { return faces[uint32_t(f)]; }
    uint32_t Size() const { return faces[0].empty() ? 0 : faces[0][0].width; }
    uint32_t LevelCount() const { return uint32_t(faces[0].size()); }
};

// What one image file holds once decoded: a 2D texture (one face) or a cube map (six faces in
// CubeFace order). PNG, JPEG, TGA and BMP files always give one face with one level; DDS files give
// the levels and faces they carry.
struct TextureImage {
    bool isCube = false;           // true: faces.size() == 6
    std::vector<MipChain> faces;   // never empty after a successful decode; no face is empty either

    const Image& Top() const { return faces[0][0]; }
};

// A value or the reason there is none. The message names the file: "rock_b.dds: truncated: ...".
template <class T>
class ImageResult {
public:
    ImageResult(T value) : value_(std::move(value)) {}
    static ImageResult Fail(std::string message) { return ImageResult(std::move(message), 0); }

    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }
    T& value() { return *value_; }
    const T& value() const { return *value_; }
    T& operator*() { return *value_; }
    const T& operator*() const { return *value_; }
    T* operator->() { return &*value_; }
    const T* operator->() const { return &*value_; }
    const std::string& error() const { return error_; }

private:
    ImageResult(std::string message, int) : error_(std::move(message)) {}
    std::optional<T> value_;
    std::string error_;
};

// Outcome of a write: success, or the reason it failed.
struct ImageStatus {
    std::string error;   // empty on success

    static ImageStatus Ok() { return {}; }
    static ImageStatus Fail(std::string message) { return {std::move(message)}; }
    bool ok() const { return error.empty(); }
    explicit operator bool() const { return ok(); }
};

// Pixel helpers for the 0xAARRGGBB words.
constexpr uint32_t PackArgb(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
    return (a << 24) | (r << 16) | (g << 8) | b;
}
constexpr uint32_t AlphaOf(uint32_t argb) { return argb >> 24; }
constexpr uint32_t RedOf(uint32_t argb) { return (argb >> 16) & 0xFF; }
constexpr uint32_t GreenOf(uint32_t argb) { return (argb >> 8) & 0xFF; }
constexpr uint32_t BlueOf(uint32_t argb) { return argb & 0xFF; }

}  // namespace velor
