#include <cmath>

#include "tests/math/math_test_support.h"

namespace velor {
namespace {

using test::Apply;
using test::ExpectMatrixNear;
using test::ExpectVec3Near;

Matrix Counting() {
    Matrix m;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) m.m[r][c] = float(r * 4 + c + 1);
    return m;
}

Matrix FromRows(std::initializer_list<float> v) {
    Matrix m;
    auto it = v.begin();
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) m.m[r][c] = *it++;
    return m;
}

// An affine matrix with rotation, non-uniform scale and translation, and a projective one, so
// every element of the inverse gets exercised.
Matrix General() {
    Matrix s, r, t, m;
    MatrixScaling(&s, 2, 0.5f, 3);
    const Vector3 axis{1, 2, 3};
    MatrixRotationAxis(&r, &axis, 0.7f);
    MatrixTranslation(&t, -4, 5, 6);
    MatrixMultiply(&m, &s, &r);
    return *MatrixMultiply(&m, &m, &t);
}

TEST(MatrixIdentity, IsRecognisedExactly) {
    Matrix m = Counting();
    MatrixIdentity(&m);
    EXPECT_TRUE(MatrixIsIdentity(&m));
    m.m[3][0] = 1e-7f;
    EXPECT_FALSE(MatrixIsIdentity(&m));
}

TEST(MatrixMultiply, FirstOperandAppliesFirst) {
    Matrix s, t, st, ts;
    MatrixScaling(&s, 2, 2, 2);
    MatrixTranslation(&t, 1, 0, 0);
    MatrixMultiply(&st, &s, &t);
    MatrixMultiply(&ts, &t, &s);
    ExpectVec3Near(Apply(st, {1, 0, 0}), {3, 0, 0});  // scaled, then moved
    ExpectVec3Near(Apply(ts, {1, 0, 0}), {4, 0, 0});  // moved, then scaled
}

TEST(MatrixMultiply, KnownProductAndAliasing) {
    const Matrix a = Counting();
    Matrix at;
    MatrixTranspose(&at, &a);
    // (A · Aᵀ)ij = row i · row j.
    const std::initializer_list<float> want = {30,  70,  110, 150, 70,  174, 278, 382,
                                               110, 278, 446, 614, 150, 382, 614, 846};
    Matrix out;
    ExpectMatrixNear(*MatrixMultiply(&out, &a, &at), want, 0);

    Matrix x = a;
    MatrixMultiply(&x, &x, &at);  // out aliases the left operand
    ExpectMatrixNear(x, want, 0);
    Matrix y = at;
    MatrixMultiply(&y, &a, &y);  // out aliases the right operand
    ExpectMatrixNear(y, want, 0);
    Matrix z = a;
    MatrixMultiply(&z, &z, &z);  // A · A, both operands aliased
    ExpectMatrixNear(z, *MatrixMultiply(&out, &a, &a), 0);
}

TEST(MatrixTranspose, SwapsRowsAndColumnsInPlace) {
    Matrix m = Counting();
    MatrixTranspose(&m, &m);
    ExpectMatrixNear(m, {1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15, 4, 8, 12, 16}, 0);
}

TEST(MatrixDeterminant, KnownValues) {
    struct Case {
        const char* name;
        Matrix m;
        float det;
    };
    Matrix id, sc;
    MatrixIdentity(&id);
    MatrixScaling(&sc, 2, 3, 4);
    const Case cases[] = {
        {"identity", id, 1},
        {"scaling", sc, 24},
        {"dependent rows", Counting(), 0},
        {"swapped rows", FromRows({2, 0, 0, 0, 0, 0, 1, 0, 0, 3, 0, 0, 0, 0, 0, 1}), -6},
        // Expanding along row 2 leaves 2 · (4·3 − 2·1).
        {"general", FromRows({4, 3, 2, 1, 0, 1, 0, 0, 1, 0, 3, 0, 0, 0, 0, 2}), 20},
    };
    for (const Case& c : cases) EXPECT_FLOAT_EQ(MatrixDeterminant(&c.m), c.det) << c.name;
}

TEST(MatrixInverse, ProductWithOriginalIsIdentity) {
    Matrix proj;
    MatrixPerspectiveFovLH(&proj, 0.9f, 1.5f, 0.5f, 200);
    const Matrix cases[] = {General(), proj,
                            FromRows({4, 3, 2, 1, 0, 1, 0, 0, 1, 0, 3, 0, 0, 0, 0, 2})};
    for (const Matrix& m : cases) {
        Matrix inv, p, id;
        float det = 0;
        ASSERT_NE(MatrixInverse(&inv, &det, &m), nullptr);
        EXPECT_NEAR(det, MatrixDeterminant(&m), 1e-4f * std::fabs(det));
        MatrixIdentity(&id);
        ExpectMatrixNear(*MatrixMultiply(&p, &inv, &m), id, 1e-4f);
        ExpectMatrixNear(*MatrixMultiply(&p, &m, &inv), id, 1e-4f);
    }
}

TEST(MatrixInverse, KnownInverses) {
    Matrix m, inv;
    MatrixTranslation(&m, 1, 2, 3);
    ASSERT_NE(MatrixInverse(&inv, nullptr, &m), nullptr);
    ExpectMatrixNear(inv, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, -1, -2, -3, 1});

    MatrixScaling(&m, 2, 4, 8);
    ASSERT_NE(MatrixInverse(&inv, nullptr, &m), nullptr);
    ExpectMatrixNear(inv, {0.5f, 0, 0, 0, 0, 0.25f, 0, 0, 0, 0, 0.125f, 0, 0, 0, 0, 1});

    // A rotation's inverse is its transpose.
    Matrix r, rt;
    MatrixRotationY(&r, 1.1f);
    ASSERT_NE(MatrixInverse(&inv, nullptr, &r), nullptr);
    ExpectMatrixNear(inv, *MatrixTranspose(&rt, &r));
}

TEST(MatrixInverse, SingularReturnsNullAndLeavesOutputUntouched) {
    const Matrix singular = Counting();
    Matrix flat;
    MatrixScaling(&flat, 1, 0, 1);  // squashes y: no inverse
    for (const Matrix& m : {singular, flat}) {
        Matrix out = Counting();
        out.m[0][0] = 42;
        float det = 99;
        EXPECT_EQ(MatrixInverse(&out, &det, &m), nullptr);
        EXPECT_EQ(out.m[0][0], 42);
        EXPECT_EQ(out.m[3][3], 16);
        EXPECT_EQ(det, 0);
    }
}

TEST(MatrixInverse, OutputMayAliasInput) {
    const Matrix m = General();
    Matrix expected;
    ASSERT_NE(MatrixInverse(&expected, nullptr, &m), nullptr);
    Matrix x = m;
    EXPECT_EQ(MatrixInverse(&x, nullptr, &x), &x);
    ExpectMatrixNear(x, expected, 0);
}

}  // namespace
}  // namespace velor
