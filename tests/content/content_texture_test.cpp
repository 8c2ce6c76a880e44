// Textures as the demo's loader decodes them: sizes and kinds, glows that end at zero, a fire
// sheet whose cells loop and stay inside their borders, seamless tiling, sky faces that meet.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

#include "tests/content/content_test_support.h"
#include "tools/contentgen/textures.h"

namespace velor::content {
namespace {

using testing::GeneratedImage;

struct TextureCase {
    const char* path;
    uint32_t width, height;
    bool cube;
    bool mips;
};

const TextureCase kTextures[] = {
    {"fire.png", 1024, 1024, false, false},
    {"textures/Flare1.jpg", 256, 256, false, false},
    {"textures/light.png", 256, 256, false, false},
    {"textures/light1.png", 256, 256, false, false},
    {"textures/particle.png", 128, 128, false, false},
    {"textures/Texture1.dds", 256, 256, true, true},
    {"textures/details.tga", 256, 256, false, false},
    {"textures/BLEND.PNG", 256, 256, false, false},
    {"textures/rock_b.dds", 512, 512, false, true},
    {"textures/cimen.jpg", 512, 512, false, false},
    {"textures/tunnel.png", 512, 512, false, false},
    {"textures/rock_c_normalmap.dds", 512, 512, false, true},
    {"textures/zombi.png", 512, 512, false, false},
    {"textures/wall_stone.jpg", 512, 512, false, false},
    {"textures/floor_tiles.jpg", 512, 512, false, false},
    {"textures/bark.jpg", 256, 512, false, false},
    {"textures/leaves.jpg", 512, 512, false, false},
    {"textures/bone.jpg", 256, 256, false, false},
    {"textures/sky_north.jpg", 1024, 512, false, false},
    {"textures/sky_south.jpg", 1024, 512, false, false},
    {"textures/sky_east.jpg", 1024, 512, false, false},
    {"textures/sky_west.jpg", 1024, 512, false, false},
    {"textures/sky_top.jpg", 512, 512, false, false},
};

void PrintTo(const TextureCase& c, std::ostream* os) { *os << c.path; }

class TextureFile : public ::testing::TestWithParam<TextureCase> {};

TEST_P(TextureFile, DecodesAtItsSizeAndKind) {
    const TextureCase& c = GetParam();
    const TextureImage img = GeneratedImage(c.path);
    ASSERT_FALSE(img.faces.empty());
    EXPECT_EQ(img.isCube, c.cube);
    EXPECT_EQ(img.faces.size(), c.cube ? 6u : 1u);
    EXPECT_EQ(img.Top().width, c.width);
    EXPECT_EQ(img.Top().height, c.height);
    if (c.mips) {
        // A full chain down to 1 x 1.
        EXPECT_EQ(img.faces[0].back().width, 1u);
        EXPECT_EQ(img.faces[0].back().height, 1u);
    }
}

INSTANTIATE_TEST_SUITE_P(AllTextures, TextureFile, ::testing::ValuesIn(kTextures),
                         [](const ::testing::TestParamInfo<TextureCase>& info) {
                             std::string name = info.param.path;
                             for (char& ch : name)
                                 if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                             return name;
                         });

TEST(Textures, SizeTableCoversEveryGeneratedPicture) {
    for (const std::string& path : ContentPaths()) {
        if (!IsImagePath(path)) continue;
        const bool listed = std::any_of(std::begin(kTextures), std::end(kTextures),
                                        [&](const TextureCase& c) { return path == c.path; });
        EXPECT_TRUE(listed) << path << " has no size check";
    }
}

// ---- Glows -------------------------------------------------------------------------------------

float Channel(uint32_t p, int c) { return float(c == 0 ? RedOf(p) : c == 1 ? GreenOf(p) : c == 2 ? BlueOf(p) : AlphaOf(p)); }

TEST(Textures, GlowsAreZeroOutsideTheirCircle) {
    for (const char* path : {"textures/Flare1.jpg", "textures/light.png", "textures/light1.png", "textures/particle.png"}) {
        const Image img = GeneratedImage(path).Top();
        const float half = float(img.width) * 0.5f;
        int lit = 0;
        for (uint32_t y = 0; y < img.height; ++y) {
            for (uint32_t x = 0; x < img.width; ++x) {
                const float r = std::hypot(float(x) + 0.5f - half, float(y) + 0.5f - half) / half;
                const uint32_t p = img.At(x, y);
                if (r >= 0.99f) {
                    EXPECT_EQ(RedOf(p) | GreenOf(p) | BlueOf(p), 0u) << path << " lit at " << x << "," << y;
                    if (std::string(path).find(".png") != std::string::npos) {
                        EXPECT_EQ(AlphaOf(p), 0u) << path;
                    }
                } else if (RedOf(p) + GreenOf(p) + BlueOf(p) > 0) {
                    ++lit;
                }
                if (HasFailure()) return;
            }
        }
        EXPECT_GT(lit, int(img.width * img.height / 20)) << path << " is nearly empty";
    }
}

TEST(Textures, FlareFallsOffSmoothlyFromItsCentre) {
    const Image img = GeneratedImage("textures/Flare1.jpg").Top();
    const int c = int(img.width / 2);
    // Along eight rays outward: never brighter further out (beyond JPEG's small ripple), and no
    // step between neighbours large enough to show as a ring.
    const int dirs[8][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}, {1, 1}, {-1, 1}, {1, -1}, {-1, -1}};
    for (const auto& d : dirs) {
        float previous = 255;
        for (int k = 0; k < c - 1; ++k) {
            const uint32_t p = img.At(uint32_t(c + d[0] * k), uint32_t(c + d[1] * k));
            const float v = Channel(p, 0);
            EXPECT_LE(v, previous + 2.0f) << "step " << k << " of ray (" << d[0] << "," << d[1] << ")";
            EXPECT_LE(previous - v, 12.0f) << "step " << k << " of ray (" << d[0] << "," << d[1] << ")";
            previous = v;
        }
    }
    EXPECT_GT(RedOf(img.At(uint32_t(c), uint32_t(c))), 230u);
}

// ---- Fire sheet --------------------------------------------------------------------------------

struct Cell {
    const Image* sheet;
    int index;
    uint32_t At(int x, int y) const {
        return sheet->At(uint32_t((index % kFireColumns) * kFireCellWidth + x), uint32_t((index / kFireColumns) * kFireCellHeight + y));
    }
};

double CellDifference(const Cell& a, const Cell& b) {
    double sum = 0;
    for (int y = 0; y < kFireCellHeight; ++y)
        for (int x = 0; x < kFireCellWidth; ++x)
            for (int ch = 0; ch < 3; ++ch) sum += std::fabs(Channel(a.At(x, y), ch) - Channel(b.At(x, y), ch));
    return sum / (kFireCellWidth * kFireCellHeight * 3);
}

TEST(Textures, FireCellsKeepTheirFlamesInsideTheirBorders) {
    const Image sheet = GeneratedImage("fire.png").Top();
    ASSERT_EQ(sheet.width, 1024u);
    for (int i = 0; i < kFireColumns * kFireRows; ++i) {
        const Cell cell{&sheet, i};
        uint32_t hottest = 0;
        for (int y = 0; y < kFireCellHeight; ++y) {
            for (int x = 0; x < kFireCellWidth; ++x) {
                const uint32_t p = cell.At(x, y);
                const bool border = x < 3 || y < 3 || x >= kFireCellWidth - 3 || y >= kFireCellHeight - 3;
                if (border) {
                    ASSERT_EQ(p & 0xFFFFFFu, 0u) << "cell " << i << " lit at its border " << x << "," << y;
                }
                // Rows above 28 are outside the demo's viewport; the flame stays below them.
                if (y < 26) {
                    ASSERT_LE(RedOf(p), 4u) << "cell " << i << " burns at row " << y;
                }
                // Fire colours: red leads green, green leads blue (red, orange, yellow, white).
                ASSERT_GE(RedOf(p), GreenOf(p)) << "cell " << i;
                ASSERT_GE(GreenOf(p) + 1, BlueOf(p)) << "cell " << i;
                hottest = std::max(hottest, RedOf(p) + GreenOf(p) + BlueOf(p));
            }
        }
        EXPECT_GT(hottest, 600u) << "cell " << i << " has no white-hot core";
    }
    // Outside the 11 x 7 cells (one column, two rows) the sheet is black.
    for (uint32_t y = 0; y < 1024; ++y) EXPECT_EQ(sheet.At(1023, y) & 0xFFFFFFu, 0u);
    for (uint32_t x = 0; x < 1024; ++x) EXPECT_EQ(sheet.At(x, 1023) & 0xFFFFFFu, 0u);
}

TEST(Textures, FireAnimationMovesAndLoopsWithoutAJump) {
    const Image sheet = GeneratedImage("fire.png").Top();
    constexpr int kFrames = kFireColumns * kFireRows;
    double largest = 0, total = 0;
    for (int i = 0; i + 1 < kFrames; ++i) {
        const double d = CellDifference({&sheet, i}, {&sheet, i + 1});
        EXPECT_GT(d, 0.5) << "cells " << i << " and " << i + 1 << " are nearly the same";
        largest = std::max(largest, d);
        total += d;
    }
    const double seam = CellDifference({&sheet, kFrames - 1}, {&sheet, 0});
    EXPECT_LE(seam, largest * 1.2) << "the last cell does not lead back into the first";
    EXPECT_GE(seam, 0.3 * total / (kFrames - 1)) << "the last cell repeats the first instead of leading into it";
}

// ---- The rest ----------------------------------------------------------------------------------

TEST(Textures, ZombiStandsOnPureBlack) {
    const Image img = GeneratedImage("textures/zombi.png").Top();
    size_t black = 0;
    for (uint32_t p : img.pixels) black += (p & 0xFFFFFFu) == 0;
    EXPECT_GT(black, img.pixels.size() / 5) << "the colour key needs a black background";
    for (uint32_t corner : {img.At(0, 0), img.At(511, 0), img.At(0, 511), img.At(511, 511)}) EXPECT_EQ(corner & 0xFFFFFFu, 0u);
    const uint32_t centre = img.At(256, 256);
    EXPECT_GT(RedOf(centre) + GreenOf(centre) + BlueOf(centre), 60u);
}

// The demo lays the image at 30 to 40 percent opacity over the tunnel after keying out exact black:
// a near-black texel that survives the key darkens the tunnel (a dotted halo, or a dithered one).
TEST(Textures, ZombiHasNoNearBlackTexelTheColourKeyLeaves) {
    const Image img = GeneratedImage("textures/zombi.png").Top();
    size_t nearBlack = 0;
    for (uint32_t p : img.pixels) {
        const uint32_t brightest = std::max({RedOf(p), GreenOf(p), BlueOf(p)});
        nearBlack += brightest > 0 && brightest < 16;
    }
    EXPECT_EQ(nearBlack, 0u);
}

// The end scroller shows the fire through its red channel alone: red must grade across its whole
// range rather than sit at full, or the flames read as a flat red blob.
TEST(Textures, FireRedSpansItsRange) {
    const Image sheet = GeneratedImage("fire.png").Top();
    size_t flame = 0, quarter[4] = {0, 0, 0, 0};
    for (uint32_t p : sheet.pixels) {
        if (RedOf(p) < 16) continue;
        ++flame;
        ++quarter[RedOf(p) / 64];
    }
    ASSERT_GT(flame, 0u);
    for (int q = 0; q < 4; ++q) {
        EXPECT_GT(double(quarter[q]) / double(flame), 0.12) << "red " << q * 64 << " to " << q * 64 + 63;
        EXPECT_LT(double(quarter[q]) / double(flame), 0.4) << "red " << q * 64 << " to " << q * 64 + 63;
    }
}

TEST(Textures, BlendWeightsSumToOne) {
    const Image img = GeneratedImage("textures/BLEND.PNG").Top();
    for (uint32_t p : img.pixels) {
        const uint32_t sum = RedOf(p) + GreenOf(p) + BlueOf(p);
        ASSERT_GE(sum, 252u);
        ASSERT_LE(sum, 258u);
    }
}

TEST(Textures, NormalMapHoldsUnitNormalsFacingOut) {
    const Image img = GeneratedImage("textures/rock_c_normalmap.dds").Top();
    for (uint32_t p : img.pixels) {
        const float x = Channel(p, 0) / 127.5f - 1, y = Channel(p, 1) / 127.5f - 1, z = Channel(p, 2) / 127.5f - 1;
        const float length = std::sqrt(x * x + y * y + z * z);
        ASSERT_NEAR(length, 1.0f, 0.03f);
        ASSERT_GT(z, 0.3f);
    }
}

// Mean difference across the wrap-around seam, against the mean between neighbouring columns
// (and rows) inside the picture.
void ExpectTiles(const char* path) {
    const Image img = GeneratedImage(path).Top();
    auto diff = [&](uint32_t x0, uint32_t y0, uint32_t x1, uint32_t y1) {
        double s = 0;
        for (int c = 0; c < 3; ++c) s += std::fabs(Channel(img.At(x0, y0), c) - Channel(img.At(x1, y1), c));
        return s / 3;
    };
    double seamX = 0, insideX = 0, seamY = 0, insideY = 0;
    for (uint32_t y = 0; y < img.height; ++y) {
        seamX += diff(img.width - 1, y, 0, y);
        for (uint32_t x = 0; x + 1 < img.width; ++x) insideX += diff(x, y, x + 1, y);
    }
    for (uint32_t x = 0; x < img.width; ++x) {
        seamY += diff(x, img.height - 1, x, 0);
        for (uint32_t y = 0; y + 1 < img.height; ++y) insideY += diff(x, y, x, y + 1);
    }
    seamX /= img.height;
    insideX /= double(img.height) * (img.width - 1);
    seamY /= img.width;
    insideY /= double(img.width) * (img.height - 1);
    EXPECT_LE(seamX, 2.0 * insideX + 1.0) << path << ": visible seam between right and left edges";
    EXPECT_LE(seamY, 2.0 * insideY + 1.0) << path << ": visible seam between bottom and top edges";
}

TEST(Textures, RepeatingTexturesTileWithoutSeams) {
    for (const char* path : {"textures/details.tga", "textures/BLEND.PNG", "textures/rock_b.dds", "textures/cimen.jpg",
                             "textures/tunnel.png", "textures/rock_c_normalmap.dds", "textures/wall_stone.jpg",
                             "textures/floor_tiles.jpg", "textures/bark.jpg", "textures/leaves.jpg", "textures/bone.jpg"}) {
        ExpectTiles(path);
    }
}

TEST(Textures, MaterialTexturesHaveNoColourKeyedBlack) {
    // Mesh textures load with colour key 0xFF000000: opaque black would turn transparent.
    for (const char* path : {"textures/wall_stone.jpg", "textures/floor_tiles.jpg", "textures/bark.jpg",
                             "textures/leaves.jpg", "textures/bone.jpg", "textures/cimen.jpg", "textures/tunnel.png",
                             "textures/sky_north.jpg", "textures/sky_top.jpg"}) {
        const Image img = GeneratedImage(path).Top();
        for (uint32_t p : img.pixels) ASSERT_NE(p, 0xFF000000u) << path;
    }
}

double EdgeDifference(const Image& a, const Image& b, bool aColumn, uint32_t aIndex, bool bColumn, uint32_t bIndex,
                      bool reverse) {
    const uint32_t n = aColumn ? a.height : a.width;
    double sum = 0;
    for (uint32_t i = 0; i < n; ++i) {
        const uint32_t j = reverse ? n - 1 - i : i;
        const uint32_t pa = aColumn ? a.At(aIndex, i) : a.At(i, aIndex);
        const uint32_t pb = bColumn ? b.At(bIndex, j) : b.At(j, bIndex);
        for (int c = 0; c < 3; ++c) sum += std::fabs(Channel(pa, c) - Channel(pb, c));
    }
    return sum / (3.0 * n);
}

TEST(Textures, EnvironmentCubeFacesMeetAtTheirEdges) {
    const TextureImage cube = GeneratedImage("textures/Texture1.dds");
    ASSERT_TRUE(cube.isCube);
    const Image& px = cube.faces[0][0];
    const Image& py = cube.faces[2][0];
    const Image& pz = cube.faces[4][0];
    const Image& nz = cube.faces[5][0];
    const uint32_t last = px.width - 1;
    // Direct3D cube addressing: +Z's top row meets +Y's bottom row, +Z's right column meets +X's
    // left column, +X's right column meets -Z's left column.
    EXPECT_LT(EdgeDifference(pz, py, false, 0, false, last, false), 6.0);
    EXPECT_LT(EdgeDifference(pz, px, true, last, true, 0, false), 6.0);
    EXPECT_LT(EdgeDifference(px, nz, true, last, true, 0, false), 6.0);
}

TEST(Textures, SkyBoxFacesMeetAtTheirEdges) {
    const Image north = GeneratedImage("textures/sky_north.jpg").Top();
    const Image east = GeneratedImage("textures/sky_east.jpg").Top();
    const Image south = GeneratedImage("textures/sky_south.jpg").Top();
    const Image top = GeneratedImage("textures/sky_top.jpg").Top();
    // North's right edge is east's left edge, east's right edge is south's left edge.
    EXPECT_LT(EdgeDifference(north, east, true, north.width - 1, true, 0, false), 6.0);
    EXPECT_LT(EdgeDifference(east, south, true, east.width - 1, true, 0, false), 6.0);
    // The top face's far edge (v = 1, z = +40) runs along north's top row; the top face is half as
    // wide in texels, so compare north's row sampled at every other texel.
    double sum = 0;
    for (uint32_t x = 0; x < top.width; ++x) {
        const uint32_t a = top.At(x, top.height - 1), b = north.At(x * 2, 0);
        for (int c = 0; c < 3; ++c) sum += std::fabs(Channel(a, c) - Channel(b, c));
    }
    EXPECT_LT(sum / (3.0 * top.width), 8.0);
}

}  // namespace
}  // namespace velor::content
