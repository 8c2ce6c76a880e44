#pragma once
// Comparison helpers shared by the maths tests: element-wise nearness with a message naming the
// element that differs.
#include <gtest/gtest.h>

#include <initializer_list>

#include "engine/math/d3dx_math.h"

namespace velor::test {

constexpr float kTol = 1e-5f;
constexpr float kPi = 3.14159265358979f;

inline void ExpectMatrixNear(const Matrix& m, std::initializer_list<float> rows, float tol = kTol) {
    ASSERT_EQ(rows.size(), 16u);
    auto it = rows.begin();
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c, ++it)
            EXPECT_NEAR(m.m[r][c], *it, tol) << "element _" << r + 1 << c + 1;
}

inline void ExpectMatrixNear(const Matrix& m, const Matrix& want, float tol = kTol) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(m.m[r][c], want.m[r][c], tol) << "element _" << r + 1 << c + 1;
}

inline void ExpectVec3Near(const Vector3& v, const Vector3& want, float tol = kTol) {
    EXPECT_NEAR(v.x, want.x, tol);
    EXPECT_NEAR(v.y, want.y, tol);
    EXPECT_NEAR(v.z, want.z, tol);
}

inline Vector3 Apply(const Matrix& m, Vector3 v) {
    Vec3TransformCoord(&v, &v, &m);
    return v;
}

}  // namespace velor::test
