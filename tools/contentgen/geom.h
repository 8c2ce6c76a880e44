#pragma once
// Small vector, matrix and quaternion types for building meshes. Matrices follow Direct3D: row
// vectors, p' = p · M, so in A * B the transform A applies first; the space is left-handed.
//
// NOTE: these restate part of engine/math on purpose; the generator must not use the engine's.
// Every byte of the content, and so every frame, follows from the rounding here: Normalize
// multiplies by the reciprocal length, where the engine's Vec3Normalize divides by the length (as
// D3DX does), and products sum from zero. Taking the engine's functions changes the last bits of
// the normals and so the meshes the demo loads; and it would tie the content to the engine, so
// that any later change to the engine's maths (which must follow D3DX) would regenerate different
// content. The generator links no engine maths library and keeps its own value types.

#include <cmath>

namespace velor::content {

inline constexpr float kPi = 3.14159265358979f;

// The six faces of an axis-aligned box: the axis of the outward normal and its sign, and the two
// axes spanning the face, ordered so that Cross(u, v) is the outward normal.
struct BoxFace {
    int normalAxis;  // 0 x, 1 y, 2 z
    int sign;        // +1 or -1
    int uAxis, vAxis;
};
inline constexpr BoxFace kBoxFaces[6] = {
    {0, +1, 1, 2}, {0, -1, 2, 1}, {1, +1, 2, 0}, {1, -1, 0, 2}, {2, +1, 0, 1}, {2, -1, 1, 0},
};

struct Vec2 {
    float x = 0, y = 0;
};

struct Vec3 {
    float x = 0, y = 0, z = 0;

    Vec3 operator+(const Vec3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    Vec3 operator-(const Vec3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    Vec3 operator-() const { return {-x, -y, -z}; }
    Vec3 operator*(float s) const { return {x * s, y * s, z * s}; }
    Vec3& operator+=(const Vec3& o) { x += o.x; y += o.y; z += o.z; return *this; }
};

inline float Dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 Cross(const Vec3& a, const Vec3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float Length(const Vec3& v) { return std::sqrt(Dot(v, v)); }
inline Vec3 Normalize(const Vec3& v) {
    const float l = Length(v);
    return l > 0 ? v * (1.0f / l) : Vec3{};
}
inline Vec3 Lerp(const Vec3& a, const Vec3& b, float t) { return a + (b - a) * t; }

struct Mat4 {
    float m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};

    static Mat4 Identity() { return {}; }
    static Mat4 Translation(const Vec3& t) {
        Mat4 r;
        r.m[3][0] = t.x;
        r.m[3][1] = t.y;
        r.m[3][2] = t.z;
        return r;
    }
    static Mat4 Scaling(const Vec3& s) {
        Mat4 r;
        r.m[0][0] = s.x;
        r.m[1][1] = s.y;
        r.m[2][2] = s.z;
        return r;
    }
    // Direct3D's rotation matrices (D3DXMatrixRotationX/Y/Z): positive angles turn y toward z,
    // z toward x and x toward y respectively, seen in the left-handed space.
    static Mat4 RotationX(float a) {
        Mat4 r;
        const float c = std::cos(a), s = std::sin(a);
        r.m[1][1] = c; r.m[1][2] = s;
        r.m[2][1] = -s; r.m[2][2] = c;
        return r;
    }
    static Mat4 RotationY(float a) {
        Mat4 r;
        const float c = std::cos(a), s = std::sin(a);
        r.m[0][0] = c; r.m[0][2] = -s;
        r.m[2][0] = s; r.m[2][2] = c;
        return r;
    }
    static Mat4 RotationZ(float a) {
        Mat4 r;
        const float c = std::cos(a), s = std::sin(a);
        r.m[0][0] = c; r.m[0][1] = s;
        r.m[1][0] = -s; r.m[1][1] = c;
        return r;
    }
    // The basis rows: local x, y, z axes and the origin, in parent space.
    static Mat4 FromBasis(const Vec3& ax, const Vec3& ay, const Vec3& az, const Vec3& origin) {
        Mat4 r;
        const Vec3 rows[4] = {ax, ay, az, origin};
        for (int i = 0; i < 4; ++i) {
            r.m[i][0] = rows[i].x;
            r.m[i][1] = rows[i].y;
            r.m[i][2] = rows[i].z;
        }
        return r;
    }

    Mat4 operator*(const Mat4& b) const {
        Mat4 r;
        for (int i = 0; i < 4; ++i)
            for (int j = 0; j < 4; ++j) {
                float s = 0;
                for (int k = 0; k < 4; ++k) s += m[i][k] * b.m[k][j];
                r.m[i][j] = s;
            }
        return r;
    }

    Vec3 TransformPoint(const Vec3& p) const {
        return {p.x * m[0][0] + p.y * m[1][0] + p.z * m[2][0] + m[3][0],
                p.x * m[0][1] + p.y * m[1][1] + p.z * m[2][1] + m[3][1],
                p.x * m[0][2] + p.y * m[1][2] + p.z * m[2][2] + m[3][2]};
    }
    Vec3 TransformVector(const Vec3& v) const {
        return {v.x * m[0][0] + v.y * m[1][0] + v.z * m[2][0], v.x * m[0][1] + v.y * m[1][1] + v.z * m[2][1],
                v.x * m[0][2] + v.y * m[1][2] + v.z * m[2][2]};
    }
    // Normals go through the inverse transpose of the 3 x 3 part, then are renormalised.
    Vec3 TransformNormal(const Vec3& n) const {
        const Vec3 r0{m[0][0], m[0][1], m[0][2]}, r1{m[1][0], m[1][1], m[1][2]}, r2{m[2][0], m[2][1], m[2][2]};
        // The inverse's columns are the cross products of the rows (over the determinant), so the
        // inverse transpose has those cross products as its rows: n' = n.x c0 + n.y c1 + n.z c2.
        const Vec3 c0 = Cross(r1, r2), c1 = Cross(r2, r0), c2 = Cross(r0, r1);
        const float det = Dot(r0, c0);
        const float sign = det < 0 ? -1.0f : 1.0f;
        return Normalize((c0 * n.x + c1 * n.y + c2 * n.z) * sign);
    }
    // True when the transform mirrors space (triangles must then be re-wound).
    bool Mirrors() const {
        const Vec3 r0{m[0][0], m[0][1], m[0][2]}, r1{m[1][0], m[1][1], m[1][2]}, r2{m[2][0], m[2][1], m[2][2]};
        return Dot(r0, Cross(r1, r2)) < 0;
    }
};

// Rotation quaternion in the order the X file stores it: w, x, y, z.
struct Quat {
    float w = 1, x = 0, y = 0, z = 0;

    static Quat FromAxisAngle(const Vec3& axis, float angle) {
        const Vec3 a = Normalize(axis);
        const float s = std::sin(angle * 0.5f);
        return {std::cos(angle * 0.5f), a.x * s, a.y * s, a.z * s};
    }
};

// Applies a first, then b (the same order as the matrices a * b).
inline Quat Then(const Quat& a, const Quat& b) {
    // D3DXQuaternionMultiply(a, b) = b ⊗ a in Hamilton terms.
    return {b.w * a.w - b.x * a.x - b.y * a.y - b.z * a.z, b.w * a.x + b.x * a.w + b.y * a.z - b.z * a.y,
            b.w * a.y - b.x * a.z + b.y * a.w + b.z * a.x, b.w * a.z + b.x * a.y - b.y * a.x + b.z * a.w};
}

// D3DXMatrixRotationQuaternion.
inline Mat4 RotationFromQuat(const Quat& q) {
    Mat4 r;
    const float xx = q.x * q.x, yy = q.y * q.y, zz = q.z * q.z;
    const float xy = q.x * q.y, xz = q.x * q.z, yz = q.y * q.z;
    const float wx = q.w * q.x, wy = q.w * q.y, wz = q.w * q.z;
    r.m[0][0] = 1 - 2 * (yy + zz); r.m[0][1] = 2 * (xy + wz);     r.m[0][2] = 2 * (xz - wy);
    r.m[1][0] = 2 * (xy - wz);     r.m[1][1] = 1 - 2 * (xx + zz); r.m[1][2] = 2 * (yz + wx);
    r.m[2][0] = 2 * (xz + wy);     r.m[2][1] = 2 * (yz - wx);     r.m[2][2] = 1 - 2 * (xx + yy);
    return r;
}

}  // namespace velor::content
