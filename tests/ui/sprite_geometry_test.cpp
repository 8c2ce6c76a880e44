// Where ID3DXSprite::Draw puts its corners and texture coordinates, and the screen projection of Begin.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/math/d3dx_math.h"
#include "engine/ui/sprite_geometry.h"

namespace velor {
namespace {

Matrix Identity() {
    Matrix m;
    MatrixIdentity(&m);
    return m;
}

struct CornerCase {
    const char* name;
    uint32_t texW, texH;
    bool hasRect;
    Rect rect;
    bool hasCentre;
    Vector3 centre;
    bool hasPosition;
    Vector3 position;
    float x0, y0, x1, y1;  // expected corners (0,0) and (w,h) after the transform
    float u0, v0, u1, v1;
};

TEST(SpriteGeometry, CornersFollowPositionMinusCentrePlusCorner) {
    const CornerCase cases[] = {
        {"whole texture at the origin", 64, 32, false, {}, false, {}, false, {}, 0, 0, 64, 32, 0, 0, 1, 1},
        {"source rectangle", 64, 64, true, {16, 8, 48, 40}, false, {}, false, {}, 0, 0, 32, 32, 0.25f, 0.125f, 0.75f,
         0.625f},
        {"centre placed at the position", 64, 64, true, {16, 8, 48, 40}, true, {16, 16, 0}, true, {100, 50, 0}, 84, 34,
         116, 66, 0.25f, 0.125f, 0.75f, 0.625f},
        {"position only", 128, 128, false, {}, false, {}, true, {10.5f, -3, 0}, 10.5f, -3, 138.5f, 125, 0, 0, 1, 1},
        // A rectangle larger than the texture samples past the edge (clamped when drawn).
        {"rectangle past the texture", 1, 1, true, {0, 0, 1024, 768}, false, {}, false, {}, 0, 0, 1024, 768, 0, 0,
         1024, 768},
    };
    for (const CornerCase& c : cases) {
        SCOPED_TRACE(c.name);
        SpriteQuad q = BuildSpriteQuad(c.texW, c.texH, c.hasRect ? &c.rect : nullptr, c.hasCentre ? &c.centre : nullptr,
                                       c.hasPosition ? &c.position : nullptr, Identity(), 0xFF102030u);
        // Corner order (0,0), (w,0), (w,h), (0,h).
        EXPECT_FLOAT_EQ(q[0].x, c.x0); EXPECT_FLOAT_EQ(q[0].y, c.y0);
        EXPECT_FLOAT_EQ(q[1].x, c.x1); EXPECT_FLOAT_EQ(q[1].y, c.y0);
        EXPECT_FLOAT_EQ(q[2].x, c.x1); EXPECT_FLOAT_EQ(q[2].y, c.y1);
        EXPECT_FLOAT_EQ(q[3].x, c.x0); EXPECT_FLOAT_EQ(q[3].y, c.y1);
        EXPECT_FLOAT_EQ(q[0].u, c.u0); EXPECT_FLOAT_EQ(q[0].v, c.v0);
        EXPECT_FLOAT_EQ(q[2].u, c.u1); EXPECT_FLOAT_EQ(q[2].v, c.v1);
        EXPECT_FLOAT_EQ(q[1].u, c.u1); EXPECT_FLOAT_EQ(q[3].v, c.v1);
        for (const SpriteVertex& v : q) EXPECT_EQ(v.color, 0xFF102030u);
    }
}

// A 93 × 146 cell scaled (6, 5) about its integer-halved centre (46, 73) and moved to (420, 250)
// covers x 190..748 and y -42..688.
TEST(SpriteGeometry, TransformScalesAboutCentreThenTranslates) {
    Vector2 centre{46, 73}, scale{6, 5}, move{420, 250};
    Matrix m;
    MatrixTransformation2D(&m, &centre, 0.0f, &scale, &centre, 0.0f, &move);
    Rect cell{93 * 2, 146 * 3, 93 * 3, 146 * 4};
    SpriteQuad q = BuildSpriteQuad(1024, 1024, &cell, nullptr, nullptr, m, 0xFFFF0000u);
    EXPECT_FLOAT_EQ(q[0].x, 190);
    EXPECT_FLOAT_EQ(q[0].y, -42);
    EXPECT_FLOAT_EQ(q[2].x, 748);
    EXPECT_FLOAT_EQ(q[2].y, 688);
    EXPECT_FLOAT_EQ(q[0].u, 186.0f / 1024);
    EXPECT_FLOAT_EQ(q[2].v, 584.0f / 1024);
}

// Rows are points: the transform applies to position − centre + corner, after the offset.
TEST(SpriteGeometry, TransformAppliesAfterCentreAndPosition) {
    Matrix rotate;
    MatrixRotationZ(&rotate, float(M_PI / 2));
    Vector3 centre{0, 0, 2}, position{10, 0, 5};
    SpriteQuad q = BuildSpriteQuad(4, 4, nullptr, &centre, &position, rotate, 0);
    // (10, 0) turned a quarter about z lands on (0, 10); the corner (14, 0) on (0, 14).
    EXPECT_NEAR(q[0].x, 0, 1e-5); EXPECT_NEAR(q[0].y, 10, 1e-5);
    EXPECT_NEAR(q[1].x, 0, 1e-5); EXPECT_NEAR(q[1].y, 14, 1e-5);
    EXPECT_FLOAT_EQ(q[0].z, 3);  // position.z − centre.z
}

TEST(SpriteGeometry, QuadSplitsIntoTwoTrianglesSharingTheDiagonal) {
    SpriteQuad q = BuildSpriteQuad(2, 2, nullptr, nullptr, nullptr, Identity(), 0);
    SpriteVertex tri[6];
    AppendQuadTriangles(q, tri);
    const int order[6] = {0, 1, 2, 0, 2, 3};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(tri[i].x, q[order[i]].x);
        EXPECT_EQ(tri[i].y, q[order[i]].y);
    }
}

// Pixel edges of the viewport map to the edges of clip space, half a pixel shifted, and depth 0..1.
TEST(SpriteGeometry, ProjectionMapsRenderTargetPixelsIntoTheViewport) {
    Viewport vp{0, 100, 1024, 568, 0.0f, 1.0f};
    Matrix p = SpriteProjection(vp);
    struct {
        Vector3 in;
        float cx, cy, cz;
    } cases[] = {
        {{0.5f, 100.5f, 0}, -1, 1, 0},
        {{1024.5f, 668.5f, 1}, 1, -1, 1},
        {{512.5f, 384.5f, 0.5f}, 0, 0, 0.5f},
    };
    for (const auto& c : cases) {
        Vector3 out;
        Vec3TransformCoord(&out, &c.in, &p);
        EXPECT_NEAR(out.x, c.cx, 1e-5);
        EXPECT_NEAR(out.y, c.cy, 1e-5);
        EXPECT_NEAR(out.z, c.cz, 1e-5);
    }
}

// On a device at scale k the shift is half a real pixel, 1/(2k) of a unit: half a unit would put every
// sprite and glyph half a real pixel off its pixels, too little for a frame's measures to show.
TEST(SpriteGeometry, ProjectionShiftsByHalfARealPixelAtAScale) {
    const Viewport vp{0, 100, 1024, 568, 0.0f, 1.0f};
    for (float k : {2.0f, 1.875f, 2.8125f}) {
        SCOPED_TRACE(k);
        Matrix p = SpriteProjection(vp, k);
        const float half = 0.5f / k;
        const struct {
            Vector3 in;
            float cx, cy;
        } cases[] = {{{half, 100 + half, 0}, -1, 1}, {{1024 + half, 668 + half, 0}, 1, -1}};
        for (const auto& c : cases) {
            Vector3 out;
            Vec3TransformCoord(&out, &c.in, &p);
            EXPECT_NEAR(out.x, c.cx, 1e-5);
            EXPECT_NEAR(out.y, c.cy, 1e-5);
        }
    }
}

}  // namespace
}  // namespace velor
