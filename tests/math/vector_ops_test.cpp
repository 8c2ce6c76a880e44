#include <cmath>

#include "tests/math/math_test_support.h"

namespace velor {
namespace {

using test::ExpectVec3Near;
using test::kTol;

TEST(Vec2Normalize, ScalesToUnitLengthAndKeepsZero) {
    Vector2 v{3, 4};
    Vec2Normalize(&v, &v);  // aliasing
    EXPECT_NEAR(v.x, 0.6f, kTol);
    EXPECT_NEAR(v.y, 0.8f, kTol);

    Vector2 out{7, 7};
    const Vector2 zero{};
    Vec2Normalize(&out, &zero);
    EXPECT_EQ(out.x, 0.0f);
    EXPECT_EQ(out.y, 0.0f);
}

TEST(Vec3Normalize, ScalesToUnitLengthAndKeepsZero) {
    Vector3 v{0, -2, 0};
    Vec3Normalize(&v, &v);
    ExpectVec3Near(v, {0, -1, 0});

    Vector3 w{1, 2, 2};
    Vec3Normalize(&w, &w);
    ExpectVec3Near(w, {1.0f / 3, 2.0f / 3, 2.0f / 3});

    Vector3 out{5, 5, 5};
    const Vector3 zero{};
    Vec3Normalize(&out, &zero);
    EXPECT_FALSE(std::isnan(out.x));
    ExpectVec3Near(out, {0, 0, 0}, 0);
}

TEST(Vec3DotLengthCross, KnownValues) {
    const Vector3 a{1, 2, 3}, b{4, -5, 6};
    EXPECT_FLOAT_EQ(Vec3Dot(&a, &b), 12.0f);
    EXPECT_FLOAT_EQ(Vec3Length(&a), std::sqrt(14.0f));

    // The basis is right-handed in the algebra: x × y = z, y × z = x, z × x = y.
    const Vector3 x{1, 0, 0}, y{0, 1, 0}, z{0, 0, 1};
    Vector3 r;
    ExpectVec3Near(*Vec3Cross(&r, &x, &y), z, 0);
    ExpectVec3Near(*Vec3Cross(&r, &y, &z), x, 0);
    ExpectVec3Near(*Vec3Cross(&r, &z, &x), y, 0);
    ExpectVec3Near(*Vec3Cross(&r, &a, &b), {27, 6, -13}, 0);
}

TEST(Vec3Cross, OutputMayAliasEitherInput) {
    const Vector3 b{4, -5, 6};
    Vector3 a{1, 2, 3};
    Vec3Cross(&a, &a, &b);
    ExpectVec3Near(a, {27, 6, -13}, 0);

    const Vector3 a2{1, 2, 3};
    Vector3 b2{4, -5, 6};
    Vec3Cross(&b2, &a2, &b2);
    ExpectVec3Near(b2, {27, 6, -13}, 0);
}

TEST(Vec3Transform, CoordDividesByWNormalIgnoresTranslation) {
    Matrix t;
    MatrixTranslation(&t, 10, 20, 30);
    const Vector3 p{1, 2, 3};
    Vector3 r;
    ExpectVec3Near(*Vec3TransformCoord(&r, &p, &t), {11, 22, 33});
    ExpectVec3Near(*Vec3TransformNormal(&r, &p, &t), {1, 2, 3});

    // A matrix whose last column doubles w: the coordinate comes out halved.
    Matrix h;
    MatrixIdentity(&h);
    h.m[3][3] = 2;
    ExpectVec3Near(*Vec3TransformCoord(&r, &p, &h), {0.5f, 1, 1.5f});

    Vector4 v4;
    Vec3Transform(&v4, &p, &h);
    EXPECT_FLOAT_EQ(v4.x, 1);
    EXPECT_FLOAT_EQ(v4.z, 3);
    EXPECT_FLOAT_EQ(v4.w, 2);
}

TEST(Vec4Transform, UsesAllFourRowsAndMayAlias) {
    Matrix m;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) m.m[r][c] = float(r * 4 + c + 1);
    Vector4 v{1, 0, -1, 2};
    Vec4Transform(&v, &v, &m);
    // (1, 0, -1, 2) · rows 1..16: row1 - row3 + 2 row4.
    EXPECT_FLOAT_EQ(v.x, 1 - 9 + 26);
    EXPECT_FLOAT_EQ(v.y, 2 - 10 + 28);
    EXPECT_FLOAT_EQ(v.z, 3 - 11 + 30);
    EXPECT_FLOAT_EQ(v.w, 4 - 12 + 32);
}

}  // namespace
}  // namespace velor
