// Window 6, the end scroller: a red fire animation fills the middle of the screen while the title
// and then the greetings scroll up over it at 100 pixels a second. Nothing ends it.
//
// The fire is a sheet of 11 x 7 cells of 93 x 146 texels in texture slot 100, read row by row; the
// sprite record tints it pure red and scales a cell six times across and five times down about its
// centre. The cell advances when its clock passes 1 and the excess is dropped, so the animation runs
// a little slower than 20 cells a second, by how much depending on the frame rate.
//
// Takes the frame delta; writes the scroller state and the fire sprite record; text records 1 and 2
// keep the fonts and colours start-up gave them.
#include "demo/overlay/scroller.h"

#include "demo/overlay/text_record.h"

namespace velor::demo {

ScrollerState gScroller;

const char* const kTitleText = "VELOR DEMO\ncode & gfx  by morvil";
const char* const kGreetingsText =
    "KALVORIN\n\n\nMERUSK\n\n\nTORVA\n\n\nZELPI\n\n\nVOSKAR\n\n\nPELDORIM\n\n\nNARBEL\n\n\nOSTRAVIND\n\n\nKIRPA\n\n\n"
    "FALUNDER\n\n\nAND";

namespace {

constexpr float kFireCellsPerSecond = 20.0f;
constexpr float kScrollPixelsPerSecond = 100.0f;
constexpr int32_t kFireColumns = 11;
constexpr int32_t kFireRows = 7;
constexpr int kFireCellWidth = 93;
constexpr int kFireCellHeight = 146;
constexpr int kTitleX = 550, kTitleStartY = 960;
constexpr int kGreetingsX = 600, kGreetingsStartY = 1150;

}  // namespace

void DrawScroller(float frameDelta) {
    gScroller.fireFrameClock += kFireCellsPerSecond * frameDelta;
    gScroller.scrollOffset += kScrollPixelsPerSecond * frameDelta;
    if (gScroller.fireFrameClock > 1.0f) {
        gScroller.fireColumn += 1;
        gScroller.fireFrameClock = 0;
    }
    if (gScroller.fireColumn > kFireColumns) {
        gScroller.fireRow += 1;
        gScroller.fireColumn = 1;
    }
    if (gScroller.fireRow > kFireRows) gScroller.fireRow = 1;

    TextRecord& fire = gTextRecords[kFireSpriteRecord];
    fire.x = 420;
    fire.y = 250;
    fire.redCut = 0;
    fire.greenCut = 1;  // green and blue removed: pure red flames
    fire.blueCut = 1;
    fire.scaleX = 6;
    fire.scaleY = 5;
    const int column = gScroller.fireColumn, row = gScroller.fireRow;
    DrawRecordSprite(fire, kFireTextureSlot, kFireCellWidth * (column - 1), kFireCellHeight * (row - 1),
                     kFireCellWidth * column, kFireCellHeight * row);

    DrawRecordText(gTextRecords[kTitleRecord], kTitleX, int(float(kTitleStartY) - gScroller.scrollOffset), kTitleText);
    DrawRecordText(gTextRecords[kGreetingsRecord], kGreetingsX, int(float(kGreetingsStartY) - gScroller.scrollOffset),
                   kGreetingsText);
}

}  // namespace velor::demo
