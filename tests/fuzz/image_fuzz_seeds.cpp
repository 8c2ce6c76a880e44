// Writes a small starting corpus for the image fuzz targets into the folder given as the only
// argument: a DDS file of each supported layout (A8R8G8B8 with mips, cube map, DXT1/3/5, 24-bit,
// A8B8G8R8) and small PNG, JPEG and TGA files. Generated, so no binary file lives in the tree.

#include <cstdio>
#include <string>
#include <vector>

#include "engine/image/dds_format.h"
#include "engine/image/dds_writer.h"
#include "engine/image/file_bytes.h"
#include "engine/image/image_ops.h"
#include "engine/image/image_writer.h"

namespace {

using namespace velor;
using Bytes = std::vector<uint8_t>;

Image Pattern(uint32_t w, uint32_t h, uint32_t seed) {
    Image image(w, h);
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x)
            image.At(x, y) = PackArgb((x * 37 + seed) & 0xFF, (y * 53 + seed) & 0xFF, (x * y * 11) & 0xFF, x ^ y);
    return image;
}

// A hand-made header for the layouts the writer does not produce, followed by deterministic bytes.
Bytes HeaderOnly(uint32_t w, uint32_t h, uint32_t mips, uint32_t pfFlags, uint32_t fourCC, uint32_t bits,
                 uint32_t r, uint32_t g, uint32_t b, uint32_t a, size_t payload) {
    Bytes bytes(dds::kDataOffset + payload);
    uint8_t* p = bytes.data();
    dds::WriteU32(p, dds::kMagic);
    dds::WriteU32(p + dds::kOffSize, dds::kHeaderSize);
    dds::WriteU32(p + dds::kOffFlags, dds::DDSD_CAPS | dds::DDSD_WIDTH | dds::DDSD_HEIGHT | dds::DDSD_PIXELFORMAT |
                                          (mips > 1 ? dds::DDSD_MIPMAPCOUNT : 0));
    dds::WriteU32(p + dds::kOffHeight, h);
    dds::WriteU32(p + dds::kOffWidth, w);
    dds::WriteU32(p + dds::kOffMipMapCount, mips);
    dds::WriteU32(p + dds::kOffPfSize, dds::kPixelFormatSize);
    dds::WriteU32(p + dds::kOffPfFlags, pfFlags);
    dds::WriteU32(p + dds::kOffPfFourCC, fourCC);
    dds::WriteU32(p + dds::kOffPfRgbBitCount, bits);
    dds::WriteU32(p + dds::kOffPfRMask, r);
    dds::WriteU32(p + dds::kOffPfGMask, g);
    dds::WriteU32(p + dds::kOffPfBMask, b);
    dds::WriteU32(p + dds::kOffPfAMask, a);
    dds::WriteU32(p + dds::kOffCaps, dds::DDSCAPS_TEXTURE);
    uint32_t state = 12345;
    for (size_t i = dds::kDataOffset; i < bytes.size(); ++i) {
        state = state * 1103515245u + 12345u;
        bytes[i] = uint8_t(state >> 16);
    }
    return bytes;
}

bool Save(const std::string& dir, const char* name, const ImageResult<Bytes>& bytes) {
    if (!bytes) {
        std::fprintf(stderr, "%s: %s\n", name, bytes.error().c_str());
        return false;
    }
    const ImageStatus status = WriteFileBytes(dir + "/" + name, *bytes);
    if (!status) std::fprintf(stderr, "%s\n", status.error.c_str());
    return status.ok();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    CubeImage cube;
    for (uint32_t f = 0; f < kCubeFaceCount; ++f) cube.faces[f] = GenerateMipChain(Pattern(4, 4, f * 40), 0);

    bool ok = true;
    ok &= Save(dir, "argb_mips.dds", EncodeDds(GenerateMipChain(Pattern(8, 4, 1), 0)));
    ok &= Save(dir, "cube.dds", EncodeCubeDds(cube));
    // 8 x 8 with mips 8, 4, 2, 1: 4 + 1 + 1 + 1 blocks.
    ok &= Save(dir, "dxt1.dds", HeaderOnly(8, 8, 4, dds::DDPF_FOURCC, dds::kFourCCDxt1, 0, 0, 0, 0, 0, 7 * 8));
    ok &= Save(dir, "dxt3.dds", HeaderOnly(8, 8, 4, dds::DDPF_FOURCC, dds::kFourCCDxt3, 0, 0, 0, 0, 0, 7 * 16));
    ok &= Save(dir, "dxt5.dds", HeaderOnly(8, 8, 4, dds::DDPF_FOURCC, dds::kFourCCDxt5, 0, 0, 0, 0, 0, 7 * 16));
    ok &= Save(dir, "rgb24.dds", HeaderOnly(5, 3, 1, dds::DDPF_RGB, 0, 24, 0xFF0000, 0xFF00, 0xFF, 0, 5 * 3 * 3));
    ok &= Save(dir, "abgr.dds",
               HeaderOnly(4, 4, 1, dds::DDPF_RGB | dds::DDPF_ALPHAPIXELS, 0, 32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000, 64));
    ok &= Save(dir, "small.png", EncodePng(Pattern(7, 5, 3)));
    ok &= Save(dir, "small.jpg", EncodeJpeg(Pattern(9, 9, 4), 80));
    ok &= Save(dir, "small.tga", EncodeTga(Pattern(6, 3, 5)));
    return ok ? 0 : 1;
}
