#pragma once
// Window 6: the fire animation under the scrolling title and greetings.
#include <cstdint>

namespace velor::demo {

struct ScrollerState {
    float scrollOffset = 0;     // pixels scrolled, 100 per second
    float fireFrameClock = 0;   // 20 per second; the cell advances once it passes 1
    int32_t fireColumn = 1;     // cell column of the fire sheet, 1..11
    int32_t fireRow = 1;        // cell row, 1..7
};

extern ScrollerState gScroller;

extern const char* const kTitleText;
extern const char* const kGreetingsText;

void DrawScroller(float frameDelta);

}  // namespace velor::demo
