// The one-call texture loaders: D3DX size, mip and colour-key rules applied to real files.

#include "engine/image/texture_loader.h"

#include <gtest/gtest.h>

#include "engine/image/dds_writer.h"
#include "engine/image/image_ops.h"
#include "engine/image/image_writer.h"
#include "tests/image/image_test_support.h"

namespace velor {
namespace {

using test::SolidImage;

std::vector<std::pair<uint32_t, uint32_t>> Sizes(const MipChain& chain) {
    std::vector<std::pair<uint32_t, uint32_t>> sizes;
    for (const Image& level : chain) sizes.emplace_back(level.width, level.height);
    return sizes;
}

class TextureLoader : public ::testing::Test {
protected:
    std::string Png(const std::string& name, const Image& image) {
        const std::string path = dir_.File(name);
        EXPECT_TRUE(WritePng(path, image).ok());
        return path;
    }
    std::string Dds(const std::string& name, const MipChain& chain) {
        const std::string path = dir_.File(name);
        EXPECT_TRUE(WriteDds(path, chain).ok());
        return path;
    }
    std::string CubeDds(const std::string& name, const CubeImage& cube) {
        const std::string path = dir_.File(name);
        EXPECT_TRUE(WriteCubeDds(path, cube).ok());
        return path;
    }
    test::TempDir dir_;
};

TEST_F(TextureLoader, SizeArgumentsFollowD3DX) {
    const std::string path = Png("odd.png", SolidImage(3, 5, 0xFF336699));
    using Sizes_ = std::vector<std::pair<uint32_t, uint32_t>>;
    struct {
        const char* name;
        uint32_t width, height, mips;
        Sizes_ sizes;
    } cases[] = {
        {"defaults round up to powers of two, full chain", D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT,
         {{4, 8}, {2, 4}, {1, 2}, {1, 1}}},
        {"zero means default", 0, 0, 0, {{4, 8}, {2, 4}, {1, 2}, {1, 1}}},
        {"NONPOW2 keeps the file size", D3DX_DEFAULT_NONPOW2, D3DX_DEFAULT_NONPOW2, D3DX_DEFAULT,
         {{3, 5}, {1, 2}, {1, 1}}},
        {"FROM_FILE keeps size and the file's single level", D3DX_FROM_FILE, D3DX_FROM_FILE, D3DX_FROM_FILE,
         {{3, 5}}},
        {"explicit size, one level", 512, 512, 1, {{512, 512}}},
        {"explicit width, default height", 16, D3DX_DEFAULT, 2, {{16, 8}, {8, 4}}},
        {"more levels than the chain has", 4, 4, 50, {{4, 4}, {2, 2}, {1, 1}}},
    };
    for (const auto& c : cases) {
        const auto chain = LoadTextureFromFileEx(path, c.width, c.height, c.mips, 0);
        ASSERT_TRUE(chain.ok()) << c.name << ": " << chain.error();
        EXPECT_EQ(Sizes(*chain), c.sizes) << c.name;
        for (const Image& level : *chain)
            EXPECT_EQ(level.pixels, std::vector<uint32_t>(level.pixels.size(), 0xFF336699)) << c.name;
    }
}

TEST_F(TextureLoader, PlainLoadIsTheDefaults) {
    const auto chain = LoadTextureFromFile(Png("p.png", SolidImage(6, 2, 0xFF000000)));
    ASSERT_TRUE(chain.ok()) << chain.error();
    EXPECT_EQ(Sizes(*chain), (std::vector<std::pair<uint32_t, uint32_t>>{{8, 2}, {4, 1}, {2, 1}, {1, 1}}));
    EXPECT_EQ(chain->front().pixels[0], 0xFF000000u);  // no colour key
}

TEST_F(TextureLoader, ColourKeyMakesOpaqueBlackTransparentBeforeFiltering) {
    Image image = SolidImage(2, 2, 0xFF000000);
    image.At(1, 0) = 0xFF010000;  // near-black stays
    image.At(1, 1) = 0xFFFFFFFF;
    const auto chain = LoadTextureFromFileEx(Png("k.png", image), D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT,
                                             0xFF000000);
    ASSERT_TRUE(chain.ok()) << chain.error();
    ASSERT_EQ(chain->size(), 2u);
    EXPECT_EQ((*chain)[0].pixels, (std::vector<uint32_t>{0x00000000, 0xFF010000, 0x00000000, 0xFFFFFFFF}));
    // (0 + 255 + 0 + 255) / 4 alpha; red (0 + 1 + 0 + 255) / 4; green and blue (0 + 0 + 0 + 255) / 4.
    EXPECT_EQ((*chain)[1].pixels, (std::vector<uint32_t>{0x80404040}));
}

TEST_F(TextureLoader, DdsLevelsAreKeptAndMissingOnesMadeFromTheLastGiven) {
    // A 4 x 4 file carrying two levels whose level 1 is not the average of level 0.
    const std::string path = Dds("two.dds", {SolidImage(4, 4, 0xFF0000FF), SolidImage(2, 2, 0xFF00FF00)});

    auto chain = LoadTextureFromFile(path);
    ASSERT_TRUE(chain.ok()) << chain.error();
    ASSERT_EQ(chain->size(), 3u);
    EXPECT_EQ((*chain)[1].pixels[0], 0xFF00FF00u);
    EXPECT_EQ((*chain)[2].pixels[0], 0xFF00FF00u);

    chain = LoadTextureFromFileEx(path, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_FROM_FILE, 0);
    ASSERT_TRUE(chain.ok()) << chain.error();
    EXPECT_EQ(chain->size(), 2u);

    // Another size: the file's small levels no longer fit, so all come from the resized level 0.
    chain = LoadTextureFromFileEx(path, 8, 8, D3DX_DEFAULT, 0);
    ASSERT_TRUE(chain.ok()) << chain.error();
    ASSERT_EQ(chain->size(), 4u);
    EXPECT_EQ((*chain)[1].pixels[0], 0xFF0000FFu);
}

TEST_F(TextureLoader, CubeLoaderGivesSixFullChains) {
    CubeImage cube;
    for (uint32_t f = 0; f < kCubeFaceCount; ++f) cube.faces[f] = {SolidImage(4, 4, 0xFF000000 | f)};
    const std::string path = CubeDds("env.dds", cube);

    const auto loaded = LoadCubeTextureFromFile(path);
    ASSERT_TRUE(loaded.ok()) << loaded.error();
    EXPECT_EQ(loaded->Size(), 4u);
    EXPECT_EQ(loaded->LevelCount(), 3u);
    for (uint32_t f = 0; f < kCubeFaceCount; ++f) {
        ASSERT_EQ(loaded->faces[f].size(), 3u);
        EXPECT_EQ(loaded->Face(CubeFace(f))[2].pixels[0], 0xFF000000u | f) << "face " << f;
    }

    const auto small = LoadCubeTextureFromFileEx(path, 2, 1, 0);
    ASSERT_TRUE(small.ok()) << small.error();
    EXPECT_EQ(small->Size(), 2u);
    EXPECT_EQ(small->LevelCount(), 1u);
}

TEST_F(TextureLoader, WrongKindOfFileAndBadRequestsAreErrors) {
    const std::string flat = Png("flat.png", SolidImage(4, 4, 0xFFFFFFFF));
    CubeImage cube;
    for (auto& face : cube.faces) face = {SolidImage(2, 2, 0xFF000000)};
    const std::string env = CubeDds("env.dds", cube);
    const std::string absent = dir_.File("absent.dds");

    EXPECT_EQ(LoadCubeTextureFromFile(flat).error(), flat + ": not a cube map (a 2D image)");
    EXPECT_EQ(LoadTextureFromFile(env).error(), env + ": is a cube map, not a 2D texture");
    EXPECT_EQ(LoadTextureFromFile(absent).error(), absent + ": cannot open file");
    EXPECT_EQ(LoadCubeTextureFromFile(absent).error(), absent + ": cannot open file");
    EXPECT_EQ(LoadTextureFromFileEx(flat, 100000, 4, 1, 0).error(),
              flat + ": requested size 100000x4 exceeds the largest texture side 8192");
}

TEST_F(TextureLoader, MemoryVariantsMatchTheFileOnes) {
    const auto png = EncodePng(SolidImage(5, 5, 0xFF123456));
    ASSERT_TRUE(png.ok());
    const auto chain = LoadTextureFromMemoryEx(png->data(), png->size(), "mem.png", D3DX_DEFAULT, D3DX_DEFAULT, 1, 0);
    ASSERT_TRUE(chain.ok()) << chain.error();
    EXPECT_EQ(Sizes(*chain), (std::vector<std::pair<uint32_t, uint32_t>>{{8, 8}}));
    EXPECT_EQ(LoadCubeTextureFromMemoryEx(png->data(), png->size(), "mem.png", 0, 0, 0).error(),
              "mem.png: not a cube map (a 2D image)");
}

}  // namespace
}  // namespace velor
