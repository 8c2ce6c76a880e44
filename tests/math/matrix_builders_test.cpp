#include <cmath>

#include "tests/math/math_test_support.h"

namespace velor {
namespace {

using test::Apply;
using test::ExpectMatrixNear;
using test::ExpectVec3Near;
using test::kPi;

TEST(MatrixTranslationScaling, Layout) {
    Matrix m;
    ExpectMatrixNear(*MatrixTranslation(&m, 1, 2, 3), {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 2, 3, 1}, 0);
    ExpectMatrixNear(*MatrixScaling(&m, 1, 2, 3), {1, 0, 0, 0, 0, 2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 1}, 0);
}

// Positive angles turn clockwise when looking down the axis towards the origin (left-handed):
// y → z about x, z → x about y, x → y about z.
TEST(MatrixRotation, QuarterTurnsMapAxesAsDirect3D) {
    struct Case {
        const char* name;
        Matrix m;
        Vector3 in, out;
    };
    Matrix rx, ry, rz, rAxisZ, rDiag, rNegX;
    MatrixRotationX(&rx, kPi / 2);
    MatrixRotationY(&ry, kPi / 2);
    MatrixRotationZ(&rz, kPi / 2);
    const Vector3 longZ{0, 0, 2}, diag{1, 1, 1}, negX{-3, 0, 0};
    MatrixRotationAxis(&rAxisZ, &longZ, kPi / 2);    // axis is normalised first
    MatrixRotationAxis(&rDiag, &diag, 2 * kPi / 3);  // cycles the axes
    MatrixRotationAxis(&rNegX, &negX, kPi / 2);      // reversed axis turns the other way
    const Case cases[] = {
        {"x: y to z", rx, {0, 1, 0}, {0, 0, 1}},   {"x: z to -y", rx, {0, 0, 1}, {0, -1, 0}},
        {"y: z to x", ry, {0, 0, 1}, {1, 0, 0}},   {"y: x to -z", ry, {1, 0, 0}, {0, 0, -1}},
        {"z: x to y", rz, {1, 0, 0}, {0, 1, 0}},   {"z: y to -x", rz, {0, 1, 0}, {-1, 0, 0}},
        {"axis 2z: x to y", rAxisZ, {1, 0, 0}, {0, 1, 0}},
        {"diagonal: x to y", rDiag, {1, 0, 0}, {0, 1, 0}},
        {"diagonal: y to z", rDiag, {0, 1, 0}, {0, 0, 1}},
        {"diagonal: z to x", rDiag, {0, 0, 1}, {1, 0, 0}},
        {"axis -x: z to y", rNegX, {0, 0, 1}, {0, 1, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectVec3Near(Apply(c.m, c.in), c.out);
    }
}

TEST(MatrixRotationY, ElementLayout) {
    Matrix m;
    const float c = std::cos(0.3f), s = std::sin(0.3f);
    ExpectMatrixNear(*MatrixRotationY(&m, 0.3f), {c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, 0, 0, 0, 1});
}

TEST(MatrixRotationAxis, AgreesWithSingleAxisRotations) {
    const Vector3 x{1, 0, 0}, y{0, 1, 0}, z{0, 0, 1};
    Matrix a, b;
    for (float angle : {0.4f, -2.0f, 3.0f}) {
        ExpectMatrixNear(*MatrixRotationAxis(&a, &x, angle), *MatrixRotationX(&b, angle));
        ExpectMatrixNear(*MatrixRotationAxis(&a, &y, angle), *MatrixRotationY(&b, angle));
        ExpectMatrixNear(*MatrixRotationAxis(&a, &z, angle), *MatrixRotationZ(&b, angle));
    }
}

TEST(MatrixPerspectiveFovLH, QuarterPiFourThirds) {
    Matrix m;
    MatrixPerspectiveFovLH(&m, kPi / 4, 4.0f / 3.0f, 1, 100);
    const float ys = 1 + std::sqrt(2.0f);  // 1 / tan(π/8)
    ExpectMatrixNear(m, {ys * 0.75f, 0, 0, 0,  //
                         0, ys, 0, 0,          //
                         0, 0, 100.0f / 99, 1, //
                         0, 0, -100.0f / 99, 0});
    // Near plane lands on depth 0, far plane on depth 1; the top edge of the view cone on y = 1.
    EXPECT_NEAR(Apply(m, {0, 0, 1}).z, 0, 1e-6f);
    EXPECT_NEAR(Apply(m, {0, 0, 100}).z, 1, 1e-6f);
    const float tanHalf = std::tan(kPi / 8);
    EXPECT_NEAR(Apply(m, {0, 10 * tanHalf, 10}).y, 1, 1e-5f);
    EXPECT_NEAR(Apply(m, {10 * tanHalf * 4 / 3, 0, 10}).x, 1, 1e-5f);
}

TEST(MatrixLookAtLH, FromMinusFiveZToOrigin) {
    const Vector3 eye{0, 0, -5}, at{0, 0, 0}, up{0, 1, 0};
    Matrix m;
    MatrixLookAtLH(&m, &eye, &at, &up);
    ExpectMatrixNear(m, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 5, 1});
}

TEST(MatrixLookAtLH, FromPlusXPutsPlusZOnTheRight) {
    const Vector3 eye{5, 0, 0}, at{0, 0, 0}, up{0, 3, 0};  // up need not be unit length
    Matrix m;
    MatrixLookAtLH(&m, &eye, &at, &up);
    ExpectMatrixNear(m, {0, 0, -1, 0, 0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 5, 1});
    ExpectVec3Near(Apply(m, {0, 0, 1}), {1, 0, 5});
    ExpectVec3Near(Apply(m, eye), {0, 0, 0});
}

TEST(MatrixLookAtLH, TiltedViewIsOrthonormalAndPutsTargetAhead) {
    const Vector3 eye{3, 4, -2}, at{-1, 0.5f, 6}, up{0, 1, 0};
    Matrix m;
    MatrixLookAtLH(&m, &eye, &at, &up);
    Matrix r = m, rt, p, id;
    r.m[3][0] = r.m[3][1] = r.m[3][2] = 0;
    MatrixMultiply(&p, &r, MatrixTranspose(&rt, &r));
    ExpectMatrixNear(p, *MatrixIdentity(&id));
    const Vector3 d{at.x - eye.x, at.y - eye.y, at.z - eye.z};
    ExpectVec3Near(Apply(m, at), {0, 0, Vec3Length(&d)}, 1e-4f);
}

TEST(MatrixOrthoOffCenterLH, PixelRectangleToClipSpace) {
    Matrix m;
    MatrixOrthoOffCenterLH(&m, 0, 640, 480, 0, 0, 1);  // top-left origin, y down
    ExpectMatrixNear(m, {2.0f / 640, 0, 0, 0, 0, -2.0f / 480, 0, 0, 0, 0, 1, 0, -1, 1, 0, 1});
    ExpectVec3Near(Apply(m, {0, 0, 0}), {-1, 1, 0});
    ExpectVec3Near(Apply(m, {640, 480, 1}), {1, -1, 1});

    MatrixOrthoOffCenterLH(&m, -2, 6, -1, 3, 2, 10);
    ExpectMatrixNear(m, {0.25f, 0, 0, 0, 0, 0.5f, 0, 0, 0, 0, 0.125f, 0, -0.5f, -0.5f, -0.25f, 1});
    ExpectVec3Near(Apply(m, {6, 3, 10}), {1, 1, 1});
}

struct Transform2DCase {
    const char* name;
    const Vector2* scalingCenter;
    float scalingRotation;
    const Vector2* scaling;
    const Vector2* rotationCenter;
    float rotation;
    const Vector2* translation;
    Vector3 in, out;
};

TEST(MatrixTransformation2D, HandWorkedPoints) {
    const Vector2 one{1, 1}, two{2, 2}, s23{2, 3}, s21{2, 1}, x1{1, 0}, t56{5, 6};
    const float r2 = std::sqrt(2.0f);
    const Transform2DCase cases[] = {
        {"all null", nullptr, 0, nullptr, nullptr, 0, nullptr, {3, 4, 7}, {3, 4, 7}},
        {"scaling", nullptr, 0, &s23, nullptr, 0, nullptr, {1, 1, 5}, {2, 3, 5}},
        {"scaling centre fixed", &one, 0, &two, nullptr, 0, nullptr, {1, 1, 0}, {1, 1, 0}},
        {"scaling about centre", &one, 0, &two, nullptr, 0, nullptr, {2, 1, 0}, {3, 1, 0}},
        {"stretch along diagonal", nullptr, kPi / 4, &s21, nullptr, 0, nullptr, {1, 1, 0}, {2, 2, 0}},
        {"across diagonal kept", nullptr, kPi / 4, &s21, nullptr, 0, nullptr, {1, -1, 0}, {1, -1, 0}},
        {"rotation about centre", nullptr, 0, nullptr, &x1, kPi / 2, nullptr, {2, 0, 0}, {1, 1, 0}},
        {"rotation centre fixed", nullptr, 0, nullptr, &x1, kPi / 2, nullptr, {1, 0, 0}, {1, 0, 0}},
        {"scaling rotation alone is nothing", nullptr, 1.0f, nullptr, nullptr, 0, nullptr, {3, 4, 0}, {3, 4, 0}},
        {"translation", nullptr, 0, nullptr, nullptr, 0, &t56, {0, 0, 0}, {5, 6, 0}},
        // Scale by 2 about (1,1): (2,1) → (3,1); turn a quarter about (1,0): → (0,2); move by (5,6).
        {"all stages in order", &one, 0, &two, &x1, kPi / 2, &t56, {2, 1, 0}, {5, 8, 0}},
        {"rotation about origin", nullptr, 0, nullptr, nullptr, kPi / 4, nullptr, {1, 0, 0}, {r2 / 2, r2 / 2, 0}},
    };
    for (const Transform2DCase& c : cases) {
        SCOPED_TRACE(c.name);
        Matrix m;
        MatrixTransformation2D(&m, c.scalingCenter, c.scalingRotation, c.scaling, c.rotationCenter,
                               c.rotation, c.translation);
        ExpectVec3Near(Apply(m, c.in), c.out);
    }
}

TEST(MatrixTransformation2D, EqualsExplicitProduct) {
    const Vector2 sc{3, -1}, s{1.5f, -0.5f}, rc{-2, 4}, t{7, 8};
    const float sr = 0.6f, rot = -1.2f;
    Matrix m;
    MatrixTransformation2D(&m, &sc, sr, &s, &rc, rot, &t);

    Matrix f[9];
    MatrixTranslation(&f[0], -sc.x, -sc.y, 0);
    MatrixRotationZ(&f[1], -sr);
    MatrixScaling(&f[2], s.x, s.y, 1);
    MatrixRotationZ(&f[3], sr);
    MatrixTranslation(&f[4], sc.x, sc.y, 0);
    MatrixTranslation(&f[5], -rc.x, -rc.y, 0);
    MatrixRotationZ(&f[6], rot);
    MatrixTranslation(&f[7], rc.x, rc.y, 0);
    MatrixTranslation(&f[8], t.x, t.y, 0);
    Matrix want = f[0];
    for (int i = 1; i < 9; ++i) MatrixMultiply(&want, &want, &f[i]);
    ExpectMatrixNear(m, want);
    // z passes through untouched and nothing is projective.
    EXPECT_EQ(m.m[2][2], 1);
    EXPECT_EQ(m.m[0][3], 0);
    EXPECT_EQ(m.m[3][3], 1);
}

}  // namespace
}  // namespace velor
