// Colour key, resampling and mip chains: the D3DX loading rules applied to images.

#include "engine/image/image_ops.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/image/image_test_support.h"

namespace velor {
namespace {

using test::ImageFromRows;
using test::SolidImage;

TEST(ColorKey, OpaqueBlackKeyClearsOnlyExactOpaqueBlack) {
    Image image = ImageFromRows(5, 1, {0xFF000000, 0xFF010000, 0x7F000000, 0xFF000001, 0xFFFFFFFF});
    ApplyColorKey(image, 0xFF000000);
    EXPECT_EQ(image.pixels, (std::vector<uint32_t>{0x00000000, 0xFF010000, 0x7F000000, 0xFF000001, 0xFFFFFFFF}));
}

TEST(ColorKey, OtherKeysMatchTheirWholeArgbWordAndZeroDisables) {
    Image magenta = ImageFromRows(3, 1, {0xFFFF00FF, 0x80FF00FF, 0xFF000000});
    ApplyColorKey(magenta, 0xFFFF00FF);
    EXPECT_EQ(magenta.pixels, (std::vector<uint32_t>{0x00000000, 0x80FF00FF, 0xFF000000}));

    Image untouched = ImageFromRows(2, 1, {0xFF000000, 0x00000000});
    ApplyColorKey(untouched, 0);
    EXPECT_EQ(untouched.pixels, (std::vector<uint32_t>{0xFF000000, 0x00000000}));
}

TEST(MipCounts, FullChainAndPowerOfTwoRounding) {
    struct {
        uint32_t w, h, levels;
    } chains[] = {{1, 1, 1}, {2, 1, 2}, {256, 256, 9}, {256, 1, 9}, {5, 3, 3}, {1024, 768, 11}, {0, 0, 0}};
    for (const auto& c : chains) EXPECT_EQ(FullMipLevelCount(c.w, c.h), c.levels) << c.w << "x" << c.h;

    struct {
        uint32_t n, pow2;
    } rounds[] = {{1, 1}, {2, 2}, {3, 4}, {64, 64}, {65, 128}, {600, 1024}, {8192, 8192}};
    for (const auto& r : rounds) EXPECT_EQ(NextPowerOfTwo(r.n), r.pow2) << r.n;
}

TEST(Resize, HalvingIsAnExactTwoByTwoBox) {
    // Each 2 x 2 block averages to a known colour; 0 + 2 + 4 + 6 = 12 -> 3 in every channel, etc.
    const Image source = ImageFromRows(4, 2, {0x00000000, 0x02020202, 0x10203040, 0x10203040,
                                              0x04040404, 0x06060606, 0x30405060, 0x30405060});
    const Image half = ResizeImage(source, 2, 1);
    ASSERT_EQ(half.width, 2u);
    ASSERT_EQ(half.height, 1u);
    EXPECT_EQ(half.pixels, (std::vector<uint32_t>{0x03030303, 0x20304050}));
}

TEST(Resize, HalvingRoundsEveryChannelsQuarterSumHalfAwayFromZero) {
    // Random texels: each channel of each 2 x 2 block is (sum / 4) rounded, halves up, channels apart.
    uint32_t state = 12345;
    auto next = [&] { return state = state * 1664525u + 1013904223u; };
    Image source(34, 18);
    for (uint32_t& p : source.pixels) p = next();
    // Quarter sums 1, 2, 3 and 1018 (0.25, 0.5, 0.75, 254.5) in one block's four channels.
    source.At(0, 0) = 0x010200FF, source.At(1, 0) = 0x000101FF, source.At(0, 1) = 0x000001FE, source.At(1, 1) = 0x000000FE;
    const Image half = ResizeImage(source, 17, 9);
    ASSERT_EQ(half.pixels.size(), 17u * 9u);
    EXPECT_EQ(half.At(0, 0), 0x00010100u | 0xFFu);
    for (uint32_t y = 0; y < 9; ++y) {
        for (uint32_t x = 0; x < 17; ++x) {
            for (int shift : {24, 16, 8, 0}) {
                uint32_t sum = 0;
                for (auto [dx, dy] : {std::pair{0u, 0u}, {1u, 0u}, {0u, 1u}, {1u, 1u}})
                    sum += (source.At(2 * x + dx, 2 * y + dy) >> shift) & 0xFF;
                ASSERT_EQ((half.At(x, y) >> shift) & 0xFF, (sum + 2) / 4) << x << "," << y << " shift " << shift;
            }
        }
    }
}

TEST(Resize, ShrinkByNonIntegerFactorWeighsCoverage) {
    // 3 -> 2: target 0 covers source [0, 1.5), target 1 covers [1.5, 3).
    const Image source = ImageFromRows(3, 1, {0xFF000000, 0xFF5A0000, 0xFFB40000});  // red 0, 90, 180
    const Image result = ResizeImage(source, 2, 1);
    EXPECT_EQ(result.pixels, (std::vector<uint32_t>{0xFF1E0000, 0xFF960000}));        // red 30, 150
}

TEST(Resize, EnlargeInterpolatesBetweenPixelCentresAndClampsAtEdges) {
    const Image source = ImageFromRows(2, 1, {0xFF000000, 0xFFFF0000});
    const Image result = ResizeImage(source, 4, 2);
    // Centres map to -0.25, 0.25, 0.75, 1.25 -> clamped 0, 0.25, 0.75, 1.
    const std::vector<uint32_t> row = {0xFF000000, 0xFF400000, 0xFFBF0000, 0xFFFF0000};
    std::vector<uint32_t> expected = row;
    expected.insert(expected.end(), row.begin(), row.end());
    EXPECT_EQ(result.pixels, expected);
}

TEST(Resize, SolidColourStaysSolidAtAnySize) {
    const Image source = SolidImage(7, 5, 0x80402010);
    for (auto [w, h] : {std::pair{3u, 2u}, {1u, 1u}, {16u, 9u}, {7u, 1u}, {2u, 5u}}) {
        const Image result = ResizeImage(source, w, h);
        ASSERT_EQ(result.pixels.size(), size_t(w) * h);
        EXPECT_EQ(result.pixels, std::vector<uint32_t>(size_t(w) * h, 0x80402010)) << w << "x" << h;
    }
}

TEST(MipChain, SizesHalveDownToOneByOne) {
    struct {
        uint32_t w, h, request;
        std::vector<std::pair<uint32_t, uint32_t>> sizes;
    } cases[] = {
        {8, 2, 0, {{8, 2}, {4, 1}, {2, 1}, {1, 1}}},
        {5, 3, D3DX_DEFAULT, {{5, 3}, {2, 1}, {1, 1}}},
        {16, 16, 2, {{16, 16}, {8, 8}}},
        {4, 4, 100, {{4, 4}, {2, 2}, {1, 1}}},
        {1, 1, 0, {{1, 1}}},
    };
    for (const auto& c : cases) {
        const MipChain chain = GenerateMipChain(SolidImage(c.w, c.h, 0xFF808080), c.request);
        ASSERT_EQ(chain.size(), c.sizes.size()) << c.w << "x" << c.h << " request " << c.request;
        for (size_t i = 0; i < chain.size(); ++i) {
            EXPECT_EQ(chain[i].width, c.sizes[i].first);
            EXPECT_EQ(chain[i].height, c.sizes[i].second);
            EXPECT_EQ(chain[i].pixels.size(), size_t(chain[i].width) * chain[i].height);
        }
    }
}

TEST(MipChain, EachLevelIsTheBoxAverageOfTheOneAbove) {
    // A keyed-out half (transparent black) darkens and thins the smaller levels, as under D3DX.
    Image top = SolidImage(4, 4, 0xFFFFFFFF);
    for (uint32_t y = 0; y < 4; ++y)
        for (uint32_t x = 0; x < 2; ++x) top.At(x, y) = 0x00000000;
    const MipChain chain = GenerateMipChain(top, 0);
    ASSERT_EQ(chain.size(), 3u);
    EXPECT_EQ(chain[1].pixels, (std::vector<uint32_t>{0x00000000, 0xFFFFFFFF, 0x00000000, 0xFFFFFFFF}));
    EXPECT_EQ(chain[2].pixels, (std::vector<uint32_t>{0x80808080}));
}

TEST(MipChain, CompletingKeepsGivenLevelsAndCutsLongChains) {
    MipChain chain = {SolidImage(4, 4, 0xFF0000FF), SolidImage(2, 2, 0xFF00FF00)};
    CompleteMipChain(chain, 3);
    ASSERT_EQ(chain.size(), 3u);
    EXPECT_EQ(chain[1].pixels[0], 0xFF00FF00u);  // the given level, not a box of level 0
    EXPECT_EQ(chain[2].pixels[0], 0xFF00FF00u);  // made from level 1

    CompleteMipChain(chain, 1);
    EXPECT_EQ(chain.size(), 1u);
}

}  // namespace
}  // namespace velor
