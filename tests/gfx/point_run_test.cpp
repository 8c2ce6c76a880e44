// One-point sprite draws merged into instanced draws: every scene below is drawn twice, merging on
// and off, and must come out pixel for pixel the same, not black, and (where only world transforms
// separate the points) in fewer GL draws.
#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

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
        device_->SetFVF(vertexFvf);
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
    // What the cases of a part's change keep between their draws.
    std::shared_ptr<Texture> texture, otherTexture;
    std::shared_ptr<GpuProgram> greenProgram;
    Matrix projection;
    bool projectionKept = false;
    uint32_t vertexFvf = kSpriteFvf;
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
        {"lit points: a material change between points", true,
         [](PointRuns& s) {
             // Without normals only the ambient term lights a point: the material's ambient is its colour.
             s.device()->SetRenderState(RenderState::Lighting, 1);
             s.device()->SetRenderState(RenderState::Ambient, 0xFFFFFFFFu);
             const ColorValue colours[] = {{1, 0, 0, 1}, {0, 1, 0, 1}, {1, 0, 0, 1}};
             for (int k = 0; k < 3; ++k) {
                 Material material{};
                 material.ambient = colours[k];
                 s.device()->SetMaterial(&material);
                 for (int i = 10 * k; i < 10 * k + 10; ++i) {
                     s.PlaceOnGrid(i);
                     s.DrawUserPoint(0xFFFFFFFFu);
                 }
             }
             s.device()->SetRenderState(RenderState::Lighting, 0);
         }},
        {"a projection change between points", true,
         [](PointRuns& s) {
             // The view reaches each held point with its world; the projection is the run's own.
             Matrix projection, wider;
             s.device()->GetTransform(TransformState::Projection, &projection);
             wider = projection;
             wider.m[0][0] *= 0.5f;
             wider.m[1][1] *= 0.5f;
             for (int k = 0; k < 2; ++k) {
                 s.device()->SetTransform(TransformState::Projection, k == 0 ? &projection : &wider);
                 for (int i = 0; i < 20; ++i) {
                     s.PlaceOnGrid(i);
                     s.DrawUserPoint(k == 0 ? 0xFF00FFFFu : 0xFFFFFF00u);
                 }
             }
             s.device()->SetTransform(TransformState::Projection, &projection);
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

// One change between two runs of points, for each part of the state a run shares: Set puts the part's
// first value (changed = false) or its second, Restore puts back what Render starts from. Declared for
// every part and defined for none, so a part added to the shared state fails to build here until it
// has its case.
template <class Part>
struct PartChange;

// Fills a 2 x 2 texture with four colours, so that filtering and texture changes show on a sprite.
std::shared_ptr<Texture> QuadColourTexture(Device& device) {
    std::shared_ptr<Texture> texture;
    EXPECT_EQ(device.CreateTexture(2, 2, 1, 0, Format::A8R8G8B8, Pool::Managed, &texture), Result::Ok);
    LockedRect locked;
    EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), Result::Ok);
    const uint32_t colours[2][2] = {{0xFFFF0000u, 0xFF00FF00u}, {0xFF0000FFu, 0xFFFFFF00u}};
    for (int y = 0; y < 2; ++y)
        std::memcpy(static_cast<uint8_t*>(locked.bits) + y * locked.pitch, colours[y], sizeof colours[y]);
    texture->UnlockRect(0);
    return texture;
}

template <>
struct PartChange<RenderStateValues> {
    static constexpr const char* kName = "render states: the source blend";
    static void Set(PointRuns& s, bool changed) {
        s.device()->SetRenderState(RenderState::SrcBlend, uint32_t(changed ? Blend::One : Blend::SrcAlpha));
    }
    static void Restore(PointRuns& s) { Set(s, false); }
};

template <>
struct PartChange<SamplerStateValues> {
    static constexpr const char* kName = "sampler states: point to linear magnification";
    static void Set(PointRuns& s, bool changed) {
        if (s.texture == nullptr) s.texture = QuadColourTexture(*s.device());
        s.device()->SetTexture(0, s.texture);
        s.device()->SetSamplerState(0, SamplerState::MagFilter,
                                    uint32_t(changed ? TextureFilter::Linear : TextureFilter::Point));
    }
    static void Restore(PointRuns& s) {
        s.device()->SetSamplerState(0, SamplerState::MagFilter, uint32_t(TextureFilter::Point));
        s.device()->SetTexture(0, nullptr);
    }
};

template <>
struct PartChange<StageStateValues> {
    static constexpr const char* kName = "texture stage states: texture times colour to colour alone";
    static void Set(PointRuns& s, bool changed) {
        if (s.texture == nullptr) s.texture = QuadColourTexture(*s.device());
        s.device()->SetTexture(0, s.texture);
        s.device()->SetTextureStageState(0, TextureStageState::ColorOp,
                                         uint32_t(changed ? TextureOp::SelectArg2 : TextureOp::Modulate));
    }
    static void Restore(PointRuns& s) {
        s.device()->SetTextureStageState(0, TextureStageState::ColorOp, uint32_t(TextureOp::Modulate));
        s.device()->SetTexture(0, nullptr);
    }
};

template <>
struct PartChange<CameraTransforms> {
    static constexpr const char* kName = "camera transforms: a wider projection";
    static void Set(PointRuns& s, bool changed) {
        if (!s.projectionKept) {
            s.device()->GetTransform(TransformState::Projection, &s.projection);
            s.projectionKept = true;
        }
        Matrix projection = s.projection;
        if (changed) projection.m[0][0] *= 0.5f, projection.m[1][1] *= 0.5f;
        s.device()->SetTransform(TransformState::Projection, &projection);
    }
    static void Restore(PointRuns& s) { Set(s, false); }
};

template <>
struct PartChange<LightingValues> {
    static constexpr const char* kName = "lighting: the material";
    static void Set(PointRuns& s, bool changed) {
        // Without normals only the ambient term lights a point: the material's ambient is its colour.
        s.device()->SetRenderState(RenderState::Lighting, 1);
        s.device()->SetRenderState(RenderState::Ambient, 0xFFFFFFFFu);
        Material material{};
        material.ambient = changed ? ColorValue{0, 1, 0, 1} : ColorValue{1, 0, 0, 1};
        s.device()->SetMaterial(&material);
    }
    static void Restore(PointRuns& s) { s.device()->SetRenderState(RenderState::Lighting, 0); }
};

template <>
struct PartChange<TextureBindings> {
    static constexpr const char* kName = "texture bindings: another texture";
    static void Set(PointRuns& s, bool changed) {
        if (s.texture == nullptr) s.texture = QuadColourTexture(*s.device());
        if (s.otherTexture == nullptr) s.otherTexture = s.SolidTexture(0xFF00FFFFu);
        s.device()->SetTexture(0, changed ? s.otherTexture : s.texture);
    }
    static void Restore(PointRuns& s) { s.device()->SetTexture(0, nullptr); }
};

template <>
struct PartChange<VertexLayout> {
    // The same 16 bytes read another way: a colour as the specular one leaves the diffuse white.
    static constexpr const char* kName = "vertex layout: the colour read as specular";
    static void Set(PointRuns& s, bool changed) { s.vertexFvf = changed ? Fvf::XYZ | Fvf::Specular : kSpriteFvf; }
    static void Restore(PointRuns& s) { s.vertexFvf = kSpriteFvf; }
};

template <>
struct PartChange<TargetValues> {
    static constexpr const char* kName = "target: the viewport";
    static void Set(PointRuns& s, bool changed) {
        const Viewport viewport{0, 0, changed ? 512u : kBackBufferWidth, kBackBufferHeight, 0, 1};
        s.device()->SetViewport(&viewport);
    }
    static void Restore(PointRuns& s) { Set(s, false); }
};

template <>
struct PartChange<ProgramValues> {
    static constexpr const char* kName = "program: fixed function to a pixel program";
    static void Set(PointRuns& s, bool changed) {
        if (s.greenProgram == nullptr) {
            std::shared_ptr<GpuShader> pixel;
            std::string log;
            EXPECT_EQ(s.device()->CreateShader(ShaderType::Pixel,
                                               std::string(FragmentPrelude()) +
                                                   "void main() { oColor = vec4(0.0, 1.0, 0.2, 1.0); }\n",
                                               &pixel, &log),
                      Result::Ok)
                << log;
            EXPECT_EQ(s.device()->CreateProgram(nullptr, *pixel, &s.greenProgram, &log), Result::Ok) << log;
        }
        s.device()->BindProgram(changed ? ProgramBinding{s.greenProgram} : ProgramBinding{});
    }
    static void Restore(PointRuns& s) { s.device()->BindProgram(ProgramBinding{}); }
};

// Two runs of points with one part changed between them (or not, to see that the change shows).
template <class Part>
SceneCase ChangeBetweenRuns(bool change) {
    return {PartChange<Part>::kName, true, [change](PointRuns& s) {
                PartChange<Part>::Set(s, false);
                for (int i = 0; i < 15; ++i) {
                    s.PlaceOnGrid(i);
                    s.DrawUserPoint(0xC0FF6020u);
                }
                PartChange<Part>::Set(s, change);
                for (int i = 20; i < 35; ++i) {
                    s.PlaceOnGrid(i);
                    s.DrawUserPoint(0xC0FF6020u);
                }
                PartChange<Part>::Restore(s);
            }};
}

// The parts come from the list the run compares, so none can be left out.
template <class... Parts>
std::vector<std::pair<SceneCase, SceneCase>> ChangesOfEachPart(const DrawStateParts<Parts...>*) {
    return {{ChangeBetweenRuns<Parts>(true), ChangeBetweenRuns<Parts>(false)}...};
}

// A change to any part of the shared state between two points ends the run: each part's change must be
// in a dirty group the device marks for it and the run compares.
TEST_F(PointRuns, AChangeToAnyPartOfTheSharedStateEndsTheRun) {
    for (const auto& [changed, unchanged] : ChangesOfEachPart(static_cast<const SharedDrawParts*>(nullptr))) {
        SCOPED_TRACE(changed.name);
        // The change must show, or the comparison below could pass with it ignored.
        Frame with = Render(false, [&] { changed.scene(*this); });
        Frame without = Render(false, [&] { unchanged.scene(*this); });
        EXPECT_NE(with.pixels, without.pixels) << "the change draws nothing different";
        CheckSameAsSeparateDraws(changed);
    }
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
