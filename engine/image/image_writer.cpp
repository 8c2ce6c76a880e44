#include "engine/image/image_writer.h"

#include <stb/stb_image_write.h>

#include <algorithm>
#include <climits>
#include <string>

#include "engine/image/file_bytes.h"

namespace velor {

namespace {

using Encoded = ImageResult<std::vector<uint8_t>>;

enum class Format { Png, Jpeg, Tga };

const char* FormatName(Format format) {
    switch (format) {
    case Format::Png: return "PNG";
    case Format::Jpeg: return "JPEG";
    case Format::Tga: return "TGA";
    }
    return "";
}

void AppendBytes(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<uint8_t>*>(context);
    const auto* bytes = static_cast<const uint8_t*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

Encoded Encode(const Image& image, Format format, int quality) {
    const std::string prefix = std::string("cannot write ") + FormatName(format) + ": ";
    if (image.width == 0 || image.height == 0) return Encoded::Fail(prefix + "empty image");
    if (image.pixels.size() != size_t(image.width) * image.height)
        return Encoded::Fail(prefix + std::to_string(image.pixels.size()) + " pixels for a " +
                             std::to_string(image.width) + "x" + std::to_string(image.height) + " image");
    if (image.width > kMaxTextureSide * 4 || image.height > kMaxTextureSide * 4)
        return Encoded::Fail(prefix + "image too large");

    // stb_image_write takes 8-bit RGBA bytes.
    std::vector<uint8_t> rgba(image.pixels.size() * 4);
    uint8_t* p = rgba.data();
    for (uint32_t pixel : image.pixels) {
        *p++ = uint8_t(RedOf(pixel));
        *p++ = uint8_t(GreenOf(pixel));
        *p++ = uint8_t(BlueOf(pixel));
        *p++ = uint8_t(AlphaOf(pixel));
    }
    const int w = int(image.width), h = int(image.height);
    std::vector<uint8_t> out;
    int written = 0;
    switch (format) {
    case Format::Png: written = stbi_write_png_to_func(AppendBytes, &out, w, h, 4, rgba.data(), w * 4); break;
    case Format::Jpeg:
        written = stbi_write_jpg_to_func(AppendBytes, &out, w, h, 4, rgba.data(), std::clamp(quality, 1, 100));
        break;
    case Format::Tga: written = stbi_write_tga_to_func(AppendBytes, &out, w, h, 4, rgba.data()); break;
    }
    if (!written || out.empty()) return Encoded::Fail(prefix + "encoder failed");
    return out;
}

ImageStatus Write(std::string_view path, const Encoded& bytes) {
    if (!bytes) return ImageStatus::Fail(std::string(path) + ": " + bytes.error());
    return WriteFileBytes(path, *bytes);
}

}  // namespace

ImageResult<std::vector<uint8_t>> EncodePng(const Image& image) { return Encode(image, Format::Png, 0); }
ImageResult<std::vector<uint8_t>> EncodeJpeg(const Image& image, int quality) {
    return Encode(image, Format::Jpeg, quality);
}
ImageResult<std::vector<uint8_t>> EncodeTga(const Image& image) { return Encode(image, Format::Tga, 0); }

ImageStatus WritePng(std::string_view path, const Image& image) { return Write(path, EncodePng(image)); }
ImageStatus WriteJpeg(std::string_view path, const Image& image, int quality) {
    return Write(path, EncodeJpeg(image, quality));
}
ImageStatus WriteTga(std::string_view path, const Image& image) { return Write(path, EncodeTga(image)); }

}  // namespace velor
