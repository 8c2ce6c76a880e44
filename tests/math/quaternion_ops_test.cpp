#include <cmath>

#include "tests/math/math_test_support.h"

namespace velor {
namespace {

using test::Apply;
using test::ExpectMatrixNear;
using test::ExpectVec3Near;
using test::kPi;
using test::kTol;

void ExpectQuatNear(const Quaternion& q, const Quaternion& want, float tol = kTol) {
    EXPECT_NEAR(q.x, want.x, tol);
    EXPECT_NEAR(q.y, want.y, tol);
    EXPECT_NEAR(q.z, want.z, tol);
    EXPECT_NEAR(q.w, want.w, tol);
}

// q and -q are the same rotation; compare up to sign.
void ExpectSameRotation(const Quaternion& q, const Quaternion& want, float tol = kTol) {
    const float dot = q.x * want.x + q.y * want.y + q.z * want.z + q.w * want.w;
    const float sign = dot < 0 ? -1.0f : 1.0f;
    ExpectQuatNear({sign * q.x, sign * q.y, sign * q.z, sign * q.w}, want, tol);
}

TEST(QuaternionRotationAxis, NormalisesAxisAndHalvesAngle) {
    Quaternion q;
    const Vector3 z3{0, 0, 3};
    QuaternionRotationAxis(&q, &z3, kPi / 2);
    const float h = std::sqrt(0.5f);
    ExpectQuatNear(q, {0, 0, h, h});

    const Vector3 d{1, 1, 1};
    QuaternionRotationAxis(&q, &d, 2 * kPi / 3);
    // sin(π/3) / √3 = 1/2, cos(π/3) = 1/2.
    ExpectQuatNear(q, {0.5f, 0.5f, 0.5f, 0.5f});
}

TEST(MatrixRotationQuaternion, MatchesRotationAxis) {
    const Vector3 axes[] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 2, 3}, {-0.3f, 0.1f, 2}};
    for (const Vector3& axis : axes)
        for (float angle : {0.5f, -1.3f, 2.9f}) {
            Quaternion q;
            Matrix fromQuat, fromAxis;
            QuaternionRotationAxis(&q, &axis, angle);
            MatrixRotationQuaternion(&fromQuat, &q);
            MatrixRotationAxis(&fromAxis, &axis, angle);
            ExpectMatrixNear(fromQuat, fromAxis);
        }
}

TEST(MatrixRotationQuaternion, ElementLayout) {
    const Quaternion q{0.1f, 0.2f, 0.3f, 0.4f};  // not unit length: the raw formula shows
    Matrix m;
    MatrixRotationQuaternion(&m, &q);
    ExpectMatrixNear(m, {1 - 2 * (0.04f + 0.09f), 2 * (0.02f + 0.12f), 2 * (0.03f - 0.08f), 0,
                         2 * (0.02f - 0.12f), 1 - 2 * (0.01f + 0.09f), 2 * (0.06f + 0.04f), 0,
                         2 * (0.03f + 0.08f), 2 * (0.06f - 0.04f), 1 - 2 * (0.01f + 0.04f), 0,
                         0, 0, 0, 1});
}

// Each case lands in a different branch: large w, then x, y or z the largest diagonal element.
TEST(QuaternionRotationMatrix, RoundTripsThroughEveryBranch) {
    struct Case {
        const char* name;
        Vector3 axis;
        float angle;
    };
    const Case cases[] = {
        {"small turn", {1, 2, 3}, 0.4f},
        {"identity", {0, 1, 0}, 0},
        {"half turn about x", {1, 0, 0}, kPi},
        {"half turn about y", {0, 1, 0}, kPi},
        {"half turn about z", {0, 0, 1}, kPi},
        {"large turn near x", {1, 0.2f, -0.1f}, 3.0f},
        {"large turn near y", {0.1f, -1, 0.3f}, 2.8f},
        {"large turn near z", {-0.2f, 0.1f, 1}, -3.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Quaternion q, back;
        Matrix m;
        QuaternionRotationAxis(&q, &c.axis, c.angle);
        MatrixRotationQuaternion(&m, &q);
        QuaternionRotationMatrix(&back, &m);
        ExpectSameRotation(back, q);
    }
}

TEST(QuaternionRotationMatrix, ReadsRotationFromAffineMatrix) {
    // Translation in the last row does not disturb the rotation part.
    Matrix r, t, m;
    MatrixRotationY(&r, kPi / 2);
    MatrixTranslation(&t, 4, 5, 6);
    MatrixMultiply(&m, &r, &t);
    Quaternion q;
    QuaternionRotationMatrix(&q, &m);
    const float h = std::sqrt(0.5f);
    ExpectSameRotation(q, {0, h, 0, h});
}

TEST(QuaternionNormalize, UnitLengthZeroStaysZeroAndAliases) {
    Quaternion q{1, 2, 2, 4};  // length 5
    QuaternionNormalize(&q, &q);
    ExpectQuatNear(q, {0.2f, 0.4f, 0.4f, 0.8f});
    const Quaternion zero{0, 0, 0, 0};
    QuaternionNormalize(&q, &zero);
    ExpectQuatNear(q, {0, 0, 0, 0}, 0);
}

TEST(QuaternionSlerp, HalfwayIsHalfTheAngle) {
    const Quaternion id{0, 0, 0, 1};
    const Vector3 z{0, 0, 1};
    Quaternion quarter, eighth, out;
    QuaternionRotationAxis(&quarter, &z, kPi / 2);
    QuaternionRotationAxis(&eighth, &z, kPi / 4);
    ExpectQuatNear(*QuaternionSlerp(&out, &id, &quarter, 0.5f), eighth);
    ExpectQuatNear(*QuaternionSlerp(&out, &id, &quarter, 0), id);
    ExpectQuatNear(*QuaternionSlerp(&out, &id, &quarter, 1), quarter);

    // A quarter of the way along a 120° arc about another axis stays unit length at 30°.
    const Vector3 axis{1, -2, 0.5f};
    Quaternion a, b, want;
    QuaternionRotationAxis(&a, &axis, 0.2f);
    QuaternionRotationAxis(&b, &axis, 0.2f + 2 * kPi / 3);
    QuaternionRotationAxis(&want, &axis, 0.2f + kPi / 6);
    ExpectQuatNear(*QuaternionSlerp(&out, &a, &b, 0.25f), want);
}

TEST(QuaternionSlerp, TakesTheShorterArc) {
    // -b is the same rotation as b; the blend must still pass through 45°, not the long way round.
    const Quaternion id{0, 0, 0, 1};
    const Vector3 z{0, 0, 1};
    Quaternion quarter, eighth, out;
    QuaternionRotationAxis(&quarter, &z, kPi / 2);
    QuaternionRotationAxis(&eighth, &z, kPi / 4);
    const Quaternion negated{-quarter.x, -quarter.y, -quarter.z, -quarter.w};
    QuaternionSlerp(&out, &id, &negated, 0.5f);
    ExpectQuatNear(out, eighth);

    Matrix m;
    MatrixRotationQuaternion(&m, &out);
    const float h = std::sqrt(0.5f);
    ExpectVec3Near(Apply(m, {1, 0, 0}), {h, h, 0});
}

TEST(QuaternionSlerp, NearlyParallelFallsBackToLinearWithoutNaN) {
    const Quaternion a{0, 0, 0, 1};
    const Quaternion b{0, 0, 1e-4f, 1};  // dot is 1: sin θ would be zero
    Quaternion out;
    QuaternionSlerp(&out, &a, &b, 0.25f);
    EXPECT_FALSE(std::isnan(out.w));
    ExpectQuatNear(out, {0, 0, 0.25e-4f, 1}, 1e-7f);
}

TEST(QuaternionSlerp, OutputMayAliasInput) {
    const Vector3 z{0, 0, 1};
    Quaternion a{0, 0, 0, 1}, b, eighth;
    QuaternionRotationAxis(&b, &z, kPi / 2);
    QuaternionRotationAxis(&eighth, &z, kPi / 4);
    QuaternionSlerp(&a, &a, &b, 0.5f);
    ExpectQuatNear(a, eighth);
    Quaternion a2{0, 0, 0, 1};
    QuaternionSlerp(&b, &a2, &b, 0.5f);
    ExpectQuatNear(b, eighth);
}

}  // namespace
}  // namespace velor
