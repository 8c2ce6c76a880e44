// Vector helpers with D3DX's formulas. Every function reads its inputs into locals before writing,
// so an output may alias an input.
#include <cmath>

#include "engine/math/d3dx_math.h"

namespace velor {

Vector2* Vec2Normalize(Vector2* out, const Vector2* v) {
    const float length = std::sqrt(v->x * v->x + v->y * v->y);
    if (length == 0.0f) {
        *out = Vector2{};
        return out;
    }
    *out = Vector2{v->x / length, v->y / length};
    return out;
}

float Vec3Dot(const Vector3* a, const Vector3* b) {
    return a->x * b->x + a->y * b->y + a->z * b->z;
}

float Vec3Length(const Vector3* v) {
    return std::sqrt(Vec3Dot(v, v));
}

Vector3* Vec3Cross(Vector3* out, const Vector3* a, const Vector3* b) {
    const Vector3 r{a->y * b->z - a->z * b->y,
                    a->z * b->x - a->x * b->z,
                    a->x * b->y - a->y * b->x};
    *out = r;
    return out;
}

Vector3* Vec3Normalize(Vector3* out, const Vector3* v) {
    const float length = Vec3Length(v);
    if (length == 0.0f) {
        *out = Vector3{};
        return out;
    }
    *out = Vector3{v->x / length, v->y / length, v->z / length};
    return out;
}

// NOTE: like D3DX, a point that lands on w = 0 is divided anyway and comes out infinite or NaN;
// callers only transform points in front of the camera.
Vector3* Vec3TransformCoord(Vector3* out, const Vector3* v, const Matrix* m) {
    const auto& a = m->m;
    const float x = v->x, y = v->y, z = v->z;
    const float w = x * a[0][3] + y * a[1][3] + z * a[2][3] + a[3][3];
    *out = Vector3{(x * a[0][0] + y * a[1][0] + z * a[2][0] + a[3][0]) / w,
                   (x * a[0][1] + y * a[1][1] + z * a[2][1] + a[3][1]) / w,
                   (x * a[0][2] + y * a[1][2] + z * a[2][2] + a[3][2]) / w};
    return out;
}

Vector3* Vec3TransformNormal(Vector3* out, const Vector3* v, const Matrix* m) {
    const auto& a = m->m;
    const float x = v->x, y = v->y, z = v->z;
    *out = Vector3{x * a[0][0] + y * a[1][0] + z * a[2][0],
                   x * a[0][1] + y * a[1][1] + z * a[2][1],
                   x * a[0][2] + y * a[1][2] + z * a[2][2]};
    return out;
}

Vector4* Vec3Transform(Vector4* out, const Vector3* v, const Matrix* m) {
    const Vector4 p{v->x, v->y, v->z, 1.0f};
    return Vec4Transform(out, &p, m);
}

Vector4* Vec4Transform(Vector4* out, const Vector4* v, const Matrix* m) {
    const auto& a = m->m;
    const float x = v->x, y = v->y, z = v->z, w = v->w;
    *out = Vector4{x * a[0][0] + y * a[1][0] + z * a[2][0] + w * a[3][0],
                   x * a[0][1] + y * a[1][1] + z * a[2][1] + w * a[3][1],
                   x * a[0][2] + y * a[1][2] + z * a[2][2] + w * a[3][2],
                   x * a[0][3] + y * a[1][3] + z * a[2][3] + w * a[3][3]};
    return out;
}

}  // namespace velor
