// The end scroller: the fire sheet's cell clock and wrap, which cell is drawn, and where the title and
// greetings are as the offset grows.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include "demo/overlay/scroller.h"
#include "demo/overlay/text_record.h"
#include "demo/shell/shell_state.h"
#include "engine/gfx/device_controls.h"
#include "engine/ui/font.h"
#include "engine/ui/sprite.h"
#include "tests/gfx/render_fixture.h"

namespace velor::demo {
namespace {

constexpr int kCellWidth = 93, kCellHeight = 146;

// Red of the texels of cell (column, row), both from 1: distinct for all 77 cells.
uint32_t CellRed(int column, int row) { return uint32_t(20 + 3 * ((row - 1) * 11 + (column - 1))); }

class ScrollerTest : public test::RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        if (HasFatalFailure()) return;
        gShell.device = test_.device;
        ASSERT_EQ(CreateSprite(device_, &gTextRecords[kFireSpriteRecord].sprite), Result::Ok);
        std::string error;
        ASSERT_EQ(CreateFont(device_, 22, 0, 0, 1, false, 1, 0, 0, 0, "", &gTextRecords[kTitleRecord].font, &error),
                  Result::Ok)
            << error;
        ASSERT_EQ(CreateFont(device_, 35, 0, 0, 1, true, 1, 0, 0, 0, "", &gTextRecords[kGreetingsRecord].font, &error),
                  Result::Ok)
            << error;
        TextRecord& greetings = gTextRecords[kGreetingsRecord];
        greetings.textRed = 170;
        greetings.textGreen = 170;
        greetings.textBlue = 255;
        // A sheet whose cells are flat colours with their own red, so the drawn cell can be told.
        std::shared_ptr<Texture> sheet;
        ASSERT_EQ(device_->CreateTexture(1024, 1024, 1, 0, Format::A8R8G8B8, Pool::Managed, &sheet), Result::Ok);
        LockedRect locked;
        ASSERT_EQ(sheet->LockRect(0, &locked, nullptr, 0), Result::Ok);
        for (int y = 0; y < 1024; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.bits) + y * locked.pitch);
            for (int x = 0; x < 1024; ++x) {
                const int column = std::min(x / kCellWidth, 10) + 1, cellRow = std::min(y / kCellHeight, 6) + 1;
                row[x] = 0xFF00FFFFu | (CellRed(column, cellRow) << 16);  // green and blue are cut by the tint
            }
        }
        sheet->UnlockRect(0);
        gTextureTable[kFireTextureSlot] = sheet;
    }
    void TearDown() override {
        for (auto& texture : gTextureTable) texture.reset();
        for (int record : {kTitleRecord, kGreetingsRecord, kFireSpriteRecord}) {
            gTextRecords[size_t(record)].sprite.reset();
            gTextRecords[size_t(record)].font.reset();
        }
        gShell.device.reset();
    }

    static void Frame(float delta) { DrawScroller(delta); }
};

int Red(uint32_t p) { return int((p >> 16) & 0xFF); }
int Green(uint32_t p) { return int((p >> 8) & 0xFF); }
int Blue(uint32_t p) { return int(p & 0xFF); }

// First row at or below `from` holding a pixel of x >= `left` that passes `test`; -1 when none does.
template <typename Test>
int FirstRow(const std::vector<uint32_t>& pixels, int from, int left, Test test) {
    for (int y = from; y < int(kBackBufferHeight); ++y)
        for (int x = left; x < int(kBackBufferWidth); ++x)
            if (test(test::PixelAt(pixels, x, y))) return y;
    return -1;
}

bool White(uint32_t p) { return Red(p) > 200 && Green(p) > 200 && Blue(p) > 200; }
bool BlueWhite(uint32_t p) { return Blue(p) > 240 && Green(p) > 150 && Green(p) < 190 && Red(p) < 190; }

TEST_F(ScrollerTest, FireCellAdvancesOnlyOnceItsClockIsAboveOne) {
    Frame(0.05f);  // 20 · 0.05 = 1.0 exactly: not above 1
    ASSERT_EQ(gScroller.fireFrameClock, 1.0f);
    EXPECT_EQ(gScroller.fireColumn, 1);
    Frame(0.001f);
    EXPECT_EQ(gScroller.fireColumn, 2);
    EXPECT_EQ(gScroller.fireRow, 1);
    EXPECT_EQ(gScroller.fireFrameClock, 0.0f);  // the excess is dropped
    // A long frame still advances one cell only.
    Frame(1.0f);
    EXPECT_EQ(gScroller.fireColumn, 3);
}

TEST_F(ScrollerTest, CellsRunAlongRowsAndWrapToTheFirstAfterTheLast) {
    struct Case {
        int column, row, nextColumn, nextRow;
    };
    const Case cases[] = {{10, 1, 11, 1}, {11, 1, 1, 2}, {11, 3, 1, 4}, {11, 7, 1, 1}};
    for (const Case& c : cases) {
        gScroller.fireColumn = c.column;
        gScroller.fireRow = c.row;
        gScroller.fireFrameClock = 0.99f;
        Frame(0.001f);
        EXPECT_EQ(gScroller.fireColumn, c.nextColumn) << c.column << "," << c.row;
        EXPECT_EQ(gScroller.fireRow, c.nextRow) << c.column << "," << c.row;
    }
}

TEST_F(ScrollerTest, FireRecordIsPureRedScaledSixByFiveAtItsPlace) {
    Frame(0);
    const TextRecord& fire = gTextRecords[kFireSpriteRecord];
    EXPECT_EQ(fire.x, 420.0f);
    EXPECT_EQ(fire.y, 250.0f);
    EXPECT_EQ(fire.scaleX, 6.0f);
    EXPECT_EQ(fire.scaleY, 5.0f);
    EXPECT_EQ(fire.redCut, 0.0f);
    EXPECT_EQ(fire.greenCut, 1.0f);
    EXPECT_EQ(fire.blueCut, 1.0f);
}

TEST_F(ScrollerTest, DrawsTheCurrentCellRedAcrossTheMiddleOfTheScreen) {
    for (auto [column, row] : {std::pair{1, 1}, std::pair{4, 3}, std::pair{11, 7}}) {
        device_->Clear(0, nullptr, Clear::Target, 0xFF000000u, 1.0f, 0);
        gScroller.fireColumn = column;
        gScroller.fireRow = row;
        gScroller.fireFrameClock = 0;
        gScroller.scrollOffset = -5000;  // texts far below the screen
        Frame(0);
        const auto pixels = ReadBackBuffer(*device_);
        // The cell covers x 190..748 and y -42..688; its middle is at (469, 323).
        const uint32_t middle = test::PixelAt(pixels, 469, 323);
        EXPECT_NEAR(Red(middle), int(CellRed(column, row)), 2) << column << "," << row;
        EXPECT_EQ(Green(middle), 0);
        EXPECT_EQ(Blue(middle), 0);
        EXPECT_NEAR(Red(test::PixelAt(pixels, 195, 5)), int(CellRed(column, row)), 2);
        EXPECT_EQ(test::PixelAt(pixels, 185, 323), 0xFF000000u);
        EXPECT_EQ(test::PixelAt(pixels, 752, 323), 0xFF000000u);
        EXPECT_EQ(test::PixelAt(pixels, 469, 692), 0xFF000000u);
    }
}

TEST_F(ScrollerTest, TitleStartsBelowTheScreenAndReachesTheTopAtOffset960) {
    Frame(0);  // offset 0: title at y 960, greetings at 1150, both off screen
    auto pixels = ReadBackBuffer(*device_);
    EXPECT_EQ(FirstRow(pixels, 0, 0, White), -1);

    device_->Clear(0, nullptr, Clear::Target, 0xFF000000u, 1.0f, 0);
    gScroller.scrollOffset = 950;
    Frame(0.1f);  // + 10 pixels: 960
    ASSERT_FLOAT_EQ(gScroller.scrollOffset, 960.0f);
    pixels = ReadBackBuffer(*device_);
    const int titleTop = FirstRow(pixels, 0, 550, White);
    ASSERT_GE(titleTop, 0);
    EXPECT_LT(titleTop, 8);  // the first line's cell starts at row 0
    // Nothing white left of the title's x, and the two title lines end well above the greetings.
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 548; ++x) ASSERT_FALSE(White(test::PixelAt(pixels, x, y))) << x << "," << y;
    // Nor does it start further right: the V's left edge is one column in from the title's x.
    int titleLeft = int(kBackBufferWidth);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < titleLeft; ++x)
            if (White(test::PixelAt(pixels, x, y))) titleLeft = x;
    EXPECT_LE(titleLeft, 553);
    EXPECT_EQ(FirstRow(pixels, 60, 0, White), -1);
    // The greetings, blue-white, start 190 rows lower, right of x 600.
    const int greetingsTop = FirstRow(pixels, 0, 0, BlueWhite);
    ASSERT_GE(greetingsTop, 190);
    EXPECT_LT(greetingsTop, 206);
    EXPECT_EQ(FirstRow(pixels, greetingsTop, 0, BlueWhite), FirstRow(pixels, greetingsTop, 600, BlueWhite));
}

}  // namespace
}  // namespace velor::demo
