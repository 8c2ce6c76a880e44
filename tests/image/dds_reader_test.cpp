// DDS decoding: every supported format to known pixels, mip levels, cube faces, and refusal of
// files whose header claims more than they hold.

#include "engine/image/dds_reader.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "tests/image/image_test_support.h"

namespace velor {
namespace {

using test::Bytes;
using test::DdsHeader;
using test::ExactBuffer;

ImageResult<TextureImage> Read(const Bytes& bytes, const char* name = "t.dds") {
    ExactBuffer exact(bytes);
    return ReadDds(exact.data(), exact.size(), name);
}

// ---- DXT block encoders (what a compressor would emit) --------------------------------------------

Bytes ColourBlock(uint16_t c0, uint16_t c1, const std::array<uint8_t, 16>& indices) {
    uint32_t bits = 0;
    for (int i = 0; i < 16; ++i) bits |= uint32_t(indices[i] & 3) << (2 * i);
    Bytes block = {uint8_t(c0), uint8_t(c0 >> 8), uint8_t(c1), uint8_t(c1 >> 8)};
    test::AppendU32(block, bits);
    return block;
}

Bytes Dxt3AlphaBlock(const std::array<uint8_t, 16>& alpha4) {
    Bytes block(8);
    for (int i = 0; i < 16; ++i) block[i / 2] |= uint8_t((alpha4[i] & 0xF) << (4 * (i % 2)));
    return block;
}

Bytes Dxt5AlphaBlock(uint8_t a0, uint8_t a1, const std::array<uint8_t, 16>& codes) {
    uint64_t bits = 0;
    for (int i = 0; i < 16; ++i) bits |= uint64_t(codes[i] & 7) << (3 * i);
    Bytes block = {a0, a1};
    for (int i = 0; i < 6; ++i) block.push_back(uint8_t(bits >> (8 * i)));
    return block;
}

std::array<uint8_t, 16> Pattern(uint8_t modulo) {
    std::array<uint8_t, 16> p{};
    for (int i = 0; i < 16; ++i) p[i] = uint8_t(i % modulo);
    return p;
}

// Colour part used by the DXT3/5 tests: black and white end points with c0 < c1, indices 0..3 by column.
// In DXT1 this order would select three colours and transparent black; DXT3/5 must still give four.
const Bytes kGreyRamp = ColourBlock(0x0000, 0xFFFF, Pattern(4));
const uint32_t kGreyRampRgb[4] = {0x000000, 0xFFFFFF, 0x555555, 0xAAAAAA};

void ExpectSingleLevel(const ImageResult<TextureImage>& result, uint32_t w, uint32_t h) {
    ASSERT_TRUE(result.ok()) << result.error();
    ASSERT_FALSE(result->isCube);
    ASSERT_EQ(result->faces.size(), 1u);
    ASSERT_EQ(result->faces[0].size(), 1u);
    ASSERT_EQ(result->Top().width, w);
    ASSERT_EQ(result->Top().height, h);
}

// ---- Uncompressed formats ------------------------------------------------------------------------------

struct UncompressedCase {
    const char* name;
    DdsHeader header;
    Bytes payload;
    std::vector<uint32_t> expected;  // 3 x 2 pixels
};

DdsHeader Masks(uint32_t bits, uint32_t pfFlags, uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
    DdsHeader h;
    h.width = 3;
    h.height = 2;
    h.bitCount = bits;
    h.pfFlags = pfFlags;
    h.rMask = r, h.gMask = g, h.bMask = b, h.aMask = a;
    return h;
}

DdsHeader D3dFormatCode(uint32_t code) {
    DdsHeader h = test::DxtHeader("DXT1", 3, 2);
    h.fourCC = code;
    return h;
}

const std::vector<uint32_t> kArgbPixels = {0x80112233, 0xFF445566, 0x00778899, 0x01AABBCC, 0x7FDDEEFF, 0xFE010203};

Bytes Stored(const std::vector<uint32_t>& pixels, int bytesPerPixel, bool abgr) {
    Bytes out;
    for (uint32_t p : pixels) {
        const uint8_t a = uint8_t(p >> 24), r = uint8_t(p >> 16), g = uint8_t(p >> 8), b = uint8_t(p);
        if (abgr) {
            out.insert(out.end(), {r, g, b, a});
        } else {
            out.insert(out.end(), {b, g, r});
            if (bytesPerPixel == 4) out.push_back(a);
        }
    }
    return out;
}

std::vector<uint32_t> Opaque(std::vector<uint32_t> pixels) {
    for (uint32_t& p : pixels) p |= 0xFF000000;
    return pixels;
}

TEST(DdsReader, DecodesEachUncompressedFormat) {
    const UncompressedCase cases[] = {
        {"A8R8G8B8", Masks(32, 0x41, 0xFF0000, 0xFF00, 0xFF, 0xFF000000), Stored(kArgbPixels, 4, false), kArgbPixels},
        {"X8R8G8B8 (no alpha flag, alpha bytes ignored)", Masks(32, 0x40, 0xFF0000, 0xFF00, 0xFF, 0xFF000000),
         Stored(kArgbPixels, 4, false), Opaque(kArgbPixels)},
        {"X8R8G8B8 (alpha flag, zero alpha mask)", Masks(32, 0x41, 0xFF0000, 0xFF00, 0xFF, 0),
         Stored(kArgbPixels, 4, false), Opaque(kArgbPixels)},
        {"A8B8G8R8", Masks(32, 0x41, 0xFF, 0xFF00, 0xFF0000, 0xFF000000), Stored(kArgbPixels, 4, true), kArgbPixels},
        {"R8G8B8 rows of 9 bytes, no padding", Masks(24, 0x40, 0xFF0000, 0xFF00, 0xFF, 0),
         Stored(kArgbPixels, 3, false), Opaque(kArgbPixels)},
        {"D3DFMT_A8R8G8B8 as FourCC", D3dFormatCode(21), Stored(kArgbPixels, 4, false), kArgbPixels},
        {"D3DFMT_X8R8G8B8 as FourCC", D3dFormatCode(22), Stored(kArgbPixels, 4, false), Opaque(kArgbPixels)},
        {"D3DFMT_R8G8B8 as FourCC", D3dFormatCode(20), Stored(kArgbPixels, 3, false), Opaque(kArgbPixels)},
        {"D3DFMT_A8B8G8R8 as FourCC", D3dFormatCode(32), Stored(kArgbPixels, 4, true), kArgbPixels},
    };
    for (const UncompressedCase& c : cases) {
        SCOPED_TRACE(c.name);
        const auto result = Read(test::MakeDds(c.header, c.payload));
        ExpectSingleLevel(result, 3, 2);
        EXPECT_EQ(result->Top().pixels, c.expected);
    }
}

// ---- DXT ---------------------------------------------------------------------------------------------

TEST(DdsReader, Dxt1FourColourBlockInterpolatesThirds) {
    // c0 white > c1 black: four opaque colours; index = column.
    const auto result = Read(test::MakeDds(test::DxtHeader("DXT1", 4, 4), ColourBlock(0xFFFF, 0x0000, Pattern(4))));
    ExpectSingleLevel(result, 4, 4);
    const uint32_t columns[4] = {0xFFFFFFFF, 0xFF000000, 0xFFAAAAAA, 0xFF555555};
    for (uint32_t y = 0; y < 4; ++y)
        for (uint32_t x = 0; x < 4; ++x) EXPECT_EQ(result->Top().At(x, y), columns[x]) << x << "," << y;
}

TEST(DdsReader, Dxt1OneBitAlphaBlockGivesTransparentBlack) {
    // c0 <= c1 selects three colours and transparent black; equal end points count as that too.
    struct {
        uint16_t c0, c1;
        uint32_t columns[4];
    } cases[] = {
        {0x0000, 0x8000, {0xFF000000, 0xFF840000, 0xFF420000, 0x00000000}},  // black, red 132, half, none
        {0x8000, 0x8000, {0xFF840000, 0xFF840000, 0xFF840000, 0x00000000}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.c0);
        const auto result = Read(test::MakeDds(test::DxtHeader("DXT1", 4, 4), ColourBlock(c.c0, c.c1, Pattern(4))));
        ExpectSingleLevel(result, 4, 4);
        for (uint32_t y = 0; y < 4; ++y)
            for (uint32_t x = 0; x < 4; ++x) EXPECT_EQ(result->Top().At(x, y), c.columns[x]) << x << "," << y;
    }
}

TEST(DdsReader, Dxt3TakesExplicitAlphaAndAlwaysFourColours) {
    std::array<uint8_t, 16> alpha{};
    for (int i = 0; i < 16; ++i) alpha[i] = uint8_t(i);
    Bytes block = Dxt3AlphaBlock(alpha);
    test::Append(block, kGreyRamp);
    const auto result = Read(test::MakeDds(test::DxtHeader("DXT3", 4, 4), block));
    ExpectSingleLevel(result, 4, 4);
    for (uint32_t i = 0; i < 16; ++i)
        EXPECT_EQ(result->Top().pixels[i], (i * 17) << 24 | kGreyRampRgb[i % 4]) << "pixel " << i;
}

TEST(DdsReader, Dxt5InterpolatesAlphaInBothModes) {
    struct Case {
        uint8_t a0, a1;
        uint32_t table[8];
    } cases[] = {
        {224, 0, {224, 0, 192, 160, 128, 96, 64, 32}},   // a0 > a1: six interpolated values
        {0, 250, {0, 250, 50, 100, 150, 200, 0, 255}},   // a0 <= a1: four interpolated, then 0 and 255
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.a0));
        Bytes block = Dxt5AlphaBlock(c.a0, c.a1, Pattern(8));
        test::Append(block, kGreyRamp);
        const auto result = Read(test::MakeDds(test::DxtHeader("DXT5", 4, 4), block));
        ExpectSingleLevel(result, 4, 4);
        for (uint32_t i = 0; i < 16; ++i)
            EXPECT_EQ(result->Top().pixels[i], c.table[i % 8] << 24 | kGreyRampRgb[i % 4]) << "pixel " << i;
    }
}

TEST(DdsReader, DxtBlocksCoverImageRowByRowAndAreClippedAtEdges) {
    // 5 x 3: two blocks side by side; the second shows only its first column.
    Bytes payload = ColourBlock(0xFFFF, 0x0000, {});            // white everywhere
    test::Append(payload, ColourBlock(0xF800, 0x001F, Pattern(1)));  // index 0: red
    const auto result = Read(test::MakeDds(test::DxtHeader("DXT1", 5, 3), payload));
    ExpectSingleLevel(result, 5, 3);
    for (uint32_t y = 0; y < 3; ++y) {
        for (uint32_t x = 0; x < 4; ++x) EXPECT_EQ(result->Top().At(x, y), 0xFFFFFFFFu);
        EXPECT_EQ(result->Top().At(4, y), 0xFFFF0000u);
    }
}

// ---- Mip levels and cube maps ------------------------------------------------------------------

uint32_t LevelColour(uint32_t face, uint32_t level) { return 0xFF000000 | face << 16 | level << 8 | 0x42; }

TEST(DdsReader, ReadsEveryMipLevelInOrder) {
    DdsHeader h;
    h.width = 4;
    h.height = 2;
    h.mipCount = 3;
    Bytes payload;
    const uint32_t sizes[3][2] = {{4, 2}, {2, 1}, {1, 1}};
    for (uint32_t level = 0; level < 3; ++level)
        test::Append(payload, test::ArgbPayload(std::vector<uint32_t>(sizes[level][0] * sizes[level][1],
                                                                      LevelColour(0, level))));
    const auto result = Read(test::MakeDds(h, payload));
    ASSERT_TRUE(result.ok()) << result.error();
    ASSERT_EQ(result->faces[0].size(), 3u);
    for (uint32_t level = 0; level < 3; ++level) {
        const Image& image = result->faces[0][level];
        EXPECT_EQ(image.width, sizes[level][0]);
        EXPECT_EQ(image.height, sizes[level][1]);
        EXPECT_EQ(image.pixels, std::vector<uint32_t>(image.pixels.size(), LevelColour(0, level)));
    }
}

Bytes CubeFile(uint32_t faces, uint32_t caps2 = test::kCubeAllFaces) {
    DdsHeader h;
    h.width = h.height = 4;
    h.mipCount = 3;
    h.caps = 0x1000 | 0x8 | 0x400000;
    h.caps2 = caps2;
    Bytes payload;
    for (uint32_t f = 0; f < faces; ++f)
        for (uint32_t level = 0, side = 4; level < 3; ++level, side /= 2)
            test::Append(payload, test::ArgbPayload(std::vector<uint32_t>(side * side, LevelColour(f, level))));
    return test::MakeDds(h, payload);
}

TEST(DdsReader, CubeMapHasSixFacesInD3DOrderEachWithItsMips) {
    const auto result = Read(CubeFile(6));
    ASSERT_TRUE(result.ok()) << result.error();
    ASSERT_TRUE(result->isCube);
    ASSERT_EQ(result->faces.size(), 6u);
    for (uint32_t f = 0; f < 6; ++f) {
        ASSERT_EQ(result->faces[f].size(), 3u);
        for (uint32_t level = 0, side = 4; level < 3; ++level, side /= 2) {
            const Image& image = result->faces[f][level];
            EXPECT_EQ(image.width, side);
            EXPECT_EQ(image.height, side);
            EXPECT_EQ(image.pixels, std::vector<uint32_t>(side * side, LevelColour(f, level)))
                << "face " << f << " level " << level;
        }
    }
}

// ---- Refusals ----------------------------------------------------------------------------------

struct RefusalCase {
    const char* name;
    Bytes file;
    std::string message;  // the whole error text
};

DdsHeader With(void (*edit)(DdsHeader&)) {
    DdsHeader h;
    edit(h);
    return h;
}

Bytes Cut(Bytes bytes, size_t size) {
    bytes.resize(size);
    return bytes;
}

TEST(DdsReader, RefusesLyingOrTruncatedFilesWithClearMessages) {
    const Bytes good4x4 = test::MakeDds(DdsHeader{}, Bytes(64, 0x11));
    DdsHeader threeLevels;
    threeLevels.mipCount = 3;
    DdsHeader wideDxt = test::DxtHeader("DXT1", 8, 8);

    const RefusalCase cases[] = {
        {"shorter than the header", Cut(good4x4, 60), "t.dds: truncated: header needs 128 bytes, file has 60"},
        {"no magic", Bytes{'P', 'N', 'G', ' ', 0, 0}, "t.dds: not a DDS file (no \"DDS \" magic)"},
        {"header claims more than the file",
         test::MakeDds(With([](DdsHeader& h) { h.width = h.height = 4096; }), Bytes(72, 0)),
         "t.dds: truncated: level 0 needs 67108864 bytes at offset 128, file has 200"},
        {"65535 x 65535 on a 200-byte file",
         test::MakeDds(With([](DdsHeader& h) { h.width = h.height = 65535; }), Bytes(72, 0)),
         "t.dds: size 65535x65535 exceeds the largest texture side 8192"},
        {"zero width", test::MakeDds(With([](DdsHeader& h) { h.width = 0; }), Bytes(64, 0)),
         "t.dds: zero width (0x4)"},
        {"zero height", test::MakeDds(With([](DdsHeader& h) { h.height = 0; }), Bytes(64, 0)),
         "t.dds: zero height (4x0)"},
        {"absurd mip count", test::MakeDds(With([](DdsHeader& h) { h.mipCount = 40; }), Bytes(100, 0)),
         "t.dds: claims 40 mip levels; a 4x4 image has at most 3"},
        {"last mip level missing", test::MakeDds(threeLevels, Bytes(64 + 16, 0)),
         "t.dds: truncated: level 2 needs 4 bytes at offset 208, file has 208"},
        {"last mip level one byte short", test::MakeDds(threeLevels, Bytes(64 + 16 + 3, 0)),
         "t.dds: truncated: level 2 needs 4 bytes at offset 208, file has 211"},
        {"DXT1 level one byte short", test::MakeDds(wideDxt, Bytes(31, 0)),
         "t.dds: truncated: level 0 needs 32 bytes at offset 128, file has 159"},
        {"cube flag with missing faces", CubeFile(2, 0x200 | 0x400 | 0x800),
         "t.dds: cube map has only 2 of 6 faces (missing +Y, -Y, +Z, -Z)"},
        {"cube with only five faces of data", CubeFile(5),
         "t.dds: truncated: face -Z level 0 needs 64 bytes at offset 548, file has 548"},
        {"cube with non-square faces",
         test::MakeDds(With([](DdsHeader& h) { h.height = 2, h.caps2 = test::kCubeAllFaces; }), Bytes(6 * 32, 0)),
         "t.dds: cube map faces are not square (4x2)"},
        {"volume texture", test::MakeDds(With([](DdsHeader& h) { h.caps2 = 0x200000, h.depth = 4; }), Bytes(256, 0)),
         "t.dds: volume textures are not supported"},
        {"bad header size", test::MakeDds(With([](DdsHeader& h) { h.headerSize = 9999; }), Bytes(64, 0)),
         "t.dds: bad header size 9999 (expected 124)"},
        {"bad pixel format size", test::MakeDds(With([](DdsHeader& h) { h.pfSize = 0; }), Bytes(64, 0)),
         "t.dds: bad pixel format size 0 (expected 32)"},
        {"unknown FourCC", test::MakeDds(test::DxtHeader("ATI2", 4, 4), Bytes(16, 0)),
         "t.dds: unsupported format FourCC 'ATI2'"},
        {"DX10 header", test::MakeDds(test::DxtHeader("DX10", 4, 4), Bytes(64, 0)),
         "t.dds: DX10 extended headers are not supported"},
        {"16-bit RGB", test::MakeDds(Masks(16, 0x40, 0xF800, 0x7E0, 0x1F, 0), Bytes(12, 0)),
         "t.dds: unsupported pixel format: 16-bit RGB with masks R 0xF800 G 0x7E0 B 0x1F A 0x0"},
        {"two channels on one byte", test::MakeDds(Masks(32, 0x41, 0xFF0000, 0xFF0000, 0xFF, 0xFF000000), Bytes(24, 0)),
         "t.dds: unsupported pixel format: 32-bit RGB with masks R 0xFF0000 G 0xFF0000 B 0xFF A 0xFF000000"},
        {"luminance", test::MakeDds(With([](DdsHeader& h) { h.pfFlags = 0x20000; }), Bytes(16, 0)),
         "t.dds: unsupported pixel format (flags 0x20000, not RGB or FourCC)"},
    };
    for (const RefusalCase& c : cases) {
        SCOPED_TRACE(c.name);
        const auto result = Read(c.file);
        ASSERT_FALSE(result.ok());
        EXPECT_EQ(result.error(), c.message);
    }
}

TEST(DdsReader, EveryTruncationOfAValidCubeFileIsRefused) {
    const Bytes whole = CubeFile(6);
    ASSERT_TRUE(Read(whole).ok());
    for (size_t size = 0; size < whole.size(); ++size) {
        const auto result = Read(Cut(whole, size));
        ASSERT_FALSE(result.ok()) << "accepted " << size << " of " << whole.size() << " bytes";
        ASSERT_FALSE(result.error().empty());
    }
}

TEST(DdsReader, TrailingBytesAfterTheLastLevelAreIgnored) {
    Bytes file = test::MakeDds(DdsHeader{}, Bytes(64, 0x7F));
    file.resize(file.size() + 10, 0xEE);
    const auto result = Read(file);
    ExpectSingleLevel(result, 4, 4);
    EXPECT_EQ(result->Top().pixels[15], 0x7F7F7F7Fu);
}

}  // namespace
}  // namespace velor
