// The object table on a headless device: what DrawObject and DrawObjectWithWorld send (materials,
// textures, world) and what lands on the screen, for a loaded slot and for instances of slot 250.
//
// The fixture writes a small X file in a temporary working folder: two quads side by side, the left
// one with a material naming "green.png" (diffuse alpha 0.5), the right one with no texture (diffuse
// alpha 0.25). Transforms are identity, so the file's positions are screen coordinates.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "demo/scene/scene_object.h"
#include "demo/shell/shell_state.h"
#include "engine/image/image_writer.h"
#include "engine/math/d3dx_math.h"
#include "tests/ui/ui_render_fixture.h"

namespace velor::demo {
namespace {

constexpr const char* kTwoQuads = R"(xof 0303txt 0032
Mesh TwoQuads {
 8;
 -0.5; 0.4; 0.5;, -0.1; 0.4; 0.5;, -0.1; -0.4; 0.5;, -0.5; -0.4; 0.5;,
  0.1; 0.4; 0.5;,  0.5; 0.4; 0.5;,  0.5; -0.4; 0.5;,  0.1; -0.4; 0.5;;
 2;
 4; 0, 1, 2, 3;,
 4; 4, 5, 6, 7;;
 MeshNormals { 1; 0.0; 0.0; -1.0;; 2; 4; 0, 0, 0, 0;, 4; 0, 0, 0, 0;; }
 MeshTextureCoords { 8; 0; 0;, 1; 0;, 1; 1;, 0; 1;, 0; 0;, 1; 0;, 1; 1;, 0; 1;; }
 MeshMaterialList {
  2; 2; 0, 1;;
  Material Textured { 1.0; 1.0; 1.0; 0.5;; 0.0; 0.0; 0.0; 0.0;; 0.0; 0.0; 0.0;; TextureFilename { "green.png"; } }
  Material Plain { 1.0; 1.0; 1.0; 0.25;; 0.0; 0.0; 0.0; 0.0;; 0.0; 0.0; 0.0;; }
 }
}
)";

constexpr int kSlot = 40;  // a slot the demo leaves empty

class SceneObjectRender : public test::UiRender {
protected:
    void SetUp() override {
        UiRender::SetUp();
        if (HasFatalFailure()) return;
        gShell.device = test_.device;
        previous_ = std::filesystem::current_path();
        folder_ = std::filesystem::temp_directory_path() / ("velor_scene_render_" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_);
        std::filesystem::current_path(folder_);  // material textures are named relative to it
        std::ofstream("two_quads.x") << kTwoQuads;
        ASSERT_TRUE(WritePng("green.png", Image(4, 4, 0xFF00FF00u)).ok());

        Matrix identity;
        MatrixIdentity(&identity);
        device_->SetTransform(TransformState::View, &identity);
        device_->SetTransform(TransformState::Projection, &identity);
        device_->SetRenderState(RenderState::Lighting, 0);  // white where no texture is bound
        device_->SetRenderState(RenderState::CullMode, uint32_t(Cull::None));
        red_ = MakeTexture(4, 4, 0xFFFF0000u);
    }
    void TearDown() override {
        ResetObjectTable();
        gShell.device.reset();
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(folder_);
        UiRender::TearDown();
    }

    std::shared_ptr<BaseTexture> Stage0() const {
        std::shared_ptr<BaseTexture> texture;
        device_->GetTexture(0, &texture);
        return texture;
    }
    float SentAlpha() const {
        Material m;
        device_->GetMaterial(&m);
        return m.diffuse.a;
    }

    std::filesystem::path previous_, folder_;
    std::shared_ptr<Texture> red_;
};

uint32_t Rgb(uint32_t p) { return p & 0xFFFFFFu; }

TEST_F(SceneObjectRender, FirstDrawSendsTheFilesAlphaThenStoresOne) {
    LoadObjectFromX("two_quads.x", kSlot);
    SceneObject& object = Object(kSlot);
    ASSERT_EQ(object.materialCount, 2u);
    EXPECT_FLOAT_EQ(object.materials[0].diffuse.a, 0.5f);

    DrawObject(kSlot);
    EXPECT_FLOAT_EQ(SentAlpha(), 0.25f) << "the last subset's alpha as the file gives it";
    EXPECT_FLOAT_EQ(object.materials[0].diffuse.a, 1.0f);
    EXPECT_FLOAT_EQ(object.materials[1].diffuse.a, 1.0f);
    DrawObject(kSlot);
    EXPECT_FLOAT_EQ(SentAlpha(), 1.0f) << "later draws send the stored 1.0";
}

TEST_F(SceneObjectRender, DrawWithWorldLeavesStoredMaterialsAndWorld) {
    LoadObjectFromX("two_quads.x", kSlot);
    SceneObject& object = Object(kSlot);
    Matrix shift;
    MatrixTranslation(&shift, 0.2f, 0, 0);
    const Matrix storedWorld = object.world;
    DrawObjectWithWorld(kSlot, shift);
    EXPECT_FLOAT_EQ(SentAlpha(), 0.25f);
    EXPECT_FLOAT_EQ(object.materials[0].diffuse.a, 0.5f);
    EXPECT_FLOAT_EQ(object.materials[1].diffuse.a, 0.25f);
    EXPECT_EQ(std::memcmp(&object.world, &storedWorld, sizeof(Matrix)), 0);
    Matrix sent;
    device_->GetTransform(TransformState::World, &sent);
    EXPECT_FLOAT_EQ(sent.m[3][0], 0.2f);
    // The quads drawn 0.2 to the right: the left one now starts at x = 0.3 of the view's half width.
    const Rect lit = test::LitBounds(Frame());
    EXPECT_NEAR(lit.left, (1 - 0.3) * 512, 2);
}

TEST_F(SceneObjectRender, UntexturedMaterialUnbindsStageZero) {
    LoadObjectFromX("two_quads.x", kSlot);
    SceneObject& object = Object(kSlot);
    ASSERT_NE(object.textures[0], nullptr);
    EXPECT_EQ(object.textures[1], nullptr);

    device_->SetTexture(0, red_);  // left over by an earlier draw
    DrawObject(kSlot);
    EXPECT_EQ(Stage0(), nullptr);
    const auto pixels = Frame();
    EXPECT_EQ(Rgb(test::PixelAt(pixels, 358, 384)), 0x00FF00u) << "left quad: its own green texture";
    EXPECT_EQ(Rgb(test::PixelAt(pixels, 665, 384)), 0xFFFFFFu) << "right quad: untextured, not the red left over";
}

TEST_F(SceneObjectRender, NoTexturesAndOverrideDecideStageZero) {
    LoadObjectFromX("two_quads.x", kSlot);
    SceneObject& object = Object(kSlot);

    object.noTextures = 1;  // the caller's texture stays, for every subset
    device_->SetTexture(0, red_);
    DrawObject(kSlot);
    EXPECT_EQ(Stage0(), red_);
    auto pixels = Frame();
    EXPECT_EQ(Rgb(test::PixelAt(pixels, 358, 384)), 0xFF0000u);
    EXPECT_EQ(Rgb(test::PixelAt(pixels, 665, 384)), 0xFF0000u);

    object.noTextures = 0;
    object.useOverride = 1;  // one texture for every subset
    object.overrideStage = 0;
    object.overrideTexture = MakeTexture(4, 4, 0xFF0000FFu);
    device_->SetTexture(0, red_);
    DrawObject(kSlot);
    EXPECT_EQ(Stage0(), object.overrideTexture);
    pixels = Frame();
    EXPECT_EQ(Rgb(test::PixelAt(pixels, 358, 384)), 0x0000FFu);
    EXPECT_EQ(Rgb(test::PixelAt(pixels, 665, 384)), 0x0000FFu);
}

TEST_F(SceneObjectRender, InstancesShareTheTreeSlotAndDrawAtTheirOwnPlacement) {
    LoadObjectFromX("two_quads.x", kTreeSlot);
    InstanceObject(kFirstTreeInstanceSlot);
    const SceneObject& tree = Object(kTreeSlot);
    SceneObject& instance = Object(kFirstTreeInstanceSlot);
    EXPECT_EQ(instance.mesh, tree.mesh);
    EXPECT_EQ(instance.textures[0], tree.textures[0]);
    EXPECT_EQ(instance.materialCount, 2u);
    EXPECT_EQ(instance.loadCount, 0u) << "shares without owning";
    EXPECT_EQ(tree.loadCount, 1u);

    instance.position = {0.3f, -0.2f, 0};
    Object(kTreeSlot).position = {-0.4f, 0.1f, 0};  // moving the tree does not move the instance
    DrawObject(kFirstTreeInstanceSlot);
    const Rect lit = test::LitBounds(Frame());
    // Quads span x -0.5..0.5 and y -0.4..0.4, moved by (0.3, -0.2): x -0.2..0.8, y -0.6..0.2.
    EXPECT_NEAR(lit.left, 0.8 * 512, 2);
    EXPECT_NEAR(lit.right, 1.8 * 512, 2);
    EXPECT_NEAR(lit.top, 0.8 * 384, 2);
    EXPECT_NEAR(lit.bottom, 1.6 * 384, 2);
    EXPECT_EQ(Rgb(test::PixelAt(Frame(), int(0.95 * 512), 384)), 0x00FF00u) << "with the tree's texture";
}

}  // namespace
}  // namespace velor::demo
