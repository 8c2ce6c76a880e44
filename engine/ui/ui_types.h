#pragma once
// D3DX font and sprite constants with their Direct3D / GDI numeric values, so calls read the same as
// the D3DX calls they stand in for.
#include <cstdint>

namespace velor {

// D3DXSPRITE_* flags for Sprite::Begin.
namespace SpriteFlags {
constexpr uint32_t DoNotSaveState = 0x01;           // D3DXSPRITE_DONOTSAVESTATE
constexpr uint32_t DoNotModifyRenderState = 0x02;   // D3DXSPRITE_DONOTMODIFY_RENDERSTATE
constexpr uint32_t ObjectSpace = 0x04;              // D3DXSPRITE_OBJECTSPACE
constexpr uint32_t Billboard = 0x08;                // D3DXSPRITE_BILLBOARD (not supported)
constexpr uint32_t AlphaBlend = 0x10;               // D3DXSPRITE_ALPHABLEND
constexpr uint32_t SortTexture = 0x20;              // D3DXSPRITE_SORT_TEXTURE (draw order is kept)
constexpr uint32_t SortDepthFrontToBack = 0x40;     // D3DXSPRITE_SORT_DEPTH_FRONTTOBACK (draw order is kept)
constexpr uint32_t SortDepthBackToFront = 0x80;     // D3DXSPRITE_SORT_DEPTH_BACKTOFRONT (draw order is kept)
constexpr uint32_t DoNotAddRefTexture = 0x100;      // D3DXSPRITE_DO_NOT_ADDREF_TEXTURE
}  // namespace SpriteFlags

// DT_* format flags for Font::DrawText.
namespace DrawTextFormat {
constexpr uint32_t Top = 0x000;
constexpr uint32_t Left = 0x000;
constexpr uint32_t Center = 0x001;
constexpr uint32_t Right = 0x002;
constexpr uint32_t VCenter = 0x004;     // with SingleLine
constexpr uint32_t Bottom = 0x008;      // with SingleLine
constexpr uint32_t WordBreak = 0x010;   // not supported: lines break only at line breaks
constexpr uint32_t SingleLine = 0x020;
constexpr uint32_t ExpandTabs = 0x040;  // not supported
constexpr uint32_t NoClip = 0x100;
constexpr uint32_t CalcRect = 0x400;
}  // namespace DrawTextFormat

// FW_* weights (LOGFONT lfWeight).
namespace FontWeight {
constexpr uint32_t DontCare = 0;
constexpr uint32_t Thin = 100;
constexpr uint32_t Light = 300;
constexpr uint32_t Normal = 400;
constexpr uint32_t Medium = 500;
constexpr uint32_t SemiBold = 600;
constexpr uint32_t Bold = 700;
constexpr uint32_t Heavy = 900;
}  // namespace FontWeight

// LOGFONT character sets, precisions, qualities and pitches: accepted and, apart from the quality,
// without effect (every face is read as Unicode and the text as Windows-1252).
namespace FontCharSet {
constexpr uint32_t Ansi = 0;
constexpr uint32_t Default = 1;
}  // namespace FontCharSet

namespace FontQuality {
constexpr uint32_t Default = 0;
constexpr uint32_t Draft = 1;
constexpr uint32_t Proof = 2;
constexpr uint32_t NonAntialiased = 3;  // glyphs rasterised one bit per pixel
constexpr uint32_t Antialiased = 4;
constexpr uint32_t ClearType = 5;       // drawn antialiased
}  // namespace FontQuality

}  // namespace velor
