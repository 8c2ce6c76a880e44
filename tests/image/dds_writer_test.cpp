// The DDS writer: files the reader (and other DDS readers) take back unchanged, refusals of
// malformed chains.

#include "engine/image/dds_writer.h"

#include <gtest/gtest.h>

#include "engine/image/dds_reader.h"
#include "engine/image/image_ops.h"
#include "tests/image/image_test_support.h"

namespace velor {
namespace {

using test::Bytes;
using test::GetU32;

Image Gradient(uint32_t w, uint32_t h, uint32_t seed) {
    Image image(w, h);
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x) image.At(x, y) = PackArgb((seed * 7 + x) & 0xFF, x * 16, y * 16, seed);
    return image;
}

TEST(DdsWriter, HeaderDescribesA8R8G8B8WithMipsAndPixelsAreStoredBgra) {
    const MipChain chain = GenerateMipChain(Gradient(8, 4, 1), 0);
    const auto bytes = EncodeDds(chain);
    ASSERT_TRUE(bytes.ok()) << bytes.error();
    const Bytes& b = *bytes;
    ASSERT_EQ(b.size(), 128u + 4 * (32 + 8 + 2 + 1));
    EXPECT_EQ(GetU32(b, 0), 0x20534444u);    // "DDS "
    EXPECT_EQ(GetU32(b, 4), 124u);
    EXPECT_EQ(GetU32(b, 8) & 0x2100F, 0x2100Fu);  // CAPS HEIGHT WIDTH PITCH PIXELFORMAT MIPMAPCOUNT
    EXPECT_EQ(GetU32(b, 12), 4u);            // height
    EXPECT_EQ(GetU32(b, 16), 8u);            // width
    EXPECT_EQ(GetU32(b, 20), 32u);           // pitch
    EXPECT_EQ(GetU32(b, 28), 4u);            // mip count
    EXPECT_EQ(GetU32(b, 76), 32u);
    EXPECT_EQ(GetU32(b, 80), 0x41u);         // RGB | ALPHAPIXELS
    EXPECT_EQ(GetU32(b, 88), 32u);
    EXPECT_EQ(GetU32(b, 92), 0x00FF0000u);
    EXPECT_EQ(GetU32(b, 96), 0x0000FF00u);
    EXPECT_EQ(GetU32(b, 100), 0x000000FFu);
    EXPECT_EQ(GetU32(b, 104), 0xFF000000u);
    EXPECT_EQ(GetU32(b, 108), 0x401008u);    // TEXTURE | COMPLEX | MIPMAP
    EXPECT_EQ(GetU32(b, 112), 0u);
    const uint32_t first = chain[0].pixels[0];
    EXPECT_EQ(b[128], BlueOf(first));
    EXPECT_EQ(b[129], GreenOf(first));
    EXPECT_EQ(b[130], RedOf(first));
    EXPECT_EQ(b[131], AlphaOf(first));
}

TEST(DdsWriter, TwoDimensionalChainRoundTrips) {
    const MipChain chain = GenerateMipChain(Gradient(6, 3, 9), 0);
    const auto bytes = EncodeDds(chain);
    ASSERT_TRUE(bytes.ok()) << bytes.error();
    const auto back = ReadDds(bytes->data(), bytes->size(), "rt.dds");
    ASSERT_TRUE(back.ok()) << back.error();
    ASSERT_FALSE(back->isCube);
    ASSERT_EQ(back->faces[0].size(), chain.size());
    for (size_t i = 0; i < chain.size(); ++i) EXPECT_EQ(back->faces[0][i].pixels, chain[i].pixels) << "level " << i;
}

TEST(DdsWriter, SingleLevelHasNoMipFlags) {
    const auto bytes = EncodeDds({Gradient(2, 2, 3)});
    ASSERT_TRUE(bytes.ok()) << bytes.error();
    EXPECT_EQ(GetU32(*bytes, 8) & 0x20000, 0u);
    EXPECT_EQ(GetU32(*bytes, 108), 0x1000u);
}

TEST(DdsWriter, CubeMapRoundTripsThroughAFile) {
    CubeImage cube;
    for (uint32_t f = 0; f < kCubeFaceCount; ++f) cube.faces[f] = GenerateMipChain(Gradient(4, 4, 10 + f), 0);
    const auto bytes = EncodeCubeDds(cube);
    ASSERT_TRUE(bytes.ok()) << bytes.error();
    EXPECT_EQ(GetU32(*bytes, 112), 0xFE00u);  // CUBEMAP and all six faces
    EXPECT_EQ(GetU32(*bytes, 108) & 0x8, 0x8u);

    test::TempDir dir;
    const std::string path = dir.File("cube.dds");
    ASSERT_TRUE(WriteCubeDds(path, cube).ok());
    const Bytes file = test::ReadBytes(path);
    EXPECT_EQ(file, *bytes);
    const auto back = ReadDds(file.data(), file.size(), path);
    ASSERT_TRUE(back.ok()) << back.error();
    ASSERT_TRUE(back->isCube);
    for (uint32_t f = 0; f < kCubeFaceCount; ++f) {
        ASSERT_EQ(back->faces[f].size(), 3u);
        for (size_t i = 0; i < 3; ++i) EXPECT_EQ(back->faces[f][i].pixels, cube.faces[f][i].pixels);
    }
}

TEST(DdsWriter, RefusesMalformedChains) {
    Image wrongCount = Gradient(2, 2, 0);
    wrongCount.pixels.pop_back();
    struct {
        const char* name;
        MipChain chain;
        std::string message;
    } cases[] = {
        {"empty chain", {}, "cannot write DDS: no mip levels"},
        {"empty top level", {Image{}}, "cannot write DDS: level 0 is empty"},
        {"level not half the one above", {Gradient(8, 8, 0), Gradient(3, 4, 0)},
         "cannot write DDS: level 1 is 3x4, expected 4x4"},
        {"pixel count does not match size", {wrongCount}, "cannot write DDS: level 0 holds 3 pixels, expected 4"},
        {"levels past 1x1", {Gradient(2, 1, 0), Gradient(1, 1, 0), Gradient(1, 1, 0)},
         "cannot write DDS: more levels than a chain down to 1x1"},
        {"too large", {Image(kMaxTextureSide + 1, 1)}, "cannot write DDS: level 0 is 8193x1, larger than 8192"},
    };
    for (const auto& c : cases) {
        const auto bytes = EncodeDds(c.chain);
        ASSERT_FALSE(bytes.ok()) << c.name;
        EXPECT_EQ(bytes.error(), c.message) << c.name;
    }
}

TEST(DdsWriter, RefusesCubesWithUnequalOrNonSquareFaces) {
    CubeImage cube;
    for (auto& face : cube.faces) face = {Gradient(4, 4, 0)};
    cube.faces[3] = {Gradient(2, 2, 0)};
    auto bytes = EncodeCubeDds(cube);
    ASSERT_FALSE(bytes.ok());
    EXPECT_EQ(bytes.error(), "cannot write cube DDS: face -Y: size or level count differs from face +X");

    for (auto& face : cube.faces) face = {Gradient(4, 2, 0)};
    bytes = EncodeCubeDds(cube);
    ASSERT_FALSE(bytes.ok());
    EXPECT_EQ(bytes.error(), "cannot write cube DDS: face +X: faces are not square (4x2)");
}

TEST(DdsWriter, WriteFailureNamesThePath) {
    test::TempDir dir;
    const std::string path = dir.File("missing-folder/out.dds");
    const ImageStatus status = WriteDds(path, {Gradient(2, 2, 0)});
    ASSERT_FALSE(status.ok());
    EXPECT_EQ(status.error, path + ": cannot write file: No such file or directory");
}

}  // namespace
}  // namespace velor
