#include "engine/image/dds_writer.h"

#include <string>

#include "engine/image/dds_format.h"
#include "engine/image/file_bytes.h"

namespace velor {

using namespace dds;

namespace {

std::string SizeText(uint32_t w, uint32_t h) { return std::to_string(w) + "x" + std::to_string(h); }

// Empty when the chain is well formed, else why not.
std::string CheckChain(const MipChain& levels) {
    if (levels.empty()) return "no mip levels";
    const Image& top = levels[0];
    if (top.width == 0 || top.height == 0) return "level 0 is empty";
    if (top.width > kMaxTextureSide || top.height > kMaxTextureSide)
        return "level 0 is " + SizeText(top.width, top.height) + ", larger than " + std::to_string(kMaxTextureSide);
    uint32_t w = top.width, h = top.height;
    for (size_t i = 0; i < levels.size(); ++i) {
        const Image& level = levels[i];
        if (level.width != w || level.height != h)
            return "level " + std::to_string(i) + " is " + SizeText(level.width, level.height) + ", expected " +
                   SizeText(w, h);
        if (level.pixels.size() != size_t(w) * h)
            return "level " + std::to_string(i) + " holds " + std::to_string(level.pixels.size()) +
                   " pixels, expected " + std::to_string(size_t(w) * h);
        if (w == 1 && h == 1 && i + 1 < levels.size()) return "more levels than a chain down to 1x1";
        w = w > 1 ? w / 2 : 1;
        h = h > 1 ? h / 2 : 1;
    }
    return {};
}

std::vector<uint8_t> Encode(const MipChain* faces, uint32_t faceCount, bool isCube) {
    const Image& top = faces[0][0];
    const uint32_t levelCount = uint32_t(faces[0].size());
    size_t dataBytes = 0;
    for (uint32_t f = 0; f < faceCount; ++f)
        for (const Image& level : faces[f]) dataBytes += level.pixels.size() * 4;

    std::vector<uint8_t> bytes(kDataOffset + dataBytes, 0);
    uint8_t* h = bytes.data();
    uint32_t flags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PIXELFORMAT | DDSD_PITCH;
    uint32_t caps = DDSCAPS_TEXTURE;
    if (levelCount > 1) {
        flags |= DDSD_MIPMAPCOUNT;
        caps |= DDSCAPS_COMPLEX | DDSCAPS_MIPMAP;
    }
    if (isCube) caps |= DDSCAPS_COMPLEX;
    WriteU32(h, kMagic);
    WriteU32(h + kOffSize, kHeaderSize);
    WriteU32(h + kOffFlags, flags);
    WriteU32(h + kOffHeight, top.height);
    WriteU32(h + kOffWidth, top.width);
    WriteU32(h + kOffPitchOrLinearSize, top.width * 4);
    WriteU32(h + kOffMipMapCount, levelCount > 1 ? levelCount : 0);
    WriteU32(h + kOffPfSize, kPixelFormatSize);
    WriteU32(h + kOffPfFlags, DDPF_RGB | DDPF_ALPHAPIXELS);
    WriteU32(h + kOffPfRgbBitCount, 32);
    WriteU32(h + kOffPfRMask, 0x00FF0000);
    WriteU32(h + kOffPfGMask, 0x0000FF00);
    WriteU32(h + kOffPfBMask, 0x000000FF);
    WriteU32(h + kOffPfAMask, 0xFF000000);
    WriteU32(h + kOffCaps, caps);
    WriteU32(h + kOffCaps2, isCube ? DDSCAPS2_CUBEMAP | DDSCAPS2_CUBEMAP_ALLFACES : 0);

    // A8R8G8B8 in memory is the ARGB word little-endian: B, G, R, A.
    uint8_t* out = h + kDataOffset;
    for (uint32_t f = 0; f < faceCount; ++f)
        for (const Image& level : faces[f])
            for (uint32_t pixel : level.pixels) {
                WriteU32(out, pixel);
                out += 4;
            }
    return bytes;
}

}  // namespace

ImageResult<std::vector<uint8_t>> EncodeDds(const MipChain& levels) {
    if (std::string why = CheckChain(levels); !why.empty())
        return ImageResult<std::vector<uint8_t>>::Fail("cannot write DDS: " + why);
    return Encode(&levels, 1, false);
}

ImageResult<std::vector<uint8_t>> EncodeCubeDds(const CubeImage& cube) {
    static const char* const kFaceNames[kCubeFaceCount] = {"+X", "-X", "+Y", "-Y", "+Z", "-Z"};
    for (uint32_t f = 0; f < kCubeFaceCount; ++f) {
        const MipChain& face = cube.faces[f];
        std::string why = CheckChain(face);
        if (why.empty() && face[0].width != face[0].height)
            why = "faces are not square (" + SizeText(face[0].width, face[0].height) + ")";
        if (why.empty() && f > 0 &&
            (face[0].width != cube.faces[0][0].width || face.size() != cube.faces[0].size()))
            why = "size or level count differs from face +X";
        if (!why.empty())
            return ImageResult<std::vector<uint8_t>>::Fail("cannot write cube DDS: face " +
                                                           std::string(kFaceNames[f]) + ": " + why);
    }
    return Encode(cube.faces.data(), kCubeFaceCount, true);
}

ImageStatus WriteDds(std::string_view path, const MipChain& levels) {
    auto bytes = EncodeDds(levels);
    if (!bytes) return ImageStatus::Fail(std::string(path) + ": " + bytes.error());
    return WriteFileBytes(path, *bytes);
}

ImageStatus WriteCubeDds(std::string_view path, const CubeImage& cube) {
    auto bytes = EncodeCubeDds(cube);
    if (!bytes) return ImageStatus::Fail(std::string(path) + ": " + bytes.error());
    return WriteFileBytes(path, *bytes);
}

}  // namespace velor
