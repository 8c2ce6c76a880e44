// Window 3's image overlay: four translucent copies of the zombi texture whose top-left corners run
// on circles of 10 and 20 pixels about (250, 120) and (260, 120). Records 3 and 4 take the cosine for
// x and the sine for y, so they circle the other way round from records 1 and 2.
//
// Writes alphaLevel, x and y of text records 1 to 4, and the alpha level of record 5 for the fade.
#include "demo/overlay/image_overlay.h"

#include <cmath>

#include "demo/content/demo_resources.h"
#include "demo/overlay/text_record.h"

namespace velor::demo {

namespace {

constexpr float kNearAlpha = 0.3f;  // records 1 and 2: alpha byte 75
constexpr float kFarAlpha = 0.4f;   // records 3 and 4: alpha byte 101
constexpr float kCircleRate = 10.0f;
constexpr int kImageSize = 512;

// Positions are whole pixels, truncated toward zero.
float Pixel(float coordinate) { return float(int(coordinate)); }

void Place(int record, float alphaLevel, float x, float y) {
    TextRecord& r = gTextRecords[size_t(record)];
    r.alphaLevel = alphaLevel;
    r.x = Pixel(x);
    r.y = Pixel(y);
}

}  // namespace

void DrawFourSpriteOverlay(float terrainClock) {
    const float u = kCircleRate * terrainClock;
    const float s = float(std::sin(double(u)));
    const float c = float(std::cos(double(u)));
    Place(1, kNearAlpha, 250.0f + 10.0f * s, 120.0f + 10.0f * c);
    Place(2, kNearAlpha, 250.0f + 20.0f * s, 120.0f + 20.0f * c);
    Place(3, kFarAlpha, 260.0f + 10.0f * c, 120.0f + 10.0f * s);
    Place(4, kFarAlpha, 260.0f + 20.0f * c, 120.0f + 20.0f * s);
    for (int record = 1; record <= 4; ++record)
        DrawRecordSprite(gTextRecords[size_t(record)], kZombiTextureSlot, 0, 0, kImageSize, kImageSize);
}

void DrawFadeOverlay(float fadeLevel) {
    TextRecord& fade = gTextRecords[kFadeRecord];
    fade.alphaLevel = fadeLevel;
    DrawRecordScreen(fade, gResources.fadeTexture);
}

}  // namespace velor::demo
