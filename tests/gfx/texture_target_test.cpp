// Texture files through the device, and drawing into textures.
#include <filesystem>

#include "engine/gfx/device_controls.h"
#include "engine/gfx/render_to_surface.h"
#include "engine/gfx/texture_files.h"
#include "engine/image/dds_writer.h"
#include "engine/image/image_writer.h"
#include "tests/gfx/render_fixture.h"

namespace velor {
namespace {

using test::RenderTest;

class Textures : public RenderTest {};

TEST_F(Textures, ColourKeyMakesOpaqueBlackTransparent) {
    Image image(4, 1);
    image.pixels = {0xFF000000u, 0xFFFF0000u, 0xFF010000u, 0x80000000u};
    auto path = std::filesystem::temp_directory_path() / "velor_colour_key_test.png";
    ASSERT_TRUE(WritePng(path.string(), image).ok());
    std::shared_ptr<Texture> texture;
    std::string error;
    ASSERT_EQ(CreateTextureFromFileEx(device_, path.string().c_str(), 4, 1, 1, 0, Format::A8R8G8B8, Pool::Default,
                                      kD3DXDefault, kD3DXDefault, 0xFF000000u, &texture, &error),
              Result::Ok)
        << error;
    std::filesystem::remove(path);
    const auto& pixels = texture->Pixels(0, 0);
    EXPECT_EQ(pixels[0], 0x00000000u) << "opaque black keyed out";
    EXPECT_EQ(pixels[1], 0xFFFF0000u);
    EXPECT_EQ(pixels[2], 0xFF010000u) << "near-black kept";
    EXPECT_EQ(pixels[3], 0x80000000u) << "translucent black is not the key";
}

TEST_F(Textures, CubeMapLoadsSixFacesInDirect3DOrder) {
    CubeImage cube;
    for (uint32_t face = 0; face < 6; ++face) cube.faces[face] = {Image(8, 8, 0xFF000000u | (face * 40u) << 16)};
    auto path = std::filesystem::temp_directory_path() / "velor_cube_test.dds";
    ASSERT_TRUE(WriteCubeDds(path.string(), cube).ok());
    std::shared_ptr<CubeTexture> texture;
    std::string error;
    ASSERT_EQ(CreateCubeTextureFromFile(device_, path.string().c_str(), &texture, &error), Result::Ok) << error;
    std::filesystem::remove(path);
    ASSERT_TRUE(texture->IsCube());
    EXPECT_EQ(texture->LevelWidth(0), 8u);
    for (uint32_t face = 0; face < 6; ++face) EXPECT_EQ(texture->Pixels(face, 0)[0], 0xFF000000u | (face * 40u) << 16);
}

TEST_F(Textures, TwoDimensionalFileIsRefusedAsACubeMap) {
    auto path = std::filesystem::temp_directory_path() / "velor_flat_test.dds";
    ASSERT_TRUE(WriteDds(path.string(), {Image(8, 8, 0xFFFFFFFFu)}).ok());
    std::shared_ptr<CubeTexture> texture;
    std::string error;
    EXPECT_NE(CreateCubeTextureFromFile(device_, path.string().c_str(), &texture, &error), Result::Ok);
    std::filesystem::remove(path);
    EXPECT_EQ(texture, nullptr);
    EXPECT_FALSE(error.empty());
}

TEST_F(Textures, MissingFileLeavesTheTextureMissingWithItsName) {
    std::shared_ptr<Texture> texture;
    std::string error;
    EXPECT_NE(CreateTextureFromFile(device_, "no/such/file.png", &texture, &error), Result::Ok);
    EXPECT_EQ(texture, nullptr);
    EXPECT_NE(error.find("no/such/file.png"), std::string::npos) << error;
}

TEST_F(Textures, RenderToSurfaceDrawsIntoItsTextureAndLeavesTheBackBuffer) {
    std::shared_ptr<Texture> target;
    ASSERT_EQ(device_->CreateTexture(256, 128, 1, Usage::RenderTarget, Format::A16B16G16R16F, Pool::Default, &target),
              Result::Ok);
    std::shared_ptr<Surface> surface;
    ASSERT_EQ(target->GetSurfaceLevel(0, &surface), Result::Ok);
    std::shared_ptr<RenderToSurface> rts;
    ASSERT_EQ(CreateRenderToSurface(device_, 256, 128, Format::A16B16G16R16F, true, Format::D16, &rts), Result::Ok);

    ASSERT_EQ(rts->BeginScene(surface, nullptr), Result::Ok);
    device_->Clear(0, nullptr, Clear::Target | Clear::ZBuffer, 0xFF00FF00u, 1.0f, 0);
    device_->SetRenderState(RenderState::Lighting, 0);
    test::ColorVertex tri[3];
    ClockwiseTriangle(0, 0, 0.5f, 0.5f, 0xFFFF0000u, tri);
    DrawColored(tri, 1);
    ASSERT_EQ(rts->EndScene(0), Result::Ok);

    auto inTexture = ReadRenderTarget(*device_, target);
    ASSERT_EQ(inTexture.size(), 256u * 128u);
    EXPECT_EQ(inTexture[0], 0xFF00FF00u) << "cleared green";
    EXPECT_EQ(inTexture[size_t(70) * 256 + 128], 0xFFFF0000u) << "red triangle in the middle, top row first";
    auto back = ReadBackBuffer(*device_);
    EXPECT_EQ(test::PixelAt(back, 512, 384), 0xFF000000u) << "back buffer untouched";
    Viewport vp;
    device_->GetViewport(&vp);
    EXPECT_EQ(vp.width, kBackBufferWidth) << "viewport restored";

    // Sampled back: the target's top row is the top of the texture, as in Direct3D.
    struct TexVertex {
        float x, y, z;
        uint32_t color;
        float u, v;
    };
    const TexVertex quad[6] = {{-1, -1, 0.5f, 0xFFFFFFFFu, 0, 1}, {-1, 1, 0.5f, 0xFFFFFFFFu, 0, 0},
                               {1, -1, 0.5f, 0xFFFFFFFFu, 1, 1},  {1, -1, 0.5f, 0xFFFFFFFFu, 1, 1},
                               {-1, 1, 0.5f, 0xFFFFFFFFu, 0, 0},  {1, 1, 0.5f, 0xFFFFFFFFu, 1, 0}};
    device_->SetTexture(0, target);
    device_->SetFVF(Fvf::XYZ | Fvf::Diffuse | Fvf::Tex1);
    device_->DrawPrimitiveUP(PrimitiveType::TriangleList, 2, quad, sizeof(TexVertex));
    back = ReadBackBuffer(*device_);
    EXPECT_EQ(test::PixelAt(back, 512, 10), 0xFF00FF00u) << "top of the picture is green";
    EXPECT_EQ(test::PixelAt(back, 512, 420), 0xFFFF0000u) << "triangle's middle";
    EXPECT_EQ(test::PixelAt(back, 512, 200), 0xFFFF0000u) << "apex at the top: not flipped";
}

}  // namespace
}  // namespace velor
