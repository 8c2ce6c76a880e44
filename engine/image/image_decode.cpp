#include "engine/image/image_decode.h"

#include <stb/stb_image.h>

#include <climits>
#include <memory>
#include <string>

#include "engine/image/dds_reader.h"
#include "engine/image/file_bytes.h"
#include "engine/image/image_prefetch.h"

namespace velor {

namespace {

// No file of these formats can unpack to more pixels per byte than this: deflate tops out near
// 1032:1 and a 1-bit PNG packs 8 pixels per unpacked byte; RLE TGA and BMP stay far below. A header
// claiming more is lying, and stb_image would otherwise fill a huge picture from a few bytes.
constexpr uint64_t kMaxPixelsPerFileByte = 8 * 1032;

std::string StbReason() {
    const char* reason = stbi_failure_reason();
    return std::string("not a PNG/JPEG/TGA/DDS image: ") + (reason ? reason : "unknown format");
}

struct StbFree {
    void operator()(stbi_uc* p) const { stbi_image_free(p); }
};

// stb_image reads past the end of an uncompressed TGA as zeros, so a cut-short file would load as a
// picture with a black band. Those layouts have a known size; RLE ones are left to stb.
std::string UncompressedTgaShortfall(const uint8_t* d, size_t size) {
    if (size < 18) return {};
    const uint8_t idLength = d[0], colorMapType = d[1], type = d[2];
    if ((type != 1 && type != 2 && type != 3) || colorMapType > 1) return {};
    const uint32_t mapLength = uint32_t(d[5]) | uint32_t(d[6]) << 8, mapBits = d[7];
    const uint32_t width = uint32_t(d[12]) | uint32_t(d[13]) << 8, height = uint32_t(d[14]) | uint32_t(d[15]) << 8;
    const uint32_t bits = d[16];
    const uint64_t needed = 18 + uint64_t(idLength) + (colorMapType ? (uint64_t(mapLength) * mapBits + 7) / 8 : 0) +
                            (uint64_t(width) * height * bits + 7) / 8;
    if (needed <= size) return {};
    return "truncated: an uncompressed TGA of " + std::to_string(width) + "x" + std::to_string(height) + " needs " +
           std::to_string(needed) + " bytes, the file has " + std::to_string(size);
}

ImageResult<TextureImage> DecodeWithStb(const uint8_t* data, size_t size, const std::string& name) {
    auto fail = [&](const std::string& why) { return ImageResult<TextureImage>::Fail(name + ": " + why); };
    if (size > size_t(INT_MAX)) return fail("file too large to decode");
    const int length = int(size);

    // Ask for the size first so a header claiming a huge picture is refused before stb allocates it.
    int width = 0, height = 0, channels = 0;
    if (!stbi_info_from_memory(data, length, &width, &height, &channels))
        return fail(StbReason());
    if (width <= 0 || height <= 0 || uint32_t(width) > kMaxTextureSide || uint32_t(height) > kMaxTextureSide)
        return fail("size " + std::to_string(width) + "x" + std::to_string(height) +
                    " exceeds the largest texture side " + std::to_string(kMaxTextureSide));
    if (uint64_t(width) * uint64_t(height) > uint64_t(size) * kMaxPixelsPerFileByte)
        return fail("size " + std::to_string(width) + "x" + std::to_string(height) + " is impossible for a " +
                    std::to_string(size) + "-byte file");

    const std::string shortfall = UncompressedTgaShortfall(data, size);
    if (!shortfall.empty()) return fail(shortfall);

    std::unique_ptr<stbi_uc, StbFree> rgba(stbi_load_from_memory(data, length, &width, &height, &channels, 4));
    if (!rgba) return fail(StbReason());

    Image image{uint32_t(width), uint32_t(height)};
    const stbi_uc* p = rgba.get();
    for (uint32_t& pixel : image.pixels) {
        pixel = PackArgb(p[3], p[0], p[1], p[2]);
        p += 4;
    }
    TextureImage result;
    result.faces.push_back(MipChain{});
    result.faces[0].push_back(std::move(image));
    return result;
}

}  // namespace

ImageResult<TextureImage> LoadImageFromMemory(const uint8_t* data, size_t size, std::string_view name) {
    const std::string file(name);
    if (data == nullptr || size == 0) return ImageResult<TextureImage>::Fail(file + ": empty file");
    if (IsDds(data, size)) return ReadDds(data, size, file);
    return DecodeWithStb(data, size, file);
}

ImageResult<TextureImage> LoadImageFromFile(std::string_view path) {
    if (auto prefetched = TakePrefetchedImage(path)) return std::move(*prefetched);
    return DecodeImageFile(path);
}

ImageResult<TextureImage> DecodeImageFile(std::string_view path) {
    auto bytes = ReadFileBytes(path);
    if (!bytes) return ImageResult<TextureImage>::Fail(bytes.error());
    return LoadImageFromMemory(bytes->data(), bytes->size(), path);
}

}  // namespace velor
