#include "engine/ui/sprite_geometry.h"

#include "engine/math/d3dx_math.h"

namespace velor {

SpriteQuad BuildSpriteQuad(uint32_t textureWidth, uint32_t textureHeight, const Rect* source,
                           const Vector3* centre, const Vector3* position, const Matrix& transform, Color color) {
    Rect r = source != nullptr ? *source : Rect{0, 0, int32_t(textureWidth), int32_t(textureHeight)};
    const float w = float(r.right - r.left);
    const float h = float(r.bottom - r.top);
    const Vector3 c = centre != nullptr ? *centre : Vector3{};
    const Vector3 p = position != nullptr ? *position : Vector3{};
    const float tw = textureWidth > 0 ? float(textureWidth) : 1.0f;
    const float th = textureHeight > 0 ? float(textureHeight) : 1.0f;
    const float u0 = float(r.left) / tw, u1 = float(r.right) / tw;
    const float v0 = float(r.top) / th, v1 = float(r.bottom) / th;

    const float cornerX[4] = {0, w, w, 0};
    const float cornerY[4] = {0, 0, h, h};
    const float cornerU[4] = {u0, u1, u1, u0};
    const float cornerV[4] = {v0, v0, v1, v1};
    SpriteQuad quad{};
    for (int i = 0; i < 4; ++i) {
        Vector3 local{p.x - c.x + cornerX[i], p.y - c.y + cornerY[i], p.z - c.z};
        Vector3 out;
        Vec3TransformCoord(&out, &local, &transform);
        quad[i] = SpriteVertex{out.x, out.y, out.z, color, cornerU[i], cornerV[i]};
    }
    return quad;
}

Matrix SpriteProjection(const Viewport& vp, float pixelScale) {
    Matrix m;
    const float x = float(vp.x), y = float(vp.y), w = float(vp.width), h = float(vp.height);
    const float half = 0.5f / pixelScale;
    MatrixOrthoOffCenterLH(&m, x + half, x + w + half, y + h + half, y + half, vp.minZ, vp.maxZ);
    return m;
}

void AppendQuadTriangles(const SpriteQuad& quad, SpriteVertex* out6) {
    out6[0] = quad[0];
    out6[1] = quad[1];
    out6[2] = quad[2];
    out6[3] = quad[0];
    out6[4] = quad[2];
    out6[5] = quad[3];
}

}  // namespace velor
