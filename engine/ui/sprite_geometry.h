#pragma once
// Where a sprite's quad lands: the corner and texture-coordinate rules of ID3DXSprite::Draw and the
// screen-space projection of ID3DXSprite::Begin, as plain functions so they run without a device.
#include <array>
#include <cstdint>

#include "engine/gfx/d3d_types.h"
#include "engine/math/math_types.h"

namespace velor {

// One sprite vertex: D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1, 24 bytes.
struct SpriteVertex {
    float x, y, z;  // render-target pixels (after the sprite transform)
    Color color;    // D3DCOLOR, 0xAARRGGBB
    float u, v;     // texture coordinates, 0..1 across the texture
};
static_assert(sizeof(SpriteVertex) == 24);
constexpr uint32_t kSpriteVertexFvf = Fvf::XYZ | Fvf::Diffuse | Fvf::Tex1;

// Corners in the order (0,0), (w,0), (w,h), (0,h) of the source rectangle.
using SpriteQuad = std::array<SpriteVertex, 4>;

// The quad ID3DXSprite::Draw makes: each corner is TransformCoord(position − centre + corner,
// transform), texture coordinates are the source rectangle's edges over the texture's size (the whole
// texture without a rectangle), every vertex carries `color`. Null centre and position mean the origin.
SpriteQuad BuildSpriteQuad(uint32_t textureWidth, uint32_t textureHeight, const Rect* source,
                           const Vector3* centre, const Vector3* position, const Matrix& transform, Color color);

// The projection Begin sets outside object space: OrthoOffCenterLH(X + 0.5, X + W + 0.5, Y + H + 0.5,
// Y + 0.5, MinZ, MaxZ), so positions are render-target pixels and integer positions fall on pixel
// edges (texels map one to one). On a target drawn at `pixelScale` real pixels per unit the half is
// 0.5 / pixelScale: the vertex stage shifts by half a real pixel, and the edges stay on real pixel
// edges (pixel_scale.h).
Matrix SpriteProjection(const Viewport& viewport, float pixelScale = 1.0f);

// The two triangles (0,1,2) (0,2,3) of a quad, appended as a triangle list.
void AppendQuadTriangles(const SpriteQuad& quad, SpriteVertex* out6);

}  // namespace velor
