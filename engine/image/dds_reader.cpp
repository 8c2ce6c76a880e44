#include "engine/image/dds_reader.h"

#include <cstdio>
#include <string>
#include <vector>

#include "engine/image/dds_format.h"
#include "engine/image/dxt_blocks.h"
#include "engine/image/image_ops.h"

namespace velor {

using namespace dds;

namespace {

const char* const kFaceNames[kCubeFaceCount] = {"+X", "-X", "+Y", "-Y", "+Z", "-Z"};

std::string Hex(uint32_t v) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", v);
    return text;
}

std::string DescribeFourCC(uint32_t code) {
    std::string text;
    for (int i = 0; i < 4; ++i) {
        const char c = char((code >> (8 * i)) & 0xFF);
        if (c < 0x20 || c > 0x7E) return Hex(code);
        text += c;
    }
    return "'" + text + "'";
}

// How the pixels of every level are stored.
struct PixelLayout {
    bool compressed = false;
    DxtFormat dxt = DxtFormat::Dxt1;  // when compressed
    uint32_t bytesPerPixel = 0;       // 3 or 4 when not compressed
    uint32_t shiftR = 0, shiftG = 0, shiftB = 0, shiftA = 0;
    bool hasAlpha = false;            // false: alpha is 0xFF
};

// One level's place in the file, found and checked before anything is decoded.
struct LevelExtent {
    uint32_t width, height;
    uint64_t offset, bytes;
};

// A channel mask we decode: one whole byte of the pixel word. Gives its shift, or -1.
int ByteMaskShift(uint32_t mask, uint32_t bytesPerPixel) {
    for (uint32_t byte = 0; byte < bytesPerPixel; ++byte)
        if (mask == 0xFFu << (8 * byte)) return int(8 * byte);
    return -1;
}

PixelLayout MaskLayout(uint32_t bits, uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
    PixelLayout layout;
    layout.bytesPerPixel = bits / 8;
    layout.shiftR = uint32_t(ByteMaskShift(r, layout.bytesPerPixel));
    layout.shiftG = uint32_t(ByteMaskShift(g, layout.bytesPerPixel));
    layout.shiftB = uint32_t(ByteMaskShift(b, layout.bytesPerPixel));
    layout.hasAlpha = a != 0;
    if (layout.hasAlpha) layout.shiftA = uint32_t(ByteMaskShift(a, layout.bytesPerPixel));
    return layout;
}

// Fills `layout` from the DDS_PIXELFORMAT, or returns why the format is refused.
std::string ReadPixelFormat(const uint8_t* header, PixelLayout& layout) {
    const uint32_t flags = ReadU32(header + kOffPfFlags);
    const uint32_t fourCC = ReadU32(header + kOffPfFourCC);
    if (flags & DDPF_FOURCC) {
        switch (fourCC) {
        case kFourCCDxt1: layout.compressed = true; layout.dxt = DxtFormat::Dxt1; return {};
        case kFourCCDxt3: layout.compressed = true; layout.dxt = DxtFormat::Dxt3; return {};
        case kFourCCDxt5: layout.compressed = true; layout.dxt = DxtFormat::Dxt5; return {};
        case D3DFMT_R8G8B8: layout = MaskLayout(24, 0xFF0000, 0xFF00, 0xFF, 0); return {};
        case D3DFMT_A8R8G8B8: layout = MaskLayout(32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000); return {};
        case D3DFMT_X8R8G8B8: layout = MaskLayout(32, 0xFF0000, 0xFF00, 0xFF, 0); return {};
        case D3DFMT_A8B8G8R8: layout = MaskLayout(32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000); return {};
        case D3DFMT_X8B8G8R8: layout = MaskLayout(32, 0xFF, 0xFF00, 0xFF0000, 0); return {};
        case kFourCCDx10: return "DX10 extended headers are not supported";
        default: return "unsupported format FourCC " + DescribeFourCC(fourCC);
        }
    }
    if (!(flags & DDPF_RGB)) return "unsupported pixel format (flags " + Hex(flags) + ", not RGB or FourCC)";

    const uint32_t bits = ReadU32(header + kOffPfRgbBitCount);
    const uint32_t r = ReadU32(header + kOffPfRMask), g = ReadU32(header + kOffPfGMask);
    const uint32_t b = ReadU32(header + kOffPfBMask);
    const uint32_t a = (flags & DDPF_ALPHAPIXELS) ? ReadU32(header + kOffPfAMask) : 0;
    const std::string described = std::to_string(bits) + "-bit RGB with masks R " + Hex(r) + " G " + Hex(g) +
                                  " B " + Hex(b) + " A " + Hex(a);
    if (bits != 24 && bits != 32) return "unsupported pixel format: " + described;
    const uint32_t bytes = bits / 8;
    const int sr = ByteMaskShift(r, bytes), sg = ByteMaskShift(g, bytes), sb = ByteMaskShift(b, bytes);
    const int sa = a ? ByteMaskShift(a, bytes) : -2;
    if (sr < 0 || sg < 0 || sb < 0 || sa == -1 || sr == sg || sr == sb || sg == sb || sa == sr || sa == sg ||
        sa == sb)
        return "unsupported pixel format: " + described;
    layout = MaskLayout(bits, r, g, b, a);
    return {};
}

Image DecodeUncompressed(const PixelLayout& layout, const uint8_t* data, uint32_t width, uint32_t height) {
    Image image(width, height);
    const uint32_t bpp = layout.bytesPerPixel;
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        const uint8_t* p = data + i * bpp;
        const uint32_t word = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 |
                              (bpp == 4 ? uint32_t(p[3]) << 24 : 0);
        const uint32_t alpha = layout.hasAlpha ? (word >> layout.shiftA) & 0xFF : 0xFF;
        image.pixels[i] = PackArgb(alpha, (word >> layout.shiftR) & 0xFF, (word >> layout.shiftG) & 0xFF,
                                   (word >> layout.shiftB) & 0xFF);
    }
    return image;
}

}  // namespace

bool IsDds(const uint8_t* data, size_t size) { return size >= 4 && ReadU32(data) == kMagic; }

ImageResult<TextureImage> ReadDds(const uint8_t* data, size_t size, std::string_view name) {
    const std::string file(name);
    auto fail = [&](const std::string& why) { return ImageResult<TextureImage>::Fail(file + ": " + why); };

    if (!IsDds(data, size)) return fail("not a DDS file (no \"DDS \" magic)");
    if (size < kDataOffset)
        return fail("truncated: header needs " + std::to_string(kDataOffset) + " bytes, file has " +
                    std::to_string(size));
    if (ReadU32(data + kOffSize) != kHeaderSize)
        return fail("bad header size " + std::to_string(ReadU32(data + kOffSize)) + " (expected 124)");
    if (ReadU32(data + kOffPfSize) != kPixelFormatSize)
        return fail("bad pixel format size " + std::to_string(ReadU32(data + kOffPfSize)) + " (expected 32)");

    const uint32_t width = ReadU32(data + kOffWidth), height = ReadU32(data + kOffHeight);
    if (width == 0 || height == 0)
        return fail("zero " + std::string(width == 0 ? "width" : "height") + " (" + std::to_string(width) + "x" +
                    std::to_string(height) + ")");
    if (width > kMaxTextureSide || height > kMaxTextureSide)
        return fail("size " + std::to_string(width) + "x" + std::to_string(height) + " exceeds the largest texture side " +
                    std::to_string(kMaxTextureSide));

    const uint32_t caps2 = ReadU32(data + kOffCaps2);
    const uint32_t depth = ReadU32(data + kOffDepth);
    if ((caps2 & DDSCAPS2_VOLUME) || ((ReadU32(data + kOffFlags) & DDSD_DEPTH) && depth > 1))
        return fail("volume textures are not supported");

    const bool isCube = (caps2 & DDSCAPS2_CUBEMAP) != 0;
    uint32_t faceCount = 1;
    if (isCube) {
        std::string missing;
        uint32_t present = 0;
        for (uint32_t f = 0; f < kCubeFaceCount; ++f) {
            if (caps2 & (DDSCAPS2_CUBEMAP_POSITIVEX << f)) {
                ++present;
            } else {
                missing += (missing.empty() ? "" : ", ") + std::string(kFaceNames[f]);
            }
        }
        if (present != kCubeFaceCount)
            return fail("cube map has only " + std::to_string(present) + " of 6 faces (missing " + missing + ")");
        if (width != height)
            return fail("cube map faces are not square (" + std::to_string(width) + "x" + std::to_string(height) + ")");
        faceCount = kCubeFaceCount;
    }

    PixelLayout layout;
    if (std::string why = ReadPixelFormat(data, layout); !why.empty()) return fail(why);

    const uint32_t claimedLevels = ReadU32(data + kOffMipMapCount);
    const uint32_t levelCount = claimedLevels == 0 ? 1 : claimedLevels;
    const uint32_t maxLevels = FullMipLevelCount(width, height);
    if (levelCount > maxLevels)
        return fail("claims " + std::to_string(levelCount) + " mip levels; a " + std::to_string(width) + "x" +
                    std::to_string(height) + " image has at most " + std::to_string(maxLevels));

    // Lay out every level of every face and check it lies inside the file before decoding any.
    std::vector<LevelExtent> extents;
    extents.reserve(size_t(faceCount) * levelCount);
    uint64_t offset = kDataOffset;
    for (uint32_t f = 0; f < faceCount; ++f) {
        uint32_t w = width, h = height;
        for (uint32_t level = 0; level < levelCount; ++level) {
            const uint64_t bytes = layout.compressed ? DxtLevelBytes(layout.dxt, w, h)
                                                     : uint64_t(w) * h * layout.bytesPerPixel;
            if (offset + bytes > size) {
                const std::string where = isCube ? "face " + std::string(kFaceNames[f]) + " level " : "level ";
                return fail("truncated: " + where + std::to_string(level) + " needs " + std::to_string(bytes) +
                            " bytes at offset " + std::to_string(offset) + ", file has " + std::to_string(size));
            }
            extents.push_back({w, h, offset, bytes});
            offset += bytes;
            w = w > 1 ? w / 2 : 1;
            h = h > 1 ? h / 2 : 1;
        }
    }

    TextureImage result;
    result.isCube = isCube;
    result.faces.resize(faceCount);
    size_t next = 0;
    for (MipChain& face : result.faces) {
        face.reserve(levelCount);
        for (uint32_t level = 0; level < levelCount; ++level, ++next) {
            const LevelExtent& e = extents[next];
            const uint8_t* pixels = data + e.offset;
            face.push_back(layout.compressed ? DecodeDxtImage(layout.dxt, pixels, e.width, e.height)
                                             : DecodeUncompressed(layout, pixels, e.width, e.height));
        }
    }
    return result;
}

}  // namespace velor
