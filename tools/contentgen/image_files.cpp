#include "tools/contentgen/image_files.h"

#include <stb_image_write.h>

#include "engine/image/dds_writer.h"

namespace velor::content {
namespace {

void AppendBytes(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<uint8_t>*>(context);
    const auto* p = static_cast<const uint8_t*>(data);
    out->insert(out->end(), p, p + size);
}

}  // namespace

Blob EncodePngFile(const Canvas& c, int channels, bool dither) {
    const std::vector<uint8_t> px = ToBytes(c, channels, dither);
    Blob out;
    if (!stbi_write_png_to_func(AppendBytes, &out.bytes, c.Width(), c.Height(), channels, px.data(),
                                c.Width() * channels)) {
        return Blob::Fail("PNG encoder failed");
    }
    return out;
}

Blob EncodeJpegFile(const Canvas& c, int quality, bool dither) {
    const std::vector<uint8_t> px = ToBytes(c, 3, dither);
    Blob out;
    if (!stbi_write_jpg_to_func(AppendBytes, &out.bytes, c.Width(), c.Height(), 3, px.data(), quality)) {
        return Blob::Fail("JPEG encoder failed");
    }
    return out;
}

Blob EncodeTgaFile(const Canvas& c, int channels, bool dither) {
    const std::vector<uint8_t> px = ToBytes(c, channels, dither);
    // Run-length coding is optional in TGA and not every reader of the format has it.
    stbi_write_tga_with_rle = 0;
    Blob out;
    if (!stbi_write_tga_to_func(AppendBytes, &out.bytes, c.Width(), c.Height(), channels, px.data())) {
        return Blob::Fail("TGA encoder failed");
    }
    return out;
}

Blob EncodeDdsFile(const Canvas& c, bool dither) {
    ImageResult<std::vector<uint8_t>> bytes = EncodeDds(BuildMipChain(ToArgbImage(c, dither)));
    if (!bytes) return Blob::Fail(bytes.error());
    return Blob{std::move(*bytes), {}};
}

Blob EncodeCubeDdsFile(const std::array<Canvas, 6>& faces, bool dither) {
    CubeImage cube;
    for (size_t f = 0; f < faces.size(); ++f) cube.faces[f] = BuildMipChain(ToArgbImage(faces[f], dither));
    ImageResult<std::vector<uint8_t>> bytes = EncodeCubeDds(cube);
    if (!bytes) return Blob::Fail(bytes.error());
    return Blob{std::move(*bytes), {}};
}

}  // namespace velor::content
