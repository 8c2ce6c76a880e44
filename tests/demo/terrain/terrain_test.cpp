// The splatted tunnel: the tangent frame InitTerrain gives slot 10, the matrices DrawTerrain hands the
// effect, and what the effect draws, on the headless device with the generated content.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "demo/scene/scene_object.h"
#include "demo/shell/shell_state.h"
#include "demo/terrain/terrain.h"
#include "demo/timeline/camera.h"
#include "engine/gfx/device_controls.h"
#include "engine/image/image_writer.h"
#include "engine/math/d3dx_math.h"
#include "engine/mesh/d3dx_mesh.h"
#include "tests/gfx/render_fixture.h"

namespace velor::demo {
namespace {

struct QuadVertex {  // D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1
    float x, y, z, nx, ny, nz, u, v;
};

struct TangentVertex {  // the 56-byte tangent layout
    Vector3 position, tangent, binormal, normal;
    float u, v;
};
static_assert(sizeof(TangentVertex) == 56);

// One entry of the run folder's asset pack: 4-byte little-endian lengths, entries back to back.
std::string PackEntry(size_t index) {
    std::ifstream file("data.xyz", std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    size_t at = 0;
    for (size_t i = 0; at + 4 <= bytes.size(); ++i) {
        uint32_t length = 0;
        std::memcpy(&length, bytes.data() + at, 4);
        at += 4;
        if (at + length > bytes.size()) break;
        if (i == index) return bytes.substr(at, length);
        at += length;
    }
    return {};
}
constexpr size_t kTunnelEntry = 7;

class TerrainTest : public test::RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        if (HasFatalFailure()) return;
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(VELOR_RUN_DIR);
        gShell.device = test_.device;
    }
    void TearDown() override {
        gTerrain = {};
        ResetObjectTable();
        gShell.device.reset();
        std::filesystem::current_path(previous_);
    }

    // A 2 x 2 square in the plane z = 0 facing -z, u growing with x and v growing as y falls (as an
    // image is laid on it). `clockwise` false winds it so that counter-clockwise culling removes it.
    void PutQuadInTunnelSlot(bool clockwise) {
        std::shared_ptr<Mesh> mesh;
        ASSERT_EQ(CreateMeshFVF(2, 4, MeshOption::Managed, Fvf::XYZ | Fvf::Normal | Fvf::Tex1, device_, &mesh),
                  Result::Ok);
        const QuadVertex corners[4] = {{-1, -1, 0, 0, 0, -1, 0, 1},
                                       {1, -1, 0, 0, 0, -1, 1, 1},
                                       {1, 1, 0, 0, 0, -1, 1, 0},
                                       {-1, 1, 0, 0, 0, -1, 0, 0}};
        void* data = nullptr;
        ASSERT_EQ(mesh->LockVertexBuffer(0, &data), Result::Ok);
        std::memcpy(data, corners, sizeof(corners));
        mesh->UnlockVertexBuffer();
        const uint16_t cw[6] = {0, 3, 2, 0, 2, 1}, ccw[6] = {0, 2, 3, 0, 1, 2};
        ASSERT_EQ(mesh->LockIndexBuffer(0, &data), Result::Ok);
        std::memcpy(data, clockwise ? cw : ccw, sizeof(cw));
        mesh->UnlockIndexBuffer();
        SceneObject& tunnel = Object(kTunnelSlot);
        tunnel.mesh = mesh;
        tunnel.noTextures = 1;
        tunnel.materialCount = 1;
        tunnel.materials.assign(1, Material{});
        tunnel.textures.assign(1, nullptr);
    }

    static void LookFrom(Vector3 eye, Vector3 target) {
        gCamera.eye = eye;
        gCamera.target = target;
        gCamera.up = {0, 1, 0};
        ApplyCamera(90, 4.8f, 3);
    }

    // Writes the back buffer when VELOR_TEST_PNG_DIR names a folder (for looking at the picture).
    std::vector<uint32_t> Picture(const char* name) {
        std::vector<uint32_t> pixels = ReadBackBuffer(*device_);
        if (const char* dir = std::getenv("VELOR_TEST_PNG_DIR")) {
            Image image(kBackBufferWidth, kBackBufferHeight);
            image.pixels = pixels;
            WritePng((std::filesystem::path(dir) / name).string(), image);
        }
        return pixels;
    }

    std::filesystem::path previous_;
};

int Brightness(uint32_t p) { return int((p >> 16) & 0xFF) + int((p >> 8) & 0xFF) + int(p & 0xFF); }

TEST_F(TerrainTest, EffectAndAllSixTexturesLoad) {
    PutQuadInTunnelSlot(true);
    InitTerrain();
    ASSERT_NE(gTerrain.effect, nullptr) << "sbl.fx did not compile";
    EXPECT_NE(gTerrain.effect->GetParameterByName("gWVP"), nullptr);
    EXPECT_NE(gTerrain.effect->GetParameterByName("value"), nullptr);
    for (const char* texture : {"normal", "detail_tex", "blend_tex", "C1", "C2", "C3"})
        EXPECT_NE(gTerrain.effect->GetParameterByName(texture), nullptr) << texture;
    EXPECT_NE(gTerrain.normalMap, nullptr);
    EXPECT_NE(gTerrain.detailTexture, nullptr);
    EXPECT_NE(gTerrain.blendTexture, nullptr);
    EXPECT_NE(gTerrain.layer1Texture, nullptr);
    EXPECT_NE(gTerrain.layer2Texture, nullptr);
    EXPECT_NE(gTerrain.layer3Texture, nullptr);
    uint32_t filter = 0;
    device_->GetSamplerState(0, SamplerState::MipFilter, &filter);
    EXPECT_EQ(filter, uint32_t(TextureFilter::Linear));
}

TEST_F(TerrainTest, QuadGetsTheUDerivativeAsBinormalAndTheVDerivativeAsTangent) {
    PutQuadInTunnelSlot(true);
    InitTerrain();
    const SceneObject& tunnel = Object(kTunnelSlot);
    ASSERT_NE(tunnel.mesh, nullptr);
    ASSERT_EQ(tunnel.mesh->GetNumBytesPerVertex(), 56u);
    EXPECT_EQ(tunnel.materialCount, 1u);  // the subsets drawn are unchanged
    ASSERT_EQ(tunnel.mesh->GetNumVertices(), 4u);
    const auto* vertices = reinterpret_cast<const TangentVertex*>(tunnel.mesh->VertexData());
    for (int i = 0; i < 4; ++i) {
        const TangentVertex& v = vertices[i];
        SCOPED_TRACE(i);
        // u runs along +x: the binormal; v runs along -y: the tangent.
        EXPECT_NEAR(v.binormal.x, 1.0f, 1e-5);
        EXPECT_NEAR(v.binormal.y, 0.0f, 1e-5);
        EXPECT_NEAR(v.binormal.z, 0.0f, 1e-5);
        EXPECT_NEAR(v.tangent.x, 0.0f, 1e-5);
        EXPECT_NEAR(v.tangent.y, -1.0f, 1e-5);
        EXPECT_NEAR(v.tangent.z, 0.0f, 1e-5);
        EXPECT_NEAR(v.normal.z, -1.0f, 1e-5);
    }
    // Positions and texture coordinates survive the copy into the new layout.
    EXPECT_FLOAT_EQ(vertices[2].position.x, 1.0f);
    EXPECT_FLOAT_EQ(vertices[2].position.y, 1.0f);
    EXPECT_FLOAT_EQ(vertices[2].u, 1.0f);
    EXPECT_FLOAT_EQ(vertices[2].v, 0.0f);
}

TEST_F(TerrainTest, DeclarationIsTheFiftySixByteTangentLayout) {
    PutQuadInTunnelSlot(true);
    InitTerrain();
    ASSERT_NE(gTerrain.tangentDeclaration, nullptr);
    const std::vector<VertexElement>& e = gTerrain.tangentDeclaration->Elements();
    ASSERT_EQ(e.size(), 5u);
    const DeclUsage usages[5] = {DeclUsage::Position, DeclUsage::Tangent, DeclUsage::Binormal, DeclUsage::Normal,
                                 DeclUsage::TexCoord};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(e[i].usage, usages[i]) << i;
        EXPECT_EQ(e[i].offset, 12 * i) << i;
    }
    EXPECT_EQ(e[4].type, DeclType::Float2);
}

TEST_F(TerrainTest, EffectGetsTheWorldTheDrawSetsTimesViewAndProjection) {
    PutQuadInTunnelSlot(true);
    InitTerrain();
    ASSERT_NE(gTerrain.effect, nullptr);
    LookFrom({0.3f, 0.2f, -2.5f}, {0, 0, 0});
    const float angle = 0.7f;
    DrawTerrain(angle);

    Matrix world, expectedWorld, wvp, expected, worldView;
    device_->GetTransform(TransformState::World, &world);
    MatrixRotationY(&expectedWorld, angle);
    MatrixMultiply(&worldView, &world, &gCamera.view);
    MatrixMultiply(&expected, &worldView, &gCamera.projection);
    ASSERT_EQ(gTerrain.effect->GetMatrix("gWVP", &wvp), Result::Ok);
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            EXPECT_FLOAT_EQ(world.m[r][c], Object(kTunnelSlot).world.m[r][c]);
            EXPECT_NEAR(world.m[r][c], expectedWorld.m[r][c], 1e-6);
            EXPECT_FLOAT_EQ(wvp.m[r][c], expected.m[r][c]) << r << "," << c;
        }
    }
    float value = 0;
    gTerrain.effect->GetFloat("value", &value);
    EXPECT_FLOAT_EQ(value, angle * 0.5f);
    uint32_t cull = 0;
    device_->GetRenderState(RenderState::CullMode, &cull);
    EXPECT_EQ(cull, uint32_t(Cull::CCW));
}

TEST_F(TerrainTest, BackFacingWallIsDrawnTexturedAndLit) {
    // Wound so that the default culling would remove it: only the draw's culling-off shows it.
    PutQuadInTunnelSlot(false);
    InitTerrain();
    ASSERT_NE(gTerrain.effect, nullptr);
    LookFrom({0, 0, -1.2f}, {0, 0, 0});
    DrawTerrain(0);
    const auto pixels = Picture("terrain_quad.png");
    // The quad fills the middle; the corners of the screen stay black.
    EXPECT_EQ(test::PixelAt(pixels, 5, 5), 0xFF000000u);
    std::set<uint32_t> colours;
    int lit = 0;
    for (int y = 300; y < 468; ++y)
        for (int x = 430; x < 594; ++x) {
            const uint32_t p = test::PixelAt(pixels, x, y);
            colours.insert(p);
            lit += Brightness(p) > 60;
        }
    EXPECT_GT(lit, 164 * 168 * 9 / 10);
    EXPECT_GT(colours.size(), 1000u);  // textured, not a flat colour
}

TEST_F(TerrainTest, TunnelFromThePackIsSeenAllAround) {
    const std::string tunnelX = PackEntry(kTunnelEntry);
    ASSERT_FALSE(tunnelX.empty()) << "content not generated in " << VELOR_RUN_DIR;
    SceneObject& tunnel = Object(kTunnelSlot);
    std::vector<XMaterial> materials;
    ASSERT_EQ(LoadMeshFromXInMemory(tunnelX, "tunnel.x", MeshOption::Managed, device_, nullptr, &materials, nullptr,
                                    &tunnel.materialCount, &tunnel.mesh),
              Result::Ok);
    tunnel.noTextures = 1;
    tunnel.materials.assign(tunnel.materialCount, Material{});
    tunnel.textures.assign(tunnel.materialCount, nullptr);
    InitTerrain();
    ASSERT_NE(gTerrain.effect, nullptr);
    LookFrom({0, 0, -1}, {5, 0, 3});
    DrawTerrain(0.3f);
    const auto pixels = Picture("terrain_tunnel.png");
    int lit = 0;
    long sum = 0;
    std::set<uint32_t> colours;
    for (uint32_t p : pixels) {
        lit += Brightness(p) > 15;
        sum += Brightness(p);
        colours.insert(p);
    }
    // Inside the tube every pixel sees wall; lit but not washed out.
    EXPECT_GT(lit, int(pixels.size()) * 8 / 10);
    EXPECT_GT(colours.size(), 5000u);
    const double mean = double(sum) / double(pixels.size()) / 3.0;
    EXPECT_GT(mean, 25.0);
    EXPECT_LT(mean, 200.0);
}

}  // namespace
}  // namespace velor::demo
