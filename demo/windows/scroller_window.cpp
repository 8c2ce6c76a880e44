#include "demo/windows/scroller_window.h"

#include <cstdio>
#include <string>

#include "demo/overlay/text_record.h"
#include "demo/shell/shell_state.h"
#include "demo/windows/scene_calls.h"
#include "engine/ui/font.h"

namespace velor::demo {

namespace {

constexpr int kTitleFontHeight = 22;
constexpr int kGreetingsFontHeight = 35;
constexpr uint32_t kDefaultCharset = 1;

void CreateRecordFont(int record, int height, bool italic) {
    std::string error;
    static std::string said;  // both records ask for the same font: one reason is enough
    if (CreateFont(CurrentDevice(), height, 0, 0, 1, italic, kDefaultCharset, 0, 0, 0, "",
                   &gTextRecords[size_t(record)].font, &error) != Result::Ok && error != said) {
        std::fprintf(stderr, "velor: no font for text: %s\n", error.c_str());
        said = error;
    }
}

}  // namespace

void SetUpScrollerWindow() {
    CreateRecordFont(kTitleRecord, kTitleFontHeight, false);
    CreateRecordFont(kGreetingsRecord, kGreetingsFontHeight, true);
    TextRecord& greetings = gTextRecords[kGreetingsRecord];
    greetings.textRed = 170;
    greetings.textGreen = 170;
    greetings.textBlue = 255;
    CreateSprite(CurrentDevice(), &gTextRecords[kFireSpriteRecord].sprite);
}

void ScrollerWindowScene(float, float frameDelta) { gSceneCalls.drawScroller(frameDelta); }

}  // namespace velor::demo
