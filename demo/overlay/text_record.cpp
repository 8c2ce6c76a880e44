// Text records. A record's text is drawn by its font straight to the screen; its image is drawn by
// its sprite, scaled and turned about the centre of the source rectangle and moved to (x, y). The
// colour rules are arithmetic on purpose: the alpha byte is the low byte of 255 (1 + level), so a
// level of 0 is opaque and levels just above 0 wrap round to faint (the fades and overlays rely on
// it). Defaults (white text, opaque text, unit scale) are written back into the record when first
// used, and stay.
//
// A record without a font or sprite, or a texture slot that holds nothing, draws nothing; the record
// is still updated as a draw would update it.
#include "demo/overlay/text_record.h"

#include <cstring>

#include "demo/shell/shell_state.h"
#include "engine/math/d3dx_math.h"

namespace velor::demo {

// NOTE: the texture table is defined before the records so that it is destroyed after them: the
// first record destroyed at exit empties it.
std::array<std::shared_ptr<Texture>, kTextureTableSize> gTextureTable;
std::array<TextRecord, kTextRecordCount> gTextRecords;

TextRecord::~TextRecord() { ReleaseTextRecord(*this); }

namespace {

constexpr int kScreenWidth = 1024;   // DrawRecordScreen's fixed source rectangle
constexpr int kScreenHeight = 768;

// Low 8 bits of a float truncated toward zero. Values beyond the 32-bit range give 0, as the
// processor's out-of-range conversion (0x80000000) would.
uint32_t TruncatedLowByte(float value) {
    if (!(value > -2147483648.0f && value < 2147483648.0f)) return 0;
    return uint32_t(int32_t(value)) & 0xFFu;
}

uint32_t AlphaByte(float alphaLevel) { return TruncatedLowByte(255.0f * (1.0f + alphaLevel)); }
uint32_t CutByte(float cut) { return TruncatedLowByte(255.0f * (1.0f - cut)); }

// Steps shared by both sprite draws: placement rectangle, tint, defaults, transform, one quad.
void DrawSpriteQuad(TextRecord& record, const std::shared_ptr<Texture>& texture, const Rect& source, Vector2 centre) {
    const int w = source.right - source.left;
    const int h = source.bottom - source.top;
    record.screenRect = Rect{int32_t(record.x), int32_t(record.y), int32_t(float(w) + record.x),
                             int32_t(float(h) + record.y)};

    const Color color = ColorArgb(AlphaByte(record.alphaLevel), CutByte(record.redCut), CutByte(record.greenCut),
                                  CutByte(record.blueCut));
    if (record.defaultScaleX == 0) record.defaultScaleX = 1;
    if (record.defaultScaleY == 0) record.defaultScaleY = 1;
    if (record.scaleX == 0.0f) record.scaleX = float(record.defaultScaleX);
    if (record.scaleY == 0.0f) record.scaleY = float(record.defaultScaleY);

    if (record.sprite == nullptr) return;
    record.sprite->Begin(SpriteFlags::AlphaBlend);
    const Vector2 scaling{record.scaleX, record.scaleY};
    const Vector2 translation{record.x, record.y};
    Matrix transform;
    MatrixTransformation2D(&transform, &centre, 0.0f, &scaling, &centre, record.angle, &translation);
    record.sprite->SetTransform(&transform);
    if (texture != nullptr) record.sprite->Draw(texture, &source, nullptr, nullptr, color);
    record.sprite->End();
}

}  // namespace

void DrawRecordText(TextRecord& record, int x, int y, const char* text) {
    if (record.textAlpha == 0) record.textAlpha = 255;
    // NOTE: green is never tested; a record with red and blue 0 is white whatever its green.
    if (record.textRed == 0 && record.textBlue == 0) {
        record.textRed = 255;
        record.textGreen = 255;
        record.textBlue = 255;
    }
    if (record.font == nullptr || text == nullptr) return;
    // Cut off only at the screen's right and bottom edges.
    Rect rect{x, y, int32_t(gShell.presentParameters.backBufferWidth),
              int32_t(gShell.presentParameters.backBufferHeight)};
    const Color color = ColorArgb(uint32_t(record.textAlpha) & 0xFFu, uint32_t(record.textRed) & 0xFFu,
                                  uint32_t(record.textGreen) & 0xFFu, uint32_t(record.textBlue) & 0xFFu);
    record.font->DrawText(nullptr, text, int(std::strlen(text)), &rect, DrawTextFormat::Left | DrawTextFormat::Top,
                          color);
}

void DrawRecordSprite(TextRecord& record, int slot, int left, int top, int right, int bottom) {
    std::shared_ptr<Texture> texture;
    if (slot >= 0 && slot < kTextureTableSize) texture = gTextureTable[size_t(slot)];
    const Rect source{left, top, right, bottom};
    // Integer halves, so an odd-sized rectangle turns about a point half a texel off its middle.
    const Vector2 centre{float((right - left) / 2), float((bottom - top) / 2)};
    DrawSpriteQuad(record, texture, source, centre);
}

void DrawRecordScreen(TextRecord& record, const std::shared_ptr<Texture>& texture) {
    const Rect source{0, 0, kScreenWidth, kScreenHeight};
    DrawSpriteQuad(record, texture, source, Vector2{kScreenWidth / 2.0f, kScreenHeight / 2.0f});
}

void ReleaseTextRecord(TextRecord& record) {
    for (auto& texture : gTextureTable) texture.reset();
    record.sprite.reset();
    record.font.reset();
}

}  // namespace velor::demo
