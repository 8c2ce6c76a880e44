// The warped cube cloud: the four warps against values worked out from their formulas, the copy out
// of the cube's 32-byte vertex records, and what DrawWarpedCube hands the two sprites.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "demo/content/demo_resources.h"
#include "demo/scene/scene_object.h"
#include "demo/shell/shell_state.h"
#include "engine/gfx/device_controls.h"
#include "demo/sprites/point_sprite.h"
#include "demo/sprites/warped_cube.h"
#include "engine/mesh/d3dx_mesh.h"
#include "tests/gfx/render_fixture.h"

namespace velor::demo {
namespace {

// The warp and frame delta the next draw is given.
CubeWarp gWarp;
float gFrameDelta = 0;

struct CubeVertex {  // the cube mesh's 32-byte record: position, normal, texture coordinate
    float x, y, z, nx, ny, nz, u, v;
};

// Puts a mesh with these vertices into slot 20 and hands its vertex buffer on, as start-up does.
void PutCubeMesh(const std::vector<CubeVertex>& vertices, Device* device = nullptr) {
    std::shared_ptr<Mesh> mesh;
    ASSERT_EQ(CreateMeshFVF(1, uint32_t(vertices.size()), MeshOption::Managed, Fvf::XYZ | Fvf::Normal | Fvf::Tex1,
                            device, &mesh),
              Result::Ok);
    ASSERT_EQ(mesh->GetNumBytesPerVertex(), 32u);
    void* data = nullptr;
    ASSERT_EQ(mesh->LockVertexBuffer(0, &data), Result::Ok);
    std::memcpy(data, vertices.data(), vertices.size() * sizeof(CubeVertex));
    mesh->UnlockVertexBuffer();
    Object(kCubeSlot).mesh = mesh;
    mesh->GetVertexBuffer(&gResources.cubeVertexBuffer);
}

struct WarpCase {
    int mode;
    float t;
    Vector3 in;
    Vector3 out;  // worked out in double precision from the formulas
};

// Mode 0: Z' = Z + 3 sin Y cos(2Y cos t); X' = X + 6 sin Y cos(2Z' sin t); Y' = Y − 6 cos X' sin(2X' cos t)
// Mode 1: Z' = Z + 7 sin Y sin(2Y cos t); X' = X + 7 sin Y sin(5Z' sin t); Y' = Y − 7 cos X' cos(5X' cos t)
// Mode 2: Y' = 4Y cos Y sin(2Z sin t); X' = X + 6 cos Y' sin(2Z sin t); Z' = Z + 7 sin Y' cos(2Y' cos t)
// Mode 3: X' = X + 4 sin Y cos(5Z sin t); Z' = Z + 6 cos Y sin(5Z sin t); Y' = Y − 6 cos 3X' cos(2X' cos t)
const WarpCase kWarpCases[] = {
    // t = 0: Z' = Z + 3 sin Y cos 2Y, X' = X + 6 sin Y, Y' = Y − 6 cos X' sin 2X'.
    {0, 0.0f, {1, 0.5f, -0.25f}, {3.876553f, 4.928515f, 0.527104f}},
    {0, 1.2f, {-0.7f, 1.3f, 0.9f}, {0.072638f, 0.985129f, 2.599909f}},
    {1, 0.5f, {0.4f, -0.8f, 1.1f}, {-4.281600f, 2.117450f, 6.051913f}},
    // Y = 0 leaves X and Z alone (sin 0 = 0); cos t is about 0, so Y' = −7 cos 1.
    {1, 1.5707964f, {1, 0, 2}, {1.0f, -3.782116f, 2.0f}},
    {2, 0.9f, {0.3f, 0.6f, -1.2f}, {2.076625f, -1.886877f, 3.455404f}},
    // Y = 0 gives Y' = 0 (a scale, not an offset), so Z' = Z.
    {2, 2.0f, {1.5f, 0, 0.7f}, {7.235941f, 0.0f, 0.7f}},
    {3, 0.3f, {-1.1f, 0.25f, 0.6f}, {-0.474483f, -0.293019f, 5.104875f}},
    {3, 2.5f, {0.2f, -1.4f, -0.9f}, {3.752004f, -2.888468f, -1.342172f}},
};

TEST(WarpCubeVertices, EachModeMatchesItsFormula) {
    for (const WarpCase& c : kWarpCases) {
        PutCubeMesh({{c.in.x, c.in.y, c.in.z, 0.1f, 0.2f, 0.3f, 0.5f, 0.5f}});
        WarpCubeVertices(c.t, c.mode);
        const CubeSnapshotEntry& e = gWarpedCube.snapshot[0];
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << " t " << c.t);
        EXPECT_NEAR(e.position.x, c.out.x, 2e-4);
        EXPECT_NEAR(e.position.y, c.out.y, 2e-4);
        EXPECT_NEAR(e.position.z, c.out.z, 2e-4);
        // The normal is copied, never warped.
        EXPECT_EQ(e.normal.x, 0.1f);
        EXPECT_EQ(e.normal.y, 0.2f);
        EXPECT_EQ(e.normal.z, 0.3f);
    }
}

TEST(WarpCubeVertices, ModesOutsideZeroToThreeLeaveThePositions) {
    for (int mode : {-1, 4, 99}) {
        PutCubeMesh({{1.5f, -2.5f, 3.5f, 0, 1, 0, 0.25f, 0.75f}, {-4, 5, -6, 1, 0, 0, 0.5f, 0.5f}});
        WarpCubeVertices(0.8f, mode);
        EXPECT_EQ(gWarpedCube.count, 2);
        EXPECT_EQ(gWarpedCube.snapshot[0].position.x, 1.5f) << mode;
        EXPECT_EQ(gWarpedCube.snapshot[0].position.y, -2.5f) << mode;
        EXPECT_EQ(gWarpedCube.snapshot[0].position.z, 3.5f) << mode;
        EXPECT_EQ(gWarpedCube.snapshot[1].position.x, -4.0f) << mode;
        EXPECT_EQ(gWarpedCube.snapshot[1].normal.x, 1.0f) << mode;  // from the second 32-byte record
    }
}

TEST(WarpCubeVertices, TheVertexBufferIsOnlyRead) {
    const std::vector<CubeVertex> vertices = {{1, 0.5f, -0.25f, 0, 0, 1, 0, 0}, {2, 3, 4, 1, 0, 0, 1, 1}};
    PutCubeMesh(vertices);
    WarpCubeVertices(1.0f, 0);
    void* data = nullptr;
    ASSERT_EQ(gResources.cubeVertexBuffer->Lock(0, 0, &data, 0), Result::Ok);
    EXPECT_EQ(std::memcmp(data, vertices.data(), vertices.size() * sizeof(CubeVertex)), 0);
    gResources.cubeVertexBuffer->Unlock();
}

// ---- drawing: a point-sprite effect that counts its points ------------------------------------------

// "Trans" with one-pixel-step additive output: each point of layer A (alpha 0.3) adds 1 to red, each
// of layer B (alpha 0.15) adds 1 to green, so a pixel where every point lands counts them.
constexpr const char* kCountingEffect = R"(
float4 g_matDiffuse = float4(1, 1, 1, 1);
texture tinit;
glsl fragment CountPS {
    void main() {
        oColor = g_matDiffuse.a > 0.2 ? vec4(1.0 / 255.0, 0.0, 0.0, 1.0) : vec4(0.0, 1.0 / 255.0, 0.0, 1.0);
    }
}
technique Trans {
    pass p0 {
        PixelShader = CountPS;
        PointScaleEnable = false;
        PointSize = 3.0;
        ZEnable = false;
        AlphaBlendEnable = true;
        SrcBlend = One;
        DestBlend = One;
    }
}
)";

class WarpedCubeDrawTest : public test::RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        if (HasFatalFailure()) return;
        gShell.device = test_.device;
        std::string errors;
        ASSERT_EQ(CreateEffect(device_, kCountingEffect, "counting.fx", &gSprites.effect, &errors), Result::Ok) << errors;
        for (PointSprite** sprite : {&gSprites.cubeA, &gSprites.cubeB}) {
            *sprite = new PointSprite;
            ASSERT_EQ(device_->CreateVertexBuffer(16, Usage::WriteOnly | Usage::Points | Usage::Dynamic,
                                                  Fvf::XYZ | Fvf::Diffuse, Pool::Default, &(*sprite)->vertexBuffer),
                      Result::Ok);
        }
        Matrix identity;
        MatrixIdentity(&identity);
        device_->SetTransform(TransformState::View, &identity);
        device_->SetTransform(TransformState::Projection, &identity);
        gWarp.mode = 0;
        gWarp.rate = 0;
        gWarpedCube.warpClock = 0;
    }
    void TearDown() override {
        delete gSprites.cubeA;
        delete gSprites.cubeB;
        gSprites = {};
        gResources = {};
        ResetObjectTable();
        gShell.device.reset();
    }
};

TEST_F(WarpedCubeDrawTest, EachLayerDrawsExactlyOnePointPerVertex) {
    constexpr int kVertices = 7;
    // Every vertex (and its mirrored, normal-offset point) at the middle of the screen.
    PutCubeMesh(std::vector<CubeVertex>(kVertices, CubeVertex{0, 0, 0.5f, 0, 0, 0, 0, 0}), device_);
    // Stale entries past the mesh's vertices would land on the same pixel if they were drawn.
    for (int i = kVertices; i < kVertices + 10; ++i) gWarpedCube.snapshot[size_t(i)] = {{0, 0, 0.5f}, {0, 0, 0}};
    gWarp.mode = 99;  // unwarped
    gFrameDelta = 0;
    DrawWarpedCube(gWarp, gFrameDelta);
    const auto pixels = ReadBackBuffer(*device_);
    const uint32_t middle = test::PixelAt(pixels, 512, 384);
    EXPECT_EQ(int((middle >> 16) & 0xFF), kVertices) << "layer A";
    EXPECT_EQ(int((middle >> 8) & 0xFF), kVertices) << "layer B";
}

TEST_F(WarpedCubeDrawTest, LayersAreMirroredInYOffsetAlongTheNormalsAndTurned) {
    PutCubeMesh({{9, 9, 9, 0, 0, 0, 0, 0}, {1, 2, 3, 0.6f, 0.8f, 0, 0, 0}}, device_);
    gWarp.mode = 7;  // unwarped, so the offsets can be read off
    gFrameDelta = 1.0f;    // warp clock 0.6: turn 0.15
    DrawWarpedCube(gWarp, gFrameDelta);
    EXPECT_FLOAT_EQ(gWarpedCube.warpClock, 0.6f);
    const float turn = 0.25f * 0.6f;
    const Vector3 rotation = Object(kCubeSlot).rotation;
    EXPECT_FLOAT_EQ(rotation.x, turn);
    EXPECT_FLOAT_EQ(rotation.y, 0.0f);
    EXPECT_FLOAT_EQ(rotation.z, turn);
    // The sprites keep the last vertex's placement: (X + k nx, k ny − Y, Z + k nz).
    const PointSprite& a = *gSprites.cubeA;
    EXPECT_FLOAT_EQ(a.position.x, 1 + 5 * 0.6f);
    EXPECT_FLOAT_EQ(a.position.y, 5 * 0.8f - 2);
    EXPECT_FLOAT_EQ(a.position.z, 3.0f);
    EXPECT_FLOAT_EQ(a.rotation.x, turn);
    EXPECT_FLOAT_EQ(a.rotation.z, turn);
    EXPECT_FLOAT_EQ(a.diffuse.w, 0.3f);
    const PointSprite& b = *gSprites.cubeB;
    EXPECT_FLOAT_EQ(b.position.x, 1 + 4.8f * 0.6f);
    EXPECT_FLOAT_EQ(b.position.y, 4.8f * 0.8f - 2);
    EXPECT_FLOAT_EQ(b.diffuse.w, 0.15f);
    EXPECT_FLOAT_EQ(b.rotation.x, turn);
}

TEST_F(WarpedCubeDrawTest, PhaseIsTheRateTimesTheWarpClock) {
    const std::vector<CubeVertex> vertices = {{-0.7f, 1.3f, 0.9f, 0, 0, 0, 0, 0}};
    PutCubeMesh(vertices, device_);
    gWarp.mode = 0;
    gWarp.rate = 2.0f;
    gFrameDelta = 1.0f;  // clock 0.6, phase 1.2
    DrawWarpedCube(gWarp, gFrameDelta);
    EXPECT_NEAR(gWarpedCube.snapshot[0].position.x, 0.072638f, 2e-4);
    EXPECT_NEAR(gWarpedCube.snapshot[0].position.y, 0.985129f, 2e-4);
    EXPECT_NEAR(gWarpedCube.snapshot[0].position.z, 2.599909f, 2e-4);
}

}  // namespace
}  // namespace velor::demo
