// Text records on a headless device: the colour and alpha arithmetic seen in the drawn pixels, the
// defaults written back, and where a scaled, turned image lands.
#include <gtest/gtest.h>

#include <cmath>

#include "demo/overlay/text_record.h"
#include "engine/math/d3dx_math.h"
#include "engine/ui/font.h"
#include "engine/ui/sprite.h"
#include "tests/ui/ui_render_fixture.h"

namespace velor::demo {
namespace {

using test::CountLit;
using test::LitBounds;

constexpr int kWhiteSlot = 7;  // a texture table slot the demo leaves empty

class TextRecordTest : public test::UiRender {
protected:
    void SetUp() override {
        UiRender::SetUp();
        if (HasFatalFailure()) return;
        gTextureTable[kWhiteSlot] = MakeTexture(93, 146, 0xFFFFFFFFu);
    }
    void TearDown() override {
        records_.clear();
        UiRender::TearDown();
    }

    // A zeroed record with a sprite of its own. Records live until the test ends: destroying one
    // empties the texture table, as at exit.
    TextRecord* SpriteRecord() {
        TextRecord* record = records_.emplace_back(std::make_unique<TextRecord>()).get();
        EXPECT_EQ(CreateSprite(device_, &record->sprite), Result::Ok);
        return record;
    }
    TextRecord* FontRecord(int height = 22) {
        TextRecord* record = records_.emplace_back(std::make_unique<TextRecord>()).get();
        std::string error;
        EXPECT_EQ(CreateFont(device_, height, 0, 0, 1, false, FontCharSet::Default, 0, 0, 0, "", &record->font, &error),
                  Result::Ok)
            << error;
        return record;
    }

    std::vector<std::unique_ptr<TextRecord>> records_;
};

uint32_t Red(uint32_t p) { return (p >> 16) & 0xFF; }
uint32_t Green(uint32_t p) { return (p >> 8) & 0xFF; }
uint32_t Blue(uint32_t p) { return p & 0xFF; }

// The brightest pixel of the frame, by its channel sum.
uint32_t Brightest(const std::vector<uint32_t>& pixels) {
    uint32_t best = 0;
    for (uint32_t p : pixels)
        if (Red(p) + Green(p) + Blue(p) > Red(best) + Green(best) + Blue(best)) best = p;
    return best;
}

TEST_F(TextRecordTest, AlphaByteIsTheLowByteOfTheTruncatedLevel) {
    // White over black with the sprite's alpha blending: the grey level is the alpha byte.
    struct Case {
        float alphaLevel;
        uint32_t alphaByte;
    };
    const Case cases[] = {{0.0f, 255}, {0.3f, 75}, {0.4f, 101}, {1.0f, 254}, {0.001f, 255}, {-0.5f, 127}};
    for (const Case& c : cases) {
        device_->Clear(0, nullptr, Clear::Target, 0xFF000000u, 1.0f, 0);
        TextRecord* record = SpriteRecord();
        record->alphaLevel = c.alphaLevel;
        record->x = 10;
        record->y = 20;
        DrawRecordSprite(*record, kWhiteSlot, 0, 0, 93, 146);
        const uint32_t p = test::PixelAt(Frame(), 50, 90);
        EXPECT_EQ(Red(p), c.alphaByte) << "alphaLevel " << c.alphaLevel;
        EXPECT_EQ(Blue(p), c.alphaByte) << "alphaLevel " << c.alphaLevel;
    }
}

TEST_F(TextRecordTest, ColourCutsTintEachChannel) {
    TextRecord* record = SpriteRecord();
    record->redCut = 0.5f;    // trunc(127.5) = 127
    record->greenCut = 1.0f;  // 0
    record->blueCut = 0.0f;   // 255
    DrawRecordSprite(*record, kWhiteSlot, 0, 0, 93, 146);
    const uint32_t p = test::PixelAt(Frame(), 40, 70);
    EXPECT_EQ(Red(p), 127u);
    EXPECT_EQ(Green(p), 0u);
    EXPECT_EQ(Blue(p), 255u);
}

TEST_F(TextRecordTest, ScaledCellCoversTheRectangleAboutItsIntegerCentre) {
    // 93 x 146 has its centre at (46, 73): scaled (6, 5) and moved to (420, 250), it spans
    // x 420 + 46 - 6 * 46 = 190 to 190 + 6 * 93 = 748 and y 250 + 73 - 5 * 73 = -42 to 688.
    TextRecord* record = SpriteRecord();
    record->scaleX = 6;
    record->scaleY = 5;
    record->x = 420;
    record->y = 250;
    DrawRecordSprite(*record, kWhiteSlot, 0, 0, 93, 146);

    Matrix m;
    record->sprite->GetTransform(&m);
    Vector3 topLeft{0, 0, 0}, bottomRight{93, 146, 0};
    Vec3TransformCoord(&topLeft, &topLeft, &m);
    Vec3TransformCoord(&bottomRight, &bottomRight, &m);
    EXPECT_FLOAT_EQ(topLeft.x, 190.0f);
    EXPECT_FLOAT_EQ(topLeft.y, -42.0f);
    EXPECT_FLOAT_EQ(bottomRight.x, 748.0f);
    EXPECT_FLOAT_EQ(bottomRight.y, 688.0f);

    const Rect lit = LitBounds(Frame());
    EXPECT_EQ(lit.left, 190);
    EXPECT_EQ(lit.right, 748);
    EXPECT_EQ(lit.top, 0);  // the top 42 rows are off the screen
    EXPECT_EQ(lit.bottom, 688);

    // The screen rectangle is the unscaled placement.
    EXPECT_EQ(record->screenRect.left, 420);
    EXPECT_EQ(record->screenRect.top, 250);
    EXPECT_EQ(record->screenRect.right, 513);
    EXPECT_EQ(record->screenRect.bottom, 396);
}

TEST_F(TextRecordTest, ZeroScaleTakesTheDefaultScaleAndKeepsIt) {
    TextRecord* record = SpriteRecord();
    record->defaultScaleX = 3;
    record->x = 300;
    record->y = 300;
    DrawRecordSprite(*record, kWhiteSlot, 0, 0, 20, 10);
    EXPECT_FLOAT_EQ(record->scaleX, 3.0f);
    EXPECT_FLOAT_EQ(record->scaleY, 1.0f);
    EXPECT_EQ(record->defaultScaleY, 1);
    const Rect lit = LitBounds(Frame());
    EXPECT_EQ(lit.right - lit.left, 60) << "three times wider";
    EXPECT_EQ(lit.bottom - lit.top, 10);
    EXPECT_EQ(lit.left, 300 + 10 - 30) << "widened about the centre";
}

TEST_F(TextRecordTest, AngleTurnsAboutTheRectangleCentre) {
    TextRecord* record = SpriteRecord();
    record->angle = float(M_PI);
    record->x = 100;
    record->y = 50;
    DrawRecordSprite(*record, kWhiteSlot, 0, 0, 93, 146);
    Matrix m;
    record->sprite->GetTransform(&m);
    Vector3 corner{0, 0, 0};
    Vec3TransformCoord(&corner, &corner, &m);
    EXPECT_NEAR(corner.x, 100 + 92, 1e-3);  // turned half round (46, 73)
    EXPECT_NEAR(corner.y, 50 + 146, 1e-3);
}

TEST_F(TextRecordTest, ScreenDrawCoversTheWholeScreenWithOneTexel) {
    TextRecord* record = SpriteRecord();
    record->alphaLevel = 0.5f;  // trunc(382.5) = 382, low byte 126
    auto texel = MakeTexture(1, 1, 0xFFFFFFFFu);
    DrawRecordScreen(*record, texel);
    const auto pixels = Frame();
    for (auto [x, y] : {std::pair{0, 0}, {1023, 0}, {0, 767}, {1023, 767}, {512, 384}})
        EXPECT_EQ(Red(test::PixelAt(pixels, x, y)), 126u) << x << "," << y;
    EXPECT_EQ(record->screenRect.right, 1024);
    EXPECT_EQ(record->screenRect.bottom, 768);
}

TEST_F(TextRecordTest, TextColourDefaultsAndKeptColours) {
    struct Case {
        int red, green, blue;
        int wantRed, wantGreen, wantBlue;
    };
    const Case cases[] = {
        {0, 0, 0, 255, 255, 255},        // never coloured: white
        {0, 100, 0, 255, 255, 255},      // green alone is not tested
        {0, 0, 200, 0, 0, 200},          // red 0 but blue set: kept
        {170, 170, 255, 170, 170, 255},  // the greetings record's colour
    };
    for (const Case& c : cases) {
        device_->Clear(0, nullptr, Clear::Target, 0xFF000000u, 1.0f, 0);
        TextRecord* record = FontRecord(35);
        record->textRed = c.red;
        record->textGreen = c.green;
        record->textBlue = c.blue;
        DrawRecordText(*record, 200, 300, "HHHH");
        EXPECT_EQ(record->textAlpha, 255) << "alpha 0 becomes opaque";
        EXPECT_EQ(record->textRed, c.wantRed);
        EXPECT_EQ(record->textGreen, c.wantGreen);
        EXPECT_EQ(record->textBlue, c.wantBlue);
        const auto pixels = Frame();
        const uint32_t p = Brightest(pixels);
        EXPECT_NEAR(int(Red(p)), c.wantRed, 2) << c.red << "," << c.green << "," << c.blue;
        EXPECT_NEAR(int(Green(p)), c.wantGreen, 2);
        EXPECT_NEAR(int(Blue(p)), c.wantBlue, 2);
        const Rect lit = LitBounds(pixels);
        EXPECT_GE(lit.left, 200);
        EXPECT_GE(lit.top, 300);
    }
}

TEST_F(TextRecordTest, TextBelowTheScreenDrawsNothing) {
    TextRecord* record = FontRecord();
    DrawRecordText(*record, 10, 768, "HHHH");
    EXPECT_EQ(CountLit(Frame()), 0);
    DrawRecordText(*record, 10, 740, "HHHH\nHHHH");
    const Rect lit = LitBounds(Frame());
    EXPECT_GT(CountLit(Frame()), 0);
    EXPECT_LE(lit.bottom, 768);
}

TEST_F(TextRecordTest, MissingPartsDrawNothingButTheRecordIsStillUpdated) {
    TextRecord bare;
    bare.x = 5.7f;
    bare.y = -3.2f;
    DrawRecordSprite(bare, kWhiteSlot, 0, 0, 93, 146);  // no sprite
    DrawRecordText(bare, 0, 0, "HHHH");                  // no font
    DrawRecordScreen(bare, nullptr);
    EXPECT_EQ(bare.textRed, 255);
    EXPECT_FLOAT_EQ(bare.scaleX, 1.0f);
    EXPECT_EQ(bare.screenRect.left, 5);   // truncated toward zero
    EXPECT_EQ(bare.screenRect.top, -3);
    EXPECT_EQ(bare.screenRect.right, 1029);
    EXPECT_EQ(bare.screenRect.bottom, 764);

    TextRecord* record = SpriteRecord();
    DrawRecordSprite(*record, 55, 0, 0, 93, 146);   // empty slot
    DrawRecordSprite(*record, 500, 0, 0, 93, 146);  // past the table
    DrawRecordScreen(*record, nullptr);
    EXPECT_EQ(CountLit(Frame()), 0);
    EXPECT_FALSE(record->sprite->IsBegun());
}

TEST_F(TextRecordTest, ReleaseEmptiesTheTextureTableAndTheRecord) {
    TextRecord* record = SpriteRecord();
    record->font = FontRecord()->font;
    std::weak_ptr<Texture> texture = gTextureTable[kWhiteSlot];
    ReleaseTextRecord(*record);
    EXPECT_EQ(record->sprite, nullptr);
    EXPECT_EQ(record->font, nullptr);
    EXPECT_TRUE(texture.expired());
    for (const auto& slot : gTextureTable) EXPECT_EQ(slot, nullptr);
    ReleaseTextRecord(*record);  // a second release finds nothing
}

}  // namespace
}  // namespace velor::demo
