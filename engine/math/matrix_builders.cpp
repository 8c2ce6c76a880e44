// Matrices built from parameters: translation, scaling, rotations, the left-handed projections and
// view, and the 2D sprite transformation. Layouts follow D3DX exactly: row vectors, so a rotation's
// sine sits above the diagonal for x and z and below it for y, and translation fills the last row.
#include <cmath>

#include "engine/math/d3dx_math.h"

namespace velor {

namespace {

// Row-vector 2D affine transform [x y 1] · [[a b 0] [c d 0] [tx ty 1]]; composing in this form
// keeps MatrixTransformation2D at a handful of multiplies instead of eight 4x4 products.
struct Affine2D {
    float a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;
};

Affine2D Then(const Affine2D& p, const Affine2D& q) {
    return Affine2D{p.a * q.a + p.b * q.c,         p.a * q.b + p.b * q.d,
                    p.c * q.a + p.d * q.c,         p.c * q.b + p.d * q.d,
                    p.tx * q.a + p.ty * q.c + q.tx, p.tx * q.b + p.ty * q.d + q.ty};
}

Affine2D Translate2D(float x, float y) {
    return Affine2D{1, 0, 0, 1, x, y};
}

// Same sense as MatrixRotationZ.
Affine2D Rotate2D(float angle) {
    const float c = std::cos(angle), s = std::sin(angle);
    return Affine2D{c, s, -s, c, 0, 0};
}

}  // namespace

Matrix* MatrixTranslation(Matrix* out, float x, float y, float z) {
    MatrixIdentity(out);
    out->m[3][0] = x;
    out->m[3][1] = y;
    out->m[3][2] = z;
    return out;
}

Matrix* MatrixScaling(Matrix* out, float x, float y, float z) {
    *out = Matrix{};
    out->m[0][0] = x;
    out->m[1][1] = y;
    out->m[2][2] = z;
    out->m[3][3] = 1.0f;
    return out;
}

Matrix* MatrixRotationX(Matrix* out, float angle) {
    const float c = std::cos(angle), s = std::sin(angle);
    MatrixIdentity(out);
    out->m[1][1] = c;
    out->m[1][2] = s;
    out->m[2][1] = -s;
    out->m[2][2] = c;
    return out;
}

Matrix* MatrixRotationY(Matrix* out, float angle) {
    const float c = std::cos(angle), s = std::sin(angle);
    MatrixIdentity(out);
    out->m[0][0] = c;
    out->m[0][2] = -s;
    out->m[2][0] = s;
    out->m[2][2] = c;
    return out;
}

Matrix* MatrixRotationZ(Matrix* out, float angle) {
    const float c = std::cos(angle), s = std::sin(angle);
    MatrixIdentity(out);
    out->m[0][0] = c;
    out->m[0][1] = s;
    out->m[1][0] = -s;
    out->m[1][1] = c;
    return out;
}

Matrix* MatrixRotationAxis(Matrix* out, const Vector3* axis, float angle) {
    Vector3 n;
    Vec3Normalize(&n, axis);
    const float c = std::cos(angle), s = std::sin(angle), t = 1.0f - c;
    MatrixIdentity(out);
    out->m[0][0] = t * n.x * n.x + c;
    out->m[0][1] = t * n.x * n.y + s * n.z;
    out->m[0][2] = t * n.x * n.z - s * n.y;
    out->m[1][0] = t * n.x * n.y - s * n.z;
    out->m[1][1] = t * n.y * n.y + c;
    out->m[1][2] = t * n.y * n.z + s * n.x;
    out->m[2][0] = t * n.x * n.z + s * n.y;
    out->m[2][1] = t * n.y * n.z - s * n.x;
    out->m[2][2] = t * n.z * n.z + c;
    return out;
}

Matrix* MatrixRotationQuaternion(Matrix* out, const Quaternion* q) {
    const float x = q->x, y = q->y, z = q->z, w = q->w;
    MatrixIdentity(out);
    out->m[0][0] = 1.0f - 2.0f * (y * y + z * z);
    out->m[0][1] = 2.0f * (x * y + z * w);
    out->m[0][2] = 2.0f * (x * z - y * w);
    out->m[1][0] = 2.0f * (x * y - z * w);
    out->m[1][1] = 1.0f - 2.0f * (x * x + z * z);
    out->m[1][2] = 2.0f * (y * z + x * w);
    out->m[2][0] = 2.0f * (x * z + y * w);
    out->m[2][1] = 2.0f * (y * z - x * w);
    out->m[2][2] = 1.0f - 2.0f * (x * x + y * y);
    return out;
}

// Depth maps zn to 0 and zf to 1 after the divide by w (= view-space z).
Matrix* MatrixPerspectiveFovLH(Matrix* out, float fovy, float aspect, float zn, float zf) {
    const float ys = 1.0f / std::tan(fovy / 2.0f);
    const float xs = ys / aspect;
    *out = Matrix{};
    out->m[0][0] = xs;
    out->m[1][1] = ys;
    out->m[2][2] = zf / (zf - zn);
    out->m[2][3] = 1.0f;
    out->m[3][2] = zn * zf / (zn - zf);
    return out;
}

Matrix* MatrixLookAtLH(Matrix* out, const Vector3* eye, const Vector3* at, const Vector3* up) {
    // eye is read before out is written, in case a caller passes overlapping storage.
    const Vector3 e = *eye;
    Vector3 z{at->x - e.x, at->y - e.y, at->z - e.z};
    Vec3Normalize(&z, &z);
    Vector3 x;
    Vec3Cross(&x, up, &z);
    Vec3Normalize(&x, &x);
    Vector3 y;
    Vec3Cross(&y, &z, &x);

    MatrixIdentity(out);
    out->m[0][0] = x.x;
    out->m[1][0] = x.y;
    out->m[2][0] = x.z;
    out->m[0][1] = y.x;
    out->m[1][1] = y.y;
    out->m[2][1] = y.z;
    out->m[0][2] = z.x;
    out->m[1][2] = z.y;
    out->m[2][2] = z.z;
    out->m[3][0] = -Vec3Dot(&x, &e);
    out->m[3][1] = -Vec3Dot(&y, &e);
    out->m[3][2] = -Vec3Dot(&z, &e);
    return out;
}

Matrix* MatrixOrthoOffCenterLH(Matrix* out, float l, float r, float b, float t, float zn, float zf) {
    MatrixIdentity(out);
    out->m[0][0] = 2.0f / (r - l);
    out->m[1][1] = 2.0f / (t - b);
    out->m[2][2] = 1.0f / (zf - zn);
    out->m[3][0] = (l + r) / (l - r);
    out->m[3][1] = (t + b) / (b - t);
    out->m[3][2] = zn / (zn - zf);
    return out;
}

// T(-sc) · R(-sr) · S · R(sr) · T(sc) · T(-rc) · R(rot) · T(rc) · T(t): scale along axes turned by
// the scaling rotation about the scaling centre, then rotate about the rotation centre, then move.
Matrix* MatrixTransformation2D(Matrix* out, const Vector2* scalingCenter, float scalingRotation,
                               const Vector2* scaling, const Vector2* rotationCenter, float rotation,
                               const Vector2* translation) {
    const Vector2 sc = scalingCenter ? *scalingCenter : Vector2{};
    const Vector2 s = scaling ? *scaling : Vector2{1.0f, 1.0f};
    const Vector2 rc = rotationCenter ? *rotationCenter : Vector2{};
    const Vector2 t = translation ? *translation : Vector2{};

    Affine2D f = Translate2D(-sc.x, -sc.y);
    f = Then(f, Rotate2D(-scalingRotation));
    f = Then(f, Affine2D{s.x, 0, 0, s.y, 0, 0});
    f = Then(f, Rotate2D(scalingRotation));
    f = Then(f, Translate2D(sc.x - rc.x, sc.y - rc.y));
    f = Then(f, Rotate2D(rotation));
    f = Then(f, Translate2D(rc.x + t.x, rc.y + t.y));

    MatrixIdentity(out);
    out->m[0][0] = f.a;
    out->m[0][1] = f.b;
    out->m[1][0] = f.c;
    out->m[1][1] = f.d;
    out->m[3][0] = f.tx;
    out->m[3][1] = f.ty;
    return out;
}

}  // namespace velor
