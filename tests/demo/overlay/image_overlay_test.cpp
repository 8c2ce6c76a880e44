// The four circling translucent images of window 3: where the records go and how they blend.
#include <gtest/gtest.h>

#include <cmath>

#include "demo/overlay/image_overlay.h"
#include "demo/overlay/text_record.h"
#include "demo/shell/shell_state.h"
#include "engine/gfx/device_controls.h"
#include "engine/ui/sprite.h"
#include "tests/gfx/render_fixture.h"

namespace velor::demo {
namespace {

class ImageOverlayTest : public test::RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        if (HasFatalFailure()) return;
        gShell.device = test_.device;
        for (int record = 1; record <= 4; ++record)
            ASSERT_EQ(CreateSprite(device_, &gTextRecords[size_t(record)].sprite), Result::Ok);
        // A plain white image in the zombi texture's slot, so the tint and alpha alone show.
        std::shared_ptr<Texture> white;
        ASSERT_EQ(device_->CreateTexture(512, 512, 1, 0, Format::A8R8G8B8, Pool::Managed, &white), Result::Ok);
        LockedRect locked;
        ASSERT_EQ(white->LockRect(0, &locked, nullptr, 0), Result::Ok);
        for (int y = 0; y < 512; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.bits) + y * locked.pitch);
            for (int x = 0; x < 512; ++x) row[x] = 0xFFFFFFFFu;
        }
        white->UnlockRect(0);
        gTextureTable[kZombiTextureSlot] = white;
    }
    void TearDown() override {
        for (auto& texture : gTextureTable) texture.reset();
        for (int record = 1; record <= kFadeRecord; ++record) gTextRecords[size_t(record)].sprite.reset();
        gShell.device.reset();
    }
};

int Grey(uint32_t p) { return int((p >> 8) & 0xFF); }

TEST_F(ImageOverlayTest, AtClockZeroTheRecordsSitAtTheTopOfTheirCircles) {
    DrawFourSpriteOverlay(0);
    const float expected[4][2] = {{250, 130}, {250, 140}, {270, 120}, {280, 120}};
    for (int record = 1; record <= 4; ++record) {
        const TextRecord& r = gTextRecords[size_t(record)];
        EXPECT_EQ(r.x, expected[record - 1][0]) << record;
        EXPECT_EQ(r.y, expected[record - 1][1]) << record;
    }
    EXPECT_FLOAT_EQ(gTextRecords[1].alphaLevel, 0.3f);
    EXPECT_FLOAT_EQ(gTextRecords[2].alphaLevel, 0.3f);
    EXPECT_FLOAT_EQ(gTextRecords[3].alphaLevel, 0.4f);
    EXPECT_FLOAT_EQ(gTextRecords[4].alphaLevel, 0.4f);
}

TEST_F(ImageOverlayTest, PositionsAreWholePixelsTruncatedTowardZero) {
    // u = 10 · 0.2 = 2: s = 0.909, c = -0.416.
    DrawFourSpriteOverlay(0.2f);
    const float s = float(std::sin(2.0)), c = float(std::cos(2.0));
    const float expected[4][2] = {{std::trunc(250 + 10 * s), std::trunc(120 + 10 * c)},
                                  {std::trunc(250 + 20 * s), std::trunc(120 + 20 * c)},
                                  {std::trunc(260 + 10 * c), std::trunc(120 + 10 * s)},
                                  {std::trunc(260 + 20 * c), std::trunc(120 + 20 * s)}};
    EXPECT_EQ(expected[0][0], 259.0f);  // 259.09
    EXPECT_EQ(expected[1][1], 111.0f);  // 111.68: truncated, not rounded
    for (int record = 1; record <= 4; ++record) {
        EXPECT_EQ(gTextRecords[size_t(record)].x, expected[record - 1][0]) << record;
        EXPECT_EQ(gTextRecords[size_t(record)].y, expected[record - 1][1]) << record;
    }
}

TEST_F(ImageOverlayTest, ImagesBlendTranslucentlyWhereTheyLie) {
    DrawFourSpriteOverlay(0);
    const auto pixels = ReadBackBuffer(*device_);
    // Left of and above every image: untouched.
    EXPECT_EQ(test::PixelAt(pixels, 200, 100), 0xFF000000u);
    EXPECT_EQ(test::PixelAt(pixels, 900, 700), 0xFF000000u);
    // Only image 1 (from (250, 130)): alpha 75 of white over black.
    EXPECT_NEAR(Grey(test::PixelAt(pixels, 255, 135)), 75, 3);
    // Only image 4 (from (280, 120), reaching x 791): alpha 101.
    EXPECT_NEAR(Grey(test::PixelAt(pixels, 785, 125)), 101, 3);
    // All four overlap in the middle: brighter than any one alone, still not opaque.
    const int middle = Grey(test::PixelAt(pixels, 500, 400));
    EXPECT_GT(middle, 150);
    EXPECT_LT(middle, 250);
}

// The fade overlay: record 5 with the 1 x 1 fade texture (texel 0x00010101, no alpha channel) over
// the whole screen, its alpha byte the wrapped low byte of trunc(255 (1 + level)).
TEST_F(ImageOverlayTest, FadeLevelDarkensTheScreenWithTheWrappedAlphaByte) {
    ASSERT_EQ(CreateSprite(device_, &gTextRecords[kFadeRecord].sprite), Result::Ok);
    std::shared_ptr<Texture> fade;
    ASSERT_EQ(device_->CreateTexture(1, 1, 1, Usage::Dynamic, Format::X8R8G8B8, Pool::Default, &fade), Result::Ok);
    LockedRect locked;
    ASSERT_EQ(fade->LockRect(0, &locked, nullptr, 0), Result::Ok);
    *static_cast<uint32_t*>(locked.bits) = 0x00010101u;
    fade->UnlockRect(0);
    struct Case {
        float level;
        int grey;  // over white
    };
    // A first frame of 10 ms gives level 0.003: byte 255, fully dark at once. 20 ms gives 0.006:
    // byte 0 (256 wrapped), nothing drawn. Then the byte rises about as 255 · level − 1.
    const Case cases[] = {{0.003f, 1}, {0.006f, 255}, {0.5f, 130}, {1.0f, 2}};
    for (const Case& c : cases) {
        device_->Clear(0, nullptr, Clear::Target, 0xFFFFFFFFu, 1.0f, 0);
        gTextRecords[kFadeRecord].alphaLevel = c.level;
        DrawRecordScreen(gTextRecords[kFadeRecord], fade);
        const auto pixels = ReadBackBuffer(*device_);
        EXPECT_NEAR(Grey(test::PixelAt(pixels, 512, 384)), c.grey, 2) << c.level;
        EXPECT_NEAR(Grey(test::PixelAt(pixels, 3, 765)), c.grey, 2) << c.level;
    }
}

}  // namespace
}  // namespace velor::demo
