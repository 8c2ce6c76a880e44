// One-point sprite draws merged into instanced draws: every scene below is drawn twice, merging on
// and off, and must come out pixel for pixel the same, not black, and (where only world transforms
// separate the points) in fewer GL draws.
#include <functional>
#include <string>

#include "engine/gfx/device_controls.h"
#include "engine/gfx/ffp_shaders.h"
#include "tests/gfx/render_fixture.h"

namespace velor {
namespace {

using test::ColorVertex;
using test::RenderTest;

constexpr uint32_t kSpriteFvf = Fvf::XYZ | Fvf::Diffuse;

struct Frame {
    std::vector<uint32_t> pixels;
    uint64_t draws = 0;
};

class PointRuns;

struct SceneCase {
    const char* name;
    bool fewerDraws;  // merging must save draws
    std::function<void(PointRuns&)> scene;
};

class PointRuns : public RenderTest {
public:
    Device* device() { return device_; }

    void SetUp() override {
        RenderTest::SetUp();
        if (HasFatalFailure()) return;
        UsePointSpriteView(0.12f);
        ASSERT_EQ(device_->CreateVertexBuffer(sizeof(ColorVertex), 0, kSpriteFvf, Pool::Default, &zeroVertex_),
                  Result::Ok);
        void* bytes = nullptr;
        ASSERT_EQ(zeroVertex_->Lock(0, 0, &bytes, 0), Result::Ok);
        *static_cast<ColorVertex*>(bytes) = ColorVertex{0, 0, 0, 0xFFFFFFFFu};
        zeroVertex_->Unlock();
    }

    void TearDown() override {
        if (device_ != nullptr) SetDrawMerging(*device_, true);
    }

    void CheckSameAsSeparateDraws(const SceneCase& c);

    // Every scene starts additive, untextured, over the whole target.
    Frame Render(bool merge, const std::function<void()>& scene) {
        device_->SetRenderState(RenderState::AlphaBlendEnable, 1);
        device_->SetRenderState(RenderState::SrcBlend, uint32_t(Blend::SrcAlpha));
        device_->SetRenderState(RenderState::DestBlend, uint32_t(Blend::One));
        device_->SetTexture(0, nullptr);
        const Viewport whole{0, 0, kBackBufferWidth, kBackBufferHeight, 0, 1};
        device_->SetViewport(&whole);
        SetDrawMerging(*device_, merge);
        device_->Clear(0, nullptr, Clear::Target | Clear::ZBuffer, 0xFF000000u, 1.0f, 0);
        uint64_t before = GpuDrawCalls(*device_);
        scene();
        Frame frame;
        frame.pixels = ReadBackBuffer(*device_);
        frame.draws = GpuDrawCalls(*device_) - before;
        return frame;
    }

    // The i-th point of a 10-wide grid, placed only by the world transform.
    void PlaceOnGrid(int i, float z = 2.0f) {
        Matrix world;
        MatrixTranslation(&world, -1.5f + 0.33f * float(i % 10), 1.0f - 0.4f * float(i / 10), z);
        device_->SetTransform(TransformState::World, &world);
    }

    // A point at the world origin from user memory, as text and font code draw.
    void DrawUserPoint(uint32_t color) {
        const ColorVertex point{0, 0, 0, color};
        device_->SetFVF(kSpriteFvf);
        ASSERT_EQ(device_->DrawPrimitiveUP(PrimitiveType::PointList, 1, &point, sizeof point), Result::Ok);
    }

    // A point from a vertex buffer, with the states set and restored around it as the demo's sprites do.
    void DrawBufferPoint() {
        device_->SetRenderState(RenderState::ZWriteEnable, 0);
        device_->SetRenderState(RenderState::SrcBlend, uint32_t(Blend::SrcAlpha));
        device_->SetStreamSource(0, zeroVertex_, 0, sizeof(ColorVertex));
        device_->SetFVF(kSpriteFvf);
        ASSERT_EQ(device_->DrawPrimitive(PrimitiveType::PointList, 0, 1), Result::Ok);
        device_->SetRenderState(RenderState::ZWriteEnable, 1);
        device_->SetRenderState(RenderState::SrcBlend, uint32_t(Blend::One));
    }

    std::shared_ptr<Texture> SolidTexture(uint32_t argb) {
        std::shared_ptr<Texture> texture;
        EXPECT_EQ(device_->CreateTexture(4, 4, 1, 0, Format::A8R8G8B8, Pool::Managed, &texture), Result::Ok);
        Fill(*texture, argb);
        return texture;
    }

    static void Fill(Texture& texture, uint32_t argb) {
        LockedRect locked;
        ASSERT_EQ(texture.LockRect(0, &locked, nullptr, 0), Result::Ok);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.bits) + y * locked.pitch)[x] = argb;
        texture.UnlockRect(0);
    }

    std::shared_ptr<VertexBuffer> zeroVertex_;
};

void PointRuns::CheckSameAsSeparateDraws(const SceneCase& c) {
    SCOPED_TRACE(c.name);
    Frame separate = Render(false, [&] { c.scene(*this); });
    Frame merged = Render(true, [&] { c.scene(*this); });
    ASSERT_EQ(separate.pixels.size(), merged.pixels.size());
    size_t lit = 0, differing = 0, first = 0;
    for (size_t i = 0; i < merged.pixels.size(); ++i) {
        if ((separate.pixels[i] & 0xFFFFFFu) != 0) ++lit;
        if (separate.pixels[i] != merged.pixels[i] && differing++ == 0) first = i;
    }
    EXPECT_GT(lit, 5000u) << "the scene draws almost nothing";
    EXPECT_EQ(differing, 0u) << "first at x " << first % kBackBufferWidth << " y " << first / kBackBufferWidth
                             << ": separate " << std::hex << separate.pixels[first] << " merged "
                             << merged.pixels[first];
    if (c.fewerDraws) EXPECT_LT(merged.draws, separate.draws);
    else EXPECT_LE(merged.draws, separate.draws);
}

TEST_F(PointRuns, MergedDrawsGiveTheSeparateDrawsPixels) {
    auto checker = std::make_shared<std::shared_ptr<Texture>>();
    const SceneCase cases[] = {
        {"points from user memory, each its own colour", true,
         [](PointRuns& s) {
             for (int i = 0; i < 40; ++i) {
                 s.PlaceOnGrid(i);
                 s.DrawUserPoint(ColorArgb(0x80 + i, 0xFF - 5 * i, 6 * i, 0x40 + 4 * i));
             }
         }},
        {"points from a vertex buffer, states set and restored around each", true,
         [](PointRuns& s) {
             for (int i = 0; i < 40; ++i) {
                 s.PlaceOnGrid(i, 1.5f + 0.05f * float(i));
                 s.DrawBufferPoint();
             }
         }},
        {"a blend change between overlapping points keeps their order", true,
         [](PointRuns& s) {
             for (int i = 0; i < 20; ++i) {
                 s.PlaceOnGrid(i);
                 s.DrawUserPoint(0xFFFF4000u);
             }
             s.device()->SetRenderState(RenderState::DestBlend, uint32_t(Blend::InvSrcAlpha));
             for (int i = 0; i < 20; ++i) {
                 s.PlaceOnGrid(i, 2.1f);
                 s.DrawUserPoint(0x8000A0FFu);
             }
         }},
        {"a triangle between points is drawn between them", true,
         [](PointRuns& s) {
             for (int i = 0; i < 10; ++i) {
                 s.PlaceOnGrid(i);
                 s.DrawUserPoint(0xFF00FF00u);
             }
             Matrix identity;
             MatrixIdentity(&identity);
             s.device()->SetTransform(TransformState::World, &identity);
             s.device()->SetRenderState(RenderState::SrcBlend, uint32_t(Blend::One));
             s.device()->SetRenderState(RenderState::DestBlend, uint32_t(Blend::Zero));
             const ColorVertex triangle[3] = {{-3, 0, 2, 0xFF2020FFu}, {0, 3, 2, 0xFF2020FFu}, {3, 0, 2, 0xFF2020FFu}};
             s.device()->DrawPrimitiveUP(PrimitiveType::TriangleList, 1, triangle, sizeof(ColorVertex));
             s.device()->SetRenderState(RenderState::SrcBlend, uint32_t(Blend::SrcAlpha));
             s.device()->SetRenderState(RenderState::DestBlend, uint32_t(Blend::One));
             for (int i = 0; i < 10; ++i) {
                 s.PlaceOnGrid(i, 2.2f);
                 s.DrawUserPoint(0xFFFF0000u);
             }
         }},
        {"a clear between points clears only the points before it", true,
         [](PointRuns& s) {
             for (int i = 0; i < 30; ++i) {
                 s.PlaceOnGrid(i);
                 s.DrawUserPoint(0xFFFFFFFFu);
             }
             const Rect band{0, 200, 1024, 400};
             s.device()->Clear(1, &band, Clear::Target, 0xFF400000u, 1.0f, 0);
             for (int i = 10; i < 20; ++i) {
                 s.PlaceOnGrid(i, 2.5f);
                 s.DrawUserPoint(0xFF00FFFFu);
             }
         }},
        {"a texture change, and a texture refilled between two points", false,
         [checker](PointRuns& s) {
             auto red = s.SolidTexture(0xFFFF0000u);
             *checker = s.SolidTexture(0xFF0000FFu);
             s.device()->SetTexture(0, red);
             for (int i = 0; i < 10; ++i) {
                 s.PlaceOnGrid(i);
                 s.DrawUserPoint(0xFFFFFFFFu);
             }
             s.device()->SetTexture(0, *checker);
             for (int i = 10; i < 20; ++i) {
                 s.PlaceOnGrid(i);
                 s.DrawUserPoint(0xFFFFFFFFu);
             }
             PointRuns::Fill(**checker, 0xFF00FF00u);
             for (int i = 20; i < 30; ++i) {
                 s.PlaceOnGrid(i);
                 s.DrawUserPoint(0xFFFFFFFFu);
             }
             s.device()->SetTexture(0, nullptr);
             PointRuns::Fill(**checker, 0xFF0000FFu);
         }},
        {"a switch back to a texture already uploaded", true,
         [](PointRuns& s) {
             // Both textures are on the GPU before the switch that matters, so only the change
             // itself can end the run there.
             auto blue = s.SolidTexture(0xFF0000FFu), red = s.SolidTexture(0xFFFF0000u);
             const std::shared_ptr<Texture> order[] = {blue, red, blue, red};
             for (int k = 0; k < 4; ++k) {
                 s.device()->SetTexture(0, order[k]);
                 for (int i = 10 * k; i < 10 * k + 10; ++i) {
                     s.PlaceOnGrid(i);
                     s.DrawUserPoint(0xFFFFFFFFu);
                 }
             }
             s.device()->SetTexture(0, nullptr);
         }},
        {"a viewport change between points", true,
         [](PointRuns& s) {
             for (int i = 0; i < 20; ++i) {
                 s.PlaceOnGrid(i);
                 s.DrawUserPoint(0xFFFFFF00u);
             }
             const Viewport left{0, 0, 512, 768, 0, 1};
             s.device()->SetViewport(&left);
             for (int i = 0; i < 20; ++i) {
                 s.PlaceOnGrid(i);
                 s.DrawUserPoint(0xFFFF00FFu);
             }
         }},
    };
    for (const SceneCase& c : cases) CheckSameAsSeparateDraws(c);
}

// Colours set on a program per point (as an effect's parameters reach it) change within a run.
TEST_F(PointRuns, PerPointProgramColourReachesEachPoint) {
    std::shared_ptr<GpuShader> pixel;
    std::string log;
    ASSERT_EQ(device_->CreateShader(ShaderType::Pixel,
                                    std::string(FragmentPrelude()) +
                                        "uniform vec4 tint;\nvoid main() { oColor = tint; }\n",
                                    &pixel, &log),
              Result::Ok)
        << log;
    std::shared_ptr<GpuProgram> program;
    ASSERT_EQ(device_->CreateProgram(nullptr, *pixel, &program, &log), Result::Ok) << log;
    int tint = program->UniformLocation("tint");
    ASSERT_GE(tint, 0);
    SceneCase c{"a colour per point, and runs of one colour", false, [&](PointRuns& s) {
                    s.device()->BindProgram(ProgramBinding{program});
                    for (int i = 0; i < 40; ++i) {
                        const float colour[4] = {float(i % 4) / 3.0f, float(i / 10) / 3.0f, 0.5f, 1.0f};
                        program->SetUniform(tint, UniformType::Float4, colour);
                        s.PlaceOnGrid(i);
                        s.DrawBufferPoint();
                    }
                    s.device()->BindProgram(ProgramBinding{});
                }};
    CheckSameAsSeparateDraws(c);
    // Points of one colour still merge.
    c.fewerDraws = true;
    c.scene = [&](PointRuns& s) {
        s.device()->BindProgram(ProgramBinding{program});
        for (int i = 0; i < 40; ++i) {
            const float colour[4] = {i < 20 ? 1.0f : 0.2f, 0.6f, 0.1f, 1.0f};
            program->SetUniform(tint, UniformType::Float4, colour);
            s.PlaceOnGrid(i);
            s.DrawBufferPoint();
        }
        s.device()->BindProgram(ProgramBinding{});
    };
    CheckSameAsSeparateDraws(c);
}

}  // namespace
}  // namespace velor
