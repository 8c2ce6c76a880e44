// The post passes on a headless device, with the embedded effects, the run folder's quad and a scene
// target made as start-up makes it. A known image is rendered into the scene target; what comes out
// in the letterbox viewport is compared with a model of each effect's pixel shader.
//
// The image is a colour ramp, red = 255 u and green = 255 v, so each output pixel says which
// texture coordinate the shader sampled. For the blur's smear, whose average over a ramp is again a
// ramp, a small white square on black is used instead.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <unistd.h>

#include "demo/content/demo_resources.h"
#include "demo/scene/scene_object.h"
#include "demo/shell/shell_state.h"
#include "demo/terrain/post_effects.h"
#include "demo/timeline/camera.h"
#include "engine/gfx/texture_files.h"
#include "engine/math/d3dx_math.h"
#include "tests/ui/ui_render_fixture.h"

namespace velor::demo {
namespace {

constexpr int kTargetWidth = 1024, kTargetHeight = 768;
constexpr int kViewTop = 100, kViewHeight = 568;  // the letterbox
constexpr float kQuarterPi = 0.7853982f;
constexpr size_t kQuadPackEntry = 9;  // "quad.x", the pack's last entry

// One entry of the run folder's asset pack (4-byte little-endian length, then the bytes).
std::string PackEntry(size_t wanted) {
    std::ifstream file(std::string(VELOR_RUN_DIR) + "/data.xyz", std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    size_t at = 0;
    for (size_t entry = 0; at + 4 <= bytes.size(); ++entry) {
        const size_t length = bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | size_t(bytes[at + 3]) << 24;
        at += 4;
        if (length > bytes.size() - at) break;
        if (entry == wanted) return std::string(bytes.begin() + long(at), bytes.begin() + long(at + length));
        at += length;
    }
    return {};
}

struct Vertex {  // D3DFVF_XYZRHW | D3DFVF_DIFFUSE
    float x, y, z, rhw;
    uint32_t color;
};

int Red(uint32_t p) { return int((p >> 16) & 0xFF); }
int Green(uint32_t p) { return int((p >> 8) & 0xFF); }

struct Uv {
    double u, v;
};

class PostPassTest : public test::UiRender {
protected:
    void SetUp() override {
        UiRender::SetUp();
        if (HasFatalFailure()) return;
        gShell.device = test_.device;

        const std::string quad = PackEntry(kQuadPackEntry);
        ASSERT_FALSE(quad.empty()) << "content not generated in " << VELOR_RUN_DIR;
        quadFile_ = std::filesystem::temp_directory_path() / ("velor_post_quad_" + std::to_string(::getpid()) + ".x");
        std::ofstream(quadFile_, std::ios::binary) << quad;
        LoadObjectFromX(quadFile_.string().c_str(), kQuadSlot);
        std::filesystem::remove(quadFile_);
        ASSERT_NE(Object(kQuadSlot).mesh, nullptr);
        Object(kQuadSlot).noTextures = 1;

        // The scene target as start-up creates it.
        ASSERT_EQ(CreateTexture(device_, kTargetWidth, kTargetHeight, 1, Usage::RenderTarget, Format::A8R8G8B8,
                                Pool::Default, &gResources.sceneTargetTexture),
                  Result::Ok);
        gResources.sceneTargetTexture->GetSurfaceLevel(0, &gResources.sceneTargetSurface);
        SurfaceDesc desc;
        gResources.sceneTargetSurface->GetDesc(&desc);
        CreateRenderToSurface(device_, desc.width, desc.height, desc.format, true, Format::D16,
                              &gResources.sceneRenderToSurface);

        std::string errors;
        ASSERT_EQ(CreateEffectFromResource(device_, 101, &gResources.radialBlurEffect, &errors), Result::Ok) << errors;
        ASSERT_EQ(CreateEffectFromResource(device_, 102, &gResources.mosaicEffect, &errors), Result::Ok) << errors;

        // Black everywhere, then the letterbox viewport for the rest of the test.
        device_->Clear(0, nullptr, Clear::Target | Clear::ZBuffer, 0xFF000000u, 1.0f, 0);
        const Viewport letterbox{0, kViewTop, kTargetWidth, kViewHeight, 0.0f, 1.0f};
        device_->SetViewport(&letterbox);
    }
    void TearDown() override {
        gResources = DemoResources{};
        ResetObjectTable();
        gShell.device.reset();
        UiRender::TearDown();
    }

    // Renders into the scene target: `fill` draws pre-transformed quads in target pixels.
    template <typename Fill>
    void PaintSceneTarget(Fill fill) {
        gResources.sceneRenderToSurface->BeginScene(gResources.sceneTargetSurface, nullptr);
        device_->Clear(0, nullptr, Clear::Target | Clear::ZBuffer, 0xFF000000u, 1.0f, 0);
        device_->SetRenderState(RenderState::CullMode, uint32_t(Cull::None));
        device_->SetRenderState(RenderState::Lighting, 0);
        device_->SetTexture(0, nullptr);
        device_->SetFVF(Fvf::XYZRHW | Fvf::Diffuse);
        fill();
        gResources.sceneRenderToSurface->EndScene(0);
    }
    void Rectangle(float x0, float y0, float x1, float y1, uint32_t c00, uint32_t c10, uint32_t c01, uint32_t c11) {
        const Vertex v[6] = {{x0, y0, 0.5f, 1, c00}, {x1, y0, 0.5f, 1, c10}, {x1, y1, 0.5f, 1, c11},
                             {x0, y0, 0.5f, 1, c00}, {x1, y1, 0.5f, 1, c11}, {x0, y1, 0.5f, 1, c01}};
        ASSERT_EQ(device_->DrawPrimitiveUP(PrimitiveType::TriangleList, 2, v, sizeof(Vertex)), Result::Ok);
    }
    void PaintRamp() {
        PaintSceneTarget([&] {
            Rectangle(0, 0, kTargetWidth, kTargetHeight, 0xFF000000u, 0xFFFF0000u, 0xFF00FF00u, 0xFFFFFF00u);
        });
    }
    // A white square of `size` texels centred on texture coordinate (u, v), on black.
    void PaintSquare(double u, double v, float size) {
        PaintSceneTarget([&] {
            const float x = float(u * kTargetWidth), y = float(v * kTargetHeight);
            Rectangle(x - size / 2, y - size / 2, x + size / 2, y + size / 2, ~0u, ~0u, ~0u, ~0u);
        });
    }

    // The quad's texture coordinate at a screen pixel, for a projection of this aspect: the quad fills
    // the view's height and is 1.6 times as wide as high. Pixel centres sit on integer coordinates,
    // as Direct3D 9 puts them, so pixel x of the view samples u = x / width.
    static Uv QuadCoordinate(int x, int y, double aspect) {
        const double ndcX = double(x) / kTargetWidth * 2.0 - 1.0;
        const double ndcY = 1.0 - double(y - kViewTop) / kViewHeight * 2.0;
        return {0.5 + ndcX * aspect / 1.6 / 2.0, 0.5 - ndcY / 2.0};
    }

    static Matrix Projection(float aspect) {
        Matrix p;
        MatrixPerspectiveFovLH(&p, kQuarterPi, aspect, 0.01f, 10000.0f);
        return p;
    }
    // Any camera: the passes undo the view.
    static Matrix SomeView() {
        Matrix v;
        Vector3 eye{3, 2, -7}, at{0.5f, 0, 4}, up{0.2f, 1, 0};
        MatrixLookAtLH(&v, &eye, &at, &up);
        return v;
    }

    void ExpectBandsBlack(const std::vector<uint32_t>& pixels) {
        EXPECT_EQ(LitBetween(pixels.begin(), pixels.begin() + kViewTop * kTargetWidth), 0) << "band above";
        EXPECT_EQ(LitBetween(pixels.begin() + (kViewTop + kViewHeight) * kTargetWidth, pixels.end()), 0)
            << "band below";
    }
    static int LitBetween(std::vector<uint32_t>::const_iterator from, std::vector<uint32_t>::const_iterator to) {
        return int(std::count_if(from, to, [](uint32_t p) { return test::Lit(p); }));
    }

    std::filesystem::path quadFile_;
};

// ---- mosaic ----

// Where the mosaic shader samples for the coordinate uv: the centre of uv's brick, odd rows shifted
// half a brick.
Uv MosaicSample(Uv uv, double musicTimer, double* fractionU, double* fractionV) {
    const double s = 1.0 / (900.0 * musicTimer);
    if (std::fmod(std::floor(uv.v / s), 2.0) >= 1.0) uv.u += s / 2;
    *fractionU = uv.u / s - std::floor(uv.u / s);
    *fractionV = uv.v / s - std::floor(uv.v / s);
    return {(std::floor(uv.u / s) + 0.5) * s, (std::floor(uv.v / s) + 0.5) * s};
}

TEST_F(PostPassTest, MosaicShowsTheCentreOfEachStaggeredBrick) {
    for (float musicTimer : {0.05f, 0.1f, 0.2f}) {
        device_->Clear(0, nullptr, Clear::Target | Clear::ZBuffer, 0xFF000000u, 1.0f, 0);
        PaintRamp();
        gCamera.view = SomeView();
        gCamera.projection = Projection(1.6f);
        MosaicPass(musicTimer);
        const auto pixels = Frame();
        ExpectBandsBlack(pixels);

        int checked = 0, wrong = 0;
        for (int y = kViewTop; y < kViewTop + kViewHeight; y += 7)
            for (int x = 0; x < kTargetWidth; x += 5) {
                double fu, fv;
                const Uv sample = MosaicSample(QuadCoordinate(x, y, 1.6), musicTimer, &fu, &fv);
                // Pixels on a brick's edge could fall either side; a brick past the right edge wraps.
                if (fu < 0.1 || fu > 0.9 || fv < 0.1 || fv > 0.9 || sample.u > 0.995) continue;
                ++checked;
                const uint32_t p = test::PixelAt(pixels, x, y);
                if (std::abs(Red(p) - 255.0 * sample.u) > 2.5 || std::abs(Green(p) - 255.0 * sample.v) > 2.5) {
                    if (++wrong <= 5)
                        ADD_FAILURE() << "MusicTimer " << musicTimer << " pixel " << x << "," << y << ": red "
                                      << Red(p) << " green " << Green(p) << ", expected " << 255.0 * sample.u << ", "
                                      << 255.0 * sample.v;
                }
            }
        EXPECT_GT(checked, 5000);
        EXPECT_EQ(wrong, 0) << "MusicTimer " << musicTimer;
    }
}

TEST_F(PostPassTest, MosaicBricksPerAxisFollowTheMusicTimer) {
    PaintRamp();
    gCamera.view = SomeView();
    gCamera.projection = Projection(1.6f);
    MosaicPass(0.05f);  // 45 bricks across
    const auto pixels = Frame();
    // Brick edges along one row of an even and one of an odd brick row (rows are 568 / 45 pixels).
    auto edges = [&](int y) {
        std::vector<int> at;
        for (int x = 1; x < kTargetWidth; ++x)
            if (std::abs(Red(test::PixelAt(pixels, x, y)) - Red(test::PixelAt(pixels, x - 1, y))) > 2) at.push_back(x);
        return at;
    };
    const auto even = edges(kViewTop + 6);        // brick row 0
    const auto odd = edges(kViewTop + 6 + 12);    // brick row 1
    EXPECT_EQ(even.size(), 44u) << "45 whole bricks across";
    ASSERT_FALSE(odd.empty());
    // The odd row's edges fall halfway between the even row's: 1024 / 90 pixels earlier.
    ASSERT_GE(even.size(), 2u);
    const double brick = 1024.0 / 45.0;
    EXPECT_NEAR(even[0], brick, 1.0);
    EXPECT_NEAR(odd[0], brick / 2, 1.0);
    EXPECT_NEAR(odd[1], brick * 1.5, 1.0);
}

// ---- radial blur ----

// Where the blur shader samples for uv with no spread: the wobbled, centre-relative coordinate
// times BlurStart.
Uv BlurSample(Uv uv, double blurStart, double value) {
    double tx = uv.u - 0.5, ty = uv.v - 0.5;
    ty += std::cos(ty * 20 + value) * 0.015;
    tx += std::cos(tx * 20 + value) * 0.015;
    return {tx * blurStart + 0.5, ty * blurStart + 0.5};
}

void SetBlur(float start, float width, float value) {
    gResources.radialBlurEffect->SetFloat("BlurStart", start);
    gResources.radialBlurEffect->SetFloat("BlurWidth", width);
    gResources.radialBlurEffect->SetFloat("value", value);
}

TEST_F(PostPassTest, BlurWithoutSpreadShowsTheWobbledScaledImage) {
    struct Case {
        float blurStart, blurWidth, value, aspect;
        const char* what;
    };
    const Case cases[] = {
        {1.0f, 0.0f, 0.0f, 1.6f, "the image, wobbled"},
        {0.6f, 0.0f, 2.0f, 1.6f, "zoomed about the centre"},
        {-1.0f, 0.0f, 1.0f, 1.6f, "mirrored through the centre"},
        {0.8f, 0.0f, 4.0f, 1.0f, "the timeline's square projection: the quad's middle fills the view"},
        // Over a ramp the sixteen samples average to the sample at the middle scale.
        {0.9f, 0.3f, 3.0f, 1.6f, "spread over a ramp: the middle scale"},
    };
    for (const Case& c : cases) {
        device_->Clear(0, nullptr, Clear::Target | Clear::ZBuffer, 0xFF000000u, 1.0f, 0);
        PaintRamp();
        SetBlur(c.blurStart, c.blurWidth, c.value);
        RadialBlurPass(SomeView(), Projection(c.aspect));
        const auto pixels = Frame();
        ExpectBandsBlack(pixels);
        int checked = 0, wrong = 0;
        for (int y = kViewTop; y < kViewTop + kViewHeight; y += 9)
            for (int x = 0; x < kTargetWidth; x += 9) {
                const Uv uv = QuadCoordinate(x, y, c.aspect);
                const Uv sample = BlurSample(uv, c.blurStart + c.blurWidth / 2, c.value);
                // Skip pixels where a sample wraps round the image.
                auto inside = [](Uv s) { return s.u > 0.01 && s.u < 0.99 && s.v > 0.01 && s.v < 0.99; };
                if (!inside(BlurSample(uv, c.blurStart, c.value)) ||
                    !inside(BlurSample(uv, c.blurStart + c.blurWidth, c.value)))
                    continue;
                ++checked;
                const uint32_t p = test::PixelAt(pixels, x, y);
                if (std::abs(Red(p) - 255.0 * sample.u) > 3 || std::abs(Green(p) - 255.0 * sample.v) > 3) {
                    if (++wrong <= 5)
                        ADD_FAILURE() << c.what << ": pixel " << x << "," << y << ": red " << Red(p) << " green "
                                      << Green(p) << ", expected " << 255.0 * sample.u << ", " << 255.0 * sample.v;
                }
            }
        EXPECT_GT(checked, 3000) << c.what;
        EXPECT_EQ(wrong, 0) << c.what;
    }
}

TEST_F(PostPassTest, BlurSmearsAlongTheLineThroughTheCentre) {
    // A square right of the centre smears horizontally towards the centre; one above it, downwards.
    struct Case {
        double u, v;
        bool horizontal;
    };
    for (const Case& c : {Case{0.75, 0.5, true}, Case{0.5, 0.25, false}}) {
        Rect sharp, smeared;
        for (float width : {0.0f, 0.5f}) {
            device_->Clear(0, nullptr, Clear::Target | Clear::ZBuffer, 0xFF000000u, 1.0f, 0);
            PaintSquare(c.u, c.v, 24);
            SetBlur(1.0f, width, 0.0f);
            RadialBlurPass(SomeView(), Projection(1.6f));
            const auto pixels = Frame();
            ExpectBandsBlack(pixels);
            // The half of the screen the square is in: far from the centre, samples past the image's
            // edge wrap round to the square from the other side.
            const Rect half = c.horizontal ? Rect{512, 0, 1024, 768} : Rect{0, 0, 1024, 384};
            (width == 0 ? sharp : smeared) = test::LitBounds(pixels, 8, half);
            if (c.horizontal && width > 0) {
                EXPECT_FALSE(test::Empty(test::LitBounds(pixels, 8, Rect{0, 300, 64, 468})))
                    << "the wrapped square at the far edge";
            }
        }
        ASSERT_FALSE(test::Empty(sharp));
        ASSERT_FALSE(test::Empty(smeared));
        // No spread: the square stays a square (give or take the wobble).
        EXPECT_LT(sharp.right - sharp.left, 40);
        EXPECT_LT(sharp.bottom - sharp.top, 40);
        if (c.horizontal) {
            // Scales 1 to 1.5 draw the square from its place to 1/1.5 of the way out: 85 pixels.
            EXPECT_NEAR(smeared.right, sharp.right, 3) << "the outer end stays";
            EXPECT_LT(smeared.left, sharp.left - 50) << "smeared towards the centre";
            EXPECT_GT(smeared.left, 512) << "but not past it";
            EXPECT_LT(smeared.bottom - smeared.top, 40) << "not across the line";
        } else {
            EXPECT_NEAR(smeared.top, sharp.top, 3);
            EXPECT_GT(smeared.bottom, sharp.bottom + 30);
            EXPECT_LT(smeared.bottom, 384);
            EXPECT_LT(smeared.right - smeared.left, 40);
        }
    }
}

TEST_F(PostPassTest, PassesWithoutTheirEffectDrawNothing) {
    PaintRamp();
    gResources.radialBlurEffect.reset();
    gResources.mosaicEffect.reset();
    RadialBlurPass(SomeView(), Projection(1.0f));
    MosaicPass(0.05f);
    EXPECT_EQ(test::CountLit(Frame()), 0);
}

// ---- the other embedded effects ----

TEST_F(PostPassTest, OffsetEffectShiftsTheStageZeroTexture) {
    std::shared_ptr<Effect> offset;
    std::string errors;
    ASSERT_EQ(CreateEffectFromResource(device_, 103, &offset, &errors), Result::Ok) << errors;
    EXPECT_STREQ(offset->GetTechniqueName(0), "PostProcess");
    EXPECT_STREQ(offset->GetPassName(0, 0), "p1");

    // Left half red, right half blue, drawn over the whole view with u running 0..1.
    auto texture = MakeTexture(64, 64, 0xFF0000FFu, 0xFFFF0000u, Rect{0, 0, 32, 64});
    struct TexturedVertex {
        float x, y, z, rhw, u, v;
    };
    const float top = kViewTop, bottom = kViewTop + kViewHeight;
    const TexturedVertex quad[6] = {{0, top, 0.5f, 1, 0, 0},     {1024, top, 0.5f, 1, 1, 0},
                                    {1024, bottom, 0.5f, 1, 1, 1}, {0, top, 0.5f, 1, 0, 0},
                                    {1024, bottom, 0.5f, 1, 1, 1}, {0, bottom, 0.5f, 1, 0, 1}};
    device_->SetRenderState(RenderState::CullMode, uint32_t(Cull::None));
    device_->SetFVF(Fvf::XYZRHW | Fvf::Tex1);
    device_->SetTexture(0, texture);
    offset->SetFloat("value", 0.5f);  // half the image: the halves swap
    uint32_t passes = 0;
    offset->Begin(&passes, 0);
    ASSERT_EQ(passes, 1u);
    offset->BeginPass(0);
    device_->DrawPrimitiveUP(PrimitiveType::TriangleList, 2, quad, sizeof(TexturedVertex));
    offset->EndPass();
    offset->End();
    const auto pixels = Frame();
    const uint32_t left = test::PixelAt(pixels, 200, 384), right = test::PixelAt(pixels, 800, 384);
    EXPECT_EQ(left & 0xFFFFFF, 0x0000FFu) << "blue, from the right half";
    EXPECT_EQ(right & 0xFFFFFF, 0xFF0000u) << "red, from the left half";
}

TEST_F(PostPassTest, EnvironmentMapEffectTakesTheReflectionParameters) {
    std::shared_ptr<Effect> envMap;
    std::string errors;
    ASSERT_EQ(CreateEffectFromResource(device_, 104, &envMap, &errors), Result::Ok) << errors;
    EXPECT_STREQ(envMap->GetTechniqueName(0), "EnvMapTech");
    EXPECT_STREQ(envMap->GetPassName(0, 0), "P0");
    // The values the reflective object sends: its material member by member (52 bytes) and the
    // 60-byte light.
    const float material[13] = {0.2f, 0.3f, 0.4f, 1, 0.2f, 0.3f, 0.4f, 1, 0, 0, 0, 0, 12.0f};
    EXPECT_EQ(envMap->SetValue("gMtrl", material, sizeof(material)), Result::Ok);
    EXPECT_EQ(envMap->GetParameterByName("gMtrl")->size, 52u);
    const float light[15] = {1, 1, 1, 1, 4, 1, 1, 1, 0, 0, 0, 0, 0, -0.447f, 0.894f};
    EXPECT_EQ(envMap->SetValue("gLight", light, sizeof(light)), Result::Ok);
    EXPECT_EQ(envMap->GetParameterByName("gLight")->size, 60u);
    for (const char* name : {"gWorld", "gWorldInvTrans", "gWVP", "gEyePosW", "gTex", "gEnvMap", "harf", "dif", "value"})
        EXPECT_NE(envMap->GetParameterByName(name), nullptr) << name;
}

}  // namespace
}  // namespace velor::demo
