// Quaternions as D3DX keeps them: (x, y, z) the vector part, w the scalar part, and the rotation
// they stand for is the one MatrixRotationQuaternion builds (row vectors).
#include <cmath>

#include "engine/math/d3dx_math.h"

namespace velor {

Quaternion* QuaternionRotationAxis(Quaternion* out, const Vector3* axis, float angle) {
    Vector3 n;
    Vec3Normalize(&n, axis);
    const float s = std::sin(angle / 2.0f);
    *out = Quaternion{n.x * s, n.y * s, n.z * s, std::cos(angle / 2.0f)};
    return out;
}

// Reads w from the trace when it is large enough to divide by safely; otherwise starts from the
// largest diagonal element, whose component is then at least 1/2 in size.
Quaternion* QuaternionRotationMatrix(Quaternion* out, const Matrix* m) {
    const auto& a = m->m;
    const float trace = a[0][0] + a[1][1] + a[2][2] + 1.0f;
    Quaternion q;
    if (trace > 1.0f) {
        const float s = 2.0f * std::sqrt(trace);
        q = Quaternion{(a[1][2] - a[2][1]) / s, (a[2][0] - a[0][2]) / s, (a[0][1] - a[1][0]) / s,
                       0.25f * s};
    } else if (a[0][0] >= a[1][1] && a[0][0] >= a[2][2]) {
        const float s = 2.0f * std::sqrt(1.0f + a[0][0] - a[1][1] - a[2][2]);
        q = Quaternion{0.25f * s, (a[0][1] + a[1][0]) / s, (a[0][2] + a[2][0]) / s,
                       (a[1][2] - a[2][1]) / s};
    } else if (a[1][1] >= a[2][2]) {
        const float s = 2.0f * std::sqrt(1.0f + a[1][1] - a[0][0] - a[2][2]);
        q = Quaternion{(a[0][1] + a[1][0]) / s, 0.25f * s, (a[1][2] + a[2][1]) / s,
                       (a[2][0] - a[0][2]) / s};
    } else {
        const float s = 2.0f * std::sqrt(1.0f + a[2][2] - a[0][0] - a[1][1]);
        q = Quaternion{(a[0][2] + a[2][0]) / s, (a[1][2] + a[2][1]) / s, 0.25f * s,
                       (a[0][1] - a[1][0]) / s};
    }
    *out = q;
    return out;
}

Quaternion* QuaternionNormalize(Quaternion* out, const Quaternion* q) {
    const float length = std::sqrt(q->x * q->x + q->y * q->y + q->z * q->z + q->w * q->w);
    if (length == 0.0f) {
        *out = Quaternion{0.0f, 0.0f, 0.0f, 0.0f};
        return out;
    }
    *out = Quaternion{q->x / length, q->y / length, q->z / length, q->w / length};
    return out;
}

// NOTE: q and -q are the same rotation; flipping the sign of b's weight when the dot product is
// negative makes the blend take the shorter arc. Close to parallel the sines vanish, so the
// weights fall back to plain linear ones (not renormalised, as D3DX leaves them).
Quaternion* QuaternionSlerp(Quaternion* out, const Quaternion* a, const Quaternion* b, float t) {
    float wa = 1.0f - t;
    float wb = t;
    float dot = a->x * b->x + a->y * b->y + a->z * b->z + a->w * b->w;
    if (dot < 0.0f) {
        wb = -wb;
        dot = -dot;
    }
    if (1.0f - dot > 0.001f) {
        const float theta = std::acos(dot);
        const float sinTheta = std::sin(theta);
        wa = std::sin(theta * wa) / sinTheta;
        wb = std::sin(theta * wb) / sinTheta;
    }
    *out = Quaternion{wa * a->x + wb * b->x, wa * a->y + wb * b->y, wa * a->z + wb * b->z,
                      wa * a->w + wb * b->w};
    return out;
}

}  // namespace velor
