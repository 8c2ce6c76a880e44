// Whole-matrix operations: identity, product, transpose, determinant and inverse.
//
// The determinant and the inverse share one expansion: the six 2x2 minors of the top two rows and
// the six of the bottom two rows (Laplace expansion by complementary minors). That costs far fewer
// multiplications than cofactors of 3x3 blocks, and the inverse reuses the same twelve minors for
// its adjugate. Results go through a local first so an output may alias an input.
#include <cmath>

#include "engine/math/d3dx_math.h"

namespace velor {

namespace {

// 2x2 minors of rows 0-1 (s) and rows 2-3 (c), indexed by column pair:
// 0 = (0,1), 1 = (0,2), 2 = (0,3), 3 = (1,2), 4 = (1,3), 5 = (2,3).
struct Minors {
    float s[6];
    float c[6];
};

Minors ComputeMinors(const float (&a)[4][4]) {
    Minors n;
    n.s[0] = a[0][0] * a[1][1] - a[1][0] * a[0][1];
    n.s[1] = a[0][0] * a[1][2] - a[1][0] * a[0][2];
    n.s[2] = a[0][0] * a[1][3] - a[1][0] * a[0][3];
    n.s[3] = a[0][1] * a[1][2] - a[1][1] * a[0][2];
    n.s[4] = a[0][1] * a[1][3] - a[1][1] * a[0][3];
    n.s[5] = a[0][2] * a[1][3] - a[1][2] * a[0][3];
    n.c[0] = a[2][0] * a[3][1] - a[3][0] * a[2][1];
    n.c[1] = a[2][0] * a[3][2] - a[3][0] * a[2][2];
    n.c[2] = a[2][0] * a[3][3] - a[3][0] * a[2][3];
    n.c[3] = a[2][1] * a[3][2] - a[3][1] * a[2][2];
    n.c[4] = a[2][1] * a[3][3] - a[3][1] * a[2][3];
    n.c[5] = a[2][2] * a[3][3] - a[3][2] * a[2][3];
    return n;
}

float DeterminantFromMinors(const Minors& n) {
    return n.s[0] * n.c[5] - n.s[1] * n.c[4] + n.s[2] * n.c[3] + n.s[3] * n.c[2] -
           n.s[4] * n.c[1] + n.s[5] * n.c[0];
}

}  // namespace

Matrix* MatrixIdentity(Matrix* out) {
    *out = Matrix{};
    for (int i = 0; i < 4; ++i) out->m[i][i] = 1.0f;
    return out;
}

bool MatrixIsIdentity(const Matrix* m) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if (m->m[r][c] != (r == c ? 1.0f : 0.0f)) return false;
    return true;
}

Matrix* MatrixMultiply(Matrix* out, const Matrix* a, const Matrix* b) {
    Matrix r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r.m[i][j] = a->m[i][0] * b->m[0][j] + a->m[i][1] * b->m[1][j] +
                        a->m[i][2] * b->m[2][j] + a->m[i][3] * b->m[3][j];
    *out = r;
    return out;
}

Matrix* MatrixTranspose(Matrix* out, const Matrix* m) {
    Matrix r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) r.m[i][j] = m->m[j][i];
    *out = r;
    return out;
}

float MatrixDeterminant(const Matrix* m) {
    return DeterminantFromMinors(ComputeMinors(m->m));
}

// NOTE: like D3DX, only an exactly zero determinant counts as singular; a nearly singular matrix
// inverts to large values. A NaN or infinite determinant is refused as well, since no usable
// inverse can come from it.
Matrix* MatrixInverse(Matrix* out, float* determinant, const Matrix* m) {
    const auto& a = m->m;
    const Minors n = ComputeMinors(a);
    const float det = DeterminantFromMinors(n);
    if (determinant) *determinant = det;
    if (det == 0.0f || !std::isfinite(det)) return nullptr;

    const float* s = n.s;
    const float* c = n.c;
    const float k = 1.0f / det;
    Matrix r;
    r.m[0][0] = (a[1][1] * c[5] - a[1][2] * c[4] + a[1][3] * c[3]) * k;
    r.m[0][1] = (-a[0][1] * c[5] + a[0][2] * c[4] - a[0][3] * c[3]) * k;
    r.m[0][2] = (a[3][1] * s[5] - a[3][2] * s[4] + a[3][3] * s[3]) * k;
    r.m[0][3] = (-a[2][1] * s[5] + a[2][2] * s[4] - a[2][3] * s[3]) * k;
    r.m[1][0] = (-a[1][0] * c[5] + a[1][2] * c[2] - a[1][3] * c[1]) * k;
    r.m[1][1] = (a[0][0] * c[5] - a[0][2] * c[2] + a[0][3] * c[1]) * k;
    r.m[1][2] = (-a[3][0] * s[5] + a[3][2] * s[2] - a[3][3] * s[1]) * k;
    r.m[1][3] = (a[2][0] * s[5] - a[2][2] * s[2] + a[2][3] * s[1]) * k;
    r.m[2][0] = (a[1][0] * c[4] - a[1][1] * c[2] + a[1][3] * c[0]) * k;
    r.m[2][1] = (-a[0][0] * c[4] + a[0][1] * c[2] - a[0][3] * c[0]) * k;
    r.m[2][2] = (a[3][0] * s[4] - a[3][1] * s[2] + a[3][3] * s[0]) * k;
    r.m[2][3] = (-a[2][0] * s[4] + a[2][1] * s[2] - a[2][3] * s[0]) * k;
    r.m[3][0] = (-a[1][0] * c[3] + a[1][1] * c[1] - a[1][2] * c[0]) * k;
    r.m[3][1] = (a[0][0] * c[3] - a[0][1] * c[1] + a[0][2] * c[0]) * k;
    r.m[3][2] = (-a[3][0] * s[3] + a[3][1] * s[1] - a[3][2] * s[0]) * k;
    r.m[3][3] = (a[2][0] * s[3] - a[2][1] * s[1] + a[2][2] * s[0]) * k;
    *out = r;
    return out;
}

}  // namespace velor
