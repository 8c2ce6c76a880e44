#pragma once
// Text records: a D3DX font, a D3DX sprite and the placement and tint of what the sprite draws. All
// 2D drawing of the demo goes through them. The texture table holds the images sprites draw.
#include <array>
#include <cstdint>
#include <memory>

#include "engine/gfx/d3d_types.h"
#include "engine/gfx/resources.h"
#include "engine/ui/font.h"
#include "engine/ui/sprite.h"

namespace velor::demo {

constexpr int kTextRecordCount = 1000;
constexpr int kTextureTableSize = 101;
constexpr int kTitleRecord = 1;        // title text; overlay image 1
constexpr int kGreetingsRecord = 2;    // greetings text; overlay image 2
constexpr int kFadeRecord = 5;
constexpr int kFireSpriteRecord = 300;
constexpr int kZombiTextureSlot = 1;
constexpr int kFireTextureSlot = 100;

struct TextRecord {
    std::shared_ptr<Sprite> sprite;
    std::shared_ptr<Font> font;
    int32_t textAlpha = 0;                        // 0..255; 0 becomes 255 at the next text draw
    int32_t textRed = 0, textGreen = 0, textBlue = 0;  // red and blue both 0: white at the next text draw
    float alphaLevel = 0;                         // alpha byte = low byte of trunc(255 (1 + level))
    float angle = 0;                              // radians about the drawn rectangle's centre
    float x = 0, y = 0;                           // pixels
    float scaleX = 0, scaleY = 0;                 // 0 becomes the default scale at the next sprite draw
    float redCut = 0, greenCut = 0, blueCut = 0;  // colour byte = low byte of trunc(255 (1 - cut))
    int32_t defaultScaleX = 0, defaultScaleY = 0; // 0 becomes 1 at the next sprite draw
    Rect screenRect{};                            // rectangle of the last sprite draw

    TextRecord() = default;
    TextRecord(const TextRecord&) = delete;
    TextRecord& operator=(const TextRecord&) = delete;
    ~TextRecord();  // ReleaseTextRecord
};

extern std::array<TextRecord, kTextRecordCount> gTextRecords;
extern std::array<std::shared_ptr<Texture>, kTextureTableSize> gTextureTable;

void DrawRecordText(TextRecord& record, int x, int y, const char* text);
void DrawRecordSprite(TextRecord& record, int slot, int left, int top, int right, int bottom);
void DrawRecordScreen(TextRecord& record, const std::shared_ptr<Texture>& texture);
void ReleaseTextRecord(TextRecord& record);

}  // namespace velor::demo
